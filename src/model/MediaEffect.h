#pragma once

#include <string>

#include "model/IEffect.h"

namespace vortrel {

class DesVideoGroup;

// A video effect on the effect track: it acts on the whole video composition over its span.
class MediaEffect : public IEffect {
  public:
    /// An effect placed on the given video group (none: an effect that is not placed).
    explicit MediaEffect(DesVideoGroup* group);

    void GetDescription(std::wstring& title, std::wstring& text) const override;
    /// Puts the content's state into the editing timeline.
    void SetupDes() override;
    bool ReadFields(const tinyxml2::XMLElement& element) override;
    void WriteFields(tinyxml2::XMLDocument& document, tinyxml2::XMLElement& element) const override;
};

}  // namespace vortrel
