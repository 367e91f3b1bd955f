#pragma once
// The line-by-line reader that turns document text into nodes.

#include <string>
#include <string_view>
#include <vector>

#include "sdb/node_store.h"
#include "sdb/tree_elem.h"

namespace skelvane {

class TSdbReader {
 public:
  // Starts a new tree: firstRoot is set to its first top-level node as soon as
  // there is one. documentName only labels errors.
  TSdbReader(TNodeStore& store, const TTreeElem*& firstRoot, std::string documentName);

  // Reads text as whole lines; a byte 26 ends the text. Throws ESdbSyntaxError.
  void Read(std::string_view text);

 private:
  enum class State { None, Name, Value };
  struct OpenNode {
    TTreeElem* node;
    TTreeElem* lastChild;
  };

  void Line(const char* p, const char* end);
  void OpenBrace();
  void CloseBrace();

  TNodeStore& store_;
  const TTreeElem*& firstRoot_;
  TTreeElem* lastRoot_ = nullptr;
  std::string documentName_;
  State state_ = State::None;
  std::vector<OpenNode> open_;
  long lineNumber_ = 0;
};

}  // namespace skelvane
