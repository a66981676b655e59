#include "platform/linux/MltConverter.h"

#include <mlt++/Mlt.h>

#include <algorithm>
#include <chrono>
#include <exception>
#include <numeric>
#include <optional>
#include <system_error>
#include <utility>
#include <variant>

#include "base/Utf8.h"
#include "editing/EditNode.h"
#include "editing/EditTimeline.h"
#include "platform/av/AvSupport.h"
#include "platform/linux/MltCatalog.h"
#include "platform/linux/MltOutputPlan.h"
#include "platform/linux/MltRuntime.h"

namespace vortrel {

namespace {

constexpr int64_t kTimePerSecond = 10'000'000;  // 100-ns units

void OnFrameShown(mlt_properties, void* state, mlt_event_data) {
    static_cast<MltConsumerState*>(state)->framesShown.fetch_add(1);
}

void OnStopped(mlt_properties, void* state, mlt_event_data) {
    static_cast<MltConsumerState*>(state)->stopped.store(true);
}

void OnFatalError(mlt_properties, void* state, mlt_event_data) {
    static_cast<MltConsumerState*>(state)->fatalError.store(true);
}

// MLT's avformat consumer creates its thread before it records that it runs, and a thread
// that reaches its loop first sees it stopped and ends without a frame. The thread sets a
// property of the consumer before its loop, so it waits here until the start has returned.
void OnPropertyChanged(mlt_properties, void* data, mlt_event_data) {
    auto* state = static_cast<MltConsumerState*>(data);
    if (state->started.load() || std::this_thread::get_id() == state->starter) {
        return;
    }
    std::unique_lock<std::mutex> lock(state->mutex);
    state->startedChanged.wait(lock, [state] { return state->started.load(); });
}

// The end of the latest thing on the timeline, in 100-ns units; 0 when nothing is on it.
int64_t LatestStop(const EditNode& node) {
    int64_t stop = node.GetType() == EditNodeType::Group ? 0 : node.GetStop();
    for (const auto* children :
         {&node.GetTracks(), &node.GetSources(), &node.GetTransitions(), &node.GetEffects()}) {
        for (const auto& child : *children) {
            stop = std::max(stop, LatestStop(*child));
        }
    }
    return stop;
}

int64_t LatestStop(const EditTimeline& timeline) {
    int64_t stop = 0;
    for (int32_t index = 0; index < timeline.GetGroupCount(); ++index) {
        stop = std::max(stop, LatestStop(*timeline.GetGroup(index)));
    }
    return stop;
}

// Gives the profile the output's picture, pixel shape and rate, so that the graph renders
// exactly the frames the encoder takes.
void ShapeProfile(Mlt::Profile& profile, const MltOutputPlan& plan) {
    profile.set_width(plan.width);
    profile.set_height(plan.height);
    profile.set_frame_rate(plan.rate.num, plan.rate.den);
    profile.set_sample_aspect(plan.sampleAspectNum, plan.sampleAspectDen);
    const int64_t displayNum = static_cast<int64_t>(plan.width) * plan.sampleAspectNum;
    const int64_t displayDen = static_cast<int64_t>(plan.height) * plan.sampleAspectDen;
    const int64_t common = std::gcd(displayNum, displayDen);
    profile.set_display_aspect(static_cast<int>(displayNum / common),
                               static_cast<int>(displayDen / common));
    profile.set_progressive(1);
    profile.set_explicit(1);
}

// Whether a written file reads back with the streams it was given. The encoder does not say
// when writing its last part (an index, a trailer) fails, and a file cut off there does not
// open or lacks streams.
bool ReadsBack(const std::filesystem::path& file, unsigned streams) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    const av::FormatContextPtr input = av::OpenLocalInput(file.string(), &deadline);
    return input != nullptr && input->nb_streams >= streams;
}

}  // namespace

void MltConsumerState::Open() {
    {
        std::lock_guard<std::mutex> lock(mutex);
        started.store(true);
    }
    startedChanged.notify_all();
}

MltConverter::MltConverter(const MltCatalog& catalog) : catalog_(catalog), builder_(catalog) {}

MltConverter::~MltConverter() {
    Reset();
}

bool MltConverter::Start(const EditTimeline& timeline, const ConversionRequest& request) {
    if (connected_) {
        error_ = "a conversion is running";
        return false;  // the running one goes on untouched
    }
    Reset();
    error_.clear();
    try {
        MltRuntime::Repository();
        if (request.fileName.empty()) {
            return Fail("no file name");
        }
        target_ = std::filesystem::absolute(ToPath(request.fileName));
        std::error_code ignored;
        if (target_.filename().empty() || std::filesystem::is_directory(target_, ignored)) {
            return Fail("the file name names a folder");
        }
        // The file is written beside the one the name leads to and replaces it only when
        // complete, keeping its mode; a target that may not be replaced is refused now.
        replacement_ = std::make_unique<FileReplacement>(target_);
        if (!replacement_->Error().empty()) {
            return Fail(std::string(replacement_->Error()));  // Fail lets the replacement go
        }
        // MLT would play an empty timeline as one black frame; there is nothing to write.
        if (LatestStop(timeline) <= 0) {
            return Fail("the timeline is empty");
        }
        profile_ = builder_.MakeProfile(timeline);
        if (!profile_ || !profile_->is_valid()) {
            return Fail("the timeline has no picture format");
        }
        const std::optional<MltOutputPlan> plan =
            PlanOutput(request, FormatOf(timeline, *profile_), catalog_);
        if (!plan) {
            return Fail("the output type or its profile is unknown");
        }
        std::string reason;
        if (!CheckOutput(*plan, reason)) {
            return Fail(reason);
        }
        if (!plan->videoEncoder.empty()) {
            ShapeProfile(*profile_, *plan);
        }
        graph_ = builder_.Build(timeline, *profile_, plan->channels);
        if (!graph_ || !graph_->is_valid()) {
            return Fail("the timeline's graph could not be built");
        }
        length_ = graph_->get_length();
        if (length_ <= 0) {
            return Fail("the timeline is empty");
        }
        rateNum_ = profile_->frame_rate_num();
        rateDen_ = profile_->frame_rate_den();
        if (!Launch(*plan)) {
            return false;
        }
    } catch (const std::exception& error) {
        return Fail(error.what());
    }
    connected_ = true;
    return true;
}

