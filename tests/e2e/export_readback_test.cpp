// The exported demo schema read back with the document reader: every object
// the dictionary lists is found, with its values, along the paths the compare
// walks; and a bare target name lands beside the program.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "common/platform.h"
#include "common/text.h"
#include "dictionary/dm.h"
#include "dictionary/grouped_lists.h"
#include "e2e/export_support.h"
#include "dictionary/column_type_text.h"
#include "dictionary/row_sources.h"
#include "dictionary/visible_columns.h"
#include "export/export_schema.h"
#include "sdb/sdb_parser.h"
#include "sdb/entry.h"
#include "support/recording_host.h"

namespace skelvane::e2e {
namespace {

using oracle::TOracleQuery;

using ::skelvane::testing::TRecordingHost;

// One logged-on data module over an emulator database in `dir`.
class TLoggedOn {
 public:
  TLoggedOn(const fs::path& dir, const std::string& database, const std::string& user,
            const std::string& password) {
    setenv("ORAEMU_DATA", dir.c_str(), 1);
    platform::ProcessParameters() = {"OCIDLL=" + EmulatorLibrary().string()};
    dm.OracleSession1.LogonUsername = user;
    dm.OracleSession1.LogonPassword = password;
    dm.OracleSession1.LogonDatabase = database;
    dm.OracleSession1.LogOn();
  }
  ~TLoggedOn() {
    try {
      dm.OracleSession1.LogOff();
    } catch (...) {
    }
  }
  TDM dm;
};

using TInventory = std::multiset<std::string>;

void ForEachRow(TOracleQuery& q, const std::function<void()>& row) {
  q.Execute();
  for (; !q.Eof(); q.Next()) row();
}

// What the dictionary holds, rendered as the document should carry it.
TInventory FromDictionary(TDM& dm) {
  TInventory inv;
  std::vector<std::string> tables, views;
  ForEachRow(dm.Q_Tables, [&] {
    tables.push_back(dm.Q_Tables.FieldText("table_name"));
    inv.insert("table " + tables.back() + " comment=" + dm.Q_Tables.FieldText("comments"));
  });
  for (const auto& t : tables) {
    dm.Q_TableFields.AssignVariable("table_name", t);
    auto& f = dm.Q_TableFields;
    ForEachRow(f, [&] {
      if (IsHiddenColumn(TQueryRows(f))) return;
      inv.insert("column " + t + "." + f.FieldText("column_name") + " type=" +
                 ColumnTypeTextOfRow(TQueryRows(f)) +
                 " null=" + f.FieldText("nullable") +
                 " default=" + Trimmed(f.FieldText("data_default")) +
                 " comment=" + Trimmed(f.FieldText("comments")));
    });
    TIndexList indexes;
    dm.Q_TableIndexes.AssignVariable("table_name", t);
    dm.Q_TableIndexes.Execute();
    TQueryRows indexRows(dm.Q_TableIndexes);
    indexes.Fill(indexRows);
    for (int i = 0; i < indexes.Count(); ++i) {
      const auto& x = indexes.Item(i);
      inv.insert("index " + t + "." + x.IndexName + " " + x.Uniqueness + " " + x.Columns);
    }
    TConstraintList constraints;
    dm.Q_TableConstraints.AssignVariable("table_name", t);
    dm.Q_TableConstraints.Execute();
    TQueryRows constraintRows(dm.Q_TableConstraints);
    constraints.Fill(constraintRows);
    for (int i = 0; i < constraints.Count(); ++i) {
      const auto& c = constraints.Item(i);
      inv.insert("constraint " + t + "." + c.ConstraintName + " " + c.ConstraintType + " " +
                 c.IndexName + " expr=" + c.SearchCondition +
                 " ref=" + (c.ConstraintType == "R" ? c.Reference : "") + " " + c.Status);
    }
  }
  auto& s = dm.Q_Sequences;
  ForEachRow(s, [&] {
    inv.insert("sequence " + s.FieldText("sequence_name") + " " + s.FieldText("increment_by") +
               " " + s.FieldText("last_number") + " " + s.FieldText("min_value") + " " +
               s.FieldText("max_value") + " " + s.FieldText("cycle_flag") + " " +
               s.FieldText("order_flag") + " " + s.FieldText("cache_size"));
  });
  ForEachRow(dm.Q_Triggers, [&] { inv.insert("trigger " + dm.Q_Triggers.FieldText("trigger_name")); });
  for (auto [query, kind] : {std::pair{&dm.Q_Functions, "function "},
                             std::pair{&dm.Q_Procedures, "procedure "}}) {
    TFuncList routines;
    query->Execute();
    TQueryRows rows(*query);
    routines.Fill(rows);
    for (int i = 0; i < routines.Count(); ++i) inv.insert(kind + routines.Item(i).Name);
  }
  ForEachRow(dm.Q_Views, [&] {
    views.push_back(dm.Q_Views.FieldText("view_name"));
    inv.insert("view " + views.back() + " comment=" + dm.Q_Views.FieldText("comments"));
  });
  for (const auto& v : views) {
    dm.Q_TableFields.AssignVariable("table_name", v);
    auto& f = dm.Q_TableFields;
    ForEachRow(f, [&] {
      inv.insert("viewcolumn " + v + "." + f.FieldText("column_name") +
                 " comment=" + Trimmed(f.FieldText("comments")));
    });
  }
  auto& y = dm.Q_Synonyms;
  ForEachRow(y, [&] {
    inv.insert("synonym " + y.FieldText("o_name") + " " + y.FieldText("s_name") + " grantee=" +
               y.FieldText("grantee"));
  });
  auto& p = dm.Q_Privileges;
  ForEachRow(p, [&] {
    inv.insert("grant " + p.FieldText("table_name") + " " + PrivilegeText(TQueryRows(p)) + " " +
               p.FieldText("grantee"));
  });
  auto& l = dm.Q_DbLink;
  ForEachRow(l, [&] {
    inv.insert("link " + l.FieldText("db_link") + " " + l.FieldText("username") + " " +
               l.FieldText("password") + " " + l.FieldText("host"));
  });
  return inv;
}

// What the document gives back through the compare's lookups.
TInventory FromDocument(const fs::path& file) {
  TSDB_Parser doc(file.string());
  doc.Parse();
  EXPECT_TRUE(doc.FileOk());
  TInventory inv;
  TTreeResult r, sub;
  auto v = [&](const TTreeResult& list, const char* name) { return GetEntryValue(list, name); };
  for (int i = 0; doc.Select(i, {"tables", "t"}, r); ++i) {
    const std::string t = v(r, "name");
    inv.insert("table " + t + " comment=" + v(r, "comments"));
    for (int j = 0; SelectInEntry(r, "fields", j, {"f"}, sub); ++j) {
      inv.insert("column " + t + "." + v(sub, "name") + " type=" + v(sub, "type") +
                 " null=" + v(sub, "null") + " default=" + v(sub, "default") +
                 " comment=" + v(sub, "comments"));
    }
    for (int j = 0; SelectInEntry(r, "indexes", j, {"i"}, sub); ++j) {
      inv.insert("index " + t + "." + v(sub, "name") + " " + v(sub, "uniqueness") + " " +
                 v(sub, "columns"));
    }
    for (int j = 0; SelectInEntry(r, "constraints", j, {"i"}, sub); ++j) {
      inv.insert("constraint " + t + "." + v(sub, "name") + " " + v(sub, "type") + " " +
                 v(sub, "index") + " expr=" + v(sub, "expr") + " ref=" + v(sub, "ref") + " " +
                 v(sub, "status"));
    }
  }
  for (int i = 0; doc.Select(i, {"sequences", "s"}, r); ++i) {
    inv.insert("sequence " + v(r, "name") + " " + v(r, "increment_by") + " " +
               v(r, "last_number") + " " + v(r, "min_value") + " " + v(r, "max_value") + " " +
               v(r, "cycle") + " " + v(r, "order") + " " + v(r, "cache"));
  }
  for (int i = 0; doc.Select(i, {"triggers", "t"}, r); ++i) inv.insert("trigger " + v(r, "name"));
  for (int i = 0; doc.Select(i, {"functions", "f"}, r); ++i) inv.insert("function " + v(r, "name"));
  for (int i = 0; doc.Select(i, {"procedures", "p"}, r); ++i) inv.insert("procedure " + v(r, "name"));
  for (int i = 0; doc.Select(i, {"views", "v"}, r); ++i) {
    const std::string name = v(r, "name");
    inv.insert("view " + name + " comment=" + v(r, "comments"));
    for (int j = 0; SelectInEntry(r, "fields", j, {"f"}, sub); ++j) {
      inv.insert("viewcolumn " + name + "." + v(sub, "name") + " comment=" + v(sub, "comments"));
    }
  }
  for (int i = 0; doc.Select(i, {"synonyms", "s"}, r); ++i) {
    inv.insert("synonym " + v(r, "object") + " " + v(r, "name") + " grantee=" + v(r, "grantee"));
  }
  for (int i = 0; doc.Select(i, {"privileges", "p"}, r); ++i) {
    inv.insert("grant " + v(r, "object") + " " + v(r, "priv") + " " + v(r, "grantee"));
  }
  for (int i = 0; doc.Select(i, {"db_links", "d"}, r); ++i) {
    inv.insert("link " + v(r, "db_link") + " " + v(r, "username") + " " + v(r, "password") + " " +
               v(r, "host"));
  }
  if (doc.Select(0, {"shema"}, r)) inv.insert("shema " + v(r, "name"));
  return inv;
}

TEST(ExportReadBack, EveryDictionaryObjectIsFoundAlongTheComparePaths) {
  TScratch scratch("readback");
  MakeDemo(scratch.Dir());
  TLoggedOn session(scratch.Dir(), "DEMO", "DEMO_APP", "demo_app_pw");
  TRecordingHost host;
  host.user = "DEMO_APP";
  host.exportFile = host.updateFile = (scratch.Dir() / "demo._sdb").string();
  host.programDir = "";
  ExportSchema(host, session.dm);
  EXPECT_TRUE(host.update.empty());

  TInventory expected = FromDictionary(session.dm);
  expected.insert("shema DEMO_APP");
  const TInventory actual = FromDocument(host.exportFile);
  EXPECT_EQ(actual, expected);

  // The demo holds every kind of object, so none of them went unchecked.
  for (const char* kind : {"table ", "column ", "index ", "constraint ", "sequence ", "trigger ",
                           "function ", "procedure ", "view ", "viewcolumn ", "synonym ", "grant ",
                           "link "}) {
    EXPECT_TRUE(std::any_of(actual.begin(), actual.end(),
                            [&](const std::string& s) { return s.rfind(kind, 0) == 0; }))
        << "the demo has no " << kind;
  }
}

TEST(ExportReadBack, BareTargetNameLandsBesideTheProgram) {
  TScratch scratch("bare");
  CreateDatabase(scratch.Dir(), "XE");
  RunScript(scratch.Dir(), "XE", "SYSTEM/manager",
            "create user EMPTY_OWNER identified by pw;\n"
            "GRANT CONNECT, RESOURCE, CREATE VIEW, CREATE SYNONYM, CREATE PUBLIC SYNONYM, CREATE DATABASE LINK TO EMPTY_OWNER;\nGRANT SELECT ON SYS.OBJ$ TO EMPTY_OWNER;\nGRANT SELECT ON SYS.SYN$ TO EMPTY_OWNER;\nGRANT SELECT ON SYS.USER$ TO EMPTY_OWNER;\n");
  fs::create_directories(scratch.Dir() / "prog");
  fs::create_directories(scratch.Dir() / "cwd");
  const fs::path cwd = fs::current_path();
  fs::current_path(scratch.Dir() / "cwd");
  TRecordingHost host;
  host.user = "EMPTY_OWNER";
  host.exportFile = host.updateFile = "test._sdb";
  host.programDir = (scratch.Dir() / "prog").string();
  {
    TLoggedOn session(scratch.Dir(), "XE", "EMPTY_OWNER", "pw");
    ExportSchema(host, session.dm);
  }
  fs::current_path(cwd);
  EXPECT_TRUE(fs::exists(scratch.Dir() / "prog" / "test._sdb"));
  EXPECT_FALSE(fs::exists(scratch.Dir() / "cwd" / "test._sdb"));
  EXPECT_EQ(host.MaskedLog().front(), "<TS>:begin reading...");
  EXPECT_EQ(host.MaskedLog().back(), "<TS>:end reading...");
}

}  // namespace
}  // namespace skelvane::e2e
