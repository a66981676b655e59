#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "ports/IMediaDetector.h"
#include "support/ScopedPort.h"

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
    // Types of the streams by index; a stream beyond the list is of type Other.
    std::vector<MediaStreamType> streamTypes = {MediaStreamType::Video};
    std::optional<std::pair<int32_t, int32_t>> videoFormat = std::make_pair(4, 2);
    // The frame at a time: the pixel bytes after the header, or none when none can be had.
    std::function<std::optional<std::vector<uint8_t>>(double seconds)> frameAt;

    std::vector<std::wstring> openedPaths;
    int created = 0;
    int destroyed = 0;
    int lengthQuestions = 0;
    std::vector<double> frameTimes;
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
        count = script_->streamCount.value_or(count);
        return script_->streamCount.has_value();
    }
    bool SetCurrentStream(int32_t index) override {
        current_ = index;
        return index >= 0 && index < script_->streamCount.value_or(0);
    }
    bool GetStreamType(MediaStreamType& type) override {
        const auto& types = script_->streamTypes;
        type = current_ < static_cast<int32_t>(types.size()) ? types[static_cast<size_t>(current_)]
                                                             : MediaStreamType::Other;
        return true;
    }
    bool GetVideoFormat(int32_t& width, int32_t& height) override {
        std::tie(width, height) = script_->videoFormat.value_or(std::pair{width, height});
        return script_->videoFormat.has_value();
    }
    bool GetBitmapBits(double seconds, int32_t width, int32_t height,
                       std::vector<uint8_t>& bitmap) override {
        script_->frameTimes.push_back(seconds);
        auto pixels = script_->frameAt ? script_->frameAt(seconds) : std::nullopt;
        if (!pixels) {
            return false;
        }
        // A header of its size, the width and the height, then the pixels.
        bitmap.assign(kBitmapInfoHeaderSize, 0);
        bitmap[0] = static_cast<uint8_t>(kBitmapInfoHeaderSize);
        bitmap[4] = static_cast<uint8_t>(width);
        bitmap[8] = static_cast<uint8_t>(height);
        bitmap.insert(bitmap.end(), pixels->begin(), pixels->end());
        return true;
    }
    bool GetStreamLength(double& seconds) override {
        ++script_->lengthQuestions;
        std::optional<double> answer;
        if (!script_->lengths.empty()) {
            answer = script_->lengths.front();
            script_->lengths.pop_front();
        }
        seconds = answer.value_or(seconds);
        return answer.has_value();
    }

  private:
    std::shared_ptr<MediaDetectorScript> script_;
    int32_t current_ = 0;
};

using ScopedFakeMediaDetector = ScopedFake<IMediaDetector, FakeMediaDetector, MediaDetectorScript>;

}  // namespace vortrel::testing
