// Byte-string helpers shared by the whole system. Texts are 8-bit bytes in the
// system's code page and are never decoded; only ASCII letters have a case.
#ifndef SKELVANE_COMMON_TEXT_H
#define SKELVANE_COMMON_TEXT_H

#include <string>
#include <string_view>

namespace skelvane {

// Removes every byte of code 32 or lower from both ends. Bytes of 128 and above
// are text, not white space.
std::string Trimmed(std::string_view text);

// Removes every byte of code 32 or lower from the right end only.
std::string RightTrimmed(std::string_view text);

// Upper-cases the ASCII letters a..z; every other byte is kept as it is.
std::string AnsiUpperCase(std::string_view text);

// Equality that ignores the case of ASCII letters.
bool SameText(std::string_view a, std::string_view b);

// Every CR LF pair as a lone LF, for text printed on a terminal or into a
// pipe; texts and documents that must keep CR LF do not go through here.
std::string WithLfLineEnds(std::string_view text);

}  // namespace skelvane

#endif
