// Documents read from files: which files are read and what failures look like.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "sdb/entry.h"
#include "sdb/sdb_error.h"
#include "sdb/sdb_parser.h"

namespace skelvane {
namespace {

namespace fs = std::filesystem;

class DocumentFile : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() /
           ("sdb_file_test_" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "_" +
            ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(dir_);
    fs::create_directories(dir_);
  }
  void TearDown() override { fs::remove_all(dir_); }

  std::string Write(const std::string& name, const std::string& bytes) {
    const fs::path path = dir_ / name;
    std::ofstream(path, std::ios::binary) << bytes;
    return path.string();
  }

  fs::path dir_;
};

constexpr const char* kSchema = "{shema\r\n\t{name scott}\r\n}\r\n";

TEST_F(DocumentFile, ExtensionDecidesWhetherTheFileIsRead) {
  struct Case {
    const char* name;
    int kind;
  };
  for (const Case& c : {Case{"a._sdb", 1}, Case{"B._SDB", 1}, Case{"c.PSDB", 2}, Case{"d.sdb", 0},
                        Case{"e._sdb.txt", 0}, Case{"f", 0}, Case{"g._sdbx", 0}}) {
    const std::string path = Write(c.name, kSchema);
    TSDB_Parser doc(path);
    EXPECT_EQ(doc.FileKind(), c.kind) << c.name;
    EXPECT_EQ(doc.FileOk(), c.kind != 0) << c.name;
    doc.Parse();
    EXPECT_EQ(doc.FileOk(), c.kind != 0) << c.name;
    TTreeResult result;
    EXPECT_EQ(doc.Select(0, {"shema"}, result), c.kind != 0) << c.name;
    if (c.kind != 0) {
      EXPECT_EQ(GetEntryValue(result, "name"), "scott");
    }
  }
  // A dot in a folder name is not an extension.
  fs::create_directories(dir_ / "x._sdb");
  EXPECT_EQ(TSDB_Parser((dir_ / "x._sdb" / "plain").string()).FileKind(), 0);
}

TEST_F(DocumentFile, MissingFileOrNoNameIsNotOk) {
  TSDB_Parser missing((dir_ / "missing._sdb").string());
  EXPECT_FALSE(missing.FileOk());
  missing.Parse();
  EXPECT_FALSE(missing.FileOk());
  EXPECT_TRUE(missing.RootNodes().empty());

  TSDB_Parser unnamed;
  EXPECT_EQ(unnamed.FileKind(), 0);
  unnamed.Parse();
  EXPECT_FALSE(unnamed.FileOk());
}

TEST_F(DocumentFile, FileDeletedBetweenConstructionAndParse) {
  const std::string path = Write("gone._sdb", kSchema);
  TSDB_Parser doc(path);
  ASSERT_TRUE(doc.FileOk());
  fs::remove(path);
  doc.Parse();
  EXPECT_FALSE(doc.FileOk());
}

TEST_F(DocumentFile, ReadErrorAfterOpenIsRaised) {
  // A folder opens for reading here, but reading it fails.
  fs::create_directories(dir_ / "folder._sdb");
  TSDB_Parser doc((dir_ / "folder._sdb").string());
  if (!doc.FileOk()) GTEST_SKIP() << "this system does not open folders as files";
  EXPECT_THROW(doc.Parse(), ESdbReadError);
}

TEST_F(DocumentFile, BigFileReadsAcrossChunkBoundaries) {
  std::string text = "{tables \r\n";
  for (int i = 0; i < 5000; ++i) text += "\t{t \r\n\t\t{name T" + std::to_string(i) + "}\r\n\t}\r\n";
  text += "}\r\n\x1a{tables \r\n\t{t \r\n\t}\r\n}\r\n";  // nothing after Ctrl-Z counts
  TSDB_Parser doc(Write("big._sdb", text));
  doc.Parse();
  TTreeResult result;
  for (int i = 0; i < 5000; ++i) {
    ASSERT_TRUE(doc.Select(i, {"tables", "t"}, result));
    ASSERT_EQ(GetEntryValue(result, "name"), "T" + std::to_string(i));
  }
  EXPECT_FALSE(doc.Select(5000, {"tables", "t"}, result));
}

TEST_F(DocumentFile, SecondParseRereadsAndKeepsEarlierResultsValid) {
  const std::string path = Write("twice._sdb", "{v {fields {f {name A}}}}");
  TSDB_Parser doc(path);
  doc.Parse();
  TTreeResult before;
  ASSERT_TRUE(doc.Select(0, {"v"}, before));
  Write("twice._sdb", "{v {fields {f {name B}}}}");
  doc.Parse();
  EXPECT_EQ(doc.RootNodes().size(), 1u);
  TTreeResult fields;
  ASSERT_TRUE(SelectInEntry(before, "fields", 0, {"f"}, fields));
  EXPECT_EQ(GetEntryValue(fields, "name"), "A");
  TTreeResult after;
  ASSERT_TRUE(doc.Select(0, {"v"}, after));
  ASSERT_TRUE(SelectInEntry(after, "fields", 0, {"f"}, fields));
  EXPECT_EQ(GetEntryValue(fields, "name"), "B");
}

}  // namespace
}  // namespace skelvane
