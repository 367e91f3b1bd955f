#include "common/large_memory.h"

#include <cstdint>
#include <new>
#include <utility>

#if defined(__linux__)
#include <sys/mman.h>
#endif

namespace skelvane {
namespace {

#if defined(__linux__)
constexpr std::size_t kHugePage = std::size_t{2} << 20;
constexpr std::size_t kMapFrom = std::size_t{8} << 20;  // smaller blocks come from the heap
#endif

}  // namespace

TLargeMemory::TLargeMemory(std::size_t bytes) : size_(bytes) {
  if (bytes == 0) return;
#if defined(__linux__)
  if (bytes >= kMapFrom) {
    // One extra huge page leaves room to start on a huge-page boundary.
    const std::size_t length = bytes + kHugePage;
    void* mapping = mmap(nullptr, length, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (mapping != MAP_FAILED) {
      mapping_ = mapping;
      mappingSize_ = length;
      const auto address = reinterpret_cast<std::uintptr_t>(mapping);
      data_ = reinterpret_cast<void*>((address + kHugePage - 1) & ~(kHugePage - 1));
      madvise(data_, bytes, MADV_HUGEPAGE);  // a hint; without huge pages the block still works
      return;
    }
  }
#endif
  heap_ = std::make_unique_for_overwrite<std::max_align_t[]>((bytes + sizeof(std::max_align_t) - 1) /
                                                             sizeof(std::max_align_t));
  data_ = heap_.get();
}

TLargeMemory::~TLargeMemory() { Release(); }

TLargeMemory::TLargeMemory(TLargeMemory&& other) noexcept
    : data_(std::exchange(other.data_, nullptr)),
      size_(std::exchange(other.size_, 0)),
      mapping_(std::exchange(other.mapping_, nullptr)),
      mappingSize_(std::exchange(other.mappingSize_, 0)),
      heap_(std::move(other.heap_)) {}

TLargeMemory& TLargeMemory::operator=(TLargeMemory&& other) noexcept {
  if (this != &other) {
    Release();
    data_ = std::exchange(other.data_, nullptr);
    size_ = std::exchange(other.size_, 0);
    mapping_ = std::exchange(other.mapping_, nullptr);
    mappingSize_ = std::exchange(other.mappingSize_, 0);
    heap_ = std::move(other.heap_);
  }
  return *this;
}

void TLargeMemory::Release() noexcept {
#if defined(__linux__)
  if (mapping_ != nullptr) munmap(mapping_, mappingSize_);
#endif
  mapping_ = nullptr;
  mappingSize_ = 0;
  heap_.reset();
  data_ = nullptr;
  size_ = 0;
}

}  // namespace skelvane
