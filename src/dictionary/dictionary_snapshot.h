// An in-memory copy of the dictionary rows the export and the compare read,
// whole rows of every read, indexed by object name. Texts are held once;
// a row's cells are codes, per column, into the texts that column holds, so
// that the usual column of a handful of values costs one byte a row. It answers the same
// reads as the per-object source, with the same values. Rows are loaded the
// first time a read needs them, by the loader the snapshot was made with: a
// whole kind at once (bulk), or one object at a time (per object); a
// snapshot built by hand has none. Rows can be edited afterwards, so that a
// plan sees what it "executed".
#ifndef SKELVANE_DICTIONARY_DICTIONARY_SNAPSHOT_H
#define SKELVANE_DICTIONARY_DICTIONARY_SNAPSHOT_H

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <utility>
#include <vector>

#include "dictionary/dictionary_source.h"
#include "oracle/dataset_field.h"

namespace skelvane {

// The row sets a snapshot keeps: one per data-module statement, the reads
// of one object sharing the rows of the read of all.
enum class TSnapshotKind {
  Tables, Columns, Indexes, Constraints, Sequences, Triggers, Functions, Procedures,
  Views, Synonyms, AllSynonyms, Privileges, DbLinks, IdentityColumns, VirtualColumns,
};
constexpr size_t kSnapshotKinds = 15;

// The column that names a kind's object (empty: the kind is read whole only).
const char* SnapshotKeyColumn(TSnapshotKind kind);

// The kind that answers a read.
TSnapshotKind SnapshotKindOf(TDictionaryRead read);

class TDictionarySnapshot : public TDictionarySource {
 public:
  // Loads `key`'s rows of a kind, or every row when `key` is null; it
  // defines the kind first when it is not, and calls MarkComplete when it
  // has loaded every row.
  using TLoader = std::function<void(TDictionarySnapshot&, TSnapshotKind, const std::string* key)>;
  static constexpr uint32_t kNull = 0;  // the cell of a NULL value

  explicit TDictionarySnapshot(TLoader loader = {});
  ~TDictionarySnapshot() override;

  std::unique_ptr<TRowSource> Query(TDictionaryRead read, const std::string& name = {}) override;
  std::unique_ptr<TRowSet> Open(TDictionaryRead read, const std::string& name = {}) override;

  // Building. Define starts a kind empty with its columns as the access
  // layer describes them; `trimStrings` is the session's TrimStringFields.
  void Define(TSnapshotKind kind, std::vector<oracle::TFieldSpec> columns, bool trimStrings);
  bool Defined(TSnapshotKind kind) const;
  void MarkComplete(TSnapshotKind kind);
  uint32_t Intern(std::string_view text);
  // A row of cells (Intern ids or kNull), one per column; it goes last.
  // Returns the row's number, for SetCell.
  uint32_t Append(TSnapshotKind kind, std::vector<uint32_t> cells);
  // Sets one cell of a row in place, as a loader completes the rows it
  // appended; readers already open see the change.
  void SetCell(TSnapshotKind kind, uint32_t row, size_t column, uint32_t id);
  // The rows of one object replaced by `rows`, in the place of the first old
  // one (or last).
  void ReplaceObject(TSnapshotKind kind, const std::string& key, std::vector<std::vector<uint32_t>> rows);

  // Editing by column name; names the kind lacks are ignored, columns not
  // named are NULL.
  void Insert(TSnapshotKind kind, const std::vector<std::pair<std::string, std::string>>& values);
  // Removes the rows of `key` (every row when the kind has no key) for
  // which `match` holds; `match` reads a row's values by column name.
  void Remove(TSnapshotKind kind, const std::string& key,
              const std::function<bool(const std::function<std::string(const std::string&)>&)>& match);
  // Sets columns of the rows `match` selects, as Remove selects them. The
  // rows are replaced by edited copies: a reader opened before keeps the
  // values it was opened with, as a data set would.
  void Update(TSnapshotKind kind, const std::string& key,
              const std::function<bool(const std::function<std::string(const std::string&)>&)>& match,
              const std::vector<std::pair<std::string, std::string>>& values);
  // Live rows of a kind.
  size_t RowCount(TSnapshotKind kind) const;

  // Bytes held: cells, texts and indexes, with the allocator's overhead of
  // each node (an estimate of the heap used).
  size_t MemoryUsed() const;

  // The text of an Intern id (not kNull).
  std::string_view Text(uint32_t id) const;

  struct TKindRows;

 private:
  // The kind's rows with every row (whole) or `key`'s rows loaded.
  TKindRows& Rows(TSnapshotKind kind, bool whole, const std::string& key);
  std::vector<uint32_t> Select(TSnapshotKind kind, bool whole, const std::string& key);
  // The id of a text held, or kNull.
  uint32_t Find(std::string_view text) const;
  void Rehash(size_t slots);

  TLoader loader_;
  std::array<std::unique_ptr<TKindRows>, kSnapshotKinds> kinds_;
  // Every text end to end; text `id` ends at textEnds_[id - 1].
  std::string textBytes_;
  std::vector<uint32_t> textEnds_;
  // Open addressing over the texts: ids, kNull where free.
  std::vector<uint32_t> slots_;
};

}  // namespace skelvane

#endif
