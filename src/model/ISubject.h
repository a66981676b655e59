#pragma once

#include <cstddef>
#include <vector>

namespace vortrel {

class IObserver;

// Base of every notification source. Observers are not owned; they are notified in the
// order they were attached. The list may change while it is being walked: an observer that
// detaches itself is removed when its Handle returns, others are removed at once, and new
// ones may be attached; every walk in progress stays valid and skips no one.
class ISubject {
  public:
    ISubject() = default;
    ISubject(const ISubject&) = delete;
    ISubject& operator=(const ISubject&) = delete;
    virtual ~ISubject() = default;

    /// Appends an observer; one attached twice is notified twice. A null one is ignored.
    void Attach(IObserver* observer);
    /// Removes the first attachment of the observer; deferred while that entry is handling.
    void Detach(IObserver* observer);
    /// Calls Handle of every attached observer in order.
    void Notify();
    /// Number of attachments.
    size_t GetObserverCount() const { return observers_.size(); }

  private:
    // One Notify in progress: the entry it is handling, whether that entry was erased under
    // it (then the next observer has moved into the same position), and whether the observer
    // asked to be detached while handling it.
    struct Walk {
        size_t position = 0;
        bool currentErased = false;
        bool removeRequested = false;
    };
    class WalkScope;

    void EraseAt(size_t position);
    Walk* FindWalkHandling(const IObserver* observer) const;

    std::vector<IObserver*> observers_;
    std::vector<Walk*> walks_;
};

}  // namespace vortrel
