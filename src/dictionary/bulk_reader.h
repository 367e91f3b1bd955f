// The bulk path to the dictionary: a snapshot whose every kind is read with
// one query over the whole schema, in large fetch arrays, the first time a
// read needs it.
#ifndef SKELVANE_DICTIONARY_BULK_READER_H
#define SKELVANE_DICTIONARY_BULK_READER_H

#include <memory>

#include "dictionary/dictionary_snapshot.h"
#include "oracle/session.h"

namespace skelvane {

// Rows per fetch of a kind's bulk query. Each round trip costs a server's
// latency, so the arrays are as large as memory allows: about 32 MB each at
// the row widths the dictionary views describe (some 14 KB a row for
// columns, 18 KB for constraints with their LONG, 4 KB for index columns and
// the long defaults, 6.5 KB for tables); 1,000 rows for kinds that are
// seldom long.
int BulkFetchRows(TSnapshotKind kind);
// LONG values (defaults, check conditions, trigger bodies, view texts) come
// in the same arrays, cut at this many bytes; the few longer ones are read
// again, whole, with the per-object statement of their object.
constexpr int kBulkLongBytes = 4001;
// Column defaults are the exception: every column row would keep room for
// one, and most columns have none or a short one. They come in the column
// arrays up to this many bytes; the longer ones are read by a second query
// of only the columns whose default is that long (bulk_sql::kLongDefaults).
constexpr int kBulkDefaultBytes = 128;

// `session` must stay logged on while the snapshot is used.
std::unique_ptr<TDictionarySnapshot> MakeBulkSnapshot(oracle::TOracleSession& session);

// A snapshot that reads each object the first time it is asked for, with
// the data module's per-object statement, and each list that has no object
// (sequences, privileges, synonyms, links) whole, as the per-object mode
// does: the plan's view of the database when it is not read in bulk.
std::unique_ptr<TDictionarySnapshot> MakePerObjectSnapshot(oracle::TOracleSession& session);

// Loads one kind now (MakeBulkSnapshot's loader).
void LoadInBulk(TDictionarySnapshot& snapshot, TSnapshotKind kind, oracle::TOracleSession& session);

}  // namespace skelvane

#endif
