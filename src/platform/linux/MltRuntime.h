#pragma once

namespace Mlt {
class Repository;
}

namespace vortrel {

// The process-wide MLT framework: started once on first use and kept for the life of the
// process, since MLT cannot be restarted after it is closed.
class MltRuntime {
  public:
    /// The repository of MLT services; starts the framework on first use.
    static Mlt::Repository& Repository();
};

}  // namespace vortrel
