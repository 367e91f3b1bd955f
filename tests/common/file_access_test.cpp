#include "common/file_access.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "support/temp_folder.h"

namespace skelvane {
namespace {

namespace fs = std::filesystem;

class FileAccess : public ::testing::Test {
 protected:
  void SetUp() override {
    folder_ = temp_.Path();
    std::ofstream(folder_ + "/kept._sdb", std::ios::binary) << "{shema\r\n}\r\n";
    std::ofstream(folder_ + "/empty._sdb", std::ios::binary);
    fs::create_directory(folder_ + "/sub");
  }
  ::skelvane::testing::TTempFolder temp_;
  std::string folder_;
};

TEST_F(FileAccess, CreateCheckGivesTheSystemsReasonAndLeavesNoTrace) {
  const struct {
    const char* name;
    const char* reason;  // empty: can be created
  } cases[] = {
      {"/new._sdb", ""},
      {"/kept._sdb", ""},
      {"/sub", "Is a directory"},
      {"/missing/x._sdb", "No such file or directory"},
      {"/kept._sdb/x._sdb", "Not a directory"},
  };
  for (const auto& c : cases) EXPECT_EQ(CannotCreateReason(folder_ + c.name), c.reason) << c.name;
  EXPECT_FALSE(fs::exists(folder_ + "/new._sdb"));  // the probe removed what it made
  EXPECT_EQ(fs::file_size(folder_ + "/kept._sdb"), 11u);  // an existing file is not truncated
}

TEST_F(FileAccess, ReadCheckRefusesMissingFilesAndFolders) {
  const struct {
    const char* name;
    const char* reason;
  } cases[] = {
      {"/kept._sdb", ""},
      {"/empty._sdb", ""},
      {"/sub", "Is a directory"},
      {"/none._sdb", "No such file or directory"},
      {"/kept._sdb/x", "Not a directory"},
  };
  for (const auto& c : cases) EXPECT_EQ(CannotReadReason(folder_ + c.name), c.reason) << c.name;
}

}  // namespace
}  // namespace skelvane
