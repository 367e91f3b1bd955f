#include "common/text.h"

#include <gtest/gtest.h>

#include <string>

#include "common/messages.h"

namespace skelvane {
namespace {

TEST(Trimming, RemovesEveryControlByteAndBlankAtTheEnds) {
  const std::string text = std::string("\x01\t \r\n", 5) + "a b" + std::string("\0 \x1f", 3);
  EXPECT_EQ(Trimmed(text), "a b");
  EXPECT_EQ(RightTrimmed(text), std::string("\x01\t \r\n", 5) + "a b");
  EXPECT_EQ(Trimmed(" \t\r\n"), "");
  EXPECT_EQ(RightTrimmed("   "), "");
  EXPECT_EQ(Trimmed(""), "");
}

TEST(Trimming, KeepsHighBytesWhichAreLettersOfTheCodePage) {
  // 0xA0 and 0xFF are negative as signed char; they must not count as blanks.
  const std::string text = "\xA0\xC0x\xFF";
  EXPECT_EQ(Trimmed(" " + text + " "), text);
  EXPECT_EQ(RightTrimmed(text + "\t"), text);
}

TEST(UpperCase, ChangesOnlyAsciiLetters) {
  EXPECT_EQ(AnsiUpperCase("scott_1.Emp$#"), "SCOTT_1.EMP$#");
  EXPECT_EQ(AnsiUpperCase("\xE0\xFF{}`~"), "\xE0\xFF{}`~");  // '`' and '{' sit next to the letters
}

TEST(SameText, IgnoresAsciiCaseOnly) {
  EXPECT_TRUE(SameText("Fields", "fIELDS"));
  EXPECT_FALSE(SameText("field", "fields"));
  EXPECT_FALSE(SameText("\xE0", "\xC0"));  // Cyrillic a/A in Windows-1251 are not folded
  EXPECT_FALSE(SameText("@", "`"));
  EXPECT_TRUE(SameText("", ""));
}

TEST(LineEnds, OnlyCrLfPairsLoseTheirCr) {
  const struct {
    const char* text;
    const char* printed;
  } cases[] = {
      {"a\r\nb\r\n", "a\nb\n"},
      {"a\nb", "a\nb"},
      {"a\rb\r", "a\rb\r"},          // a lone CR is text, not a line end
      {"a\r\r\nb", "a\r\nb"},       // only the CR right before the LF goes
      {"\r\n\r\n", "\n\n"},
      {"", ""},
  };
  for (const auto& c : cases) EXPECT_EQ(WithLfLineEnds(c.text), c.printed) << c.text;
}

// The Windows build holds them in Windows-1251 (tests/windows).
#ifndef _WIN32
TEST(Messages, RussianTextsAreUtf8Bytes) {
  // Guards against building with another execution character set.
  EXPECT_EQ(std::string(messages::kDatabaseErrorReason),
            "\xD0\x9E\xD1\x88\xD0\xB8\xD0\xB1\xD0\xBA\xD0\xB0 \xD0\xB1\xD0\xB0\xD0\xB7\xD1\x8B "
            "\xD0\xB4\xD0\xB0\xD0\xBD\xD0\xBD\xD1\x8B\xD1\x85. "
            "\xD0\xBF\xD1\x80\xD0\xB8\xD1\x87\xD0\xB8\xD0\xBD\xD0\xB0:");
}
#endif

}  // namespace
}  // namespace skelvane
