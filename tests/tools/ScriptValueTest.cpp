#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "ScriptValue.h"
#include "model/FontTable.h"
#include "ports/LogFont.h"

namespace vortrel::script {
namespace {

using Kind = Token::Kind;

Token T(Kind kind, const std::string& text) {
    return Token{kind, text};
}

TEST(ScriptTokens, EachWordIsClassified) {
    const std::vector<Token> tokens =
        Tokenize("Name 12 -3 +4 1.5 .5 5. 2e3 -1E-2 nan inf -inf null $x_1 => av 320x240 1.2.3");
    const std::vector<Token> expected = {
        T(Kind::Word, "Name"),  T(Kind::Integer, "12"),   T(Kind::Integer, "-3"),
        T(Kind::Integer, "+4"), T(Kind::Float, "1.5"),    T(Kind::Float, ".5"),
        T(Kind::Float, "5."),   T(Kind::Float, "2e3"),    T(Kind::Float, "-1E-2"),
        T(Kind::Float, "nan"),  T(Kind::Float, "inf"),    T(Kind::Float, "-inf"),
        T(Kind::Null, "null"),  T(Kind::Capture, "x_1"),  T(Kind::Arrow, "=>"),
        T(Kind::Word, "av"),    T(Kind::Word, "320x240"), T(Kind::Word, "1.2.3"),
    };
    EXPECT_EQ(tokens, expected);
}

TEST(ScriptTokens, StringsResolveEscapesAndKeepSpaces) {
    const std::vector<Token> tokens = Tokenize("\"a \\\"b\\\" \\\\ \\n\\r\\t\"\t\"\" \"é\"");
    ASSERT_EQ(tokens.size(), 3u);
    EXPECT_EQ(tokens[0], T(Kind::String, "a \"b\" \\ \n\r\t"));
    EXPECT_EQ(tokens[1], T(Kind::String, ""));
    EXPECT_EQ(tokens[2], T(Kind::String, "é"));
}

// How values read and print through the control is in tests/conformance/values.vts; the
// faults of words and values, in check-command-line.sh.
TEST(ScriptValues, IntegersFillEachIntegerTypeWithinItsRangeAndWrongKindsAreRefused) {
    EXPECT_EQ(std::get<int32_t>(ToControlValue(T(Kind::Integer, "-2147483648"), ValueType::Int)),
              INT32_MIN);
    EXPECT_EQ(std::get<int32_t>(ToControlValue(T(Kind::Integer, "+7"), ValueType::Font)), 7);
    EXPECT_EQ(std::get<uint32_t>(ToControlValue(T(Kind::Integer, "4294967295"), ValueType::UInt)),
              UINT32_MAX);
    EXPECT_EQ(std::get<int16_t>(ToControlValue(T(Kind::Integer, "-32768"), ValueType::Bool)),
              INT16_MIN);

    EXPECT_THROW(ToControlValue(T(Kind::Integer, "32768"), ValueType::Bool), ValueError);
}

TEST(ScriptOutput, FontHandlesPrintTheirRecordWhenTheTableKnowsThem) {
    LogFont font;
    font.SetFaceName(L"Deja \"Vu\"");
    font.height = -16;
    font.weight = 700;
    font.italic = 1;
    font.strikeOut = 1;
    const int32_t handle = FontTable::Create(font);
    EXPECT_EQ(FormatValue(ValueType::Font, handle), "font(\"Deja \\\"Vu\\\"\",-16,700,1,0,1)");
    EXPECT_EQ(FormatValue(ValueType::Int, handle), std::to_string(handle));
    FontTable::Delete(handle);
    EXPECT_EQ(FormatValue(ValueType::Font, handle), std::to_string(handle));
    EXPECT_EQ(FormatValue(ValueType::Font, int32_t{0}), "0");
}

TEST(ScriptCaptures, TypesCombineByFamily) {
    EXPECT_TRUE(Assignable(ValueType::Int, ValueType::Float));
    EXPECT_TRUE(Assignable(ValueType::Font, ValueType::Int));
    EXPECT_TRUE(Assignable(ValueType::Bool, ValueType::UInt));
    EXPECT_FALSE(Assignable(ValueType::Float, ValueType::Int));
    EXPECT_FALSE(Assignable(ValueType::String, ValueType::Int));
    EXPECT_FALSE(Assignable(ValueType::Int, ValueType::String));
}

}  // namespace
}  // namespace vortrel::script
