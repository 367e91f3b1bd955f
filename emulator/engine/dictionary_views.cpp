#include "engine/dictionary_views.h"

#include <map>
#include <utility>

#include "engine/dictionary_builder.h"

namespace oraemu::dict {

namespace {

// Built once; the definitions never change while the process runs.
const std::map<std::string, View>& Views() {
  static const std::map<std::string, View> views = [] {
    std::vector<View> list;
    AddTableViews(list);
    AddKeyViews(list);
    AddCodeViews(list);
    AddAccessViews(list);
    AddSysTables(list);
    std::map<std::string, View> byName;
    for (View& v : list) {
      std::string key = v.name;
      byName.emplace(std::move(key), std::move(v));
    }
    return byName;
  }();
  return views;
}

}  // namespace

const View* FindView(const std::string& owner, const std::string& name) {
  auto it = Views().find(name);
  if (it == Views().end()) return nullptr;
  const View& v = it->second;
  if (owner.empty()) return v.publicSynonym ? &v : nullptr;
  return owner == v.owner ? &v : nullptr;
}

}  // namespace oraemu::dict
