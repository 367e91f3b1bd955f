#include "export/export_schema.h"

#include <string>

#include "common/text.h"
#include "dictionary/generated_columns.h"
#include "dictionary/grouped_lists.h"
#include "dictionary/per_object_source.h"
#include "dictionary/visible_columns.h"
#include "export/document_file.h"
#include "export/document_layout.h"
#include "export/export_target.h"
#include "sdb/document_vocabulary.h"

namespace skelvane {

using namespace sdb;

namespace {

using R = TDictionaryRead;

std::string IndexOrganizedNote(const std::string& table) {
  return "\t" + table + " is index-organized: written as an ordinary table with its primary key";
}

void ExportTables(TOperationHost& host, TDictionarySource& source, TDocumentLayout& doc) {
  // Held for the whole section, refilled per table: only one table's
  // records are in memory at a time.
  TIndexList indexes;
  TConstraintList constraints;

  TGeneratedColumns generated;
  generated.Read(source);

  doc.OpenSection(kSectionTables);
  host.WriteLog("tables:", false, false);
  for (const auto tables = source.Query(R::Tables); !tables->Eof(); tables->Next()) {
    // The overflow and mapping segments of an index-organized table come
    // with it; as tables of their own they would be copied as junk.
    const std::string iotType = Trimmed(tables->Value("iot_type"));
    if (IsIotSegment(iotType)) continue;
    const std::string table = doc.OpenTable(*tables);
    if (iotType == "IOT") host.WriteLog(IndexOrganizedNote(table), false, false);

    doc.OpenGroup(kGroupFields);
    host.WriteLog("\t" + table + " fields", false, false);
    {
      const auto fields = source.Query(R::TableColumns, table);
      for (TVisibleColumns columns(*fields); !columns.Eof(); columns.Next())
        doc.TableColumn(columns, generated.Clause(columns));
    }
    doc.CloseGroup();

    host.WriteLog("\tindexes", false, false);
    doc.OpenGroup(kGroupIndexes);
    {
      const auto indexRows = source.Query(R::TableIndexes, table);
      indexes.ClearItems();
      indexes.Fill(*indexRows);
    }
    for (int i = 0; i < indexes.Count(); ++i) doc.Index(indexes.Item(i));
    doc.CloseGroup();

    host.WriteLog("\tconstraints", false, false);
    doc.OpenGroup(kGroupConstraints);
    {
      const auto constraintRows = source.Query(R::TableConstraints, table);
      constraints.ClearItems();
      constraints.Fill(*constraintRows);
    }
    for (int i = 0; i < constraints.Count(); ++i) doc.Constraint(constraints.Item(i));
    doc.CloseGroup();
    doc.CloseObject();
  }
  doc.CloseSection();
}

void ExportSequences(TOperationHost& host, TDictionarySource& source, TDocumentLayout& doc) {
  host.WriteLog("sequences:", false, false);
  doc.OpenSection(kSectionSequences);
  for (const auto row = source.Query(R::Sequences); !row->Eof(); row->Next()) {
    // An identity's sequence comes back with its column.
    if (IsIdentitySequenceName(row->Value("sequence_name"))) continue;
    host.WriteLog(doc.Sequence(*row), true, false);
  }
  doc.CloseSection();
}

void ExportTriggers(TOperationHost& host, TDictionarySource& source, TDocumentLayout& doc) {
  host.WriteLog("triggers:", false, false);
  doc.OpenSection(kSectionTriggers);
  for (const auto row = source.Query(R::Triggers); !row->Eof(); row->Next())
    host.WriteLog(doc.Trigger(*row), true, false);
  doc.CloseSection();
}

// Functions and procedures share one source list; each section refills it.
void ExportRoutines(TOperationHost& host, TDictionarySource& source, TDictionaryRead read,
                    TFuncList& routines, const char* section, char node, TDocumentLayout& doc) {
  host.WriteLog(std::string(section) + ":", false, false);
  doc.OpenSection(section);
  routines.ClearItems();
  routines.Fill(*source.Query(read));
  for (int i = 0; i < routines.Count(); ++i) doc.Routine(node, routines.Item(i));
  doc.CloseSection();
}

void ExportViews(TOperationHost& host, TDictionarySource& source, TDocumentLayout& doc) {
  host.WriteLog("views:", false, false);
  doc.OpenSection(kSectionViews);
  for (const auto views = source.Query(R::Views); !views->Eof(); views->Next()) {
    const std::string view = doc.OpenView(*views);
    host.WriteLog(view, true, false);
    const auto fields = source.Query(R::TableColumns, view);
    for (TVisibleColumns columns(*fields); !columns.Eof(); columns.Next()) doc.ViewColumn(columns);
    doc.CloseGroup();
    doc.CloseObject();
  }
  doc.CloseSection();
}

void ExportSynonyms(TOperationHost& host, TDictionarySource& source, TDocumentLayout& doc) {
  host.WriteLog("synonyms:", false, false);
  doc.OpenSection(kSectionSynonyms);
  for (const auto row = source.Query(R::Synonyms); !row->Eof(); row->Next())
    host.WriteLog(doc.Synonym(*row), false, false);
  doc.CloseSection();
}

void ExportPrivileges(TOperationHost& host, TDictionarySource& source, TDocumentLayout& doc) {
  host.WriteLog("privileges:", false, false);
  doc.OpenSection(kSectionPrivileges);
  for (const auto row = source.Query(R::Privileges); !row->Eof(); row->Next())
    host.WriteLog(doc.Privilege(*row, PrivilegeText(*row)), false, false);
  doc.CloseSection();
}

void ExportDbLinks(TOperationHost& host, TDictionarySource& source, TDocumentLayout& doc) {
  host.WriteLog("db links:", false, false);
  doc.OpenSection(kSectionDbLinks);
  for (const auto row = source.Query(R::DbLinks); !row->Eof(); row->Next())
    host.WriteLog("\t" + doc.DbLink(*row), false, false);
  doc.CloseSection();
}

}  // namespace

void ExportSchema(TOperationHost& host, TDM& dm) {
  TPerObjectSource source(dm);
  ExportSchema(host, source);
}

void ExportSchema(TOperationHost& host, TDictionarySource& source) {
  TDocumentFile file(ExportTargetName(host.ExportFileName(), host.ProgramDirectory()));
  TDocumentLayout doc(file);
  host.WriteLog("begin reading...", true, false);
  doc.Header(host.UserNameText());

  ExportTables(host, source, doc);
  ExportSequences(host, source, doc);
  ExportTriggers(host, source, doc);
  {
    TFuncList routines;
    ExportRoutines(host, source, R::Functions, routines, kSectionFunctions, kNodeFunction, doc);
    ExportRoutines(host, source, R::Procedures, routines, kSectionProcedures, kNodeProcedure, doc);
  }
  ExportViews(host, source, doc);
  ExportSynonyms(host, source, doc);
  ExportPrivileges(host, source, doc);
  ExportDbLinks(host, source, doc);

  // Closed before the last log line, so a failed final flush is not
  // reported as a finished export.
  file.Close();
  host.WriteLog("end reading...", true, false);
}

}  // namespace skelvane
