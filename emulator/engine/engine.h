// The emulated server: storage in SQLite, the SQL it understands (DDL that
// builds schemas, the dictionary queries), Oracle's refusals. The OCI layer
// (emulator/oci) is a thin client over this interface; nothing here knows OCI.
#ifndef ORAEMU_ENGINE_H
#define ORAEMU_ENGINE_H

#include <cstdint>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace oraemu {

// An Oracle error as a server reports it. `message` is the full
// "ORA-nnnnn: text" line; `offset` is the parse error offset in bytes from
// the start of the statement text (0 when it does not apply).
class EOraError : public std::runtime_error {
 public:
  EOraError(int code, std::string message, int offset = 0)
      : std::runtime_error(message), code_(code), offset_(offset) {}
  int code() const { return code_; }
  int offset() const { return offset_; }
 private:
  int code_;
  int offset_;
};

// "ORA-nnnnn: " + the standard text of `code`, with the placeholders filled
// from `args` in order (for example the object name of ORA-04043).
std::string OraMessage(int code, const std::vector<std::string>& args = {});

// A value as the server holds it. Numbers are exact decimal text as Oracle's
// TO_CHAR would print them ("22", "-1.5", "9999999999999999999999999999");
// dates are "YYYY-MM-DD HH:MM:SS". Oracle's empty text is NULL.
struct Value {
  enum class Kind { Null, Text, Number, Date };
  Kind kind = Kind::Null;
  std::string text;
  static Value Null() { return {}; }
  static Value Text(std::string s) { return s.empty() ? Value{} : Value{Kind::Text, std::move(s)}; }
  static Value Number(std::string s) { return {Kind::Number, std::move(s)}; }
  static Value Date(std::string s) { return {Kind::Date, std::move(s)}; }
  bool IsNull() const { return kind == Kind::Null; }
};

// One select-list column as OCI describes it (internal type codes:
// 1 VARCHAR2, 2 NUMBER, 8 LONG, 12 DATE, 96 CHAR, 112 CLOB, 23 RAW ...).
struct ColumnDesc {
  std::string name;
  uint16_t type = 1;
  uint16_t size = 0;       // maximum bytes (22 for NUMBER, 7 for DATE, 0 for LONG)
  int16_t precision = 0;   // NUMBER precision, 0 when unconstrained
  int8_t scale = 0;        // NUMBER scale, -127 when unconstrained
  bool nullable = true;
  bool charUsed = false;   // CHAR length semantics
  uint16_t charSize = 0;
};

// A bind value by name; the name is given without the colon, as written.
struct Bind {
  std::string name;
  Value value;
};

struct Result {
  std::vector<ColumnDesc> columns;          // empty for anything but a query
  std::vector<std::vector<Value>> rows;     // filled for a query unless describe-only
  uint16_t sqlFnCode = 0;                   // OCI_ATTR_SQLFNCODE of the statement
  uint32_t rowCount = 0;                    // rows processed by DML/DDL
  // The statement took effect with a warning (ORA-24344: a stored unit
  // created with compilation errors); OCI reports it as success with info.
  std::optional<EOraError> warning;
};

class Database;

// Database character sets a new database may have; the national set is
// always AL16UTF16.
inline constexpr const char* kDefaultCharset = "CL8MSWIN1251";
bool KnownCharset(const std::string& name);
// Bytes of the widest character of a known set (1 for single-byte sets).
int CharsetWidth(const std::string& name);
// Oracle's numeric id of a character set (OCI_ATTR_CHARSET_ID); 0 if unknown.
uint16_t CharsetId(const std::string& name);

// A logged-on user. Every method may throw EOraError.
class Session {
 public:
  virtual ~Session() = default;
  virtual const std::string& UserName() const = 0;
  virtual int UserId() const = 0;
  // OCI_STMT_* type of a statement text, decided without executing it.
  virtual uint16_t StatementType(const std::string& sql) const = 0;
  // Runs one statement. A query returns all its rows (or only its columns when
  // describeOnly); anything else changes the stored dictionary whole or not at all.
  virtual Result Execute(const std::string& sql, const std::vector<Bind>& binds,
                         bool describeOnly = false) = 0;
};

struct LogonResult {
  std::unique_ptr<Session> session;
  std::optional<EOraError> warning;   // ORA-28002 and the like: logon stands
};

class Database {
 public:
  virtual ~Database() = default;
  // Opens `<ORAEMU_DATA or .>/<connectId>.sqlite`; a missing file is ORA-12154.
  static std::shared_ptr<Database> Open(const std::string& connectId);
  // Creates a new database file with the user SYSTEM; fails if it exists.
  static void Create(const std::string& connectId, const std::string& systemPassword,
                     const std::string& charset = kDefaultCharset);
  // Checks credentials (ORA-01017). External credentials log on only as a
  // user created IDENTIFIED EXTERNALLY; `user` is then the OS user name.
  virtual LogonResult Logon(const std::string& user, const std::string& password,
                            bool external) = 0;
  // The banner OCIServerVersion returns.
  virtual std::string VersionBanner() const = 0;
};

}  // namespace oraemu

#endif
