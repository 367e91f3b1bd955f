// The reads of all objects at once whose per-object statements select one
// table's rows: the same select lists, without the table filter, ordered by
// table first and then as the per-object statement orders.
#ifndef SKELVANE_DICTIONARY_BULK_SQL_H
#define SKELVANE_DICTIONARY_BULK_SQL_H

#include <string>
#include <vector>

namespace skelvane::bulk_sql {

inline const std::vector<std::string> kAllTableFields = {
    "select UTC.*, UCC.COMMENTS",
    "from user_tab_cols UTC, USER_COL_COMMENTS UCC",
    "where UTC.COLUMN_NAME=UCC.COLUMN_NAME(+)",
    "and UTC.TABLE_NAME=UCC.TABLE_NAME(+)",
    "order by UTC.table_name, UTC.column_id",
};

// The defaults the column arrays cut, with their LONG, and no other
// column's. The arrays keep 127 bytes; the margin lets a value grow in the
// client's character set.
inline const std::vector<std::string> kLongDefaults = {
    "select UTC.TABLE_NAME, UTC.COLUMN_NAME, UTC.DATA_DEFAULT",
    "from user_tab_cols UTC",
    "where UTC.DEFAULT_LENGTH > 96",
    "order by UTC.table_name, UTC.column_id",
};

inline const std::vector<std::string> kAllTableIndexes = {
    "select UI.index_name, UI.Table_name, UI.uniqueness, UIC.column_name ",
    "from USER_INDEXES UI, user_ind_columns UIC",
    "where UI.index_name=UIC.INDEX_NAME",
    "order by UI.table_name, UI.index_name, UIC.column_position",
};

inline const std::vector<std::string> kAllTableConstraints = {
    "select uc.*, acc1.COLUMN_NAME f_col_name,acc1.POSITION f_pos, acc2.TABLE_NAME to_table_name, acc2.COLUMN_NAME to_col_name, acc2.POSITION to_pos",
    "from USER_CONSTRAINTS uc, all_cons_columns acc1, all_cons_columns acc2",
    "where uc.CONSTRAINT_NAME=acc1.CONSTRAINT_NAME",
    "and uc.R_CONSTRAINT_NAME=acc2.CONSTRAINT_NAME(+)",
    "order by uc.table_name, uc.constraint_name,acc1.position",
};

}  // namespace skelvane::bulk_sql

#endif
