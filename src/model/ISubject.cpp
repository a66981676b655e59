#include "model/ISubject.h"

#include <algorithm>

#include "model/IObserver.h"

namespace vortrel {

// Registers a walk with its subject for as long as one Notify runs and unregisters it even
// when a handler throws, so that later notifications start from a clean state.
class ISubject::WalkScope {
  public:
    WalkScope(ISubject& subject, Walk& walk) : subject_(subject), walk_(walk) {
        subject_.walks_.push_back(&walk_);
    }
    ~WalkScope() {
        auto& walks = subject_.walks_;
        walks.erase(std::find(walks.begin(), walks.end(), &walk_));
    }
    WalkScope(const WalkScope&) = delete;
    WalkScope& operator=(const WalkScope&) = delete;

  private:
    ISubject& subject_;
    Walk& walk_;
};

namespace {

// Marks an observer busy for one Handle call; restores the previous state afterwards so that
// a handler notified again from inside its own Handle stays busy until the outer call ends.
class BusyScope {
  public:
    BusyScope(bool& busy) : busy_(busy), previous_(busy) { busy_ = true; }
    ~BusyScope() { busy_ = previous_; }
    BusyScope(const BusyScope&) = delete;
    BusyScope& operator=(const BusyScope&) = delete;

  private:
    bool& busy_;
    bool previous_;
};

}  // namespace

void ISubject::Attach(IObserver* observer) {
    if (observer != nullptr) {
        observers_.push_back(observer);
    }
}

void ISubject::Detach(IObserver* observer) {
    auto it = std::find(observers_.begin(), observers_.end(), observer);
    if (it == observers_.end()) {
        return;
    }
    // The request is kept by the walk of this subject that is handling the observer: a busy
    // flag set by another subject's walk must neither defer this removal nor let that other
    // subject drop the observer.
    if (observer->busy_) {
        if (Walk* walk = FindWalkHandling(observer)) {
            walk->removeRequested = true;
            observer->removeRequested_ = true;
            return;
        }
    }
    EraseAt(static_cast<size_t>(it - observers_.begin()));
}

void ISubject::Notify() {
    Walk walk;
    WalkScope scope(*this, walk);
    // The end is read anew at every step: handlers may attach and detach while we walk.
    while (walk.position < observers_.size()) {
        IObserver* observer = observers_[walk.position];
        walk.currentErased = false;
        walk.removeRequested = false;
        {
            BusyScope busy(observer->busy_);
            observer->Handle(*this);
        }
        if (walk.currentErased) {
            continue;
        }
        if (walk.removeRequested) {
            observer->removeRequested_ = false;
            EraseAt(walk.position);
            continue;
        }
        ++walk.position;
    }
}

void ISubject::EraseAt(size_t position) {
    observers_.erase(observers_.begin() + static_cast<std::ptrdiff_t>(position));
    for (Walk* walk : walks_) {
        if (position < walk->position) {
            --walk->position;
        } else if (position == walk->position) {
            walk->currentErased = true;
        }
    }
}

ISubject::Walk* ISubject::FindWalkHandling(const IObserver* observer) const {
    // The innermost walk first: a handler that detaches itself during a nested notification
    // of the same subject is removed when that nested call returns.
    for (auto it = walks_.rbegin(); it != walks_.rend(); ++it) {
        Walk* walk = *it;
        if (!walk->currentErased && walk->position < observers_.size() &&
            observers_[walk->position] == observer) {
            return walk;
        }
    }
    return nullptr;
}

}  // namespace vortrel
