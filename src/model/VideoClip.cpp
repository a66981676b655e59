#include "model/VideoClip.h"

#include <algorithm>
#include <cstdlib>

#include "model/ContentTime.h"
#include "model/MediaCache.h"
#include "ports/IMediaDetector.h"

namespace vortrel {

namespace {

constexpr double kDarkFrameStep = 0.5;  // seconds between frames tried past a dark one
// The search for a bright frame is bounded even when the length is unknown or the detector
// keeps answering past the end: adding a clip must stay quick.
constexpr int kMaxPosterFetches = 600;

// Finds the first video stream and its picture size; false when there is none.
bool SelectVideoStream(IMediaDetector& detector, int32_t& width, int32_t& height, double& length) {
    int32_t count = 0;
    if (!detector.GetOutputStreams(count)) {
        return false;
    }
    for (int32_t index = 0; index < count; ++index) {
        MediaStreamType type = MediaStreamType::Other;
        if (!detector.SetCurrentStream(index) || !detector.GetStreamType(type) ||
            type != MediaStreamType::Video) {
            continue;
        }
        if (!detector.GetVideoFormat(width, height) || width <= 0 || height == 0) {
            return false;
        }
        height = std::abs(height);
        if (!detector.GetStreamLength(length)) {
            length = -1.0;
        }
        return true;
    }
    return false;
}

}  // namespace

bool IsDarkFrame(const std::vector<uint8_t>& bitmap) {
    return std::none_of(bitmap.begin() + static_cast<std::ptrdiff_t>(
                                             std::min(bitmap.size(), kBitmapInfoHeaderSize)),
                        bitmap.end(), [](uint8_t byte) { return byte > 90; });
}

std::wstring DescribeMediaClip(const IClip& clip) {
    return L"Clip: " + FileNameOf(clip.GetSource()) + DescribeTimes(*clip.GetSegment()) +
           L"\nMedia Start: " + FormatContentTime(clip.GetMediaSegment()->GetStart()) +
           L"\nMedia Stop: " + FormatContentTime(clip.GetMediaSegment()->GetStop());
}

VideoClip::VideoClip(DesTrack* track) : IClip(MakeDesSource(track)) {}

VideoClip::~VideoClip() = default;

void VideoClip::GetDescription(std::wstring& title, std::wstring& text) const {
    title = L"Video";
    text = DescribeMediaClip(*this);
}

void VideoClip::SetupDes() {
    SetupMediaSource("Could not setup video clip");
}

bool VideoClip::ReadFields(const tinyxml2::XMLElement& element) {
    return ReadClipFields(element, true);
}

void VideoClip::WriteFields(tinyxml2::XMLDocument& document, tinyxml2::XMLElement& element) const {
    WriteClipFields(document, element, true);
}

std::unique_ptr<DibBitmap> VideoClip::CreatePosterFrame() {
    const int32_t mediaStart = GetMediaSegment()->GetStart();
    MediaCache& cache = MediaCache::Instance();
    if (auto known = cache.FindPoster(GetSource(), mediaStart, skipBlackPosterFrame_)) {
        posterBits_ = *known;
        auto poster = std::make_unique<DibBitmap>();
        poster->bits = *known;
        return poster;
    }
    std::unique_ptr<IMediaDetector> detector = MediaDetectorFactory::Create();
    if (!detector || !detector->SetFilename(GetSource())) {
        return nullptr;
    }
    int32_t width = 0;
    int32_t height = 0;
    double length = -1.0;
    if (!SelectVideoStream(*detector, width, height, length)) {
        return nullptr;
    }
    double seconds = GetMediaSegment()->GetStart() / 1000.0;
    std::vector<uint8_t> frame;
    if (!detector->GetBitmapBits(seconds, width, height, frame)) {
        return nullptr;
    }
    // A video that is dark to its end shows the last frame fetched rather than nothing.
    for (int fetches = 1;
         skipBlackPosterFrame_ && IsDarkFrame(frame) && fetches < kMaxPosterFetches; ++fetches) {
        seconds += kDarkFrameStep;
        std::vector<uint8_t> next;
        if ((length >= 0.0 && seconds >= length) ||
            !detector->GetBitmapBits(seconds, width, height, next)) {
            break;
        }
        // Without a known length, a picture that no longer changes (a still image) ends the
        // search: later frames would be the same.
        const bool unchanged = next == frame;
        frame = std::move(next);
        if (length < 0.0 && unchanged) {
            break;
        }
    }
    posterBits_ = frame;
    cache.StorePoster(GetSource(), mediaStart, skipBlackPosterFrame_, frame);
    auto poster = std::make_unique<DibBitmap>();
    poster->bits = std::move(frame);
    return poster;
}

}  // namespace vortrel
