// USER_INDEXES, USER_IND_COLUMNS, USER_IND_EXPRESSIONS, USER_CONSTRAINTS, USER_CONS_COLUMNS,
// ALL_CONS_COLUMNS.
#include "engine/dictionary_builder.h"

namespace oraemu::dict {

namespace {

constexpr auto NN = ViewBuilder::kNotNull;

std::string OwnerNameOf(const std::string& objIdExpr) {
  return "(SELECT u.name FROM objects x JOIN users u ON u.user_id = x.owner_id WHERE x.obj_id = " + objIdExpr +
         ")";
}
std::string NameOf(const std::string& objIdExpr) {
  return "(SELECT x.name FROM objects x WHERE x.obj_id = " + objIdExpr + ")";
}

View UserIndexes() {
  ViewBuilder b("USER_INDEXES",
                "FROM objects o JOIN indexes i ON i.obj_id = o.obj_id "
                "JOIN objects t ON t.obj_id = i.table_obj_id "
                "WHERE o.owner_id = ?1 AND o.namespace = 4 AND +o.type = 1");
  b.Vc("INDEX_NAME", 128, "o.name", NN)
      .Vc("INDEX_TYPE", 27, "i.index_type")
      .Vc("TABLE_OWNER", 128, OwnerNameOf("t.obj_id"), NN)
      .Vc("TABLE_NAME", 128, "t.name", NN)
      .Lookup("#TAB", kTableByName)
      .Vc("TABLE_TYPE", 11, "'TABLE'")
      .Vc("UNIQUENESS", 9, "i.uniqueness")
      .Vc("COMPRESSION", 13, "'DISABLED'")
      .Num("PREFIX_LENGTH", "NULL")
      .Vc("TABLESPACE_NAME", 30, "'USERS'")
      .Num("INI_TRANS", "2")
      .Num("MAX_TRANS", "255")
      .Num("INITIAL_EXTENT", "65536")
      .Num("NEXT_EXTENT", "1048576")
      .Num("MIN_EXTENTS", "1")
      .Num("MAX_EXTENTS", "2147483645")
      .Num("PCT_INCREASE", "NULL")
      .Num("PCT_THRESHOLD", "NULL")
      .Num("INCLUDE_COLUMN", "NULL")
      .Num("FREELISTS", "NULL")
      .Num("FREELIST_GROUPS", "NULL")
      .Num("PCT_FREE", "10")
      .Vc("LOGGING", 3, "'YES'")
      .Num("BLEVEL", "NULL")
      .Num("LEAF_BLOCKS", "NULL")
      .Num("DISTINCT_KEYS", "NULL")
      .Num("AVG_LEAF_BLOCKS_PER_KEY", "NULL")
      .Num("AVG_DATA_BLOCKS_PER_KEY", "NULL")
      .Num("CLUSTERING_FACTOR", "NULL")
      .Vc("STATUS", 8, "i.status")
      .Num("NUM_ROWS", "NULL")
      .Num("SAMPLE_SIZE", "NULL")
      .Date("LAST_ANALYZED", "NULL")
      .Vc("DEGREE", 40, "'1'")
      .Vc("INSTANCES", 40, "'1'")
      .Vc("PARTITIONED", 3, "'NO'")
      .Vc("TEMPORARY", 1, "'N'")
      .Vc("GENERATED", 1, "i.generated")
      .Vc("SECONDARY", 1, "'N'")
      .Vc("BUFFER_POOL", 7, "'DEFAULT'")
      .Vc("FLASH_CACHE", 7, "'DEFAULT'")
      .Vc("CELL_FLASH_CACHE", 7, "'DEFAULT'")
      .Vc("USER_STATS", 3, "'NO'")
      .Vc("DURATION", 15, "NULL")
      .Num("PCT_DIRECT_ACCESS", "NULL")
      .Vc("ITYP_OWNER", 128, "NULL")
      .Vc("ITYP_NAME", 128, "NULL")
      .Vc("PARAMETERS", 1000, "NULL")
      .Vc("GLOBAL_STATS", 3, "'NO'")
      .Vc("DOMIDX_STATUS", 12, "NULL")
      .Vc("DOMIDX_OPSTATUS", 6, "NULL")
      .Vc("FUNCIDX_STATUS", 8, "CASE WHEN i.index_type LIKE 'FUNCTION-BASED%' THEN 'ENABLED' END")
      .Vc("JOIN_INDEX", 3, "'NO'")
      .Vc("IOT_REDUNDANT_PKEY_ELIM", 3, "'NO'")
      .Vc("DROPPED", 3, "'NO'")
      .Vc("VISIBILITY", 9, "'VISIBLE'")
      .Vc("DOMIDX_MANAGEMENT", 14, "NULL")
      .Vc("SEGMENT_CREATED", 3, "'NO'")
      .Vc("ORPHANED_ENTRIES", 3, "'NO'")
      .Vc("INDEXING", 7, "'FULL'")
      .Vc("AUTO", 3, "'NO'")
      .Vc("CONSTRAINT_INDEX", 3,
          "CASE WHEN EXISTS (SELECT 1 FROM constraints k WHERE k.index_obj_id = o.obj_id) "
          "THEN 'YES' ELSE 'NO' END")
      .Key("#TAB", "i.table_obj_id");
  return std::move(b).Build();
}

View UserIndColumns() {
  ViewBuilder b("USER_IND_COLUMNS",
                "FROM objects o JOIN indexes i ON i.obj_id = o.obj_id "
                "JOIN index_columns ic ON ic.index_obj_id = o.obj_id "
                "JOIN objects t ON t.obj_id = i.table_obj_id "
                "LEFT JOIN columns c ON c.obj_id = i.table_obj_id AND c.name = ic.column_name "
                "WHERE o.owner_id = ?1 AND o.namespace = 4 AND +o.type = 1");
  b.Vc("INDEX_NAME", 128, "o.name")
      .Vc("TABLE_NAME", 128, "t.name")
      .Vc("COLUMN_NAME", 4000, "ic.column_name")
      .Num("COLUMN_POSITION", "ic.position")
      .Num("COLUMN_LENGTH", "c.data_length")
      .Num("CHAR_LENGTH", "c.char_length")
      .Vc("DESCEND", 4, "ic.descend")
      .Num("COLLATED_COLUMN_ID", "NULL");
  return std::move(b).Build();
}

// The expressions of function-based index keys, as their hidden columns
// keep them.
View UserIndExpressions() {
  ViewBuilder b("USER_IND_EXPRESSIONS",
                "FROM objects o JOIN indexes i ON i.obj_id = o.obj_id "
                "JOIN index_columns ic ON ic.index_obj_id = o.obj_id "
                "JOIN objects t ON t.obj_id = i.table_obj_id "
                "JOIN columns c ON c.obj_id = i.table_obj_id AND c.name = ic.column_name AND c.column_id >= 100000 "
                "WHERE o.owner_id = ?1 AND o.namespace = 4 AND +o.type = 1");
  b.Vc("INDEX_NAME", 128, "o.name")
      .Vc("TABLE_NAME", 128, "t.name")
      .Long("COLUMN_EXPRESSION", "c.default_text")
      .Num("COLUMN_POSITION", "ic.position");
  return std::move(b).Build();
}

View UserConstraints() {
  ViewBuilder b("USER_CONSTRAINTS",
                "FROM constraints k JOIN objects t ON t.obj_id = k.table_obj_id WHERE k.owner_id = ?1");
  b.Vc("OWNER", 128, "?2")
      .Vc("CONSTRAINT_NAME", 128, "k.name", NN)
      .Vc("CONSTRAINT_TYPE", 1, "k.type")
      .Vc("TABLE_NAME", 128, "t.name", NN)
      .Lookup("#TAB", kTableByName)
      .Long("SEARCH_CONDITION", "k.search_condition")
      .Vc("SEARCH_CONDITION_VC", 4000, First4000("k.search_condition"))
      .Vc("R_OWNER", 128,
          "(SELECT u.name FROM constraints r JOIN users u ON u.user_id = r.owner_id WHERE r.con_id = k.r_con_id)")
      .Vc("R_CONSTRAINT_NAME", 128, "(SELECT r.name FROM constraints r WHERE r.con_id = k.r_con_id)")
      .Vc("DELETE_RULE", 9, "k.delete_rule")
      .Vc("STATUS", 8, "k.status")
      .Vc("DEFERRABLE", 14, "k.deferrable_state")
      .Vc("DEFERRED", 9, "k.deferred_state")
      .Vc("VALIDATED", 13, "k.validated")
      .Vc("GENERATED", 14, "k.generated")
      .Vc("BAD", 3, "NULL")
      .Vc("RELY", 4, "NULL")
      .Date("LAST_CHANGE", "k.last_change")
      .Vc("INDEX_OWNER", 128, "CASE WHEN k.index_obj_id IS NOT NULL THEN " + OwnerNameOf("k.index_obj_id") + " END")
      .Vc("INDEX_NAME", 128, "CASE WHEN k.index_obj_id IS NOT NULL THEN " + NameOf("k.index_obj_id") + " END")
      .Vc("INVALID", 7, "NULL")
      .Vc("VIEW_RELATED", 14, "NULL")
      .Num("ORIGIN_CON_ID", "0")
      .Key("#TAB", "k.table_obj_id");
  return std::move(b).Build();
}

// Key columns of constraints. USER_CONS_COLUMNS shows the user's own;
// ALL_CONS_COLUMNS adds those on tables the user (or PUBLIC) holds a
// privilege on. One base table, for the reasons of USER_COL_COMMENTS; the
// lookup of CONSTRAINT_NAME reaches a constraint's columns by index, and
// the visibility test is made per row so that it never competes with it.
View ConsColumns(bool all) {
  std::string visible = "k.owner_id = ?1";
  if (all) visible = "(" + visible + " OR k.table_obj_id IN (SELECT g.obj_id FROM grants g WHERE g.grantee_id IN (?1, 1)))";
  ViewBuilder b(all ? "ALL_CONS_COLUMNS" : "USER_CONS_COLUMNS",
                "FROM constraint_columns cc WHERE EXISTS (SELECT 1 FROM constraints k WHERE k.con_id = cc.con_id AND " +
                    visible + ")");
  b.Vc("OWNER", 128,
       "(SELECT u.name FROM constraints k JOIN users u ON u.user_id = k.owner_id WHERE k.con_id = cc.con_id)", NN)
      .Vc("CONSTRAINT_NAME", 128, "(SELECT k.name FROM constraints k WHERE k.con_id = cc.con_id)", NN)
      .Lookup("#CON", "SELECT k.con_id FROM constraints k WHERE k.name = {}")
      .Vc("TABLE_NAME", 128,
          "(SELECT t.name FROM constraints k JOIN objects t ON t.obj_id = k.table_obj_id WHERE k.con_id = cc.con_id)",
          NN)
      .Vc("COLUMN_NAME", 4000, "cc.column_name")
      .Num("POSITION", "cc.position")
      .Key("#CON", "cc.con_id");
  return std::move(b).Build();
}

}  // namespace

void AddKeyViews(std::vector<View>& out) {
  out.push_back(UserIndexes());
  out.push_back(UserIndColumns());
  out.push_back(UserIndExpressions());
  out.push_back(UserConstraints());
  out.push_back(ConsColumns(false));
  out.push_back(ConsColumns(true));
}

}  // namespace oraemu::dict
