// The Oracle home rules, run with the Windows names and registry layout over
// temporary folders, and with the Linux names.
#include "oracle/client_rules.h"

#include <gtest/gtest.h>

#include "common/platform.h"
#include "support/temp_folder.h"

namespace skelvane::oracle {
namespace {

using platform::TMemoryRegistry;
using skelvane::testing::TTempFolder;

constexpr const char* kSearch = "SKELVANE_TEST_SEARCH";

TClientRules WindowsRulesHere() {
  TClientRules rules = TClientRules::Windows('/', ';');
  rules.searchVariable = kSearch;
  return rules;
}

class ClientRulesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    platform::UnsetEnv(kSearch);
    platform::UnsetEnv("ORACLE_HOME");
  }
  void AddNumberedHome(int number, const std::string& name, const std::string& home) {
    const std::string key = "SOFTWARE\\ORACLE\\HOME" + std::to_string(number);
    registry.SetString(key, "ORACLE_HOME", home);
    registry.SetString(key, "ORACLE_HOME_NAME", name);
  }
  TTempFolder temp;
  TMemoryRegistry registry;
  TClientRules rules = WindowsRulesHere();
};

TEST(CandidateVersionTest, VersionsReadFromLibraryNames) {
  const TClientRules windows = TClientRules::Windows();
  const TClientRules linux = TClientRules::Linux();
  const struct {
    const TClientRules& rules;
    const char* name;
    double version;  // 0: no candidate
  } cases[] = {
      // Windows: the digits after "ora" or "oraNT", read as "0." + digits.
      {windows, "ora73.dll", 0.73},
      {windows, "ora805.dll", 0.805},
      {windows, "ORANT8.DLL", 0.8},
      {windows, "oraNT73.dll", 0.73},
      {windows, "oracore.dll", 0},  // not a number
      {windows, "ora8i.dll", 0},
      {windows, "ora.dll", 0},
      {windows, "ora0.dll", 0},  // not positive
      {windows, "oci.dll", 0},
      // Linux: the suffix after ".so." as a number.
      {linux, "libclntsh.so.19.1", 19.1},
      {linux, "libclntsh.so.11.1", 11.1},
      {linux, "libclntsh.so.23", 23},
      {linux, "libclntsh.so.19.1.0", 0},
      {linux, "libclntsh.so.x", 0},
      {linux, "libclntsh.so", 0},
      {linux, "libclntshcore.so.19.1", 0},
  };
  for (const auto& c : cases) EXPECT_DOUBLE_EQ(CandidateVersion(c.rules, c.name), c.version) << c.name;
}

TEST_F(ClientRulesTest, HomeListIsSortedDeduplicatedAndNeedsABinFolder) {
  registry.SetString("SOFTWARE\\ORACLE\\ALL_HOMES", "HOME_COUNTER", "3");
  AddNumberedHome(0, "zeta", temp.MakeFolder("z/home"));
  temp.MakeFolder("z/home/bin");
  AddNumberedHome(1, "NoBin", temp.MakeFolder("nobin"));  // no bin folder: skipped
  AddNumberedHome(2, "Alpha", temp.MakeFolder("a"));
  temp.MakeFolder("a/bin");
  AddNumberedHome(4, "ZETA", temp.MakeFolder("dup"));  // same name, other case: dropped
  temp.MakeFolder("dup/bin");
  registry.SetString("SOFTWARE\\ORACLE\\KEY_OraClient", "ORACLE_HOME", temp.MakeFolder("k"));
  temp.MakeFolder("k/bin");
  registry.SetString("SOFTWARE\\ORACLE\\key_lower", "ORACLE_HOME", temp.MakeFolder("k2"));
  temp.MakeFolder("k2/bin");
  registry.SetString("SOFTWARE\\ORACLE\\OTHER", "ORACLE_HOME", temp.Path());

  const auto homes = OracleHomeList(registry, rules);
  ASSERT_EQ(homes.size(), 4u);
  EXPECT_EQ(homes[0].name, "Alpha");
  EXPECT_EQ(homes[0].number, 2);
  EXPECT_EQ(homes[1].name, "lower");
  EXPECT_EQ(homes[1].number, -1);
  EXPECT_EQ(homes[2].name, "OraClient");
  EXPECT_EQ(homes[3].name, "zeta");
  EXPECT_EQ(homes[3].number, 0);
  EXPECT_EQ(RegistryKeyOf(homes[1]), "SOFTWARE\\ORACLE\\KEY_lower");
  EXPECT_EQ(RegistryKeyOf(homes[0]), "SOFTWARE\\ORACLE\\HOME2");
}

