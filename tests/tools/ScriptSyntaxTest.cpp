#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ScriptSyntax.h"

namespace vortrel::script {
namespace {

using Kind = Statement::Kind;

TEST(ScriptSyntax, LinesBecomeStatementsOfTheirKind) {
    const std::vector<Statement> statements = ParseScript(
        "# a comment\n"
        "\n"
        "AddVideoClip 1 \"a b.mp4\" 0 5 0 => $clip\r\n"
        "   # an indented comment\n"
        "get MPEGWidth => $w\n"
        "put MPEGAC3 -1\n"
        "!testsrc clip.mp4 2 av 160x120\n"
        "\tClear\t\n");
    ASSERT_EQ(statements.size(), 5u);

    EXPECT_EQ(statements[0].line, 3);
    EXPECT_EQ(statements[0].kind, Kind::Call);
    EXPECT_EQ(statements[0].name, "AddVideoClip");
    ASSERT_EQ(statements[0].args.size(), 5u);
    EXPECT_EQ(statements[0].args[1], (Token{Token::Kind::String, "a b.mp4"}));
    EXPECT_EQ(statements[0].capture, "clip");

    EXPECT_EQ(statements[1].line, 5);
    EXPECT_EQ(statements[1].kind, Kind::Get);
    EXPECT_EQ(statements[1].name, "MPEGWidth");
    EXPECT_TRUE(statements[1].args.empty());
    EXPECT_EQ(statements[1].capture, "w");

    EXPECT_EQ(statements[2].kind, Kind::Put);
    EXPECT_EQ(statements[2].name, "MPEGAC3");
    ASSERT_EQ(statements[2].args.size(), 1u);
    EXPECT_EQ(statements[2].args[0], (Token{Token::Kind::Integer, "-1"}));
    EXPECT_FALSE(statements[2].capture);

    EXPECT_EQ(statements[3].kind, Kind::Directive);
    EXPECT_EQ(statements[3].name, "!testsrc");
    EXPECT_EQ(statements[3].args.size(), 4u);

    EXPECT_EQ(statements[4].line, 8);
    EXPECT_EQ(statements[4].name, "Clear");
    EXPECT_TRUE(statements[4].args.empty());

    EXPECT_TRUE(ParseScript("").empty());
}

}  // namespace
}  // namespace vortrel::script
