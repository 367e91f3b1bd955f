// A node of a schema document: "{" Name Value ... "}" with the nodes opened inside it.
#ifndef SKELVANE_SDB_TREE_ELEM_H
#define SKELVANE_SDB_TREE_ELEM_H

#include <cstddef>
#include <cstdint>
#include <iterator>
#include <string_view>

namespace skelvane {

class TTreeElem;

// An ordered run of sibling nodes, seen through its first node. Copying the list
// copies references: the nodes stay owned by their document.
class TNodeList {
 public:
  class iterator {
   public:
    using iterator_category = std::forward_iterator_tag;
    using value_type = TTreeElem;
    using difference_type = std::ptrdiff_t;
    using pointer = const TTreeElem*;
    using reference = const TTreeElem&;

    iterator() = default;
    explicit iterator(const TTreeElem* node) : node_(node) {}
    reference operator*() const { return *node_; }
    pointer operator->() const { return node_; }
    inline iterator& operator++();
    iterator operator++(int) {
      iterator before = *this;
      ++*this;
      return before;
    }
    bool operator==(const iterator&) const = default;

   private:
    const TTreeElem* node_ = nullptr;
  };

  TNodeList() = default;
  explicit TNodeList(const TTreeElem* first) : first_(first) {}

  iterator begin() const { return iterator(first_); }
  iterator end() const { return iterator(); }
  bool empty() const { return first_ == nullptr; }
  std::size_t size() const { return static_cast<std::size_t>(std::distance(begin(), end())); }
  const TTreeElem* first() const { return first_; }

 private:
  const TTreeElem* first_ = nullptr;
};

// Nodes of one reading are stored in one array in text order, so a node's first
// child is the element right after it and a sibling is a short step ahead; that
// keeps a node at 32 bytes, which matters for documents of millions of nodes.
class TTreeElem {
 public:
  // Bytes owned by the node's document.
  std::string_view Name() const { return {name_, nameSize_}; }
  std::string_view Value() const { return {value_, valueSize_}; }
  bool HasChildren() const { return hasChildren_ != 0; }
  TNodeList Children() const { return TNodeList(hasChildren_ != 0 ? this + 1 : nullptr); }
  const TTreeElem* NextSibling() const { return nextOffset_ != 0 ? this + nextOffset_ : nullptr; }

 private:
  friend class TSdbReader;

  const char* name_ = nullptr;
  const char* value_ = nullptr;
  std::uint32_t nameSize_ = 0;
  std::uint32_t valueSize_ = 0;
  std::uint32_t nextOffset_ = 0;  // elements to the next sibling; 0 for none
  std::uint32_t hasChildren_ = 0;
};

inline TNodeList::iterator& TNodeList::iterator::operator++() {
  node_ = node_->NextSibling();
  return *this;
}

}  // namespace skelvane

#endif