TEST_F(ClientRulesTest, HomeCounterStopsAfterThatManyCountedHomes) {
  registry.SetString("SOFTWARE\\ORACLE\\ALL_HOMES", "HOME_COUNTER", "1");
  AddNumberedHome(0, "gone", temp / "missing");
  AddNumberedHome(1, "first", temp.MakeFolder("h1"));
  temp.MakeFolder("h1/bin");
  AddNumberedHome(2, "second", temp.MakeFolder("h2"));
  temp.MakeFolder("h2/bin");
  auto homes = OracleHomeList(registry, rules);
  ASSERT_EQ(homes.size(), 1u);
  EXPECT_EQ(homes[0].name, "first");

  registry.SetString("SOFTWARE\\ORACLE\\ALL_HOMES", "HOME_COUNTER", "two");  // not a number
  EXPECT_TRUE(OracleHomeList(registry, rules).empty());
}

TEST_F(ClientRulesTest, HomeKeyPrefersTheWantedNameThenTheEarliestBinOnThePath) {
  registry.SetString("SOFTWARE\\ORACLE\\ALL_HOMES", "HOME_COUNTER", "3");
  const std::string a = temp.MakeFolder("a"), b = temp.MakeFolder("b"), c = temp.MakeFolder("c");
  for (const char* bin : {"a/bin", "b/bin", "c/bin"}) temp.MakeFolder(bin);
  AddNumberedHome(0, "A", a);
  AddNumberedHome(1, "B", b);
  AddNumberedHome(2, "C", c);
  const auto homes = OracleHomeList(registry, rules);

  // Both A's and B's bin folders are on the path; B's comes first.
  platform::SetEnv(kSearch, "x;" + b + "/bin;" + a + "/bin");
  std::string remembered;
  EXPECT_EQ(ChooseHomeKey(registry, rules, homes, "", remembered), "SOFTWARE\\ORACLE\\HOME1");
  EXPECT_EQ(remembered, "B");

  // The remembered name now wins over the path.
  platform::SetEnv(kSearch, "x;" + a + "/bin");
  EXPECT_EQ(ChooseHomeKey(registry, rules, homes, "", remembered), "SOFTWARE\\ORACLE\\HOME1");
  // A wanted name wins over both, in any case, and does not replace the remembered one.
  EXPECT_EQ(ChooseHomeKey(registry, rules, homes, "c", remembered), "SOFTWARE\\ORACLE\\HOME2");
  EXPECT_EQ(remembered, "B");

  // Nothing on the path and nothing wanted: the last home.
  platform::SetEnv(kSearch, "nothing");
  std::string fresh;
  EXPECT_EQ(ChooseHomeKey(registry, rules, homes, "", fresh), "SOFTWARE\\ORACLE\\HOME2");
  EXPECT_EQ(fresh, "C");

  std::string none;
  EXPECT_EQ(ChooseHomeKey(registry, rules, {}, "", none), "SOFTWARE\\ORACLE");
}

