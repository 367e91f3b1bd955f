// Finding nodes by path and reading the entries of a result list.
#include <gtest/gtest.h>

#include <string>

#include "sdb/entry.h"
#include "sdb/sdb_error.h"
#include "sdb/sdb_parser.h"

namespace skelvane {
namespace {

std::string Table(const std::string& name, const std::string& column) {
  return "\t{t \r\n\t\t{name " + name + "}\r\n\t\t{fields\r\n\t\t\t{f \r\n\t\t\t\t{name " + column +
         "}\r\n\t\t\t\t{type NUMBER(10)}\r\n\t\t\t}\r\n\t\t}\r\n\t}\r\n";
}

TEST(Select, WorkedExampleOfATableAndItsFields) {
  TSDB_Parser doc;
  doc.ParseText("{shema\r\n\t{name scott}\r\n}\r\n{tables \r\n" + Table("EMP", "ID") + "}\r\n");
  TTreeResult result;
  ASSERT_TRUE(doc.Select(0, {"shema"}, result));
  ASSERT_EQ(result.Count(), 1);
  EXPECT_EQ(result.Strings(0), "name=scott");

  ASSERT_TRUE(doc.Select(0, {"tables", "t"}, result));
  ASSERT_EQ(result.Count(), 2);
  EXPECT_EQ(result.Strings(0), "name=EMP");
  EXPECT_EQ(result.Objects(0), nullptr);
  EXPECT_EQ(result.Strings(1), "fields=   ");
  ASSERT_NE(result.Objects(1), nullptr);

  TTreeResult fields;
  ASSERT_TRUE(SelectInEntry(result, "fields", 0, {"f"}, fields));
  ASSERT_EQ(fields.Count(), 2);
  EXPECT_EQ(fields.Strings(0), "name=ID");
  EXPECT_EQ(fields.Strings(1), "type=NUMBER(10)");
  EXPECT_FALSE(SelectInEntry(result, "fields", 1, {"f"}, fields));
  EXPECT_EQ(fields.Count(), 0);
  // An entry without children has no sub-document: false, result untouched.
  ASSERT_TRUE(SelectInEntry(result, "fields", 0, {"f"}, fields));
  EXPECT_FALSE(SelectInEntry(result, "name", 0, {"f"}, fields));
  EXPECT_EQ(fields.Count(), 2);
}

TEST(Select, RunningIndexEndsAtTheLastMatchInAnyOrderOfCalls) {
  TSDB_Parser doc;
  doc.ParseText("{tables \n" + Table("A", "a") + "\t{x}\n" + Table("B", "b") + Table("C", "c") + "}\n");
  TTreeResult result;
  const char* expected[] = {"name=A", "name=B", "name=C"};
  for (int pass = 0; pass < 2; ++pass) {
    for (int i = 0; i < 3; ++i) {
      ASSERT_TRUE(doc.Select(i, {"tables", "t"}, result)) << i;
      EXPECT_EQ(result.Strings(0), expected[i]);
    }
    EXPECT_FALSE(doc.Select(3, {"tables", "t"}, result));
    EXPECT_EQ(result.Count(), 0);
  }
  for (int i : {0, 2, 1, 1, 0, 2, 2}) {  // skipping, going back, repeating
    ASSERT_TRUE(doc.Select(i, {"tables", "t"}, result));
    EXPECT_EQ(result.Strings(0), expected[i]);
  }
  EXPECT_FALSE(doc.Select(-1, {"tables", "t"}, result));
  EXPECT_FALSE(doc.Select(0, {}, result));
}

TEST(Select, IndexCountsAfreshInEveryMatchingParent) {
  // The first "s" has one "x", the second three, the third four.
  const std::string text =
      "{s {x {v 1}}}\n{other {x {v no}}}\n{s {x {v 2}}{x {v 3}}{y}{x {v 4}}}\n"
      "{s {x {v 5}}{x {v 6}}{x {v 7}}{x {v 8}}}";
  const char* expected[] = {"v=1", "v=3", "v=4", "v=8"};
  TSDB_Parser walked;
  walked.ParseText(text);
  TTreeResult result;
  for (int i = 0; i < 4; ++i) {
    ASSERT_TRUE(walked.Select(i, {"s", "x"}, result)) << i;
    EXPECT_EQ(result.Strings(0), expected[i]) << i;
  }
  EXPECT_FALSE(walked.Select(4, {"s", "x"}, result));
  for (int i = 3; i >= 0; --i) {
    TSDB_Parser fresh;  // no earlier position to resume from
    fresh.ParseText(text);
    ASSERT_TRUE(fresh.Select(i, {"s", "x"}, result)) << i;
    EXPECT_EQ(result.Strings(0), expected[i]) << i;
  }
}

TEST(Select, NamesMatchCaseSensitivelyEntriesCaseInsensitively) {
  TSDB_Parser doc;
  doc.ParseText("{Tables {t {name A=B=C}{Name second}{empty}}}");
  TTreeResult result;
  EXPECT_FALSE(doc.Select(0, {"tables", "t"}, result));
  ASSERT_TRUE(doc.Select(0, {"Tables", "t"}, result));
  EXPECT_EQ(GetEntryValue(result, "NAME"), "A=B=C");  // first of equal names, after the first "="
  EXPECT_EQ(GetEntryValue(result, "empty"), "");
  EXPECT_EQ(GetEntryValue(result, "missing"), "");
  EXPECT_EQ(GetEntryValue(result, "nam"), "");
  EXPECT_EQ(result.IndexOfName("name"), 0);
  // A found node without children: true, nothing listed.
  ASSERT_TRUE(doc.Select(0, {"Tables", "t"}, result));
  EXPECT_TRUE(doc.Select(0, {"Tables"}, result));
  EXPECT_EQ(result.Count(), 1);
}

TEST(Select, EmptyLeafGivesTrueWithEmptyResult) {
  TSDB_Parser doc;
  doc.ParseText("{sequences \r\n}\r\n");
  TTreeResult result;
  result.Add("stale=1");
  EXPECT_TRUE(doc.Select(0, {"sequences"}, result));
  EXPECT_EQ(result.Count(), 0);
  EXPECT_FALSE(doc.Select(0, {"sequences", "s"}, result));
}

TEST(SelectInEntry, FirstOfEqualNamesAndMissingNameIsAnError) {
  TSDB_Parser doc;
  doc.ParseText("{v {name V1}{FIELDS {f {name one}}}{fields {f {name two}}}}");
  TTreeResult result;
  ASSERT_TRUE(doc.Select(0, {"v"}, result));
  TTreeResult fields;
  ASSERT_TRUE(SelectInEntry(result, "fields", 0, {"f"}, fields));
  EXPECT_EQ(GetEntryValue(fields, "name"), "one");
  try {
    SelectInEntry(result, "indexes", 0, {"i"}, fields);
    FAIL() << "no error";
  } catch (const ESdbEntryNotFound& error) {
    EXPECT_NE(std::string(error.what()).find("\"indexes\""), std::string::npos);
    EXPECT_NE(std::string(error.what()).find("V1"), std::string::npos);
  }
  EXPECT_EQ(GetEntryValue(fields, "name"), "one");
}

TEST(SelectInEntry, ResultMayBeTheListItself) {
  TSDB_Parser doc;
  doc.ParseText("{t {name T}{fields {f {name C1}}{f {name C2}}}}");
  TTreeResult result;
  ASSERT_TRUE(doc.Select(0, {"t"}, result));
  ASSERT_TRUE(SelectInEntry(result, "fields", 1, {"f"}, result));
  EXPECT_EQ(GetEntryValue(result, "name"), "C2");
  // The same through the sub-document directly.
  ASSERT_TRUE(doc.Select(0, {"t"}, result));
  const TSDB_Parser* sub = result.Objects(result.IndexOfName("fields"));
  ASSERT_TRUE(sub->Select(0, {"f"}, result));
  EXPECT_EQ(GetEntryValue(result, "name"), "C1");
}

TEST(Select, SubDocumentsOutliveLaterSelectsOnTheirDocument) {
  TSDB_Parser doc;
  doc.ParseText("{tables {t {fields {f {name A}}}}{t {fields {f {name B}}}}}");
  TTreeResult first;
  TTreeResult second;
  ASSERT_TRUE(doc.Select(0, {"tables", "t"}, first));
  ASSERT_TRUE(doc.Select(1, {"tables", "t"}, second));
  TTreeResult fields;
  ASSERT_TRUE(SelectInEntry(first, "fields", 0, {"f"}, fields));
  EXPECT_EQ(GetEntryValue(fields, "name"), "A");
  ASSERT_TRUE(SelectInEntry(second, "fields", 0, {"f"}, fields));
  EXPECT_EQ(GetEntryValue(fields, "name"), "B");
}

TEST(Select, UnparsedDocumentFindsNothing) {
  TSDB_Parser doc("x._sdb");
  TTreeResult result;
  EXPECT_FALSE(doc.Select(0, {"shema"}, result));
}

}  // namespace
}  // namespace skelvane
