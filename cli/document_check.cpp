#include "document_check.h"

#include "common/file_access.h"
#include "sdb/sdb_parser.h"

namespace skelvane::cli {

std::string DocumentProblem(TCommand command, const std::string& file) {
  if (command == TCommand::Export) {
    const std::string reason = CannotCreateReason(file);
    return reason.empty() ? std::string() : "cannot create '" + file + "': " + reason;
  }
  if (command != TCommand::Update && command != TCommand::Plan && command != TCommand::Diff) return {};
  // The reader opens only names with its own extensions; with any other the
  // compare would find no document and log only its end.
  if (TSDB_Parser(file).FileKind() == 0)
    return "cannot read '" + file + "': not a schema document (the name must end in ._sdb)";
  const std::string reason = CannotReadReason(file);
  return reason.empty() ? std::string() : "cannot read '" + file + "': " + reason;
}

}  // namespace skelvane::cli
