#include "roundtrip/schema_generator.h"

#include <algorithm>
#include <random>
#include <vector>

namespace skelvane::roundtrip {
namespace {

// std::mt19937 is fixed by the standard; the distributions are not, so draws
// are reduced by hand to keep a seed's schema the same on every library.
class TRandom {
 public:
  explicit TRandom(uint32_t seed) : engine_(seed) {}
  int Below(int n) { return static_cast<int>(engine_() % static_cast<uint32_t>(n)); }
  int Between(int lo, int hi) { return lo + Below(hi - lo + 1); }
  bool Chance(int percent) { return Below(100) < percent; }
  template <class T>
  const T& Pick(const std::vector<T>& items) { return items[Below(static_cast<int>(items.size()))]; }

 private:
  std::mt19937 engine_;
};

struct TColumn {
  std::string name;
  std::string kind;  // the key of TGeneratedSchema::columnTypes
  std::string type;
  std::string defaultSql;
  bool notNull = false;
  bool keyable = false;  // may stand in an index or key
  bool numeric = false;
  bool text = false;
};

struct TTable {
  std::string name;
  std::vector<TColumn> columns;
  std::vector<std::string> key;  // primary key columns, empty for none
  std::set<std::string> indexedLists;
};

const std::vector<std::string> kTableWords = {"ORDERS", "ITEMS",  "CLIENTS", "PARTS",  "INVOICES",
                                              "RATES",  "STOCKS", "NOTES",   "EVENTS", "ACCOUNTS"};
const std::vector<std::string> kColumnWords = {"AMOUNT", "LABEL", "CODE",  "NOTE",  "STATE",
                                               "WEIGHT", "TITLE", "PRICE", "FLAG",  "REMARK"};

// Comments with quotes, blanks at either end and punctuation the statements
// must carry through unchanged.
const std::vector<std::string> kComments = {
    "Plain comment",
    "It's the customer's own \"label\"",
    "Price in EUR; 0 means free",
    " Leading blank and 50% of the text",
    "Semicolon; slash / and backslash \\ stay",
    "Don't ''double'' these",
};
const char kPadded[] = "  padded on both sides  ";
const std::vector<std::string> kMultiLineComments = {
    "First line\nsecond line",
    "Quote ' on the first line\n  indented second line\nthird line",
};

std::string Quoted(const std::string& text) {
  std::string out = "'";
  for (char c : text) {
    out += c;
    if (c == '\'') out += '\'';
  }
  return out + "'";
}

std::string Join(const std::vector<std::string>& items, const std::string& separator) {
  std::string out;
  for (size_t i = 0; i < items.size(); ++i) out += (i ? separator : "") + items[i];
  return out;
}

// A key's columns in any order count as the same key to the database.
std::string ColumnSet(std::vector<std::string> columns) {
  std::sort(columns.begin(), columns.end());
  return Join(columns, ",");
}

class TGenerator {
 public:
  TGenerator(uint32_t seed, const std::set<TFeature>& features) : rnd_(seed), features_(features) {
    schema_.seed = seed;
  }

  TGeneratedSchema Run() {
    const int tables = rnd_.Between(2, 5);
    for (int i = 0; i < tables; ++i) AddTable(i);
    if (Has(TFeature::Sequences)) AddSequences();
    if (Has(TFeature::Triggers)) AddTriggers();
    if (Has(TFeature::Functions)) AddFunctions();
    if (Has(TFeature::Procedures)) AddProcedures();
    if (Has(TFeature::Views)) AddViews();
    if (Has(TFeature::Views) && Has(TFeature::ViewsOverLaterViews) && rnd_.Chance(30)) AddViewOverLaterView();
    if (Has(TFeature::Grants)) AddGrants();
    AddSynonyms();
    if (Has(TFeature::DatabaseLinks)) AddLinks();
    return std::move(schema_);
  }

