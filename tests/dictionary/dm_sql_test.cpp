// The data module's statements: exact SQL lines (trailing blanks included),
// the session they run on, and the declared bind variables.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "dictionary/dm.h"
#include "oracle/variables.h"

namespace skelvane {
namespace {

struct StatementCase {
  const char* name;
  oracle::TOracleQuery* query;
  std::vector<std::string> lines;
  std::string variable;  // the one declared bind variable, or empty
};

TEST(DataModule, EveryStatementHasItsTextSessionAndVariables) {
  TDM dm;
  const std::vector<StatementCase> cases = {
      {"Q_Tables", &dm.Q_Tables, {"select UT.*, UTC.COMMENTS", "from user_tables UT, user_tab_comments UTC", "where UT.TABLE_NAME=UTC.TABLE_NAME", "order by UT.table_name"}, ""},
      {"Q_TableFields", &dm.Q_TableFields, {"select UTC.*, UCC.COMMENTS", "from user_tab_cols UTC, USER_COL_COMMENTS UCC", "where UTC.table_name=:table_name", "and UTC.COLUMN_NAME=UCC.COLUMN_NAME(+)", "and UTC.TABLE_NAME=UCC.TABLE_NAME(+)", "order by UTC.column_id"}, ":TABLE_NAME"},
      {"oDS_TableFields", &dm.oDS_TableFields.Query(), {"select UTC.*, UCC.COMMENTS", "from user_tab_cols UTC, USER_COL_COMMENTS UCC", "where UTC.table_name=:table_name", "and UTC.COLUMN_NAME=UCC.COLUMN_NAME(+)", "and UTC.TABLE_NAME=UCC.TABLE_NAME(+)", "order by UTC.column_id"}, ":TABLE_NAME"},
      {"Q_Sequences", &dm.Q_Sequences, {"select * from user_sequences", "order by sequence_name"}, ""},
      {"oDS_Sequences", &dm.oDS_Sequences.Query(), {"select * from user_sequences", "order by sequence_name"}, ""},
      {"Q_Triggers", &dm.Q_Triggers, {"select * from user_triggers", "order by trigger_name"}, ""},
      {"Q_TableIndexes", &dm.Q_TableIndexes, {"select UI.index_name, UI.Table_name, UI.uniqueness, UIC.column_name ", "from USER_INDEXES UI, user_ind_columns UIC", "where UI.index_name=UIC.INDEX_NAME", "and UI.table_name=:table_name", "order by UI.index_name, UIC.column_position"}, ":TABLE_NAME"},
      {"oDS_Indexes", &dm.oDS_Indexes.Query(), {"select UI.index_name, UI.Table_name, UI.uniqueness, UIC.column_name ", "from USER_INDEXES UI, user_ind_columns UIC", "where UI.index_name=UIC.INDEX_NAME", "and UI.table_name=:table_name", "order by UI.index_name, UIC.column_position"}, ":TABLE_NAME"},
      {"Q_TableConstraints", &dm.Q_TableConstraints, {"select uc.*, acc1.COLUMN_NAME f_col_name,acc1.POSITION f_pos, acc2.TABLE_NAME to_table_name, acc2.COLUMN_NAME to_col_name, acc2.POSITION to_pos", "from USER_CONSTRAINTS uc, all_cons_columns acc1, all_cons_columns acc2", "where uc.table_name=:table_name", "and uc.CONSTRAINT_NAME=acc1.CONSTRAINT_NAME", "and uc.R_CONSTRAINT_NAME=acc2.CONSTRAINT_NAME(+)", "order by uc.constraint_name,acc1.position"}, ":TABLE_NAME"},
      {"oDS_Constraints", &dm.oDS_Constraints.Query(), {"select uc.*, acc1.COLUMN_NAME f_col_name,acc1.POSITION f_pos, acc2.TABLE_NAME to_table_name, acc2.COLUMN_NAME to_col_name, acc2.POSITION to_pos", "from USER_CONSTRAINTS uc, all_cons_columns acc1, all_cons_columns acc2", "where uc.table_name=:table_name", "and uc.CONSTRAINT_NAME=acc1.CONSTRAINT_NAME", "and uc.R_CONSTRAINT_NAME=acc2.CONSTRAINT_NAME(+)", "order by uc.constraint_name,acc1.position"}, ":TABLE_NAME"},
      {"Q_Functions", &dm.Q_Functions, {"select * from USER_SOURCE", "where type='FUNCTION'", "order by name,line"}, ""},
      {"Q_Procedures", &dm.Q_Procedures, {"select * from USER_SOURCE", "where type='PROCEDURE'", "order by name,line"}, ""},
      {"Q_Privileges", &dm.Q_Privileges, {"select * from table_privileges", "where owner=USER", "order by table_name, grantee"}, ""},
      {"oDS_Privileges", &dm.oDS_Privileges.Query(), {"select * from table_privileges", "where owner=USER", "order by table_name, grantee", ""}, ""},
      {"Q_Synonyms", &dm.Q_Synonyms, {"select o.name S_NAME, s.owner, s.name O_NAME, s.node, decode( owner#,userenv('SCHEMAID'),'','PUBLIC') grantee", "from sys.syn$ s, sys.obj$ o", "where o.obj# = s.obj#", "  and o.type# = 5", "  and (o.OWNER#=userenv('SCHEMAID') or exists(select u2.user# from sys.user$ u2 where u2.user#=o.owner# and u2.name='PUBLIC'))", "  and s.owner = USER", "order by o.name"}, ""},
      {"oDS_Synonyms", &dm.oDS_Synonyms.Query(), {"select o.name S_NAME, s.owner, s.name O_NAME, s.node, decode( owner#,userenv('SCHEMAID'),'','PUBLIC') grantee ", "from sys.syn$ s, sys.obj$ o", "where o.obj# = s.obj#", "  and o.type# = 5", "  and (o.OWNER#=userenv('SCHEMAID') or exists(select u2.user# from sys.user$ u2 where u2.user#=o.owner# and u2.name='PUBLIC'))", "  --and s.owner = USER", "order by o.name"}, ""},
      {"oDS_Tables", &dm.oDS_Tables.Query(), {"select UT.*, UTC.COMMENTS", "from user_tables UT, user_tab_comments UTC", "where UT.TABLE_NAME=UTC.TABLE_NAME", "and UT.table_name=:table_name"}, ":TABLE_NAME"},
      {"Q_Trigger2", &dm.Q_Trigger2, {"select * from user_triggers", "where trigger_name=:trigger_name"}, ":TRIGGER_NAME"},
      {"Q_Function2", &dm.Q_Function2, {"select * from USER_SOURCE", "where type='FUNCTION'", "and name=:name", "order by name,line"}, ":NAME"},
      {"Q_Procedure2", &dm.Q_Procedure2, {"select * from USER_SOURCE", "where type='PROCEDURE'", "and name=:name", "order by name,line"}, ":NAME"},
      {"Q_DbLink", &dm.Q_DbLink, {"select * from user_db_links", "order by db_link"}, ""},
      {"oDS_DbLink", &dm.oDS_DbLink.Query(), {"select * from user_db_links", "order by db_link"}, ""},
      {"Q_Views", &dm.Q_Views, {"select UV.*, UTC.COMMENTS", "from USER_VIEWS UV, user_tab_comments UTC", "where UV.VIEW_NAME=UTC.TABLE_NAME", "order by UV.view_name"}, ""},
      {"Q_View2", &dm.Q_View2, {"select UV.*, UTC.COMMENTS", "from USER_VIEWS UV, user_tab_comments UTC", "where UV.VIEW_NAME=UTC.TABLE_NAME", "and UV.view_name=:view_name", "order by UV.view_name"}, ":VIEW_NAME"},
  };
  ASSERT_EQ(cases.size(), 24u);
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(c.query->SQL(), c.lines);
    EXPECT_EQ(c.query->Session, &dm.OracleSession1);
    auto& vars = c.query->Variables();
    if (c.variable.empty()) {
      EXPECT_EQ(vars.Count(), 0);
    } else {
      ASSERT_EQ(vars.Count(), 1);
      EXPECT_EQ(vars[0].Name, c.variable);
      EXPECT_EQ(vars[0].TypeCode, oracle::otString);
      EXPECT_EQ(vars[0].ElementCount, 1);
    }
  }
  EXPECT_TRUE(dm.Q_Another.SQL().empty());
  EXPECT_EQ(dm.Q_Another.Session, &dm.OracleSession1);
  EXPECT_EQ(dm.Q_Another.Variables().Count(), 0);
}

TEST(DataModule, CreateDMMakesOneProcessWideInstance) {
  TDM& first = CreateDM();
  EXPECT_EQ(&first, DM.get());
  EXPECT_EQ(&CreateDM(), &first);
  EXPECT_FALSE(first.OracleSession1.Connected());  // nothing connects at start
  DM.reset();
}

}  // namespace
}  // namespace skelvane
