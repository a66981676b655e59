#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

#include "base/FileAccess.h"
#include "platform/linux/MltGraphBuilder.h"
#include "ports/IConverter.h"

namespace Mlt {
class Consumer;
class Event;
class Producer;
class Profile;
}  // namespace Mlt

namespace vortrel {

class MltCatalog;
struct MltOutputPlan;

/// What the consumer's thread reports while it writes (frames written, its end, a failure),
/// and the gate that holds it until its start has been recorded.
struct MltConsumerState {
    std::atomic<int64_t> framesShown{0};
    std::atomic<bool> stopped{false};
    std::atomic<bool> fatalError{false};

    std::thread::id starter;  // the thread that starts the consumer
    std::atomic<bool> started{false};
    std::mutex mutex;
    std::condition_variable startedChanged;

    /// Lets the consumer's thread go on.
    void Open();
};

// The converter of the Linux back end: renders the timeline's MLT graph through MLT's
// avformat consumer, which encodes and writes on threads of its own. The file is written
// under a temporary name beside the one the requested name leads to and replaces it only when
// complete, so the requested name never holds part of a file.
class MltConverter final : public IConverter {
  public:
    /// A converter that finds the compressors in the catalogue and builds the timeline's
    /// graph with MltGraphBuilder on it.
    explicit MltConverter(const MltCatalog& catalog);
    ~MltConverter() override;
    MltConverter(const MltConverter&) = delete;
    MltConverter& operator=(const MltConverter&) = delete;

    /// Checks the settings, builds the graph and starts writing; false, with no file made,
    /// when the settings cannot be written or the timeline is empty.
    bool Start(const EditTimeline& timeline, const ConversionRequest& request) override;
    /// True from a successful Start until Reset.
    bool IsConnected() const override { return connected_; }
    /// The frames written so far and the timeline's length, in 100-ns units.
    bool GetProgress(int64_t& current, int64_t& duration) override;
    /// True once every frame is written, the file closed and given its name.
    bool IsComplete() override;
    /// True once the encoder has ended short of the last frame or the file could not be named.
    bool HasFailed() override;
    /// Stops writing and removes a file that was not completed.
    void Stop() override;
    /// Stops, and lets the graph go.
    void Reset() override;

    /// Why the last Start failed, or the conversion after it; empty when nothing failed.
    const std::string& LastError() const { return error_; }

  private:
    bool Fail(const std::string& reason);
    bool Launch(const MltOutputPlan& plan);
    void RemovePartial();
    int64_t FramesToTime(int64_t frames) const;

    const MltCatalog& catalog_;
    MltGraphBuilder builder_;

    std::unique_ptr<Mlt::Profile> profile_;
    std::unique_ptr<Mlt::Producer> graph_;
    std::unique_ptr<Mlt::Consumer> consumer_;
    std::unique_ptr<Mlt::Event> frameShownEvent_;
    std::unique_ptr<Mlt::Event> stoppedEvent_;
    std::unique_ptr<Mlt::Event> fatalErrorEvent_;
    std::unique_ptr<Mlt::Event> propertyChangedEvent_;

    std::filesystem::path target_;
    std::unique_ptr<FileReplacement> replacement_;  // none once committed or removed
    unsigned streams_ = 0;                          // what the file is written with
    int64_t length_ = 0;                            // frames
    int rateNum_ = 1;
    int rateDen_ = 1;
    bool connected_ = false;
    bool finished_ = false;  // the consumer has ended and been stopped
    bool complete_ = false;
    bool failed_ = false;
    std::string error_;

    MltConsumerState state_;
};

}  // namespace vortrel
