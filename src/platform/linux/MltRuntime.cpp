#include "platform/linux/MltRuntime.h"

#include <mlt++/Mlt.h>
extern "C" {
#include <libavutil/log.h>
}

#include <atomic>
#include <stdexcept>

namespace vortrel {

namespace {

// -1: MLT's and FFmpeg's own defaults; else the MLT level, which FFmpeg follows.
std::atomic<int> chosenLevel{-1};

void ApplyLevel() {
    const int level = chosenLevel.load();
    if (level < 0) {
        return;
    }
    mlt_log_set_level(level);
    av_log_set_level(level == MLT_LOG_ERROR ? AV_LOG_ERROR : AV_LOG_INFO);
}

}  // namespace

Mlt::Repository& MltRuntime::Repository() {
    // A function-local static starts the framework exactly once, even when first reached
    // from several threads.
    static Mlt::Repository* repository = [] {
        ApplyLevel();  // the modules speak while they load (LADSPA's missing plugins)
        Mlt::Repository* started = Mlt::Factory::init();
        ApplyLevel();  // and some set FFmpeg's level of their own
        if (started == nullptr) {
            throw std::runtime_error("Could not start the MLT framework");
        }
        return started;
    }();
    return *repository;
}

void MltRuntime::SetVerbose(bool verbose) {
    chosenLevel.store(verbose ? MLT_LOG_INFO : MLT_LOG_ERROR);
    ApplyLevel();
}

}  // namespace vortrel
