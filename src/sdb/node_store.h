#pragma once
// Owns the nodes of one document and their texts. Nodes are allocated in blocks
// and never move, so references held by sub-documents stay valid while the
// store lives.

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "sdb/text_arena.h"
#include "sdb/tree_elem.h"

namespace skelvane {

class TNodeStore {
 public:
  TTreeElem* New() {
    if (used_ == blockSize_) Grow();
    return &blocks_.back()[used_++];
  }

 TTextArena& Texts() { return texts_; }

  // Keeps a document text alive for nodes that refer to its bytes.
  std::string_view Keep(std::string text) {
    sources_.push_back(std::make_unique<std::string>(std::move(text)));
    return *sources_.back();
  }

 private:
  void Grow() {
    blockSize_ = blocks_.empty() ? 64 : (blockSize_ < 16384 ? blockSize_ * 2 : blockSize_);
    blocks_.push_back(std::make_unique<TTreeElem[]>(blockSize_));
    used_ = 0;
  }

  std::vector<std::unique_ptr<TTreeElem[]>> blocks_;
  std::size_t blockSize_ = 0;
  std::size_t used_ = 0;
  TTextArena texts_;
  std::vector<std::unique_ptr<std::string>> sources_;
};

}  // namespace skelvane
