// Owns the nodes of one document and the bytes of their names and values.
// Nothing is released before the document ends, so references held by
// sub-documents stay valid however often the document is read.
#ifndef SKELVANE_SDB_NODE_STORE_H
#define SKELVANE_SDB_NODE_STORE_H

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "common/large_memory.h"
#include "sdb/text_arena.h"
#include "sdb/tree_elem.h"

namespace skelvane {

class TNodeStore {
 public:
  // Room for count nodes of one reading, in one array (see TTreeElem). The
  // nodes are not constructed yet.
  TTreeElem* NewNodes(std::size_t count) {
    if (count == 0) return nullptr;
    nodes_.emplace_back(count * sizeof(TTreeElem));
    return static_cast<TTreeElem*>(nodes_.back().data());
  }

  TTextArena& Texts() { return texts_; }

  // Keep a document text alive for nodes that refer to its bytes. The bytes
  // are followed by a NUL: a string's always are, a block's must be.
  std::string_view Keep(std::string text) {
    texts_read_.push_back(std::make_unique<std::string>(std::move(text)));
    return *texts_read_.back();
  }
  std::string_view Keep(TLargeMemory block, std::size_t length) {
    blocks_read_.push_back(std::move(block));
    return std::string_view(static_cast<const char*>(blocks_read_.back().data()), length);
  }

 private:
  std::vector<TLargeMemory> nodes_;
  TTextArena texts_;
  std::vector<std::unique_ptr<std::string>> texts_read_;
  std::vector<TLargeMemory> blocks_read_;
};

}  // namespace skelvane

#endif
