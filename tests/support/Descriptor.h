#pragma once

#include <unistd.h>

namespace vortrel::testing {

// Closes a file descriptor when it goes out of scope.
class Descriptor {
  public:
    explicit Descriptor(int fd = -1) : fd_(fd) {}
    ~Descriptor() { Reset(); }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;

    /// The descriptor, -1 for none.
    int Get() const { return fd_; }
    /// Closes it now.
    void Reset() {
        if (fd_ >= 0) {
            close(fd_);
        }
        fd_ = -1;
    }

  private:
    int fd_;
};

}  // namespace vortrel::testing
