#pragma once

#include <string>

#include "model/IEffect.h"

namespace vortrel {

class ITrack;

// A transition on the transition track: it blends the clips of its media track (the second
// video track or the image track) into the layers beneath over its span.
class TransitionEffect : public IEffect {
  public:
    /// A transition placed on no track until it is given its media track.
    TransitionEffect();

    void GetDescription(std::wstring& title, std::wstring& text) const override;
    /// Puts the content's state into the editing timeline.
    void SetupDes() override;
    /// Reads every field itself: the media track is stored as a track index of the model.
    bool ReadXml(const tinyxml2::XMLElement& element, TimelineModel& model) override;
    /// Writes every field, the media track as its index in the model (-1 for none).
    void WriteXml(tinyxml2::XMLDocument& document, tinyxml2::XMLElement& element,
                  const TimelineModel& model) const override;

    /// Whether the blend runs the other way round.
    bool GetReverse() const;
    /// Sets the direction; the editing timeline takes it at the next set-up.
    void SetReverse(bool reverse);
    /// The track whose clips the transition blends, or none.
    ITrack* GetMediaTrack() const { return mediaTrack_; }
    /// Sets the media track and places the transition on its editing-timeline track.
    void SetMediaTrack(ITrack* track);

  private:
    ITrack* mediaTrack_ = nullptr;
};

}  // namespace vortrel
