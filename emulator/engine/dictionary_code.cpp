// USER_SEQUENCES, USER_TRIGGERS, USER_SOURCE, USER_VIEWS.
#include "engine/dictionary_builder.h"

namespace oraemu::dict {

namespace {

constexpr auto NN = ViewBuilder::kNotNull;

View UserSequences() {
  ViewBuilder b("USER_SEQUENCES",
                "FROM objects o JOIN sequences s ON s.obj_id = o.obj_id "
                "WHERE o.owner_id = ?1 AND o.namespace = 1 AND +o.type = 6");
  b.Vc("SEQUENCE_NAME", 128, "o.name", NN)
      .Num("MIN_VALUE", ExactNumber("s.min_value"))
      .Num("MAX_VALUE", ExactNumber("s.max_value"))
      .Num("INCREMENT_BY", ExactNumber("s.increment_by"), NN)
      .Vc("CYCLE_FLAG", 1, "s.cycle_flag")
      .Vc("ORDER_FLAG", 1, "s.order_flag")
      .Num("CACHE_SIZE", "s.cache_size", NN)
      .Num("LAST_NUMBER", ExactNumber("s.last_number"), NN)
      .Vc("SCALE_FLAG", 1, "'N'")
      .Vc("EXTEND_FLAG", 1, "'N'")
      .Vc("SHARDED_FLAG", 1, "'N'")
      .Vc("SESSION_FLAG", 1, "'N'")
      .Vc("KEEP_VALUE", 1, "'N'");
  return std::move(b).Build();
}

std::string YesIf(const std::string& cond) { return "CASE WHEN " + cond + " THEN 'YES' ELSE 'NO' END"; }

// A simple trigger's own timing, or a section "<timing> IS" of a compound
// trigger's body (written with single blanks, as these sections usually are).
std::string TimingPoint(const std::string& timing) {
  const std::string section = timing == "INSTEAD OF" ? "INSTEAD OF EACH ROW" : timing;
  return "(tr.trigger_type = '" + timing + "' OR (tr.trigger_type = 'COMPOUND' AND "
         "replace(replace(replace(tr.trigger_body, char(10), ' '), char(13), ' '), char(9), ' ') "
         "LIKE '% " + section + " IS%'))";
}

View UserTriggers() {
  ViewBuilder b("USER_TRIGGERS",
                "FROM objects o JOIN triggers tr ON tr.obj_id = o.obj_id "
                "WHERE o.owner_id = ?1 AND o.namespace = 3 AND +o.type = 12");
  b.Vc("TRIGGER_NAME", 128, "o.name")
      .Vc("TRIGGER_TYPE", 16, "tr.trigger_type")
      .Vc("TRIGGERING_EVENT", 246, "tr.triggering_event")
      .Vc("TABLE_OWNER", 128,
          "(SELECT u.name FROM objects x JOIN users u ON u.user_id = x.owner_id WHERE x.obj_id = tr.table_obj_id)")
      .Vc("BASE_OBJECT_TYPE", 18, "tr.base_object_type")
      .Vc("TABLE_NAME", 128, "(SELECT x.name FROM objects x WHERE x.obj_id = tr.table_obj_id)")
      .Vc("COLUMN_NAME", 4000, "tr.column_name")
      .Vc("REFERENCING_NAMES", 422, "tr.referencing_names")
      .Vc("WHEN_CLAUSE", 4000, "tr.when_clause")
      .Vc("STATUS", 8, "tr.status")
      .Vc("DESCRIPTION", 4000, "tr.description")
      .Vc("ACTION_TYPE", 11, "tr.action_type")
      .Long("TRIGGER_BODY", "tr.trigger_body")
      .Vc("CROSSEDITION", 7, "'DISABLED'")
      .Vc("BEFORE_STATEMENT", 3, YesIf(TimingPoint("BEFORE STATEMENT")))
      .Vc("BEFORE_ROW", 3, YesIf(TimingPoint("BEFORE EACH ROW")))
      .Vc("AFTER_ROW", 3, YesIf(TimingPoint("AFTER EACH ROW")))
      .Vc("AFTER_STATEMENT", 3, YesIf(TimingPoint("AFTER STATEMENT")))
      .Vc("INSTEAD_OF_ROW", 3, YesIf(TimingPoint("INSTEAD OF")))
      .Vc("FIRE_ONCE", 3, "'YES'")
      .Vc("APPLY_SERVER_ONLY", 3, "'NO'");
  return std::move(b).Build();
}

View UserSource() {
  ViewBuilder b("USER_SOURCE",
                "FROM objects o JOIN source s ON s.obj_id = o.obj_id "
                "WHERE o.owner_id = ?1 AND o.namespace IN (1, 2, 3)");
  b.Vc("NAME", 128, "o.name")
      .Vc("TYPE", 12,
          "CASE o.type WHEN 7 THEN 'PROCEDURE' WHEN 8 THEN 'FUNCTION' WHEN 9 THEN 'PACKAGE' "
          "WHEN 11 THEN 'PACKAGE BODY' WHEN 12 THEN 'TRIGGER' WHEN 13 THEN 'TYPE' "
          "WHEN 14 THEN 'TYPE BODY' WHEN 28 THEN 'JAVA SOURCE' END")
      .Num("LINE", "s.line")
      .Vc("TEXT", 4000, "s.text")
      .Num("ORIGIN_CON_ID", "0");
  return std::move(b).Build();
}

View UserViews() {
  ViewBuilder b("USER_VIEWS",
                "FROM objects o JOIN views v ON v.obj_id = o.obj_id "
                "WHERE o.owner_id = ?1 AND o.namespace = 1 AND +o.type = 4");
  b.Vc("VIEW_NAME", 128, "o.name", NN)
      .Num("TEXT_LENGTH", "v.text_length")
      .Long("TEXT", "v.text")
      .Vc("TEXT_VC", 4000, First4000("v.text"))
      .Num("TYPE_TEXT_LENGTH", "NULL")
      .Vc("TYPE_TEXT", 4000, "NULL")
      .Num("OID_TEXT_LENGTH", "NULL")
      .Vc("OID_TEXT", 4000, "NULL")
      .Vc("VIEW_TYPE_OWNER", 128, "NULL")
      .Vc("VIEW_TYPE", 128, "NULL")
      .Vc("SUPERVIEW_NAME", 128, "NULL")
      .Vc("EDITIONING_VIEW", 1, "'N'")
      .Vc("READ_ONLY", 1, "'N'")
      .Vc("CONTAINER_DATA", 1, "'N'")
      .Vc("BEQUEATH", 12, "'DEFINER'")
      .Num("ORIGIN_CON_ID", "0")
      .Vc("DEFAULT_COLLATION", 100, "'USING_NLS_COMP'")
      .Vc("CONTAINERS_DEFAULT", 3, "'NO'")
      .Vc("CONTAINER_MAP", 3, "'NO'")
      .Vc("EXTENDED_DATA_LINK", 3, "'NO'")
      .Vc("EXTENDED_DATA_LINK_MAP", 3, "'NO'")
      .Vc("HAS_SENSITIVE_COLUMN", 3, "'NO'")
      .Vc("ADMIT_NULL", 3, "'NO'")
      .Vc("PDB_LOCAL_ONLY", 3, "'NO'");
  return std::move(b).Build();
}

}  // namespace

void AddCodeViews(std::vector<View>& out) {
  out.push_back(UserSequences());
  out.push_back(UserTriggers());
  out.push_back(UserSource());
  out.push_back(UserViews());
}

}  // namespace oraemu::dict
