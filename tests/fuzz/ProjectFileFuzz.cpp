// Fuzz target of the project reader: the input is a project file. A file that loads must
// save, load back into a fresh model and save again to the very same bytes.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "FuzzInput.h"
#include "base/Utf8.h"
#include "model/TimelineModel.h"
#include "support/FakeDeviceCatalog.h"

namespace {

std::string ReadAll(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

[[noreturn]] void Fail(const char* what) {
    std::fprintf(stderr, "project round trip: %s\n", what);
    std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace vortrel;
    static const fuzz::FuzzInput folder("project");
    const std::wstring input = FromPath(folder.Write("input.xml", data, size));
    const std::wstring saved = FromPath(folder.Path("saved.xml"));
    const std::wstring again = FromPath(folder.Path("again.xml"));

    // No media detector is installed, so clips set themselves up without asking any file.
    testing::FakeDeviceCatalog devices;
    TimelineModel first(devices);
    first.BuildTracks();
    if (!first.LoadProject(input)) {
        return 0;
    }
    if (!first.SaveProject(saved)) {
        Fail("a loaded project does not save");
    }
    TimelineModel second(devices);
    second.BuildTracks();
    if (!second.LoadProject(saved)) {
        Fail("a saved project does not load back");
    }
    if (!second.SaveProject(again)) {
        Fail("a project loaded back does not save");
    }
    const std::string once = ReadAll(folder.Path("saved.xml"));
    const std::string twice = ReadAll(folder.Path("again.xml"));
    if (once != twice) {
        std::fprintf(stderr, "saved:\n%s\nloaded back and saved again:\n%s\n", once.c_str(),
                     twice.c_str());
        Fail("the second save differs from the first");
    }
    return 0;
}
