#include "dictionary/dictionary_snapshot.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <stdexcept>

#include "common/text.h"
#include "oracle/dataset_search.h"

namespace skelvane {

using oracle::TFieldKind;
using oracle::TFieldSpec;
using oracle::TFieldValue;

namespace {

constexpr uint32_t kNoRow = UINT32_MAX;

// One column's cells: codes into the column's own list of Intern ids, one,
// two or four bytes wide as that list grows; at four bytes the code is the
// id itself. The map back from ids to codes is only needed while rows are
// added, so Compact drops it and the next Push makes it again.
class TColumnCells {
 public:
  uint32_t Get(size_t row) const {
    switch (width_) {
      case 1: return ids_[bytes_[row]];
      case 2: {
        uint16_t code;
        std::memcpy(&code, &bytes_[row * 2], sizeof code);
        return ids_[code];
      }
      default: {
        uint32_t id;
        std::memcpy(&id, &bytes_[row * 4], sizeof id);
        return id;
      }
    }
  }

  void Push(uint32_t id) {
    bytes_.resize(bytes_.size() + width_);
    Set(bytes_.size() / width_ - 1, id);
  }

  void Set(size_t row, uint32_t id) {
    const uint32_t code = Code(id);
    if (width_ == 1 && code > UINT8_MAX) Widen(2);
    if (width_ == 2 && code > UINT16_MAX) Widen(4);
    const uint32_t stored = width_ == 4 ? id : code;
    if (width_ == 1) {
      bytes_[row] = static_cast<unsigned char>(stored);
    } else if (width_ == 2) {
      const uint16_t narrow = static_cast<uint16_t>(stored);
      std::memcpy(&bytes_[row * 2], &narrow, sizeof narrow);
    } else {
      std::memcpy(&bytes_[row * 4], &stored, sizeof stored);
    }
  }

  void Compact() {
    bytes_.shrink_to_fit();
    ids_.shrink_to_fit();
    std::unordered_map<uint32_t, uint32_t>().swap(codes_);
  }

  size_t Bytes() const {
    return bytes_.capacity() + ids_.capacity() * sizeof(uint32_t) + codes_.bucket_count() * sizeof(void*) +
           codes_.size() * 32;  // a node of two ids and a link, as malloc rounds it
  }

  unsigned Width() const { return width_; }

 private:
  uint32_t Code(uint32_t id) {
    if (width_ == 4 || id == TDictionarySnapshot::kNull) return id;
    if (id == lastId_) return lastCode_;
    if (codes_.empty()) {
      for (uint32_t code = 1; code < ids_.size(); ++code) codes_.emplace(ids_[code], code);
    }
    const auto [it, added] = codes_.try_emplace(id, static_cast<uint32_t>(ids_.size()));
    if (added) ids_.push_back(id);
    lastId_ = id;
    lastCode_ = it->second;
    return lastCode_;
  }

  void Widen(unsigned width) {
    const size_t rows = bytes_.size() / width_;
    std::vector<unsigned char> wider(rows * width);
    for (size_t row = 0; row < rows; ++row) {
      uint32_t value = width_ == 1 ? bytes_[row] : 0;
      if (width_ == 2) {
        uint16_t code;
        std::memcpy(&code, &bytes_[row * 2], sizeof code);
        value = code;
      }
      if (width == 4) {
        value = ids_[value];
        std::memcpy(&wider[row * 4], &value, sizeof value);
      } else {
        const uint16_t code = static_cast<uint16_t>(value);
        std::memcpy(&wider[row * 2], &code, sizeof code);
      }
    }
    bytes_ = std::move(wider);
    width_ = width;
    if (width == 4) {
      std::vector<uint32_t>().swap(ids_);
      std::unordered_map<uint32_t, uint32_t>().swap(codes_);
    }
  }

  std::vector<unsigned char> bytes_;
  unsigned width_ = 1;
  std::vector<uint32_t> ids_{TDictionarySnapshot::kNull};  // by code; code 0 is NULL
  std::unordered_map<uint32_t, uint32_t> codes_;
  uint32_t lastId_ = TDictionarySnapshot::kNull;
  uint32_t lastCode_ = 0;
};

}  // namespace

struct TDictionarySnapshot::TKindRows {
  // A key's rows, in the order they were added, linked through Next.
  struct TChain {
    uint32_t First;
    uint32_t Last;
  };

