#include "oci/statement.h"

#include <cstring>
#include <optional>

#include "oci/placeholders.h"
#include "oci/value_convert.h"

namespace oraemu::oci {

namespace {

// SQL function code of a query when the server leaves it open.
constexpr ub2 kSelectFnCode = 4;

template <class T>
T* Element(void* base, ub4 skip, ub4 index) {
  return base == nullptr ? nullptr
                         : reinterpret_cast<T*>(static_cast<char*>(base) + static_cast<size_t>(skip) * index);
}

oraemu::Value BoundValue(const BindHandle& bind, ub4 iteration) {
  const ub4 size = bind.valueSize > 0 ? static_cast<ub4>(bind.valueSize) : 0;
  if (bind.indicator != nullptr) {
    sb2 indicator;
    std::memcpy(&indicator, Element<char>(bind.indicator, bind.indicatorSkip ? bind.indicatorSkip : sizeof(sb2), iteration),
                sizeof indicator);
    if (indicator < 0) return oraemu::Value::Null();
  }
  size_t length = size;
  if (bind.actualLength != nullptr) {
    ub2 alen;
    std::memcpy(&alen, Element<char>(bind.actualLength, bind.lengthSkip ? bind.lengthSkip : sizeof(ub2), iteration),
                sizeof alen);
    length = alen;
  }
  const void* value = Element<char>(bind.value, bind.valueSkip ? bind.valueSkip : size, iteration);
  return FromExternal(value, size, length, bind.dty);
}

std::vector<oraemu::Bind> CollectBinds(const StmtHandle& stmt, ub4 iteration) {
  std::vector<oraemu::Bind> binds;
  binds.reserve(stmt.binds.size());
  for (const auto& bind : stmt.binds) binds.push_back({bind->sqlName, BoundValue(*bind, iteration)});
  return binds;
}

std::string TraceText(const char* verb, const std::string& sql, const std::vector<oraemu::Bind>& binds) {
  std::string text = verb;
  text += ' ';
  text += TraceEscape(sql);
  for (const auto& bind : binds) {
    text += " :";
    text += bind.name;
    text += '=';
    text += TraceValue(bind.value);
  }
  return text;
}

// Parameters keep their addresses while the select list stays the same, so
// descriptors a caller still holds stay valid across re-executions.
void SetColumns(StmtHandle& stmt, const std::vector<oraemu::ColumnDesc>& columns) {
  if (stmt.params.size() == columns.size()) {
    for (size_t i = 0; i < columns.size(); ++i) stmt.params[i]->column = columns[i];
    return;
  }
  stmt.params.clear();
  for (const auto& column : columns) stmt.params.push_back(std::make_unique<ParamDescriptor>(stmt.env, column));
}

Connection& ConnectionOf(SvcCtxHandle& svc, SessionHandle*& user) {
  user = svc.session;
  if (user == nullptr || !user->session) throw ClientError(kNotConnected);
  ServerHandle* server = user->server != nullptr ? user->server : svc.server;
  if (server == nullptr || !server->connection) throw ClientError(kNotConnected);
  server->connection->roundTrips.CheckConnected();
  return *server->connection;
}

}  // namespace

void Prepare(StmtHandle& stmt, std::string sql) {
  stmt.Reset();
  stmt.sql = std::move(sql);
  stmt.placeholders = Placeholders(stmt.sql);
  // The type is the server's to decide; the last session begun in this
  // environment is the one the statement will almost always run on.
  SessionHandle* user = stmt.env->lastSession;
  if (user != nullptr && user->session) {
    stmt.stmtType = user->session->StatementType(stmt.sql);
    stmt.typeKnown = true;
    if (user->server != nullptr && user->server->connection) {
      user->server->connection->roundTrips.Note("PREPARE " + TraceEscape(stmt.sql));
    }
  }
}

sword Execute(SvcCtxHandle& svc, StmtHandle& stmt, ub4 iters, ub4 rowoff, ub4 mode, const ErrorSink& sink) {
  if (stmt.sql.empty()) throw ClientError(kNotPrepared);
  SessionHandle* user = nullptr;
  Connection& connection = ConnectionOf(svc, user);
  oraemu::Session& session = *user->session;
  if (!stmt.typeKnown) {
    stmt.stmtType = session.StatementType(stmt.sql);
    stmt.typeKnown = true;
  }
  stmt.svc = &svc;
  stmt.parseErrorOffset = 0;
  stmt.executed = false;
  stmt.endReported = false;
  stmt.rowsFetched = 0;
  const bool query = stmt.stmtType == OCI_STMT_SELECT;
  const bool describeOnly = (mode & OCI_DESCRIBE_ONLY) != 0;
  if (!query) {
    if (describeOnly) return OCI_SUCCESS;  // only queries have something to describe
    if (iters == 0) throw ClientError(kZeroIterations);
  }

  std::vector<oraemu::Bind> binds = CollectBinds(stmt, rowoff);
  const uint64_t trip = connection.roundTrips.Begin(
      connection.roundTrips.Tracing() ? TraceText(describeOnly ? "DESCRIBE" : "EXECUTE", stmt.sql, binds)
                                      : std::string());
  try {
    if (query) {
      oraemu::Result result = session.Execute(stmt.sql, binds, describeOnly);
      SetColumns(stmt, result.columns);
      stmt.sqlFnCode = result.sqlFnCode != 0 ? result.sqlFnCode : kSelectFnCode;
      stmt.result = std::move(result);
      stmt.isQuery = true;
      stmt.nextRow = 0;
      stmt.rowCount = 0;
      stmt.executed = !describeOnly;
      if (describeOnly) stmt.result.rows.clear();
      if (describeOnly || iters == 0) return OCI_SUCCESS;
      return DeliverRows(stmt, iters, sink);
    }
    ub4 rows = 0;
    std::optional<oraemu::EOraError> warning;
    for (ub4 i = 0; i < iters; ++i) {
      if (i > 0) binds = CollectBinds(stmt, rowoff + i);
      oraemu::Result result = session.Execute(stmt.sql, binds, false);
      rows += result.rowCount;
      stmt.sqlFnCode = result.sqlFnCode;
      if (result.warning) warning = result.warning;
    }
    stmt.params.clear();
    stmt.result = oraemu::Result{};
    stmt.isQuery = false;
    stmt.executed = true;
    stmt.rowCount = rows;
    if (warning) return sink.Report(*warning, OCI_SUCCESS_WITH_INFO);
    return OCI_SUCCESS;
  } catch (const oraemu::EOraError& error) {
    connection.roundTrips.Failed(trip, error.code());
    stmt.parseErrorOffset = static_cast<ub2>(error.offset());
    throw;
  }
}

sword Fetch(StmtHandle& stmt, ub4 nrows, ub2 orientation, const ErrorSink& sink) {
  if (orientation != OCI_FETCH_NEXT && orientation != 0) throw ClientError(kInvalidFetch);
  if (!stmt.executed || !stmt.isQuery) throw ClientError(kNotExecuted);
  if (stmt.endReported) throw ClientError(kFetchOutOfSequence);
  SessionHandle* user = nullptr;
  if (stmt.svc == nullptr) throw ClientError(kNotConnected);
  Connection& connection = ConnectionOf(*stmt.svc, user);
  const size_t left = stmt.result.rows.size() - stmt.nextRow;
  const size_t rows = std::min<size_t>(nrows, left);
  connection.roundTrips.Begin(connection.roundTrips.Tracing() ? "FETCH " + std::to_string(rows) : std::string());
  if (nrows == 0) {
    // A fetch of no rows closes the cursor.
    stmt.nextRow = stmt.result.rows.size();
    stmt.rowsFetched = 0;
    return OCI_SUCCESS;
  }
  return DeliverRows(stmt, nrows, sink);
}

}  // namespace oraemu::oci
