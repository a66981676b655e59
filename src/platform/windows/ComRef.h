#pragma once

#include <unknwn.h>

namespace vortrel {

// One counted reference to a COM interface, released by its holder when it goes.
template <typename Interface>
class ComRef {
  public:
    ComRef() = default;
    ~ComRef() { Reset(); }
    ComRef(const ComRef&) = delete;
    ComRef& operator=(const ComRef&) = delete;

    /// Where a function that hands out a reference writes it (the old one released first).
    Interface** Out() {
        Reset();
        return &pointer_;
    }
    /// Where a function that hands out a reference as void** writes it.
    void** OutVoid() { return reinterpret_cast<void**>(Out()); }
    Interface* operator->() const { return pointer_; }
    Interface* Get() const { return pointer_; }
    explicit operator bool() const { return pointer_ != nullptr; }

    /// Releases the reference.
    void Reset() {
        if (pointer_ != nullptr) {
            pointer_->Release();
            pointer_ = nullptr;
        }
    }

  private:
    Interface* pointer_ = nullptr;
};

}  // namespace vortrel
