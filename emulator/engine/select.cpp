#include "engine/select.h"

#include <sqlite3.h>

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <mutex>
#include <unordered_map>

#include "engine/errors.h"
#include "engine/select_compile.h"
#include "engine/select_like.h"
#include "engine/select_parser.h"
#include "engine/select_relations.h"
#include "engine/select_types.h"
#include "engine/storage.h"

namespace oraemu {

namespace {

using sel::CompiledQuery;

// Translations of statements over the dictionary views depend only on the
// text (the view definitions are fixed and the session enters as
// parameters), so one memo serves every connection. Those that read a
// user's tables or views are not kept. The memo is bounded; a full memo
// starts over.
class TranslationMemo {
 public:
  std::shared_ptr<const CompiledQuery> Get(const std::string& sql, sel::RelationSource& relations) {
    {
      std::lock_guard<std::mutex> lock(mu_);
      auto it = map_.find(sql);
      if (it != map_.end()) return it->second;
    }
    auto compiled = std::make_shared<const CompiledQuery>(sel::Compile(sel::ParseQuery(sql), &relations));
    if (!compiled->reusable) return compiled;
    std::lock_guard<std::mutex> lock(mu_);
    if (map_.size() >= kCapacity) map_.clear();
    map_.emplace(sql, compiled);
    return compiled;
  }

 private:
  static constexpr size_t kCapacity = 1024;
  std::mutex mu_;
  std::unordered_map<std::string, std::shared_ptr<const CompiledQuery>> map_;
};

TranslationMemo& Memo() {
  static TranslationMemo memo;
  return memo;
}

void OraLikeFunction(sqlite3_context* ctx, int argc, sqlite3_value** argv) {
  for (int i = 0; i < argc; ++i) {
    if (sqlite3_value_type(argv[i]) == SQLITE_NULL) {
      sqlite3_result_null(ctx);
      return;
    }
  }
  auto text = [&](int i) {
    const char* p = reinterpret_cast<const char*>(sqlite3_value_text(argv[i]));
    return std::string_view(p ? p : "", static_cast<size_t>(sqlite3_value_bytes(argv[i])));
  };
  int escape = -1;
  if (argc == 3) {
    std::string_view e = text(2);
    if (e.size() != 1) {
      sqlite3_result_error(ctx, "ORA-01425: escape character must be character string of length 1", -1);
      return;
    }
    escape = static_cast<unsigned char>(e[0]);
  }
  sqlite3_result_int(ctx, sel::LikeMatch(text(0), text(1), escape) ? 1 : 0);
}

// The SQL functions translations use, registered on a connection the
// first time a statement needs them.
void RegisterFunctions(sqlite3* db) {
  for (int argc : {2, 3})
    sqlite3_create_function_v2(db, "ora_like", argc, SQLITE_UTF8 | SQLITE_DETERMINISTIC, nullptr,
                               OraLikeFunction, nullptr, nullptr, nullptr);
}

// A failure of the storage itself, in Oracle's words only.
[[noreturn]] void RecursiveError(const EStorageError& e) { RaiseStorageFailure(e); }

Statement Prepare(Storage& storage, const std::string& sql) {
  try {
    return storage.Query(sql);
  } catch (const EStorageError& e) {
    if (std::string(e.what()).find("no such function: ora_") == std::string::npos) RecursiveError(e);
  }
  RegisterFunctions(storage.Handle());
  try {
    return storage.Query(sql);
  } catch (const EStorageError& e) {
    RecursiveError(e);
  }
}

std::string Upper(std::string s) {
  for (char& c : s)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 32);
  return s;
}

const Bind* FindBind(const std::vector<Bind>& binds, const std::string& name) {
  for (const Bind& b : binds) {
    std::string n = b.name;
    if (!n.empty() && n[0] == ':') n.erase(0, 1);
    if (n == name || Upper(n) == name) return &b;
  }
  return nullptr;
}

void BindValue(Statement& st, int index, const Value& v) {
  switch (v.kind) {
    case Value::Kind::Null:
      st.BindNull(index);
      return;
    case Value::Kind::Number: {
      char* end = nullptr;
      errno = 0;
      long long i = std::strtoll(v.text.c_str(), &end, 10);
      if (!v.text.empty() && *end == '\0' && errno == 0) {
        st.Bind(index, static_cast<int64_t>(i));
        return;
      }
      double d = std::strtod(v.text.c_str(), &end);
      if (!v.text.empty() && *end == '\0') {
        sqlite3_bind_double(st.Handle(), index, d);
        return;
      }
      st.Bind(index, v.text);
      return;
    }
    default:
      st.Bind(index, v.text);
      return;
  }
}

// Decimal text as Oracle prints a number: no exponent for integers of
// ordinary size, no leading zero before the point.
std::string FormatReal(double v) {
  char buf[64];
  if (std::isfinite(v) && v == std::floor(v) && std::fabs(v) < 1e15) {
    std::snprintf(buf, sizeof buf, "%.0f", v);
    return buf;
  }
  std::snprintf(buf, sizeof buf, "%.15g", v);
  std::string s = buf;
  for (char& c : s)
    if (c == 'e') c = 'E';
  if (s.rfind("0.", 0) == 0) s.erase(0, 1);
  else if (s.rfind("-0.", 0) == 0) s.erase(1, 1);
  return s;
}

Value ColumnValue(sqlite3_stmt* st, int i, const ColumnDesc& d) {
  int type = sqlite3_column_type(st, i);
  if (type == SQLITE_NULL) return Value::Null();
  std::string text;
  if (type == SQLITE_INTEGER) {
    text = std::to_string(sqlite3_column_int64(st, i));
  } else if (type == SQLITE_FLOAT) {
    text = FormatReal(sqlite3_column_double(st, i));
  } else {
    const void* p = sqlite3_column_blob(st, i);
    text.assign(p ? static_cast<const char*>(p) : "", static_cast<size_t>(sqlite3_column_bytes(st, i)));
  }
  if (text.empty()) return Value::Null();
  if (d.type == 2) return Value::Number(std::move(text));
  if (d.type == 12) return Value::Date(std::move(text));
  return Value::Text(std::move(text));
}

}  // namespace

