#include "export/export_schema.h"

#include <string>

#include "dictionary/grouped_lists.h"
#include "dictionary/row_sources.h"
#include "dictionary/visible_columns.h"
#include "export/document_file.h"
#include "export/document_layout.h"
#include "export/export_target.h"
#include "sdb/document_vocabulary.h"

namespace skelvane {

using namespace sdb;

namespace {

using oracle::TOracleQuery;

void ExecuteFor(TOracleQuery& query, const std::string& tableName) {
  query.AssignVariable("table_name", tableName);
  query.Execute();
}

void ExportTables(TOperationHost& host, TDM& dm, TDocumentLayout& doc) {
  // Held for the whole section, refilled per table: only one table's
  // records are in memory at a time.
  TIndexList indexes;
  TConstraintList constraints;
  TQueryRows tables(dm.Q_Tables);
  TQueryRows fields(dm.Q_TableFields);
  TQueryRows indexRows(dm.Q_TableIndexes);
  TQueryRows constraintRows(dm.Q_TableConstraints);

  doc.OpenSection(kSectionTables);
  host.WriteLog("tables:", false, false);
  dm.Q_Tables.Execute();
  for (; !tables.Eof(); tables.Next()) {
    const std::string table = doc.OpenTable(tables);

    doc.OpenGroup(kGroupFields);
    host.WriteLog("\t" + table + " fields", false, false);
    ExecuteFor(dm.Q_TableFields, table);
    for (TVisibleColumns columns(fields); !columns.Eof(); columns.Next()) doc.TableColumn(columns);
    doc.CloseGroup();

    host.WriteLog("\tindexes", false, false);
    doc.OpenGroup(kGroupIndexes);
    ExecuteFor(dm.Q_TableIndexes, table);
    indexes.ClearItems();
    indexes.Fill(indexRows);
    for (int i = 0; i < indexes.Count(); ++i) doc.Index(indexes.Item(i));
    doc.CloseGroup();

    host.WriteLog("\tconstraints", false, false);
    doc.OpenGroup(kGroupConstraints);
    ExecuteFor(dm.Q_TableConstraints, table);
    constraints.ClearItems();
    constraints.Fill(constraintRows);
    for (int i = 0; i < constraints.Count(); ++i) doc.Constraint(constraints.Item(i));
    doc.CloseGroup();
    doc.CloseObject();
  }
  doc.CloseSection();
}

void ExportSequences(TOperationHost& host, TDM& dm, TDocumentLayout& doc) {
  host.WriteLog("sequences:", false, false);
  doc.OpenSection(kSectionSequences);
  TQueryRows row(dm.Q_Sequences);
  dm.Q_Sequences.Execute();
  for (; !row.Eof(); row.Next()) host.WriteLog(doc.Sequence(row), true, false);
  doc.CloseSection();
}

void ExportTriggers(TOperationHost& host, TDM& dm, TDocumentLayout& doc) {
  host.WriteLog("triggers:", false, false);
  doc.OpenSection(kSectionTriggers);
  TQueryRows row(dm.Q_Triggers);
  dm.Q_Triggers.Execute();
  for (; !row.Eof(); row.Next()) host.WriteLog(doc.Trigger(row), true, false);
  doc.CloseSection();
}

// Functions and procedures share one source list; each section refills it.
void ExportRoutines(TOperationHost& host, TOracleQuery& query, TFuncList& routines,
                    const char* section, char node, TDocumentLayout& doc) {
  host.WriteLog(std::string(section) + ":", false, false);
  doc.OpenSection(section);
  query.Execute();
  routines.ClearItems();
  TQueryRows rows(query);
  routines.Fill(rows);
  for (int i = 0; i < routines.Count(); ++i) doc.Routine(node, routines.Item(i));
  doc.CloseSection();
}

void ExportViews(TOperationHost& host, TDM& dm, TDocumentLayout& doc) {
  host.WriteLog("views:", false, false);
  doc.OpenSection(kSectionViews);
  TQueryRows views(dm.Q_Views);
  TQueryRows fields(dm.Q_TableFields);
  dm.Q_Views.Execute();
  for (; !views.Eof(); views.Next()) {
    const std::string view = doc.OpenView(views);
    host.WriteLog(view, true, false);
    ExecuteFor(dm.Q_TableFields, view);
    for (TVisibleColumns columns(fields); !columns.Eof(); columns.Next()) doc.ViewColumn(columns);
    doc.CloseGroup();
    doc.CloseObject();
  }
  doc.CloseSection();
}

void ExportSynonyms(TOperationHost& host, TDM& dm, TDocumentLayout& doc) {
  host.WriteLog("synonyms:", false, false);
  doc.OpenSection(kSectionSynonyms);
  TQueryRows row(dm.Q_Synonyms);
  dm.Q_Synonyms.Execute();
  for (; !row.Eof(); row.Next()) host.WriteLog(doc.Synonym(row), false, false);
  doc.CloseSection();
}

void ExportPrivileges(TOperationHost& host, TDM& dm, TDocumentLayout& doc) {
  host.WriteLog("privileges:", false, false);
  doc.OpenSection(kSectionPrivileges);
  TQueryRows row(dm.Q_Privileges);
  dm.Q_Privileges.Execute();
  for (; !row.Eof(); row.Next()) {
    host.WriteLog(doc.Privilege(row, PrivilegeText(row)), false, false);
  }
  doc.CloseSection();
}

void ExportDbLinks(TOperationHost& host, TDM& dm, TDocumentLayout& doc) {
  host.WriteLog("db links:", false, false);
  doc.OpenSection(kSectionDbLinks);
  TQueryRows row(dm.Q_DbLink);
  dm.Q_DbLink.Execute();
  for (; !row.Eof(); row.Next()) host.WriteLog("\t" + doc.DbLink(row), false, false);
  doc.CloseSection();
}

}  // namespace

void ExportSchema(TOperationHost& host, TDM& dm) {
  TDocumentFile file(ExportTargetName(host.ExportFileName(), host.ProgramDirectory()));
  TDocumentLayout doc(file);
  host.WriteLog("begin reading...", true, false);
  doc.Header(host.UserNameText());

  ExportTables(host, dm, doc);
  ExportSequences(host, dm, doc);
  ExportTriggers(host, dm, doc);
  {
    TFuncList routines;
    ExportRoutines(host, dm.Q_Functions, routines, kSectionFunctions, kNodeFunction, doc);
    ExportRoutines(host, dm.Q_Procedures, routines, kSectionProcedures, kNodeProcedure, doc);
  }
  ExportViews(host, dm, doc);
  ExportSynonyms(host, dm, doc);
  ExportPrivileges(host, dm, doc);
  ExportDbLinks(host, dm, doc);

  // Closed before the last log line, so a failed final flush is not
  // reported as a finished export.
  file.Close();
  host.WriteLog("end reading...", true, false);
}

}  // namespace skelvane
