#include "dictionary/dm.h"

#include <string>
#include <vector>

#include "common/messages.h"
#include "oracle/oracle_error.h"
#include "oracle/variables.h"

namespace skelvane {

std::unique_ptr<TDM> DM;

TDM& CreateDM() {
  if (!DM) DM = std::make_unique<TDM>();
  return *DM;
}

namespace {

// The statements' texts, line by line as the server receives them.
const std::vector<std::string> kTables = {
    "select UT.*, UTC.COMMENTS",
    "from user_tables UT, user_tab_comments UTC",
    "where UT.TABLE_NAME=UTC.TABLE_NAME",
    "order by UT.table_name",
};

const std::vector<std::string> kTableFields = {
    "select UTC.*, UCC.COMMENTS",
    "from user_tab_cols UTC, USER_COL_COMMENTS UCC",
    "where UTC.table_name=:table_name",
    "and UTC.COLUMN_NAME=UCC.COLUMN_NAME(+)",
    "and UTC.TABLE_NAME=UCC.TABLE_NAME(+)",
    "order by UTC.column_id",
};

const std::vector<std::string> kSequences = {
    "select * from user_sequences",
    "order by sequence_name",
};

const std::vector<std::string> kTriggers = {
    "select * from user_triggers",
    "order by trigger_name",
};

const std::vector<std::string> kTableIndexes = {
    "select UI.index_name, UI.Table_name, UI.uniqueness, UIC.column_name ",
    "from USER_INDEXES UI, user_ind_columns UIC",
    "where UI.index_name=UIC.INDEX_NAME",
    "and UI.table_name=:table_name",
    "order by UI.index_name, UIC.column_position",
};

const std::vector<std::string> kTableConstraints = {
    "select uc.*, acc1.COLUMN_NAME f_col_name,acc1.POSITION f_pos, acc2.TABLE_NAME to_table_name, acc2.COLUMN_NAME to_col_name, acc2.POSITION to_pos",
    "from USER_CONSTRAINTS uc, all_cons_columns acc1, all_cons_columns acc2",
    "where uc.table_name=:table_name",
    "and uc.CONSTRAINT_NAME=acc1.CONSTRAINT_NAME",
    "and uc.R_CONSTRAINT_NAME=acc2.CONSTRAINT_NAME(+)",
    "order by uc.constraint_name,acc1.position",
};

const std::vector<std::string> kFunctions = {
    "select * from USER_SOURCE",
    "where type='FUNCTION'",
    "order by name,line",
};

const std::vector<std::string> kProcedures = {
    "select * from USER_SOURCE",
    "where type='PROCEDURE'",
    "order by name,line",
};

const std::vector<std::string> kPrivileges = {
    "select * from table_privileges",
    "where owner=USER",
    "order by table_name, grantee",
};

const std::vector<std::string> kPrivilegesDataSet = {
    "select * from table_privileges",
    "where owner=USER",
    "order by table_name, grantee",
    "",
};

const std::vector<std::string> kSynonyms = {
    "select o.name S_NAME, s.owner, s.name O_NAME, s.node, decode( owner#,userenv('SCHEMAID'),'','PUBLIC') grantee",
    "from sys.syn$ s, sys.obj$ o",
    "where o.obj# = s.obj#",
    "  and o.type# = 5",
    "  and s.owner = USER",
    "order by o.name",
};

const std::vector<std::string> kSynonymsDataSet = {
    "select o.name S_NAME, s.owner, s.name O_NAME, s.node, decode( owner#,userenv('SCHEMAID'),'','PUBLIC') grantee ",
    "from sys.syn$ s, sys.obj$ o",
    "where o.obj# = s.obj#",
    "  and o.type# = 5",
    "  and (o.OWNER#=userenv('SCHEMAID') or exists(select u2.user# from sys.user$ u2 where u2.user#=o.owner# and u2.name='PUBLIC'))",
    "  --and s.owner = USER",
    "order by o.name",
};

const std::vector<std::string> kOneTable = {
    "select UT.*, UTC.COMMENTS",
    "from user_tables UT, user_tab_comments UTC",
    "where UT.TABLE_NAME=UTC.TABLE_NAME",
    "and UT.table_name=:table_name",
};

const std::vector<std::string> kOneTrigger = {
    "select * from user_triggers",
    "where trigger_name=:trigger_name",
};

const std::vector<std::string> kOneFunction = {
    "select * from USER_SOURCE",
    "where type='FUNCTION'",
    "and name=:name",
    "order by name,line",
};

const std::vector<std::string> kOneProcedure = {
    "select * from USER_SOURCE",
    "where type='PROCEDURE'",
    "and name=:name",
    "order by name,line",
};

const std::vector<std::string> kDbLinks = {
    "select * from user_db_links",
    "order by db_link",
};

const std::vector<std::string> kViews = {
    "select UV.*, UTC.COMMENTS",
    "from USER_VIEWS UV, user_tab_comments UTC",
    "where UV.VIEW_NAME=UTC.TABLE_NAME",
    "order by UV.view_name",
};

const std::vector<std::string> kOneView = {
    "select UV.*, UTC.COMMENTS",
    "from USER_VIEWS UV, user_tab_comments UTC",
    "where UV.VIEW_NAME=UTC.TABLE_NAME",
    "and UV.view_name=:view_name",
    "order by UV.view_name",
};

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
}

void TDM::ExecuteStatement(TOperationHost& host, const std::string& statement,
                           const std::string& successMessage) {
  // One line even when the statement holds line breaks: the text goes to the
  // server exactly as the caller composed it.
  Q_Another.SetSQL({statement});
  try {
    Q_Another.Execute();
  } catch (const oracle::EOracleError& e) {
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
