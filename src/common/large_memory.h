// Uninitialised memory for one big array. Large blocks are mapped on their own
// and, where the system offers it, backed by huge pages: filling a tree of
// millions of nodes otherwise spends much of its time in page faults.
#ifndef SKELVANE_COMMON_LARGE_MEMORY_H
#define SKELVANE_COMMON_LARGE_MEMORY_H

#include <cstddef>
#include <memory>

namespace skelvane {

class TLargeMemory {
 public:
  TLargeMemory() = default;
  explicit TLargeMemory(std::size_t bytes);  // throws std::bad_alloc
  ~TLargeMemory();
  TLargeMemory(TLargeMemory&& other) noexcept;
  TLargeMemory& operator=(TLargeMemory&& other) noexcept;
  TLargeMemory(const TLargeMemory&) = delete;
  TLargeMemory& operator=(const TLargeMemory&) = delete;

  // Aligned for any object type; nullptr for an empty block.
  void* data() const { return data_; }
  std::size_t size() const { return size_; }

 private:
  void Release() noexcept;

  void* data_ = nullptr;
  std::size_t size_ = 0;
  void* mapping_ = nullptr;  // set when the block is mapped rather than allocated
  std::size_t mappingSize_ = 0;
  std::unique_ptr<std::max_align_t[]> heap_;
};

}  // namespace skelvane

#endif