Result RunSelect(Storage& storage, int userId, const std::string& userName, const std::string& sql,
                 const std::vector<Bind>& binds, bool describeOnly) {
  sel::StorageRelations relations(storage, userId);
  std::shared_ptr<const CompiledQuery> q;
  try {
    q = Memo().Get(sql, relations);
  } catch (const EStorageError& e) {
    RecursiveError(e);
  }
  Result r;
  r.columns = q->columns;
  r.sqlFnCode = 4;  // SELECT
  if (describeOnly) return r;
  if (q->unsupportedAt >= 0) Raise(3001, q->unsupportedAt);

  std::vector<const Bind*> values;
  for (const std::string& name : q->binds) {
    const Bind* b = FindBind(binds, name);
    if (!b) Raise(1008);
    values.push_back(b);
  }
  Statement st = Prepare(storage, q->sql);
  // SQLite counts parameters up to the highest one the text uses.
  const int params = sqlite3_bind_parameter_count(st.Handle());
  if (params >= sel::kUserIdParam) st.Bind(sel::kUserIdParam, static_cast<int64_t>(userId));
  if (params >= sel::kUserNameParam) st.Bind(sel::kUserNameParam, userName);
  for (size_t i = 0; i < values.size(); ++i) BindValue(st, sel::kFirstBindParam + static_cast<int>(i), values[i]->value);
  const size_t n = r.columns.size();
  try {
    while (st.Step()) {
      std::vector<Value> row;
      row.reserve(n);
      for (size_t i = 0; i < n; ++i) row.push_back(ColumnValue(st.Handle(), static_cast<int>(i), r.columns[i]));
      r.rows.push_back(std::move(row));
    }
  } catch (const EStorageError& e) {
    RecursiveError(e);
  }
  return r;
}

}  // namespace oraemu
