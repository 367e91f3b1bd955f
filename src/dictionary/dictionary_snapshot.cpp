#include "dictionary/dictionary_snapshot.h"

#include <algorithm>
#include <cstdlib>
#include <stdexcept>

#include "common/text.h"
#include "oracle/dataset_search.h"

namespace skelvane {

using oracle::TFieldKind;
using oracle::TFieldSpec;
using oracle::TFieldValue;

struct TDictionarySnapshot::TKindRows {
  std::vector<TFieldSpec> Specs;
  bool TrimStrings = true;
  int Key = -1;
  bool Complete = false;
  std::unordered_set<std::string> LoadedKeys;
  std::vector<uint32_t> Cells;  // row after row, Specs.size() each
  std::vector<uint32_t> Order;  // the live rows as the read of all lists them
  std::unordered_map<std::string, std::vector<uint32_t>> ByKey;

  size_t Width() const { return Specs.size(); }
  uint32_t Cell(uint32_t row, size_t column) const { return Cells[row * Width() + column]; }
  int Column(const std::string& name) const {
    for (size_t i = 0; i < Specs.size(); ++i)
      if (SameText(Specs[i].Name, name)) return static_cast<int>(i);
    return -1;
  }
};

namespace {

using TKindRows = TDictionarySnapshot::TKindRows;

const std::string kEmpty;

// Shared by both readers: the snapshot's texts of chosen rows.
class TSnapshotCursor {
 public:
  TSnapshotCursor(const TKindRows& rows, const std::deque<std::string>& texts, std::vector<uint32_t> selected)
      : rows_(rows), texts_(texts), selected_(std::move(selected)) {}

  bool AtEnd() const { return position_ >= selected_.size(); }
  const std::string& Text(int column) const {
    const uint32_t id = rows_.Cell(selected_[position_], static_cast<size_t>(column));
    return id == TDictionarySnapshot::kNull ? kEmpty : texts_[id - 1];
  }
  bool Null(int column) const {
    return rows_.Cell(selected_[position_], static_cast<size_t>(column)) == TDictionarySnapshot::kNull;
  }

  const TKindRows& rows_;
  const std::deque<std::string>& texts_;
  std::vector<uint32_t> selected_;
  size_t position_ = 0;
};

class TSnapshotQueryRows : public TRowSource {
 public:
  explicit TSnapshotQueryRows(TSnapshotCursor cursor) : c_(std::move(cursor)) {}
  bool Eof() const override { return c_.AtEnd(); }
  void Next() override {
    if (!c_.AtEnd()) ++c_.position_;
  }
  std::string Value(const std::string& column) const override {
    const int index = c_.rows_.Column(column);
    if (index < 0) throw std::runtime_error("Field " + column + " does not exist");
    if (c_.AtEnd()) throw std::runtime_error("Beyond end of query");
    return c_.Text(index);
  }

 private:
  TSnapshotCursor c_;
};

bool TrimmedKind(const TFieldSpec& spec) {
  return (spec.Kind == TFieldKind::String || spec.Kind == TFieldKind::Memo) && !spec.FromLong;
}

// The value a data set keeps for a cell, from the text the query gave.
TFieldValue KeptValue(const TFieldSpec& spec, bool trimStrings, bool null, const std::string& text) {
  TFieldValue v;
  if (spec.NoTextForm || null) return v;
  v.Null = false;
  switch (spec.Kind) {
    case TFieldKind::Integer:
    case TFieldKind::SmallInt: v.Integer = std::strtoll(text.c_str(), nullptr, 10); break;
    case TFieldKind::Float: v.Float = std::strtod(text.c_str(), nullptr); break;
    default:
      v.Text = TrimmedKind(spec) && trimStrings ? RightTrimmed(text) : text;
      if (TrimmedKind(spec) && v.Text.empty()) v.Null = true;
  }
  return v;
}

class TSnapshotRowSet : public TRowSet {
 public:
  TSnapshotRowSet(TSnapshotCursor cursor, std::string name) : c_(std::move(cursor)), name_(std::move(name)) {}
  // A data set whose last Next found no row stays on its last record.
  bool Eof() const override { return eof_; }
  void Next() override {
    if (c_.position_ + 1 < c_.selected_.size()) {
      ++c_.position_;
      eof_ = false;
    } else {
      eof_ = true;
    }
  }
  std::string Value(const std::string& column) const override {
    const int index = Field(column);
    if (c_.AtEnd()) return {};
    const TFieldSpec& spec = c_.rows_.Specs[static_cast<size_t>(index)];
    if (spec.NoTextForm) throw std::runtime_error("Cannot convert field " + spec.Name + " to a String");
    if (c_.Null(index)) return {};
    const std::string& text = c_.Text(index);
    if (TrimmedKind(spec) && c_.rows_.TrimStrings) return RightTrimmed(text);
    return text;
  }
  int RecordCount() const override { return static_cast<int>(c_.selected_.size()); }
  void First() override {
    c_.position_ = 0;
    eof_ = c_.selected_.empty();
  }
  bool Locate(const std::string& keyColumns, const oracle::TVariant& values) override {
    using O = oracle::TSearchRecordOption;
    const oracle::TSearchRecordOptions options{O::srFromBeginning};
    std::vector<int> keys;
    for (const std::string& name : oracle::SplitKeyColumns(keyColumns)) keys.push_back(Field(name));
    const size_t count = values.IsArray() ? values.Items().size() : 1;
    if (count != keys.size())
      throw oracle::EDatabaseError(name_ + ".SearchRecord: number of fields and values do not match");
    const bool trim = c_.rows_.TrimStrings;
    std::vector<oracle::TKeyTest> tests;
    for (size_t k = 0; k < keys.size(); ++k) {
      tests.push_back(oracle::MakeKeyTest(c_.rows_.Specs[static_cast<size_t>(keys[k])],
                                          values.IsArray() ? values.Items()[k] : values, options, trim));
    }
    const size_t keep = c_.position_;
    for (c_.position_ = 0; !c_.AtEnd(); ++c_.position_) {
      bool match = true;
      for (size_t k = 0; k < keys.size() && match; ++k) {
        const TFieldSpec& spec = c_.rows_.Specs[static_cast<size_t>(keys[k])];
        const TFieldValue value = KeptValue(spec, trim, c_.Null(keys[k]), c_.Text(keys[k]));
        match = oracle::KeyMatches(spec, value, tests[k], options, trim);
      }
      if (match) {
        eof_ = false;
        return true;
      }
    }
    c_.position_ = keep;
    return false;
  }

