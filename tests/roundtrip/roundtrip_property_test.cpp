// The round-trip property: a schema exported from one database and applied to
// an empty one exports again to the same document, and applying the document
// once more changes nothing.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <iostream>
#include <sstream>
#include <thread>

#include "roundtrip/document_equality.h"
#include "roundtrip/round_trip.h"
#include "roundtrip/schema_generator.h"

namespace skelvane::roundtrip {
namespace {

constexpr uint32_t kFirstSeed = 1;
constexpr int kGeneratedSchemas = 50;

struct TTally {
  int schemas = 0;
  int objects = 0;
  int firstStatements = 0;
  int secondStatements = 0;
};

bool IsPending(const std::string& section) {
  return std::any_of(PendingSections().begin(), PendingSections().end(),
                     [&](const TPendingSection& p) { return !p.section.empty() && p.section == section; });
}

// The entries of sections not pending, one indented line each, and their count.
std::string OutsidePending(const std::map<std::string, std::vector<std::string>>& bySection, int* count) {
  std::string listed;
  *count = 0;
  for (const auto& [section, list] : bySection) {
    if (IsPending(section)) continue;
    for (const auto& s : list) {
      ++*count;
      listed += "    " + s + "\n";
    }
  }
  return listed;
}

// Every way the property can fail for one schema, as readable text; empty
// when it holds.
std::string PropertyFailures(const TRoundTripResult& r) {
  std::string failures;
  int refused = 0;
  const std::string refusals = OutsidePending(r.firstUpdate.refused, &refused);
  const bool refusalsPending = refused == 0 && !r.firstUpdate.refused.empty();
  if (r.firstUpdate.cli.exitCode != 0 && !(r.firstUpdate.cli.exitCode == 1 && refusalsPending))
    failures += "first update exit status " + std::to_string(r.firstUpdate.cli.exitCode) + ", refused:\n" +
                refusals + r.firstUpdate.cli.err;
  const std::string difference =
      FirstDifference(ComparableDocument(r.documentA), ComparableDocument(r.documentB));
  if (!difference.empty()) failures += "documents differ at " + difference + "\n";
  int again = 0;
  const std::string repeated = OutsidePending(r.secondUpdate.statements, &again);
  const bool anyPending = again != r.secondUpdate.StatementCount();
  // With a section pending its statements may run again and log; the rest must not.
  if ((r.secondUpdate.cli.exitCode != 0 && !anyPending) || again != 0 ||
      (!r.secondUpdate.updateLog.empty() && !anyPending)) {
    failures += "second update not idempotent: exit status " + std::to_string(r.secondUpdate.cli.exitCode) +
                ", " + std::to_string(again) + " statements\n" + repeated + r.secondUpdate.cli.err;
    if (!r.secondUpdate.updateLog.empty()) failures += "  update log:\n" + r.secondUpdate.updateLog;
  }
  return failures;
}

void Add(TTally& tally, const TRoundTripResult& r, int objects) {
  int first = 0, second = 0;
  OutsidePending(r.firstUpdate.statements, &first);
  OutsidePending(r.secondUpdate.statements, &second);
  ++tally.schemas;
  tally.objects += objects;
  tally.firstStatements += first;
  tally.secondStatements += second;
}

void PrintSummary(const std::string& what, const TTally& t) {
  std::cout << "round trip summary (" << what << "): " << t.schemas << " schemas, " << t.objects << " objects, "
            << t.firstStatements << " statements executed by the first updates, " << t.secondStatements
            << " by the second";
  for (const auto& p : PendingSections()) {
    std::string what = p.section.empty() ? "" : "the " + p.section + " section";
    for (TFeature f : p.features) what += (what.empty() ? "" : ", ") + std::string(FeatureName(f));
    std::cout << "; pending: " << what;
  }
  std::cout << std::endl;
}

TRoundTripCase GeneratedCase(const TGeneratedSchema& schema, const std::string& label) {
  TUsers users;
  TRoundTripCase c;
  c.label = label;
  c.usersScript = UsersScript(users);
  c.owner = users.owner;
  c.password = users.ownerPassword;
  c.seedScripts = {{users.owner + "/" + users.ownerPassword, schema.ownerScript}};
  return c;
}

// Objects the demo scripts make: their CREATE, COMMENT and GRANT statements.
int CountCreates(const std::string& script) {
  int n = 0;
  std::istringstream in(script);
  for (std::string line; std::getline(in, line);) {
    if (line.rfind("CREATE", 0) == 0 || line.rfind("COMMENT", 0) == 0 || line.rfind("GRANT", 0) == 0) ++n;
  }
  return n;
}

TEST(RoundTripProperty, DemoSchemaComesBackUnchangedAndSettles) {
  const fs::path demo = e2e::SourceDir() / "demo";
  TRoundTripCase c;
  c.label = "demo";
  c.usersScript = e2e::ReadFile(demo / "users.sql");
  c.owner = "DEMO_APP";
  c.password = "demo_app_pw";
  c.seedScripts = {{"demo_app/demo_app_pw", e2e::ReadFile(demo / "seed.sql")},
                   {"demo_reader/demo_reader_pw", e2e::ReadFile(demo / "reader.sql")}};
  e2e::TScratch scratch("roundtrip-demo");
  const auto result = RunRoundTrip(c, scratch.Dir());
  if (const auto failures = PropertyFailures(result); !failures.empty()) ADD_FAILURE() << failures;
  TTally tally;
  Add(tally, result, CountCreates(c.seedScripts[0].second) + CountCreates(c.seedScripts[1].second));
  PrintSummary("demo", tally);
}

// Text outside ASCII in each database character set: comments, defaults and
// widths counted in characters must survive both directions.
std::string Cp1251(const std::string& utf8) {
  std::string out;
  for (size_t i = 0; i < utf8.size(); ++i) {
    const unsigned char c = utf8[i];
    if (c < 0x80) {
      out += static_cast<char>(c);
      continue;
    }
    const unsigned code = ((c & 0x1F) << 6) | (static_cast<unsigned char>(utf8[++i]) & 0x3F);
    if (code >= 0x410 && code <= 0x44F) out += static_cast<char>(0xC0 + (code - 0x410));
    else if (code == 0x401) out += static_cast<char>(0xA8);
    else if (code == 0x451) out += static_cast<char>(0xB8);
    else out += '?';
  }
  return out;
}

const char kNationalTable[] =
    "CREATE TABLE KLIENTY (\n"
    "  ID NUMBER(10) NOT NULL,\n"
    "  IMYA VARCHAR2(40 CHAR) DEFAULT 'Ёжик' NOT NULL,\n"
    "  GOROD NVARCHAR2(30),\n"
    "  KOD CHAR(3 CHAR),\n"
    "  CONSTRAINT KLIENTY_PK PRIMARY KEY (ID)\n"
    ");\n"
    "COMMENT ON TABLE KLIENTY IS 'Клиенты магазина';\n"
    "COMMENT ON COLUMN KLIENTY.IMYA IS 'Имя, как в паспорте';\n"
    "CREATE VIEW KLIENTY_V AS SELECT ID, IMYA FROM KLIENTY WHERE IMYA <> 'Аноним';\n"
    "COMMENT ON TABLE KLIENTY_V IS 'Все клиенты, кроме анонимных';\n";

TEST(RoundTripProperty, SchemaInEachCharacterSetComesBackUnchanged) {
  struct TCharsetCase {
    const char* charset;
    std::string (*encode)(const std::string&);
  };
  const TCharsetCase cases[] = {
      {"CL8MSWIN1251", Cp1251},
      {"AL32UTF8", [](const std::string& s) { return s; }},
  };
  TTally tally;
  for (size_t i = 0; i < std::size(cases); ++i) {
    SCOPED_TRACE(cases[i].charset);
    const auto schema = GenerateSchema(1000 + static_cast<uint32_t>(i), FeaturesNotPending());
    TRoundTripCase c = GeneratedCase(schema, cases[i].charset);
    c.charset = cases[i].charset;
    c.seedScripts.front().second += cases[i].encode(kNationalTable);
    e2e::TScratch scratch(std::string("roundtrip-") + cases[i].charset);
    const auto result = RunRoundTrip(c, scratch.Dir());
    if (const auto failures = PropertyFailures(result); !failures.empty()) ADD_FAILURE() << failures;
    // Equal documents could still both have lost the letters; the text must be there as written.
    for (const char* text : {"{comments Клиенты магазина}", "{default 'Ёжик'}"})
      EXPECT_NE(result.documentB.find(cases[i].encode(text)), std::string::npos) << text;
    Add(tally, result, schema.ObjectCount() + 5);
  }
  PrintSummary("character sets", tally);
}

TEST(RoundTripProperty, GeneratedSchemasComeBackUnchangedAndSettle) {
  struct TOutcome {
    std::string failures;
    TRoundTripResult result;
    int objects = 0;
  };
  std::vector<TOutcome> outcomes(kGeneratedSchemas);
  std::atomic<int> next{0};
  auto worker = [&] {
    for (int i; (i = next++) < kGeneratedSchemas;) {
      const uint32_t seed = kFirstSeed + static_cast<uint32_t>(i);
      const auto schema = GenerateSchema(seed, FeaturesNotPending());
      e2e::TScratch scratch("roundtrip-" + std::to_string(seed));
      try {
        outcomes[i].result = RunRoundTrip(GeneratedCase(schema, "seed " + std::to_string(seed)), scratch.Dir());
        outcomes[i].failures = PropertyFailures(outcomes[i].result);
      } catch (const std::exception& e) {
        outcomes[i].failures = e.what();
      }
      outcomes[i].objects = schema.ObjectCount();
    }
  };
  std::thread helper(worker);
  worker();
  helper.join();

  TTally tally;
  for (int i = 0; i < kGeneratedSchemas; ++i) {
    if (!outcomes[i].failures.empty())
      ADD_FAILURE() << "seed " << kFirstSeed + i << " (its scripts: roundtrip-schema " << kFirstSeed + i
                    << " DIR)\n" << outcomes[i].failures;
    Add(tally, outcomes[i].result, outcomes[i].objects);
  }
  PrintSummary("generated", tally);
}

}  // namespace
}  // namespace skelvane::roundtrip
