#include "common/text.h"

#include <algorithm>
#include <cstddef>

namespace skelvane {
namespace {

// Compared as unsigned: a plain char holding 0xC0 is negative and would count as blank.
bool IsBlankByte(char c) { return static_cast<unsigned char>(c) <= 32; }

char UpperAscii(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

}  // namespace

std::string Trimmed(std::string_view text) {
  std::size_t begin = 0;
  std::size_t end = text.size();
  while (begin < end && IsBlankByte(text[begin])) ++begin;
  while (end > begin && IsBlankByte(text[end - 1])) --end;
  return std::string(text.substr(begin, end - begin));
}

std::string RightTrimmed(std::string_view text) {
  std::size_t end = text.size();
  while (end > 0 && IsBlankByte(text[end - 1])) --end;
  return std::string(text.substr(0, end));
}

std::string AnsiUpperCase(std::string_view text) {
  std::string result(text);
  std::transform(result.begin(), result.end(), result.begin(), UpperAscii);
  return result;
}

bool SameText(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (UpperAscii(a[i]) != UpperAscii(b[i])) return false;
  }
  return true;
}

std::string WithLfLineEnds(std::string_view text) {
  std::string result;
  result.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') continue;
    result += text[i];
  }
  return result;
}

}  // namespace skelvane
