// The data module's statements, line by line as the server receives them.
// Data only, so the emulator's tests and benchmarks run exactly the texts the
// program sends without linking the program.
#ifndef SKELVANE_DICTIONARY_DM_SQL_H
#define SKELVANE_DICTIONARY_DM_SQL_H

#include <string>
#include <vector>

namespace skelvane::dm_sql {

inline const std::vector<std::string> kTables = {
    "select UT.*, UTC.COMMENTS",
    "from user_tables UT, user_tab_comments UTC",
    "where UT.TABLE_NAME=UTC.TABLE_NAME",
    "order by UT.table_name",
};

inline const std::vector<std::string> kTableFields = {
    "select UTC.*, UCC.COMMENTS",
    "from user_tab_cols UTC, USER_COL_COMMENTS UCC",
    "where UTC.table_name=:table_name",
    "and UTC.COLUMN_NAME=UCC.COLUMN_NAME(+)",
    "and UTC.TABLE_NAME=UCC.TABLE_NAME(+)",
    "order by UTC.column_id",
};

// Identity columns (12c and later) and virtual columns (11g and later) of
// every table, read once per operation: older servers refuse these texts.
inline const std::vector<std::string> kIdentityColumns = {
    "select UTIC.TABLE_NAME, UTIC.COLUMN_NAME, UTIC.GENERATION_TYPE, UTC.DEFAULT_ON_NULL",
    "from user_tab_identity_cols UTIC, user_tab_cols UTC",
    "where UTC.TABLE_NAME=UTIC.TABLE_NAME",
    "and UTC.COLUMN_NAME=UTIC.COLUMN_NAME",
};

inline const std::vector<std::string> kVirtualColumns = {
    "select TABLE_NAME, COLUMN_NAME from user_tab_cols",
    "where VIRTUAL_COLUMN='YES' and HIDDEN_COLUMN='NO'",
};

inline const std::vector<std::string> kSequences = {
    "select * from user_sequences",
    "order by sequence_name",
};

inline const std::vector<std::string> kTriggers = {
    "select * from user_triggers",
    "order by trigger_name",
};

inline const std::vector<std::string> kTableIndexes = {
    "select UI.index_name, UI.Table_name, UI.uniqueness, UIC.column_name ",
    "from USER_INDEXES UI, user_ind_columns UIC",
    "where UI.index_name=UIC.INDEX_NAME",
    "and UI.table_name=:table_name",
    "order by UI.index_name, UIC.column_position",
};

inline const std::vector<std::string> kTableConstraints = {
    "select uc.*, acc1.COLUMN_NAME f_col_name,acc1.POSITION f_pos, acc2.TABLE_NAME to_table_name, acc2.COLUMN_NAME to_col_name, acc2.POSITION to_pos",
    "from USER_CONSTRAINTS uc, all_cons_columns acc1, all_cons_columns acc2",
    "where uc.table_name=:table_name",
    "and uc.CONSTRAINT_NAME=acc1.CONSTRAINT_NAME",
    "and uc.R_CONSTRAINT_NAME=acc2.CONSTRAINT_NAME(+)",
    "order by uc.constraint_name,acc1.position",
};

inline const std::vector<std::string> kFunctions = {
    "select * from USER_SOURCE",
    "where type='FUNCTION'",
    "order by name,line",
};

inline const std::vector<std::string> kProcedures = {
    "select * from USER_SOURCE",
    "where type='PROCEDURE'",
    "order by name,line",
};

inline const std::vector<std::string> kPrivileges = {
    "select * from table_privileges",
    "where owner=USER",
    "order by table_name, grantee",
};

inline const std::vector<std::string> kPrivilegesDataSet = {
    "select * from table_privileges",
    "where owner=USER",
    "order by table_name, grantee",
    "",
};

inline const std::vector<std::string> kSynonyms = {
    "select o.name S_NAME, s.owner, s.name O_NAME, s.node, decode( owner#,userenv('SCHEMAID'),'','PUBLIC') grantee",
    "from sys.syn$ s, sys.obj$ o",
    "where o.obj# = s.obj#",
    "  and o.type# = 5",
    "  and (o.OWNER#=userenv('SCHEMAID') or exists(select u2.user# from sys.user$ u2 where u2.user#=o.owner# and u2.name='PUBLIC'))",
    "  and s.owner = USER",
    "order by o.name",
};

inline const std::vector<std::string> kSynonymsDataSet = {
    "select o.name S_NAME, s.owner, s.name O_NAME, s.node, decode( owner#,userenv('SCHEMAID'),'','PUBLIC') grantee ",
    "from sys.syn$ s, sys.obj$ o",
    "where o.obj# = s.obj#",
    "  and o.type# = 5",
    "  and (o.OWNER#=userenv('SCHEMAID') or exists(select u2.user# from sys.user$ u2 where u2.user#=o.owner# and u2.name='PUBLIC'))",
    "  --and s.owner = USER",
    "order by o.name",
};

inline const std::vector<std::string> kOneTable = {
    "select UT.*, UTC.COMMENTS",
    "from user_tables UT, user_tab_comments UTC",
    "where UT.TABLE_NAME=UTC.TABLE_NAME",
    "and UT.table_name=:table_name",
};

inline const std::vector<std::string> kOneTrigger = {
    "select * from user_triggers",
    "where trigger_name=:trigger_name",
};

inline const std::vector<std::string> kOneFunction = {
    "select * from USER_SOURCE",
    "where type='FUNCTION'",
    "and name=:name",
    "order by name,line",
};

inline const std::vector<std::string> kOneProcedure = {
    "select * from USER_SOURCE",
    "where type='PROCEDURE'",
    "and name=:name",
    "order by name,line",
};

inline const std::vector<std::string> kDbLinks = {
    "select * from user_db_links",
    "order by db_link",
};

inline const std::vector<std::string> kViews = {
    "select UV.*, UTC.COMMENTS",
    "from USER_VIEWS UV, user_tab_comments UTC",
    "where UV.VIEW_NAME=UTC.TABLE_NAME",
    "order by UV.view_name",
};

inline const std::vector<std::string> kOneView = {
    "select UV.*, UTC.COMMENTS",
    "from USER_VIEWS UV, user_tab_comments UTC",
    "where UV.VIEW_NAME=UTC.TABLE_NAME",
    "and UV.view_name=:view_name",
    "order by UV.view_name",
};

}  // namespace skelvane::dm_sql

#endif
