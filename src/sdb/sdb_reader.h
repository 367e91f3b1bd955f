// The line-by-line reader that turns document text into nodes.
#ifndef SKELVANE_SDB_SDB_READER_H
#define SKELVANE_SDB_SDB_READER_H

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "sdb/node_store.h"
#include "sdb/tree_elem.h"

namespace skelvane {

class TSdbReader {
 public:
  // documentName only labels errors.
  TSdbReader(TNodeStore& store, std::string documentName);

  // Reads text as whole lines; a byte 26 ends the text. text must be followed
  // by a NUL byte (as the bytes of a std::string are). Names and values may
  // refer to the bytes of text, which must live as long as the store. Returns
  // the first top-level node, nullptr when there is none; a failure leaves the
  // nodes read so far reachable through firstRoot. Throws ESdbSyntaxError.
  void Read(std::string_view text, const TTreeElem*& firstRoot);

 private:
  enum class State { None, Name, Value };
  struct OpenNode {
    TTreeElem* node;
    TTreeElem* lastChild;
  };

  void OpenBrace();
  void CloseBrace();
  void StartValue();
  // Stores the name or value being built in its node.
  void Flush();
  // Appends bytes of the text being read to the name or value being built.
  void AppendRun(const char* run, std::size_t count);
  // Appends bytes that are not in the text (a line break, a blank for a TAB).
  void AppendOther(const char* bytes, std::size_t count);
  void AppendBlanks(std::size_t count);
  [[noreturn]] void Fail(const std::string& what) const;

  TNodeStore& store_;
  std::string documentName_;
  TTreeElem* nodes_ = nullptr;
  std::size_t used_ = 0;
  std::size_t capacity_ = 0;
  TTreeElem* lastRoot_ = nullptr;
  State state_ = State::None;
  std::vector<OpenNode> open_;
  long lineNumber_ = 0;
  // The name (state Name) or value (state Value) of the innermost open node
  // while it is being read. It refers to the read text for as long as it is
  // one unchanged run of it, and is copied to the store's own bytes after that.
  std::string_view text_;
  bool copied_ = false;
};

}  // namespace skelvane

#endif
