#include "common/large_memory.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <utility>

namespace skelvane {
namespace {

TEST(LargeMemory, SmallAndMappedBlocksAreUsableAndMovable) {
  for (std::size_t bytes : {std::size_t{1}, std::size_t{4096}, std::size_t{24} << 20}) {
    TLargeMemory block(bytes);
    ASSERT_NE(block.data(), nullptr) << bytes;
    EXPECT_EQ(block.size(), bytes);
    EXPECT_EQ(reinterpret_cast<std::uintptr_t>(block.data()) % alignof(std::max_align_t), 0u);
    auto* bytesOf = static_cast<unsigned char*>(block.data());
    std::memset(bytesOf, 0xAB, bytes);  // every byte is writable
    TLargeMemory moved(std::move(block));
    EXPECT_EQ(block.data(), nullptr);
    EXPECT_EQ(moved.data(), bytesOf);
    EXPECT_EQ(bytesOf[bytes - 1], 0xAB);
    TLargeMemory assigned;
    assigned = std::move(moved);
    EXPECT_EQ(assigned.data(), bytesOf);
    EXPECT_EQ(moved.size(), 0u);
  }
  EXPECT_EQ(TLargeMemory(0).data(), nullptr);
}

}  // namespace
}  // namespace skelvane
