#include "model/IClip.h"

#include <algorithm>

#include "engine/des/DesSource.h"
#include "model/IMediaDetector.h"
#include "model/TimeRules.h"
#include "model/XmlFields.h"

namespace vortrel {

IClip::IClip(std::shared_ptr<DesSource> desSource)
    : IContent(std::move(desSource)), media_(std::make_shared<TimeSegment>()) {}

IClip::~IClip() = default;

std::shared_ptr<DesSource> IClip::MakeDesSource(DesTrack* track) {
    return track != nullptr ? std::make_shared<DesSource>(*track) : nullptr;
}

void IClip::SetPixelRange(int32_t xStart, int32_t xStop) {
    if (!GetSegment()->SetPixelRange(xStart, xStop)) {
        return;
    }
    const int64_t length = GetSegment()->GetLength();
    if (length == media_->GetLength()) {
        return;
    }
    int64_t playable = length;
    // A length the detector cannot tell (0) must not cut the media span to nothing: the
    // clip then plays as much of its source as it is long.
    if (const int32_t mediaLength = GetMediaLength(); mediaLength > 0) {
        playable = std::min<int64_t>(length, mediaLength);
    }
    media_->SetStopMs(ClampToInt32(media_->GetStart() + playable));
}

bool IClip::ReadClipFields(const tinyxml2::XMLElement& element, bool withMediaStart) {
    std::wstring source;
    if (!xml::ReadText(element, "Source", source)) {
        return false;
    }
    SetSource(std::move(source));
    if (!ReadTimes(element)) {
        return false;
    }
    if (withMediaStart) {
        int32_t mediaStart = 0;
        if (!xml::ReadInt(element, "MediaStart", mediaStart)) {
            return false;
        }
        media_->SetStartMs(mediaStart);
        // The file holds no media stop: the clip plays as much of its file as it is long.
        media_->SetStopMs(ClampToInt32(mediaStart + GetSegment()->GetLength()));
    }
    return true;
}

void IClip::WriteClipFields(tinyxml2::XMLDocument& document, tinyxml2::XMLElement& element,
                            bool withMediaStart) const {
    xml::WriteText(document, element, "Source", source_);
    WriteTimes(document, element);
    if (withMediaStart) {
        xml::WriteInt(document, element, "MediaStart", media_->GetStart());
    }
}

int32_t IClip::GetMediaLength() const {
    std::unique_ptr<IMediaDetector> detector = CreateMediaDetector();
    if (!detector) {
        return 0;
    }
    double seconds = 0.0;
    bool found = false;
    int32_t count = 0;
    if (detector->SetFilename(source_) && detector->GetOutputStreams(count) && count > 0) {
        // The current stream is asked at most once per output stream, until one answer comes.
        for (int32_t attempt = 0; attempt < count && !found; ++attempt) {
            found = detector->GetStreamLength(seconds);
        }
    }
    return found ? TruncateToInt32(seconds * 1000.0) : 0;
}

}  // namespace vortrel
