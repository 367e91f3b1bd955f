#include "update/compare_and_update.h"

#include <cctype>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "common/text.h"
#include "dictionary/per_object_source.h"
#include "sdb/document_vocabulary.h"
#include "sdb/entry.h"
#include "sdb/sdb_parser.h"
#include "sdb/tree_result.h"
#include "update/code_steps.h"
#include "update/compare_context.h"
#include "update/grant_steps.h"
#include "update/key_steps.h"
#include "update/sequence_step.h"
#include "update/table_steps.h"

namespace skelvane {
namespace {

using oracle::TVariant;
using R = TDictionaryRead;

// One section of the document walked from its first object; `visit` gets the
// object's entries and its position in the section.
template <class TVisit>
void WalkSection(const TSDB_Parser& document, const char* section, char node,
                 TTreeResult& result, TVisit visit) {
  const TSdbPath path{section, std::string(1, node)};
  for (int index = 0; document.Select(index, path, result); ++index) visit(result);
}

// A private and a public synonym may share a name and object: each is
// looked for with its grantee, or the second would never be created.
bool HasSynonym(TRowSet& rows, const std::string& object, const std::string& synonym,
                const std::string& grantee) {
  for (rows.First(); !rows.Eof(); rows.Next()) {
    if (rows.Value("o_name") == object && rows.Value("s_name") == synonym &&
        SameText(rows.Value("grantee"), grantee))
      return true;
  }
  return false;
}

// Untrimmed: the table comment is compared as the dictionary holds it.
std::string FirstRowComment(TRowSet& rows) {
  if (rows.RecordCount() == 0) return {};
  rows.First();
  return rows.Value("comments");
}

bool IsNameByte(unsigned char c) { return std::isalnum(c) || c == '_' || c == '$' || c == '#'; }

// The words of a query text, upper-cased: the names it may refer to.
std::vector<std::string> Words(const std::string& text) {
  std::vector<std::string> words;
  const std::string upper = AnsiUpperCase(text);
  for (size_t i = 0; i < upper.size();) {
    if (!IsNameByte(static_cast<unsigned char>(upper[i]))) {
      ++i;
      continue;
    }
    size_t end = i;
    while (end < upper.size() && IsNameByte(static_cast<unsigned char>(upper[end]))) ++end;
    words.push_back(upper.substr(i, end - i));
    i = end;
  }
  return words;
}

// The document's views in document order, except that a view whose query names
// another view of the document comes after it: created in name order, a view
// over one that sorts later would be refused until the next run.
std::vector<int> ViewOrder(const TSDB_Parser& document) {
  const TSdbPath path{sdb::kSectionViews, std::string(1, sdb::kNodeView)};
  std::vector<std::string> texts;
  std::map<std::string, size_t> byName;
  TTreeResult view;
  for (int index = 0; document.Select(index, path, view); ++index) {
    byName.emplace(AnsiUpperCase(GetEntryValue(view, sdb::kKeyName)), texts.size());
    texts.push_back(GetEntryValue(view, sdb::kKeyText));
  }
  const size_t n = texts.size();
  std::vector<std::vector<size_t>> needs(n);
  for (size_t i = 0; i < n; ++i)
    for (const std::string& word : Words(texts[i])) {
      auto it = byName.find(word);
      if (it != byName.end() && it->second != i) needs[i].push_back(it->second);
    }
  std::vector<bool> placed(n, false);
  std::vector<int> order;
  while (order.size() < n) {
    size_t pick = n;
    for (size_t i = 0; i < n && pick == n; ++i) {
      if (placed[i]) continue;
      bool waits = false;
      for (size_t j : needs[i]) waits = waits || !placed[j];
      if (!waits) pick = i;
    }
    // Views that name each other: document order, as the database will judge them.
    for (size_t i = 0; i < n && pick == n; ++i)
      if (!placed[i]) pick = i;
    placed[pick] = true;
    order.push_back(static_cast<int>(pick));
  }
  return order;
}

class TCompareRun {
 public:
  TCompareRun(TOperationHost& host, TDictionarySource& source, TStatementSink& sink,
              const TSDB_Parser& document)
      : c_{host, source, sink}, document_(document) {}

