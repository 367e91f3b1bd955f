#include "oci/handles.h"

#include <algorithm>

namespace oraemu::oci {

Env::~Env() {
  // Sessions first: they end while the databases they use are still open.
  for (auto it = owned.begin(); it != owned.end();) {
    if (it->first->type == OCI_HTYPE_SESSION) {
      it = owned.erase(it);
    } else {
      ++it;
    }
  }
  owned.clear();
  lastSession = nullptr;
}

bool Env::Release(Handle* handle) {
  OwnedHandle doomed(nullptr, &DestroyAs<Handle>);
  {
    std::lock_guard<std::mutex> lock(ownedMutex);
    auto found = owned.find(handle);
    if (found == owned.end()) return false;
    Unlink(handle);
    doomed = std::move(found->second);
    owned.erase(found);
  }
  // `doomed` dies here, after the lock: destructors never run under it.
  return true;
}

void Env::Unlink(Handle* handle) {
  // Nothing may keep pointing at the handle once it is gone.
  for (auto& [raw, kept] : owned) {
    if (raw->type == OCI_HTYPE_SVCCTX) {
      auto* svc = static_cast<SvcCtxHandle*>(raw);
      if (svc->server == handle) svc->server = nullptr;
      if (svc->session == handle) svc->session = nullptr;
      if (svc->transaction == handle) svc->transaction = nullptr;
      std::erase_if(svc->cache, [&](const auto& entry) { return entry.second == handle; });
    } else if (raw->type == OCI_HTYPE_SESSION) {
      auto* session = static_cast<SessionHandle*>(raw);
      if (session->server == handle) session->server = nullptr;
    } else if (raw->type == OCI_HTYPE_STMT) {
      auto* stmt = static_cast<StmtHandle*>(raw);
      if (stmt->svc == handle) stmt->svc = nullptr;
      if (stmt->cacheOwner == handle) stmt->cacheOwner = nullptr;
    }
  }
  if (lastSession == handle) lastSession = nullptr;
}

SessionHandle::~SessionHandle() {
  if (env != nullptr && env->lastSession == this) env->lastSession = nullptr;
}

void StmtHandle::Reset() {
  binds.clear();
  defines.clear();
  params.clear();
  stmtType = OCI_STMT_UNKNOWN;
  typeKnown = false;
  executed = false;
  isQuery = false;
  result = oraemu::Result{};
  nextRow = 0;
  rowCount = 0;
  rowsFetched = 0;
  sqlFnCode = 0;
  parseErrorOffset = 0;
  endReported = false;
}

}  // namespace oraemu::oci
