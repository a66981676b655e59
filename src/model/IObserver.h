#pragma once

namespace vortrel {

class ISubject;

// Base of every handler. A subject calls Handle with itself; the handler reads the data the
// notifier wrote into the subject. The two flags let a handler detach itself while it runs:
// the subject then removes it only when Handle has returned.
class IObserver {
  public:
    IObserver() = default;
    IObserver(const IObserver&) = delete;
    IObserver& operator=(const IObserver&) = delete;
    virtual ~IObserver() = default;

    /// Reacts to a notification of the given subject.
    virtual void Handle(ISubject& subject) = 0;

    /// True while this observer's Handle runs for some subject.
    bool IsBusy() const { return busy_; }
    /// True while a detach waits for Handle to return.
    bool IsRemoveRequested() const { return removeRequested_; }

  private:
    friend class ISubject;

    bool busy_ = false;
    bool removeRequested_ = false;
};

// Base of the handlers on the view side; it adds nothing to IObserver.
class IEventHandler : public IObserver {};

}  // namespace vortrel