 private:
  bool Has(TFeature f) const { return features_.count(f) != 0; }
  void Out(const std::string& statement) { schema_.ownerScript += statement + ";\n"; }
  // PL/SQL units hold semicolons of their own and end with a slash line.
  void OutUnit(const std::string& unit) { schema_.ownerScript += unit + "\n/\n"; }
  void Count(const std::string& kind, int n = 1) { schema_.objects[kind] += n; }

  std::string Comment() {
    if (Has(TFeature::MultiLineComments) && rnd_.Chance(25)) return rnd_.Pick(kMultiLineComments);
    return rnd_.Pick(kComments);
  }

  TColumn RandomColumn(const std::string& name, bool allowLong) {
    TColumn c;
    c.name = name;
    const int kinds = allowLong ? 17 : 16;
    switch (rnd_.Below(kinds)) {
      case 0: c.kind = "NUMBER"; c.type = "NUMBER"; c.numeric = c.keyable = true; break;
      case 1:
        c.kind = "NUMBER(p)";
        c.type = "NUMBER(" + std::to_string(rnd_.Between(1, 38)) + ")";
        c.numeric = c.keyable = true;
        break;
      case 2: {
        const int p = rnd_.Between(1, 20);
        c.kind = "NUMBER(p,s)";
        // A negative scale rounds to the left of the point.
        const int scale = rnd_.Chance(15) ? -rnd_.Between(1, 3) : rnd_.Between(0, std::min(p, 6));
        c.type = "NUMBER(" + std::to_string(p) + "," + std::to_string(scale) + ")";
        c.numeric = c.keyable = true;
        break;
      }
      case 3: c.kind = "VARCHAR2 BYTE"; c.type = "VARCHAR2(" + Length(4000) + " BYTE)"; c.text = c.keyable = true; break;
      case 4: c.kind = "VARCHAR2 CHAR"; c.type = "VARCHAR2(" + Length(1000) + " CHAR)"; c.text = c.keyable = true; break;
      case 5: c.kind = "VARCHAR2"; c.type = "VARCHAR2(" + Length(4000) + ")"; c.text = c.keyable = true; break;
      case 6: c.kind = "CHAR BYTE"; c.type = "CHAR(" + Length(2000) + " BYTE)"; c.text = c.keyable = true; break;
      case 7: c.kind = "CHAR CHAR"; c.type = "CHAR(" + Length(500) + " CHAR)"; c.text = c.keyable = true; break;
      case 8: c.kind = "NVARCHAR2"; c.type = "NVARCHAR2(" + Length(2000) + ")"; c.text = c.keyable = true; break;
      case 9: c.kind = "NCHAR"; c.type = "NCHAR(" + Length(1000) + ")"; c.text = c.keyable = true; break;
      case 10: c.kind = "RAW"; c.type = "RAW(" + Length(2000) + ")"; c.keyable = true; break;
      case 11: c.kind = "DATE"; c.type = "DATE"; c.keyable = true; break;
      case 12:
        c.kind = "TIMESTAMP";
        c.type = rnd_.Chance(50) ? "TIMESTAMP" : "TIMESTAMP(" + std::to_string(rnd_.Between(0, 9)) + ")";
        c.keyable = true;
        break;
      case 13: c.kind = "CLOB"; c.type = "CLOB"; break;
      case 14: c.kind = "BLOB"; c.type = "BLOB"; break;
      case 15:
        // The type text shows no binary precision, so FLOAT(n) comes back as FLOAT in both documents.
        c.kind = "FLOAT";
        c.type = rnd_.Chance(70) ? "FLOAT" : "FLOAT(" + std::to_string(rnd_.Between(1, 126)) + ")";
        c.numeric = c.keyable = true;
        break;
      default: c.kind = "LONG"; c.type = "LONG"; break;
    }
    if (rnd_.Chance(30)) c.defaultSql = DefaultFor(c);
    c.notNull = rnd_.Chance(25);
    return c;
  }