 private:
  int Field(const std::string& column) const {
    const int index = c_.rows_.Column(column);
    if (index < 0) throw oracle::EDatabaseError(name_ + ": Field '" + column + "' not found");
    return index;
  }

  TSnapshotCursor c_;
  std::string name_;
  bool eof_ = c_.selected_.empty();
};

}  // namespace

const char* SnapshotKeyColumn(TSnapshotKind kind) {
  switch (kind) {
    case TSnapshotKind::Tables:
    case TSnapshotKind::Columns:
    case TSnapshotKind::Indexes:
    case TSnapshotKind::Constraints: return "TABLE_NAME";
    case TSnapshotKind::Triggers: return "TRIGGER_NAME";
    case TSnapshotKind::Functions:
    case TSnapshotKind::Procedures: return "NAME";
    case TSnapshotKind::Views: return "VIEW_NAME";
    default: return "";
  }
}

TSnapshotKind SnapshotKindOf(TDictionaryRead read) {
  using R = TDictionaryRead;
  using K = TSnapshotKind;
  switch (read) {
    case R::Tables:
    case R::OneTable: return K::Tables;
    case R::TableColumns: return K::Columns;
    case R::TableIndexes: return K::Indexes;
    case R::TableConstraints: return K::Constraints;
    case R::Sequences: return K::Sequences;
    case R::Triggers:
    case R::OneTrigger: return K::Triggers;
    case R::Functions:
    case R::OneFunction: return K::Functions;
    case R::Procedures:
    case R::OneProcedure: return K::Procedures;
    case R::Views:
    case R::OneView: return K::Views;
    case R::Synonyms: return K::Synonyms;
    case R::AllSynonyms: return K::AllSynonyms;
    case R::Privileges: return K::Privileges;
    case R::DbLinks: return K::DbLinks;
    case R::IdentityColumns: return K::IdentityColumns;
    case R::VirtualColumns: return K::VirtualColumns;
  }
  throw std::logic_error("unknown dictionary read");
}

namespace {

// The reads of all rows; the others select one object's.
bool ReadsWhole(TDictionaryRead read) {
  using R = TDictionaryRead;
  switch (read) {
    case R::Tables: case R::Sequences: case R::Triggers: case R::Functions: case R::Procedures:
    case R::Views: case R::Synonyms: case R::AllSynonyms: case R::Privileges: case R::DbLinks:
    case R::IdentityColumns: case R::VirtualColumns:
      return true;
    default: return false;
  }
}

}  // namespace

TDictionarySnapshot::TDictionarySnapshot(TLoader loader) : loader_(std::move(loader)) {}
TDictionarySnapshot::~TDictionarySnapshot() = default;

TDictionarySnapshot::TKindRows& TDictionarySnapshot::Rows(TSnapshotKind kind, bool whole,
                                                           const std::string& key) {
  auto& rows = kinds_[static_cast<size_t>(kind)];
  const bool keyed = !whole && rows && rows->Key >= 0;
  const bool loaded = rows && (rows->Complete || (keyed && rows->LoadedKeys.count(key) != 0));
  if (!loaded && loader_) {
    loader_(*this, kind, whole || (rows && rows->Key < 0) ? nullptr : &key);
    if (rows && !rows->Complete && rows->Key >= 0 && !whole) rows->LoadedKeys.insert(key);
  }
  if (!rows) throw std::logic_error("the dictionary snapshot has no rows of this kind");
  return *rows;
}

bool TDictionarySnapshot::Defined(TSnapshotKind kind) const { return kinds_[static_cast<size_t>(kind)] != nullptr; }

void TDictionarySnapshot::MarkComplete(TSnapshotKind kind) { kinds_[static_cast<size_t>(kind)]->Complete = true; }

void TDictionarySnapshot::Define(TSnapshotKind kind, std::vector<TFieldSpec> columns, bool trimStrings) {
  auto rows = std::make_unique<TKindRows>();
  rows->Specs = std::move(columns);
  rows->TrimStrings = trimStrings;
  const std::string key = SnapshotKeyColumn(kind);
  if (!key.empty()) rows->Key = rows->Column(key);
  kinds_[static_cast<size_t>(kind)] = std::move(rows);
}

uint32_t TDictionarySnapshot::Intern(std::string_view text) {
  auto it = ids_.find(text);
  if (it != ids_.end()) return it->second;
  texts_.emplace_back(text);
  const uint32_t id = static_cast<uint32_t>(texts_.size());
  ids_.emplace(texts_.back(), id);
  return id;
}

void TDictionarySnapshot::Append(TSnapshotKind kind, std::vector<uint32_t> cells) {
  TKindRows& rows = *kinds_[static_cast<size_t>(kind)];
  if (cells.size() != rows.Width()) throw std::logic_error("a snapshot row of the wrong width");
  const uint32_t row = static_cast<uint32_t>(rows.Cells.size() / std::max<size_t>(rows.Width(), 1));
  rows.Cells.insert(rows.Cells.end(), cells.begin(), cells.end());
  rows.Order.push_back(row);
  if (rows.Key >= 0) {
    const uint32_t id = cells[static_cast<size_t>(rows.Key)];
    if (id != kNull) rows.ByKey[texts_[id - 1]].push_back(row);
  }
}

void TDictionarySnapshot::ReplaceObject(TSnapshotKind kind, const std::string& key,
                                        std::vector<std::vector<uint32_t>> replacement) {
  TKindRows& rows = *kinds_[static_cast<size_t>(kind)];
  if (rows.Key < 0) throw std::logic_error("rows without a key cannot be replaced by object");
  std::vector<uint32_t> old;
  if (auto it = rows.ByKey.find(key); it != rows.ByKey.end()) old = std::move(it->second);
  rows.ByKey.erase(key);
  size_t place = rows.Order.size();
  for (size_t i = 0; i < rows.Order.size(); ++i) {
    if (std::find(old.begin(), old.end(), rows.Order[i]) != old.end()) {
      place = std::min(place, i);
    }
  }
  std::vector<uint32_t> order;
  for (uint32_t row : rows.Order)
    if (std::find(old.begin(), old.end(), row) == old.end()) order.push_back(row);
  place = std::min(place, order.size());
  std::vector<uint32_t> added;
  for (auto& cells : replacement) {
    Append(kind, std::move(cells));
    added.push_back(rows.Order.back());
  }
  order.insert(order.begin() + static_cast<std::ptrdiff_t>(place), added.begin(), added.end());
  rows.Order = std::move(order);
}

void TDictionarySnapshot::Insert(TSnapshotKind kind,
                                 const std::vector<std::pair<std::string, std::string>>& values) {
  const char* keyColumn = SnapshotKeyColumn(kind);
  std::string key;
  for (const auto& [name, value] : values)
    if (*keyColumn && SameText(name, keyColumn)) key = value;
  TKindRows& rows = Rows(kind, !*keyColumn, key);
  std::vector<uint32_t> cells(rows.Width(), kNull);
  for (const auto& [name, value] : values) {
    const int column = rows.Column(name);
    if (column >= 0) cells[static_cast<size_t>(column)] = value.empty() ? kNull : Intern(value);
  }
  Append(kind, std::move(cells));
}

void TDictionarySnapshot::Remove(
    TSnapshotKind kind, const std::string& key,
    const std::function<bool(const std::function<std::string(const std::string&)>&)>& match) {
  const std::vector<uint32_t> selected = Select(kind, !*SnapshotKeyColumn(kind), key);
  TKindRows& rows = *kinds_[static_cast<size_t>(kind)];
  std::vector<uint32_t> gone;
  for (uint32_t row : selected) {
    auto value = [&](const std::string& name) {
      const int column = rows.Column(name);
      if (column < 0) return std::string();
      const uint32_t id = rows.Cell(row, static_cast<size_t>(column));
      return id == kNull ? std::string() : texts_[id - 1];
    };
    if (match(value)) gone.push_back(row);
  }
  auto drop = [&](std::vector<uint32_t>& list) {
    list.erase(std::remove_if(list.begin(), list.end(),
                              [&](uint32_t r) { return std::find(gone.begin(), gone.end(), r) != gone.end(); }),
               list.end());
  };
  drop(rows.Order);
  if (auto it = rows.ByKey.find(key); it != rows.ByKey.end()) drop(it->second);
}

void TDictionarySnapshot::Update(
    TSnapshotKind kind, const std::string& key,
    const std::function<bool(const std::function<std::string(const std::string&)>&)>& match,
    const std::vector<std::pair<std::string, std::string>>& values) {
  const std::vector<uint32_t> selected = Select(kind, !*SnapshotKeyColumn(kind), key);
  TKindRows& rows = *kinds_[static_cast<size_t>(kind)];
  for (uint32_t row : selected) {
    auto value = [&](const std::string& name) {
      const int column = rows.Column(name);
      if (column < 0) return std::string();
      const uint32_t id = rows.Cell(row, static_cast<size_t>(column));
      return id == kNull ? std::string() : texts_[id - 1];
    };
    if (!match(value)) continue;
    std::vector<uint32_t> cells(rows.Cells.begin() + static_cast<std::ptrdiff_t>(row * rows.Width()),
                                rows.Cells.begin() + static_cast<std::ptrdiff_t>((row + 1) * rows.Width()));
    for (const auto& [name, text] : values) {
      const int column = rows.Column(name);
      if (column >= 0) cells[static_cast<size_t>(column)] = text.empty() ? kNull : Intern(text);
    }
    const uint32_t copy = static_cast<uint32_t>(rows.Cells.size() / rows.Width());
    rows.Cells.insert(rows.Cells.end(), cells.begin(), cells.end());
    std::replace(rows.Order.begin(), rows.Order.end(), row, copy);
    if (rows.Key >= 0) {
      const uint32_t id = rows.Cell(row, static_cast<size_t>(rows.Key));
      if (auto it = rows.ByKey.find(id == kNull ? std::string() : texts_[id - 1]); it != rows.ByKey.end())
        std::replace(it->second.begin(), it->second.end(), row, copy);
    }
  }
}

size_t TDictionarySnapshot::RowCount(TSnapshotKind kind) const {
  const auto& rows = kinds_[static_cast<size_t>(kind)];
  return rows ? rows->Order.size() : 0;
}

std::vector<uint32_t> TDictionarySnapshot::Select(TSnapshotKind kind, bool whole, const std::string& key) {
  TKindRows& rows = Rows(kind, whole, key);
  if (whole || rows.Key < 0) return rows.Order;
  auto it = rows.ByKey.find(key);
  return it == rows.ByKey.end() ? std::vector<uint32_t>() : it->second;
}

std::unique_ptr<TRowSource> TDictionarySnapshot::Query(TDictionaryRead read, const std::string& name) {
  const TSnapshotKind kind = SnapshotKindOf(read);
  std::vector<uint32_t> selected = Select(kind, ReadsWhole(read), name);
  return std::make_unique<TSnapshotQueryRows>(
      TSnapshotCursor(*kinds_[static_cast<size_t>(kind)], texts_, std::move(selected)));
}

std::unique_ptr<TRowSet> TDictionarySnapshot::Open(TDictionaryRead read, const std::string& name) {
  const TSnapshotKind kind = SnapshotKindOf(read);
  std::vector<uint32_t> selected = Select(kind, ReadsWhole(read), name);
  return std::make_unique<TSnapshotRowSet>(
      TSnapshotCursor(*kinds_[static_cast<size_t>(kind)], texts_, std::move(selected)), "snapshot");
}

size_t TDictionarySnapshot::MemoryUsed() const {
  size_t bytes = 0;
  for (const std::string& text : texts_) bytes += sizeof(std::string) + (text.size() > 15 ? text.capacity() + 1 : 0);
  bytes += ids_.size() * (sizeof(std::string_view) + sizeof(uint32_t) + 2 * sizeof(void*)) +
           ids_.bucket_count() * sizeof(void*);
  for (const auto& rows : kinds_) {
    if (!rows) continue;
    bytes += rows->Cells.capacity() * sizeof(uint32_t) + rows->Order.capacity() * sizeof(uint32_t);
    for (const auto& [key, list] : rows->ByKey)
      bytes += sizeof(std::string) + key.capacity() + sizeof(list) + list.capacity() * sizeof(uint32_t) +
               2 * sizeof(void*);
  }
  return bytes;
}

}  // namespace skelvane
