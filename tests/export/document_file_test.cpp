#include "export/document_file.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "export/export_target.h"

namespace skelvane {
namespace {

namespace fs = std::filesystem;

std::string ReadAll(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

class DocumentFile : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() /
           ("skelvane-docfile-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
            "-" + ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(dir_);
    fs::create_directories(dir_);
  }
  void TearDown() override { fs::remove_all(dir_); }
  fs::path dir_;
};

TEST_F(DocumentFile, TruncatesAndWritesBytesWithCrLf) {
  const fs::path p = dir_ / "a._sdb";
  { std::ofstream(p) << "an older and much longer document\n"; }
  {
    TDocumentFile f(p.string());
    f.WriteLine("{shema");
    f.WriteLine("");
    f.WriteLine(std::string("\xEF\xBB\xBF\xC0\x01", 5));  // bytes pass unchanged
    f.Close();
  }
  EXPECT_EQ(ReadAll(p), std::string("{shema\r\n\r\n\xEF\xBB\xBF\xC0\x01\r\n", 17));
}

TEST_F(DocumentFile, DestructionKeepsWhatWasWritten) {
  const fs::path p = dir_ / "partial._sdb";
  {
    TDocumentFile f(p.string());
    f.WriteLine("{views ");
  }  // as when a failure unwinds the export
  EXPECT_EQ(ReadAll(p), "{views \r\n");
}

TEST_F(DocumentFile, CreateFailuresAreInOutErrors) {
  try {
    TDocumentFile f((dir_ / "missing" / "x._sdb").string());
    FAIL() << "no error";
  } catch (const EInOutError& e) {
    EXPECT_EQ(e.ErrorCode(), ENOENT);
    EXPECT_EQ(std::string(e.what()), "I/O error " + std::to_string(ENOENT));
  }
  // A directory cannot be opened for writing.
  EXPECT_THROW(TDocumentFile(dir_.string()), EInOutError);
}

TEST_F(DocumentFile, FullDiskIsReported) {
  if (!fs::exists("/dev/full")) GTEST_SKIP() << "no /dev/full";
  TDocumentFile f("/dev/full");
  try {
    // More than the buffer holds, so the failure surfaces on a write or at close.
    std::string line(1000, 'x');
    for (int i = 0; i < 200; ++i) f.WriteLine(line);
    f.Close();
    FAIL() << "no error";
  } catch (const EInOutError& e) {
    EXPECT_EQ(std::string(e.what()), "Disk full");
  }
}

TEST(ExportTarget, BareNameGoesBesideTheProgram) {
  EXPECT_EQ(ExportTargetName("test._sdb", "/opt/sk/bin"), "/opt/sk/bin/test._sdb");
  EXPECT_EQ(ExportTargetName("./test._sdb", "/opt/sk/bin"), "./test._sdb");
  EXPECT_EQ(ExportTargetName("out/test._sdb", "/opt"), "out/test._sdb");
  EXPECT_EQ(ExportTargetName("/tmp/x._sdb", "/opt"), "/tmp/x._sdb");
  // Quotes from the browse button are kept, as typed.
  EXPECT_EQ(ExportTargetName("\"a b._sdb\"", "/opt"), "/opt/\"a b._sdb\"");
}

}  // namespace
}  // namespace skelvane