  std::vector<TFieldSpec> Specs;
  bool TrimStrings = true;
  int Key = -1;
  bool Complete = false;
  std::unordered_set<std::string> LoadedKeys;
  std::vector<TColumnCells> Columns;
  uint32_t Held = 0;            // rows stored, live or not
  std::vector<uint32_t> Order;  // the live rows as the read of all lists them
  std::unordered_map<uint32_t, TChain> ByKey;  // by the key's Intern id
  std::vector<uint32_t> Next;                  // of each row, when the kind has a key
  // Column names as readers spell them.
  mutable std::unordered_map<std::string, int> Named;

  size_t Width() const { return Specs.size(); }
  uint32_t Cell(uint32_t row, size_t column) const { return Columns[column].Get(row); }
  int Column(const std::string& name) const {
    if (auto it = Named.find(name); it != Named.end()) return it->second;
    int index = -1;
    for (size_t i = 0; i < Specs.size() && index < 0; ++i)
      if (SameText(Specs[i].Name, name)) index = static_cast<int>(i);
    Named.emplace(name, index);
    return index;
  }
  std::vector<uint32_t> KeyRows(uint32_t keyId) const {
    std::vector<uint32_t> list;
    auto it = ByKey.find(keyId);
    if (it == ByKey.end()) return list;
    for (uint32_t row = it->second.First; row != kNoRow; row = Next[row]) list.push_back(row);
    return list;
  }
  // Makes `list` the rows of the key, none: the key is gone.
  void Relink(uint32_t keyId, const std::vector<uint32_t>& list) {
    if (list.empty()) {
      ByKey.erase(keyId);
      return;
    }
    for (size_t i = 0; i < list.size(); ++i) Next[list[i]] = i + 1 < list.size() ? list[i + 1] : kNoRow;
    ByKey[keyId] = TChain{list.front(), list.back()};
  }
  void Compact() {
    for (TColumnCells& column : Columns) column.Compact();
    Order.shrink_to_fit();
    Next.shrink_to_fit();
  }
};

namespace {

using TKindRows = TDictionarySnapshot::TKindRows;

// Shared by both readers: the snapshot's texts of chosen rows.
class TSnapshotCursor {
 public:
  TSnapshotCursor(const TKindRows& rows, const TDictionarySnapshot& texts, std::vector<uint32_t> selected)
      : rows_(rows), texts_(texts), selected_(std::move(selected)) {}

  bool AtEnd() const { return position_ >= selected_.size(); }
  std::string_view Text(int column) const {
    const uint32_t id = rows_.Cell(selected_[position_], static_cast<size_t>(column));
    return id == TDictionarySnapshot::kNull ? std::string_view() : texts_.Text(id);
  }
  bool Null(int column) const {
    return rows_.Cell(selected_[position_], static_cast<size_t>(column)) == TDictionarySnapshot::kNull;
  }

