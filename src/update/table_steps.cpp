#include "update/table_steps.h"

#include <string>

#include "common/text.h"
#include "dictionary/column_type_text.h"
#include "dictionary/visible_columns.h"
#include "sdb/document_vocabulary.h"
#include "sdb/entry.h"
#include "update/key_steps.h"

namespace skelvane {
namespace {

using oracle::TVariant;

bool LocateColumn(TRowSet& columns, const std::string& name) {
  return columns.Locate("column_name", TVariant(name));
}

// The names Oracle gives the hidden columns behind function-based indexes:
// documents written before hidden columns were left out may still list them.
bool IsSystemHiddenName(const std::string& name) {
  static const std::string kPrefix = "SYS_NC";
  if (name.size() < kPrefix.size() + 2 || name.compare(0, kPrefix.size(), kPrefix) != 0 ||
      name.back() != '$') {
    return false;
  }
  for (size_t i = kPrefix.size(); i + 1 < name.size(); ++i) {
    if (name[i] < '0' || name[i] > '9') return false;
  }
  return true;
}

// Hidden columns are Oracle's own (function-based indexes, unused columns):
// the compare neither checks nor adds them. Leaves `columns` on the column's
// row when it returns false and the column exists.
bool LeftOut(const std::string& name, TRowSet& columns, bool& located) {
  located = LocateColumn(columns, name);
  return IsSystemHiddenName(name) || (located && IsHiddenColumn(columns));
}

// A quote inside the comment would end the literal early.
std::string QuotedLiteral(const std::string& text) {
  std::string literal = "'";
  for (char ch : text) {
    literal += ch;
    if (ch == '\'') literal += '\'';
  }
  return literal + "'";
}

std::string ColumnClauses(const TFieldInfo& info, const std::string& notNullName = {}) {
  std::string text = info.Name + " " + info.Type;
  if (!info.Default.empty()) text += " DEFAULT " + info.Default;
  if (info.Null == "N") text += notNullName.empty() ? " NOT NULL" : " CONSTRAINT " + notNullName + " NOT NULL";
  return text;
}

// The name the document gives the enabled NOT NULL constraint of `column`,
// if it names it itself. Declared with the column under that name, the
// constraint is found by the constraint step instead of being made twice.
std::string NamedNotNull(const TTreeResult& table, const std::string& column) {
  const std::string condition = "\"" + column + "\" IS NOT NULL";
  TTreeResult entry;
  for (int i = 0; SelectInEntry(table, sdb::kGroupConstraints, i, {std::string(1, sdb::kNodeConstraint)}, entry);
       ++i) {
    if (GetEntryValue(entry, sdb::kKeyType) != "C" || Trimmed(GetEntryValue(entry, sdb::kKeyExpr)) != condition ||
        GetEntryValue(entry, sdb::kKeyStatus) == sdb::kStatusDisabled)
      continue;
    const std::string name = GetEntryValue(entry, sdb::kKeyName);
    if (!IsSystemConstraintName(name)) return name;
  }
  return {};
}

// The database's type text, or the document's when the document holds the
// rendering of earlier versions for this very column. A generated column's
// clause follows its type, as the export writes it.
std::string DatabaseTypeText(TRowSet& columns, const std::string& documentType, const std::string& generatedClause) {
  std::string current = ColumnTypeTextOfRow(columns);
  if (!generatedClause.empty()) return current + " " + generatedClause;
  if (current != documentType && LegacyColumnTypeTextOfRow(columns) == documentType) return documentType;
  return current;
}

}  // namespace

bool ReadFieldInfo(int index, const TTreeResult& object, TFieldInfo& info) {
  TTreeResult column;
  if (!SelectInEntry(object, sdb::kGroupFields, index, {std::string(1, sdb::kNodeColumn)}, column)) {
    return false;
  }
  info.Name = GetEntryValue(column, sdb::kKeyName);
  info.Type = GetEntryValue(column, sdb::kKeyType);
  info.Null = GetEntryValue(column, sdb::kKeyNull);
  info.Default = GetEntryValue(column, sdb::kKeyDefault);
  info.Comments = GetEntryValue(column, sdb::kKeyComments);
  return true;
}

bool ReportDifference(TCompareContext& c, const std::string& documentValue,
                      const std::string& databaseValue, bool flag) {
  if (documentValue == databaseValue) return flag;
  c.Log("\t\t" + documentValue + "=" + databaseValue);
  return true;
}

void CreateTable(TCompareContext& c, const std::string& table, const TTreeResult& list) {
  c.Host.WriteLog("table \"" + table + "\" not found!", true, false);
  std::string statement = "create table " + table + " (";
  bool first = true;
  TStatementEffect effect{TEffectKind::CreateTable, table};
  TFieldInfo info;
  for (int i = 0; ReadFieldInfo(i, list, info); ++i) {
    if (IsSystemHiddenName(info.Name)) continue;
    if (!first) statement += " , ";
    info.NotNullName = info.Null == "N" ? NamedNotNull(list, info.Name) : std::string();
    statement += ColumnClauses(info, info.NotNullName);
    first = false;
    effect.Columns.push_back(info);
  }
  statement += ")";
  c.Execute(statement, "\tCreate table \"" + table + "\"", effect);
}

void CheckFields(TCompareContext& c, const std::string& table, const TTreeResult& list, TRowSet& columns) {
  c.Log("\tCheck fields...");
  TFieldInfo info;
  for (int i = 0; ReadFieldInfo(i, list, info); ++i) {
    bool located = false;
    if (LeftOut(info.Name, columns, located)) continue;
    c.Log("\tCheck field \"" + info.Name + "\"");
    bool differs = false;
    if (located) {
      // All three are compared so that every differing attribute is logged.
      // A generated column's default is its generator, never the document's.
      const std::string generated = c.Generated.Clause(columns);
      differs = ReportDifference(c, info.Type, DatabaseTypeText(columns, info.Type, generated), differs);
      differs = ReportDifference(c, info.Null, columns.Value("nullable"), differs);
      const std::string databaseDefault = generated.empty() ? Trimmed(columns.Value("data_default")) : std::string();
      differs = ReportDifference(c, info.Default, databaseDefault, differs);
    } else {
      c.Log("\t\tnot found");
      differs = true;
    }
    if (differs) AlterField(c, table, info);
  }
}

void AlterField(TCompareContext& c, const std::string& table, const TFieldInfo& info) {
  c.Execute("ALTER TABLE " + c.Host.UserNameText() + "." + table + " ADD (" + ColumnClauses(info) + ")",
            "\t\t Alter field \"" + info.Name + "\"", {TEffectKind::AddColumn, table, {}, {}, {}, {}, {}, {info}});
}

void CheckComments(TCompareContext& c, const std::string& object, const TTreeResult& list,
                   const std::string& databaseComment, TRowSet& columns) {
  c.Log("\tCheck comments...");
  const std::string comment = GetEntryValue(list, sdb::kKeyComments);
  // The data set hands out the comment without its trailing blanks, so they
  // cannot count as a difference: the comment would be set again on every run.
  if (!comment.empty() && RightTrimmed(comment) != databaseComment) {
    c.Execute("COMMENT ON TABLE " + object + " IS " + QuotedLiteral(comment), "\t\tAdd comment ",
              {TEffectKind::CommentTable, object, {}, {}, comment});
  }
  TFieldInfo info;
  for (int i = 0; ReadFieldInfo(i, list, info); ++i) {
    bool located = false;
    if (LeftOut(info.Name, columns, located)) continue;
    c.Log("\tCheck comment for \"" + info.Name + "\"");
    if (!located) continue;
    const std::string current = Trimmed(columns.Value("comments"));
    if (!info.Comments.empty() && info.Comments != current) {
      c.Execute("COMMENT ON COLUMN " + object + "." + info.Name + " IS " + QuotedLiteral(info.Comments),
                "\t\tAdd comment ", {TEffectKind::CommentColumn, object, info.Name, {}, info.Comments});
    }
  }
}

}  // namespace skelvane
