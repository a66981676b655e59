#pragma once

#include <cstdint>
#include <memory>

#include "ports/IRenderEngine.h"

namespace vortrel {

class DesTimeline;

// The render engine that plays the editing timeline for the preview. The engine's graph is
// built from the timeline once, on the first ConnectTimeline, and kept until Reset scraps it.
class DesRenderer {
  public:
    /// Makes the platform's render engine for the timeline; raises DesError "Could not create
    /// render engine" when the platform's maker fails. A platform without a render engine
    /// gets one that can build no graph.
    explicit DesRenderer(DesTimeline* timeline);
    DesRenderer(const DesRenderer&) = delete;
    DesRenderer& operator=(const DesRenderer&) = delete;
    ~DesRenderer();

    /// Builds the graph unless it is built; kRenderOk, or the result of the first step that
    /// failed (the graph then stays unbuilt).
    int32_t ConnectTimeline();
    /// Scraps a built graph.
    void Reset();
    /// True while the engine has a built graph.
    bool IsConnected() const { return connected_; }
    /// The built graph, or none.
    IFilterGraph* GetFilterGraph() const;
    /// The platform's engine.
    IRenderEngine& GetEngine() const { return *engine_; }

  private:
    DesTimeline* timeline_;
    std::unique_ptr<IRenderEngine> engine_;
    bool connected_ = false;
};

}  // namespace vortrel
