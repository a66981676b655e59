#include "model/IClip.h"

#include <algorithm>

#include "editing/DesError.h"
#include "editing/DesSource.h"
#include "model/MediaCache.h"
#include "model/TimeRules.h"
#include "model/XmlFields.h"
#include "ports/IMediaDetector.h"

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

void IClip::PlaceSource(const std::wstring& mediaName, int32_t mediaStart,
                        const char* failure) const {
    EditNode* node = GetDesSource() ? GetDesSource()->GetSourceObject().get() : nullptr;
    if (node == nullptr) {
        throw DesError(failure);
    }
    const TimeSegment& at = *GetSegment();
    const int64_t start = MillisecondsToReferenceTime(mediaStart);
    const int64_t length = at.GetLength() * kReferenceTimePerMillisecond;
    // All three are tried, so the node holds as much as it takes, then the failure is told.
    bool placed = node->SetStartStop(MillisecondsToReferenceTime(at.GetStart()),
                                     MillisecondsToReferenceTime(at.GetStop()));
    placed = node->SetMediaName(mediaName) && placed;
    placed = node->SetMediaTimes(start, start + length) && placed;
    if (!placed) {
        throw DesError(failure);
    }
}

void IClip::SetupMediaSource(const char* failure) {
    const int64_t left = static_cast<int64_t>(GetMediaLength()) - media_->GetStart();
    if (left <= 0) {
        throw DesError(failure);
    }
    TimeSegment& at = *GetSegment();
    if (left < at.GetLength()) {
        at.SetStopMs(ClampToInt32(at.GetStart() + left));
        media_->SetStopMs(ClampToInt32(media_->GetStart() + left));
    }
    PlaceSource(source_, media_->GetStart(), failure);
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
    if (std::optional<int32_t> known = MediaCache::Instance().FindLength(source_)) {
        return *known;
    }
    std::unique_ptr<IMediaDetector> detector = MediaDetectorFactory::Create();
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
    const int32_t length = found ? TruncateToInt32(seconds * 1000.0) : 0;
    MediaCache::Instance().StoreLength(source_, length);
    return length;
}

}  // namespace vortrel
