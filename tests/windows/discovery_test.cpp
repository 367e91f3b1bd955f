// Finding the Oracle client on Windows: homes in the registry (put there with
// reg.exe), oci.dll and the ora*.dll candidates in a home's bin folder, the
// Path edit before loading, and a logon through the client found.
#include <gtest/gtest.h>

#include <iostream>

#include "common/platform.h"
#include "common/text.h"
#include "oracle/client.h"
#include "oracle/session.h"
#include "support/emulator_database.h"
#include "support/emulator_tool.h"
#include "support/temp_folder.h"
#include "windows/wine_registry.h"

namespace skelvane::oracle {
namespace {

using skelvane::testing::EmulatorLibrary;
using skelvane::testing::AddRegistryValues;
using skelvane::testing::RemoveRegistryKey;
using skelvane::testing::TEmulatorDatabase;
using skelvane::testing::TTempFolder;

constexpr const char* kOracleKey = "SOFTWARE\\ORACLE";

std::string BuiltDll(const std::string& folder, const std::string& name) {
  return skelvane::testing::BinaryDir() + "\\" + folder + "\\" + name + ".dll";
}

class DiscoveryTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetClientForTests();
    RemoveRegistryKey(kOracleKey);
    savedPath = platform::GetEnv("Path");
    platform::UnsetEnv("ORACLE_HOME");
    platform::ProcessParameters().clear();
  }
  void TearDown() override {
    ResetClientForTests();
    RemoveRegistryKey(kOracleKey);
    platform::SetEnv("Path", savedPath);
    platform::ProcessParameters().clear();
  }

  // A home folder with a bin folder holding the emulator under each name.
  std::string MakeHome(const std::string& folder, std::initializer_list<const char*> libraries) {
    temp.MakeFolder(folder + "\\bin");
    for (const char* name : libraries) temp.CopyFile(EmulatorLibrary(), folder + "\\bin\\" + name);
    return temp / folder;
  }

  // The reason of the initialization error, or "" when the client loaded.
  static std::string TryInitialize() {
    try {
      InitializeClient();
    } catch (const EInitializationError& e) {
      return e.Reason();
    }
    return {};
  }

  TTempFolder temp{"homes"};
  std::string savedPath;
};

TEST_F(DiscoveryTest, ACountedHomeGivesItsOciDllWhichIsLoadedAndLogsOn) {
  TEmulatorDatabase database;
  database.RunAsSystem("CREATE USER scott IDENTIFIED BY tiger;\nGRANT CONNECT TO scott;\n");
  platform::SetEnv("ORAEMU_DATA", database.Folder());
  const std::string home = MakeHome("OraClient11g", {"oci.dll", "ora805.dll"});
  AddRegistryValues({{std::string(kOracleKey) + "\\ALL_HOMES", "HOME_COUNTER", "1"},
                     {std::string(kOracleKey) + "\\HOME0", "ORACLE_HOME", home},
                     {std::string(kOracleKey) + "\\HOME0", "ORACLE_HOME_NAME", "OraClient11g_home1"}});

  TOracleSession session;
  session.LogonUsername = "scott";
  session.LogonPassword = "tiger";
  session.LogonDatabase = database.Id();
  ASSERT_NO_THROW(session.LogOn()) << ClientTrace();
  EXPECT_TRUE(session.Connected());
  const std::string trace = ClientTrace();
  std::cout << "Discovery trace:\n" << WithLfLineEnds(trace) << "\n";
  EXPECT_EQ(trace, "OracleHomeKey: SOFTWARE\\ORACLE\\HOME0\r\nOracleHomeDir: " + home +
                       "\r\nFound: oci.dll\r\nFound: ora805.dll\r\nUsing: " + home + "\\bin\\oci.dll");
  EXPECT_EQ(OracleHomeKey(), "SOFTWARE\\ORACLE\\HOME0");
  // The library's folder leads the process's Path, once.
  const std::string path = platform::GetEnv("Path");
  EXPECT_EQ(path, home + "\\bin;" + savedPath);
  session.LogOff();
}