  std::string Length(int max) {
    static const std::vector<int> lengths = {1, 2, 10, 30, 100, 255, 1000, 2000, 4000};
    int n;
    do n = rnd_.Pick(lengths); while (n > max);
    return std::to_string(n);
  }

  std::string DefaultFor(const TColumn& c) {
    if (c.numeric) return rnd_.Pick(std::vector<std::string>{"0", "1", "-7", "42"});
    if (c.text) return rnd_.Pick(std::vector<std::string>{"'Y'", "'N'", "'x'"});
    if (c.kind == "DATE") return "SYSDATE";
    if (c.kind == "TIMESTAMP") return "SYSTIMESTAMP";
    if (c.kind == "RAW") return "HEXTORAW('FF')";
    if (c.kind == "CLOB") return "'none'";
    return {};
  }

  static std::string ColumnSql(const TColumn& c) {
    std::string sql = "  " + c.name + " " + c.type;
    if (!c.defaultSql.empty()) sql += " DEFAULT " + c.defaultSql;
    if (c.notNull) sql += " NOT NULL";
    return sql;
  }

  std::vector<std::string> PickKeyColumns(const TTable& t, int count) {
    std::vector<std::string> keyable;
    for (const auto& c : t.columns)
      if (c.keyable && c.type.find("4000") == std::string::npos) keyable.push_back(c.name);
    std::vector<std::string> chosen;
    while (static_cast<int>(chosen.size()) < count && !keyable.empty()) {
      const int i = rnd_.Below(static_cast<int>(keyable.size()));
      chosen.push_back(keyable[i]);
      keyable.erase(keyable.begin() + i);
    }
    return chosen;
  }

