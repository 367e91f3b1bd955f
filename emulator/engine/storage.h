// The emulated server's storage: one SQLite file per database. `Storage`
// owns the connection, caches prepared statements and runs transactions;
// the schema below is the server's whole dictionary.
#ifndef ORAEMU_STORAGE_H
#define ORAEMU_STORAGE_H

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

struct sqlite3;
struct sqlite3_stmt;

namespace oraemu {

// The storage schema. Conventions:
// - Names are stored as Oracle stores them (unquoted identifiers already
//   upper-cased). Texts are bytes, never decoded.
// - Dates are "YYYY-MM-DD HH:MM:SS" text.
// - Numbers that may exceed a double (sequence values) are exact decimal text.
// - Every schema object that Oracle lists in OBJ$ has a row in `objects`
//   (its obj#, owner user#, name, TYPE#); the per-kind tables hang off it by
//   obj_id. Constraints and database links are not OBJ$ objects in Oracle and
//   have tables of their own.
// - users.user_id is USER$.USER#: SYS 0, PUBLIC 1 (a role: kind 0), SYSTEM 5,
//   created users from 100 on. Public synonyms are objects owned by PUBLIC.
inline constexpr const char* kStorageSchema = R"SQL(
CREATE TABLE IF NOT EXISTS properties (
  name  TEXT PRIMARY KEY,
  value TEXT
);
CREATE TABLE IF NOT EXISTS users (
  user_id   INTEGER PRIMARY KEY,          -- USER$.USER#
  name      TEXT NOT NULL UNIQUE,
  kind      INTEGER NOT NULL DEFAULT 1,   -- USER$.TYPE#: 1 user, 0 role
  password  TEXT,                         -- NULL when identified externally
  external  INTEGER NOT NULL DEFAULT 0,   -- 1: IDENTIFIED EXTERNALLY
  expiring  INTEGER NOT NULL DEFAULT 0,   -- n > 0: logon warns ORA-28002 (n days); -1: expired
  created   TEXT NOT NULL
);
CREATE TABLE IF NOT EXISTS objects (
  obj_id    INTEGER PRIMARY KEY,          -- OBJ$.OBJ#
  owner_id  INTEGER NOT NULL REFERENCES users(user_id),
  name      TEXT NOT NULL,
  type      INTEGER NOT NULL,             -- OBJ$.TYPE#: 1 INDEX, 2 TABLE, 4 VIEW, 5 SYNONYM,
                                          -- 6 SEQUENCE, 7 PROCEDURE, 8 FUNCTION, 9 PACKAGE,
                                          -- 11 PACKAGE BODY, 12 TRIGGER
  namespace INTEGER NOT NULL,             -- OBJ$.NAMESPACE: 1 tables etc., 2 bodies, 3 triggers, 4 indexes
  created   TEXT NOT NULL,
  last_ddl  TEXT NOT NULL,
  status    INTEGER NOT NULL DEFAULT 1,   -- OBJ$.STATUS: 1 valid
  UNIQUE (owner_id, namespace, name)
);
CREATE TABLE IF NOT EXISTS tables (
  obj_id    INTEGER PRIMARY KEY REFERENCES objects(obj_id) ON DELETE CASCADE,
  comments  TEXT,                         -- USER_TAB_COMMENTS.COMMENTS
  iot_type  TEXT                          -- USER_TABLES.IOT_TYPE: 'IOT' for ORGANIZATION INDEX
);
-- Columns of tables and of views (a view's columns come from its column list
-- or its select list).
CREATE TABLE IF NOT EXISTS columns (
  obj_id         INTEGER NOT NULL REFERENCES objects(obj_id) ON DELETE CASCADE,
  column_id      INTEGER NOT NULL,        -- 1-based, in creation order
  name           TEXT NOT NULL,
  data_type      TEXT NOT NULL,           -- DATA_TYPE as USER_TAB_COLS shows it: VARCHAR2, NUMBER,
                                          -- FLOAT, DATE, CLOB, TIMESTAMP(6), ...
  data_length    INTEGER NOT NULL,        -- bytes (22 NUMBER, 7 DATE, 4000 CLOB, 0 LONG ...)
  data_precision INTEGER,                 -- NULL when not given
  data_scale     INTEGER,                 -- NULL when not given (INTEGER stores 0)
  nullable       TEXT NOT NULL DEFAULT 'Y',   -- 'Y' / 'N'
  char_used      TEXT,                    -- 'B' / 'C' for character types, else NULL
  char_length    INTEGER NOT NULL DEFAULT 0,  -- CHAR_LENGTH (characters; 0 for non-character)
  default_text   TEXT,                    -- DATA_DEFAULT exactly as written in the DDL
  comments       TEXT,                    -- USER_COL_COMMENTS.COMMENTS
  virtual_column INTEGER NOT NULL DEFAULT 0,  -- 1: GENERATED ALWAYS AS (expr); default_text holds expr
  PRIMARY KEY (obj_id, column_id),
  UNIQUE (obj_id, name)
);
-- Identity columns and the system sequence (ISEQ$$_<table obj#>) behind each.
CREATE TABLE IF NOT EXISTS identity_columns (
  table_obj_id     INTEGER PRIMARY KEY REFERENCES objects(obj_id) ON DELETE CASCADE,  -- one per table
  column_name      TEXT NOT NULL,
  generation_type  TEXT NOT NULL,         -- 'ALWAYS' / 'BY DEFAULT'
  on_null          TEXT NOT NULL DEFAULT 'NO',  -- DEFAULT_ON_NULL: 'YES' for BY DEFAULT ON NULL
  sequence_obj_id  INTEGER NOT NULL REFERENCES objects(obj_id) ON DELETE CASCADE
);
CREATE TABLE IF NOT EXISTS indexes (
  obj_id        INTEGER PRIMARY KEY REFERENCES objects(obj_id) ON DELETE CASCADE,
  table_obj_id  INTEGER NOT NULL REFERENCES objects(obj_id) ON DELETE CASCADE,
  uniqueness    TEXT NOT NULL,            -- 'UNIQUE' / 'NONUNIQUE'
  index_type    TEXT NOT NULL DEFAULT 'NORMAL',
  generated     TEXT NOT NULL DEFAULT 'N',    -- 'Y' for system-named indexes
  status        TEXT NOT NULL DEFAULT 'VALID'
);
CREATE TABLE IF NOT EXISTS index_columns (
  index_obj_id  INTEGER NOT NULL REFERENCES objects(obj_id) ON DELETE CASCADE,
  position      INTEGER NOT NULL,         -- COLUMN_POSITION, 1-based
  column_name   TEXT NOT NULL,
  descend       TEXT NOT NULL DEFAULT 'ASC',
  PRIMARY KEY (index_obj_id, position)
);
CREATE TABLE IF NOT EXISTS constraints (
  con_id            INTEGER PRIMARY KEY,  -- CON#; system names are SYS_C + 7 digits of it
  owner_id          INTEGER NOT NULL REFERENCES users(user_id),
  name              TEXT NOT NULL,
  table_obj_id      INTEGER NOT NULL REFERENCES objects(obj_id) ON DELETE CASCADE,
  type              TEXT NOT NULL,        -- 'P', 'U', 'R', 'C'
  search_condition  TEXT,                 -- checks; NOT NULL ones read "COL" IS NOT NULL
  r_con_id          INTEGER REFERENCES constraints(con_id),  -- referenced key (owner and name through it)
  delete_rule       TEXT,                 -- 'NO ACTION' / 'CASCADE' / 'SET NULL' for 'R', else NULL
  status            TEXT NOT NULL DEFAULT 'ENABLED',
  deferrable_state  TEXT NOT NULL DEFAULT 'NOT DEFERRABLE',
  deferred_state    TEXT NOT NULL DEFAULT 'IMMEDIATE',
  validated         TEXT NOT NULL DEFAULT 'VALIDATED',
  generated         TEXT NOT NULL DEFAULT 'USER NAME',   -- or 'GENERATED NAME'
  index_obj_id      INTEGER REFERENCES objects(obj_id),  -- enforcing index of 'P' / 'U'
  last_change       TEXT NOT NULL,
  UNIQUE (owner_id, name)
);
CREATE TABLE IF NOT EXISTS constraint_columns (
  con_id       INTEGER NOT NULL REFERENCES constraints(con_id) ON DELETE CASCADE,
  column_name  TEXT NOT NULL,
  position     INTEGER,                   -- 1-based for keys; NULL for checks
  PRIMARY KEY (con_id, column_name)
);
CREATE TABLE IF NOT EXISTS sequences (
  obj_id        INTEGER PRIMARY KEY REFERENCES objects(obj_id) ON DELETE CASCADE,
  min_value     TEXT NOT NULL,            -- exact decimal text
  max_value     TEXT NOT NULL,            -- exact decimal text (NOMAXVALUE: 28 nines)
  increment_by  TEXT NOT NULL,
  cycle_flag    TEXT NOT NULL,            -- 'Y' / 'N'
  order_flag    TEXT NOT NULL,            -- 'Y' / 'N'
  cache_size    INTEGER NOT NULL,         -- 0 for NOCACHE
  last_number   TEXT NOT NULL
);
CREATE TABLE IF NOT EXISTS triggers (
  obj_id            INTEGER PRIMARY KEY REFERENCES objects(obj_id) ON DELETE CASCADE,
  table_obj_id      INTEGER REFERENCES objects(obj_id) ON DELETE CASCADE,
  trigger_type      TEXT NOT NULL,        -- 'BEFORE EACH ROW', 'AFTER STATEMENT', ...
  triggering_event  TEXT NOT NULL,        -- 'INSERT OR UPDATE OR DELETE', ...
  base_object_type  TEXT NOT NULL DEFAULT 'TABLE',
  column_name       TEXT,                 -- UPDATE OF column list, if any
  referencing_names TEXT NOT NULL DEFAULT 'REFERENCING NEW AS NEW OLD AS OLD',
  when_clause       TEXT,
  status            TEXT NOT NULL DEFAULT 'ENABLED',
  description       TEXT NOT NULL,        -- the header from the name up to the body
  action_type       TEXT NOT NULL DEFAULT 'PL/SQL',
  trigger_body      TEXT NOT NULL         -- from DECLARE/BEGIN (or CALL) to the end
);
-- Source of stored code (functions, procedures, packages, triggers) as
-- USER_SOURCE shows it: one row per line, each keeping its line end.
CREATE TABLE IF NOT EXISTS source (
  obj_id  INTEGER NOT NULL REFERENCES objects(obj_id) ON DELETE CASCADE,
  line    INTEGER NOT NULL,
  text    TEXT NOT NULL,
  PRIMARY KEY (obj_id, line)
);
CREATE TABLE IF NOT EXISTS views (
  obj_id       INTEGER PRIMARY KEY REFERENCES objects(obj_id) ON DELETE CASCADE,
  text         TEXT NOT NULL,             -- the query as written after AS
  text_length  INTEGER NOT NULL,          -- bytes
  comments     TEXT                       -- USER_TAB_COMMENTS.COMMENTS of the view
);
CREATE TABLE IF NOT EXISTS synonyms (
  obj_id        INTEGER PRIMARY KEY REFERENCES objects(obj_id) ON DELETE CASCADE,
  target_owner  TEXT,                     -- SYN$.OWNER
  target_name   TEXT NOT NULL,            -- SYN$.NAME
  db_link       TEXT                      -- SYN$.NODE
);
-- Object privileges, one row per privilege (SELECT, INSERT, DELETE, UPDATE,
-- REFERENCES, ALTER, INDEX, EXECUTE ...).
CREATE TABLE IF NOT EXISTS grants (
  obj_id      INTEGER NOT NULL REFERENCES objects(obj_id) ON DELETE CASCADE,
  grantor_id  INTEGER NOT NULL REFERENCES users(user_id),
  grantee_id  INTEGER NOT NULL REFERENCES users(user_id),
  privilege   TEXT NOT NULL,
  grantable   TEXT NOT NULL DEFAULT 'NO',   -- 'YES' with WITH GRANT OPTION
  PRIMARY KEY (obj_id, grantor_id, grantee_id, privilege)
);
CREATE TABLE IF NOT EXISTS db_links (
  owner_id  INTEGER NOT NULL REFERENCES users(user_id),
  name      TEXT NOT NULL,
  username  TEXT,
  password  TEXT,                         -- kept; USER_DB_LINKS shows NULL as 19c does
  host      TEXT,
  created   TEXT NOT NULL,
  PRIMARY KEY (owner_id, name)
);
-- System privileges and roles held by users and roles (role DBA stands for
-- every system privilege; SYS holds them all without rows).
CREATE TABLE IF NOT EXISTS system_privileges (
  grantee_id    INTEGER NOT NULL REFERENCES users(user_id) ON DELETE CASCADE,
  privilege     TEXT NOT NULL,            -- 'CREATE TABLE', 'SELECT ANY DICTIONARY' ...
  admin_option  TEXT NOT NULL DEFAULT 'NO',
  PRIMARY KEY (grantee_id, privilege)
);
CREATE TABLE IF NOT EXISTS role_grants (
  grantee_id    INTEGER NOT NULL REFERENCES users(user_id) ON DELETE CASCADE,
  role_id       INTEGER NOT NULL REFERENCES users(user_id) ON DELETE CASCADE,
  admin_option  TEXT NOT NULL DEFAULT 'NO',
  PRIMARY KEY (grantee_id, role_id)
);
-- Compilation errors of stored code as USER_ERRORS shows them.
CREATE TABLE IF NOT EXISTS code_errors (
  obj_id          INTEGER NOT NULL REFERENCES objects(obj_id) ON DELETE CASCADE,
  sequence        INTEGER NOT NULL,
  line            INTEGER NOT NULL,
  position        INTEGER NOT NULL,
  text            TEXT NOT NULL,
  message_number  INTEGER NOT NULL,
  PRIMARY KEY (obj_id, sequence)
);
CREATE INDEX IF NOT EXISTS constraints_by_name ON constraints(name);
CREATE INDEX IF NOT EXISTS constraints_by_table ON constraints(table_obj_id);
CREATE INDEX IF NOT EXISTS grants_by_grantee ON grants(grantee_id);
CREATE INDEX IF NOT EXISTS synonyms_by_target ON synonyms(target_owner);
CREATE INDEX IF NOT EXISTS indexes_by_table ON indexes(table_obj_id);
-- Queries of SYS.OBJ$ by TYPE# (the synonym lists) would otherwise read
-- every object of every user.
CREATE INDEX IF NOT EXISTS objects_by_type ON objects(type);
)SQL";

// Fixed user numbers (the roles as Oracle numbers them).
inline constexpr int kSysUserId = 0;
inline constexpr int kPublicUserId = 1;
inline constexpr int kConnectRoleId = 2;
inline constexpr int kResourceRoleId = 3;
inline constexpr int kDbaRoleId = 4;
inline constexpr int kSystemUserId = 5;

// OBJ$.TYPE# values used by the server.
enum ObjectType : int {
  kObjIndex = 1, kObjTable = 2, kObjView = 4, kObjSynonym = 5, kObjSequence = 6,
  kObjProcedure = 7, kObjFunction = 8, kObjPackage = 9, kObjPackageBody = 11, kObjTrigger = 12,
};

// OBJ$.STATUS of stored code that did not compile.
inline constexpr int kStatusCompiledWithErrors = 3;

// OBJ$.NAMESPACE values.
enum ObjectNamespace : int { kNsDefault = 1, kNsBody = 2, kNsTrigger = 3, kNsIndex = 4 };

// Thrown for storage failures other than Oracle refusals (an unreadable
// file, a busy database that stayed busy); callers report them as ORA errors.
// `code` is the storage's primary result code (busy, full, corrupt ...);
// the text is for the tool's own diagnostics and never reaches a client.
class EStorageError : public std::runtime_error {
 public:
  explicit EStorageError(const std::string& what, int code = 0) : std::runtime_error(what), code_(code) {}
  int code() const { return code_; }
 private:
  int code_;
};

class Storage;

// One execution of a cached prepared statement; resets it when done.
// Bind parameters are 1-based, columns 0-based, as in SQLite.
class Statement {
 public:
  Statement(Statement&& other) noexcept;
  Statement& operator=(Statement&&) = delete;
  ~Statement();

