// Shared fixture of the compare's whole-run tests: an emulator database with
// one owner, schema documents written from a short description, and
// `skelvane-cli update` runs with both logs read back, time stamps masked.
#ifndef SKELVANE_TESTS_UPDATE_UPDATE_SUPPORT_H
#define SKELVANE_TESTS_UPDATE_UPDATE_SUPPORT_H

#include <gtest/gtest.h>

#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

#include "e2e/export_support.h"

namespace skelvane::update_test {

namespace fs = std::filesystem;

struct TColumnDoc {
  TColumnDoc(std::string name, std::string type, std::string null = "Y", std::string defaultValue = {},
             std::string comments = {})
      : name(std::move(name)), type(std::move(type)), null(std::move(null)),
        defaultValue(std::move(defaultValue)), comments(std::move(comments)) {}
  std::string name, type, null, defaultValue, comments;
};
struct TIndexDoc {
  std::string name, uniqueness, columns;
};
struct TConstraintDoc {
  std::string name, type, index, expr, ref;
};
struct TTableDoc {
  std::string name, comments;
  std::vector<TColumnDoc> columns;
  std::vector<TIndexDoc> indexes;
  std::vector<TConstraintDoc> constraints;
};

// A document as the export lays it out: the schema name, the tables, then
// `rest` (raw text of further sections) when given, else every other section
// empty.
std::string SchemaDocument(const std::string& owner, const std::vector<TTableDoc>& tables,
                           const std::string& rest = "\x01");

// The Common log line, time stamp masked, of a statement the server refused.
std::string Refused(int line, int column, const std::string& reason);

// Lines joined with "\n", each one ended by it.
std::string Lines(std::initializer_list<std::string> lines);

// The Common log lines every run shows after the tables section when the
// document has nothing but tables; `indexes` and `constraints` are the
// per-table lines of those sections, placed between their headers.
std::string SectionsAfterTables(const std::string& indexes, const std::string& constraints1,
                                const std::string& constraints2);

struct TUpdateRun {
  int exitCode = -1;
  std::string common;  // standard output, time stamps masked
  std::string update;  // the --update-log file
  std::string err;
  // The DDL the run sent, in order; a refused one ends in " -> ORA-nnnnn: ...".
  std::vector<std::string> ddl;
};

// One emulator database XE with the owner OWNER/pw, granted what the demo
// owner is granted.
class TOwnerDatabase {
 public:
  // `charset`: the database character set; empty for the emulator's default.
  explicit TOwnerDatabase(const std::string& charset = {});

  const fs::path& Dir() const { return scratch_.Dir(); }
  // Runs SQL as the owner; the script must succeed.
  void Seed(const std::string& sql) const;
  // Writes `document` to a file and updates the owner from it.
  TUpdateRun Update(const std::string& document, const std::vector<std::string>& extra = {}) const;
  // Updates from a file that already exists (or not).
  TUpdateRun UpdateFrom(const fs::path& file, const std::vector<std::string>& extra = {}) const;
  // Exports the owner and returns the document.
  std::string Export() const;

 private:
  e2e::TScratch scratch_;
};

class UpdateTest : public ::testing::Test, public TOwnerDatabase {};

// A traced statement as sent: the trace writes a backslash, CR and LF as \\, \r and \n.
std::string Unescaped(const std::string& text);

}  // namespace skelvane::update_test

#endif