  void Walk() {
    Header();
    Tables();
    Indexes();
    Sequences();
    Triggers();
    Routines(sdb::kSectionFunctions, sdb::kNodeFunction, R::OneFunction, "function");
    Routines(sdb::kSectionProcedures, sdb::kNodeProcedure, R::OneProcedure, "procedure");
    Constraints();
    Views();
    TriggersOnViews();
    Privileges();
    Synonyms();
    DbLinks();
  }

 private:
  std::string Name() const { return GetEntryValue(result_, sdb::kKeyName); }
  void Next() { c_.Host.ProcessMessages(); }

  void Header() {
    document_.Select(0, {sdb::kSectionShema}, result_);
    c_.Log("shema=" + Name());
  }

  void Tables() {
    c_.Log("tables:");
    c_.Generated.Read(c_.Source);
    WalkSection(document_, sdb::kSectionTables, sdb::kNodeTable, result_, [&](const TTreeResult& t) {
      const std::string table = Name();
      c_.Log("Analize table \"" + table + "\"");
      {
        const std::unique_ptr<TRowSet> columns = c_.Source.Open(R::TableColumns, table);
        if (columns->RecordCount() == 0) {
          CreateTable(c_, table, t);
        } else {
          CheckFields(c_, table, t, *columns);
        }
      }
      // Opened again so that what the step just created is seen by the comments.
      const std::unique_ptr<TRowSet> row = c_.Source.Open(R::OneTable, table);
      const std::unique_ptr<TRowSet> columns = c_.Source.Open(R::TableColumns, table);
      CheckComments(c_, table, t, FirstRowComment(*row), *columns);
      Next();
    });
  }

  void Indexes() {
    c_.Log("indexes:");
    WalkSection(document_, sdb::kSectionTables, sdb::kNodeTable, result_, [&](const TTreeResult& t) {
      const std::string table = Name();
      c_.Log("\tAnalize table indexes \"" + table + "\"");
      CheckIndexes(c_, table, t, *c_.Source.Open(R::TableIndexes, table));
      Next();
    });
  }

  void Sequences() {
    c_.Log("sequences:");
    const std::unique_ptr<TRowSet> sequences = c_.Source.Open(R::Sequences);
    WalkSection(document_, sdb::kSectionSequences, sdb::kNodeSequence, result_,
                [&](const TTreeResult& s) {
                  CheckSequence(c_, s, *sequences);
                  Next();
                });
  }

  // A trigger on one of the document's views cannot be created before the
  // view: it waits until the views are done.
  void Triggers() {
    c_.Log("triggers:");
    std::set<std::string> views;
    WalkSection(document_, sdb::kSectionViews, sdb::kNodeView, result_,
                [&](const TTreeResult&) { views.insert(AnsiUpperCase(Name())); });
    int index = 0;
    WalkSection(document_, sdb::kSectionTriggers, sdb::kNodeTrigger, result_,
                [&](const TTreeResult& t) {
                  if (views.count(TriggerTarget(GetEntryValue(t, sdb::kKeyTriggerBody))) != 0) {
                    onViews_.push_back(index++);
                    return;
                  }
                  ++index;
                  CheckTrigger(c_, t);
                  Next();
                });
  }

  void TriggersOnViews() {
    if (onViews_.empty()) return;
    c_.Log("triggers on views:");
    const TSdbPath path{sdb::kSectionTriggers, std::string(1, sdb::kNodeTrigger)};
    for (int index : onViews_) {
      document_.Select(index, path, result_);
      CheckTrigger(c_, result_);
      Next();
    }
  }

  void Routines(const char* section, char node, TDictionaryRead read, const char* kind) {
    c_.Log(std::string(section) + ":");
    WalkSection(document_, section, node, result_, [&](const TTreeResult& r) {
      CheckStoredCode(c_, r, read, kind);
      Next();
    });
  }

  // Two passes over every table, so that each key a foreign key refers to has
  // been added before any foreign key is.
  void Constraints() {
    c_.Log("constraints:");
    for (int pass = 1; pass <= 2; ++pass) {
      WalkSection(document_, sdb::kSectionTables, sdb::kNodeTable, result_,
                  [&](const TTreeResult& t) {
                    const std::string table = Name();
                    const std::unique_ptr<TRowSet> constraints =
                        c_.Source.Open(R::TableConstraints, table);
                    const std::unique_ptr<TRowSet> indexes = c_.Source.Open(R::TableIndexes, table);
                    c_.Log("\tPart " + std::to_string(pass) + ". Analize table constraints\"" +
                           table + "\"");
                    CheckConstraints(c_, table, t, *constraints, pass, *indexes);
                    Next();
                  });
    }
  }

