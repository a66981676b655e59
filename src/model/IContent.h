#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "model/ContentEvent.h"
#include "model/TimeSegment.h"

namespace tinyxml2 {
class XMLDocument;
class XMLElement;
}  // namespace tinyxml2

namespace vortrel {

class DesEffect;
class DesSource;
class DesTransition;
class TimelineModel;

// Anything with a time span on a track: a clip, a transition or an effect. A content owns
// its timeline segment and exactly one editing-timeline wrapper, and makes a change take
// effect through Update: changing, then its editing-timeline set-up, then changed.
class IContent {
  public:
    /// A content placed in the editing timeline as a source (every clip).
    explicit IContent(std::shared_ptr<DesSource> desSource);
    /// A content placed in the editing timeline as a transition.
    explicit IContent(std::shared_ptr<DesTransition> desTransition);
    /// A content placed in the editing timeline as an effect.
    explicit IContent(std::shared_ptr<DesEffect> desEffect);
    IContent(const IContent&) = delete;
    IContent& operator=(const IContent&) = delete;

    // The virtual operations keep this order in every build.
    virtual ~IContent();
    /// Fills the title and text that the views show as a tool tip.
    virtual void GetDescription(std::wstring& title, std::wstring& text) const;
    /// Moves or resizes the content to a pixel range of the timeline view.
    virtual void SetPixelRange(int32_t xStart, int32_t xStop);
    /// Reads the content from its project file element.
    virtual bool ReadXml(const tinyxml2::XMLElement& element, TimelineModel& model);
    /// Reads the content's own child elements; false at the first missing or bad one.
    virtual bool ReadFields(const tinyxml2::XMLElement& element);
    /// Puts the content's current state into the editing timeline.
    virtual void SetupDes();
    /// Writes the content into its project file element.
    virtual void WriteXml(tinyxml2::XMLDocument& document, tinyxml2::XMLElement& element,
                          const TimelineModel& model) const;
    /// Appends the content's own child elements.
    virtual void WriteFields(tinyxml2::XMLDocument& document, tinyxml2::XMLElement& element) const;

    /// The content's span on the timeline.
    const std::shared_ptr<TimeSegment>& GetSegment() const { return segment_; }

    /// Makes the new state take effect: changing, SetupDes, changed.
    void Update();

    /// Notified with the content before its editing-timeline set-up.
    const std::shared_ptr<ContentEvent>& GetChanging() const { return changing_; }
    /// Notified with the content after its editing-timeline set-up.
    const std::shared_ptr<ContentEvent>& GetChanged() const { return changed_; }

    /// The source wrapper of a clip, or none.
    const std::shared_ptr<DesSource>& GetDesSource() const { return desSource_; }
    /// The transition wrapper of a transition, or none.
    const std::shared_ptr<DesTransition>& GetDesTransition() const { return desTransition_; }
    /// The effect wrapper of an effect, or none.
    const std::shared_ptr<DesEffect>& GetDesEffect() const { return desEffect_; }

  protected:
    /// Reads the Start and Stop elements into the segment, each as soon as it is read.
    bool ReadTimes(const tinyxml2::XMLElement& element);
    /// Writes the Start and Stop elements.
    void WriteTimes(tinyxml2::XMLDocument& document, tinyxml2::XMLElement& element) const;

  private:
    IContent(std::shared_ptr<DesSource> desSource, std::shared_ptr<DesTransition> desTransition,
             std::shared_ptr<DesEffect> desEffect);

    std::shared_ptr<TimeSegment> segment_;
    std::shared_ptr<ContentEvent> changing_;
    std::shared_ptr<ContentEvent> changed_;
    std::shared_ptr<DesSource> desSource_;
    std::shared_ptr<DesTransition> desTransition_;
    std::shared_ptr<DesEffect> desEffect_;
};

}  // namespace vortrel