TEST_F(ClientRulesTest, HomeDirectoryComesFromTheKeyThenOracleHomeThenThePath) {
  registry.SetString("SOFTWARE\\ORACLE\\HOME0", "ORACLE_HOME", "C:\\ora");
  THomeDirectory home = FindHomeDirectory(registry, rules, "SOFTWARE\\ORACLE\\HOME0");
  EXPECT_EQ(home.directory, "C:\\ora");
  EXPECT_TRUE(home.bin);
  EXPECT_TRUE(home.fromKey);

  // The variable: the bin flag says whether the bin folder exists.
  const std::string env = temp.MakeFolder("env");
  platform::SetEnv("ORACLE_HOME", env);
  home = FindHomeDirectory(registry, rules, "SOFTWARE\\ORACLE");
  EXPECT_EQ(home.directory, env);
  EXPECT_FALSE(home.bin);
  EXPECT_FALSE(home.fromKey);
  temp.MakeFolder("env/bin");
  EXPECT_TRUE(FindHomeDirectory(registry, rules, "").bin);

  // "." does not count; the library on the search path decides.
  platform::SetEnv("ORACLE_HOME", ".");
  temp.WriteFile("p1/other.dll");
  temp.WriteFile("p2/home/BIN/OCI.DLL");
  temp.WriteFile("p3/oci.dll");
  platform::SetEnv(kSearch, ";" + (temp / "p1") + ";" + (temp / "p2/home/BIN/") + ";" + (temp / "p3"));
  home = FindHomeDirectory(registry, rules, "");
  EXPECT_EQ(home.directory, temp / "p2/home");
  EXPECT_TRUE(home.bin);

  platform::SetEnv(kSearch, temp / "p3");
  home = FindHomeDirectory(registry, rules, "");
  EXPECT_EQ(home.directory, temp / "p3");
  EXPECT_FALSE(home.bin);

  platform::SetEnv(kSearch, temp / "p1");
  EXPECT_EQ(FindHomeDirectory(registry, rules, "").directory, "");
}

TEST_F(ClientRulesTest, CandidatesPutTheUnversionedLibraryFirstAndPickItAtOnce) {
  for (const char* name : {"ora73.dll", "ora805.dll", "oracle.dll", "ora81x.dll", "OCI.DLL"}) {
    temp.WriteFile(std::string("home/bin/") + name);
  }
  const std::string folder = LibraryFolder(rules, {temp / "home", true, false});
  EXPECT_EQ(folder, temp / "home/bin/");
  std::vector<std::string> trace;
  auto candidates = CandidateLibraries(rules, folder, trace);
  EXPECT_EQ(candidates, (std::vector<std::string>{"OCI.DLL", "ora73.dll", "ora805.dll"}));
  EXPECT_EQ(trace, (std::vector<std::string>{"Found: OCI.DLL", "Found: ora73.dll", "Found: ora805.dll"}));
  EXPECT_EQ(PickCandidate(rules, candidates), "OCI.DLL");

  candidates.erase(candidates.begin());
  EXPECT_EQ(PickCandidate(rules, candidates), "ora805.dll");
  EXPECT_EQ(PickCandidate(rules, {}), "");
}

TEST_F(ClientRulesTest, LinuxCandidatesPreferTheUnversionedNameThenTheGreatestVersion) {
  const TClientRules linux = TClientRules::Linux();
  temp.WriteFile("ic/libclntsh.so.11.1");
  temp.WriteFile("ic/libclntsh.so.19.1");
  temp.WriteFile("ic/libclntsh.so.12.1");
  std::vector<std::string> trace;
  const std::string folder = LibraryFolder(linux, {temp / "ic", false, false});
  EXPECT_EQ(PickCandidate(linux, CandidateLibraries(linux, folder, trace)), "libclntsh.so.19.1");
  temp.WriteFile("ic/libclntsh.so");
  EXPECT_EQ(PickCandidate(linux, CandidateLibraries(linux, folder, trace)), "libclntsh.so");
}

}  // namespace
}  // namespace skelvane::oracle
