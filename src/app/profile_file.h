// An initialization (profile) file: "[section]" headers, "key=value" lines,
// CR LF line ends, 8-bit text. Section and key names match without regard to
// letter case. Changes stay in memory until Flush.
#ifndef SKELVANE_APP_PROFILE_FILE_H
#define SKELVANE_APP_PROFILE_FILE_H

#include <cstddef>
#include <string>
#include <vector>

namespace skelvane {

class TProfileFile {
 public:
  // The longest value a read gives back, as the profile-string reader's
  // buffer of 2048 bytes allows.
  static constexpr std::size_t kMaxValueLength = 2047;

  // Reads `fileName` when it exists and is readable; otherwise starts empty.
  explicit TProfileFile(std::string fileName);

  const std::string& FileName() const { return fileName_; }

  // The text after "=", blanks around it removed, one pair of enclosing
  // double or single quotes removed, cut to kMaxValueLength; `def` when the
  // key is missing.
  std::string ReadString(const std::string& section, const std::string& key,
                         const std::string& def) const;
  // Number of keys in a section; 0 when it is missing.
  std::size_t KeyCount(const std::string& section) const;
  bool SectionExists(const std::string& section) const;

  // Replaces the key where it stands, or appends it at the end of its
  // section, creating the section at the end of the file.
  void WriteString(const std::string& section, const std::string& key, const std::string& value);
  // Removes the section's header and all its keys.
  void EraseSection(const std::string& section);

  // Writes the file when it changed, creating its folder. Throws
  // std::runtime_error "Unable to write to <file>" when it cannot; the old
  // file is then left as it was.
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