  const TKindRows& rows_;
  const TDictionarySnapshot& texts_;
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
    return std::string(c_.Text(index));
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
    std::string text(c_.Text(index));
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
        const TFieldValue value = KeptValue(spec, trim, c_.Null(keys[k]), std::string(c_.Text(keys[k])));
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

void TDictionarySnapshot::MarkComplete(TSnapshotKind kind) {
  TKindRows& rows = *kinds_[static_cast<size_t>(kind)];
  rows.Complete = true;
  rows.Compact();
  textBytes_.shrink_to_fit();
  textEnds_.shrink_to_fit();
}

void TDictionarySnapshot::Define(TSnapshotKind kind, std::vector<TFieldSpec> columns, bool trimStrings) {
  auto rows = std::make_unique<TKindRows>();
  rows->Specs = std::move(columns);
  rows->TrimStrings = trimStrings;
  rows->Columns.resize(rows->Specs.size());
  const std::string key = SnapshotKeyColumn(kind);
  if (!key.empty()) rows->Key = rows->Column(key);
  kinds_[static_cast<size_t>(kind)] = std::move(rows);
}

std::string_view TDictionarySnapshot::Text(uint32_t id) const {
  const size_t begin = id > 1 ? textEnds_[id - 2] : 0;
  return std::string_view(textBytes_).substr(begin, textEnds_[id - 1] - begin);
}

uint32_t TDictionarySnapshot::Find(std::string_view text) const {
  if (slots_.empty()) return kNull;
  const size_t mask = slots_.size() - 1;
  for (size_t i = std::hash<std::string_view>{}(text) & mask;; i = (i + 1) & mask) {
    const uint32_t id = slots_[i];
    if (id == kNull || Text(id) == text) return id;
  }
}

void TDictionarySnapshot::Rehash(size_t size) {
  slots_.assign(size, kNull);
  const size_t mask = size - 1;
  for (uint32_t id = 1; id <= textEnds_.size(); ++id) {
    size_t i = std::hash<std::string_view>{}(Text(id)) & mask;
    while (slots_[i] != kNull) i = (i + 1) & mask;
    slots_[i] = id;
  }
}

uint32_t TDictionarySnapshot::Intern(std::string_view text) {
  // At most half full, so that a probe ends soon.
  if (2 * (textEnds_.size() + 1) > slots_.size()) Rehash(std::max<size_t>(1024, 2 * slots_.size()));
  const size_t mask = slots_.size() - 1;
  size_t i = std::hash<std::string_view>{}(text) & mask;
  for (; slots_[i] != kNull; i = (i + 1) & mask)
    if (Text(slots_[i]) == text) return slots_[i];
  if (textBytes_.size() + text.size() > UINT32_MAX || textEnds_.size() >= UINT32_MAX - 1)
    throw std::length_error("the dictionary snapshot cannot hold more text");
  textBytes_.append(text);
  textEnds_.push_back(static_cast<uint32_t>(textBytes_.size()));
  slots_[i] = static_cast<uint32_t>(textEnds_.size());
  return slots_[i];
}

uint32_t TDictionarySnapshot::Append(TSnapshotKind kind, std::vector<uint32_t> cells) {
  TKindRows& rows = *kinds_[static_cast<size_t>(kind)];
  if (cells.size() != rows.Width()) throw std::logic_error("a snapshot row of the wrong width");
  if (rows.Held == kNoRow) throw std::length_error("the dictionary snapshot cannot hold more rows");
  const uint32_t row = rows.Held++;
  for (size_t i = 0; i < cells.size(); ++i) rows.Columns[i].Push(cells[i]);
  rows.Order.push_back(row);
  if (rows.Key < 0) return row;
  rows.Next.push_back(kNoRow);
  const uint32_t id = cells[static_cast<size_t>(rows.Key)];
  if (id == kNull) return row;
  const auto [it, added] = rows.ByKey.try_emplace(id, TKindRows::TChain{row, row});
  if (!added) {
    rows.Next[it->second.Last] = row;
    it->second.Last = row;
  }
  return row;
}

void TDictionarySnapshot::SetCell(TSnapshotKind kind, uint32_t row, size_t column, uint32_t id) {
  TKindRows& rows = *kinds_[static_cast<size_t>(kind)];
  if (row >= rows.Held || column >= rows.Width()) throw std::logic_error("no such snapshot cell");
  if (static_cast<int>(column) == rows.Key) throw std::logic_error("a snapshot row's key cannot be set");
  rows.Columns[column].Set(row, id);
}

void TDictionarySnapshot::ReplaceObject(TSnapshotKind kind, const std::string& key,
                                        std::vector<std::vector<uint32_t>> replacement) {
  TKindRows& rows = *kinds_[static_cast<size_t>(kind)];
  if (rows.Key < 0) throw std::logic_error("rows without a key cannot be replaced by object");
  const uint32_t keyId = Find(key);
  std::vector<uint32_t> old = rows.KeyRows(keyId);
  std::sort(old.begin(), old.end());
  rows.ByKey.erase(keyId);
  auto isOld = [&](uint32_t row) { return std::binary_search(old.begin(), old.end(), row); };
  size_t place = rows.Order.size();
  for (size_t i = 0; i < rows.Order.size() && place == rows.Order.size(); ++i)
    if (isOld(rows.Order[i])) place = i;
  std::vector<uint32_t> order;
  order.reserve(rows.Order.size());
  for (uint32_t row : rows.Order)
    if (!isOld(row)) order.push_back(row);
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
      return id == kNull ? std::string() : std::string(Text(id));
    };
    if (match(value)) gone.push_back(row);
  }
  if (gone.empty()) return;
  std::sort(gone.begin(), gone.end());
  auto drop = [&](std::vector<uint32_t>& list) {
    list.erase(std::remove_if(list.begin(), list.end(),
                              [&](uint32_t r) { return std::binary_search(gone.begin(), gone.end(), r); }),
               list.end());
  };
  drop(rows.Order);
  if (rows.Key < 0) return;
  const uint32_t keyId = Find(key);
  std::vector<uint32_t> kept = rows.KeyRows(keyId);
  drop(kept);
  rows.Relink(keyId, kept);
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
      return id == kNull ? std::string() : std::string(Text(id));
    };
    if (!match(value)) continue;
    std::vector<uint32_t> cells(rows.Width());
    for (size_t i = 0; i < cells.size(); ++i) cells[i] = rows.Cell(row, i);
    for (const auto& [name, text] : values) {
      const int column = rows.Column(name);
      if (column >= 0) cells[static_cast<size_t>(column)] = text.empty() ? kNull : Intern(text);
    }
    // The copy takes the row's place in the lists, under the row's own key.
    const uint32_t keyId = rows.Key >= 0 ? rows.Cell(row, static_cast<size_t>(rows.Key)) : kNull;
    std::vector<uint32_t> keyRows = rows.KeyRows(keyId);
    const uint32_t copy = rows.Held++;
    for (size_t i = 0; i < cells.size(); ++i) rows.Columns[i].Push(cells[i]);
    std::replace(rows.Order.begin(), rows.Order.end(), row, copy);
    if (rows.Key >= 0) {
      rows.Next.push_back(kNoRow);
      std::replace(keyRows.begin(), keyRows.end(), row, copy);
      if (keyId != kNull) rows.Relink(keyId, keyRows);
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
  return rows.KeyRows(Find(key));
}

std::unique_ptr<TRowSource> TDictionarySnapshot::Query(TDictionaryRead read, const std::string& name) {
  const TSnapshotKind kind = SnapshotKindOf(read);
  std::vector<uint32_t> selected = Select(kind, ReadsWhole(read), name);
  return std::make_unique<TSnapshotQueryRows>(
      TSnapshotCursor(*kinds_[static_cast<size_t>(kind)], *this, std::move(selected)));
}

std::unique_ptr<TRowSet> TDictionarySnapshot::Open(TDictionaryRead read, const std::string& name) {
  const TSnapshotKind kind = SnapshotKindOf(read);
  std::vector<uint32_t> selected = Select(kind, ReadsWhole(read), name);
  return std::make_unique<TSnapshotRowSet>(
      TSnapshotCursor(*kinds_[static_cast<size_t>(kind)], *this, std::move(selected)), "snapshot");
}

size_t TDictionarySnapshot::MemoryUsed() const {
  // A heap block costs its size rounded up to 16 bytes, and 8 more.
  auto block = [](size_t bytes) { return bytes == 0 ? 0 : (bytes + 8 + 15) / 16 * 16; };
  size_t bytes = block(textBytes_.capacity() + 1) + block(textEnds_.capacity() * sizeof(uint32_t)) +
                 block(slots_.capacity() * sizeof(uint32_t));
  for (const auto& rows : kinds_) {
    if (!rows) continue;
    bytes += block(sizeof(TKindRows)) + block(rows->Specs.capacity() * sizeof(TFieldSpec)) +
             block(rows->Columns.capacity() * sizeof(TColumnCells)) +
             block(rows->Order.capacity() * sizeof(uint32_t)) + block(rows->Next.capacity() * sizeof(uint32_t));
    for (const TColumnCells& column : rows->Columns) bytes += column.Bytes();
    bytes += rows->ByKey.bucket_count() * sizeof(void*) +
             rows->ByKey.size() * block(sizeof(void*) + sizeof(uint32_t) + sizeof(TKindRows::TChain));
    for (const std::string& key : rows->LoadedKeys)
      bytes += block(sizeof(void*) + sizeof(std::string) + sizeof(size_t)) + (key.size() > 15 ? block(key.size() + 1) : 0);
    bytes += rows->LoadedKeys.bucket_count() * sizeof(void*);
  }
  return bytes;
}

}  // namespace skelvane
