// Privileges, synonyms and database links: only the difference of a grant is
// revoked and granted, existing synonyms are kept, and a link is re-created
// only when the document can give it a password.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "update/compare2_support.h"

namespace skelvane::update_test {
namespace {

using Strings = std::vector<std::string>;

const char kUsers[] =
    "CREATE USER BOB IDENTIFIED BY bob;\n"
    "GRANT CREATE SESSION TO BOB;\n"
    "CREATE USER CAROL IDENTIFIED BY carol;\n"
    "GRANT CREATE SESSION TO CAROL;\n";

const char kTables[] =
    "CREATE TABLE T1 (ID NUMBER);\n"
    "CREATE TABLE T2 (ID NUMBER);\n"
    "CREATE TABLE T3 (ID NUMBER);\n";

std::string Grant(const std::string& object, const std::string& privileges, const std::string& grantee) {
  return Node('p', {{"object", object}, {"priv", privileges}, {"grantee", grantee}});
}

std::string Synonym(const std::string& object, const std::string& name, const std::string& grantee) {
  return Node('s', {{"object", object}, {"name", name}, {"grantee", grantee}});
}

std::string Link(const std::string& name, const std::string& user, const std::string& password,
                 const std::string& host) {
  return Node('d', {{"db_link", name}, {"username", user}, {"password", password}, {"host", host}});
}

class GrantSteps : public TracedUpdateTest {
 protected:
  GrantSteps() {
    SeedAsSystem(kUsers);
    Seed(kTables);
  }
  // The grants on OWNER's tables: table, grantee, grantor and the seven flags
  // (G: with the grant option; A: on all columns).
  Strings Grants() const {
    return Query(
        "select table_name, grantee, grantor, select_priv || insert_priv || delete_priv || "
        "update_priv || references_priv || alter_priv || index_priv from table_privileges "
        "where owner = USER order by table_name, grantee, grantor");
  }
};

TEST_F(GrantSteps, OnlyTheMissingAndSurplusKeywordsAreGrantedAndRevoked) {
  Seed("GRANT SELECT, INSERT, UPDATE ON T1 TO BOB;\n"
       "GRANT SELECT ON T2 TO BOB WITH GRANT OPTION;\n"
       "GRANT SELECT ON T3 TO CAROL;\n");
  e2e::RunScript(Dir(), "XE", "BOB/bob", "GRANT SELECT ON OWNER.T2 TO CAROL;\n");

  const TTracedRun run = Run(Section(
      "privileges", Grant("T1", "SELECT,DELETE", "BOB") +
                        // Adds to a grant made with the grant option: the option and
                        // the grant passed on to CAROL survive.
                        Grant("T2", "SELECT,INSERT", "BOB") +
                        Grant("T2", "SELECT", "CAROL") +
                        // An empty text takes nothing away.
                        Grant("T3", "", "CAROL") +
                        Grant("T3", "", "BOB") +
                        Grant("T3", "SELECT,REFERENCES", "BOB") +
                        // No such grantee: refused, and the run goes on.
                        Grant("T1", "SELECT", "NOBODY")));

  EXPECT_EQ(run.statements, (Strings{
                                "REVOKE INSERT,UPDATE ON T1 FROM BOB",
                                "GRANT DELETE ON T1 TO BOB",
                                "GRANT INSERT ON T2 TO BOB",
                                "GRANT SELECT,REFERENCES ON T3 TO BOB",
                                "GRANT SELECT ON T1 TO NOBODY -> ORA-01917",
                            }));
  EXPECT_EQ(MaskRejections(run.common),
            CommonLog({.privileges = "Analize object \"T1\"\n"
                                     "\trevoke...\n"
                                     "\tgrant DELETE on T1 to BOB\n"
                                     "Check \"T1+BOB\" p:SELECT,DELETE=SELECT,INSERT,UPDATE\n"
                                     "Analize object \"T2\"\n"
                                     "\tgrant INSERT on T2 to BOB\n"
                                     "Check \"T2+BOB\" p:SELECT,INSERT=SELECT\n"
                                     "Analize object \"T2\"\n"
                                     "Analize object \"T3\"\n"
                                     "Analize object \"T3\"\n"
                                     "Analize object \"T3\"\n"
                                     "\tAdd \"T3+BOB\"\n"
                                     "Analize object \"T1\"\n"
                                     "<rejected ORA-01917>\n"}));
  EXPECT_EQ(run.update, UpdateLog({"\trevoke...", "\tgrant DELETE on T1 to BOB",
                                   "Check \"T1+BOB\" p:SELECT,DELETE=SELECT,INSERT,UPDATE",
                                   "\tgrant INSERT on T2 to BOB", "Check \"T2+BOB\" p:SELECT,INSERT=SELECT",
                                   "\tAdd \"T3+BOB\""}));
  EXPECT_EQ(Grants(), (Strings{
                          "T1|BOB|OWNER|YNYNNNN",
                          "T2|BOB|OWNER|GANNNNN",
                          "T2|CAROL|BOB|YNNNNNN",
                          "T3|BOB|OWNER|YNNNANN",
                          "T3|CAROL|OWNER|YNNNNNN",
                      }));
}

TEST_F(GrantSteps, AKeywordListInAnotherOrderOrCaseChangesNothingButIsReported) {
  Seed("GRANT SELECT, INSERT ON T1 TO BOB;\n");
  const TTracedRun run = Run(Section("privileges", Grant("T1", "insert,SELECT", "BOB")));
  EXPECT_EQ(run.statements, Strings{});
  EXPECT_EQ(run.update, UpdateLog({"Check \"T1+BOB\" p:insert,SELECT=SELECT,INSERT"}));
}

TEST_F(GrantSteps, MissingSynonymsAreCreatedPrivateOrPublicAndExistingOnesKept) {
  // A public synonym is not taken for the private one of the same name.
  Seed("CREATE SYNONYM SY1 FOR T1;\n"
       "CREATE PUBLIC SYNONYM PSY1 FOR T1;\n");
  const TTracedRun run = Run(Section("synonyms", Synonym("T1", "SY1", "") +
                                                     Synonym("T1", "SY1", "PUBLIC") +
                                                     Synonym("T1", "PSY1", "PUBLIC") +
                                                     Synonym("T2", "SY2", "") +
                                                     Synonym("T2", "PSY2", "PUBLIC")));
  EXPECT_EQ(run.statements, (Strings{"CREATE PUBLIC SYNONYM SY1 FOR T1", "CREATE  SYNONYM SY2 FOR T2",
                                     "CREATE PUBLIC SYNONYM PSY2 FOR T2"}));
  EXPECT_EQ(run.update, UpdateLog({"\tAdd synonym SY1", "\tAdd synonym SY2", "\tAdd synonym PSY2"}));
  const std::string synonyms = ExportedSections(Export(), {"synonyms"});
  EXPECT_NE(synonyms.find("{name SY2}"), std::string::npos) << synonyms;
  EXPECT_NE(synonyms.find("{name PSY2}"), std::string::npos) << synonyms;
}

TEST_F(GrantSteps, ALinkIsReplacedOnlyWhenTheDocumentHoldsItsPassword) {
  Seed("CREATE DATABASE LINK L1 CONNECT TO RU IDENTIFIED BY \"rp\" USING 'host1';\n"
       "CREATE DATABASE LINK L2 CONNECT TO RU IDENTIFIED BY \"rp\" USING 'host2';\n"
       "CREATE DATABASE LINK L4 CONNECT TO RU IDENTIFIED BY \"rp\" USING 'host4';\n");
  const TTracedRun run = Run(Section("db_links", Link("L1", "RU", "", "host1") +
                                                     Link("L2", "RU", "", "elsewhere") +
                                                     Link("L3", "RU", "", "host3") +
                                                     Link("L4", "RU2", "s3cret", "host4b")));
  EXPECT_EQ(run.statements,
            (Strings{
                "create database link \"L3\" connect to RU identified by \"<pwd>\" using 'host3'",
                "DROP DATABASE LINK \"L4\"",
                "create database link \"L4\" connect to RU2 identified by \"s3cret\" using 'host4b'",
            }));
  EXPECT_EQ(MaskRejections(run.common),
            CommonLog({.dbLinks = "\tAnalize object \"L1\"\n"
                                  "\tAnalize object \"L2\"\n"
                                  "\t\tdb link L2 differs (host elsewhere=host2), left as it is: "
                                  "the document has no password\n"
                                  "\tAnalize object \"L3\"\n"
                                  "\t\tcreate db link L3\n"
                                  "\tAnalize object \"L4\"\n"
                                  "\t\tdrop db link L4\n"
                                  "\t\tcreate db link L4\n"}));
  EXPECT_EQ(run.update,
            UpdateLog({"\t\tcreate db link L3", "\t\tdrop db link L4", "\t\tcreate db link L4"}));
  EXPECT_EQ(run.common.find("s3cret"), std::string::npos);
  EXPECT_EQ(Query("select db_link, username, host from user_db_links order by 1"),
            (Strings{"L1|RU|host1", "L2|RU|host2", "L3|RU|host3", "L4|RU2|host4b"}));
}

TEST_F(GrantSteps, ExportedGrantsSynonymsAndLinksUpdateTheirOwnSchemaWithoutAStatement) {
  Seed("GRANT SELECT, INSERT, DELETE, UPDATE, REFERENCES, ALTER, INDEX ON T1 TO BOB;\n"
       "GRANT SELECT ON T2 TO BOB WITH GRANT OPTION;\n"
       "GRANT UPDATE ON T2 TO CAROL;\n"
       "CREATE SYNONYM SY1 FOR T1;\n"
       "CREATE PUBLIC SYNONYM PSY1 FOR T2;\n"
       "CREATE DATABASE LINK L1 CONNECT TO RU IDENTIFIED BY \"rp\" USING 'host1';\n");
  const TTracedRun run = Run(ExportedSections(Export(), {"synonyms", "privileges", "db_links"}));
  EXPECT_EQ(run.statements, Strings{});
  EXPECT_EQ(run.update, "");
  EXPECT_EQ(run.exitCode, 0);
}

}  // namespace
}  // namespace skelvane::update_test
