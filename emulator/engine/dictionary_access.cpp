// TABLE_PRIVILEGES, USER_TAB_PRIVS, USER_SYNONYMS, ALL_SYNONYMS,
// USER_DB_LINKS, USER_OBJECTS, ALL_USERS, USER_ERRORS.
#include "engine/dictionary_builder.h"

namespace oraemu::dict {

namespace {

constexpr auto NN = ViewBuilder::kNotNull;

std::string UserName(const std::string& idExpr) {
  return "(SELECT u.name FROM users u WHERE u.user_id = " + idExpr + ")";
}

// One row per object, grantor and grantee; a privilege column is 2 when
// granted WITH GRANT OPTION, 1 when granted, 0 when not.
std::string PrivilegeLevel(const char* privilege) {
  return std::string("max(CASE WHEN g.privilege = '") + privilege +
         "' THEN CASE WHEN g.grantable = 'YES' THEN 2 ELSE 1 END ELSE 0 END)";
}

std::string Letters(const std::string& level, const char* granted) {
  return "CASE " + level + " WHEN 2 THEN 'G' WHEN 1 THEN '" + granted + "' ELSE 'N' END";
}

// Visible when the user is the grantor, the grantee or the owner, or the
// grant goes to PUBLIC.
View TablePrivileges() {
  std::string from = "FROM (SELECT g.obj_id, g.grantor_id, g.grantee_id";
  const char* const privileges[] = {"SELECT", "INSERT", "DELETE", "UPDATE", "REFERENCES", "ALTER", "INDEX"};
  int n = 0;
  for (const char* p : privileges) from += ", " + PrivilegeLevel(p) + " AS p" + std::to_string(n++);
  from +=
      " FROM grants g GROUP BY g.obj_id, g.grantor_id, g.grantee_id) p "
      "JOIN objects o ON o.obj_id = p.obj_id "
      "WHERE o.owner_id = ?1 OR p.grantor_id = ?1 OR p.grantee_id IN (?1, 1)";
  ViewBuilder b("TABLE_PRIVILEGES", from);
  b.Vc("GRANTEE", 128, UserName("p.grantee_id"), NN)
      .Vc("OWNER", 128, UserName("o.owner_id"), NN)
      .Vc("TABLE_NAME", 128, "o.name", NN)
      .Vc("GRANTOR", 128, UserName("p.grantor_id"), NN)
      .Vc("SELECT_PRIV", 1, Letters("p.p0", "Y"))
      .Vc("INSERT_PRIV", 1, Letters("p.p1", "A"))
      .Vc("DELETE_PRIV", 1, Letters("p.p2", "Y"))
      .Vc("UPDATE_PRIV", 1, Letters("p.p3", "A"))
      .Vc("REFERENCES_PRIV", 1, Letters("p.p4", "A"))
      .Vc("ALTER_PRIV", 1, Letters("p.p5", "Y"))
      .Vc("INDEX_PRIV", 1, Letters("p.p6", "Y"))
      .Vc("CREATED", 0, "NULL");
  return std::move(b).Build();
}

View UserTabPrivs() {
  ViewBuilder b("USER_TAB_PRIVS",
                "FROM grants g JOIN objects o ON o.obj_id = g.obj_id "
                "WHERE o.owner_id = ?1 OR g.grantor_id = ?1 OR g.grantee_id = ?1");
  b.Vc("GRANTEE", 128, UserName("g.grantee_id"))
      .Vc("OWNER", 128, UserName("o.owner_id"))
      .Vc("TABLE_NAME", 128, "o.name")
      .Vc("GRANTOR", 128, UserName("g.grantor_id"))
      .Vc("PRIVILEGE", 40, "g.privilege")
      .Vc("GRANTABLE", 3, "g.grantable")
      .Vc("HIERARCHY", 3, "'NO'")
      .Vc("COMMON", 3, "'NO'")
      .Vc("TYPE", 24,
          "CASE o.type WHEN 2 THEN 'TABLE' WHEN 4 THEN 'VIEW' WHEN 6 THEN 'SEQUENCE' "
          "WHEN 7 THEN 'PROCEDURE' WHEN 8 THEN 'FUNCTION' WHEN 9 THEN 'PACKAGE' END")
      .Vc("INHERITED", 3, "'NO'");
  return std::move(b).Build();
}

View Synonyms(bool all) {
  ViewBuilder b(all ? "ALL_SYNONYMS" : "USER_SYNONYMS",
                std::string("FROM objects o JOIN synonyms s ON s.obj_id = o.obj_id WHERE ") +
                    (all ? "o.owner_id IN (?1, 1)" : "o.owner_id = ?1") + " AND o.namespace = 1 AND +o.type = 5");
  if (all) b.Vc("OWNER", 128, UserName("o.owner_id"));
  b.Vc("SYNONYM_NAME", 128, "o.name")
      .Vc("TABLE_OWNER", 128, "s.target_owner")
      .Vc("TABLE_NAME", 128, "s.target_name")
      .Vc("DB_LINK", 128, "s.db_link")
      .Num("ORIGIN_CON_ID", "0");
  return std::move(b).Build();
}

View UserDbLinks() {
  ViewBuilder b("USER_DB_LINKS", "FROM db_links d WHERE d.owner_id = ?1");
  b.Vc("DB_LINK", 128, "d.name", NN)
      .Vc("USERNAME", 128, "d.username")
      .Vc("PASSWORD", 128, "NULL")
      .Vc("HOST", 2000, "d.host")
      .Date("CREATED", "d.created", NN)
      .Vc("HIDDEN", 3, "'NO'")
      .Vc("SHARD_INTERNAL", 3, "'NO'")
      .Vc("VALID", 3, "'YES'")
      .Vc("INTRA_CDB", 3, "'NO'");
  return std::move(b).Build();
}

const char* const kObjectType =
    "CASE o.type WHEN 1 THEN 'INDEX' WHEN 2 THEN 'TABLE' WHEN 4 THEN 'VIEW' WHEN 5 THEN 'SYNONYM' "
    "WHEN 6 THEN 'SEQUENCE' WHEN 7 THEN 'PROCEDURE' WHEN 8 THEN 'FUNCTION' WHEN 9 THEN 'PACKAGE' "
    "WHEN 11 THEN 'PACKAGE BODY' WHEN 12 THEN 'TRIGGER' WHEN 13 THEN 'TYPE' WHEN 14 THEN 'TYPE BODY' "
    "ELSE 'UNDEFINED' END";

View UserObjects() {
  ViewBuilder b("USER_OBJECTS", "FROM objects o WHERE o.owner_id = ?1");
  b.Vc("OBJECT_NAME", 128, "o.name")
      .Vc("SUBOBJECT_NAME", 128, "NULL")
      .Num("OBJECT_ID", "o.obj_id")
      .Num("DATA_OBJECT_ID", "CASE WHEN o.type IN (1, 2) THEN o.obj_id END")
      .Vc("OBJECT_TYPE", 23, kObjectType)
      .Date("CREATED", "o.created")
      .Date("LAST_DDL_TIME", "o.last_ddl")
      .Vc("TIMESTAMP", 19, "replace(o.last_ddl, ' ', ':')")
      .Vc("STATUS", 7, "CASE o.status WHEN 1 THEN 'VALID' ELSE 'INVALID' END")
      .Vc("TEMPORARY", 1, "'N'")
      .Vc("GENERATED", 1,
          "CASE WHEN o.type = 1 AND (SELECT i.generated FROM indexes i WHERE i.obj_id = o.obj_id) = 'Y' "
          "THEN 'Y' ELSE 'N' END")
      .Vc("SECONDARY", 1, "'N'")
      .Num("NAMESPACE", "o.namespace")
      .Vc("EDITION_NAME", 128, "NULL")
      .Vc("SHARING", 18, "'NONE'")
      .Vc("EDITIONABLE", 1, "CASE WHEN o.type IN (5, 7, 8, 9, 11, 12, 4) THEN 'Y' END")
      .Vc("ORACLE_MAINTAINED", 1, "'N'")
      .Vc("APPLICATION", 1, "'N'")
      .Vc("DEFAULT_COLLATION", 100, "CASE WHEN o.type IN (2, 4, 7, 8, 9) THEN 'USING_NLS_COMP' END")
      .Vc("DUPLICATED", 1, "'N'")
      .Vc("SHARDED", 1, "'N'")
      .Num("CREATED_APPID", "NULL")
      .Num("CREATED_VSNID", "NULL")
      .Num("MODIFIED_APPID", "NULL")
      .Num("MODIFIED_VSNID", "NULL");
  return std::move(b).Build();
}

View AllUsers() {
  ViewBuilder b("ALL_USERS", "FROM users u WHERE u.kind = 1");
  b.Vc("USERNAME", 128, "u.name", NN)
      .Num("USER_ID", "u.user_id", NN)
      .Date("CREATED", "u.created", NN)
      .Vc("COMMON", 3, "'NO'")
      .Vc("ORACLE_MAINTAINED", 1, "CASE WHEN u.user_id < 100 THEN 'Y' ELSE 'N' END")
      .Vc("INHERITED", 3, "'NO'")
      .Vc("DEFAULT_COLLATION", 100, "'USING_NLS_COMP'")
      .Vc("IMPLICIT", 3, "'NO'")
      .Vc("ALL_SHARD", 3, "'NO'");
  return std::move(b).Build();
}

View UserErrors() {
  ViewBuilder b("USER_ERRORS", "FROM code_errors e JOIN objects o ON o.obj_id = e.obj_id WHERE o.owner_id = ?1");
  b.Vc("NAME", 128, "o.name", NN)
      .Vc("TYPE", 12, kObjectType)
      .Num("SEQUENCE", "e.sequence", NN)
      .Num("LINE", "e.line", NN)
      .Num("POSITION", "e.position", NN)
      .Vc("TEXT", 4000, "e.text", NN)
      .Vc("ATTRIBUTE", 9, "'ERROR'")
      .Num("MESSAGE_NUMBER", "e.message_number");
  return std::move(b).Build();
}

}  // namespace

void AddAccessViews(std::vector<View>& out) {
  out.push_back(UserErrors());
  out.push_back(TablePrivileges());
  out.push_back(UserTabPrivs());
  out.push_back(Synonyms(false));
  out.push_back(Synonyms(true));
  out.push_back(UserDbLinks());
  out.push_back(UserObjects());
  out.push_back(AllUsers());
}

}  // namespace oraemu::dict
