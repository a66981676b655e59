#include "model/ProjectFile.h"

#include <tinyxml2.h>

#include <cstdio>
#include <string>
#include <string_view>

#include "base/FileAccess.h"
#include "base/Utf8.h"
#include "model/IContent.h"
#include "model/ITrack.h"
#include "model/TimelineModel.h"
#include "model/XmlFields.h"

namespace vortrel {

namespace {

// Marks a character that the printer writes as a character reference; 0xFF never occurs in
// UTF-8, so the mark cannot be mistaken for text.
constexpr char kReference = '\xFF';

// Prints a project so that every text reads back as it was written. An XML reader drops a
// text of white space alone and turns a carriage return into a line feed, so such a text
// starts with a reference to its first character and every carriage return is a reference.
class ExactTextPrinter : public tinyxml2::XMLPrinter {
  public:
    explicit ExactTextPrinter(std::FILE* file) : XMLPrinter(file) {}

    bool Visit(const tinyxml2::XMLText& text) override {
        const std::string_view value = text.Value();
        const bool blank = !value.empty() && value.find_first_not_of(" \t\n\r") == value.npos;
        if (text.CData() || (!blank && value.find('\r') == value.npos)) {
            return XMLPrinter::Visit(text);
        }
        std::string marked;
        for (size_t i = 0; i < value.size(); ++i) {
            if (value[i] == '\r' || (blank && i == 0)) {
                marked += kReference;
            }
            marked += value[i];
        }
        PushText(marked.c_str());
        return true;
    }

  protected:
    void Write(const char* data, size_t size) override {
        // The escaping of the text passes runs of plain characters through here whole, so a
        // mark and the character it marks arrive together.
        size_t start = 0;
        for (size_t i = 0; i + 1 < size; ++i) {
            if (data[i] == kReference) {
                XMLPrinter::Write(data + start, i - start);
                const std::string reference =
                    "&#" + std::to_string(static_cast<unsigned char>(data[i + 1])) + ";";
                XMLPrinter::Write(reference.data(), reference.size());
                start = i + 2;
                ++i;
            }
        }
        XMLPrinter::Write(data + start, size - start);
    }
};

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

    return ReplaceFile(ToPath(fileName), [&document](std::FILE* file) {
        ExactTextPrinter printer(file);
        document.Print(&printer);
        return std::ferror(file) == 0;
    });
}

bool ProjectFile::Load(TimelineModel& model, const std::wstring& fileName) {
    if (fileName.empty()) {
        return false;
    }
    tinyxml2::XMLDocument document;
    {
        UniqueFile file = OpenRegularFile(ToPath(fileName));
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
