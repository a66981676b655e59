#include <gtest/gtest.h>

#include <string>

#include "OutputGuide.h"
#include "control/ControlMembers.h"

namespace vortrel {
namespace {

// Every output property the control has is listed with a range, and each listed name is one
// that --set can write.
TEST(OutputGuide, ListsEveryPropertyWithARangeUnderItsMemberName) {
    const auto properties = OutputPropertyGuides();
    ASSERT_EQ(properties.size(), 40u);
    for (const OutputPropertyGuide& property : properties) {
        EXPECT_FALSE(property.range.empty()) << property.name;
        EXPECT_NE(FindControlMember(property.name, MemberKind::PropertyPut), nullptr)
            << property.name;
    }
    EXPECT_EQ(properties.front().name, "AVIVideoCompressor");
    EXPECT_EQ(properties.front().defaultValue, "-1");
}

TEST(OutputGuide, ListsTheThirteenOutputTypesInOrder) {
    const auto& types = OutputTypeGuides();
    ASSERT_EQ(types.size(), 13u);
    for (size_t index = 0; index < types.size(); ++index) {
        EXPECT_EQ(types[index].type, static_cast<int32_t>(index));
        EXPECT_FALSE(types[index].extensions.empty());
    }
}

TEST(OutputGuide, WarnsOnlyWhenTheExtensionIsNotTheOutputTypes) {
    struct Case {
        int32_t type;
        const char* file;
        bool warns;
    };
    const Case cases[] = {
        {0, "out.avi", false},       {0, "OUT.AVI", false},   {2, "dir.x/out.mp4", false},
        {2, "out.mkv", true},        {2, "out", true},        {2, "out.mp4.part", true},
        {5, "out.vob", false},       {10, "out.mpeg", false}, {11, "out.m2ts", false},
        {11, "out.mp4", true},       {12, "out.flv", false},  {1, "out.asf", false},
        {13, "out.whatever", false},  // an unknown type is refused elsewhere
    };
    for (const Case& c : cases) {
        EXPECT_EQ(!ExtensionWarning(c.type, c.file).empty(), c.warns) << c.type << " " << c.file;
    }
    EXPECT_EQ(ExtensionWarning(2, "out.mkv"),
              "out.mkv does not end in .mp4: output type 2 writes MP4");
}

}  // namespace
}  // namespace vortrel
