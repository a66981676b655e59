#include "model/AudioClip.h"

#include "engine/des/DesEffect.h"
#include "engine/des/DesSource.h"
#include "model/VideoClip.h"

namespace vortrel {

AudioClip::AudioClip(DesTrack& track)
    : IClip(std::make_shared<DesSource>(track)),
      volumeEffect_(std::make_shared<DesSourceEffect>(GetDesSource().get())) {}

AudioClip::~AudioClip() = default;

void AudioClip::GetDescription(std::wstring& title, std::wstring& text) const {
    title = L"Audio";
    text = DescribeMediaClip(*this);
}

void AudioClip::SetWaveformKey(std::wstring source, int32_t mediaStart, int32_t mediaStop) {
    waveformSource_ = std::move(source);
    waveformMediaStart_ = mediaStart;
    waveformMediaStop_ = mediaStop;
}

}  // namespace vortrel
