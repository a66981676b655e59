#pragma once

#include <chrono>
#include <functional>
#include <thread>

namespace vortrel::testing {

/// Looks at a condition every 20 ms until it holds or a time limit is up; whether it held.
inline bool Within(std::chrono::milliseconds limit, const std::function<bool()>& condition) {
    const auto end = std::chrono::steady_clock::now() + limit;
    while (!condition()) {
        if (std::chrono::steady_clock::now() > end) {
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return true;
}

}  // namespace vortrel::testing
