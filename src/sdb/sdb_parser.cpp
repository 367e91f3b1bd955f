#include "sdb/sdb_parser.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <utility>

#include "common/large_memory.h"
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

// The file's size where it can be told; 0 when it cannot.
std::size_t SizeHint(std::FILE* file) {
  if (std::fseek(file, 0, SEEK_END) != 0) return 0;
  const long size = std::ftell(file);
  if (std::fseek(file, 0, SEEK_SET) != 0) return 0;
  return size > 0 ? static_cast<std::size_t>(size) : 0;
}

// Reads up to the end of the file or its first byte 26, whichever comes first,
// into a block that ends with a NUL after the bytes read.
std::string_view ReadAll(std::FILE* file, const std::string& name, TNodeStore& store) {
  // The size is trusted only once the first bytes were read: some files that
  // open (a folder, a device) report sizes that are not there.
  constexpr std::size_t kFirstRead = std::size_t{1} << 16;
  const std::size_t hint = SizeHint(file);
  std::size_t capacity = kFirstRead + 1;
  TLargeMemory block(capacity);
  std::size_t length = 0;
  for (;;) {
    if (length + 1 == capacity) {
      const std::size_t wanted = hint + 1 > capacity * 2 ? hint + 2 : capacity * 2;
      TLargeMemory bigger(wanted);
      std::memcpy(bigger.data(), block.data(), length);
      block = std::move(bigger);
      capacity = wanted;
    }
    char* bytes = static_cast<char*>(block.data());
    const std::size_t want = capacity - 1 - length;
    const std::size_t got = std::fread(bytes + length, 1, want, file);
    const bool endOfText = std::memchr(bytes + length, 26, got) != nullptr;
    length += got;
    if (endOfText) break;
    if (got < want) {
      if (std::ferror(file)) {
        const int error = errno;
        throw ESdbReadError("Schema document " + name + ": read error" +
                            (error != 0 ? std::string(": ") + std::strerror(error) : std::string()));
      }
      if (std::feof(file)) break;
    }
  }
  static_cast<char*>(block.data())[length] = '\0';
  return store.Keep(std::move(block), length);
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
  const std::string_view text = ReadAll(file.get(), fileName_, store_);
  file.reset();
  ReadBytes(text);
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
