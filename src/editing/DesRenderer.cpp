#include "editing/DesRenderer.h"

#include "editing/DesError.h"
#include "editing/DesTimeline.h"

namespace vortrel {

namespace {

// The render engine of a platform that has none: every graph fails to build, so the
// preview behaves as for a timeline the engine cannot play.
class NoRenderEngine final : public IRenderEngine {
  public:
    int32_t SetTimelineObject(EditTimeline&) override { return kRenderOk; }
    int32_t ConnectFrontEnd() override { return kRenderFailed; }
    int32_t RenderOutputPins() override { return kRenderFailed; }
    IFilterGraph* GetFilterGraph() override { return nullptr; }
    void ScrapIt() override {}
};

}  // namespace

DesRenderer::DesRenderer(DesTimeline* timeline) : timeline_(timeline) {
    engine_ = RenderEngineFactory::IsInstalled() ? RenderEngineFactory::Create()
                                                 : std::make_unique<NoRenderEngine>();
    if (!engine_) {
        throw DesError("Could not create render engine");
    }
}

DesRenderer::~DesRenderer() = default;

int32_t DesRenderer::ConnectTimeline() {
    if (connected_) {
        return kRenderOk;
    }
    int32_t result = engine_->SetTimelineObject(timeline_->GetTimeline());
    if (result < 0) {
        return result;
    }
    result = engine_->ConnectFrontEnd();
    if (result < 0) {
        return result;
    }
    if (result == kRenderOutputReset) {
        result = engine_->RenderOutputPins();
        if (result < 0) {
            return result;
        }
    }
    connected_ = true;
    return kRenderOk;
}

void DesRenderer::Reset() {
    if (connected_) {
        connected_ = false;
        engine_->ScrapIt();
    }
}

IFilterGraph* DesRenderer::GetFilterGraph() const {
    return connected_ ? engine_->GetFilterGraph() : nullptr;
}

}  // namespace vortrel
