#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>
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

TEST(ScriptTokens, MalformedWordsAreRefused) {
    for (const char* line :
         {"\"open", "\"bad \\q\"", "\"glued\"x", "a\"b\"", "$", "$1x", "$a-b", "\"ends with \\"}) {
        EXPECT_THROW(Tokenize(line), ValueError) << line;
    }
}

TEST(ScriptValues, IntegersFillEachIntegerTypeWithinItsRange) {
    EXPECT_EQ(std::get<int32_t>(ToControlValue(T(Kind::Integer, "-2147483648"), ValueType::Int)),
              INT32_MIN);
    EXPECT_EQ(std::get<int32_t>(ToControlValue(T(Kind::Integer, "+7"), ValueType::Font)), 7);
    EXPECT_EQ(std::get<uint32_t>(ToControlValue(T(Kind::Integer, "4294967295"), ValueType::UInt)),
              UINT32_MAX);
    EXPECT_EQ(std::get<int16_t>(ToControlValue(T(Kind::Integer, "-32768"), ValueType::Bool)),
              INT16_MIN);

    EXPECT_THROW(ToControlValue(T(Kind::Integer, "2147483648"), ValueType::Int), ValueError);
    EXPECT_THROW(ToControlValue(T(Kind::Integer, "-1"), ValueType::UInt), ValueError);
    EXPECT_THROW(ToControlValue(T(Kind::Integer, "32768"), ValueType::Bool), ValueError);
    EXPECT_THROW(ToControlValue(T(Kind::Integer, "99999999999999999999"), ValueType::Int),
                 ValueError);
    EXPECT_THROW(ToControlValue(T(Kind::Float, "1.0"), ValueType::Int), ValueError);
    EXPECT_THROW(ToControlValue(T(Kind::String, "1"), ValueType::Int), ValueError);
}

TEST(ScriptValues, FloatsAreReadStraightIntoFloats) {
    auto f = [](Kind kind, const char* text) {
        return std::get<float>(ToControlValue(T(kind, text), ValueType::Float));
    };
    EXPECT_EQ(f(Kind::Float, "0.7"), 0.7f);
    EXPECT_EQ(f(Kind::Float, "3.3"), 3.3f);
    EXPECT_EQ(f(Kind::Integer, "5"), 5.0f);
    EXPECT_EQ(f(Kind::Float, "+2.5"), 2.5f);
    // Read as a double first, this rounds to a different float than read as a float.
    EXPECT_EQ(f(Kind::Float, "1.00000005960464477550"), 1.0000001f);
    EXPECT_TRUE(std::isnan(f(Kind::Float, "nan")));
    EXPECT_EQ(f(Kind::Float, "inf"), std::numeric_limits<float>::infinity());
    EXPECT_EQ(f(Kind::Float, "-inf"), -std::numeric_limits<float>::infinity());
    EXPECT_THROW(f(Kind::Float, "1e39"), ValueError);
    EXPECT_THROW(f(Kind::Null, "null"), ValueError);
}

TEST(ScriptValues, StringsAndNullFillStringsOnly) {
    EXPECT_EQ(std::get<OutString>(ToControlValue(T(Kind::String, "é\n"), ValueType::String)),
              OutString(L"é\n"));
    EXPECT_EQ(std::get<OutString>(ToControlValue(T(Kind::Null, "null"), ValueType::String)),
              OutString());
    EXPECT_EQ(std::get<OutString>(ToControlValue(T(Kind::String, ""), ValueType::String)),
              OutString(L""));
    EXPECT_THROW(ToControlValue(T(Kind::Integer, "1"), ValueType::String), ValueError);
    EXPECT_THROW(ToControlValue(T(Kind::Word, "file.mp4"), ValueType::String), ValueError);
}

TEST(ScriptOutput, FloatsPrintAtTheirShortest) {
    EXPECT_EQ(FormatFloat(0.699f), "0.699");
    EXPECT_EQ(FormatFloat(3.299f), "3.299");
    EXPECT_EQ(FormatFloat(1.0f), "1");
    EXPECT_EQ(FormatFloat(0.0f), "0");
    EXPECT_EQ(FormatFloat(-0.0f), "-0");
    EXPECT_EQ(FormatFloat(29.97f), "29.97");
    EXPECT_EQ(FormatFloat(0.1f + 0.2f), "0.3");
    EXPECT_EQ(FormatFloat(1e-45f), "1e-45");
    EXPECT_EQ(FormatFloat(std::numeric_limits<float>::max()), "3.4028235e+38");
    EXPECT_EQ(FormatFloat(std::numeric_limits<float>::quiet_NaN()), "nan");
    EXPECT_EQ(FormatFloat(-std::numeric_limits<float>::quiet_NaN()), "nan");
    EXPECT_EQ(FormatFloat(std::numeric_limits<float>::infinity()), "inf");
    EXPECT_EQ(FormatFloat(-std::numeric_limits<float>::infinity()), "-inf");
}

TEST(ScriptOutput, ValuesPrintByTheirType) {
    EXPECT_EQ(FormatValue(ValueType::Int, int32_t{-6}), "-6");
    EXPECT_EQ(FormatValue(ValueType::UInt, uint32_t{4294967295u}), "4294967295");
    EXPECT_EQ(FormatValue(ValueType::Bool, int16_t{-1}), "-1");
    EXPECT_EQ(FormatValue(ValueType::Float, 2.5f), "2.5");
    EXPECT_EQ(FormatValue(ValueType::String, OutString()), "null");
    EXPECT_EQ(FormatValue(ValueType::String, OutString(L"")), "\"\"");
    EXPECT_EQ(FormatValue(ValueType::String, OutString(L"say \"hi\"\\\n\r\té")),
              "\"say \\\"hi\\\"\\\\\\n\\r\\té\"");
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

// A captured value passes on as a token; it must arrive as the very value that was printed.
TEST(ScriptCaptures, CapturedValuesPassOnUnchanged) {
    for (float value : {0.699f, 1e-45f, 3.4028235e38f, -0.0f, 0.1f, 16777217.0f,
                        std::numeric_limits<float>::infinity()}) {
        const ControlValue back =
            ToControlValue(ToToken(ValueType::Float, value), ValueType::Float);
        EXPECT_EQ(std::get<float>(back), value) << FormatFloat(value);
    }
    EXPECT_TRUE(std::isnan(std::get<float>(ToControlValue(
        ToToken(ValueType::Float, std::numeric_limits<float>::quiet_NaN()), ValueType::Float))));
    EXPECT_EQ(std::get<OutString>(ToControlValue(ToToken(ValueType::String, OutString(L"a\"b")),
                                                 ValueType::String)),
              OutString(L"a\"b"));
    EXPECT_EQ(std::get<OutString>(
                  ToControlValue(ToToken(ValueType::String, OutString()), ValueType::String)),
              OutString());
    // An integer result (a clip index, a count) may stand for a float or a font handle.
    EXPECT_EQ(
        std::get<float>(ToControlValue(ToToken(ValueType::Int, int32_t{3}), ValueType::Float)),
        3.0f);
    EXPECT_EQ(
        std::get<int32_t>(ToControlValue(ToToken(ValueType::UInt, uint32_t{42}), ValueType::Font)),
        42);
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
