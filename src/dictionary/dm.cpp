#include "dictionary/dm.h"

#include <string>
#include <vector>

#include "common/messages.h"
#include "dictionary/dm_sql.h"
#include "oracle/oracle_error.h"
#include "oracle/variables.h"

namespace skelvane {

std::unique_ptr<TDM> DM;

TDM& CreateDM() {
  if (!DM) DM = std::make_unique<TDM>();
  return *DM;
}

namespace {

void Prepare(oracle::TOracleQuery& query, const char* name, oracle::TOracleSession& session,
             const std::vector<std::string>& sql, const char* variable = nullptr) {
  query.Name = name;
  query.Session = &session;
  query.SetSQL(sql);
  if (variable) query.AddVariable(variable, oracle::otString);
}

void Prepare(oracle::TOracleDataSet& dataSet, const char* name, oracle::TOracleSession& session,
             const std::vector<std::string>& sql, const char* variable = nullptr) {
  dataSet.Name = name;
  dataSet.SetSession(&session);
  dataSet.SetSQL(sql);
  if (variable) dataSet.AddVariable(variable, oracle::otString);
}

}  // namespace

TDM::TDM() {
  using namespace dm_sql;
  auto& s = OracleSession1;
  Prepare(Q_Tables, "Q_Tables", s, kTables);
  Prepare(Q_TableFields, "Q_TableFields", s, kTableFields, ":TABLE_NAME");
  Prepare(Q_Sequences, "Q_Sequences", s, kSequences);
  Prepare(Q_Triggers, "Q_Triggers", s, kTriggers);
  Prepare(Q_TableIndexes, "Q_TableIndexes", s, kTableIndexes, ":TABLE_NAME");
  Prepare(Q_TableConstraints, "Q_TableConstraints", s, kTableConstraints, ":TABLE_NAME");
  Prepare(Q_Functions, "Q_Functions", s, kFunctions);
  Prepare(Q_Procedures, "Q_Procedures", s, kProcedures);
  Prepare(oDS_TableFields, "oDS_TableFields", s, kTableFields, ":TABLE_NAME");
  Q_Another.Name = "Q_Another";
  Q_Another.Session = &s;
  Prepare(Q_Privileges, "Q_Privileges", s, kPrivileges);
  Prepare(Q_Synonyms, "Q_Synonyms", s, kSynonyms);
  Prepare(oDS_Privileges, "oDS_Privileges", s, kPrivilegesDataSet);
  Prepare(oDS_Synonyms, "oDS_Synonyms", s, kSynonymsDataSet);
  Prepare(oDS_Indexes, "oDS_Indexes", s, kTableIndexes, ":TABLE_NAME");
  Prepare(oDS_Constraints, "oDS_Constraints", s, kTableConstraints, ":TABLE_NAME");
  Prepare(oDS_Tables, "oDS_Tables", s, kOneTable, ":TABLE_NAME");
  Prepare(oDS_Sequences, "oDS_Sequences", s, kSequences);
  Prepare(Q_Trigger2, "Q_Trigger2", s, kOneTrigger, ":TRIGGER_NAME");
  Prepare(Q_Function2, "Q_Function2", s, kOneFunction, ":NAME");
  Prepare(Q_Procedure2, "Q_Procedure2", s, kOneProcedure, ":NAME");
  Prepare(Q_DbLink, "Q_DbLink", s, kDbLinks);
  Prepare(oDS_DbLink, "oDS_DbLink", s, kDbLinks);
  Prepare(Q_Views, "Q_Views", s, kViews);
  Prepare(Q_View2, "Q_View2", s, kOneView, ":VIEW_NAME");
  Prepare(Q_IdentityColumns, "Q_IdentityColumns", s, kIdentityColumns);
  Prepare(Q_VirtualColumns, "Q_VirtualColumns", s, kVirtualColumns);
}

void TDM::ExecuteStatement(TOperationHost& host, const std::string& statement,
                           const std::string& successMessage) {
  // One line even when the statement holds line breaks: the text goes to the
  // server exactly as the caller composed it.
  Q_Another.SetSQL({statement});
  try {
    Q_Another.Execute();
  } catch (const oracle::EOracleError& e) {
    // A dropped connection is no refusal: every later statement would fail
    // too, and the run would end as if done. The operation frame reports it.
    if (oracle::IsConnectionLost(e.ErrorCode())) throw;
    ++RejectedStatements;
    std::string line(messages::kQueryError);
    line += messages::kQueryErrorLine;
    line += std::to_string(Q_Another.ParseErrorLine());
    line += messages::kQueryErrorColumn;
    line += std::to_string(Q_Another.ParseErrorColumn());
    line += messages::kQueryErrorReason;
    line += e.Message();
    host.WriteLog(line, true, false);
    return;
  }
  host.WriteLog(successMessage, false, true);
}

}  // namespace skelvane
