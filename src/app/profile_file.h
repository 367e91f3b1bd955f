// An initialization (profile) file: "[section]" headers, "key=value" lines,
// CR LF line ends, 8-bit text. Section and key names match without regard to
// letter case. Changes stay in memory until Flush.
#ifndef SKELVANE_APP_PROFILE_FILE_H
#define SKELVANE_APP_PROFILE_FILE_H

#include <cstddef>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace skelvane {

class TProfileFile {
 public:
  // The longest value a read gives back, as the profile-string reader's
  // buffer of 2048 bytes allows.
  static constexpr std::size_t kMaxValueLength = 2047;

  // A settings file is a few kilobytes; a larger one is damaged and is not
  // read, nor kept by the next Flush.
  static constexpr std::uintmax_t kMaxFileSize = std::uintmax_t{16} << 20;

  // Reads `fileName` when it is a readable regular file of at most
  // kMaxFileSize bytes; otherwise starts empty.
  explicit TProfileFile(std::string fileName);

  const std::string& FileName() const { return fileName_; }

  // The text after "=", blanks around it removed, one pair of enclosing
  // double or single quotes removed, cut to kMaxValueLength; `def` when the
  // key is missing.
  std::string ReadString(const std::string& section, const std::string& key,
                         const std::string& def) const;
  // Every key of a section with its value as ReadString gives it, in file
  // order; one pass, for sections of many keys.
  std::vector<std::pair<std::string, std::string>> ReadSection(const std::string& section) const;
  // Number of keys in a section; 0 when it is missing.
  std::size_t KeyCount(const std::string& section) const;
  bool SectionExists(const std::string& section) const;

  // Replaces the key where it stands, or appends it at the end of its
  // section, creating the section at the end of the file.
  void WriteString(const std::string& section, const std::string& key, const std::string& value);
  // Removes the section's header and all its keys.
  void EraseSection(const std::string& section);
  // EraseSection, then WriteString of every pair (keys distinct), in one pass.
  void ReplaceSection(const std::string& section,
                      const std::vector<std::pair<std::string, std::string>>& keys);

  // Writes the file when it changed, creating its folder; a link is
  // followed, so the file linked to is written and the link stays. Throws
  // std::runtime_error "Unable to write to <file>" when it cannot, also when
  // the file exists and may not be written (read-only); the old file is then
  // left as it was.
  void Flush();

  // The whole file as Flush would write it.
  std::string Text() const;

 private:
  // Index of the section's header line, or npos.
  std::size_t FindSection(const std::string& section) const;
  // One past the section's last line (the next header or the end).
  std::size_t SectionEnd(std::size_t header) const;
  std::size_t FindKey(std::size_t header, const std::string& key) const;

  std::string fileName_;
  std::vector<std::string> lines_;
  bool dirty_ = false;
};

}  // namespace skelvane

#endif
