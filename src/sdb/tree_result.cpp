#include "sdb/tree_result.h"

#include <stdexcept>

#include "common/text.h"
#include "sdb/sdb_parser.h"

namespace skelvane {

TTreeResult::TTreeResult() = default;
TTreeResult::~TTreeResult() = default;
TTreeResult::TTreeResult(TTreeResult&&) noexcept = default;
TTreeResult& TTreeResult::operator=(TTreeResult&&) noexcept = default;

const std::string& TTreeResult::Strings(int index) const {
  if (index < 0 || index >= Count()) throw std::out_of_range("result list index out of range");
  return entries_[static_cast<std::size_t>(index)].text;
}

const TSDB_Parser* TTreeResult::Objects(int index) const {
  if (index < 0 || index >= Count()) throw std::out_of_range("result list index out of range");
  return entries_[static_cast<std::size_t>(index)].object.get();
}

int TTreeResult::IndexOfName(std::string_view name) const {
  for (std::size_t i = 0; i < entries_.size(); ++i) {
    const std::string_view text = entries_[i].text;
    const std::size_t equals = text.find('=');
    if (equals != std::string_view::npos && SameText(text.substr(0, equals), name)) {
      return static_cast<int>(i);
    }
  }
  return -1;
}

void TTreeResult::Add(std::string text, std::unique_ptr<TSDB_Parser> object) {
  entries_.push_back(Entry{std::move(text), std::move(object)});
}

void TTreeResult::Clear() { entries_.clear(); }

}  // namespace skelvane
