#pragma once

#include <functional>
#include <memory>
#include <utility>

namespace vortrel {

// The process-wide maker of one port's platform objects, as the platform's own object
// factory is: the platform set-up installs a maker once, and every user asks it for a new
// object. Without a maker, or when it fails, there is none.
template <typename Port>
class PortFactory {
  public:
    using Maker = std::function<std::unique_ptr<Port>()>;

    /// Installs the maker (an empty one removes it).
    static void Set(Maker maker) { Installed() = std::move(maker); }

    /// Whether a maker is installed.
    static bool IsInstalled() { return static_cast<bool>(Installed()); }

    /// A new object, or none when no maker is installed or it fails.
    static std::unique_ptr<Port> Create() {
        const Maker& maker = Installed();
        if (!maker) {
            return nullptr;
        }
        try {
            return maker();
        } catch (...) {
            return nullptr;  // a platform that cannot make one has none to give
        }
    }

  private:
    static Maker& Installed() {
        static Maker maker;
        return maker;
    }
};

}  // namespace vortrel
