#include "editing/EditFailures.h"

namespace vortrel {

void EditFailures::FailCall(EditOp op, int nth) {
    if (nth >= 1) {
        countdown_[op] = nth;
    }
}

void EditFailures::FailAlways(EditOp op) {
    always_[op] = true;
}

void EditFailures::Reset() {
    countdown_.clear();
    always_.clear();
}

bool EditFailures::Fails(EditOp op) {
    ++calls_[op];
    if (auto always = always_.find(op); always != always_.end() && always->second) {
        return true;
    }
    auto planned = countdown_.find(op);
    if (planned == countdown_.end()) {
        return false;
    }
    if (--planned->second > 0) {
        return false;
    }
    countdown_.erase(planned);
    return true;
}

int EditFailures::Calls(EditOp op) const {
    auto it = calls_.find(op);
    return it == calls_.end() ? 0 : it->second;
}

}  // namespace vortrel
