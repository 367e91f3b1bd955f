// Creating missing sequences: the statement's clauses, the start-at-zero
// option, the two ways servers write "no upper bound", and what is left alone.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "update/compare2_support.h"

namespace skelvane::update_test {
namespace {

using Strings = std::vector<std::string>;

struct TSequenceDoc {
  std::string name, last, max, min, increment, cycle, order, cache;
};

std::string Sequences(const std::vector<TSequenceDoc>& sequences) {
  std::string body;
  for (const TSequenceDoc& s : sequences) {
    body += Node('s', {{"name", s.name},
                       {"increment_by", s.increment},
                       {"last_number", s.last},
                       {"min_value", s.min},
                       {"max_value", s.max},
                       {"cycle", s.cycle},
                       {"order", s.order},
                       {"cache", s.cache}});
  }
  return Section("sequences", body);
}

class SequenceStep : public TracedUpdateTest {};

TEST_F(SequenceStep, MissingSequencesAreCreatedWithEveryClauseAsTheDocumentWritesIt) {
  Seed("CREATE SEQUENCE KEEP1 START WITH 7 INCREMENT BY 3 MAXVALUE 99 CYCLE CACHE 5;\n");
  const TTracedRun run = Run(Sequences({
      {"S1", "21", "1E27", "1", "1", "N", "N", "20"},
      // A 12c server's "no upper bound", as the export writes it.
      {"S28", "1", "1E28", "1", "1", "N", "N", "0"},
      {"DOWN", "-1", "-1", "-1000", "-1", "Y", "Y", "0"},
      // A falling sequence's default lower bound, as the export writes it.
      {"DOWN27", "-1", "-1", "-1E27", "-1", "N", "N", "20"},
      {"BOUNDED", "5", "1000", "5", "5", "N", "N", "2"},
      // Exists: left alone though every attribute differs.
      {"KEEP1", "1", "1E27", "1", "1", "N", "N", "20"},
      // Not found under its own spelling; the server folds it onto KEEP1.
      {"keep1", "1", "1E27", "1", "1", "N", "N", "20"},
      // Past the server's 28 digits: refused, and the run goes on.
      {"HUGE", "1", "1E29", "1", "1", "N", "N", "20"},
      {"LAST", "1", "1E27", "1", "2", "N", "N", "20"},
  }));

  EXPECT_EQ(run.statements,
            (Strings{
                "CREATE SEQUENCE OWNER.S1 START WITH 21 NOMAXVALUE MINVALUE 1 NOCYCLE NOORDER CACHE 20",
                "CREATE SEQUENCE OWNER.S28 START WITH 1 NOMAXVALUE MINVALUE 1 NOCYCLE NOORDER NOCACHE",
                "CREATE SEQUENCE OWNER.DOWN START WITH -1 MAXVALUE -1 MINVALUE -1000 INCREMENT BY -1 "
                "CYCLE ORDER NOCACHE",
                "CREATE SEQUENCE OWNER.DOWN27 START WITH -1 MAXVALUE -1 NOMINVALUE INCREMENT BY -1 "
                "NOCYCLE NOORDER CACHE 20",
                "CREATE SEQUENCE OWNER.BOUNDED START WITH 5 MAXVALUE 1000 MINVALUE 5 INCREMENT BY 5 "
                "NOCYCLE NOORDER CACHE 2",
                "CREATE SEQUENCE OWNER.keep1 START WITH 1 NOMAXVALUE MINVALUE 1 NOCYCLE NOORDER CACHE 20"
                " -> ORA-00955",
                "CREATE SEQUENCE OWNER.HUGE START WITH 1 MAXVALUE 1E29 MINVALUE 1 NOCYCLE NOORDER CACHE 20"
                " -> ORA-04003",
                "CREATE SEQUENCE OWNER.LAST START WITH 1 NOMAXVALUE MINVALUE 1 INCREMENT BY 2 NOCYCLE "
                "NOORDER CACHE 20",
            }));
  const std::string created =
      "\t\tnot found S1\n\t\tnot found S28\n\t\tnot found DOWN\n\t\tnot found DOWN27\n"
      "\t\tnot found BOUNDED\n";
  EXPECT_EQ(MaskRejections(run.common),
            CommonLog({.sequences = created + "<rejected ORA-00955>\n<rejected ORA-04003>\n"
                                              "\t\tnot found LAST\n"}));
  EXPECT_EQ(run.update, UpdateLog({"\t\tnot found S1", "\t\tnot found S28", "\t\tnot found DOWN",
                                   "\t\tnot found DOWN27", "\t\tnot found BOUNDED", "\t\tnot found LAST"}));
  EXPECT_EQ(Query("select sequence_name, max_value, increment_by, cycle_flag from user_sequences "
                  "where sequence_name in ('S28', 'KEEP1', 'DOWN27') order by 1"),
            (Strings{"DOWN27|-1|-1|N", "KEEP1|99|3|Y", "S28|1E28|1|N"}));
}

TEST_F(SequenceStep, StartAtZeroOverridesTheDocumentsStartForEverySequence) {
  const TTracedRun run = Run(Sequences({
                                 {"FROM0", "21", "1E27", "0", "1", "N", "N", "20"},
                                 // Zero is below this lower bound: refused, not adjusted.
                                 {"FROM1", "21", "1E27", "1", "1", "N", "N", "20"},
                             }),
                             /*sequenceStartZero=*/true);
  EXPECT_EQ(run.statements,
            (Strings{
                "CREATE SEQUENCE OWNER.FROM0 START WITH 0 NOMAXVALUE MINVALUE 0 NOCYCLE NOORDER CACHE 20",
                "CREATE SEQUENCE OWNER.FROM1 START WITH 0 NOMAXVALUE MINVALUE 1 NOCYCLE NOORDER CACHE 20"
                " -> ORA-04006",
            }));
  EXPECT_EQ(run.update, UpdateLog({"\t\tnot found FROM0"}));
  EXPECT_NE(run.exitCode, 0);
}

TEST_F(SequenceStep, ExportedSequencesAreRebuiltAsTheyWere) {
  const std::string kSeed =
      "CREATE SEQUENCE A1;\n"
      "CREATE SEQUENCE A2 START WITH -5 INCREMENT BY -5 MAXVALUE -5 MINVALUE -500 CYCLE ORDER NOCACHE;\n"
      "CREATE SEQUENCE A3 START WITH 10 MAXVALUE 1000000 CACHE 100;\n"
      "CREATE SEQUENCE A4 INCREMENT BY -1;\n";
  Seed(kSeed);
  const std::string before = ExportedSections(Export(), {"sequences"});
  Seed("DROP SEQUENCE A1;\nDROP SEQUENCE A2;\nDROP SEQUENCE A3;\nDROP SEQUENCE A4;\n");

  const TTracedRun rebuild = Run(before);
  EXPECT_EQ(rebuild.statements.size(), 4u);
  EXPECT_EQ(rebuild.update, UpdateLog({"\t\tnot found A1", "\t\tnot found A2", "\t\tnot found A3",
                                       "\t\tnot found A4"}));
  EXPECT_EQ(ExportedSections(Export(), {"sequences"}), before);

  const TTracedRun again = Run(before);
  EXPECT_EQ(again.statements, Strings{});
  EXPECT_EQ(again.update, "");
  EXPECT_EQ(again.exitCode, 0);
}

}  // namespace
}  // namespace skelvane::update_test
