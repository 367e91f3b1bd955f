// The SYS tables the program reads directly (OBJ$, SYN$, USER$), DUAL and
// NLS_DATABASE_PARAMETERS.
// They show every user's rows, as they do to a user who may read them.
#include "engine/dictionary_builder.h"

namespace oraemu::dict {

namespace {

constexpr auto NN = ViewBuilder::kNotNull;

View Obj() {
  ViewBuilder b("OBJ$", "FROM objects o", false);
  b.Num("OBJ#", "o.obj_id", NN)
      .Num("DATAOBJ#", "CASE WHEN o.type IN (1, 2) THEN o.obj_id END")
      .Num("OWNER#", "o.owner_id", NN)
      .Vc("NAME", 128, "o.name", NN)
      .Num("NAMESPACE", "o.namespace", NN)
      .Vc("SUBNAME", 128, "NULL")
      .Num("TYPE#", "o.type", NN)
      .Date("CTIME", "o.created", NN)
      .Date("MTIME", "o.last_ddl", NN)
      .Date("STIME", "o.last_ddl", NN)
      .Num("STATUS", "o.status", NN)
      .Vc("REMOTEOWNER", 128, "NULL")
      .Vc("LINKNAME", 128, "NULL")
      .Num("FLAGS", "0")
      .Raw("OID$", 16, "NULL")
      .Num("SPARE1", "6")
      .Num("SPARE2", "1")
      .Num("SPARE3", "o.owner_id")
      .Vc("SPARE4", 1000, "NULL")
      .Vc("SPARE5", 1000, "NULL")
      .Date("SPARE6", "NULL")
      .Raw("SIGNATURE", 16, "NULL")
      .Num("SPARE7", "NULL")
      .Num("SPARE8", "NULL")
      .Num("SPARE9", "NULL");
  return std::move(b).Build();
}

View Syn() {
  ViewBuilder b("SYN$", "FROM synonyms s", false);
  b.Num("OBJ#", "s.obj_id", NN)
      .Vc("NODE", 128, "s.db_link")
      .Vc("OWNER", 128, "s.target_owner")
      .Vc("NAME", 128, "s.target_name", NN);
  return std::move(b).Build();
}

// Password hashes are not shown: the storage keeps no hash to show.
View User() {
  ViewBuilder b("USER$", "FROM users u", false);
  b.Num("USER#", "u.user_id", NN)
      .Vc("NAME", 128, "u.name", NN)
      .Num("TYPE#", "u.kind", NN)
      .Vc("PASSWORD", 4000, "NULL")
      .Num("DATATS#", "4", NN)
      .Num("TEMPTS#", "3", NN)
      .Date("CTIME", "u.created", NN)
      .Date("PTIME", "u.created")
      .Date("EXPTIME", "NULL")
      .Date("LTIME", "NULL")
      .Num("RESOURCE$", "0", NN)
      .Vc("AUDIT$", 38, "NULL")
      .Num("DEFROLE", "1", NN)
      .Num("DEFGRP#", "NULL")
      .Num("DEFGRP_SEQ#", "NULL")
      .Num("ASTATUS", "CASE WHEN u.expiring < 0 THEN 1 WHEN u.expiring > 0 THEN 2 ELSE 0 END", NN)
      .Num("LCOUNT", "0", NN)
      .Vc("DEFSCHCLASS", 128, "NULL")
      .Vc("EXT_USERNAME", 4000, "CASE WHEN u.external = 1 THEN u.name END")
      .Num("SPARE1", "NULL")
      .Num("SPARE2", "NULL")
      .Num("SPARE3", "NULL")
      .Vc("SPARE4", 1000, "NULL")
      .Vc("SPARE5", 1000, "NULL")
      .Date("SPARE6", "NULL");
  return std::move(b).Build();
}

// The database's settings as NLS_DATABASE_PARAMETERS lists them; the
// character sets are those the database was created with.
View NlsDatabaseParameters() {
  std::string rows;
  const std::pair<const char*, const char*> fixed[] = {
      {"NLS_LANGUAGE", "'AMERICAN'"},
      {"NLS_TERRITORY", "'AMERICA'"},
      {"NLS_CHARACTERSET", "(SELECT value FROM properties WHERE name = 'character_set')"},
      {"NLS_NCHAR_CHARACTERSET", "(SELECT value FROM properties WHERE name = 'national_character_set')"},
      {"NLS_DATE_FORMAT", "'DD-MON-RR'"},
      {"NLS_LENGTH_SEMANTICS", "'BYTE'"},
      {"NLS_NCHAR_CONV_EXCP", "'FALSE'"},
      {"NLS_COMP", "'BINARY'"},
      {"NLS_SORT", "'BINARY'"},
      {"NLS_RDBMS_VERSION", "'19.0.0.0.0'"},
  };
  for (const auto& [name, value] : fixed) {
    if (!rows.empty()) rows += " UNION ALL ";
    rows += std::string("SELECT '") + name + "' AS parameter, " + value + " AS value";
  }
  ViewBuilder b("NLS_DATABASE_PARAMETERS", "FROM (" + rows + ") n");
  b.Vc("PARAMETER", 128, "n.parameter", NN).Vc("VALUE", 64, "n.value");
  return std::move(b).Build();
}

View Dual() {
  ViewBuilder b("DUAL", "FROM (SELECT 1)");
  b.Vc("DUMMY", 1, "'X'");
  return std::move(b).Build();
}

}  // namespace

void AddSysTables(std::vector<View>& out) {
  out.push_back(Obj());
  out.push_back(Syn());
  out.push_back(User());
  out.push_back(Dual());
  out.push_back(NlsDatabaseParameters());
}

}  // namespace oraemu::dict
