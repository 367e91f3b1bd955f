// A schema document ("._sdb"): reads the brace-structured text into a node tree
// and finds nodes by a path of names.
#ifndef SKELVANE_SDB_SDB_PARSER_H
#define SKELVANE_SDB_SDB_PARSER_H

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "sdb/node_store.h"
#include "sdb/tree_elem.h"
#include "sdb/tree_result.h"

namespace skelvane {

// Keys from the top level down, e.g. {"tables", "t"}; compared byte for byte.
using TSdbPath = std::vector<std::string>;

// One thread at a time: Select remembers where it ended, even on a const document.
class TSDB_Parser {
 public:
  // A document read from fileName. Kind 1 for the extension "._sdb", 2 for ".psdb"
  // (any letter case), 0 otherwise; for kinds 1 and 2 FileOk() tells whether the
  // file could be opened for reading. The empty name gives a document that
  // never reads anything.
  explicit TSDB_Parser(std::string fileName = {});

  // A sub-document over nodes owned by another document, which must outlive it.
  explicit TSDB_Parser(TNodeList nodes);

  ~TSDB_Parser();
  TSDB_Parser(const TSDB_Parser&) = delete;
  TSDB_Parser& operator=(const TSDB_Parser&) = delete;

  bool FileOk() const { return fileOk_; }
  int FileKind() const { return fileKind_; }
  const std::string& FileName() const { return fileName_; }
  TNodeList RootNodes() const { return TNodeList(firstRoot_); }

  // Reads the whole file into RootNodes(). When the file cannot be opened,
  // FileOk() becomes false and the tree is empty. Throws ESdbReadError when reading
  // fails after the open, ESdbSyntaxError for a "}" that closes no node. Nodes
  // left open at the end are kept as read. Results taken before a second Parse
  // stay valid: earlier nodes live as long as the document.
  void Parse();

  // The same reading over bytes already in memory; FileOk() becomes true. The
  // document keeps the bytes (move them in to spare a copy).
  void ParseText(std::string bytes);

  // Empties result, then finds the node at path: the index-th (from 0) node named
  // path.back() among the children of the first node on the path that has that
  // many, descending through every matching node in order. Lists the found node's
  // children as "Name=Value" entries, with a sub-document for each child that has
  // children. False when nothing is found.
  bool Select(int index, const TSdbPath& path, TTreeResult& result) const;

 private:
  void ReadBytes(std::string_view bytes);

  std::string fileName_;
  int fileKind_ = 0;
  bool fileOk_ = false;
  TNodeStore store_;
  const TTreeElem* firstRoot_ = nullptr;

  // Where the last Select ended, so that walking a section by increasing index
  // resumes there instead of counting again from the first node.
  struct Cursor {
    TSdbPath path;
    int index = -1;
    const TTreeElem* found = nullptr;
  };
  mutable Cursor cursor_;
};

}  // namespace skelvane

#endif
