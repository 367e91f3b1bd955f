// Reading the entries of a result list the way the compare does.
#ifndef SKELVANE_SDB_ENTRY_H
#define SKELVANE_SDB_ENTRY_H

#include <string>
#include <string_view>

#include "sdb/sdb_parser.h"
#include "sdb/tree_result.h"

namespace skelvane {

// The text after "name=" of the first entry with that name (case of ASCII letters
// ignored), unchanged; the empty text when no entry has the name.
std::string GetEntryValue(const TTreeResult& list, std::string_view name);

// Runs Select on the sub-document of the first entry with that name. False, with
// result untouched, when that entry has no sub-document. Throws ESdbEntryNotFound
// when no entry has the name. list and result may be the same object.
bool SelectInEntry(const TTreeResult& list, std::string_view name, int index,
                   const TSdbPath& path, TTreeResult& result);

}  // namespace skelvane

#endif
