// A logged-on user of an emulated database.
#ifndef ORAEMU_SESSION_IMPL_H
#define ORAEMU_SESSION_IMPL_H

#include <memory>
#include <string>

#include "engine/engine.h"

namespace oraemu {

class DatabaseImpl;

class SessionImpl : public Session {
 public:
  SessionImpl(std::shared_ptr<DatabaseImpl> db, int userId, std::string userName)
      : db_(std::move(db)), userId_(userId), userName_(std::move(userName)) {}
  const std::string& UserName() const override { return userName_; }
  int UserId() const override { return userId_; }
  uint16_t StatementType(const std::string& sql) const override;
  Result Execute(const std::string& sql, const std::vector<Bind>& binds, bool describeOnly) override;

 private:
  std::shared_ptr<DatabaseImpl> db_;
  int userId_;
  std::string userName_;
};

// True when the statement is a query (it starts with SELECT or WITH, or "(").
bool IsQuery(const std::string& sql);

}  // namespace oraemu

#endif
