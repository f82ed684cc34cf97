#include "fake_platform.h"
#include "host/command_line.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

namespace {

class CommandTail : public ::testing::Test {
protected:
    void SetUp() override { fake::reset(); }
    std::string tail(const char* commandLine) { return ExtractCommandTail(commandLine); }
};

TEST_F(CommandTail, SkipsAnUnquotedProgramNameAndTheBlanksAfterIt) {
    EXPECT_EQ(tail("haze.scr /s"), "/s");
    EXPECT_EQ(tail("haze.scr \t  /p 1234"), "/p 1234");
    EXPECT_EQ(tail("haze.scr"), "");
    EXPECT_EQ(tail(""), "");
    // No program name at all: only the blanks are skipped.
    EXPECT_EQ(tail("   /c"), "/c");
}

TEST_F(CommandTail, SkipsAQuotedPathWithBlanksWhole) {
    EXPECT_EQ(tail("\"C:\\Program Files\\haze.scr\" /p 1234"), "/p 1234");
    EXPECT_EQ(tail("\"C:\\My Savers\\haze.scr\"/s"), "/s");
    // An unterminated quote runs to the end of the text.
    EXPECT_EQ(tail("\"C:\\Program Files\\haze.scr /s"), "");
    EXPECT_EQ(tail("\"\" /c"), "/c");
}

TEST_F(CommandTail, AdvancesByWholeMultiByteCharacters) {
    // 0x81 leads a double-byte character: the quote after it belongs to the
    // character and does not end the quoted path.
    EXPECT_EQ(tail("\"ab\x81\" x\" /s"), "/s");
    EXPECT_EQ(tail("\x81 x /s"), "/s") << "the first blank is the lead byte's second byte";
    EXPECT_EQ(tail("\x81\x81 /s"), "/s");
    // A lead byte before the end never steps past the terminator.
    const char truncated[] = "\"abc\x81";
    EXPECT_EQ(ExtractCommandTail(truncated), truncated + 5);
}

TEST(ParseWindowHandle, ReadsDecimalDigitsUpToTheFirstOther) {
    auto value = [](const char* text) {
        return reinterpret_cast<std::uintptr_t>(ParseWindowHandle(text));
    };
    EXPECT_EQ(value("1234"), 1234u);
    EXPECT_EQ(value("12ab"), 12u);
    EXPECT_EQ(value("0"), 0u);
    EXPECT_EQ(value(""), 0u);
    EXPECT_EQ(value("abc"), 0u);
    EXPECT_EQ(value(" 12"), 0u) << "blanks are the caller's to skip";
    EXPECT_EQ(value("-12"), 0u);
    EXPECT_EQ(value("4294967295"), 4294967295u);
    // 32-bit arithmetic wraps around.
    EXPECT_EQ(value("4294967296"), 0u);
    EXPECT_EQ(value("4294967297"), 1u);
    EXPECT_EQ(value("99999999999"), 99999999999ull % 4294967296ull);
}

} // namespace
