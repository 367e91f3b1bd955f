// Reads and writes of the stored dictionary shared by the DDL statements.
#ifndef ORAEMU_CATALOG_H
#define ORAEMU_CATALOG_H

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "engine/engine.h"
#include "engine/parser.h"
#include "engine/storage.h"

namespace oraemu {

// Who runs a statement.
struct DdlContext {
  Storage& storage;
  int userId;
  std::string userName;
  // Set by a statement that succeeds with a warning (ORA-24344).
  std::optional<EOraError> warning;
};

struct UserRow {
  int id = 0;
  std::string name;
  int kind = 1;  // 1 user, 0 role
  std::optional<std::string> password;
  bool external = false;
  int expiring = 0;
};

struct ObjectRow {
  int64_t id = 0;
  int ownerId = 0;
  std::string name;
  int type = 0;
};

struct ColumnRow {
  int columnId = 0;
  std::string name;
  std::string dataType;
  int64_t dataLength = 0;
  std::optional<int64_t> precision;
  std::optional<int64_t> scale;
  std::string nullable = "Y";
  std::optional<std::string> charUsed;
  int64_t charLength = 0;
  std::optional<std::string> defaultText;
  std::optional<std::string> comments;
  bool virtualColumn = false;
};

std::optional<UserRow> FindUser(Storage& s, const std::string& name);
std::optional<UserRow> FindUserById(Storage& s, int id);
// SYS and SYSTEM may work in other users' schemas.
bool IsPrivileged(const DdlContext& ctx);

// The owner of a name: the user itself when no owner is written. A missing
// owner is ORA-01918 when `creating`, otherwise `missingCode` at the name.
// Working in another schema needs a privileged user (ORA-01031).
int ResolveOwner(DdlContext& ctx, const QualifiedName& q, bool creating, int missingCode = 942);

std::optional<ObjectRow> FindObject(Storage& s, int ownerId, const std::string& name, int ns);
// Follows a synonym to what it stands for, through at most eight synonyms;
// the result is still a synonym when the chain is longer or broken.
std::optional<ObjectRow> FollowSynonyms(Storage& s, std::optional<ObjectRow> obj);
// A table (or, with `orView`, a view) or ORA-00942 at the name.
ObjectRow RequireTable(DdlContext& ctx, const QualifiedName& q, bool orView = false);

// Whether `userId` (or PUBLIC) holds one of `privileges` on the object.
bool HoldsPrivilege(Storage& s, int64_t objId, int userId, const std::vector<std::string>& privileges);
// Another user's object is visible to the privileged users and to holders of
// any privilege on it; using it needs one of `privileges` (else ORA-01031).
void RequireAccess(DdlContext& ctx, const ObjectRow& obj, const std::vector<std::string>& privileges, int offset);

int64_t InsertObject(Storage& s, int ownerId, const std::string& name, int type, int ns);
void TouchObject(Storage& s, int64_t objId);
void DeleteObject(Storage& s, int64_t objId);

std::vector<ColumnRow> TableColumns(Storage& s, int64_t tableId);
std::optional<ColumnRow> FindColumn(Storage& s, int64_t tableId, const std::string& name);
// Stores a column; DATA_LENGTH of a character-semantics column follows the
// database character set.
void InsertColumn(Storage& s, int64_t tableId, const ColumnRow& c);
// The database character set's widest character in bytes.
int MaxBytesPerChar(Storage& s);

// Oracle's system name for constraint number `conId` (SYS_C0012345).
std::string SystemConstraintName(int64_t conId);

}  // namespace oraemu

#endif