  void AddTable(int index) {
    TTable t;
    t.name = kTableWords[index % kTableWords.size()] + "_" + std::to_string(index + 1);
    std::vector<std::string> parts;
    std::vector<std::string> constraints;

    // An ID column as most tables have, so keys and references have something to stand on.
    TColumn id;
    id.name = "ID";
    id.kind = "NUMBER(p)";
    id.type = "NUMBER(" + std::to_string(rnd_.Between(6, 12)) + ")";
    id.notNull = true;
    id.keyable = id.numeric = true;
    t.columns.push_back(id);

    bool longUsed = false;
    const int columns = rnd_.Between(2, 9);
    for (int j = 0; j < columns; ++j) {
      TColumn c = RandomColumn(rnd_.Pick(kColumnWords) + std::to_string(j + 1), !longUsed);
      longUsed = longUsed || c.kind == "LONG";
      t.columns.push_back(c);
    }

    // A reference to an earlier table with a key, over as many columns as that key has.
    const TTable* parent = nullptr;
    if (Has(TFeature::ForeignKeys) && !tables_.empty() && rnd_.Chance(70)) {
      std::vector<const TTable*> keyed;
      for (const auto& p : tables_)
        if (!p.key.empty()) keyed.push_back(&p);
      if (!keyed.empty()) parent = rnd_.Pick(keyed);
    }
    // A table over itself (a tree) refers to its own single-column ID key.
    const bool selfReference = Has(TFeature::ForeignKeys) && !parent && rnd_.Chance(25);
    if (selfReference) {
      TColumn c = id;
      c.name = "PARENT_ID";
      c.notNull = false;
      t.columns.push_back(c);
    }
    std::vector<std::string> fkColumns;
    if (parent) {
      for (const auto& k : parent->key) {
        const auto pc = std::find_if(parent->columns.begin(), parent->columns.end(),
                                     [&](const TColumn& c) { return c.name == k; });
        TColumn c = *pc;
        c.name = "REF_" + k;
        c.defaultSql.clear();
        c.notNull = false;
        t.columns.push_back(c);
        fkColumns.push_back(c.name);
      }
    }

    for (const auto& c : t.columns) ++schema_.columnTypes[c.kind];
    Count("column", static_cast<int>(t.columns.size()));

    if (rnd_.Chance(80)) {
      t.key = rnd_.Chance(30) && !selfReference ? PickKeyColumns(t, 2) : std::vector<std::string>{"ID"};
      for (auto& c : t.columns)
        if (std::find(t.key.begin(), t.key.end(), c.name) != t.key.end()) c.notNull = true;
      const std::string clause = "PRIMARY KEY (" + Join(t.key, ", ") + ")";
      constraints.push_back(rnd_.Chance(60) ? "CONSTRAINT PK_" + t.name + " " + clause : clause);
      t.indexedLists.insert(ColumnSet(t.key));
      Count("primary key");
    }
    if (Has(TFeature::UniqueConstraints) && rnd_.Chance(35)) {
      const auto cols = PickKeyColumns(t, rnd_.Between(1, 2));
      if (!cols.empty() && t.indexedLists.insert(ColumnSet(cols)).second) {
        constraints.push_back("CONSTRAINT UQ_" + t.name + " UNIQUE (" + Join(cols, ", ") + ")");
        Count("unique constraint");
      }
    }
    if (Has(TFeature::CheckConstraints)) {
      int n = 0;
      for (const auto& c : t.columns) {
        if (c.name == "ID" || !rnd_.Chance(25)) continue;
        std::string condition;
        if (c.numeric)
          condition = c.name + " >= -1000" + (rnd_.Chance(50) ? "\n    AND " + c.name + " < 1000000" : "");
        else if (c.text && c.type.rfind("N", 0) != 0) condition = c.name + " IN ('Y', 'N', 'x')";
        else continue;
        constraints.push_back(rnd_.Chance(60) ? "CONSTRAINT CK_" + t.name + "_" + std::to_string(++n) +
                                                    " CHECK (" + condition + ")"
                                              : "CHECK (" + condition + ")");
        Count("check constraint");
      }
    }
    if (selfReference && !t.key.empty()) {
      constraints.push_back("CONSTRAINT FK_" + t.name + "_PARENT FOREIGN KEY (PARENT_ID) REFERENCES " + t.name +
                            " (ID)");
      Count("self-referencing foreign key");
    }
    if (parent) {
      const std::string clause = "FOREIGN KEY (" + Join(fkColumns, ", ") + ") REFERENCES " + parent->name +
                                 " (" + Join(parent->key, ", ") + ")";
      constraints.push_back(rnd_.Chance(70) ? "CONSTRAINT FK_" + t.name + " " + clause : clause);
      Count(fkColumns.size() > 1 ? "multi-column foreign key" : "foreign key");
    }

    // After the keys: their columns have become NOT NULL.
    for (const auto& c : t.columns) parts.push_back(ColumnSql(c));
    for (const auto& k : constraints) parts.push_back("  " + k);
    Out("CREATE TABLE " + t.name + " (\n" + Join(parts, ",\n") + "\n)");
    Count("table");

    if (rnd_.Chance(70)) {
      // Table comments are kept as they are, blanks alone included; column comments are trimmed.
      std::string comment = Comment();
      if (Has(TFeature::PaddedTableComments) && rnd_.Chance(20)) comment = rnd_.Chance(50) ? kPadded : "   ";
      Out("COMMENT ON TABLE " + t.name + " IS " + Quoted(comment));
      Count("comment");
    }
    for (const auto& c : t.columns) {
      if (!rnd_.Chance(30)) continue;
      Out("COMMENT ON COLUMN " + t.name + "." + c.name + " IS " + Quoted(rnd_.Chance(10) ? kPadded : Comment()));
      Count("comment");
    }

    const int indexes = rnd_.Between(0, 2);
    for (int i = 0; i < indexes; ++i) {
      const auto cols = PickKeyColumns(t, rnd_.Between(1, 2));
      if (cols.empty() || !t.indexedLists.insert(ColumnSet(cols)).second) continue;
      const bool unique = rnd_.Chance(30);
      Out(std::string(unique ? "CREATE UNIQUE INDEX UX_" : "CREATE INDEX IX_") + t.name + "_" +
          std::to_string(i + 1) + " ON " + t.name + " (" + Join(cols, ", ") + ")");
      Count(unique ? "unique index" : "index");
    }
    tables_.push_back(std::move(t));
  }