TEST_F(DiscoveryTest, HomesAreChosenByNameThenByPathOrderThenLast) {
  const std::string a = MakeHome("a", {"oci.dll"});
  const std::string b = MakeHome("b", {"oci.dll"});
  const std::string c = MakeHome("c", {"oci.dll"});
  const std::string root = kOracleKey;
  AddRegistryValues({{root + "\\ALL_HOMES", "HOME_COUNTER", "2"},
                     {root + "\\HOME0", "ORACLE_HOME", a},
                     {root + "\\HOME0", "ORACLE_HOME_NAME", "HomeA"},
                     // Numbers need not be consecutive.
                     {root + "\\HOME3", "ORACLE_HOME", b},
                     {root + "\\HOME3", "ORACLE_HOME_NAME", "HomeB"},
                     {root + "\\KEY_OraDb19Home1", "ORACLE_HOME", c},
                     {root + "\\KEY_NoBin", "ORACLE_HOME", temp / "nowhere"}});
  struct TCase {
    const char* name;
    std::string oracleHome;  // the ORACLEHOME= parameter
    std::string path;
    std::string key;
    std::string home;
  } cases[] = {
      {"by name, any case", "ORADB19HOME1", savedPath, "SOFTWARE\\ORACLE\\KEY_OraDb19Home1", c},
      {"bin earliest on Path", "", "C:\\windows;" + b + "\\bin;" + a + "\\bin", "SOFTWARE\\ORACLE\\HOME3", b},
      {"bin case ignored on Path", "", AnsiUpperCase(a) + "\\BIN;" + b + "\\bin", "SOFTWARE\\ORACLE\\HOME0", a},
      // Sorted by name: HomeA, HomeB, OraDb19Home1; none on Path, the last is taken.
      {"none on Path", "", savedPath, "SOFTWARE\\ORACLE\\KEY_OraDb19Home1", c},
      {"unknown name", "NoSuchHome", savedPath, "SOFTWARE\\ORACLE\\KEY_OraDb19Home1", c},
  };
  for (const auto& t : cases) {
    ResetClientForTests();
    platform::SetEnv("Path", t.path);
    platform::ProcessParameters().clear();
    if (!t.oracleHome.empty()) platform::ProcessParameters() = {"ORACLEHOME=" + t.oracleHome};
    EXPECT_EQ(TryInitialize(), "") << t.name << "\n" << ClientTrace();
    EXPECT_EQ(OracleHomeKey(), t.key) << t.name;
    EXPECT_EQ(ClientLibraryPath(), t.home + "\\bin\\oci.dll") << t.name;
  }
}

TEST_F(DiscoveryTest, WithoutOciDllTheGreatestOraDllVersionIsUsed) {
  const std::string home = MakeHome("ora8", {"ora73.dll", "ora805.dll", "oraNT9.dll", "oraclient.dll",
                                            "ora.dll", "orant.dll"});
  AddRegistryValues({{std::string(kOracleKey) + "\\KEY_Ora8", "ORACLE_HOME", home}});
  ASSERT_EQ(TryInitialize(), "") << ClientTrace();
  // Version "0." + digits: oraNT9 is 0.9, above 0.805 and 0.73; names
  // without digits are no candidates.
  EXPECT_EQ(ClientTrace(), "OracleHomeKey: SOFTWARE\\ORACLE\\KEY_Ora8\r\nOracleHomeDir: " + home +
                               "\r\nFound: ora73.dll\r\nFound: ora805.dll\r\nFound: oraNT9.dll\r\nUsing: " +
                               home + "\\bin\\oraNT9.dll");
}

