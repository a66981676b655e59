#include "model/TextTrack.h"

#include <algorithm>

#include "editing/DesError.h"
#include "editing/DesTrack.h"
#include "editing/DesTransition.h"
#include "model/TextClip.h"
#include "model/TimeRules.h"

namespace vortrel {

TextTrack::TextTrack(std::shared_ptr<DesTrack> desTrack)
    : ITrack(desTrack), overlay_(std::make_shared<DesTransition>(desTrack.get())) {
    overlay_->Apply(kClsidDxtKey);
}

IContent* TextTrack::CreateContent() {
    IContent* content = ITrack::CreateContent();
    content->GetChanged()->Attach(this);
    return content;
}

std::shared_ptr<IContent> TextTrack::MakeContent(bool placed) const {
    return std::make_shared<TextClip>(placed ? GetDesTrack().get() : nullptr);
}

void TextTrack::Handle(ISubject& /*subject*/) {
    UpdateOverlaySpan();
}

void TextTrack::UpdateOverlaySpan() {
    // A text that ends before the start of the timeline shows nothing; the overlay never
    // gets a span that ends before it starts.
    int32_t latest = 0;
    for (int32_t i = 0; i < GetContentCount(); ++i) {
        latest = std::max(latest, GetContentAt(i)->GetSegment()->GetStop());
    }
    const std::shared_ptr<EditNode>& node = overlay_->GetTransitionObject();
    if (!node || !node->SetStartStop(0, MillisecondsToReferenceTime(latest))) {
        throw DesError("Could not set transition times");
    }
}

}  // namespace vortrel