  Statement& Bind(int index, const std::string& text);
  Statement& Bind(int index, int64_t value);
  Statement& Bind(int index, int value) { return Bind(index, static_cast<int64_t>(value)); }
  Statement& BindNull(int index);
  Statement& Bind(int index, const std::optional<std::string>& text);

  // Advances to the next row; false at the end. Throws EStorageError.
  bool Step();
  // Runs a statement that returns no rows.
  void Run();

  bool IsNull(int column) const;
  std::string Text(int column) const;   // "" for NULL
  std::optional<std::string> OptText(int column) const;
  int64_t Int(int column) const;
  int ColumnCount() const;
  std::string ColumnName(int column) const;

  sqlite3_stmt* Handle() const { return stmt_; }

 private:
  friend class Storage;
  Statement(Storage* owner, sqlite3_stmt* stmt, bool cached);
  Storage* owner_;
  sqlite3_stmt* stmt_;
  bool cached_;
};

class Storage {
 public:
  // Opens an existing file (or creates it when `create`; then the schema is
  // laid). Throws EStorageError when the file cannot be opened.
  static std::unique_ptr<Storage> Open(const std::string& path, bool create);
  ~Storage();
  Storage(const Storage&) = delete;
  Storage& operator=(const Storage&) = delete;

  // A prepared statement from the cache (or a fresh one when the cached one
  // is in use by an enclosing execution).
  Statement Query(const std::string& sql);
  // Runs one or more statements without results.
  void Exec(const std::string& sql);

  // An immediate (write-locking) transaction that rolls back unless
  // committed. Transactions do not nest.
  class Transaction {
   public:
    explicit Transaction(Storage& storage);
    ~Transaction();
    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;
    void Commit();
   private:
    Storage& storage_;
    bool done_ = false;
  };

  // Rows changed by the last INSERT/UPDATE/DELETE.
  int Changes() const;

  // Next OBJ#, CON#, user# (allocated inside the caller's transaction).
  int64_t NextObjectId();
  int64_t NextConstraintId();
  int64_t NextUserId();

  // The current time as "YYYY-MM-DD HH:MM:SS" (local time).
  static std::string Now();

  sqlite3* Handle() const { return db_; }
  const std::string& Path() const { return path_; }

 private:
  Storage(sqlite3* db, std::string path);
  friend class Statement;
  void Release(sqlite3_stmt* stmt);

  sqlite3* db_;
  std::string path_;
  struct Cached {
    sqlite3_stmt* stmt;
    bool inUse;
  };
  std::map<std::string, Cached> cache_;
};

}  // namespace oraemu

#endif
