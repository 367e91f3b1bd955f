// Whole update runs for the sequence, code and grant sections: a document of
// those sections alone, the statements the emulator received (from its
// trace, with the error each one ended in) and both logs.
#ifndef SKELVANE_TESTS_UPDATE_COMPARE2_SUPPORT_H
#define SKELVANE_TESTS_UPDATE_COMPARE2_SUPPORT_H

#include <string>
#include <utility>
#include <vector>

#include "update/update_support.h"

namespace skelvane::update_test {

struct TTracedRun {
  int exitCode = -1;
  std::string common;  // time stamps masked
  std::string update;
  // DDL statements in the order sent, unescaped and without the line end
  // the access layer closes them with; a rejected one is followed by
  // " -> ORA-nnnnn".
  std::vector<std::string> statements;
};

// The Common log of a run over a document with no tables: the section
// headers, each followed by the lines given for its section.
struct TSectionLines {
  std::string sequences{}, triggers{}, functions{}, procedures{}, views{}, privileges{}, synonyms{},
      dbLinks{};
};
std::string CommonLog(const TSectionLines& lines);

class TracedUpdateTest : public UpdateTest {
 protected:
  // Runs SQL as SYSTEM.
  void SeedAsSystem(const std::string& sql) const;
  // Updates OWNER from a document holding only `sections` (raw text of the
  // sections after the tables).
  TTracedRun Run(const std::string& sections, bool sequenceStartZero = false) const;
  // Rows of a query run as OWNER, each row's columns joined by "|".
  std::vector<std::string> Query(const std::string& sql) const;
};

// Each line followed by "\n", as the update log file holds them.
std::string UpdateLog(const std::vector<std::string>& lines);
// Replaces each time-stamped statement error line of a masked Common log by
// "<rejected ORA-nnnnn>": the line and column of the error are the server's.
std::string MaskRejections(const std::string& common);
// The named top-level sections of a document, in the order named.
std::string ExportedSections(const std::string& document, const std::vector<std::string>& names);

// The text with its empty lines removed, as the document reader skips them:
// stored source may keep the line end that closed the statement.
std::string WithoutEmptyLines(const std::string& document);

// Document text helpers: one "{key value}" line, and a whole node.
std::string Entry(int depth, const std::string& key, const std::string& value);
std::string Section(const std::string& name, const std::string& body);
std::string Node(char letter, const std::vector<std::pair<std::string, std::string>>& entries);

}  // namespace skelvane::update_test

#endif
