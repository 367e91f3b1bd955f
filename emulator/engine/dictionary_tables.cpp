// USER_TABLES, USER_TAB_COLS, USER_TAB_COLUMNS, USER_TAB_COMMENTS,
// USER_COL_COMMENTS. Values Oracle computes from statistics or storage
// options show what a freshly created heap table in USERS shows.
#include "engine/dictionary_builder.h"

namespace oraemu::dict {

namespace {

constexpr auto NN = ViewBuilder::kNotNull;

View UserTables() {
  ViewBuilder b("USER_TABLES",
                "FROM objects o JOIN tables t ON t.obj_id = o.obj_id "
                "WHERE o.owner_id = ?1 AND o.namespace = 1 AND +o.type = 2");
  // An index-organized table keeps its rows in its key's index: no tablespace of its own.
  b.Vc("TABLE_NAME", 128, "o.name", NN)
      .Vc("TABLESPACE_NAME", 30, "CASE WHEN t.iot_type IS NULL THEN 'USERS' END")
      .Vc("CLUSTER_NAME", 128, "NULL")
      .Vc("IOT_NAME", 128, "NULL")
      .Vc("STATUS", 8, "'VALID'")
      .Num("PCT_FREE", "10")
      .Num("PCT_USED", "NULL")
      .Num("INI_TRANS", "1")
      .Num("MAX_TRANS", "255")
      .Num("INITIAL_EXTENT", "65536")
      .Num("NEXT_EXTENT", "1048576")
      .Num("MIN_EXTENTS", "1")
      .Num("MAX_EXTENTS", "2147483645")
      .Num("PCT_INCREASE", "NULL")
      .Num("FREELISTS", "NULL")
      .Num("FREELIST_GROUPS", "NULL")
      .Vc("LOGGING", 3, "'YES'")
      .Vc("BACKED_UP", 1, "'N'")
      .Num("NUM_ROWS", "NULL")
      .Num("BLOCKS", "NULL")
      .Num("EMPTY_BLOCKS", "NULL")
      .Num("AVG_SPACE", "NULL")
      .Num("CHAIN_CNT", "NULL")
      .Num("AVG_ROW_LEN", "NULL")
      .Num("AVG_SPACE_FREELIST_BLOCKS", "NULL")
      .Num("NUM_FREELIST_BLOCKS", "NULL")
      .Vc("DEGREE", 10, "'         1'")
      .Vc("INSTANCES", 10, "'         1'")
      .Vc("CACHE", 5, "'    N'")
      .Vc("TABLE_LOCK", 8, "'ENABLED'")
      .Num("SAMPLE_SIZE", "NULL")
      .Date("LAST_ANALYZED", "NULL")
      .Vc("PARTITIONED", 3, "'NO'")
      .Vc("IOT_TYPE", 12, "t.iot_type")
      .Vc("TEMPORARY", 1, "'N'")
      .Vc("SECONDARY", 1, "'N'")
      .Vc("NESTED", 3, "'NO'")
      .Vc("BUFFER_POOL", 7, "'DEFAULT'")
      .Vc("FLASH_CACHE", 7, "'DEFAULT'")
      .Vc("CELL_FLASH_CACHE", 7, "'DEFAULT'")
      .Vc("ROW_MOVEMENT", 8, "'DISABLED'")
      .Vc("GLOBAL_STATS", 3, "'NO'")
      .Vc("USER_STATS", 3, "'NO'")
      .Vc("DURATION", 15, "NULL")
      .Vc("SKIP_CORRUPT", 8, "'DISABLED'")
      .Vc("MONITORING", 3, "'YES'")
      .Vc("CLUSTER_OWNER", 128, "NULL")
      .Vc("DEPENDENCIES", 8, "'DISABLED'")
      .Vc("COMPRESSION", 8, "'DISABLED'")
      .Vc("COMPRESS_FOR", 30, "NULL")
      .Vc("DROPPED", 3, "'NO'")
      .Vc("READ_ONLY", 3, "'NO'")
      .Vc("SEGMENT_CREATED", 3, "'NO'")
      .Vc("RESULT_CACHE", 7, "'DEFAULT'")
      .Vc("CLUSTERING", 3, "'NO'")
      .Vc("ACTIVITY_TRACKING", 23, "NULL")
      .Vc("DML_TIMESTAMP", 25, "NULL")
      .Vc("HAS_IDENTITY", 3,
          "CASE WHEN EXISTS (SELECT 1 FROM identity_columns i WHERE i.table_obj_id = o.obj_id) "
          "THEN 'YES' ELSE 'NO' END")
      .Vc("CONTAINER_DATA", 3, "'NO'")
      .Vc("INMEMORY", 8, "'DISABLED'")
      .Vc("INMEMORY_PRIORITY", 8, "NULL")
      .Vc("INMEMORY_DISTRIBUTE", 15, "NULL")
      .Vc("INMEMORY_COMPRESSION", 17, "NULL")
      .Vc("INMEMORY_DUPLICATE", 13, "NULL")
      .Vc("DEFAULT_COLLATION", 100, "'USING_NLS_COMP'")
      .Vc("DUPLICATED", 1, "'N'")
      .Vc("SHARDED", 1, "'N'")
      .Vc("EXTERNAL", 3, "'NO'")
      .Vc("HYBRID", 3, "'NO'")
      .Vc("CELLMEMORY", 24, "NULL")
      .Vc("CONTAINERS_DEFAULT", 3, "'NO'")
      .Vc("CONTAINER_MAP", 3, "'NO'")
      .Vc("EXTENDED_DATA_LINK", 3, "'NO'")
      .Vc("EXTENDED_DATA_LINK_MAP", 3, "'NO'")
      .Vc("INMEMORY_SERVICE", 12, "NULL")
      .Vc("INMEMORY_SERVICE_NAME", 1000, "NULL")
      .Vc("CONTAINER_MAP_OBJECT", 3, "'NO'")
      .Vc("MEMOPTIMIZE_READ", 8, "'DISABLED'")
      .Vc("MEMOPTIMIZE_WRITE", 8, "'DISABLED'")
      .Vc("HAS_SENSITIVE_COLUMN", 3, "'NO'")
      .Vc("ADMIT_NULL", 3, "'NO'")
      .Vc("DATA_LINK_DML_ENABLED", 3, "'NO'")
      .Vc("LOGICAL_REPLICATION", 8, "'ENABLED'");
  return std::move(b).Build();
}

// Columns of the user's tables and views. Hidden columns (the keys of
// function-based indexes) are stored from column_id 100000 on, that number
// plus their INTERNAL_COLUMN_ID; only USER_TAB_COLS shows them.
const char* const kColumnsFrom =
    "FROM objects o JOIN columns c ON c.obj_id = o.obj_id "
    "WHERE o.owner_id = ?1 AND o.namespace = 1 AND +o.type IN (2, 4)";
const char* const kVisibleColumnsFrom =
    "FROM objects o JOIN columns c ON c.obj_id = o.obj_id "
    "WHERE o.owner_id = ?1 AND o.namespace = 1 AND +o.type IN (2, 4) AND c.column_id < 100000";
const char* const kHidden = "c.column_id >= 100000";

// The identity row of the column, if it is one.
const std::string kIdentityRow =
    "(SELECT 1 FROM identity_columns i WHERE i.table_obj_id = c.obj_id AND i.column_name = c.name)";
const std::string kIdentity =
    "(SELECT i.on_null FROM identity_columns i WHERE i.table_obj_id = c.obj_id AND i.column_name = c.name";

// A simple CASE rather than IN lists: SQLite builds a lookup table for
// every longer IN list on every execution.
std::string CharacterSet() {
  std::string sql = "CASE c.data_type";
  for (const char* t : {"VARCHAR2", "CHAR", "CLOB", "LONG", "VARCHAR"}) sql += std::string(" WHEN '") + t + "' THEN 'CHAR_CS'";
  for (const char* t : {"NVARCHAR2", "NCHAR", "NCLOB"}) sql += std::string(" WHEN '") + t + "' THEN 'NCHAR_CS'";
  return sql + " END";
}
std::string IfCharacter(const std::string& expr) {
  return "CASE WHEN " + CharacterSet() + " IS NOT NULL THEN " + expr + " END";
}

// USER_TAB_COLS holds every column of USER_TAB_COLUMNS plus the hidden and
// internal ones; `all` selects which list is built.
View TabCols(bool all) {
  ViewBuilder b(all ? "USER_TAB_COLS" : "USER_TAB_COLUMNS", all ? kColumnsFrom : kVisibleColumnsFrom);
  b.Vc("TABLE_NAME", 128, "o.name", NN)
      .Vc("COLUMN_NAME", 128, "c.name", NN)
      .Vc("DATA_TYPE", 128, "c.data_type")
      .Vc("DATA_TYPE_MOD", 3, "NULL")
      .Vc("DATA_TYPE_OWNER", 128, "NULL")
      .Num("DATA_LENGTH", "c.data_length", NN)
      .Num("DATA_PRECISION", "c.data_precision")
      // NUMBER(p) has scale 0 whether or not the DDL wrote it.
      .Num("DATA_SCALE",
           "CASE WHEN c.data_type = 'NUMBER' AND c.data_precision IS NOT NULL THEN ifnull(c.data_scale, 0) "
           "ELSE c.data_scale END")
      .Vc("NULLABLE", 1, "c.nullable")
      .Num("COLUMN_ID", std::string("CASE WHEN ") + kHidden + " THEN NULL ELSE c.column_id END")
      .Num("DEFAULT_LENGTH", "length(CAST(c.default_text AS BLOB))")
      .Long("DATA_DEFAULT", "c.default_text")
      .Num("NUM_DISTINCT", "NULL")
      .Raw("LOW_VALUE", 1000, "NULL")
      .Raw("HIGH_VALUE", 1000, "NULL")
      .Num("DENSITY", "NULL")
      .Num("NUM_NULLS", "NULL")
      .Num("NUM_BUCKETS", "NULL")
      .Date("LAST_ANALYZED", "NULL")
      .Num("SAMPLE_SIZE", "NULL")
      .Vc("CHARACTER_SET_NAME", 44, CharacterSet())
      .Num("CHAR_COL_DECL_LENGTH", IfCharacter("c.data_length"))
      .Vc("GLOBAL_STATS", 3, "'NO'")
      .Vc("USER_STATS", 3, "'NO'")
      .Num("AVG_COL_LEN", "NULL")
      .Num("CHAR_LENGTH", "c.char_length")
      .Vc("CHAR_USED", 1, "c.char_used")
      .Vc("V80_FMT_IMAGE", 3, "'NO'")
      .Vc("DATA_UPGRADED", 3, "'YES'");
  if (all) {
    b.Vc("HIDDEN_COLUMN", 3, std::string("CASE WHEN ") + kHidden + " THEN 'YES' ELSE 'NO' END")
        .Vc("VIRTUAL_COLUMN", 3,
            std::string("CASE WHEN ") + kHidden + " OR c.virtual_column = 1 THEN 'YES' ELSE 'NO' END")
        // Virtual columns take no room in the rows; the stored ones are counted without them.
        .Num("SEGMENT_COLUMN_ID",
             std::string("CASE WHEN o.type = 2 AND NOT ") + kHidden +
                 " AND c.virtual_column = 0 THEN (SELECT count(*) FROM columns s WHERE s.obj_id = c.obj_id "
                 "AND s.column_id <= c.column_id AND s.virtual_column = 0) END")
        .Num("INTERNAL_COLUMN_ID", std::string("CASE WHEN ") + kHidden + " THEN c.column_id - 100000 ELSE c.column_id END",
             NN);
  }
  b.Vc("HISTOGRAM", 15, "'NONE'");
  if (all) {
    b.Vc("QUALIFIED_COL_NAME", 4000, "c.name")
        .Vc("USER_GENERATED", 3, std::string("CASE WHEN ") + kHidden + " THEN 'NO' ELSE 'YES' END");
  }
  b.Vc("DEFAULT_ON_NULL", 3, "coalesce(" + kIdentity + "), 'NO')")
      .Vc("IDENTITY_COLUMN", 3, "CASE WHEN EXISTS " + kIdentityRow + " THEN 'YES' ELSE 'NO' END")
      .Vc("EVALUATION_EDITION", 128, "NULL")
      .Vc("UNUSABLE_BEFORE", 128, "NULL")
      .Vc("UNUSABLE_BEGINNING", 128, "NULL")
      .Vc("COLLATION", 100, IfCharacter("'USING_NLS_COMP'"));
  if (all) b.Num("COLLATED_COLUMN_ID", "NULL");
  return std::move(b).Build();
}

// Every table and view has a row, with or without a comment.
View TabComments() {
  ViewBuilder b("USER_TAB_COMMENTS",
                "FROM objects o WHERE o.owner_id = ?1 AND o.namespace = 1 AND +o.type IN (2, 4)");
  b.Vc("TABLE_NAME", 128, "o.name", NN)
      .Vc("TABLE_TYPE", 11, "CASE o.type WHEN 2 THEN 'TABLE' ELSE 'VIEW' END")
      .Vc("COMMENTS", 4000,
          "NULLIF(CASE o.type WHEN 2 THEN (SELECT t.comments FROM tables t WHERE t.obj_id = o.obj_id) "
          "ELSE (SELECT v.comments FROM views v WHERE v.obj_id = o.obj_id) END, '')")
      .Num("ORIGIN_CON_ID", "0");
  return std::move(b).Build();
}

// Every column of every table and view has a row. Programs outer-join this
// view; reading one table only lets SQLite merge it into such a join
// instead of building it whole for every execution, and the lookup of
// TABLE_NAME lets it reach one table's columns by index. The owner test is
// made per row: as a list it would be built for every execution.
View ColComments() {
  ViewBuilder b("USER_COL_COMMENTS",
                "FROM columns c WHERE c.column_id < 100000 AND EXISTS (SELECT 1 FROM objects x WHERE x.obj_id = c.obj_id "
                "AND x.owner_id = ?1 AND x.namespace = 1 AND +x.type IN (2, 4))");
  b.Vc("TABLE_NAME", 128, "(SELECT x.name FROM objects x WHERE x.obj_id = c.obj_id)", NN)
      .Lookup("#OBJ", "SELECT x.obj_id FROM objects x WHERE x.owner_id = ?1 AND x.namespace = 1 AND x.name = {}",
              true)
      .Vc("COLUMN_NAME", 128, "c.name", NN)
      .Vc("COMMENTS", 4000, "NULLIF(c.comments, '')")
      .Num("ORIGIN_CON_ID", "0")
      .Key("#OBJ", "c.obj_id");
  return std::move(b).Build();
}

// Identity options as 19c lists them, from the identity's sequence.
View TabIdentityCols() {
  ViewBuilder b("USER_TAB_IDENTITY_COLS",
                "FROM identity_columns i JOIN objects o ON o.obj_id = i.table_obj_id "
                "JOIN objects q ON q.obj_id = i.sequence_obj_id JOIN sequences s ON s.obj_id = q.obj_id "
                "WHERE o.owner_id = ?1");
  b.Vc("TABLE_NAME", 128, "o.name", NN)
      .Vc("COLUMN_NAME", 128, "i.column_name", NN)
      .Vc("GENERATION_TYPE", 10, "i.generation_type")
      .Vc("SEQUENCE_NAME", 128, "q.name", NN)
      .Vc("IDENTITY_OPTIONS", 298,
          "'START WITH: ' || s.last_number || ', INCREMENT BY: ' || s.increment_by || ', MAX_VALUE: ' || "
          "s.max_value || ', MIN_VALUE: ' || s.min_value || ', CYCLE_FLAG: ' || s.cycle_flag || "
          "', CACHE_SIZE: ' || s.cache_size || ', ORDER_FLAG: ' || s.order_flag || "
          "', SCALE_FLAG: N, EXTEND_FLAG: N, KEEP_VALUE: N'");
  return std::move(b).Build();
}

}  // namespace

void AddTableViews(std::vector<View>& out) {
  out.push_back(TabIdentityCols());
  out.push_back(UserTables());
  out.push_back(TabCols(true));
  out.push_back(TabCols(false));
  out.push_back(TabComments());
  out.push_back(ColComments());
}

}  // namespace oraemu::dict
