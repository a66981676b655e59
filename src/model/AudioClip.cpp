#include "model/AudioClip.h"

#include <locale>
#include <sstream>

#include "editing/ApplyParams.h"
#include "editing/DesEffect.h"
#include "editing/DesSource.h"
#include "editing/DesTimeline.h"
#include "editing/WaveformExtractor.h"
#include "model/MediaCache.h"
#include "model/TimeRules.h"
#include "model/VideoClip.h"
#include "model/XmlFields.h"

namespace vortrel {

AudioClip::AudioClip(DesTrack* track)
    : IClip(MakeDesSource(track)),
      volumeEffect_(std::make_shared<DesSourceEffect>(GetDesSource().get())) {}

AudioClip::~AudioClip() = default;

void AudioClip::GetDescription(std::wstring& title, std::wstring& text) const {
    title = L"Audio";
    text = DescribeMediaClip(*this);
}

void AudioClip::SetupDes() {
    SetupMediaSource("Could not setup audio clip");
    const TimeSegment& at = *GetSegment();
    try {
        // The gain as text, written the same way in every locale: 1 gives Vol=1.
        std::wostringstream volume;
        volume.imbue(std::locale::classic());
        volume << L"Vol=" << volume_;
        volumeEffect_->Apply(kClsidAudMixer);
        EditNode& node = *volumeEffect_->GetEffectObject();
        node.SetStartStop(MillisecondsToReferenceTime(at.GetStart()),
                          MillisecondsToReferenceTime(at.GetStop()));
        ApplyParams(volume.str(), node, volumeEffect_->GetTimeline()->GetTimeline());
    } catch (const std::exception&) {
        // The clip plays on with whatever volume effect it has; its set-up goes on.
    }

    const int32_t mediaStart = GetMediaSegment()->GetStart();
    const int32_t mediaStop = ClampToInt32(mediaStart + at.GetLength());
    if (GetSource() == waveformSource_ && mediaStart == waveformMediaStart_ &&
        mediaStop == waveformMediaStop_) {
        return;
    }
    waveformLevels_.clear();
    MediaCache& cache = MediaCache::Instance();
    if (auto known = cache.FindWaveform(GetSource(), mediaStart, mediaStop)) {
        waveformLevels_ = *known;
    } else {
        // Errors go to the caller, and the old key stays so that the next update tries again.
        ExtractWaveform(GetSource(), waveformLevels_, mediaStart, mediaStop);
        cache.StoreWaveform(GetSource(), mediaStart, mediaStop, waveformLevels_);
    }
    SetWaveformKey(GetSource(), mediaStart, mediaStop);
}

bool AudioClip::ReadFields(const tinyxml2::XMLElement& element) {
    if (!ReadClipFields(element, true)) {
        return false;
    }
    return xml::ReadFloat(element, "Volume", volume_);
}

void AudioClip::WriteFields(tinyxml2::XMLDocument& document, tinyxml2::XMLElement& element) const {
    WriteClipFields(document, element, true);
    xml::WriteFloat(document, element, "Volume", volume_);
}

void AudioClip::SetWaveformKey(std::wstring source, int32_t mediaStart, int32_t mediaStop) {
    waveformSource_ = std::move(source);
    waveformMediaStart_ = mediaStart;
    waveformMediaStop_ = mediaStop;
}

}  // namespace vortrel
