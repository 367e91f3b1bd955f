// How text reads into nodes: lines, blanks, comments, names and values.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "sdb/sdb_error.h"
#include "sdb/sdb_parser.h"

namespace skelvane {
namespace {

const TTreeElem& Child(const TTreeElem& node, std::size_t i) {
  auto it = node.Children().begin();
  for (std::size_t k = 0; k < i; ++k) ++it;
  return *it;
}

std::vector<const TTreeElem*> Roots(const TSDB_Parser& doc) {
  std::vector<const TTreeElem*> roots;
  for (const TTreeElem& node : doc.RootNodes()) roots.push_back(&node);
  return roots;
}

TEST(Reader, WriterLinesReadAsTheWorkedTree) {
  TSDB_Parser doc;
  doc.ParseText(
      "{tables \r\n\t{t \r\n\t\t{name EMP}\r\n\t\t{fields\r\n\t\t\t{f \r\n"
      "\t\t\t\t{name ID}\r\n\t\t\t\t{type NUMBER(10)}\r\n\t\t\t}\r\n\t\t}\r\n\t}\r\n}\r\n");
  const auto roots = Roots(doc);
  ASSERT_EQ(roots.size(), 1u);
  const TTreeElem& tables = *roots[0];
  EXPECT_EQ(tables.Name(), "tables");
  EXPECT_EQ(tables.Value(), " ");
  ASSERT_EQ(tables.Children().size(), 1u);
  const TTreeElem& t = Child(tables, 0);
  EXPECT_EQ(t.Name(), "t");
  EXPECT_EQ(t.Value(), "  ");
  ASSERT_EQ(t.Children().size(), 2u);
  EXPECT_EQ(Child(t, 0).Name(), "name");
  EXPECT_EQ(Child(t, 0).Value(), "EMP");
  const TTreeElem& fields = Child(t, 1);
  EXPECT_EQ(fields.Name(), "fields");
  EXPECT_EQ(fields.Value(), "   ");
  ASSERT_EQ(fields.Children().size(), 1u);
  const TTreeElem& f = Child(fields, 0);
  EXPECT_EQ(f.Value(), "    ");
  ASSERT_EQ(f.Children().size(), 2u);
  EXPECT_EQ(Child(f, 1).Name(), "type");
  EXPECT_EQ(Child(f, 1).Value(), "NUMBER(10)");
}

TEST(Reader, OnlyTheFirstBlankAfterTheNameIsConsumed) {
  TSDB_Parser doc;
  doc.ParseText("{comments  two  blanks\t}\n{ nameless rest}\n{x}");
  const auto roots = Roots(doc);
  ASSERT_EQ(roots.size(), 3u);
  EXPECT_EQ(roots[0]->Name(), "comments");
  EXPECT_EQ(roots[0]->Value(), " two  blanks ");  // TAB became a blank
  EXPECT_EQ(roots[1]->Name(), "");
  EXPECT_EQ(roots[1]->Value(), "nameless rest");
  EXPECT_EQ(roots[2]->Name(), "x");
  EXPECT_EQ(roots[2]->Value(), "");
}

TEST(Reader, MultiLineValueJoinsWithCrLfAndKeepsIndentation) {
  TSDB_Parser doc;
  // A bare LF, a CR LF, comment and empty lines inside the value, and the
  // closing line's indentation.
  doc.ParseText(
      "{text\r\nselect a,\n// dropped\r\n\r\n\r\n  \tfrom b\r\n\t\t}\r\n"
      "{v\r\nline\r\n}\r\n");
  const auto roots = Roots(doc);
  ASSERT_EQ(roots.size(), 2u);
  EXPECT_EQ(roots[0]->Value(), "select a,\r\n   from b\r\n  ");
  EXPECT_EQ(roots[1]->Value(), "line");  // "}" first on its line adds nothing
}

TEST(Reader, CommentsOnlyAtTheVeryStartOfALine) {
  TSDB_Parser doc;
  doc.ParseText("// {ignored}\n{a x // y}\n  // {b}\n/{c}\n\r//{d}\n");
  const auto roots = Roots(doc);
  ASSERT_EQ(roots.size(), 3u);
  EXPECT_EQ(roots[0]->Value(), "x // y");
  EXPECT_EQ(roots[1]->Name(), "b");
  EXPECT_EQ(roots[2]->Name(), "c");
}

TEST(Reader, LoneCarriageReturnsAreDroppedAndCtrlZEndsTheText) {
  TSDB_Parser doc;
  doc.ParseText(std::string("{na\rme va\rlue}\r\r\n{b\r}\x1a{after}\n", 31));
  const auto roots = Roots(doc);
  ASSERT_EQ(roots.size(), 2u);
  EXPECT_EQ(roots[0]->Name(), "name");
  EXPECT_EQ(roots[0]->Value(), "value");
  EXPECT_EQ(roots[1]->Name(), "b");
}

TEST(Reader, ChildEndsTheParentsValueForGood) {
  TSDB_Parser doc;
  doc.ParseText("{p head {c inner} tail\nmore\n}\n stray text {q}");
  const auto roots = Roots(doc);
  ASSERT_EQ(roots.size(), 2u);
  EXPECT_EQ(roots[0]->Value(), "head ");
  ASSERT_EQ(roots[0]->Children().size(), 1u);
  EXPECT_EQ(Child(*roots[0], 0).Value(), "inner");
  EXPECT_EQ(roots[1]->Name(), "q");
}

TEST(Reader, NulBytesAreOrdinaryText) {
  TSDB_Parser doc;
  doc.ParseText(std::string("{n\0a v\0\0}\n\0{b}", 15));
  const auto roots = Roots(doc);
  ASSERT_EQ(roots.size(), 2u);
  EXPECT_EQ(roots[0]->Name(), std::string("n\0a", 3));
  EXPECT_EQ(roots[0]->Value(), std::string("v\0\0", 3));
  EXPECT_EQ(roots[1]->Name(), "b");
}

TEST(Reader, BracesInCommentsAndAfterCtrlZMakeNoNodes) {
  // Nodes are counted before reading; the count may only be too high.
  TSDB_Parser doc;
  doc.ParseText("//{{{{\n{a {b}}\x1a{{{{");
  const auto roots = Roots(doc);
  ASSERT_EQ(roots.size(), 1u);
  EXPECT_EQ(roots[0]->Children().size(), 1u);
  TSDB_Parser none;
  none.ParseText("// {only} comments\n\x1a{x}");
  EXPECT_TRUE(none.RootNodes().empty());
}

TEST(Reader, DeepRunsOfOpenBracesAllBecomeNodes) {
  const std::string braces(5000, '{');
  TSDB_Parser doc;
  doc.ParseText(braces + "\n" + braces);
  std::size_t depth = 0;
  for (const TTreeElem* node = doc.RootNodes().first(); node != nullptr; node = node->Children().first()) {
    ++depth;
  }
  EXPECT_EQ(depth, 10000u);
}

TEST(Reader, LongLinesAndValuesAreReadWhole) {
  const std::string big(1 << 20, 'x');
  TSDB_Parser doc;
  doc.ParseText("{k " + big + "}");
  ASSERT_EQ(Roots(doc).size(), 1u);
  EXPECT_EQ(Roots(doc)[0]->Value(), big);
}

// A "{" at the end of a line leaves the name empty; the next line's first word
// becomes the name (the alternative would be to reject the document).
TEST(Reader, NameMayStartOnTheLineAfterABareBrace) {
  TSDB_Parser doc;
  doc.ParseText("{\nname value\n}\n{\n\n {x 1}\n}\n{");
  const auto roots = Roots(doc);
  ASSERT_EQ(roots.size(), 3u);
  EXPECT_EQ(roots[0]->Name(), "name");
  EXPECT_EQ(roots[0]->Value(), "value");
  EXPECT_EQ(roots[1]->Name(), "");
  ASSERT_EQ(roots[1]->Children().size(), 1u);
  EXPECT_EQ(Child(*roots[1], 0).Name(), "x");
  EXPECT_EQ(roots[2]->Name(), "");  // still open at the end: kept
}

TEST(Reader, UnclosedNodesAreKept) {
  TSDB_Parser doc;
  doc.ParseText("{a 1\n\t{b 2");
  const auto roots = Roots(doc);
  ASSERT_EQ(roots.size(), 1u);
  EXPECT_EQ(roots[0]->Value(), "1\r\n ");
  EXPECT_EQ(Child(*roots[0], 0).Value(), "2");
}

TEST(Reader, UnmatchedCloseBraceNamesTheLine) {
  TSDB_Parser doc("broken._sdb");
  try {
    doc.ParseText("{a}\n// c\n\n{b 1}}\n");
    FAIL() << "no error";
  } catch (const ESdbSyntaxError& error) {
    EXPECT_EQ(error.Line(), 4);
    EXPECT_EQ(std::string(error.what()),
              "Schema document broken._sdb, line 4: \"}\" without a matching \"{\"");
  }
  EXPECT_THROW(TSDB_Parser().ParseText("}"), ESdbSyntaxError);
}

}  // namespace
}  // namespace skelvane
