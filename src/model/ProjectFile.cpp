#include "model/ProjectFile.h"

#include <tinyxml2.h>

#include <cstdio>
#include <filesystem>
#include <random>
#include <system_error>

#include "base/Utf8.h"
#include "model/IContent.h"
#include "model/ITrack.h"
#include "model/TimelineModel.h"
#include "model/XmlFields.h"

namespace vortrel {

namespace {

namespace fs = std::filesystem;

// Closes a C file on every path out.
struct FileCloser {
    void operator()(std::FILE* file) const {
        if (file != nullptr) {
            std::fclose(file);
        }
    }
};
using File = std::unique_ptr<std::FILE, FileCloser>;

// A name beside the target that no other writer uses, so the target is replaced in one step.
fs::path TemporaryBeside(const fs::path& target) {
    static std::mt19937_64 random{std::random_device{}()};
    return target.parent_path() /
           ("." + target.filename().string() + "." + std::to_string(random()) + ".tmp");
}

// Checks that the document holds a whole project that this model can take: eight tracks
// with their visibility and every content with every field it needs. Contents are read into
// unplaced copies, so the model and its editing timeline are not touched.
bool IsWholeProject(const tinyxml2::XMLElement& timeline, TimelineModel& model) {
    const tinyxml2::XMLElement* element = nullptr;
    for (int32_t index = 0; index < model.GetTrackCount(); ++index) {
        element = element != nullptr ? element->NextSiblingElement("Track")
                                     : timeline.FirstChildElement("Track");
        bool visible = false;
        if (element == nullptr || !xml::ReadBoolAttribute(*element, "Visible", visible)) {
            return false;
        }
        const ITrack& track = *model.GetTrack(index);
        for (const tinyxml2::XMLElement* item = element->FirstChildElement("Content");
             item != nullptr; item = item->NextSiblingElement("Content")) {
            if (!track.MakeContent(false)->ReadXml(*item, model)) {
                return false;
            }
        }
    }
    return true;
}

}  // namespace

bool ProjectFile::Save(const TimelineModel& model, const std::wstring& fileName) {
    if (fileName.empty()) {
        return false;
    }
    tinyxml2::XMLDocument document;
    tinyxml2::XMLElement* timeline = document.NewElement("Timeline");
    document.InsertEndChild(timeline);
    for (int32_t index = 0; index < model.GetTrackCount(); ++index) {
        model.GetTrack(index)->WriteXml(document, *timeline, model);
    }

    const fs::path target = ToPath(fileName);
    const fs::path temporary = TemporaryBeside(target);
    bool written = false;
    {
        File file(std::fopen(temporary.c_str(), "wbx"));
        written = file != nullptr && document.SaveFile(file.get()) == tinyxml2::XML_SUCCESS &&
                  std::fflush(file.get()) == 0;
        if (file != nullptr) {
            written = std::fclose(file.release()) == 0 && written;
        }
    }
    std::error_code error;
    if (written) {
        fs::rename(temporary, target, error);
    }
    if (!written || error) {
        fs::remove(temporary, error);
        return false;
    }
    return true;
}

bool ProjectFile::Load(TimelineModel& model, const std::wstring& fileName) {
    if (fileName.empty()) {
        return false;
    }
    tinyxml2::XMLDocument document;
    {
        File file(std::fopen(ToPath(fileName).c_str(), "rb"));
        if (file == nullptr || document.LoadFile(file.get()) != tinyxml2::XML_SUCCESS) {
            return false;
        }
    }
    const tinyxml2::XMLElement* timeline = document.FirstChildElement("Timeline");
    if (timeline == nullptr || model.GetTrackCount() == 0 || !IsWholeProject(*timeline, model)) {
        return false;
    }

    model.Stop();
    for (int32_t index = 0; index < model.GetTrackCount(); ++index) {
        model.GetTrack(index)->RemoveAllContents();
    }
    const tinyxml2::XMLElement* previous = nullptr;
    for (int32_t index = 0; index < model.GetTrackCount(); ++index) {
        previous = model.GetTrack(index)->ReadXml(*timeline, previous, model);
        if (previous == nullptr) {
            return false;
        }
    }
    return true;
}

}  // namespace vortrel
