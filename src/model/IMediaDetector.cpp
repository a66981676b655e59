#include "model/IMediaDetector.h"

#include <utility>

namespace vortrel {

namespace {

// Process-wide, as the platform's own object factory is: the control's thread installs the
// back end once and every clip asks it.
MediaDetectorFactory& InstalledFactory() {
    static MediaDetectorFactory factory;
    return factory;
}

}  // namespace

void SetMediaDetectorFactory(MediaDetectorFactory factory) {
    InstalledFactory() = std::move(factory);
}

std::unique_ptr<IMediaDetector> CreateMediaDetector() {
    const MediaDetectorFactory& factory = InstalledFactory();
    if (!factory) {
        return nullptr;
    }
    try {
        return factory();
    } catch (...) {
        // A back end that cannot make a detector is a detector that is not there.
        return nullptr;
    }
}

}  // namespace vortrel
