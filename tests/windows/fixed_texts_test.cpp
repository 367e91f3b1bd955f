// The system's fixed Russian texts are Windows-1251 bytes in the Windows
// build, the ANSI code page of the desktops it is made for.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "common/messages.h"

namespace skelvane::messages {
namespace {

// The text in code page 1251, converted by the system itself.
std::string InCodePage1251(const std::wstring& text) {
  const int size = ::WideCharToMultiByte(1251, 0, text.data(), static_cast<int>(text.size()),
                                         nullptr, 0, nullptr, nullptr);
  std::string bytes(static_cast<size_t>(size), '\0');
  ::WideCharToMultiByte(1251, 0, text.data(), static_cast<int>(text.size()), bytes.data(), size,
                        nullptr, nullptr);
  return bytes;
}

TEST(FixedTextsTest, RussianTextsAreWindows1251Bytes) {
  struct TCase {
    std::string_view compiled;
    std::wstring text;
  } cases[] = {
      {kDatabaseErrorReason, L"Ошибка базы данных. причина:"},
      {kQueryError, L"Ошибка в запросе="},
      {kQueryErrorLine, L"Ошибка базы данных Строка:"},
      {kQueryErrorColumn, L" колонка:"},
      {kQueryErrorReason, L" причина:"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(std::string(c.compiled), InCodePage1251(c.text));
    // One byte per letter: no UTF-8 left over.
    EXPECT_EQ(c.compiled.size(), c.text.size());
  }
  // "О" of "Ошибка" is 0xCE in Windows-1251.
  EXPECT_EQ(static_cast<unsigned char>(kQueryError[0]), 0xCE);
}

TEST(FixedTextsTest, EnglishTextsAreUnchanged) {
  EXPECT_EQ(kApplicationTitle, "Skelvane");
  EXPECT_EQ(kProgramVersion, "1.0.0.4");
}

}  // namespace
}  // namespace skelvane::messages
