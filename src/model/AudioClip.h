#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "model/IClip.h"

namespace vortrel {

class DesSourceEffect;
class DesTrack;

// A clip of an audio file on an audio track, with its playback gain (carried into the
// editing timeline by a volume effect on its own source) and the waveform levels of the part
// it plays, with the source and span they were computed for.
class AudioClip : public IClip {
  public:
    /// A clip whose source, with its volume effect, is placed on the given track (none: a
    /// clip that is not placed).
    explicit AudioClip(DesTrack* track);
    ~AudioClip() override;

    void GetDescription(std::wstring& title, std::wstring& text) const override;
    /// Puts the content's state into the editing timeline.
    void SetupDes() override;
    bool ReadFields(const tinyxml2::XMLElement& element) override;
    void WriteFields(tinyxml2::XMLDocument& document, tinyxml2::XMLElement& element) const override;

    /// The playback gain, 1.0 when made.
    float GetVolume() const { return volume_; }
    /// Stores the gain unchanged.
    void SetVolume(float volume) { volume_ = volume; }

    /// The volume effect on the clip's source.
    const std::shared_ptr<DesSourceEffect>& GetVolumeEffect() const { return volumeEffect_; }

    /// The waveform as (high, low) pairs, one pair a millisecond, in [-1, 1].
    std::vector<double>& GetWaveformLevels() { return waveformLevels_; }
    const std::vector<double>& GetWaveformLevels() const { return waveformLevels_; }
    /// The source the levels were computed for.
    const std::wstring& GetWaveformSource() const { return waveformSource_; }
    int32_t GetWaveformMediaStart() const { return waveformMediaStart_; }
    int32_t GetWaveformMediaStop() const { return waveformMediaStop_; }
    /// Records the source and media span the levels now belong to.
    void SetWaveformKey(std::wstring source, int32_t mediaStart, int32_t mediaStop);

  private:
    std::vector<double> waveformLevels_;
    std::shared_ptr<DesSourceEffect> volumeEffect_;
    float volume_ = 1.0f;
    std::wstring waveformSource_;
    int32_t waveformMediaStart_ = 0;
    int32_t waveformMediaStop_ = 0;
};

}  // namespace vortrel
