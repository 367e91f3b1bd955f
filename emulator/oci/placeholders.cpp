#include "oci/placeholders.h"

namespace oraemu::oci {

namespace {

bool IsNameChar(char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_' ||
         c == '$' || c == '#' || static_cast<unsigned char>(c) >= 0x80;
}

}  // namespace

std::vector<std::string> Placeholders(std::string_view sql) {
  std::vector<std::string> names;
  const size_t n = sql.size();
  size_t i = 0;
  while (i < n) {
    const char c = sql[i];
    if (c == '\'' || c == '"') {
      // A doubled quote inside stays inside; an unterminated one runs to the end.
      ++i;
      while (i < n) {
        if (sql[i] == c) {
          if (i + 1 < n && sql[i + 1] == c) {
            i += 2;
            continue;
          }
          break;
        }
        ++i;
      }
      ++i;
    } else if (c == '-' && i + 1 < n && sql[i + 1] == '-') {
      while (i < n && sql[i] != '\n') ++i;
    } else if (c == '/' && i + 1 < n && sql[i + 1] == '*') {
      size_t end = sql.find("*/", i + 2);
      i = end == std::string_view::npos ? n : end + 2;
    } else if (c == ':' && i + 1 < n && IsNameChar(sql[i + 1])) {
      size_t start = ++i;
      while (i < n && IsNameChar(sql[i])) ++i;
      names.emplace_back(sql.substr(start, i - start));
    } else {
      ++i;
    }
  }
  return names;
}

std::string NormalBindName(std::string_view name) {
  if (!name.empty() && name.front() == ':') name.remove_prefix(1);
  std::string upper(name);
  for (char& c : upper) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  return upper;
}

}  // namespace oraemu::oci
