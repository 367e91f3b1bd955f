// Owns the name and value bytes of one document's nodes. Texts are written one
// after the other and only the newest one grows, so each text stays one
// contiguous run; written bytes never move once a newer text has begun.
#ifndef SKELVANE_SDB_TEXT_ARENA_H
#define SKELVANE_SDB_TEXT_ARENA_H

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <memory>
#include <string_view>
#include <vector>

namespace skelvane {

class TTextArena {
 public:
  // text must be empty or the newest text handed out by this arena.
  std::string_view Append(std::string_view text, const char* bytes, std::size_t count) {
    if (count == 0) return text;
    if (text.empty()) text = std::string_view(end_, 0);
    if (static_cast<std::size_t>(limit_ - end_) < count) {
      text = MoveToNewChunk(text, count);
    }
    std::memcpy(end_, bytes, count);
    end_ += count;
    return std::string_view(text.data(), text.size() + count);
  }

  // The same, appending count copies of one byte.
  std::string_view AppendFill(std::string_view text, char byte, std::size_t count) {
    if (count == 0) return text;
    if (text.empty()) text = std::string_view(end_, 0);
    if (static_cast<std::size_t>(limit_ - end_) < count) {
      text = MoveToNewChunk(text, count);
    }
    std::memset(end_, byte, count);
    end_ += count;
    return std::string_view(text.data(), text.size() + count);
  }

 private:
  std::string_view MoveToNewChunk(std::string_view text, std::size_t extra) {
    const std::size_t needed = text.size() + extra;
    chunkSize_ = chunkSize_ == 0 ? kFirstChunk : std::min(chunkSize_ * 2, kLargestChunk);
    const std::size_t size = std::max(chunkSize_, needed * 2);
    chunks_.push_back(std::make_unique_for_overwrite<char[]>(size));
    char* start = chunks_.back().get();
    if (!text.empty()) std::memcpy(start, text.data(), text.size());
    end_ = start + text.size();
    limit_ = start + size;
    return std::string_view(start, text.size());
  }

  static constexpr std::size_t kFirstChunk = 4096;
  static constexpr std::size_t kLargestChunk = 1 << 20;
  std::vector<std::unique_ptr<char[]>> chunks_;
  std::size_t chunkSize_ = 0;
  char* end_ = nullptr;
  char* limit_ = nullptr;
};

}  // namespace skelvane

#endif
