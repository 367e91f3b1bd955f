// A temporary folder for one test, removed with everything in it.
#ifndef SKELVANE_TESTS_SUPPORT_TEMP_FOLDER_H
#define SKELVANE_TESTS_SUPPORT_TEMP_FOLDER_H

#include <cstdlib>
#include <filesystem>
#include <random>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <string>

namespace skelvane::testing {

class TTempFolder {
 public:
  // `tag` goes into the folder's name, to tell whose a leftover folder was.
  explicit TTempFolder(const std::string& tag = "") {
    std::string pattern =
        (std::filesystem::temp_directory_path() / ("skelvane-" + (tag.empty() ? "" : tag + "-") + "XXXXXX")).string();
#ifdef _WIN32
    // No mkdtemp: a random name, taken only if nobody has it.
    std::random_device seed;
    std::mt19937 random(seed());
    for (int attempt = 0; attempt < 100 && path_.empty(); ++attempt) {
      std::string name = pattern;
      for (size_t i = name.size() - 6; i < name.size(); ++i) name[i] = "abcdefghijklmnopqrstuvwxyz0123456789"[random() % 36];
      std::error_code error;
      if (std::filesystem::create_directory(name, error)) path_ = name;
    }
    if (path_.empty()) throw std::runtime_error("cannot create a folder like " + pattern);
#else
    // A null result would otherwise become a string and crash.
    if (!::mkdtemp(pattern.data())) throw std::runtime_error("cannot create a folder like " + pattern);
    path_ = pattern;
#endif
  }
  ~TTempFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  TTempFolder(const TTempFolder&) = delete;
  TTempFolder& operator=(const TTempFolder&) = delete;

  const std::string& Path() const { return path_; }
  std::string operator/(const std::string& relative) const {
#ifdef _WIN32
    std::string native = relative;
    for (char& c : native) c = c == '/' ? '\\' : c;
    return path_ + "\\" + native;
#else
    return path_ + "/" + relative;
#endif
  }

  // Creates the folders of `relative` below this one.
  std::string MakeFolder(const std::string& relative) const {
    std::filesystem::create_directories(*this / relative);
    return *this / relative;
  }
  // Writes a file (and its folders); returns its full path.
  std::string WriteFile(const std::string& relative, const std::string& text = "x") const {
    const std::filesystem::path file = *this / relative;
    std::filesystem::create_directories(file.parent_path());
    std::ofstream(file, std::ios::binary) << text;
    return file.string();
  }
  std::string CopyFile(const std::string& from, const std::string& relative) const {
    const std::filesystem::path file = *this / relative;
    std::filesystem::create_directories(file.parent_path());
    std::filesystem::copy_file(from, file, std::filesystem::copy_options::overwrite_existing);
    return file.string();
  }

 private:
  std::string path_;
};

// A file's bytes as they stand ("" for a file that cannot be read).
inline std::string ReadAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

}  // namespace skelvane::testing

#endif
