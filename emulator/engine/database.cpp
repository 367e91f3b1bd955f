#include "engine/database_impl.h"

#include <cstdlib>
#include <filesystem>

#include "engine/catalog.h"
#include "engine/errors.h"
#include "engine/lexer.h"
#include "engine/new_database.h"
#include "engine/session_impl.h"
#include "engine/system_privileges.h"

namespace oraemu {

namespace {

constexpr const char* kBanner =
    "Oracle Database 19c Enterprise Edition Release 19.0.0.0.0 - Production\nVersion 19.3.0.0.0";

bool ValidConnectId(const std::string& id) {
  if (id.empty() || id[0] == '.' || id.size() > 200) return false;
  for (char c : id) {
    bool ok = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_' ||
              c == '-' || c == '.' || c == '$' || c == '#';
    if (!ok) return false;
  }
  return true;
}

std::string DataFolder() {
  const char* d = std::getenv("ORAEMU_DATA");
  return d && *d ? d : ".";
}

}  // namespace

bool KnownCharset(const std::string& name) { return name == "CL8MSWIN1251" || name == "AL32UTF8"; }

int CharsetWidth(const std::string& name) { return name == "AL32UTF8" ? 4 : name == "AL16UTF16" ? 2 : 1; }

uint16_t CharsetId(const std::string& name) {
  if (name == "CL8MSWIN1251") return 171;
  if (name == "WE8MSWIN1252") return 178;
  if (name == "AL32UTF8") return 873;
  if (name == "UTF8") return 871;
  if (name == "AL16UTF16") return 2000;
  return 0;
}

std::string DatabasePath(const std::string& connectId) {
  if (!ValidConnectId(connectId)) Raise(12154);
  return DataFolder() + "/" + connectId + ".sqlite";
}

std::shared_ptr<Database> Database::Open(const std::string& connectId) {
  std::string path = DatabasePath(connectId);
  std::error_code ec;
  // Connect identifiers are case-insensitive in Oracle; files are not.
  if (!std::filesystem::is_regular_file(path, ec)) {
    std::string upper = DatabasePath(AsciiUpper(connectId));
    if (!std::filesystem::is_regular_file(upper, ec)) Raise(12154);
    path = upper;
  }
  std::unique_ptr<Storage> storage;
  try {
    storage = Storage::Open(path, false);
    // A file that is no database of ours cannot be resolved either.
    auto q = storage->Query("SELECT count(*) FROM users");
    q.Step();
  } catch (const EStorageError&) {
    Raise(12154);
  }
  return std::make_shared<DatabaseImpl>(std::move(storage));
}

void Database::Create(const std::string& connectId, const std::string& systemPassword, const std::string& charset) {
  if (!KnownCharset(charset)) throw EStorageError("unknown database character set: " + charset);
  std::string path = DatabasePath(connectId);
  std::error_code ec;
  if (std::filesystem::exists(path, ec)) throw EStorageError("database file already exists: " + path);
  auto storage = Storage::Open(path, true);
  Storage::Transaction t(*storage);
  std::string now = Storage::Now();
  auto add = [&](int id, const char* name, int kind, const std::optional<std::string>& pw) {
    auto q = storage->Query("INSERT INTO users (user_id, name, kind, password, created) VALUES (?1, ?2, ?3, ?4, ?5)");
    q.Bind(1, id).Bind(2, std::string(name)).Bind(3, kind).Bind(4, pw).Bind(5, now);
    q.Run();
  };
  add(kSysUserId, "SYS", 1, systemPassword);
  add(kPublicUserId, "PUBLIC", 0, std::nullopt);
  add(kSystemUserId, "SYSTEM", 1, systemPassword);
  AddSystemSynonyms(*storage);
  SeedConstraintNumbers(*storage, AsciiUpper(connectId));
  SeedRoles(*storage);
  auto q = storage->Query("INSERT INTO properties VALUES ('created', ?1), ('db_name', ?2), "
                          "('character_set', ?3), ('national_character_set', 'AL16UTF16')");
  q.Bind(1, now).Bind(2, AsciiUpper(connectId)).Bind(3, charset);
  q.Run();
  t.Commit();
}

LogonResult DatabaseImpl::Logon(const std::string& user, const std::string& password, bool external) {
  std::lock_guard<std::mutex> lock(mutex_);
  try {
    return CheckLogon(user, password, external);
  } catch (const EStorageError& e) {
    RaiseStorageFailure(e);
  }
}

LogonResult DatabaseImpl::CheckLogon(const std::string& user, const std::string& password, bool external) {
  std::optional<UserRow> row;
  if (external) {
    // The OS user logs on as itself or under the OPS$ prefix.
    for (const std::string& name : {AsciiUpper(user), "OPS$" + AsciiUpper(user)}) {
      auto u = FindUser(*storage_, name);
      if (u && u->external && u->kind == 1) {
        row = u;
        break;
      }
    }
  } else {
    // A name in double quotes keeps its case; otherwise it is upper-cased.
    std::string name = user.size() >= 2 && user.front() == '"' && user.back() == '"'
                           ? user.substr(1, user.size() - 2)
                           : AsciiUpper(user);
    std::string pw = password.size() >= 2 && password.front() == '"' && password.back() == '"'
                         ? password.substr(1, password.size() - 2)
                         : password;
    auto u = FindUser(*storage_, name);
    if (u && u->kind == 1 && !u->external && u->password && *u->password == pw) row = u;
  }
  if (!row) Raise(1017);
  if (row->expiring < 0) Raise(28001);
  if (!HoldsSystemPrivilege(*storage_, row->id, "CREATE SESSION")) Raise(1045, 0, {row->name});
  LogonResult r;
  r.session = std::make_unique<SessionImpl>(shared_from_this(), row->id, row->name);
  if (row->expiring > 0) {
    r.warning = EOraError(28002, OraMessage(28002, {std::to_string(row->expiring)}));
  }
  return r;
}

std::string DatabaseImpl::VersionBanner() const { return kBanner; }

void DatabaseImpl::SetPasswordExpiring(const std::string& user, int days) {
  std::lock_guard<std::mutex> lock(mutex_);
  Storage::Transaction t(*storage_);
  auto q = storage_->Query("UPDATE users SET expiring = ?2 WHERE name = ?1 AND kind = 1");
  q.Bind(1, user).Bind(2, days);
  q.Run();
  if (storage_->Changes() == 0) Raise(1918, 0, {user});
  t.Commit();
}

}  // namespace oraemu
