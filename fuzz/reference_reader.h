// A slow, literal reading of the document rules, one character at a time on
// owned strings. The fuzzer compares the real reader with it.
#ifndef SKELVANE_FUZZ_REFERENCE_READER_H
#define SKELVANE_FUZZ_REFERENCE_READER_H

#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace skelvane::fuzz {

struct RefNode {
  std::string name;
  std::string value;
  std::vector<std::unique_ptr<RefNode>> children;
};

struct RefDocument {
  std::vector<std::unique_ptr<RefNode>> roots;
  bool unmatchedClose = false;
  long errorLine = 0;
};

RefDocument RefRead(std::string_view bytes);

// Entries "name=value" of the found node's children, each with a flag telling
// whether the child has children; false when no node is found.
struct RefEntry {
  std::string text;
  const RefNode* node;
};
bool RefSelect(const std::vector<std::unique_ptr<RefNode>>& roots, int index,
               const std::vector<std::string>& path, std::vector<RefEntry>& result);

}  // namespace skelvane::fuzz

#endif
