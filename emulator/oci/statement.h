// Preparing, executing and fetching a statement: the work behind the
// statement calls, shared by OCIStmtExecute (which may fetch) and the fetch calls.
#ifndef ORAEMU_OCI_STATEMENT_H
#define ORAEMU_OCI_STATEMENT_H

#include <string>

#include "oci/calls_common.h"

namespace oraemu::oci {

// Takes a new text: binds, defines and results are forgotten.
void Prepare(StmtHandle& stmt, std::string sql);

// OCIStmtExecute. Throws EOraError; returns OCI_SUCCESS, OCI_SUCCESS_WITH_INFO
// or OCI_NO_DATA (a query executed with iterations that found fewer rows).
sword Execute(SvcCtxHandle& svc, StmtHandle& stmt, ub4 iters, ub4 rowoff, ub4 mode,
              const ErrorSink& sink);

// OCIStmtFetch/OCIStmtFetch2 with the next orientation.
sword Fetch(StmtHandle& stmt, ub4 nrows, ub2 orientation, const ErrorSink& sink);

// Moves up to `nrows` rows of the executed query into the defines (no round
// trip of its own). Sets the fetch counters and answers as a fetch does.
sword DeliverRows(StmtHandle& stmt, ub4 nrows, const ErrorSink& sink);

}  // namespace oraemu::oci

#endif
