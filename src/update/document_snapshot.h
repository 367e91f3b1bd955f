// A dictionary snapshot built from a schema document, as if the document
// were the database: the offline diff compares another document with it.
#ifndef SKELVANE_UPDATE_DOCUMENT_SNAPSHOT_H
#define SKELVANE_UPDATE_DOCUMENT_SNAPSHOT_H

#include <memory>
#include <string>

#include "dictionary/dictionary_snapshot.h"
#include "dictionary/dictionary_source.h"

namespace skelvane {

struct TDocumentSnapshot {
  bool Readable = false;
  std::string Owner;  // the document's schema name
  std::unique_ptr<TDictionarySnapshot> Snapshot;
};

// Every kind holds the columns the compare reads, filled from the document;
// what a document does not keep (column ids, sequence state, link
// passwords the server hides) is left empty or NULL.
TDocumentSnapshot SnapshotOfDocument(const std::string& fileName);

// The dictionary's type columns for a column type as the export renders it:
// data_type, data_precision, data_scale, data_length, char_length, char_used.
struct TTypeColumns {
  std::string DataType, Precision, Scale, Length, CharLength, CharUsed;
};
TTypeColumns TypeColumnsOf(const std::string& typeText);

}  // namespace skelvane

#endif
