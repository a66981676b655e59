#include "platform/linux/MltRenderEngine.h"

#include <glob.h>
#include <mlt++/Mlt.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <exception>
#include <string>

#include "editing/EditTimeline.h"
#include "platform/linux/MltCatalog.h"
#include "platform/linux/MltOutputPlan.h"
#include "platform/linux/MltRuntime.h"
#include "platform/linux/XcbVideoWindow.h"

namespace vortrel {

namespace {

constexpr int64_t kTimePerSecond = 10'000'000;  // 100-ns units
constexpr int32_t kBytesPerPixel = 4;

void FrameShown(mlt_properties, void* engine, mlt_event_data data) {
    static_cast<MltRenderEngine*>(engine)->OnFrameShown(mlt_event_data_to_frame(data));
}

bool Exists(const std::string& path) {
    return access(path.c_str(), F_OK) == 0;
}

// Whether SDL can be expected to find a sound output: a sound server of the session or a
// playback device of the kernel. Asking SDL itself would print the sound library's
// complaints on every machine without one.
bool HasSoundOutput() {
    if (const char* runtime = std::getenv("XDG_RUNTIME_DIR")) {
        const std::string dir(runtime);
        if (Exists(dir + "/pulse/native") || Exists(dir + "/pipewire-0")) {
            return true;
        }
    }
    glob_t found{};
    const bool devices = glob("/dev/snd/pcmC*D*p", 0, nullptr, &found) == 0 && found.gl_pathc > 0;
    globfree(&found);
    return devices;
}

// The SDL sound driver to ask for: the one the user chose, else the default one, else SDL's
// dummy driver, which takes the sound at the pace of a real device, so the pictures keep
// their time and a machine without sound still plays.
const char* SoundDriver() {
    static const bool dummy = std::getenv("SDL_AUDIODRIVER") == nullptr && !HasSoundOutput();
    return dummy ? "dummy" : nullptr;
}

}  // namespace

MltRenderEngine::MltRenderEngine(const MltCatalog& catalog) : builder_(catalog) {}

MltRenderEngine::~MltRenderEngine() {
    ScrapIt();
}

int32_t MltRenderEngine::SetTimelineObject(EditTimeline& timeline) {
    timeline_ = &timeline;
    return kRenderOk;
}

int32_t MltRenderEngine::ConnectFrontEnd() {
    if (timeline_ == nullptr) {
        return kRenderFailed;
    }
    ScrapIt();
    try {
        MltRuntime::Repository();
        profile_ = builder_.MakeProfile(*timeline_);
        if (!profile_ || !profile_->is_valid()) {
            ScrapIt();
            return kRenderFailed;
        }
        const TimelineFormat format = FormatOf(*timeline_, *profile_);
        graph_ = builder_.Build(*timeline_, *profile_, format.channels);
        if (!graph_ || !graph_->is_valid() || graph_->get_length() <= 0) {
            ScrapIt();
            return kRenderFailed;
        }
        length_ = graph_->get_length();
        consumer_ = std::make_unique<Mlt::Consumer>(*profile_, "sdl2_audio");
        if (!consumer_->is_valid()) {
            ScrapIt();
            return kRenderFailed;
        }
        consumer_->set("mlt_image_format", "rgba");
        consumer_->set("frequency", format.sampleRate);
        consumer_->set("channels", format.channels);
        consumer_->set("real_time", 1);
        consumer_->set("terminate_on_pause", 0);
        if (const char* driver = SoundDriver()) {
            consumer_->set("audio_driver", driver);
        }
        frameShownEvent_.reset(consumer_->listen("consumer-frame-show", this,
                                                 reinterpret_cast<mlt_listener>(FrameShown)));
        graph_->set_speed(0);
        graph_->seek(0);
        if (consumer_->connect(*graph_) != 0) {
            ScrapIt();
            return kRenderFailed;
        }
    } catch (const std::exception&) {
        ScrapIt();
        return kRenderFailed;
    }
    connected_ = true;
    return kRenderOk;
}

IFilterGraph* MltRenderEngine::GetFilterGraph() {
    return connected_ ? this : nullptr;
}

void MltRenderEngine::ScrapIt() {
    Stop();
    {
        std::lock_guard<std::mutex> lock(windowMutex_);
        window_.reset();
    }
    visible_ = true;
    frameShownEvent_.reset();
    consumer_.reset();  // before the graph it pulls from
    graph_.reset();
    profile_.reset();
    connected_ = false;
    length_ = 0;
    heldFrame_ = 0;
    shownFrame_.store(-1);
    std::lock_guard<std::mutex> lock(frameMutex_);
    shown_ = ShownFrame{};
}

void MltRenderEngine::Run() {
    if (!connected_ || state_.load() == GraphState::Running) {
        return;
    }
    const int64_t frame = heldFrame_;
    shownFrame_.store(frame);
    graph_->seek(static_cast<int>(frame));
    graph_->set_speed(1.0);
    state_.store(GraphState::Running);
    started_ = consumer_->start() == 0;
    if (!started_) {
        // SDL could not start on the sound output it found; the dummy driver keeps the pace.
        consumer_->set("audio_driver", "dummy");
        started_ = consumer_->start() == 0;
    }
    ShowWindowIfDue();
}

void MltRenderEngine::Pause() {
    if (!connected_ || state_.load() == GraphState::Paused) {
        return;
    }
    int64_t frame = heldFrame_;
    if (state_.load() == GraphState::Running) {
        frame = std::max<int64_t>(shownFrame_.load(), 0);
        // The player stops rather than holding at speed 0: its sound buffer and its clock
        // would otherwise carry the time before the pause into the next run, which then
        // stalls and steps back.
        state_.store(GraphState::Paused);
        StopPlayer();
    }
    state_.store(GraphState::Paused);
    ShowHeld(frame);
    ShowWindowIfDue();
}

void MltRenderEngine::Stop() {
    if (state_.load() == GraphState::Running) {
        heldFrame_ = std::max<int64_t>(shownFrame_.load(), 0);  // the position stays
    }
    state_.store(GraphState::Stopped);
    StopPlayer();
}

bool MltRenderEngine::GetPositions(int64_t& current, int64_t& stop) {
    if (!connected_) {
        return false;
    }
    const int64_t frame = state_.load() == GraphState::Running ? shownFrame_.load() : heldFrame_;
    current = TimeOf(std::clamp<int64_t>(frame, 0, length_ - 1));
    stop = TimeOf(length_);
    return true;
}

void MltRenderEngine::SetPositions(int64_t current) {
    if (!connected_) {
        return;
    }
    const int64_t frame = std::clamp<int64_t>(FrameOf(current), 0, length_ - 1);
    shownFrame_.store(frame);
    switch (state_.load()) {
        case GraphState::Running:
            // The player starts again from there, so that nothing it read ahead of the old
            // position is still shown after the new one.
            state_.store(GraphState::Paused);
            StopPlayer();
            heldFrame_ = frame;
            state_.store(GraphState::Stopped);
            Run();
            break;
        case GraphState::Paused:
            ShowHeld(frame);
            break;
        case GraphState::Stopped:
            heldFrame_ = frame;
            graph_->seek(static_cast<int>(frame));
            break;
    }
}

bool MltRenderEngine::IsComplete() {
    return connected_ && state_.load() == GraphState::Running && shownFrame_.load() >= length_ - 1;
}

void MltRenderEngine::SetOwner(NativeWindow owner) {
    std::lock_guard<std::mutex> lock(windowMutex_);
    window_.reset();
    if (owner > 0 && owner <= static_cast<NativeWindow>(UINT32_MAX)) {
        window_ = XcbVideoWindow::Create(static_cast<uint32_t>(owner));
    }
}

void MltRenderEngine::SetVisible(bool visible) {
    visible_ = visible;
    std::lock_guard<std::mutex> lock(windowMutex_);
    if (window_) {
        window_->SetVisible(visible);
    }
}

void MltRenderEngine::SetWindowPosition(int32_t left, int32_t top, int32_t width, int32_t height) {
    std::lock_guard<std::mutex> lock(windowMutex_);
    if (window_) {
        window_->SetPosition(left, top, width, height);
    }
}

bool MltRenderEngine::GetVideoSize(int32_t& width, int32_t& height) {
    if (!profile_) {
        return false;
    }
    width = profile_->width();
    height = profile_->height();
    return true;
}

bool MltRenderEngine::CopyShownFrame(ShownFrame& frame) const {
    std::lock_guard<std::mutex> lock(frameMutex_);
    if (shown_.rgba.empty()) {
        return false;
    }
    frame = shown_;
    return true;
}

void MltRenderEngine::OnFrameShown(void* data) {
    auto frame = static_cast<mlt_frame>(data);
    // Pictures the player still shows while it stops are not what it holds.
    if (frame == nullptr || state_.load() != GraphState::Running) {
        return;
    }
    // At the end the player shows the last picture at once while earlier ones are still on
    // their way; a run only goes forward.
    const int64_t position = mlt_frame_get_position(frame);
    if (position < shownFrame_.load()) {
        return;
    }
    if (Publish(frame, position)) {
        int64_t shown = shownFrame_.load();
        while (shown < position && !shownFrame_.compare_exchange_weak(shown, position)) {
        }
    }
}

bool MltRenderEngine::Publish(void* data, int64_t position) {
    auto frame = static_cast<mlt_frame>(data);
    mlt_image_format format = mlt_image_rgba;
    int width = profile_->width();
    int height = profile_->height();
    uint8_t* image = nullptr;
    if (mlt_frame_get_image(frame, &image, &format, &width, &height, 0) != 0 || image == nullptr ||
        format != mlt_image_rgba || width <= 0 || height <= 0) {
        return false;
    }
    const size_t bytes = static_cast<size_t>(width) * static_cast<size_t>(height) * kBytesPerPixel;
    {
        std::lock_guard<std::mutex> lock(frameMutex_);
        shown_.rgba.assign(image, image + bytes);
        shown_.width = width;
        shown_.height = height;
        shown_.position = position;
    }
    std::lock_guard<std::mutex> lock(windowMutex_);
    if (window_) {
        window_->Show(image, width, height);
    }
    return true;
}

int64_t MltRenderEngine::FrameOf(int64_t time) const {
    const int64_t num = profile_ ? profile_->frame_rate_num() : 0;
    const int64_t den = profile_ ? profile_->frame_rate_den() : 1;
    if (num <= 0 || den <= 0) {
        return 0;
    }
    // Whole frames up to the time; the division rounds toward zero, negatives clamp later.
    const long double frames = static_cast<long double>(time) * num / (den * kTimePerSecond);
    return frames >= static_cast<long double>(INT64_MAX) ? INT64_MAX : static_cast<int64_t>(frames);
}

int64_t MltRenderEngine::TimeOf(int64_t frame) const {
    const int64_t num = profile_ ? profile_->frame_rate_num() : 0;
    const int64_t den = profile_ ? profile_->frame_rate_den() : 1;
    return num > 0 ? frame * kTimePerSecond * den / num : 0;
}

void MltRenderEngine::StopPlayer() {
    if (started_) {
        consumer_->stop();
        started_ = false;
    }
    if (graph_) {
        graph_->set_speed(0);
    }
}

void MltRenderEngine::ShowHeld(int64_t frame) {
    heldFrame_ = frame;
    graph_->set_speed(0);
    graph_->seek(static_cast<int>(frame));
    // The player is stopped: the held picture is rendered here, at once.
    std::unique_ptr<Mlt::Frame> picture(graph_->get_frame());
    if (picture && picture->is_valid()) {
        Publish(picture->get_frame(), frame);
    }
}

void MltRenderEngine::ShowWindowIfDue() {
    std::lock_guard<std::mutex> lock(windowMutex_);
    if (window_ && visible_) {
        window_->SetVisible(true);
    }
}

}  // namespace vortrel
