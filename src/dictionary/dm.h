// TDM: the data module. Owns the one Oracle session and every dictionary
// statement the program runs, each with its fixed SQL text and declared bind
// variables, plus the free query Q_Another through which all DDL goes.
#ifndef SKELVANE_DICTIONARY_DM_H
#define SKELVANE_DICTIONARY_DM_H

#include <memory>
#include <string>

#include "dictionary/operation_host.h"
#include "oracle/dataset.h"
#include "oracle/query.h"
#include "oracle/session.h"

namespace skelvane {

class TDM {
 public:
  // Sets every statement's session, SQL text and bind variables. Nothing
  // connects here: the operation frame logs on.
  TDM();
  TDM(const TDM&) = delete;
  TDM& operator=(const TDM&) = delete;

  // Declared first so it outlives the statements that depend on it.
  oracle::TOracleSession OracleSession1;

  oracle::TOracleQuery Q_Tables;
  oracle::TOracleQuery Q_TableFields;        // :TABLE_NAME
  oracle::TOracleQuery Q_Sequences;
  oracle::TOracleQuery Q_Triggers;
  oracle::TOracleQuery Q_TableIndexes;       // :TABLE_NAME
  oracle::TOracleQuery Q_TableConstraints;   // :TABLE_NAME
  oracle::TOracleQuery Q_Functions;
  oracle::TOracleQuery Q_Procedures;
  oracle::TOracleDataSet oDS_TableFields;    // :TABLE_NAME
  oracle::TOracleQuery Q_Another;            // no text of its own; see ExecuteStatement
  oracle::TOracleQuery Q_Privileges;
  oracle::TOracleQuery Q_Synonyms;
  oracle::TOracleDataSet oDS_Privileges;
  oracle::TOracleDataSet oDS_Synonyms;
  oracle::TOracleDataSet oDS_Indexes;        // :TABLE_NAME
  oracle::TOracleDataSet oDS_Constraints;    // :TABLE_NAME
  oracle::TOracleDataSet oDS_Tables;         // :TABLE_NAME
  oracle::TOracleDataSet oDS_Sequences;
  oracle::TOracleQuery Q_Trigger2;           // :TRIGGER_NAME
  oracle::TOracleQuery Q_Function2;          // :NAME
  oracle::TOracleQuery Q_Procedure2;         // :NAME
  oracle::TOracleQuery Q_DbLink;
  oracle::TOracleDataSet oDS_DbLink;
  oracle::TOracleQuery Q_Views;
  oracle::TOracleQuery Q_View2;              // :VIEW_NAME
  oracle::TOracleQuery Q_IdentityColumns;
  oracle::TOracleQuery Q_VirtualColumns;

  // Runs one DDL statement through Q_Another. Success: the message goes to
  // both logs without a time stamp. A database error (EOracleError) leaves
  // one time-stamped line in the Common log and is not passed on, so the
  // caller goes on with its next step; any other failure propagates.
  void ExecuteStatement(TOperationHost& host, const std::string& statement,
                        const std::string& successMessage);

  // How many statements ExecuteStatement saw rejected since the module was
  // created; the command line turns a rise into its exit status.
  int RejectedStatements = 0;
};

// The one data module of the process, created at start-up (CreateDM) and
// alive until the program ends. Operations receive it by reference.
extern std::unique_ptr<TDM> DM;

// Creates DM when it does not exist yet and returns it.
TDM& CreateDM();

}  // namespace skelvane

#endif
