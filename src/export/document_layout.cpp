#include "export/document_layout.h"

#include "dictionary/column_type_text.h"
#include "common/text.h"

namespace skelvane {

std::string LeafLine(int depth, std::string_view key, std::string_view value) {
  std::string line(static_cast<size_t>(depth), '\t');
  line += '{';
  line += key;
  line += ' ';
  line += value;
  line += '}';
  return line;
}

std::string FieldLine(int depth, const TRowSource& row, const std::string& key,
                      const std::string& column) {
  return LeafLine(depth, key, row.Value(column.empty() ? key : column));
}

void TDocumentLayout::Leaf(int depth, std::string_view key, std::string_view value) {
  line_.assign(static_cast<size_t>(depth), '\t');
  line_ += '{';
  line_ += key;
  line_ += ' ';
  line_ += value;
  line_ += '}';
  Line(line_);
}

void TDocumentLayout::Header(const std::string& user) {
  Line("{shema");
  Leaf(1, "name", user);
  Line("}");
}

void TDocumentLayout::OpenSection(std::string_view section) {
  line_.assign("{");
  line_ += section;
  line_ += ' ';
  Line(line_);
}

void TDocumentLayout::CloseSection() { Line("}"); }

void TDocumentLayout::CloseObject() { Line("\t}"); }

void TDocumentLayout::OpenGroup(std::string_view group) {
  line_.assign("\t\t{");
  line_ += group;
  Line(line_);
}

void TDocumentLayout::CloseGroup() { Line("\t\t}"); }

std::string TDocumentLayout::OpenTable(const TRowSource& table) {
  std::string name = table.Value("table_name");
  Line("\t{t ");
  Leaf(2, "name", name);
  const std::string comment = table.Value("comments");
  if (!comment.empty()) Leaf(2, "comments", comment);
  return name;
}

void TDocumentLayout::TableColumn(const TRowSource& column) {
  Line("\t\t\t{f ");
  Line(FieldLine(4, column, "name", "column_name"));
  Leaf(4, "type", ColumnTypeTextOfRow(column));
  Leaf(4, "null", column.Value("nullable"));
  const std::string defaultValue = Trimmed(column.Value("data_default"));
  if (!defaultValue.empty()) Leaf(4, "default", defaultValue);
  const std::string comment = Trimmed(column.Value("comments"));
  if (!comment.empty()) Leaf(4, "comments", comment);
  Line("\t\t\t}");
}

void TDocumentLayout::Index(const TIndexData& index) {
  Line("\t\t\t{i ");
  Leaf(4, "name", index.IndexName);
  Leaf(4, "uniqueness", index.Uniqueness);
  Leaf(4, "columns", index.Columns);
  Line("\t\t\t}");
}

void TDocumentLayout::Constraint(const TConstraintData& constraint) {
  Line("\t\t\t{i ");
  Leaf(4, "name", constraint.ConstraintName);
  Leaf(4, "type", constraint.ConstraintType);
  Leaf(4, "index", constraint.IndexName);
  Leaf(4, "expr", constraint.SearchCondition);
  if (constraint.ConstraintType == "R") {
    Leaf(4, "ref", constraint.Reference);
  } else {
    Line("\t\t\t\t{ref }");
  }
  Leaf(4, "status", constraint.Status);
  Line("\t\t\t}");
}

std::string TDocumentLayout::Sequence(const TRowSource& sequence) {
  std::string name = sequence.Value("sequence_name");
  Line("\t{s ");
  Leaf(2, "name", name);
  Line(FieldLine(2, sequence, "increment_by"));
  Line(FieldLine(2, sequence, "last_number"));
  Line(FieldLine(2, sequence, "min_value"));
  Line(FieldLine(2, sequence, "max_value"));
  Line(FieldLine(2, sequence, "cycle", "cycle_flag"));
  Line(FieldLine(2, sequence, "order", "order_flag"));
  Line(FieldLine(2, sequence, "cache", "cache_size"));
  Line("\t}");
  return name;
}

std::string TDocumentLayout::Trigger(const TRowSource& trigger) {
  std::string name = trigger.Value("trigger_name");
  Line("\t{t ");
  Leaf(2, "name", name);
  Line("\t\t{trigger_body");
  std::string source = trigger.Value("description");
  source += trigger.Value("trigger_body");
  Line(RightTrimmed(source));
  Line("\t\t}");
  Line("\t}");
  return name;
}

void TDocumentLayout::Routine(std::string_view opener, const TFuncData& routine) {
  line_.assign("\t{");
  line_ += opener;
  line_ += ' ';
  Line(line_);
  Leaf(2, "name", routine.Name);
  Line("\t\t{text");
  Line(routine.Text);
  Line("\t\t}");
  Line("\t}");
}

std::string TDocumentLayout::OpenView(const TRowSource& view) {
  std::string name = view.Value("view_name");
  Line("\t{v ");
  Leaf(2, "name", name);
  Line("\t\t{text");
  Line(view.Value("text"));
  Line("\t\t}");
  const std::string comment = view.Value("comments");
  if (!comment.empty()) Leaf(2, "comments", comment);
  OpenGroup("fields");
  return name;
}

void TDocumentLayout::ViewColumn(const TRowSource& column) {
  Line("\t\t\t{f ");
  Line(FieldLine(4, column, "name", "column_name"));
  const std::string comment = Trimmed(column.Value("comments"));
  if (!comment.empty()) Leaf(4, "comments", comment);
  Line("\t\t\t}");
}

std::string TDocumentLayout::Synonym(const TRowSource& synonym) {
  std::string target = synonym.Value("o_name");
  Line("\t{s ");
  Leaf(2, "object", target);
  Leaf(2, "name", synonym.Value("s_name"));
  Leaf(2, "grantee", synonym.Value("grantee"));
  Line("\t}");
  return target;
}

std::string TDocumentLayout::Privilege(const TRowSource& grant, const std::string& privileges) {
  std::string object = grant.Value("table_name");
  Line("\t{p ");
  Leaf(2, "object", object);
  Leaf(2, "priv", privileges);
  Leaf(2, "grantee", grant.Value("grantee"));
  Line("\t}");
  return object;
}

std::string TDocumentLayout::DbLink(const TRowSource& link) {
  std::string name = link.Value("db_link");
  Line("\t{d ");
  Leaf(2, "db_link", name);
  Leaf(2, "username", link.Value("username"));
  Leaf(2, "password", link.Value("password"));
  Leaf(2, "host", link.Value("host"));
  Line("\t}");
  return name;
}

}  // namespace skelvane
