#include "model/AudioClip.h"

#include "engine/des/DesEffect.h"
#include "engine/des/DesSource.h"
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
