// The emulated server's query engine: runs an Oracle SELECT over the
// dictionary views of the storage (USER_TABLES, USER_TAB_COLS, ...,
// SYS.OBJ$, SYS.SYN$, SYS.USER$, DUAL) and over the users' tables (which
// hold no rows: the server keeps no data) and views.
//
// Note for the owner of the error table: Oracle messages raised here that
// it should know: 00604, 00908, 00909, 00913, 00938, 00997, 01008, 01416,
// 01425, 01468, 01719, 01785, 01789, 01790, 01791, 02003, 04063, 01731,
// 25156, 30563, 32038.
// Note for CREATE VIEW: RunSelect(..., describeOnly = true) describes any
// query this engine runs (dictionary views and DUAL included).
#ifndef ORAEMU_SELECT_H
#define ORAEMU_SELECT_H

#include <string>
#include <vector>

#include "engine/engine.h"

namespace oraemu {

class Storage;  // emulator/engine/storage.h

// Runs one SELECT for the logged-on user `userId`/`userName`: all rows, or
// only the described columns when `describeOnly`. Bind names match without
// regard to case. Throws EOraError as a server refuses the statement.
Result RunSelect(Storage& storage, int userId, const std::string& userName, const std::string& sql,
                 const std::vector<Bind>& binds, bool describeOnly);

}  // namespace oraemu

#endif
