#pragma once
// Owns the nodes of one document and the bytes of their names and values.
// Nothing is released before the document ends, so references held by
// sub-documents stay valid however often the document is read.

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

  // Keeps a document text alive for nodes that refer to its bytes.
  std::string_view Keep(std::string text) {
    sources_.push_back(std::make_unique<std::string>(std::move(text)));
    return *sources_.back();
  }

 private:
  std::vector<TLargeMemory> nodes_;
  TTextArena texts_;
  std::vector<std::unique_ptr<std::string>> sources_;
};

}  // namespace skelvane
