#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <vector>

#include "platform/linux/MltGraphBuilder.h"
#include "ports/IRenderEngine.h"

namespace Mlt {
class Consumer;
class Event;
class Profile;
class Tractor;
}  // namespace Mlt

namespace vortrel {

class MltCatalog;
class XcbVideoWindow;

/// One picture the preview showed: RGBA, four bytes a pixel, rows without padding.
struct ShownFrame {
    std::vector<uint8_t> rgba;
    int32_t width = 0;
    int32_t height = 0;
    int64_t position = -1;  // frame number on the timeline
};

// The preview player of the Linux back end: plays the timeline's MLT graph in real time,
// the sound through SDL2 (its dummy driver where the machine has no sound device) and the
// pictures into a child window of the host's window on X11. The last picture shown is also
// kept off-screen, so that a host without a window system, and the tests, can read it.
class MltRenderEngine final : public IRenderEngine, public IFilterGraph {
  public:
    /// A player that builds the timeline's graph with MltGraphBuilder on the catalogue.
    explicit MltRenderEngine(const MltCatalog& catalog);
    ~MltRenderEngine() override;
    MltRenderEngine(const MltRenderEngine&) = delete;
    MltRenderEngine& operator=(const MltRenderEngine&) = delete;

    // IRenderEngine.
    /// Takes the timeline to build from.
    int32_t SetTimelineObject(EditTimeline& timeline) override;
    /// Builds the graph and its player, stopped at the start.
    int32_t ConnectFrontEnd() override;
    /// Nothing more to connect: the player renders sound and pictures itself.
    int32_t RenderOutputPins() override { return kRenderOk; }
    /// The built graph, or none.
    IFilterGraph* GetFilterGraph() override;
    /// Stops the player and lets the graph and the video window go.
    void ScrapIt() override;

    // IFilterGraph.
    /// Plays from the position held.
    void Run() override;
    /// Holds the picture at the position shown.
    void Pause() override;
    /// Stops the player; the position stays.
    void Stop() override;
    /// Whether the player runs, holds or is stopped.
    GraphState GetState() override { return state_.load(); }
    /// The position shown and the timeline's end, in 100-ns units.
    bool GetPositions(int64_t& current, int64_t& stop) override;
    /// Moves to a position; a held picture shows it.
    void SetPositions(int64_t current) override;
    /// True once a run has shown the timeline's last frame.
    bool IsComplete() override;
    /// Puts the video into a child window of an X11 window (0: the window goes).
    void SetOwner(NativeWindow owner) override;
    /// Nothing to do: the video window is always a child that clips its siblings.
    void SetWindowStyle(uint32_t) override {}
    /// Shows or hides the video window.
    void SetVisible(bool visible) override;
    /// Moves the video window in its owner.
    void SetWindowPosition(int32_t left, int32_t top, int32_t width, int32_t height) override;
    /// The picture size of the timeline's video.
    bool GetVideoSize(int32_t& width, int32_t& height) override;

    /// The last picture shown; false when none was shown since the graph was built.
    bool CopyShownFrame(ShownFrame& frame) const;

    /// Called on the player's thread with each picture it shows.
    void OnFrameShown(void* frame);

  private:
    int64_t FrameOf(int64_t time) const;
    int64_t TimeOf(int64_t frame) const;
    void StopPlayer();
    void ShowHeld(int64_t frame);
    bool Publish(void* frame, int64_t position);
    void ShowWindowIfDue();

    MltGraphBuilder builder_;
    EditTimeline* timeline_ = nullptr;
    std::unique_ptr<Mlt::Profile> profile_;
    std::unique_ptr<Mlt::Tractor> graph_;
    std::unique_ptr<Mlt::Consumer> consumer_;
    std::unique_ptr<Mlt::Event> frameShownEvent_;
    bool connected_ = false;
    bool started_ = false;  // the player's threads run: only while running
    int64_t length_ = 0;    // frames

    std::atomic<GraphState> state_{GraphState::Stopped};
    int64_t heldFrame_ = 0;                // the position while not running
    std::atomic<int64_t> shownFrame_{-1};  // the last frame shown while running

    mutable std::mutex frameMutex_;
    ShownFrame shown_;

    // The video window is made and moved on the control's thread and drawn into on the
    // player's; the mutex keeps it alive while a picture goes into it.
    mutable std::mutex windowMutex_;
    std::unique_ptr<XcbVideoWindow> window_;
    bool visible_ = true;
};

}  // namespace vortrel
