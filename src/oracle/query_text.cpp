#include "oracle/query_text.h"

#include "common/text.h"
#include "oracle/oci.h"

namespace skelvane::oracle {

namespace {

bool IsNameChar(char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_' ||
         c == '$' || c == '#';
}

std::string Substitute(const std::string& text, const std::string& name, const std::string& value) {
  if (name.size() < 2) return text;
  std::string out;
  size_t i = 0;
  while (i < text.size()) {
    bool match = i + name.size() <= text.size() &&
                 SameText(std::string_view(text).substr(i, name.size()), name) &&
                 (i + name.size() == text.size() || !IsNameChar(text[i + name.size()]));
    if (match) {
      out += value;
      i += name.size();
    } else {
      out += text[i++];
    }
  }
  return out;
}

}  // namespace

std::string BuildStatementText(const std::vector<std::string>& lines, const TVariables& variables) {
  std::string text;
  for (const auto& line : lines) {
    text += line;
    text += "\r\n";
  }
  for (int i = 0; i < variables.Count(); ++i) {
    const TVariableData& v = variables[i];
    if (v.TypeCode == otSubst) text = Substitute(text, v.Name, v.ValueText());
  }
  std::string out;
  out.reserve(text.size());
  for (char c : text)
    if (c != '\r') out += c;
  if (out.empty()) out.push_back(' ');
  return out;
}

void ErrorPosition(const std::string& text, long offset, int& line, int& column) {
  if (offset < 0) offset = 0;
  size_t end = static_cast<size_t>(offset) < text.size() ? static_cast<size_t>(offset) : text.size();
  int l = 0, c = 0;
  for (size_t i = 0; i < end; ++i) {
    if (text[i] == '\n') {
      ++l;
      c = 0;
    } else {
      ++c;
    }
  }
  line = l + 1;
  column = c + 1;
}

int MapStatementType(int t) {
  switch (t) {
    case OCI_STMT_SELECT: return 4;
    case OCI_STMT_UPDATE: return 5;
    case OCI_STMT_DELETE: return 9;
    case OCI_STMT_INSERT: return 3;
    case OCI_STMT_BEGIN:
    case OCI_STMT_DECLARE: return 34;
    default: return -1;
  }
}

bool ParseIsReusable(int t) {
  switch (t) {
    case 3: case 4: case 5: case 9: case 33: case 34: case 35: case 54: case 55: case 56: return true;
    default: return false;
  }
}

}  // namespace skelvane::oracle
