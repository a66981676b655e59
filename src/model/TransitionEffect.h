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
