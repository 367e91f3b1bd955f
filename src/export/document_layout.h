// The layout of one user's schema inside a schema document: which lines the
// export writes, in which order, with which keys and indentation.
//
// Section names, node letters and keys are spelled from sdb's document
// vocabulary, which the compare reads with.
//
// Every line goes to a TLineSink, which ends it with CR LF. Indentation is one
// TAB per depth. Values are written exactly as the dictionary delivers them:
// no quoting, no escaping and no trimming except where noted per element.
// Values holding "{", "}", TABs, empty lines or lines starting with "//" do
// not read back unchanged; the format has no escape for them.
#ifndef SKELVANE_EXPORT_DOCUMENT_LAYOUT_H
#define SKELVANE_EXPORT_DOCUMENT_LAYOUT_H

#include <string>
#include <string_view>

#include "dictionary/grouped_lists.h"
#include "export/line_sink.h"

namespace skelvane {

// Writes the layout element by element. Rows are read by their lower-case
// dictionary column names. Methods that take a row return the object's name
// as the export logs it.
class TDocumentLayout {
 public:
  explicit TDocumentLayout(TLineSink& out) : out_(out) {}

  // "{shema", "\t{name " + user + "}", "}". The user name as the caller gives it.
  void Header(const std::string& user);

  // "{" + section + " " and its closing "}".
  void OpenSection(std::string_view section);
  void CloseSection();

  // "\t}", closing a table or view.
  void CloseObject();

  // Group nodes of a table or view ("fields", "indexes", "constraints"):
  // "\t\t{" + group, and "\t\t}".
  void OpenGroup(std::string_view group);
  void CloseGroup();

  // "\t{t ", the name, and the comment when it is not empty (not trimmed).
  // Row of the tables query; returns "table_name".
  std::string OpenTable(const TRowSource& table);

  // One "\t\t\t{f " entry of a table's "fields": name, type, null flag, and
  // default and comment when not empty after trimming (then written trimmed).
  // A generated column's clause (see generated_columns.h) follows its type
  // after one blank, and its default is left out.
  void TableColumn(const TRowSource& column, std::string_view generatedClause = {});

  void Index(const TIndexData& index);
  // "ref" carries the reference text only for a foreign key (type exactly
  // "R"), with its delete rule and deferrability; every other constraint
  // gets the bare "{ref }" leaf.
  void Constraint(const TConstraintData& constraint);

  // A whole sequence entry; returns "sequence_name".
  std::string Sequence(const TRowSource& sequence);

  // A whole trigger entry; the body is "description" directly followed by
  // "trigger_body", right-trimmed, written as one piece, then "{status
  // DISABLED}" for a disabled trigger only. Returns "trigger_name".
  std::string Trigger(const TRowSource& trigger);

  // A whole function (node 'f') or procedure (node 'p') entry; the source is
  // written as one piece, untrimmed.
  void Routine(char node, const TFuncData& routine);

  // "\t{v ", the name, the query text as one piece, the comment when not
  // empty, and the opening of "fields". Returns "view_name".
  std::string OpenView(const TRowSource& view);
  // One "\t\t\t{f " entry of a view's "fields": name, and the comment when
  // not empty after trimming.
  void ViewColumn(const TRowSource& column);

  // Whole entries of the last three sections; each returns the value the
  // export logs ("o_name", "table_name", "db_link").
  std::string Synonym(const TRowSource& synonym);
  std::string Privilege(const TRowSource& grant, const std::string& privileges);
  std::string DbLink(const TRowSource& link);

 private:
  void Line(std::string_view text) { out_.WriteLine(text); }
  // depth TABs, "{", the key, one blank, the value, "}".
  void Leaf(int depth, std::string_view key, std::string_view value);
  // depth TABs, "{", the node letter, one blank: an object node's opener.
  void OpenNode(int depth, char node);
  // depth TABs, "{", the key, nothing after it: a group or a block of text.
  void OpenBlock(int depth, std::string_view key);
  void CloseAt(int depth);

  TLineSink& out_;
  std::string line_;  // reused so long exports do not allocate per line
};

}  // namespace skelvane

#endif
