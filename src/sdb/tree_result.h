// The entries "name=value" that a query lists for the children of one node, in
// tree order. An entry for a child with children of its own carries a
// sub-document over those children, owned by the list.
#ifndef SKELVANE_SDB_TREE_RESULT_H
#define SKELVANE_SDB_TREE_RESULT_H

#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace skelvane {

class TSDB_Parser;

class TTreeResult {
 public:
  TTreeResult();
  ~TTreeResult();
  TTreeResult(TTreeResult&&) noexcept;
  TTreeResult& operator=(TTreeResult&&) noexcept;
  TTreeResult(const TTreeResult&) = delete;
  TTreeResult& operator=(const TTreeResult&) = delete;

  int Count() const { return static_cast<int>(entries_.size()); }
  // Both throw std::out_of_range for an index outside 0..Count()-1.
  const std::string& Strings(int index) const;
  const TSDB_Parser* Objects(int index) const;  // nullptr when the entry carries none

  // The first entry whose text before its first "=" equals name, ignoring the
  // case of ASCII letters; -1 when there is none.
  int IndexOfName(std::string_view name) const;

  void Add(std::string text, std::unique_ptr<TSDB_Parser> object = nullptr);
  void Clear();

 private:
  friend class TSDB_Parser;
  struct Entry {
    std::string text;
    std::unique_ptr<TSDB_Parser> object;
  };
  std::vector<Entry> entries_;
};

}  // namespace skelvane

#endif
