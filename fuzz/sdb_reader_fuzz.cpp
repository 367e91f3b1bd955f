// Reads arbitrary bytes as a schema document and checks the tree and every
// query against the literal reference reading. Any difference aborts.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "common/text.h"
#include "reference_reader.h"
#include "sdb/entry.h"
#include "sdb/sdb_error.h"
#include "sdb/sdb_parser.h"

namespace {

using skelvane::TNodeList;
using skelvane::TSDB_Parser;
using skelvane::TTreeElem;
using skelvane::TTreeResult;
using skelvane::fuzz::RefEntry;
using skelvane::fuzz::RefNode;

volatile std::size_t g_sink;

[[noreturn]] void Mismatch(const char* what) {
  std::fprintf(stderr, "reader differs from the reference: %s\n", what);
  std::abort();
}

void CompareTrees(TNodeList nodes, const std::vector<std::unique_ptr<RefNode>>& expected) {
  std::size_t i = 0;
  for (const TTreeElem& node : nodes) {
    if (i >= expected.size()) Mismatch("extra node");
    const RefNode& ref = *expected[i++];
    if (node.Name() != ref.name) Mismatch("name");
    if (node.Value() != ref.value) Mismatch("value");
    g_sink = g_sink + node.Name().size() + node.Value().size();
    CompareTrees(node.Children(), ref.children);
  }
  if (i != expected.size()) Mismatch("missing node");
}

void CompareResult(const TTreeResult& result, const std::vector<RefEntry>& expected) {
  if (result.Count() != static_cast<int>(expected.size())) Mismatch("entry count");
  for (int i = 0; i < result.Count(); ++i) {
    if (result.Strings(i) != expected[static_cast<std::size_t>(i)].text) Mismatch("entry text");
    if ((result.Objects(i) != nullptr) != (expected[static_cast<std::size_t>(i)].node != nullptr)) {
      Mismatch("sub-document");
    }
  }
}

// Paths made of names that occur in the tree, one and two levels deep.
std::vector<std::vector<std::string>> PathsOf(const std::vector<std::unique_ptr<RefNode>>& roots) {
  std::vector<std::vector<std::string>> paths;
  for (const auto& root : roots) {
    if (paths.size() >= 6) break;
    paths.push_back({root->name});
    for (const auto& child : root->children) {
      if (paths.size() >= 6) break;
      paths.push_back({root->name, child->name});
    }
  }
  return paths;
}

void CompareQueries(const TSDB_Parser& doc, const std::vector<std::unique_ptr<RefNode>>& roots,
                    const uint8_t* data, std::size_t size) {
  TTreeResult result;
  TTreeResult inner;
  std::vector<RefEntry> expected;
  std::vector<RefEntry> expectedInner;
  for (const auto& path : PathsOf(roots)) {
    // Increasing indexes resume from the last position; a few input bytes add jumps.
    std::vector<int> indexes = {0, 1, 2, 3};
    for (std::size_t k = 0; k < size && k < 3; ++k) indexes.push_back(data[k] % 5 - 1);
    for (int index : indexes) {
      const bool found = doc.Select(index, path, result);
      if (found != skelvane::fuzz::RefSelect(roots, index, path, expected)) Mismatch("Select outcome");
      CompareResult(result, expected);
      for (std::size_t e = 0; e < expected.size() && e < 4; ++e) {
        const std::string& text = expected[e].text;
        const std::string name = text.substr(0, text.find('='));
        // The first entry of that name, ignoring ASCII case, is the one used.
        std::size_t first = 0;
        while (!skelvane::SameText(expected[first].text.substr(0, expected[first].text.find('=')), name)) ++first;
        if (skelvane::GetEntryValue(result, name) != expected[first].text.substr(name.size() + 1)) {
          Mismatch("GetEntryValue");
        }
        const RefNode* sub = expected[first].node;
        const std::vector<std::string> subPath = {sub ? sub->children.front()->name : std::string("f")};
        const bool ok = skelvane::SelectInEntry(result, name, 0, subPath, inner);
        const bool refOk = sub != nullptr && skelvane::fuzz::RefSelect(sub->children, 0, subPath, expectedInner);
        if (ok != refOk) Mismatch("SelectInEntry outcome");
        if (ok) CompareResult(inner, expectedInner);
      }
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  const skelvane::fuzz::RefDocument ref = skelvane::fuzz::RefRead(bytes);

  TSDB_Parser doc;
  bool unmatched = false;
  try {
    doc.ParseText(bytes);
  } catch (const skelvane::ESdbSyntaxError& error) {
    unmatched = true;
    if (error.Line() != ref.errorLine) Mismatch("error line");
  }
  if (unmatched != ref.unmatchedClose) Mismatch("unmatched \"}\"");
  CompareTrees(doc.RootNodes(), ref.roots);
  CompareQueries(doc, ref.roots, data, size);
  return 0;
}
