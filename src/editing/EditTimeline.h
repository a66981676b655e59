#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "editing/EditFailures.h"
#include "editing/EditNode.h"

namespace vortrel {

// The editing timeline: an in-memory tree of groups with their tracks, sources, transitions
// and effects, kept up to date piece by piece as the model changes. The engine plays and
// renders what it holds. Its operations fail only where a test's failure plan says so (or
// for arguments no timeline could accept), at the same points where a platform timeline can.
class EditTimeline {
  public:
    /// Makes a timeline that consults the given failure plan (none: nothing fails); none
    /// when the plan makes the creation fail.
    static std::shared_ptr<EditTimeline> Create(std::shared_ptr<EditFailures> failures);

    explicit EditTimeline(std::shared_ptr<EditFailures> failures);
    EditTimeline(const EditTimeline&) = delete;
    EditTimeline& operator=(const EditTimeline&) = delete;
    ~EditTimeline();

    /// Makes a node of a kind, attached to nothing; none when the call fails.
    std::shared_ptr<EditNode> CreateEmptyNode(EditNodeType type);
    /// Appends a group node.
    bool AddGroup(std::shared_ptr<EditNode> group);
    /// Number of groups.
    int32_t GetGroupCount() const { return static_cast<int32_t>(groups_.size()); }
    /// The group at an index, or none.
    std::shared_ptr<EditNode> GetGroup(int32_t index) const;
    /// Makes an empty property setter; none when the call fails.
    std::shared_ptr<EditPropertySetter> CreatePropertySetter();

    /// The failure plan every node of this timeline consults.
    EditFailures& Failures() { return *failures_; }

  private:
    friend class EditNode;
    void RemoveGroup(const EditNode* group);

    std::shared_ptr<EditFailures> failures_;
    std::vector<std::shared_ptr<EditNode>> groups_;
};

}  // namespace vortrel
