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
    int64_t stop = 0;
    bool complete = false;
    int32_t videoWidth = 320;
    int32_t videoHeight = 240;

    GraphState state = GraphState::Stopped;
    std::vector<std::string> calls;
};

// A render engine and its graph that act on nothing but the script: the state follows
// Run, Pause and Stop, and SetPositions moves the reported position.
class FakeRenderEngine final : public IRenderEngine, public IFilterGraph {
  public:
    explicit FakeRenderEngine(std::shared_ptr<RenderScript> script) : script_(std::move(script)) {}

    int32_t SetTimelineObject(EditTimeline&) override {
        return Call("SetTimelineObject", script_->setTimelineResult);
    }
    int32_t ConnectFrontEnd() override {
        connected_ = script_->connectResult >= 0;
        return Call("ConnectFrontEnd", script_->connectResult);
    }
    int32_t RenderOutputPins() override {
        return Call("RenderOutputPins", script_->renderPinsResult);
    }
    IFilterGraph* GetFilterGraph() override { return connected_ ? this : nullptr; }
    void ScrapIt() override {
        connected_ = false;
        script_->state = GraphState::Stopped;
        Log("ScrapIt");
    }

    void Run() override { Set(GraphState::Running, "Run"); }
    void Pause() override { Set(GraphState::Paused, "Pause"); }
    void Stop() override { Set(GraphState::Stopped, "Stop"); }
    GraphState GetState() override {
        Log("GetState");
        return script_->state;
    }
    bool GetPositions(int64_t& current, int64_t& stop) override {
        Log("GetPositions");
        current = script_->current;
        stop = script_->stop;
        return true;
    }
    void SetPositions(int64_t current) override {
        script_->current = current;
        Log("SetPositions " + std::to_string(current));
    }
    bool IsComplete() override {
        Log("IsComplete");
        return script_->complete;
    }
    void SetOwner(NativeWindow owner) override { Log("SetOwner " + std::to_string(owner)); }
    void SetWindowStyle(uint32_t style) override { Log("SetWindowStyle " + std::to_string(style)); }
    void SetVisible(bool visible) override { Log(visible ? "SetVisible 1" : "SetVisible 0"); }
    void SetWindowPosition(int32_t left, int32_t top, int32_t width, int32_t height) override {
        Log("SetWindowPosition " + std::to_string(left) + " " + std::to_string(top) + " " +
            std::to_string(width) + " " + std::to_string(height));
    }
    bool GetVideoSize(int32_t& width, int32_t& height) override {
        Log("GetVideoSize");
        width = script_->videoWidth;
        height = script_->videoHeight;
        return true;
    }

  private:
    void Log(std::string call) { script_->calls.push_back(std::move(call)); }
    int32_t Call(const char* name, int32_t result) {
        Log(name);
        return result;
    }
    void Set(GraphState state, const char* name) {
        script_->state = state;
        Log(name);
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
