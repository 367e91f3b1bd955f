#include "sdb/entry.h"

#include "sdb/sdb_error.h"

namespace skelvane {

std::string GetEntryValue(const TTreeResult& list, std::string_view name) {
  const int index = list.IndexOfName(name);
  if (index < 0) return {};
  return list.Strings(index).substr(name.size() + 1);
}

bool SelectInEntry(const TTreeResult& list, std::string_view name, int index,
                   const TSdbPath& path, TTreeResult& result) {
  const int entry = list.IndexOfName(name);
  if (entry < 0) {
    // Name the node by its own "name" entry when it has one, so that a hand-edited
    // document can be mended.
    const std::string owner = GetEntryValue(list, "name");
    throw ESdbEntryNotFound("Schema document: no entry \"" + std::string(name) + "\"" +
                            (owner.empty() ? std::string() : " in the node named " + owner));
  }
  const TSDB_Parser* sub = list.Objects(entry);
  if (sub == nullptr) return false;
  return sub->Select(index, path, result);
}

}  // namespace skelvane
