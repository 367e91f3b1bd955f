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

  // Reads text as whole lines; a byte 26 ends the text. text must be followed
  // by a NUL byte (as the bytes of a std::string are). Names and values may
  // refer to the bytes of text, which must live as long as the store.
  // Throws ESdbSyntaxError.
  void Read(std::string_view text);

 private:
  enum class State { None, Name, Value };
  struct OpenNode {
    TTreeElem* node;
    TTreeElem* lastChild;
  };

  void OpenBrace();
  void CloseBrace();
  void StartValue();
  // Appends bytes of the text being read to the name or value being built.
  void AppendRun(std::string_view& target, const char* run, std::size_t count);
  // Appends bytes that are not in the text (a line break, a blank for a TAB).
  void AppendOther(std::string_view& target, const char* bytes, std::size_t count);

  TNodeStore& store_;
  const TTreeElem*& firstRoot_;
  TTreeElem* lastRoot_ = nullptr;
  std::string documentName_;
  State state_ = State::None;
  std::vector<OpenNode> open_;
  long lineNumber_ = 0;
  // Whether the name or value being built lives in the store's own text (it
  // refers to the read text for as long as it is one unchanged run of it).
  bool copied_ = false;
};

}  // namespace skelvane
