// A document the driver cannot read changes nothing and leaves one line. It
// runs in-process without a logon: no data set may be touched on this path.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "dictionary/dm.h"
#include "update/compare_and_update.h"
#include "update/update_support.h"

namespace skelvane::update_test {
namespace {

class TFileHost : public TOperationHost {
 public:
  explicit TFileHost(std::string file) : file_(std::move(file)) {}
  struct Line {
    std::string text;
    bool withTime;
    bool alsoUpdate;
    bool operator==(const Line&) const = default;
  };
  std::vector<Line> lines;

  void WriteLog(const std::string& text, bool withTime, bool alsoUpdateLog) override {
    lines.push_back({text, withTime, alsoUpdateLog});
  }
  std::string UserNameText() const override { return "OWNER"; }
  std::string ExportFileName() const override { return {}; }
  std::string UpdateFileName() const override { return file_; }
  std::string ProgramDirectory() const override { return {}; }
  bool SequenceSetZero() const override { return false; }
  void ProcessMessages() override {}

 private:
  std::string file_;
};

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
    TFileHost host(c.file);
    CompareAndUpdate(host, dm);
    EXPECT_EQ(host.lines, std::vector<TFileHost::Line>({{"end test", true, false}}));
  }
}

}  // namespace
}  // namespace skelvane::update_test
