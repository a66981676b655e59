#pragma once

#include <memory>

#include "base/Guid.h"
#include "editing/EditNode.h"

namespace vortrel {

class DesSource;
class DesTimeline;
class DesVideoGroup;

// An effect on a group or on a source over its span. The node is made on the first Apply
// and kept as long as the class stays the same.
class DesEffect {
  public:
    DesEffect(const DesEffect&) = delete;
    DesEffect& operator=(const DesEffect&) = delete;

    // The virtual operations keep this order in every build.
    virtual ~DesEffect();
    /// The timeline of the object the effect is on.
    virtual DesTimeline* GetTimeline() const = 0;
    /// The node whose effect list takes the effect, when it has one.
    virtual EditNode* GetEffectable() const = 0;

    /// Makes sure the node exists with the given class and is attached.
    void Apply(const Guid& classId);

    /// The effect node, or none before the first Apply.
    const std::shared_ptr<EditNode>& GetEffectObject() const { return effectObject_; }

  protected:
    DesEffect() = default;

  private:
    std::shared_ptr<EditNode> effectObject_;
};

// An effect on the whole video composition.
class DesGroupEffect : public DesEffect {
  public:
    explicit DesGroupEffect(DesVideoGroup* group) : group_(group) {}
    DesTimeline* GetTimeline() const override;
    EditNode* GetEffectable() const override;

  private:
    DesVideoGroup* group_;
};

// An effect on one source, such as the volume of an audio clip.
class DesSourceEffect : public DesEffect {
  public:
    explicit DesSourceEffect(DesSource* source) : source_(source) {}
    DesTimeline* GetTimeline() const override;
    EditNode* GetEffectable() const override;

  private:
    DesSource* source_;
};

}  // namespace vortrel
