#pragma once

#include <memory>
#include <utility>

#include "base/PortFactory.h"

namespace vortrel::testing {

// Installs a maker of one port's objects for the life of a test and removes it afterwards:
// a real back end, or fakes through ScopedFake.
template <typename Port>
class ScopedPort {
  public:
    explicit ScopedPort(typename PortFactory<Port>::Maker maker) {
        PortFactory<Port>::Set(std::move(maker));
    }
    ~ScopedPort() { PortFactory<Port>::Set(nullptr); }
    ScopedPort(const ScopedPort&) = delete;
    ScopedPort& operator=(const ScopedPort&) = delete;
};

// Installs a maker of fakes that share one script with the test: what they answer and what
// they saw. The maker makes none while the script says creation fails.
template <typename Port, typename Fake, typename ScriptOf>
class ScopedFake {
  public:
    ScopedFake()
        : script_(std::make_shared<ScriptOf>()),
          port_([script = script_]() -> std::unique_ptr<Port> {
              if (!script->createSucceeds) {
                  return nullptr;
              }
              return std::make_unique<Fake>(script);
          }) {}

    /// The script the fakes share.
    ScriptOf& Script() { return *script_; }

  private:
    std::shared_ptr<ScriptOf> script_;
    ScopedPort<Port> port_;
};

}  // namespace vortrel::testing