TEST_F(DiscoveryTest, WithoutHomesTheVariableOrTheOciDllOnPathNamesTheHome) {
  const std::string home = MakeHome("client", {"oci.dll"});
  const std::string instant = temp.MakeFolder("instantclient_11_2");
  temp.CopyFile(EmulatorLibrary(), "instantclient_11_2\\OCI.DLL");

  platform::SetEnv("ORACLE_HOME", home);
  ASSERT_EQ(TryInitialize(), "") << ClientTrace();
  EXPECT_EQ(ClientTrace(), "OracleHomeKey: SOFTWARE\\ORACLE\r\nOracleHomeDir: " + home +
                               "\r\nFound: oci.dll\r\nUsing: " + home + "\\bin\\oci.dll");

  ResetClientForTests();
  platform::UnsetEnv("ORACLE_HOME");
  platform::SetEnv("Path", ";" + (temp / "missing") + ";" + instant + ";" + savedPath);
  ASSERT_EQ(TryInitialize(), "") << ClientTrace();
  // A folder not called bin is the home itself.
  EXPECT_EQ(ClientLibraryPath(), instant + "\\OCI.DLL");

  ResetClientForTests();
  platform::SetEnv("Path", savedPath + ";" + home + "\\bin");
  ASSERT_EQ(TryInitialize(), "") << ClientTrace();
  EXPECT_EQ(OracleHomeDir(), home);  // the bin folder's parent
}

TEST_F(DiscoveryTest, NothingToFindIsReportedWithTheTrace) {
  platform::SetEnv("Path", savedPath);
  struct TCase {
    const char* name;
    std::string homeFolder;  // registered as a KEY_ home; "" for none
    std::string reason;
  } cases[] = {
      {"no home at all", "", "SQL*Net not properly installed"},
      {"a home without a library", "empty", "Could not locate OCI dll"},
  };
  for (const auto& c : cases) {
    ResetClientForTests();
    RemoveRegistryKey(kOracleKey);
    if (!c.homeFolder.empty()) {
      AddRegistryValues({{std::string(kOracleKey) + "\\KEY_" + c.homeFolder, "ORACLE_HOME", MakeHome(c.homeFolder, {})}});
    }
    try {
      InitializeClient();
      ADD_FAILURE() << c.name << ": loaded " << ClientLibraryPath();
    } catch (const EInitializationError& e) {
      EXPECT_EQ(e.Reason(), c.reason) << c.name;
      EXPECT_EQ(std::string(e.what()).rfind("Initialization error\r\n" + c.reason + "\r\n\r\nOracleHomeKey: ", 0), 0u)
          << e.what();
    }
    EXPECT_FALSE(ClientLoaded());
  }
}

TEST_F(DiscoveryTest, TheLibraryFolderOnPathLetsTheClientFindItsCompanions) {
  // A library that imports a companion DLL from its own folder loads only
  // when that folder is searched.
  const std::string before = platform::CurrentDirectory();
  const std::string home = MakeHome("companion", {});
  temp.CopyFile(BuiltDll("bin", "skelvane_needs_companion"), "companion\\bin\\oci.dll");
  AddRegistryValues({{std::string(kOracleKey) + "\\KEY_Companion", "ORACLE_HOME", home}});

  // Without its companion the load fails, and the trace says how.
  const std::string lib = home + "\\bin\\oci.dll";
  EXPECT_EQ(TryInitialize(), "Could not load \"" + lib + "\"");
  EXPECT_NE(ClientTrace().find("\r\nLoadLibrary(" + lib + ") returned 0"), std::string::npos) << ClientTrace();
  // The retry from the library's folder put the current directory back.
  EXPECT_EQ(platform::CurrentDirectory(), before);

  // With it, the load succeeds; the stand-in has no OCI calls, so it is loaded
  // and then refused as unusable.
  temp.CopyFile(BuiltDll("companion", "skelvane_companion"), "companion\\bin\\skelvane_companion.dll");
  ResetClientForTests();
  EXPECT_EQ(TryInitialize(), "Could not initialize \"" + lib + "\"");
  EXPECT_EQ(ClientTrace().find("LoadLibrary("), std::string::npos) << ClientTrace();
}

}  // namespace
}  // namespace skelvane::oracle
