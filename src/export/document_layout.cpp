#include "export/document_layout.h"

#include "common/text.h"
#include "dictionary/column_type_text.h"
#include "sdb/document_vocabulary.h"

namespace skelvane {

using namespace sdb;

void TDocumentLayout::Leaf(int depth, std::string_view key, std::string_view value) {
  line_.assign(static_cast<size_t>(depth), '\t');
  line_ += '{';
  line_ += key;
  line_ += ' ';
  line_ += value;
  line_ += '}';
  Line(line_);
}

void TDocumentLayout::OpenNode(int depth, char node) {
  line_.assign(static_cast<size_t>(depth), '\t');
  line_ += '{';
  line_ += node;
  line_ += ' ';
  Line(line_);
}

void TDocumentLayout::OpenBlock(int depth, std::string_view key) {
  line_.assign(static_cast<size_t>(depth), '\t');
  line_ += '{';
  line_ += key;
  Line(line_);
}

void TDocumentLayout::CloseAt(int depth) {
  line_.assign(static_cast<size_t>(depth), '\t');
  line_ += '}';
  Line(line_);
}

void TDocumentLayout::Header(const std::string& user) {
  OpenBlock(0, kSectionShema);
  Leaf(1, kKeyName, user);
  CloseAt(0);
}

void TDocumentLayout::OpenSection(std::string_view section) {
  line_.assign(1, '{');
  line_ += section;
  line_ += ' ';
  Line(line_);
}

void TDocumentLayout::CloseSection() { CloseAt(0); }

void TDocumentLayout::CloseObject() { CloseAt(1); }

void TDocumentLayout::OpenGroup(std::string_view group) { OpenBlock(2, group); }

void TDocumentLayout::CloseGroup() { CloseAt(2); }

std::string TDocumentLayout::OpenTable(const TRowSource& table) {
  std::string name = table.Value("table_name");
  OpenNode(1, kNodeTable);
  Leaf(2, kKeyName, name);
  const std::string comment = table.Value("comments");
  if (!comment.empty()) Leaf(2, kKeyComments, comment);
  return name;
}

void TDocumentLayout::TableColumn(const TRowSource& column, std::string_view generatedClause) {
  OpenNode(3, kNodeColumn);
  Leaf(4, kKeyName, column.Value("column_name"));
  std::string type = ColumnTypeTextOfRow(column);
  if (!generatedClause.empty()) {
    type += ' ';
    type += generatedClause;
  }
  Leaf(4, kKeyType, type);
  Leaf(4, kKeyNull, column.Value("nullable"));
  const std::string defaultValue = generatedClause.empty() ? Trimmed(column.Value("data_default")) : std::string();
  if (!defaultValue.empty()) Leaf(4, kKeyDefault, defaultValue);
  const std::string comment = Trimmed(column.Value("comments"));
  if (!comment.empty()) Leaf(4, kKeyComments, comment);
  CloseAt(3);
}

void TDocumentLayout::Index(const TIndexData& index) {
  OpenNode(3, kNodeIndex);
  Leaf(4, kKeyName, index.IndexName);
  Leaf(4, kKeyUniqueness, index.Uniqueness);
  Leaf(4, kKeyColumns, index.Columns);
  CloseAt(3);
}

void TDocumentLayout::Constraint(const TConstraintData& constraint) {
  OpenNode(3, kNodeConstraint);
  Leaf(4, kKeyName, constraint.ConstraintName);
  Leaf(4, kKeyType, constraint.ConstraintType);
  Leaf(4, kKeyIndex, constraint.IndexName);
  Leaf(4, kKeyExpr, constraint.SearchCondition);
  Leaf(4, kKeyRef, constraint.ConstraintType == "R" ? std::string_view(constraint.Reference)
                                                    : std::string_view());
  Leaf(4, kKeyStatus, constraint.Status);
  CloseAt(3);
}

std::string TDocumentLayout::Sequence(const TRowSource& sequence) {
  std::string name = sequence.Value("sequence_name");
  OpenNode(1, kNodeSequence);
  Leaf(2, kKeyName, name);
  Leaf(2, kKeyIncrementBy, sequence.Value("increment_by"));
  Leaf(2, kKeyLastNumber, sequence.Value("last_number"));
  Leaf(2, kKeyMinValue, sequence.Value("min_value"));
  Leaf(2, kKeyMaxValue, sequence.Value("max_value"));
  Leaf(2, kKeyCycle, sequence.Value("cycle_flag"));
  Leaf(2, kKeyOrder, sequence.Value("order_flag"));
  Leaf(2, kKeyCache, sequence.Value("cache_size"));
  CloseAt(1);
  return name;
}

std::string TDocumentLayout::Trigger(const TRowSource& trigger) {
  std::string name = trigger.Value("trigger_name");
  OpenNode(1, kNodeTrigger);
  Leaf(2, kKeyName, name);
  OpenBlock(2, kKeyTriggerBody);
  std::string source = trigger.Value("description");
  source += trigger.Value("trigger_body");
  Line(RightTrimmed(source));
  CloseAt(2);
  if (trigger.Value("status") == kStatusDisabled) Leaf(2, kKeyStatus, kStatusDisabled);
  CloseAt(1);
  return name;
}

void TDocumentLayout::Routine(char node, const TFuncData& routine) {
  OpenNode(1, node);
  Leaf(2, kKeyName, routine.Name);
  OpenBlock(2, kKeyText);
  Line(routine.Text);
  CloseAt(2);
  CloseAt(1);
}

std::string TDocumentLayout::OpenView(const TRowSource& view) {
  std::string name = view.Value("view_name");
  OpenNode(1, kNodeView);
  Leaf(2, kKeyName, name);
  OpenBlock(2, kKeyText);
  Line(view.Value("text"));
  CloseAt(2);
  const std::string comment = view.Value("comments");
  if (!comment.empty()) Leaf(2, kKeyComments, comment);
  OpenGroup(kGroupFields);
  return name;
}

void TDocumentLayout::ViewColumn(const TRowSource& column) {
  OpenNode(3, kNodeColumn);
  Leaf(4, kKeyName, column.Value("column_name"));
  const std::string comment = Trimmed(column.Value("comments"));
  if (!comment.empty()) Leaf(4, kKeyComments, comment);
  CloseAt(3);
}

std::string TDocumentLayout::Synonym(const TRowSource& synonym) {
  std::string target = synonym.Value("o_name");
  OpenNode(1, kNodeSynonym);
  Leaf(2, kKeyObject, target);
  Leaf(2, kKeyName, synonym.Value("s_name"));
  Leaf(2, kKeyGrantee, synonym.Value("grantee"));
  CloseAt(1);
  return target;
}

std::string TDocumentLayout::Privilege(const TRowSource& grant, const std::string& privileges) {
  std::string object = grant.Value("table_name");
  OpenNode(1, kNodePrivilege);
  Leaf(2, kKeyObject, object);
  Leaf(2, kKeyPriv, privileges);
  Leaf(2, kKeyGrantee, grant.Value("grantee"));
  CloseAt(1);
  return object;
}

std::string TDocumentLayout::DbLink(const TRowSource& link) {
  std::string name = link.Value("db_link");
  OpenNode(1, kNodeDbLink);
  Leaf(2, kKeyDbLink, name);
  Leaf(2, kKeyUsername, link.Value("username"));
  Leaf(2, kKeyPassword, link.Value("password"));
  Leaf(2, kKeyHost, link.Value("host"));
  CloseAt(1);
  return name;
}

}  // namespace skelvane
