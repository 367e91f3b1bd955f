// Every entry point of the OCI 8 to 9.2 interface resolves, and the calls
// this library does not serve answer ORA-03001 instead of doing harm.
#include <dlfcn.h>
#include <gtest/gtest.h>

#include <set>
#include <string>

#include "oci/entry_point_table.h"
#include "oci_client.h"
#include "oracle/oci_groups.h"

namespace {

using oci_test::Client;

std::set<std::string> AllNames() {
  std::set<std::string> names;
#define ORAEMU_NAME(name, ...) names.insert(#name);
  ORAEMU_OCI_IMPLEMENTED(ORAEMU_NAME)
  ORAEMU_OCI_UNIMPLEMENTED(ORAEMU_NAME)
  SKELVANE_OCI_ALL_OCI8_NAMES(ORAEMU_NAME)
#undef ORAEMU_NAME
  return names;
}

TEST(EntryPoints, EveryNameOfEveryGroupResolves) {
  const std::set<std::string> names = AllNames();
  for (const std::string& name : names) {
    EXPECT_NO_THROW(oci_test::Symbol(name.c_str())) << name;
  }
  // The access layer's own list must be covered by the table, not just exported by chance.
  std::set<std::string> table;
#define ORAEMU_NAME(name, ...) table.insert(#name);
  ORAEMU_OCI_IMPLEMENTED(ORAEMU_NAME)
  ORAEMU_OCI_UNIMPLEMENTED(ORAEMU_NAME)
#undef ORAEMU_NAME
  EXPECT_EQ(table, names);
  EXPECT_GE(names.size(), 240u);
}

TEST(EntryPoints, UnservedCallsAnswerUnimplementedThroughTheErrorHandle) {
  Client client;
  using LobRead = sword(void*, OCIError*, void*, ub4*, ub4, void*, ub4, void*, void*, ub2, ub1);
  auto* lobRead = oci_test::Fn<LobRead>("OCILobRead");
  ub4 amount = 10;
  char buffer[16];
  EXPECT_EQ(lobRead(nullptr, client.err, nullptr, &amount, 1, buffer, sizeof buffer, nullptr, nullptr, 0, 1),
            OCI_ERROR);
  oci_test::ErrorInfo error = client.Error();
  EXPECT_EQ(error.code, 3001);
  EXPECT_EQ(error.text, "ORA-03001: unimplemented feature\n");

  // The error handle as first argument (number calls).
  using NumberAdd = sword(OCIError*, const void*, const void*, void*);
  char a[22] = {}, b[22] = {}, c[22] = {};
  EXPECT_EQ(oci_test::Fn<NumberAdd>("OCINumberAdd")(client.err, a, b, c), OCI_ERROR);
  EXPECT_EQ(client.Error().code, 3001);

  // Third argument (OCIParamSet), and a call without an error handle.
  using ParamSet = sword(void*, ub4, OCIError*, const void*, ub4, ub4);
  EXPECT_EQ(oci_test::Fn<ParamSet>("OCIParamSet")(client.env, OCI_HTYPE_ENV, client.err, nullptr, 0, 1), OCI_ERROR);
  EXPECT_EQ(client.Error().code, 3001);
  using StringPtr = void*(OCIEnv*, const void*);
  EXPECT_EQ(oci_test::Fn<StringPtr>("OCIStringPtr")(client.env, nullptr), nullptr);
}

TEST(EntryPoints, HandlesAreCheckedBeforeUse) {
  Client client;
  int notAHandle[16] = {};
  EXPECT_EQ(OCI(OCIHandleFree)(notAHandle, OCI_HTYPE_STMT), OCI_INVALID_HANDLE);
  EXPECT_EQ(OCI(OCIStmtPrepare)(reinterpret_cast<OCIStmt*>(notAHandle), client.err,
                                reinterpret_cast<const OraText*>("select 1 from dual"), 18, OCI_NTV_SYNTAX, 0),
            OCI_INVALID_HANDLE);
  // A handle of the wrong type is no handle either.
  EXPECT_EQ(OCI(OCIHandleFree)(client.err, OCI_HTYPE_STMT), OCI_INVALID_HANDLE);
  ub4 size = 0;
  EXPECT_EQ(OCI(OCIAttrGet)(client.err, OCI_HTYPE_SVCCTX, &size, nullptr, OCI_ATTR_STMTCACHESIZE, client.err),
            OCI_INVALID_HANDLE);
  // OCIErrorGet answers OCI_NO_DATA when there is no record.
  sb4 code = 0;
  OraText text[64];
  EXPECT_EQ(OCI(OCIErrorGet)(client.err, 1, nullptr, &code, text, sizeof text, OCI_HTYPE_ERROR), OCI_NO_DATA);
}

}  // namespace
