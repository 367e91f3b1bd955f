// What a compare statement does to the schema, told by the step that composed
// it, so that a plan can apply it to a snapshot without parsing SQL.
#ifndef SKELVANE_UPDATE_STATEMENT_EFFECT_H
#define SKELVANE_UPDATE_STATEMENT_EFFECT_H

#include <string>
#include <vector>

namespace skelvane {

// One column as the document states it; empty texts for missing entries.
struct TFieldInfo {
  std::string Name{};
  std::string Type{};
  std::string Null{};
  std::string Default{};
  std::string Comments{};
  // Effects only: the name a created column's NOT NULL check is given ("" for a system name).
  std::string NotNullName{};
};

enum class TEffectKind {
  None,
  CreateTable,      // Object, Columns
  AddColumn,        // Object, Columns (one)
  CommentTable,     // Object (table or view), Text
  CommentColumn,    // Object, Name (column), Text
  CreateIndex,      // Object (table), Name (index), Type (uniqueness), Text (columns)
  DropIndex,        // Object (table), Name
  AddConstraint,    // Object (table), Name, Type, Text (condition), Columns' names, Reference,
                    // Disabled
  CreateSequence,   // Name
  ReplaceTrigger,   // Name, Text (description and body as the document holds them)
  DisableTrigger,   // Name
  ReplaceFunction,  // Name, Text (source)
  ReplaceProcedure, // Name, Text
  ReplaceView,      // Name, Text (query), Columns' names
  Grant,            // Object, Name (grantee), Text (keywords)
  Revoke,           // Object, Name (grantee), Text (keywords)
  CreateSynonym,    // Object, Name (synonym), Type (grantee: "" or PUBLIC)
  DropDbLink,       // Name
  CreateDbLink,     // Name, Columns[0]: Name user, Type password, Default host
};

struct TStatementEffect {
  TEffectKind Kind = TEffectKind::None;
  std::string Object{};
  std::string Name{};
  std::string Type{};
  std::string Text{};
  std::string Reference{};  // foreign keys: "(cols) REFERENCES table (cols)"
  std::string IndexName{};  // primary and unique keys: the index they use
  std::vector<TFieldInfo> Columns{};
  bool Disabled = false;    // constraints added with DISABLE
};

}  // namespace skelvane

#endif
