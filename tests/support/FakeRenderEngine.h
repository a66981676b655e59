#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "ports/INativeWindows.h"
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
        Log("GetPositions");
        current = script_->current;
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
        Log("GetVideoSize");
        width = 320;
        height = 240;
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

// A window system of made-up windows: each known id has a parent and a client rectangle in
// it; other ids are not windows.
class FakeNativeWindows final : public INativeWindows {
  public:
    struct Window {
        NativeWindow parent = 0;
        WindowRect client;
    };
    explicit FakeNativeWindows(std::map<NativeWindow, Window> windows)
        : windows_(std::move(windows)) {}

    /// A maker of window systems that know these windows, for a ScopedPort.
    static PortFactory<INativeWindows>::Maker MakerOf(std::map<NativeWindow, Window> windows) {
        return [windows] { return std::make_unique<FakeNativeWindows>(windows); };
    }

    NativeWindow GetParent(NativeWindow window) override {
        auto it = windows_.find(window);
        return it == windows_.end() ? 0 : it->second.parent;
    }
    bool GetClientRectInParent(NativeWindow window, WindowRect& rect) override {
        auto it = windows_.find(window);
        if (it == windows_.end()) {
            return false;
        }
        rect = it->second.client;
        return true;
    }

  private:
    std::map<NativeWindow, Window> windows_;
};

}  // namespace vortrel::testing