  void Views() {
    c_.Log("views:");
    const TSdbPath path{sdb::kSectionViews, std::string(1, sdb::kNodeView)};
    for (int index : ViewOrder(document_)) {
      document_.Select(index, path, result_);
      const TTreeResult& v = result_;
      const std::string view = Name();
      c_.Log("Analize view \"" + view + "\"");
      {
        const std::unique_ptr<TRowSource> row = c_.Source.Query(R::OneView, view);
        if (row->Eof()) {
          CheckView(c_, view, v, nullptr, nullptr, true);
        } else {
          const std::unique_ptr<TRowSet> columns = c_.Source.Open(R::TableColumns, view);
          CheckView(c_, view, v, row.get(), columns.get(), false);
        }
      }
      const std::unique_ptr<TRowSet> columns = c_.Source.Open(R::TableColumns, view);
      const std::unique_ptr<TRowSource> row = c_.Source.Query(R::OneView, view);
      const std::string comment = row->Eof() ? std::string() : row->Value("comments");
      CheckComments(c_, view, v, comment, *columns);
      Next();
    }
  }

  void Privileges() {
    c_.Log("privileges:");
    const std::unique_ptr<TRowSet> privilegeRows = c_.Source.Open(R::Privileges);
    TRowSet& rows = *privilegeRows;
    WalkSection(document_, sdb::kSectionPrivileges, sdb::kNodePrivilege, result_,
                [&](const TTreeResult& p) {
                  const std::string object = GetEntryValue(p, sdb::kKeyObject);
                  const std::string grantee = GetEntryValue(p, sdb::kKeyGrantee);
                  const std::string privileges = GetEntryValue(p, sdb::kKeyPriv);
                  c_.Log("Analize object \"" + object + "\"");
                  if (rows.Locate("table_name;grantee", TVariant({object, grantee}))) {
                    CheckGrant(c_, object, grantee, privileges, rows);
                  } else {
                    AddGrant(c_, object, grantee, privileges);
                  }
                  Next();
                });
  }

  void Synonyms() {
    c_.Log("synonyms:");
    const std::unique_ptr<TRowSet> synonymRows = c_.Source.Open(R::AllSynonyms);
    TRowSet& rows = *synonymRows;
    WalkSection(document_, sdb::kSectionSynonyms, sdb::kNodeSynonym, result_,
                [&](const TTreeResult& s) {
                  const std::string object = GetEntryValue(s, sdb::kKeyObject);
                  const std::string grantee = GetEntryValue(s, sdb::kKeyGrantee);
                  const std::string synonym = GetEntryValue(s, sdb::kKeyName);
                  c_.Log("Analize object \"" + object + "\"");
                  if (!HasSynonym(rows, object, synonym, grantee)) {
                    AddSynonym(c_, object, grantee, synonym);
                  }
                  Next();
                });
  }

  void DbLinks() {
    c_.Log("db_links:");
    const std::unique_ptr<TRowSet> linkRows = c_.Source.Open(R::DbLinks);
    TRowSet& rows = *linkRows;
    WalkSection(document_, sdb::kSectionDbLinks, sdb::kNodeDbLink, result_,
                [&](const TTreeResult& d) {
                  const std::string link = GetEntryValue(d, sdb::kKeyDbLink);
                  c_.Log("\tAnalize object \"" + link + "\"");
                  const bool located = rows.Locate("db_link", TVariant(link));
                  CheckDbLink(c_, link, d, rows, !located);
                  Next();
                });
  }

  TCompareContext c_;
  const TSDB_Parser& document_;
  // The one result list every section's Select refills.
  TTreeResult result_;
  std::vector<int> onViews_;  // indexes of the triggers on the document's views
};

}  // namespace

void CompareAndUpdate(TOperationHost& host, TDictionarySource& source, TStatementSink& sink) {
  {
    TSDB_Parser document(host.UpdateFileName());
    document.Parse();
    if (document.FileOk()) TCompareRun(host, source, sink, document).Walk();
  }
  host.WriteLog("end test", true, false);
}

void CompareAndUpdate(TOperationHost& host, TDM& dm) {
  TPerObjectSource source(dm);
  TExecutingSink sink(dm);
  CompareAndUpdate(host, source, sink);
}

}  // namespace skelvane
