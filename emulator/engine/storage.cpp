#include "engine/storage.h"

#include <sqlite3.h>

#include <ctime>

namespace oraemu {

namespace {

[[noreturn]] void Fail(sqlite3* db, const std::string& what) {
  throw EStorageError(what + ": " + (db ? sqlite3_errmsg(db) : "out of memory"),
                     db ? (sqlite3_errcode(db) & 0xFF) : SQLITE_NOMEM);
}

}  // namespace

// ---- Statement ----

Statement::Statement(Storage* owner, sqlite3_stmt* stmt, bool cached)
    : owner_(owner), stmt_(stmt), cached_(cached) {}

Statement::Statement(Statement&& other) noexcept
    : owner_(other.owner_), stmt_(other.stmt_), cached_(other.cached_) {
  other.stmt_ = nullptr;
}

Statement::~Statement() {
  if (!stmt_) return;
  if (cached_) {
    sqlite3_reset(stmt_);
    sqlite3_clear_bindings(stmt_);
    owner_->Release(stmt_);
  } else {
    sqlite3_finalize(stmt_);
  }
}

Statement& Statement::Bind(int index, const std::string& text) {
  if (sqlite3_bind_text(stmt_, index, text.data(), static_cast<int>(text.size()), SQLITE_TRANSIENT) !=
      SQLITE_OK)
    Fail(owner_->Handle(), "bind");
  return *this;
}

Statement& Statement::Bind(int index, int64_t value) {
  if (sqlite3_bind_int64(stmt_, index, value) != SQLITE_OK) Fail(owner_->Handle(), "bind");
  return *this;
}

Statement& Statement::BindNull(int index) {
  if (sqlite3_bind_null(stmt_, index) != SQLITE_OK) Fail(owner_->Handle(), "bind");
  return *this;
}

Statement& Statement::Bind(int index, const std::optional<std::string>& text) {
  return text ? Bind(index, *text) : BindNull(index);
}

bool Statement::Step() {
  int rc = sqlite3_step(stmt_);
  if (rc == SQLITE_ROW) return true;
  if (rc == SQLITE_DONE) return false;
  Fail(owner_->Handle(), "step");
}

void Statement::Run() {
  while (Step()) {
  }
}

bool Statement::IsNull(int column) const { return sqlite3_column_type(stmt_, column) == SQLITE_NULL; }

std::string Statement::Text(int column) const {
  const unsigned char* p = sqlite3_column_text(stmt_, column);
  if (!p) return {};
  return std::string(reinterpret_cast<const char*>(p), static_cast<size_t>(sqlite3_column_bytes(stmt_, column)));
}

std::optional<std::string> Statement::OptText(int column) const {
  if (IsNull(column)) return std::nullopt;
  return Text(column);
}

int64_t Statement::Int(int column) const { return sqlite3_column_int64(stmt_, column); }

int Statement::ColumnCount() const { return sqlite3_column_count(stmt_); }

std::string Statement::ColumnName(int column) const {
  const char* n = sqlite3_column_name(stmt_, column);
  return n ? n : "";
}

// ---- Storage ----

Storage::Storage(sqlite3* db, std::string path) : db_(db), path_(std::move(path)) {}

Storage::~Storage() {
  for (auto& [sql, c] : cache_) sqlite3_finalize(c.stmt);
  sqlite3_close(db_);
}

std::unique_ptr<Storage> Storage::Open(const std::string& path, bool create) {
  sqlite3* db = nullptr;
  int flags = SQLITE_OPEN_READWRITE | (create ? SQLITE_OPEN_CREATE : 0);
  if (sqlite3_open_v2(path.c_str(), &db, flags, nullptr) != SQLITE_OK) {
    std::string msg = db ? sqlite3_errmsg(db) : "out of memory";
    sqlite3_close(db);
    throw EStorageError("cannot open " + path + ": " + msg);
  }
  std::unique_ptr<Storage> s(new Storage(db, path));
  // Several processes may share the file: wait for locks rather than fail.
  sqlite3_busy_timeout(db, 10000);
  s->Exec("PRAGMA foreign_keys = ON");
  // A test database needs no flush to disk per statement; the write-ahead
  // log keeps several processes safe and makes seeding large schemas fast.
  s->Exec("PRAGMA journal_mode = WAL");
  s->Exec("PRAGMA synchronous = NORMAL");
  if (create) {
    Transaction t(*s);
    s->Exec(kStorageSchema);
    // Counters hold the last number handed out.
    s->Exec("INSERT OR IGNORE INTO properties VALUES ('next_obj_id', '70000'), "
            "('next_con_id', '10000'), ('next_user_id', '99')");
    t.Commit();
  }
  return s;
}

Statement Storage::Query(const std::string& sql) {
  auto it = cache_.find(sql);
  if (it != cache_.end() && !it->second.inUse) {
    it->second.inUse = true;
    return Statement(this, it->second.stmt, true);
  }
  sqlite3_stmt* stmt = nullptr;
  if (sqlite3_prepare_v2(db_, sql.c_str(), static_cast<int>(sql.size()), &stmt, nullptr) != SQLITE_OK)
    Fail(db_, "prepare");
  if (it == cache_.end()) {
    cache_.emplace(sql, Cached{stmt, true});
    return Statement(this, stmt, true);
  }
  return Statement(this, stmt, false);  // the cached one is busy further up the stack
}

void Storage::Release(sqlite3_stmt* stmt) {
  for (auto& [sql, c] : cache_) {
    if (c.stmt == stmt) {
      c.inUse = false;
      return;
    }
  }
}

void Storage::Exec(const std::string& sql) {
  char* err = nullptr;
  const int rc = sqlite3_exec(db_, sql.c_str(), nullptr, nullptr, &err);
  if (rc != SQLITE_OK) {
    std::string msg = err ? err : "exec failed";
    sqlite3_free(err);
    throw EStorageError(msg, rc & 0xFF);
  }
}

Storage::Transaction::Transaction(Storage& storage) : storage_(storage) {
  storage_.Exec("BEGIN IMMEDIATE");
}

Storage::Transaction::~Transaction() {
  if (!done_) sqlite3_exec(storage_.db_, "ROLLBACK", nullptr, nullptr, nullptr);
}

void Storage::Transaction::Commit() {
  storage_.Exec("COMMIT");
  done_ = true;
}

namespace {

int64_t NextCounter(Storage& s, const char* name) {
  auto q = s.Query("UPDATE properties SET value = CAST(value AS INTEGER) + 1 WHERE name = ?1 "
                   "RETURNING CAST(value AS INTEGER)");
  q.Bind(1, std::string(name));
  if (!q.Step()) throw EStorageError(std::string("missing counter ") + name);
  int64_t v = q.Int(0);
  q.Run();
  return v;
}

}  // namespace

// Counters never go back, so a dropped object's number is not reused.
int64_t Storage::NextObjectId() { return NextCounter(*this, "next_obj_id"); }
int64_t Storage::NextConstraintId() { return NextCounter(*this, "next_con_id"); }
int64_t Storage::NextUserId() { return NextCounter(*this, "next_user_id"); }

int Storage::Changes() const { return sqlite3_changes(db_); }

std::string Storage::Now() {
  std::time_t t = std::time(nullptr);
  std::tm tm{};
#ifdef _WIN32
  localtime_s(&tm, &t);
#else
  localtime_r(&t, &tm);
#endif
  char buf[32];
  std::strftime(buf, sizeof buf, "%Y-%m-%d %H:%M:%S", &tm);
  return buf;
}

}  // namespace oraemu
