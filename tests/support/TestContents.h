#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "model/IClip.h"
#include "model/IObserver.h"
#include "model/ITrack.h"

namespace vortrel::testing {

// A shared record of what happened, in order, across contents and observers.
using EventLog = std::vector<std::string>;

// A clip that logs its editing-timeline set-up and its destruction.
class TestClip : public IClip {
  public:
    explicit TestClip(std::shared_ptr<EventLog> log = nullptr)
        : IClip(std::shared_ptr<DesSource>()), log_(std::move(log)) {}
    ~TestClip() override { Record("destroyed " + Name()); }

    void SetupDes() override {
        Record("setup " + Name());
        setupTimes.push_back({GetSegment()->GetStart(), GetSegment()->GetStop()});
    }

    std::string Name() const { return std::string(GetSource().begin(), GetSource().end()); }

    std::vector<std::pair<int32_t, int32_t>> setupTimes;

  private:
    void Record(const std::string& entry) const {
        if (log_) {
            log_->push_back(entry);
        }
    }
    std::shared_ptr<EventLog> log_;
};

// A track of TestClips, accepting the video kind.
class TestTrack : public ITrack {
  public:
    explicit TestTrack(std::shared_ptr<EventLog> log = nullptr)
        : ITrack(nullptr), log_(std::move(log)) {}

    std::shared_ptr<IContent> MakeContent(bool /*placed*/) const override {
        return std::make_shared<TestClip>(log_);
    }
    bool AcceptsKind(ContentKind kind) const override { return kind == ContentKind::Video; }

    /// Creates a clip named `name` at start..stop ms and runs its Update.
    TestClip& Add(const std::string& name, int32_t start, int32_t stop) {
        auto& clip = static_cast<TestClip&>(*CreateContent());
        clip.SetSource(std::wstring(name.begin(), name.end()));
        clip.GetSegment()->SetStartMs(start);
        clip.GetSegment()->SetStopMs(stop);
        clip.Update();
        return clip;
    }

    TestClip& ClipAt(int32_t position) { return static_cast<TestClip&>(*GetContentAt(position)); }

  private:
    std::shared_ptr<EventLog> log_;
};

// An observer that runs a callback for each notification and counts them.
class CallbackObserver : public IObserver {
  public:
    explicit CallbackObserver(std::function<void(ISubject&)> onHandle = nullptr)
        : onHandle_(std::move(onHandle)) {}
    void Handle(ISubject& subject) override {
        ++calls;
        if (onHandle_) {
            onHandle_(subject);
        }
    }
    void SetCallback(std::function<void(ISubject&)> onHandle) { onHandle_ = std::move(onHandle); }

    int calls = 0;

  private:
    std::function<void(ISubject&)> onHandle_;
};

}  // namespace vortrel::testing
