// System privileges and roles: who may create what, who may read the SYS
// tables. The roles CONNECT, RESOURCE and DBA hold what they hold in 19c.
#ifndef ORAEMU_SYSTEM_PRIVILEGES_H
#define ORAEMU_SYSTEM_PRIVILEGES_H

#include <string>
#include <vector>

#include "engine/catalog.h"

namespace oraemu {

// The predefined roles and their privileges, for a new database.
void SeedRoles(Storage& s);

// Whether the user holds `privilege` directly, through PUBLIC or through a
// role (roles nest). SYS and holders of DBA hold every privilege; CREATE
// ANY X includes CREATE X.
bool HoldsSystemPrivilege(Storage& s, int userId, const std::string& privilege);
// ORA-01031 unless the session's user holds `privilege`.
void RequireSystemPrivilege(DdlContext& ctx, const std::string& privilege, int offset = 0);

// GRANT/REVOKE of system privileges and roles (`names` as written, upper
// case) to users or roles. Unknown privileges are ORA-00990, unknown roles
// ORA-01919; only SYS and holders of DBA may grant (ORA-01031).
void GrantSystem(DdlContext& ctx, const std::vector<std::string>& names, const std::vector<int>& granteeIds,
                 bool adminOption, int offset);
void RevokeSystem(DdlContext& ctx, const std::vector<std::string>& names, const std::vector<int>& granteeIds,
                  int offset);

// SYS.OBJ$, SYS.SYN$ and SYS.USER$ (`table` is the bare name): readable by
// SYS, by a direct SELECT grant, and, except USER$, with SELECT ANY
// DICTIONARY.
bool MayReadSysTable(Storage& s, int userId, const std::string& table);

}  // namespace oraemu

#endif