  void AddSequences() {
    const int n = rnd_.Between(1, 4);
    for (int i = 1; i <= n; ++i) {
      const std::string name = "SQ_" + std::to_string(i);
      std::vector<std::string> variants = {
          "CREATE SEQUENCE " + name,
          "CREATE SEQUENCE " + name + " START WITH 100 INCREMENT BY 5 MAXVALUE 1000000 MINVALUE 1 CYCLE ORDER CACHE 10",
          "CREATE SEQUENCE " + name + " START WITH 7 NOMAXVALUE NOCACHE",
          "CREATE SEQUENCE " + name + " START WITH 3 MINVALUE 3 MAXVALUE 99999 CACHE 5",
      };
      if (Has(TFeature::DescendingSequences))
        variants.push_back("CREATE SEQUENCE " + name +
                           " INCREMENT BY -1 START WITH -1 MAXVALUE -1 MINVALUE -100000 NOCACHE");
      if (Has(TFeature::DescendingDefaultBounds)) variants.push_back("CREATE SEQUENCE " + name + " INCREMENT BY -3");
      Out(rnd_.Pick(variants));
      Count("sequence");
      sequences_.push_back(name);
    }
  }

  const TTable& AnyTable() { return tables_[rnd_.Below(static_cast<int>(tables_.size()))]; }

  void AddTriggers() {
    int n = 0;
    for (const auto& t : tables_) {
      if (!rnd_.Chance(40)) continue;
      const std::string name = "TR_" + t.name + "_" + std::to_string(++n);
      switch (rnd_.Below(3)) {
        case 0:
          OutUnit("CREATE OR REPLACE TRIGGER " + name + "\nBEFORE INSERT ON " + t.name +
                  "\nFOR EACH ROW\nBEGIN\n  IF :NEW.ID IS NULL THEN\n    :NEW.ID := 0;\n  END IF;\nEND;");
          break;
        case 1:
          OutUnit("CREATE TRIGGER " + name + "\nBEFORE INSERT OR UPDATE ON " + t.name +
                  "\nFOR EACH ROW\nDECLARE\n  v_note VARCHAR2(30) := 'it''s set';\nBEGIN\n  NULL;\nEND;");
          break;
        default:
          OutUnit("CREATE OR REPLACE TRIGGER " + name + "\nAFTER DELETE ON " + t.name +
                  "\nBEGIN\n  -- statement level: once per DELETE\n  NULL;\nEND;");
          break;
      }
      Count("trigger");
    }
  }

  void AddFunctions() {
    const int n = rnd_.Between(0, 3);
    for (int i = 1; i <= n; ++i) {
      const std::string k = std::to_string(rnd_.Between(2, 9));
      OutUnit("CREATE OR REPLACE FUNCTION FN_" + std::to_string(i) +
              "(p_value IN NUMBER) RETURN NUMBER IS\nBEGIN\n  -- the caller's 'raw' value times " + k +
              "\n  RETURN p_value * " + k + ";\nEND;");
      Count("function");
    }
  }

  void AddProcedures() {
    const int n = rnd_.Between(0, 2);
    for (int i = 1; i <= n; ++i) {
      const TTable& t = AnyTable();
      OutUnit(std::string(rnd_.Chance(50) ? "CREATE OR REPLACE PROCEDURE" : "CREATE PROCEDURE") + " PR_" +
              std::to_string(i) + "(p_id IN NUMBER) IS\n  v_count NUMBER;\n\nBEGIN\n  SELECT COUNT(*) INTO v_count\n    FROM " +
              t.name + "\n   WHERE ID = p_id;\nEND;");
      Count("procedure");
    }
  }

