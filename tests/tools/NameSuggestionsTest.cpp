#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "NameSuggestions.h"

namespace vortrel {
namespace {

TEST(NameSuggestions, OffersTheNearestNamesOnly) {
    const std::vector<std::string> known = {"AddVideoClip", "AddAudioClip", "GetVideoClip",
                                            "MP4Width",     "MP4Height",    "Play"};
    struct Case {
        const char* typed;
        std::vector<std::string> offered;
    };
    const Case cases[] = {
        {"AddVideoClp", {"AddVideoClip"}},   // one letter missing
        {"addvideoclip", {"AddVideoClip"}},  // case aside
        {"MP4Widht", {"MP4Width"}},          // two letters swapped
        {"Pause", {}},                       // too far from Play to be meant
        {"", {}},
        {"Zzzzzzzzzz", {}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(NearestNames(c.typed, known), c.offered) << c.typed;
    }
}

// Names at the same distance keep the order in which they are known.
TEST(NameSuggestions, ListsAtMostTheAskedNumber) {
    const std::vector<std::string> known = {"ab1", "ab2", "ab3", "ab4"};
    EXPECT_EQ(NearestNames("ab", known, 2), (std::vector<std::string>{"ab1", "ab2"}));
}

TEST(NameSuggestions, WritesTheQuestion) {
    const std::vector<std::string> known = {"a1b", "a2b", "a3b"};
    EXPECT_EQ(DidYouMean("ab", known), " (did you mean a1b, a2b or a3b?)");
    EXPECT_EQ(DidYouMean("a1c", {"a1b"}), " (did you mean a1b?)");
    EXPECT_EQ(DidYouMean("x", {"a1b"}), "");
}

}  // namespace
}  // namespace vortrel
