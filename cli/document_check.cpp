#include "document_check.h"

#include <fstream>

#include "common/file_access.h"
#include "sdb/sdb_parser.h"

namespace skelvane::cli {

namespace {
// Enough to see a document's first sections.
constexpr size_t kLookedAt = size_t{1} << 16;
}  // namespace

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
  if (!reason.empty()) return "cannot read '" + file + "': " + reason;
  // The reader takes any bytes, and a binary file reads as a document
  // without sections: the update would do nothing and report success. A
  // schema document is text, and the first bytes tell.
  std::ifstream in(file, std::ios::binary);
  std::string head(kLookedAt, '\0');
  in.read(head.data(), static_cast<std::streamsize>(head.size()));
  head.resize(static_cast<size_t>(in.gcount()));
  if (head.find('\0') != std::string::npos)
    return "cannot read '" + file + "': not a schema document (it holds binary data)";
  return {};
}

}  // namespace skelvane::cli
