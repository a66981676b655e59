#pragma once

#include <cstdint>

#include "base/PortFactory.h"
#include "ports/INativeWindows.h"

namespace vortrel {

class EditTimeline;

/// Result codes of the render engine's building steps.
constexpr int32_t kRenderOk = 0;
/// The front end connected and the output pins must be rendered again.
constexpr int32_t kRenderOutputReset = 0x00009DD4;
constexpr int32_t kRenderFailed = static_cast<int32_t>(0x80004005);

/// The running state of a built graph.
enum class GraphState { Stopped, Paused, Running };

// The graph a render engine built from the timeline, as the preview drives it: run, pause
// and stop it, read and set its position, ask whether it has played to the end, and host its
// video in a child window of a native window. Positions are in 100-ns units. It streams on
// threads of its own; every call here returns at once.
class IFilterGraph {
  public:
    virtual ~IFilterGraph() = default;

    /// Plays from the current position.
    virtual void Run() = 0;
    /// Holds the current picture (cueing the graph when it was stopped).
    virtual void Pause() = 0;
    /// Stops streaming; the position stays.
    virtual void Stop() = 0;
    /// Whether the graph runs, holds or is stopped.
    virtual GraphState GetState() = 0;

    /// The position shown now and the end of the timeline; false when they cannot be told.
    virtual bool GetPositions(int64_t& current, int64_t& stop) = 0;
    /// Moves to a position (absolute); a held picture shows the new position.
    virtual void SetPositions(int64_t current) = 0;
    /// True once a run has played to the end of the timeline.
    virtual bool IsComplete() = 0;

    /// Makes the video window a child of a native window (0: none, the window goes).
    virtual void SetOwner(NativeWindow owner) = 0;
    /// The video window's style bits as the platform knows them.
    virtual void SetWindowStyle(uint32_t style) = 0;
    /// Shows or hides the video window.
    virtual void SetVisible(bool visible) = 0;
    /// Moves the video window within its owner, in the owner's client coordinates.
    virtual void SetWindowPosition(int32_t left, int32_t top, int32_t width, int32_t height) = 0;
    /// The native size of the video; false when the graph has none.
    virtual bool GetVideoSize(int32_t& width, int32_t& height) = 0;
};

// The platform's render engine for the preview: it builds a playing graph from the editing
// timeline and scraps it again.
class IRenderEngine {
  public:
    virtual ~IRenderEngine() = default;

    /// Hands the engine the timeline to build from; a result code.
    virtual int32_t SetTimelineObject(EditTimeline& timeline) = 0;
    /// Builds the graph's front end from the timeline; kRenderOk, kRenderOutputReset or a
    /// failure.
    virtual int32_t ConnectFrontEnd() = 0;
    /// Connects the graph's outputs to the platform's renderers; a result code.
    virtual int32_t RenderOutputPins() = 0;
    /// The built graph; none before ConnectFrontEnd succeeded or after ScrapIt.
    virtual IFilterGraph* GetFilterGraph() = 0;
    /// Stops and lets go of the graph.
    virtual void ScrapIt() = 0;
};

/// The maker of the platform's render engines; without one the engine can build nothing.
using RenderEngineFactory = PortFactory<IRenderEngine>;

}  // namespace vortrel
