// A compact way to write down a dictionary view column by column.
#ifndef ORAEMU_DICTIONARY_BUILDER_H
#define ORAEMU_DICTIONARY_BUILDER_H

#include <string>
#include <utility>
#include <vector>

#include "engine/dictionary_views.h"

namespace oraemu::dict {

class ViewBuilder {
 public:
  ViewBuilder(std::string name, std::string from, bool publicSynonym = true) {
    view_.owner = "SYS";
    view_.name = std::move(name);
    view_.from = std::move(from);
    view_.publicSynonym = publicSynonym;
  }

  enum Null { kNullable, kNotNull };

  // VARCHAR2(size)
  ViewBuilder& Vc(const char* name, int size, std::string expr, Null n = kNullable) {
    ColumnDesc d;
    d.type = 1;
    d.size = static_cast<uint16_t>(size);
    d.charSize = static_cast<uint16_t>(size);
    return Add(name, d, std::move(expr), n);
  }
  // NUMBER without precision, as every dictionary number column is.
  ViewBuilder& Num(const char* name, std::string expr, Null n = kNullable) {
    ColumnDesc d;
    d.type = 2;
    d.size = 22;
    d.precision = 0;
    d.scale = -127;
    return Add(name, d, std::move(expr), n);
  }
  ViewBuilder& Date(const char* name, std::string expr, Null n = kNullable) {
    ColumnDesc d;
    d.type = 12;
    d.size = 7;
    return Add(name, d, std::move(expr), n);
  }
  ViewBuilder& Long(const char* name, std::string expr) {
    ColumnDesc d;
    d.type = 8;
    d.size = 0;
    return Add(name, d, std::move(expr), kNullable);
  }
  ViewBuilder& Raw(const char* name, int size, std::string expr) {
    ColumnDesc d;
    d.type = 23;
    d.size = static_cast<uint16_t>(size);
    return Add(name, d, std::move(expr), kNullable);
  }

  // A hidden key column (see ViewColumn).
  ViewBuilder& Key(const char* name, std::string expr) {
    ColumnDesc d;
    d.type = 2;
    d.size = 22;
    Add(name, d, std::move(expr), kNotNull);
    view_.columns.back().hidden = true;
    return *this;
  }
  // Gives the last column a lookup through the key column `key`.
  ViewBuilder& Lookup(const char* key, std::string sql, bool unique = false) {
    view_.columns.back().lookupKey = key;
    view_.columns.back().lookup = std::move(sql);
    view_.columns.back().lookupUnique = unique;
    return *this;
  }

  View Build() && { return std::move(view_); }

 private:
  ViewBuilder& Add(const char* name, ColumnDesc d, std::string expr, Null n) {
    d.name = name;
    d.nullable = n == kNullable;
    ViewColumn c;
    c.name = name;
    c.desc = d;
    c.expr = std::move(expr);
    view_.columns.push_back(std::move(c));
    return *this;
  }
  View view_;
};

// The groups of views, one function per file.
void AddTableViews(std::vector<View>& out);     // tables, columns, comments
void AddKeyViews(std::vector<View>& out);       // indexes, constraints
void AddCodeViews(std::vector<View>& out);      // sequences, triggers, source, views
void AddAccessViews(std::vector<View>& out);    // privileges, synonyms, links, objects, users
void AddSysTables(std::vector<View>& out);      // SYS.OBJ$, SYN$, USER$, DUAL

// The views' filters write "+o.type": the unary plus keeps SQLite from
// reaching the user's objects through the index on TYPE# (every user's
// objects of that type) instead of the index on the owner.

// Lookup (see ViewColumn) of the tables and views named "{}" of any owner.
inline constexpr const char* kTableByName =
    "SELECT x.obj_id FROM objects x WHERE x.owner_id IN (SELECT u.user_id FROM users u) "
    "AND x.namespace = 1 AND x.name = {}";

// SQLite expression for a number the storage keeps as decimal text: a
// number where SQLite holds it exactly (so that it compares as a number),
// the text itself where it is too long for that.
inline std::string ExactNumber(const std::string& expr) {
  return "CASE WHEN length(" + expr + ") <= 15 THEN CAST(" + expr + " AS NUMERIC) ELSE " + expr + " END";
}

// SQLite expression: the first 4000 bytes of a text, as the *_VC twins of
// LONG columns hold it.
inline std::string First4000(const std::string& expr) {
  return "CAST(substr(CAST(" + expr + " AS BLOB), 1, 4000) AS TEXT)";
}

}  // namespace oraemu::dict

#endif