  void AddViews() {
    const int n = rnd_.Between(1, 4);
    for (int i = 1; i <= n; ++i) {
      const std::string name = "V_" + std::to_string(i);
      const TTable& t = AnyTable();
      const std::string second = t.columns[1].name;
      std::vector<std::string> columns;
      switch (rnd_.Below(views_.empty() ? 4 : 5)) {
        case 0:
          Out("CREATE VIEW " + name + " AS SELECT ID, " + second + " FROM " + t.name + " WHERE ID > 0");
          columns = {"ID", second};
          break;
        case 1:
          Out("CREATE VIEW " + name + " (KEY_VALUE, SECOND_VALUE) AS\nSELECT t.ID,\n       t." + second +
              "\n  FROM " + t.name + " t");
          columns = {"KEY_VALUE", "SECOND_VALUE"};
          break;
        case 2:
          Out("CREATE OR REPLACE VIEW " + name + " AS SELECT * FROM " + t.name);
          for (const auto& c : t.columns) columns.push_back(c.name);
          break;
        case 3:
          Out("CREATE VIEW " + name + " AS SELECT 1 AS ONE, 'x' AS LETTER FROM DUAL");
          columns = {"ONE", "LETTER"};
          break;
        default:
          // Over the previous view, so the compare must create views in document order.
          Out("CREATE VIEW " + name + " (FIRST_COLUMN) AS SELECT " + viewColumns_.back() + " FROM " + views_.back());
          columns = {"FIRST_COLUMN"};
          break;
      }
      Count("view");
      views_.push_back(name);
      viewColumns_.push_back(columns.front());
      if (rnd_.Chance(50)) {
        Out("COMMENT ON TABLE " + name + " IS " + Quoted(Comment()));
        Count("comment");
      }
      if (rnd_.Chance(50)) {
        Out("COMMENT ON COLUMN " + name + "." + rnd_.Pick(columns) + " IS " + Quoted(Comment()));
        Count("comment");
      }
    }
  }

  // A view whose name sorts before the view it reads, so name order is not creation order.
  void AddViewOverLaterView() {
    Out("CREATE VIEW V_0 AS SELECT " + viewColumns_.back() + " FROM " + views_.back());
    Count("view over a later view");
    views_.push_back("V_0");
    viewColumns_.push_back(viewColumns_.back());
  }

  void AddGrants() {
    static const std::vector<std::string> kPrivileges = {"SELECT",     "INSERT", "DELETE", "UPDATE",
                                                         "REFERENCES", "ALTER",  "INDEX"};
    for (const auto& t : tables_) {
      if (!rnd_.Chance(60)) continue;
      std::vector<std::string> chosen;
      for (const auto& p : kPrivileges)
        if (rnd_.Chance(45)) chosen.push_back(p);
      if (chosen.empty()) chosen.push_back("SELECT");
      Out("GRANT " + Join(chosen, ", ") + " ON " + t.name + " TO " + (rnd_.Chance(80) ? "RT_PEER" : "PUBLIC"));
      Count("grant");
    }
    for (const auto& v : views_) {
      if (!rnd_.Chance(40)) continue;
      Out("GRANT SELECT ON " + v + " TO RT_PEER");
      Count("grant");
    }
    for (const auto& q : sequences_) {
      if (!rnd_.Chance(30)) continue;
      Out("GRANT SELECT ON " + q + " TO RT_PEER");
      Count("grant");
    }
  }

