#include "engine/new_database.h"

#include <cstdint>
#include <set>

namespace oraemu {

namespace {

// Object numbers of the synonyms: below every user object, above the SYS
// tables the server creates itself.
constexpr int64_t kFirstSynonymObjId = 10000;

// Things the dictionary names and the suffixes its view families add.
const char* const kNouns[] = {
    "TAB", "COL", "IND", "CONS", "OBJ", "SOURCE", "SYNONYM", "SEQUENCE", "TRIGGER", "VIEW", "USER", "ROLE",
    "SYS_PRIV", "TAB_PRIV", "PROCEDURE", "ARGUMENT", "DEPENDENCY", "ERROR", "LOB", "PART", "SUBPART", "TYPE",
    "QUEUE", "JOB", "SCHEDULER_JOB", "SEGMENT", "EXTENT", "TABLESPACE", "DATA_FILE", "AUDIT", "POLICY", "MVIEW",
    "CLUSTER", "DIRECTORY", "LIBRARY", "OPERATOR", "INDEXTYPE", "EDITION", "CONTEXT", "RESOURCE", "PROFILE",
    "STAT", "SQL", "PLAN", "ADVISOR", "TASK", "RULE", "CHAIN", "PROGRAM", "WINDOW", "FILE", "CREDENTIAL",
    "NETWORK_ACL", "XML_SCHEMA", "JAVA_CLASS", "ANALYTIC_VIEW", "ATTRIBUTE_DIM", "HIERARCHY", "IDENTIFIER",
    "STATEMENT"};
const char* const kViewSuffixes[] = {"S", "_COLUMNS", "_COMMENTS", "_HISTORY", "_STATISTICS", "_PRIVS",
                                     "_USAGE", "_DETAILS", "_PARTITIONS", "_LOG", "_PROPERTIES", "_ATTRIBUTES",
                                     "_DEPENDENCIES", "_STATUS", "_SUMMARY"};
const char* const kViewPrefixes[] = {"ALL_", "USER_", "DBA_", "CDB_"};
const char* const kDynamicSuffixes[] = {"", "_STAT", "_METRIC", "_HISTORY"};
const char* const kDynamicPrefixes[] = {"V$", "GV$"};
const char* const kPackageSuffixes[] = {"", "_ADMIN", "_UTIL", "_INTERNAL"};
const char* const kPlainNames[] = {"DUAL", "DICTIONARY", "DICT", "DICT_COLUMNS", "TABS", "COLS", "IND", "OBJ",
                                   "SEQ", "SYN", "CAT", "CLU", "TABLE_PRIVILEGES", "COLUMN_PRIVILEGES",
                                   "ROLE_SYS_PRIVS", "ROLE_TAB_PRIVS", "SESSION_PRIVS", "SESSION_ROLES",
                                   "UTL_FILE", "UTL_HTTP", "UTL_RAW", "UTL_SMTP", "UTL_TCP", "UTL_URL",
                                   "UTL_ENCODE", "UTL_I18N", "UTL_LMS", "UTL_MATCH", "UTL_RECOMP", "UTL_REF",
                                   "UTL_COLL", "UTL_COMPRESS", "UTL_INADDR", "UTL_MAIL", "UTL_NLA", "PLITBLM",
                                   "XMLTYPE", "ANYDATA", "ANYTYPE", "ANYDATASET", "URITYPE", "HTTPURITYPE",
                                   "XDBURITYPE", "DBURITYPE", "ODCIVARCHAR2LIST", "ODCINUMBERLIST",
                                   "SYS_REFCURSOR_TYPE", "PRODUCT_COMPONENT_VERSION", "NLS_SESSION_PARAMETERS",
                                   "NLS_DATABASE_PARAMETERS", "NLS_INSTANCE_PARAMETERS", "GLOBAL_NAME",
                                   "V$SESSION", "V$INSTANCE", "V$DATABASE", "V$VERSION", "V$PARAMETER",
                                   "V$NLS_PARAMETERS", "V$SQL", "V$SQLAREA", "V$LOCK", "V$PROCESS", "GV$SESSION",
                                   "GV$INSTANCE", "DBMS_OUTPUT", "DBMS_SQL", "DBMS_LOB", "DBMS_METADATA",
                                   "DBMS_STATS", "DBMS_SCHEDULER", "DBMS_UTILITY", "DBMS_RANDOM", "DBMS_LOCK",
                                   "DBMS_PIPE", "DBMS_ALERT", "DBMS_CRYPTO", "DBMS_SESSION", "DBMS_XPLAN",
                                   "DBMS_APPLICATION_INFO", "DBMS_DDL", "DBMS_FLASHBACK", "DBMS_ASSERT"};
// The best-known dictionary views, by their own names, in every family.
const char* const kViewNames[] = {"TABLES", "OBJECTS", "INDEXES", "CONSTRAINTS", "TAB_COLUMNS", "TAB_COLS",
                                  "IND_COLUMNS", "IND_EXPRESSIONS", "CONS_COLUMNS", "SEQUENCES", "VIEWS",
                                  "SYNONYMS", "DB_LINKS", "TAB_COMMENTS", "COL_COMMENTS", "TRIGGERS", "SOURCE",
                                  "ERRORS", "TAB_PRIVS", "SYS_PRIVS", "ROLE_PRIVS", "USERS", "PROCEDURES",
                                  "ARGUMENTS", "DEPENDENCIES", "SEGMENTS", "EXTENTS", "TABLESPACES", "JOBS"};

std::set<std::string> SystemObjectNames() {
  std::set<std::string> names(std::begin(kPlainNames), std::end(kPlainNames));
  for (const char* view : kViewNames)
    for (const char* prefix : kViewPrefixes) names.insert(std::string(prefix) + view);
  for (const char* noun : kNouns) {
    for (const char* prefix : kViewPrefixes)
      for (const char* suffix : kViewSuffixes) names.insert(std::string(prefix) + noun + suffix);
    for (const char* prefix : kDynamicPrefixes)
      for (const char* suffix : kDynamicSuffixes) names.insert(std::string(prefix) + noun + suffix);
    for (const char* suffix : kPackageSuffixes) names.insert(std::string("DBMS_") + noun + suffix);
  }
  return names;
}

}  // namespace

void AddSystemSynonyms(Storage& s) {
  const std::string now = Storage::Now();
  int64_t id = kFirstSynonymObjId;
  for (const std::string& name : SystemObjectNames()) {
    auto obj = s.Query("INSERT INTO objects (obj_id, owner_id, name, type, namespace, created, last_ddl) "
                       "VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?6)");
    obj.Bind(1, id).Bind(2, kPublicUserId).Bind(3, name).Bind(4, static_cast<int>(kObjSynonym));
    obj.Bind(5, static_cast<int>(kNsDefault)).Bind(6, now);
    obj.Run();
    auto syn = s.Query("INSERT INTO synonyms (obj_id, target_owner, target_name) VALUES (?1, 'SYS', ?2)");
    syn.Bind(1, id).Bind(2, name);
    syn.Run();
    ++id;
  }
}

void SeedConstraintNumbers(Storage& s, const std::string& dbName) {
  // FNV-1a over the name; the start keeps SYS_C names at seven digits.
  uint64_t h = 1469598103934665603ull;
  for (unsigned char c : dbName) {
    h ^= c;
    h *= 1099511628211ull;
  }
  const int64_t start = 10000 + static_cast<int64_t>(h % 8000000);
  auto q = s.Query("UPDATE properties SET value = ?1 WHERE name = 'next_con_id'");
  q.Bind(1, std::to_string(start));
  q.Run();
}

}  // namespace oraemu
