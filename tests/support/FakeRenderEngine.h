#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "ports/IRenderEngine.h"
#include "support/ScopedPort.h"

namespace vortrel::testing {

// What the fake render engine answers, and the calls it was given in order. Shared by every
// engine the factory makes, so that a test reads it however the model holds its engine.
struct RenderScript {
    bool createSucceeds = true;
    int32_t setTimelineResult = kRenderOk;
    int32_t connectResult = kRenderOk;
    int32_t renderPinsResult = kRenderOk;
    int64_t current = 0;  // what GetPositions reports, 100-ns units
    bool complete = false;

    GraphState state = GraphState::Stopped;
    std::vector<std::string> calls;
};

// A render engine and its graph that act on nothing but the script: the state follows
// Run, Pause and Stop, and SetPositions moves the reported position.
class FakeRenderEngine final : public IRenderEngine, public IFilterGraph {
  public:
    explicit FakeRenderEngine(std::shared_ptr<RenderScript> script) : script_(std::move(script)) {}

    int32_t SetTimelineObject(EditTimeline&) override {
        return Logged("SetTimelineObject", script_->setTimelineResult);
    }
    int32_t ConnectFrontEnd() override {
        connected_ = script_->connectResult >= 0;
        return Logged("ConnectFrontEnd", script_->connectResult);
    }
    int32_t RenderOutputPins() override {
        return Logged("RenderOutputPins", script_->renderPinsResult);
    }
    IFilterGraph* GetFilterGraph() override { return connected_ ? this : nullptr; }
    void ScrapIt() override {
        connected_ = false;
        script_->state = GraphState::Stopped;
        Log("ScrapIt");
    }

    void Run() override { script_->state = Logged("Run", GraphState::Running); }
    void Pause() override { script_->state = Logged("Pause", GraphState::Paused); }
    void Stop() override { script_->state = Logged("Stop", GraphState::Stopped); }
    GraphState GetState() override { return Logged("GetState", script_->state); }
    bool GetPositions(int64_t& current, int64_t& stop) override {
        current = Logged("GetPositions", script_->current);
        stop = 0;
        return true;
    }
    void SetPositions(int64_t current) override {
        script_->current = current;
        Log("SetPositions", current);
    }
    bool IsComplete() override { return Logged("IsComplete", script_->complete); }
    void SetOwner(NativeWindow owner) override { Log("SetOwner", owner); }
    void SetWindowStyle(uint32_t style) override { Log("SetWindowStyle", style); }
    void SetVisible(bool visible) override { Log("SetVisible", visible ? 1 : 0); }
    void SetWindowPosition(int32_t left, int32_t top, int32_t width, int32_t height) override {
        Log("SetWindowPosition", left, top, width, height);
    }
    bool GetVideoSize(int32_t& width, int32_t& height) override {
        std::tie(width, height) = Logged("GetVideoSize", std::pair{320, 240});
        return true;
    }

  private:
    // Logs a call with its arguments after its name, separated by spaces.
    template <typename... Args>
    void Log(std::string call, Args... args) {
        ((call += " " + std::to_string(args)), ...);
        script_->calls.push_back(std::move(call));
    }
    template <typename Result>
    Result Logged(const char* call, Result result) {
        Log(call);
        return result;
    }

    std::shared_ptr<RenderScript> script_;
    bool connected_ = false;
};

using ScopedFakeRenderEngine = ScopedFake<IRenderEngine, FakeRenderEngine, RenderScript>;

}  // namespace vortrel::testing