bool MltConverter::Launch(const MltOutputPlan& plan) {
    streams_ = (plan.videoEncoder.empty() ? 0u : 1u) + (plan.audioEncoder.empty() ? 0u : 1u);
    consumer_ =
        std::make_unique<Mlt::Consumer>(*profile_, "avformat", replacement_->Temporary().c_str());
    if (!consumer_->is_valid()) {
        return Fail("MLT has no avformat consumer");
    }
    for (const auto& [name, value] : plan.ConsumerProperties()) {
        consumer_->set(name.c_str(), value.c_str());
    }
    // Every frame is written however long it takes, and the end of the timeline ends it.
    consumer_->set("real_time", -1);
    consumer_->set("terminate_on_pause", 1);

    frameShownEvent_.reset(consumer_->listen("consumer-frame-show", &state_,
                                             reinterpret_cast<mlt_listener>(OnFrameShown)));
    stoppedEvent_.reset(
        consumer_->listen("consumer-stopped", &state_, reinterpret_cast<mlt_listener>(OnStopped)));
    fatalErrorEvent_.reset(consumer_->listen("consumer-fatal-error", &state_,
                                             reinterpret_cast<mlt_listener>(OnFatalError)));
    state_.starter = std::this_thread::get_id();
    state_.started.store(false);
    propertyChangedEvent_.reset(consumer_->listen(
        "property-changed", &state_, reinterpret_cast<mlt_listener>(OnPropertyChanged)));
    graph_->seek(0);
    graph_->set_speed(1.0);
    const bool started = consumer_->connect(*graph_) == 0 && consumer_->start() == 0;
    state_.Open();
    if (!started) {
        return Fail("the avformat consumer did not start");
    }
    return true;
}

bool MltConverter::GetProgress(int64_t& current, int64_t& duration) {
    if (!connected_) {
        return false;
    }
    current = FramesToTime(std::min(state_.framesShown.load(), length_));
    duration = FramesToTime(length_);
    return true;
}

bool MltConverter::IsComplete() {
    if (!connected_ || complete_) {
        return complete_;
    }
    if (finished_ || !state_.stopped.load()) {
        return false;
    }
    // The consumer's thread has written the trailer and closed the file; stopping it now
    // joins it and the threads that rendered ahead.
    consumer_->stop();
    finished_ = true;
    const int64_t frames = state_.framesShown.load();
    if (state_.fatalError.load() || frames < length_) {
        error_ = "the encoder stopped after " + std::to_string(frames) + " of " +
                 std::to_string(length_) + " frames";
        RemovePartial();
        failed_ = true;
        return false;
    }
    if (!ReadsBack(replacement_->Temporary(), streams_)) {
        error_ = "the encoder could not finish " + target_.string();
        RemovePartial();
        failed_ = true;
        return false;
    }
    if (!replacement_->Commit()) {
        error_ = replacement_->Error();
        RemovePartial();
        failed_ = true;
        return false;
    }
    replacement_.reset();
    complete_ = true;
    return true;
}

bool MltConverter::HasFailed() {
    IsComplete();  // looks at an ended consumer once
    return failed_;
}

void MltConverter::Stop() {
    if (consumer_ && !finished_) {
        consumer_->stop();
        finished_ = true;
    }
    if (!complete_) {
        RemovePartial();
    }
}

void MltConverter::Reset() {
    Stop();
    frameShownEvent_.reset();
    stoppedEvent_.reset();
    fatalErrorEvent_.reset();
    propertyChangedEvent_.reset();
    consumer_.reset();  // before the graph it pulls from
    graph_.reset();
    profile_.reset();
    length_ = 0;
    connected_ = false;
    finished_ = false;
    complete_ = false;
    failed_ = false;
    state_.framesShown.store(0);
    state_.stopped.store(false);
    state_.fatalError.store(false);
    state_.Open();  // no thread is left to hold
}

bool MltConverter::Fail(const std::string& reason) {
    Reset();
    error_ = reason;
    return false;
}

void MltConverter::RemovePartial() {
    replacement_.reset();  // removes what it holds unless it was committed
}

int64_t MltConverter::FramesToTime(int64_t frames) const {
    return rateNum_ > 0 ? frames * kTimePerSecond * rateDen_ / rateNum_ : 0;
}

}  // namespace vortrel
