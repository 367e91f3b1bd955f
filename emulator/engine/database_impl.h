// The server side of one database file: the Database of engine.h, and what
// the tool needs beyond it.
#ifndef ORAEMU_DATABASE_IMPL_H
#define ORAEMU_DATABASE_IMPL_H

#include <memory>
#include <mutex>
#include <string>

#include "engine/engine.h"
#include "engine/storage.h"

namespace oraemu {

// `<ORAEMU_DATA or .>/<id>.sqlite`; an id that cannot name a file there
// (path separators, leading dot, empty) is ORA-12154.
std::string DatabasePath(const std::string& connectId);

class DatabaseImpl : public Database, public std::enable_shared_from_this<DatabaseImpl> {
 public:
  explicit DatabaseImpl(std::unique_ptr<Storage> storage) : storage_(std::move(storage)) {}
  LogonResult Logon(const std::string& user, const std::string& password, bool external) override;
  std::string VersionBanner() const override;

  // Sessions of one Database share its connection; one statement at a time.
  Storage& storage() { return *storage_; }
  std::mutex& mutex() { return mutex_; }

  // Marks a user's password as expiring within `days` (0 clears it).
  // Throws EOraError ORA-01918 for an unknown user.
  void SetPasswordExpiring(const std::string& user, int days);

 private:
  LogonResult CheckLogon(const std::string& user, const std::string& password, bool external);
  std::unique_ptr<Storage> storage_;
  std::mutex mutex_;
};

}  // namespace oraemu

#endif
