#include "app/profile_file.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <stdexcept>
#include <string>
#include <system_error>

#include "common/file_access.h"
#include "common/text.h"

namespace skelvane {

namespace {

constexpr std::size_t npos = static_cast<std::size_t>(-1);

std::string Blankless(const std::string& text) {
  std::size_t begin = 0, end = text.size();
  while (begin < end && (text[begin] == ' ' || text[begin] == '\t')) ++begin;
  while (end > begin && (text[end - 1] == ' ' || text[end - 1] == '\t')) --end;
  return text.substr(begin, end - begin);
}

bool IsHeader(const std::string& line) {
  std::string t = Blankless(line);
  return t.size() >= 2 && t.front() == '[' && t.find(']') != std::string::npos;
}

std::string HeaderName(const std::string& line) {
  std::string t = Blankless(line);
  return Blankless(t.substr(1, t.find(']') - 1));
}

// The key of a "key=value" line; empty for any other line.
std::string KeyOf(const std::string& line) {
  std::size_t eq = line.find('=');
  if (eq == std::string::npos) return {};
  return Blankless(line.substr(0, eq));
}

// A line break inside a name or value would start a new line in the file and
// so forge keys or sections; it is written as a blank instead.
std::string OneLine(std::string text) {
  for (char& c : text)
    if (c == '\r' || c == '\n') c = ' ';
  return text;
}

// The value of a "key=value" line as a read gives it back.
std::string ValueOf(const std::string& line) {
  std::string value = Blankless(line.substr(line.find('=') + 1));
  if (value.size() >= 2 && value.front() == value.back() &&
      (value.front() == '"' || value.front() == '\''))
    value = value.substr(1, value.size() - 2);
  if (value.size() > TProfileFile::kMaxValueLength) value.resize(TProfileFile::kMaxValueLength);
  return value;
}

}  // namespace

TProfileFile::TProfileFile(std::string fileName) : fileName_(std::move(fileName)) {
  // Not a pipe, which would wait for a writer, nor a file too big to be
  // settings, which would fill the memory.
  std::error_code ec;
  if (!std::filesystem::is_regular_file(fileName_, ec)) return;
  const std::uintmax_t size = std::filesystem::file_size(fileName_, ec);
  if (ec || size > kMaxFileSize) return;
  std::ifstream in(fileName_, std::ios::binary);
  if (!in) return;
  std::string line;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines_.push_back(std::move(line));
  }
}

std::size_t TProfileFile::FindSection(const std::string& section) const {
  for (std::size_t i = 0; i < lines_.size(); ++i)
    if (IsHeader(lines_[i]) && SameText(HeaderName(lines_[i]), section)) return i;
  return npos;
}

std::size_t TProfileFile::SectionEnd(std::size_t header) const {
  std::size_t i = header + 1;
  while (i < lines_.size() && !IsHeader(lines_[i])) ++i;
  return i;
}

std::size_t TProfileFile::FindKey(std::size_t header, const std::string& key) const {
  std::size_t end = SectionEnd(header);
  for (std::size_t i = header + 1; i < end; ++i) {
    std::string k = KeyOf(lines_[i]);
    if (!k.empty() && SameText(k, key)) return i;
  }
  return npos;
}

std::string TProfileFile::ReadString(const std::string& section, const std::string& key,
                                     const std::string& def) const {
  std::size_t header = FindSection(section);
  if (header == npos) return def;
  std::size_t at = FindKey(header, key);
  if (at == npos) return def;
  return ValueOf(lines_[at]);
}

std::vector<std::pair<std::string, std::string>> TProfileFile::ReadSection(const std::string& section) const {
  std::vector<std::pair<std::string, std::string>> keys;
  std::size_t header = FindSection(section);
  if (header == npos) return keys;
  for (std::size_t i = header + 1; i < lines_.size() && !IsHeader(lines_[i]); ++i) {
    std::string key = KeyOf(lines_[i]);
    if (!key.empty()) keys.emplace_back(std::move(key), ValueOf(lines_[i]));
  }
  return keys;
}

std::size_t TProfileFile::KeyCount(const std::string& section) const {
  std::size_t header = FindSection(section);
  if (header == npos) return 0;
  std::size_t count = 0, end = SectionEnd(header);
  for (std::size_t i = header + 1; i < end; ++i)
    if (!KeyOf(lines_[i]).empty()) ++count;
  return count;
}

bool TProfileFile::SectionExists(const std::string& section) const {
  return FindSection(section) != npos;
}

void TProfileFile::WriteString(const std::string& section, const std::string& key,
                               const std::string& value) {
  const std::string line = OneLine(key) + "=" + OneLine(value);
  dirty_ = true;
  std::size_t header = FindSection(section);
  if (header == npos) {
    lines_.push_back("[" + OneLine(section) + "]");
    lines_.push_back(line);
    return;
  }
  std::size_t at = FindKey(header, key);
  if (at != npos) {
    lines_[at] = line;
    return;
  }
  // After the section's last non-empty line, so blank separators stay below.
  std::size_t end = SectionEnd(header);
  while (end > header + 1 && Blankless(lines_[end - 1]).empty()) --end;
  lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(end), line);
}

void TProfileFile::EraseSection(const std::string& section) {
  std::size_t header = FindSection(section);
  if (header == npos) return;
  lines_.erase(lines_.begin() + static_cast<std::ptrdiff_t>(header),
               lines_.begin() + static_cast<std::ptrdiff_t>(SectionEnd(header)));
  dirty_ = true;
}

void TProfileFile::ReplaceSection(const std::string& section,
                                  const std::vector<std::pair<std::string, std::string>>& keys) {
  EraseSection(section);
  if (keys.empty()) return;
  if (FindSection(section) != npos) {
    // A second section of that name takes the keys where it stands.
    for (const auto& [key, value] : keys) WriteString(section, key, value);
    return;
  }
  dirty_ = true;
  lines_.push_back("[" + OneLine(section) + "]");
  for (const auto& [key, value] : keys) lines_.push_back(OneLine(key) + "=" + OneLine(value));
}

std::string TProfileFile::Text() const {
  std::string text;
  for (const auto& line : lines_) text += line + "\r\n";
  return text;
}

void TProfileFile::Flush() {
  if (!dirty_) return;
  const std::runtime_error failure("Unable to write to " + fileName_);
  std::filesystem::path file(fileName_);
  std::error_code ec;
  // Renaming over a link would replace the link, and the file linked to
  // would keep its old settings.
  if (std::filesystem::is_symlink(file, ec)) {
    file = std::filesystem::canonical(file, ec);
    if (ec) throw failure;
  }
  // The rename below needs only the folder's permission: a file its owner
  // made read-only must stop the save as it stops a write.
  if (std::filesystem::is_regular_file(file, ec) && !CannotCreateReason(file.string()).empty()) throw failure;
  if (file.has_parent_path()) std::filesystem::create_directories(file.parent_path(), ec);
  // Written beside the file and renamed over it, so a failed write never
  // leaves a cut settings file behind. The copy's name is this save's own:
  // two windows closing at once must not write into one copy.
  const std::string temp = file.string() + ".new" + std::to_string(std::random_device{}());
  {
    std::ofstream out(temp, std::ios::binary | std::ios::trunc);
    if (!out) throw failure;
    out << Text();
    out.flush();
    if (!out) {
      out.close();
      std::remove(temp.c_str());
      throw failure;
    }
  }
  std::filesystem::rename(temp, file, ec);
  if (ec) {
    std::remove(temp.c_str());
    throw failure;
  }
  dirty_ = false;
}

}  // namespace skelvane
