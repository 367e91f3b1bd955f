// Where the export and the compare get their database rows: per object from
// the data module's queries and data sets, or from a dictionary snapshot.
// Callers name what they read; they never know which source answers.
#ifndef SKELVANE_DICTIONARY_DICTIONARY_SOURCE_H
#define SKELVANE_DICTIONARY_DICTIONARY_SOURCE_H

#include <memory>
#include <string>

#include "dictionary/row_source.h"
#include "oracle/variant.h"

namespace skelvane {

// The dictionary reads, each the rows of one data-module statement. "One..."
// reads and the per-table reads take a name, as the statement's bind variable.
enum class TDictionaryRead {
  Tables,            // every table with its comment
  OneTable,          // one table with its comment
  TableColumns,      // one table's or view's columns with their comments
  TableIndexes,      // one row per indexed column of one table
  TableConstraints,  // one row per constrained column of one table
  Sequences,
  Triggers,
  OneTrigger,
  Functions,  // source lines
  OneFunction,
  Procedures,
  OneProcedure,
  Views,
  OneView,
  Synonyms,     // the owner's synonyms, as the export lists them
  AllSynonyms,  // every synonym the compare looks for
  Privileges,
  DbLinks,
  // Identity columns (12c and later) and virtual columns (11g and later) of
  // every table; an older server refuses these with ORA-00942 or ORA-00904.
  IdentityColumns,
  VirtualColumns,
};

// The rows of one read held in memory, as a data set holds them: Value gives
// a field's text untrimmed as the data set gives it (strings right-trimmed,
// NULL as ""), and Locate searches from the first row like LocateRecord.
class TRowSet : public TRowSource {
 public:
  virtual int RecordCount() const = 0;
  virtual void First() = 0;
  // Moves to the first row whose ";"-separated key columns hold `values`.
  virtual bool Locate(const std::string& keyColumns, const oracle::TVariant& values) = 0;
};

class TDictionarySource {
 public:
  virtual ~TDictionarySource() = default;
  // The rows as a query delivers them, positioned on the first one. Values
  // as the query's FieldText gives them. Only one reader of a read at a time.
  virtual std::unique_ptr<TRowSource> Query(TDictionaryRead read, const std::string& name = {}) = 0;
  // The rows as a data set holds them, on the first one.
  virtual std::unique_ptr<TRowSet> Open(TDictionaryRead read, const std::string& name = {}) = 0;
};

}  // namespace skelvane

#endif
