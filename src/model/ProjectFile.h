#pragma once

#include <string>

namespace vortrel {

class TimelineModel;

// Saving and loading whole projects as XML: a Timeline root with one Track element per track
// (its visibility) holding one Content element per content (its fields). Saving never
// leaves a half-written file in place of a good one; loading checks the whole document
// before it touches the model.
class ProjectFile {
  public:
    /// Writes the model; false when the file cannot be written (an existing file is kept).
    static bool Save(const TimelineModel& model, const std::wstring& fileName);
    /// Replaces the model's contents with the project's; false, with the model untouched,
    /// when the file cannot be read or does not hold a whole project.
    static bool Load(TimelineModel& model, const std::wstring& fileName);
};

}  // namespace vortrel
