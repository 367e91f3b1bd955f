#include "sdb/sdb_parser.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <utility>

#include "sdb/sdb_error.h"
#include "sdb/sdb_reader.h"

namespace skelvane {
namespace {

struct FileCloser {
  void operator()(std::FILE* file) const { std::fclose(file); }
};
using FilePtr = std::unique_ptr<std::FILE, FileCloser>;

FilePtr OpenForReading(const std::string& name) {
  if (name.empty()) return nullptr;
  return FilePtr(std::fopen(name.c_str(), "rb"));
}

// From the last "." after the last path separator or drive colon, dot included.
std::string LowerCaseExtension(const std::string& name) {
  const std::size_t separator = name.find_last_of("/\\:");
  const std::size_t dot = name.rfind('.');
  if (dot == std::string::npos || (separator != std::string::npos && dot < separator)) return {};
  std::string extension = name.substr(dot);
  for (char& c : extension) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return extension;
}

int FileKindOf(const std::string& name) {
  const std::string extension = LowerCaseExtension(name);
  if (extension == "._sdb") return 1;
  if (extension == ".psdb") return 2;
  return 0;
}

// Reads up to the end of the file or its first byte 26, whichever comes first.
std::string ReadAll(std::FILE* file, const std::string& name) {
  std::string data;
  constexpr std::size_t kChunk = 1 << 16;
  for (;;) {
    const std::size_t old = data.size();
    data.resize(old + kChunk);
    const std::size_t got = std::fread(data.data() + old, 1, kChunk, file);
    data.resize(old + got);
    if (std::memchr(data.data() + old, 26, got) != nullptr) break;
    if (got < kChunk) {
      if (std::ferror(file)) {
        const int error = errno;
        throw ESdbReadError("Schema document " + name + ": read error" +
                            (error != 0 ? std::string(": ") + std::strerror(error) : std::string()));
      }
      break;
    }
  }
  return data;
}

const TTreeElem* FindNode(const TTreeElem* first, const TSdbPath& path, std::size_t level, int index) {
  const std::string& key = path[level];
  if (level + 1 == path.size()) {
    int seen = 0;
    for (const TTreeElem* node = first; node != nullptr; node = node->NextSibling()) {
      if (node->Name() == key && seen++ == index) return node;
    }
    return nullptr;
  }
  for (const TTreeElem* node = first; node != nullptr; node = node->NextSibling()) {
    if (node->Name() != key) continue;
    if (const TTreeElem* found = FindNode(node->Children().first(), path, level + 1, index)) return found;
  }
  return nullptr;
}

}  // namespace

TSDB_Parser::TSDB_Parser(std::string fileName)
    : fileName_(std::move(fileName)), fileKind_(FileKindOf(fileName_)) {
  if (fileKind_ != 0) fileOk_ = OpenForReading(fileName_) != nullptr;
}

TSDB_Parser::TSDB_Parser(TNodeList nodes) : firstRoot_(nodes.first()) {}

TSDB_Parser::~TSDB_Parser() = default;

void TSDB_Parser::Parse() {
  cursor_ = Cursor{};
  firstRoot_ = nullptr;
  FilePtr file = fileKind_ != 0 ? OpenForReading(fileName_) : nullptr;
  fileOk_ = file != nullptr;
  if (!fileOk_) return;
  std::string text = ReadAll(file.get(), fileName_);
  file.reset();
  ReadBytes(store_.Keep(std::move(text)));
}

void TSDB_Parser::ParseText(std::string bytes) {
  cursor_ = Cursor{};
  fileOk_ = true;
  ReadBytes(store_.Keep(std::move(bytes)));
}

void TSDB_Parser::ReadBytes(std::string_view bytes) {
  TSdbReader reader(store_, fileName_);
  reader.Read(bytes, firstRoot_);
}

bool TSDB_Parser::Select(int index, const TSdbPath& path, TTreeResult& result) const {
  // The result may hold the sub-document this Select runs on; its old entries
  // are released only when this call is done with them.
  std::vector<TTreeResult::Entry> retired;
  retired.swap(result.entries_);

  if (index < 0 || path.empty()) return false;

  const TTreeElem* found = nullptr;
  if (cursor_.found != nullptr && cursor_.path == path) {
    if (index == cursor_.index) {
      found = cursor_.found;
    } else if (index == cursor_.index + 1) {
      // Lists searched before this one held too few matches for the last index,
      // so fewer for this one too; the next match in the same list is the answer.
      for (const TTreeElem* node = cursor_.found->NextSibling(); node != nullptr; node = node->NextSibling()) {
        if (node->Name() == path.back()) {
          found = node;
          break;
        }
      }
    }
  }
  if (found == nullptr) found = FindNode(firstRoot_, path, 0, index);
  if (found == nullptr) return false;
  if (cursor_.path != path) cursor_.path = path;
  cursor_.index = index;
  cursor_.found = found;

  result.entries_.reserve(retired.capacity());
  for (const TTreeElem& child : found->Children()) {
    std::string text;
    const std::string_view name = child.Name();
    const std::string_view value = child.Value();
    text.reserve(name.size() + 1 + value.size());
    text += name;
    text += '=';
    text += value;
    std::unique_ptr<TSDB_Parser> sub;
    if (child.HasChildren()) sub = std::make_unique<TSDB_Parser>(child.Children());
    result.entries_.push_back(TTreeResult::Entry{std::move(text), std::move(sub)});
  }
  return true;
}

}  // namespace skelvane
