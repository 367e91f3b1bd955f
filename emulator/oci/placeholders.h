// Bind placeholders of a statement text: every ":name" outside literals,
// quoted identifiers and comments, in order of appearance.
#ifndef ORAEMU_OCI_PLACEHOLDERS_H
#define ORAEMU_OCI_PLACEHOLDERS_H

#include <string>
#include <string_view>
#include <vector>

namespace oraemu::oci {

// Names as written, without the colon ("name", "1" for ":1").
std::vector<std::string> Placeholders(std::string_view sql);

// Upper case without a leading colon: the form names are compared in.
std::string NormalBindName(std::string_view name);

}  // namespace oraemu::oci

#endif
