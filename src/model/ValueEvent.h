#pragma once

#include "model/ISubject.h"

namespace vortrel {

// A subject that carries one value: the notifier writes it and notifies in one call, and
// observers read it back through the named accessor of the concrete subject class.
template <typename T>
class ValueEvent : public ISubject {
  public:
    /// Writes the value and notifies every observer.
    void Notify(T value) {
        value_ = value;
        ISubject::Notify();
    }
    using ISubject::Notify;

  protected:
    T value_{};
};

}  // namespace vortrel
