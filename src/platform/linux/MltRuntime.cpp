#include "platform/linux/MltRuntime.h"

#include <mlt++/Mlt.h>

#include <stdexcept>

namespace vortrel {

Mlt::Repository& MltRuntime::Repository() {
    // A function-local static starts the framework exactly once, even when first reached
    // from several threads.
    static Mlt::Repository* repository = [] {
        Mlt::Repository* started = Mlt::Factory::init();
        if (started == nullptr) {
            throw std::runtime_error("Could not start the MLT framework");
        }
        return started;
    }();
    return *repository;
}

}  // namespace vortrel
