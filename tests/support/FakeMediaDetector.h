#pragma once

#include <cstdint>
#include <deque>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "model/IMediaDetector.h"

namespace vortrel::testing {

// What the fake platform answers, and what it was asked. Shared by every detector that the
// factory makes, so a test can read it after the model has released the detector.
struct MediaDetectorScript {
    bool createSucceeds = true;
    bool openSucceeds = true;
    std::optional<int32_t> streamCount = 1;  // none: the count cannot be read
    // Answers to successive length questions; none means that question fails. When the list
    // runs out, the questions fail.
    std::deque<std::optional<double>> lengths;

    std::vector<std::wstring> openedPaths;
    int created = 0;
    int destroyed = 0;
    int lengthQuestions = 0;
};

// A media detector that answers from a script.
class FakeMediaDetector : public IMediaDetector {
  public:
    explicit FakeMediaDetector(std::shared_ptr<MediaDetectorScript> script)
        : script_(std::move(script)) {
        ++script_->created;
    }
    ~FakeMediaDetector() override { ++script_->destroyed; }

    bool SetFilename(const std::wstring& path) override {
        script_->openedPaths.push_back(path);
        return script_->openSucceeds;
    }
    bool GetOutputStreams(int32_t& count) override {
        if (!script_->streamCount) {
            return false;
        }
        count = *script_->streamCount;
        return true;
    }
    bool GetStreamLength(double& seconds) override {
        ++script_->lengthQuestions;
        if (script_->lengths.empty()) {
            return false;
        }
        std::optional<double> answer = script_->lengths.front();
        script_->lengths.pop_front();
        if (!answer) {
            return false;
        }
        seconds = *answer;
        return true;
    }

  private:
    std::shared_ptr<MediaDetectorScript> script_;
};

// Installs a factory of fake detectors for the life of a test, and removes it afterwards.
class ScopedFakeMediaDetector {
  public:
    ScopedFakeMediaDetector() : script_(std::make_shared<MediaDetectorScript>()) {
        SetMediaDetectorFactory([script = script_]() -> std::unique_ptr<IMediaDetector> {
            if (!script->createSucceeds) {
                return nullptr;
            }
            return std::make_unique<FakeMediaDetector>(script);
        });
    }
    ~ScopedFakeMediaDetector() { SetMediaDetectorFactory(nullptr); }
    ScopedFakeMediaDetector(const ScopedFakeMediaDetector&) = delete;
    ScopedFakeMediaDetector& operator=(const ScopedFakeMediaDetector&) = delete;

    MediaDetectorScript& Script() { return *script_; }

  private:
    std::shared_ptr<MediaDetectorScript> script_;
};

}  // namespace vortrel::testing
