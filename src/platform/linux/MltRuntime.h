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

    /// Lets MLT and FFmpeg print only their errors on standard error, or (verbose) their
    /// warnings and notes as well; without a call they keep their own defaults.
    static void SetVerbose(bool verbose);
};

}  // namespace vortrel
