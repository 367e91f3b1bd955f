// A document the driver cannot read changes nothing and leaves one line. It
// runs in-process without a logon: no data set may be touched on this path.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "dictionary/dm.h"
#include "update/compare_and_update.h"
#include "support/recording_host.h"
#include "update/update_support.h"

namespace skelvane::update_test {
namespace {

using ::skelvane::testing::TRecordingHost;

TEST(UnreadableDocument, LogsOnlyTheTimeStampedEndTest) {
  e2e::TScratch scratch("unreadable");
  const fs::path wrongKind = scratch.Dir() / "schema.txt";
  e2e::WriteFile(wrongKind, "{shema\r\n\t{name OWNER}\r\n}\r\n{tables \r\n}\r\n");
  struct Case {
    const char* name;
    std::string file;
  };
  const Case cases[] = {
      {"missing file", (scratch.Dir() / "missing._sdb").string()},
      {"other extension", wrongKind.string()},
      {"no name", ""},
  };
  TDM dm;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TRecordingHost host;
    host.user = "OWNER";
    host.exportFile = host.programDir = "";
    host.updateFile = c.file;
    CompareAndUpdate(host, dm);
    EXPECT_EQ(host.common, std::vector<TRecordingHost::TEntry>({{"end test", true, false}}));
  }
}

}  // namespace
}  // namespace skelvane::update_test
