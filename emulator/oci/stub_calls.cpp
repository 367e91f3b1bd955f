// The OCI calls this system never makes. Each one answers ORA-03001
// "unimplemented feature" through the caller's error handle when the call
// has one. Only the leading arguments up to the error handle are declared:
// under the C calling convention the caller's further arguments are simply
// not read.
#include "oci/calls_common.h"
#include "oci/entry_point_table.h"
#include "oracle/oci_groups.h"

using namespace oraemu::oci;

namespace {

sword Unimplemented(void* errhp) { return ErrorSink(errhp).Report(kUnimplemented); }

}  // namespace

#define ORAEMU_STUB_E0(name) \
  ORAEMU_EXPORT sword name(void* e) { return Unimplemented(e); }
#define ORAEMU_STUB_E1(name) \
  ORAEMU_EXPORT sword name(void*, void* e) { return Unimplemented(e); }
#define ORAEMU_STUB_E2(name) \
  ORAEMU_EXPORT sword name(void*, void*, void* e) { return Unimplemented(e); }
#define ORAEMU_STUB_E3(name) \
  ORAEMU_EXPORT sword name(void*, void*, void*, void* e) { return Unimplemented(e); }
#define ORAEMU_STUB_NOERR(name) \
  ORAEMU_EXPORT sword name() { return OCI_ERROR; }
// Sizes, pointers and flags answer 0 (a null pointer, an empty size, false).
#define ORAEMU_STUB_VALUE(name) \
  ORAEMU_EXPORT void* name() { return nullptr; }

#define ORAEMU_STUB(name, kind) ORAEMU_STUB_##kind(name)
ORAEMU_OCI_UNIMPLEMENTED(ORAEMU_STUB)
#undef ORAEMU_STUB

// Every name the access layer resolves must be defined here or among the
// implemented calls: naming each one fails the build when one is missing.
#define ORAEMU_REQUIRE(name) reinterpret_cast<const void*>(&::name),
[[maybe_unused]] static const void* const kRequiredEntryPoints[] = {
    SKELVANE_OCI_ALL_OCI8_NAMES(ORAEMU_REQUIRE)};
#undef ORAEMU_REQUIRE
