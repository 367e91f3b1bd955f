#include "writer_layout.h"

namespace skelvane::bench {
namespace {

void Line(std::string& out, int depth, const std::string& text) {
  out.append(static_cast<std::size_t>(depth), '\t');
  out += text;
  out += "\r\n";
}

void Leaf(std::string& out, int depth, const std::string& key, const std::string& value) {
  Line(out, depth, "{" + key + " " + value + "}");
}

void Table(std::string& out, int t) {
  const std::string table = "TABLE_" + std::to_string(t);
  Line(out, 1, "{t ");
  Leaf(out, 2, "name", table);
  if (t % 3 == 0) Leaf(out, 2, "comments", "Rows of " + table + " kept for the bench");
  Line(out, 2, "{fields");
  for (int c = 0; c < 20; ++c) {
    Line(out, 3, "{f ");
    Leaf(out, 4, "name", "COLUMN_" + std::to_string(c));
    static const char* const kTypes[] = {"NUMBER(10)", "VARCHAR2(100 BYTE)", "DATE", "NUMBER(12,2)",
                                         "CHAR(1 BYTE)"};
    Leaf(out, 4, "type", kTypes[c % 5]);
    Leaf(out, 4, "null", c == 0 ? "N" : "Y");
    if (c % 4 == 1) Leaf(out, 4, "default", "0");
    if (c % 2 == 0) Leaf(out, 4, "comments", "Column " + std::to_string(c) + " of " + table);
    Line(out, 3, "}");
  }
  Line(out, 2, "}");
  Line(out, 2, "{indexes");
  for (int i = 0; i < 3; ++i) {
    Line(out, 3, "{i ");
    Leaf(out, 4, "name", table + "_I" + std::to_string(i));
    Leaf(out, 4, "uniqueness", i == 0 ? "UNIQUE" : "NONUNIQUE");
    Leaf(out, 4, "columns", i == 0 ? "COLUMN_0" : "COLUMN_" + std::to_string(i) + ",COLUMN_5");
    Line(out, 3, "}");
  }
  Line(out, 2, "}");
  Line(out, 2, "{constraints");
  for (int i = 0; i < 3; ++i) {
    Line(out, 3, "{i ");
    Leaf(out, 4, "name", table + "_C" + std::to_string(i));
    const char* type = i == 0 ? "P" : (i == 1 ? "C" : "R");
    Leaf(out, 4, "type", type);
    Leaf(out, 4, "index", i == 0 ? table + "_I0" : "");
    Leaf(out, 4, "expr", i == 1 ? "\"COLUMN_0\" IS NOT NULL" : "");
    Leaf(out, 4, "ref", i == 2 ? "TABLE_0(COLUMN_0)" : "");
    Leaf(out, 4, "status", "ENABLED");
    Line(out, 3, "}");
  }
  Line(out, 2, "}");
  Line(out, 1, "}");
}

}  // namespace

std::string WriterLayoutDocument(int tableCount) {
  std::string out;
  out.reserve(static_cast<std::size_t>(tableCount) * 3200 + 256);
  Line(out, 0, "{shema");
  Leaf(out, 1, "name", "bench");
  Line(out, 0, "}");
  Line(out, 0, "{tables ");
  for (int t = 0; t < tableCount; ++t) Table(out, t);
  Line(out, 0, "}");
  for (const char* section :
       {"sequences", "triggers", "functions", "procedures", "views", "synonyms", "privileges", "db_links"}) {
    Line(out, 0, std::string("{") + section + " ");
    Line(out, 0, "}");
  }
  return out;
}

}  // namespace skelvane::bench
