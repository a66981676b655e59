#include "editing/ApplyParams.h"

#include <vector>

#include "editing/DesError.h"
#include "editing/EditTimeline.h"

namespace vortrel {

namespace {

// Splits at every separator, keeping empty parts: "a,,b" gives three, "a," two.
std::vector<std::wstring> SplitKeepingEmpty(const std::wstring& text, wchar_t separator) {
    std::vector<std::wstring> parts;
    size_t begin = 0;
    while (true) {
        const size_t end = text.find(separator, begin);
        parts.push_back(text.substr(begin, end - begin));
        if (end == std::wstring::npos) {
            return parts;
        }
        begin = end + 1;
    }
}

}  // namespace

void ApplyParams(const std::wstring& params, EditNode& object, EditTimeline& timeline) {
    std::shared_ptr<EditPropertySetter> setter = timeline.CreatePropertySetter();
    if (!setter) {
        throw DesError("Could not create property setter");
    }
    if (params.empty()) {
        return;
    }
    for (const std::wstring& item : SplitKeepingEmpty(params, L',')) {
        std::vector<std::wstring> parts = SplitKeepingEmpty(item, L'=');
        if (parts.size() == 2) {
            setter->AddProp(std::move(parts[0]), std::move(parts[1]));
        }
    }
    if (!object.SetPropertySetter(setter)) {
        throw DesError("Could not set property");
    }
}

}  // namespace vortrel
