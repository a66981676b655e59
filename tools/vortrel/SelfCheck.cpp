#include "SelfCheck.h"

#include <memory>
#include <string>

#include "model/IClip.h"
#include "model/IObserver.h"
#include "model/ITrack.h"
#include "model/TimeRules.h"
#include "model/TimeScale.h"

namespace vortrel {

namespace {

// The plainest clip: a source and two segments, nothing put into an editing timeline.
class SkeletonClip : public IClip {
  public:
    SkeletonClip() : IClip(std::shared_ptr<DesSource>()) {}
};

// A track of plain clips.
class SkeletonTrack : public ITrack {
  public:
    SkeletonTrack() : ITrack(nullptr) {}
    std::shared_ptr<IContent> MakeContent(bool /*placed*/) const override {
        return std::make_shared<SkeletonClip>();
    }
    bool AcceptsKind(ContentKind kind) const override { return kind == ContentKind::Video; }
};

// Gives every content added to the track the timeline's scale, as the timeline model does.
class ScaleGiver : public IObserver {
  public:
    explicit ScaleGiver(const TimeScale& scale) : scale_(scale) {}
    void Handle(ISubject& subject) override {
        static_cast<ContentEvent&>(subject).GetContent()->GetSegment()->SetScale(
            scale_.GetScaleField());
    }

  private:
    const TimeScale& scale_;
};

IClip& AddClip(ITrack& track, const wchar_t* source, float start, float stop) {
    auto& clip = static_cast<IClip&>(*track.CreateContent());
    clip.SetSource(source);
    clip.GetSegment()->SetStart(start);
    clip.GetSegment()->SetStop(stop);
    clip.GetMediaSegment()->SetStart(0.0f);
    clip.GetMediaSegment()->SetStop(stop - start);
    clip.Update();
    return clip;
}

void Print(std::ostream& out, const ITrack& track, float scale) {
    out << "  track: " << track.GetContentCount() << " contents\n";
    for (int32_t i = 0; i < track.GetContentCount(); ++i) {
        const auto& clip = static_cast<const IClip&>(*track.GetContentAt(i));
        const TimeSegment& at = *clip.GetSegment();
        const TimeSegment& media = *clip.GetMediaSegment();
        const std::wstring& wide = clip.GetSource();
        out << "    " << i << ": " << std::string(wide.begin(), wide.end()) << "  " << at.GetStart()
            << "-" << at.GetStop() << " ms  (px " << MillisecondsToPixels(at.GetStart(), scale)
            << "-" << MillisecondsToPixels(at.GetStop(), scale) << ")  media " << media.GetStart()
            << "-" << media.GetStop() << " ms\n";
    }
}

}  // namespace

bool RunSelfCheck(std::ostream& out) {
    TimeScale scale;
    SkeletonTrack track;
    ScaleGiver scaleGiver(scale);
    track.GetContentAdded()->Attach(&scaleGiver);

    out << "self-check: timeline skeleton\n";
    AddClip(track, L"intro.avi", 0.0f, 5.0f);
    AddClip(track, L"middle.avi", 3.0f, 8.0f);  // overlaps intro: moves to its stop
    IClip& last = AddClip(track, L"end.avi", 0.7f, 3.3f);
    scale.SetScale(2.0f);
    last.SetPixelRange(6500, 7500);  // dragged to 13 s .. 15 s at scale 2
    out << "  scale " << scale.GetScale() << ": " << MillisecondsToPixels(1000, scale.GetScale())
        << " px per second\n";
    Print(out, track, scale.GetScale());

    const TimeSegment& middle = *track.GetContentAt(1)->GetSegment();
    const bool ok = track.GetContentCount() == 3 && middle.GetStart() == 5000 &&
                    middle.GetStop() == 10000 && last.GetSegment()->GetStart() == 13000 &&
                    last.GetSegment()->GetStop() == 15000 && SecondsToMilliseconds(0.7f) == 699 &&
                    MillisecondsToSeconds(699) == 0.699f;
    track.RemoveAllContents();
    track.GetContentAdded()->Detach(&scaleGiver);
    out << (ok ? "self-check: ok\n" : "self-check: FAILED\n");
    return ok;
}

}  // namespace vortrel
