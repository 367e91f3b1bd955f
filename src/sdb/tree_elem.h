#pragma once
// A node of a schema document: "{" Name Value ... "}" with the nodes opened inside it.

#include <cstddef>
#include <iterator>
#include <string_view>

namespace skelvane {

struct TTreeElem;

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

struct TTreeElem {
  // Bytes owned by the node's document.
  std::string_view Name;
  std::string_view Value;
  // Links are set by the reader while the node is open and never change afterwards.
  TTreeElem* FirstChild = nullptr;
  TTreeElem* NextSibling = nullptr;

  TNodeList Children() const { return TNodeList(FirstChild); }
};

inline TNodeList::iterator& TNodeList::iterator::operator++() {
  node_ = node_->NextSibling;
  return *this;
}

}  // namespace skelvane