  void AddSynonyms() {
    std::vector<std::string> targets = views_;
    targets.insert(targets.end(), sequences_.begin(), sequences_.end());
    for (const auto& t : tables_) targets.push_back(t.name);
    int n = 0;
    for (const auto& target : targets) {
      const std::string name = "SYN_" + std::to_string(++n);
      const bool both = rnd_.Chance(15);  // a private and a public synonym of one name
      if (Has(TFeature::PrivateSynonyms) && (both || rnd_.Chance(30))) {
        Out("CREATE SYNONYM " + name + " FOR " + target);
        Count("private synonym");
      }
      if (Has(TFeature::PublicSynonyms) && (both || rnd_.Chance(20))) {
        Out("CREATE PUBLIC SYNONYM " + name + " FOR " + target);
        Count("public synonym");
      }
    }
  }

  void AddLinks() {
    const int n = rnd_.Between(0, 2);
    for (int i = 1; i <= n; ++i) {
      Out("CREATE DATABASE LINK LNK_" + std::to_string(i) + " CONNECT TO remote_user" + std::to_string(i) +
          " IDENTIFIED BY remote_pw USING 'remote-host:1521/SVC" + std::to_string(i) + "'");
      Count("database link");
    }
  }

  TRandom rnd_;
  std::set<TFeature> features_;
  TGeneratedSchema schema_;
  std::vector<TTable> tables_;
  std::vector<std::string> views_;
  std::vector<std::string> viewColumns_;  // the first column of each view
  std::vector<std::string> sequences_;
};

}  // namespace

std::set<TFeature> AllFeatures() {
  std::set<TFeature> all;
  for (int f = 0; f <= static_cast<int>(TFeature::PaddedTableComments); ++f) all.insert(static_cast<TFeature>(f));
  return all;
}

const char* FeatureName(TFeature feature) {
  switch (feature) {
    case TFeature::UniqueConstraints: return "unique constraints";
    case TFeature::CheckConstraints: return "check constraints";
    case TFeature::ForeignKeys: return "foreign keys";
    case TFeature::Sequences: return "sequences";
    case TFeature::DescendingSequences: return "descending sequences";
    case TFeature::DescendingDefaultBounds: return "descending sequences with the default lower bound";
    case TFeature::Triggers: return "triggers";
    case TFeature::Functions: return "functions";
    case TFeature::Procedures: return "procedures";
    case TFeature::Views: return "views";
    case TFeature::Grants: return "grants";
    case TFeature::PrivateSynonyms: return "private synonyms";
    case TFeature::PublicSynonyms: return "public synonyms";
    case TFeature::DatabaseLinks: return "database links";
    case TFeature::MultiLineComments: return "multi-line comments";
    case TFeature::ViewsOverLaterViews: return "views over views later in name order";
    case TFeature::PaddedTableComments: return "table comments with blanks at either end";
  }
  return "?";
}

std::string UsersScript(const TUsers& u) {
  return "CREATE USER " + u.owner + " IDENTIFIED BY " + u.ownerPassword + ";\n" +
         "GRANT CONNECT, RESOURCE, CREATE VIEW, CREATE SYNONYM, CREATE PUBLIC SYNONYM,\n"
         "  CREATE DATABASE LINK TO " + u.owner + ";\n" +
         "GRANT SELECT ON SYS.OBJ$ TO " + u.owner + ";\n" +
         "GRANT SELECT ON SYS.SYN$ TO " + u.owner + ";\n" +
         "GRANT SELECT ON SYS.USER$ TO " + u.owner + ";\n" +
         "CREATE USER " + u.peer + " IDENTIFIED BY " + u.peerPassword + ";\n" +
         "GRANT CONNECT TO " + u.peer + ";\n";
}

int TGeneratedSchema::ObjectCount() const {
  int n = 0;
  for (const auto& [kind, count] : objects) n += count;
  return n;
}

TGeneratedSchema GenerateSchema(uint32_t seed, const std::set<TFeature>& features) {
  return TGenerator(seed, features).Run();
}

}  // namespace skelvane::roundtrip
