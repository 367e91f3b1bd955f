// Finding, loading and checking the client library, with stand-in clients
// that export chosen entry-point groups.
#include "oracle/client.h"

#include <gtest/gtest.h>

#include "common/platform.h"
#include "support/temp_folder.h"

namespace skelvane::oracle {
namespace {

using platform::TMemoryRegistry;
using skelvane::testing::TTempFolder;

std::string BuiltLibrary(const std::string& name) {
  return std::string(SKELVANE_TEST_LIBRARY_DIR) + "/lib" + name + ".so";
}

// The calls a stand-in client has seen, from the already loaded copy.
std::string CallLog(const std::string& path) {
  auto library = platform::TDynamicLibrary::Open(path);
  auto read = reinterpret_cast<const char* (*)()>(library.Symbol("fake_call_log"));
  return read ? read() : "(no log)";
}

// Runs InitializeClient and returns the message of the initialization error.
std::string InitializationFailure() {
  try {
    InitializeClient();
  } catch (const EInitializationError& e) {
    return e.what();
  }
  return "(no error)";
}

class ClientLoadTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetClientForTests();
    saved_ = platform::CurrentDirectory();
    platform::ChangeDirectory(cwd_.Path());
    platform::UnsetEnv("ORACLE_HOME");
    platform::SetEnv("LD_LIBRARY_PATH", cwd_.Path());
    platform::ProcessParameters().clear();
  }
  void TearDown() override {
    ResetClientForTests();
    platform::ChangeDirectory(saved_);
  }
  TTempFolder cwd_;
  TTempFolder temp;
  std::string saved_;
};

TEST_F(ClientLoadTest, NoHomeAnywhereIsReportedAsSqlNetNotInstalledWithTheWayOut) {
  EXPECT_EQ(InitializationFailure(),
            "Initialization error\r\nSQL*Net not properly installed\r\n\r\n"
            "OracleHomeKey: SOFTWARE\\ORACLE\r\nOracleHomeDir: \r\n\r\n" +
                TClientRules::Linux().noClientHint);
  EXPECT_FALSE(ClientLoaded());
}

TEST_F(ClientLoadTest, AHomeWithoutLibraryCannotLocateIt) {
  const std::string home = temp.MakeFolder("home/lib");
  platform::SetEnv("ORACLE_HOME", temp / "home");
  temp.WriteFile("home/lib/libclntsh.so.x");  // not a version: no candidate
  EXPECT_EQ(InitializationFailure(),
            "Initialization error\r\nCould not locate OCI dll\r\n\r\n"
            "OracleHomeKey: SOFTWARE\\ORACLE\r\nOracleHomeDir: " + (temp / "home"));
}

TEST_F(ClientLoadTest, AFileThatDoesNotLoadNamesItsPathTheHandleAndTheLoadersReason) {
  const std::string file = temp.WriteFile("ic/libclntsh.so.19.1", "not a library");
  platform::SetEnv("ORACLE_HOME", temp / "ic");
  const std::string message = InitializationFailure();
  const std::string expected =
      "Initialization error\r\nCould not load \"" + file + "\"\r\n\r\n"
      "OracleHomeKey: SOFTWARE\\ORACLE\r\nOracleHomeDir: " + (temp / "ic") +
      "\r\nFound: libclntsh.so.19.1\r\nUsing: " + file + "\r\nLoadLibrary(" + file + ") returned 0\r\n";
  ASSERT_EQ(message.substr(0, expected.size()), expected);
  // One more line: the loader's message, which names the file and the fault.
  const std::string loader = message.substr(expected.size());
  EXPECT_EQ(loader.rfind(file + ": ", 0), 0u) << loader;
  EXPECT_GT(loader.size(), file.size() + 2);
  EXPECT_EQ(loader.find('\n'), std::string::npos) << loader;
  EXPECT_EQ(ClientLibraryPath(), "");  // the automatic choice is forgotten
}

TEST_F(ClientLoadTest, AForcedPathThatIsMissingSaysSoAndGivesNoSearchHint) {
  platform::ProcessParameters() = {"OCIDLL=" + (temp / "gone/libclntsh.so")};
  const std::string message = InitializationFailure();
  EXPECT_NE(message.find("returned 0\r\n" + (temp / "gone/libclntsh.so") +
                         ": cannot open shared object file: No such file or directory"),
            std::string::npos)
      << message;
  // The user pointed at a library already; the hint is for finding one.
  EXPECT_EQ(message.find(TClientRules::Linux().noClientHint), std::string::npos);
}

TEST_F(ClientLoadTest, DiscoveryThroughOracleHomeLoadsTheLibraryInItsLibFolder) {
  const std::string file = temp.CopyFile(BuiltLibrary("skelvane_fake_oci8"), "home/lib/libclntsh.so");
  temp.CopyFile(BuiltLibrary("skelvane_fake_oci8"), "home/lib/libclntsh.so.99.1");
  platform::SetEnv("ORACLE_HOME", temp / "home");
  ASSERT_NO_THROW(InitializeClient());
  EXPECT_EQ(ClientTrace(), "OracleHomeKey: SOFTWARE\\ORACLE\r\nOracleHomeDir: " + (temp / "home") +
                               "\r\nFound: libclntsh.so\r\nFound: libclntsh.so.99.1\r\nUsing: " + file);
  EXPECT_EQ(ClientLibraryPath(), file);
  EXPECT_EQ(OracleHomeDir(), temp / "home");
  EXPECT_TRUE(ClientLoaded());
}

TEST_F(ClientLoadTest, WithoutOracleHomeTheLibrarySearchPathNamesTheHome) {
  // An Instant Client folder holds the library directly.
  const std::string instant = temp.MakeFolder("instantclient_19_8");
  temp.CopyFile(BuiltLibrary("skelvane_fake_oci8"), "instantclient_19_8/libclntsh.so");
  platform::SetEnv("LD_LIBRARY_PATH", "/nonexistent::" + instant);
  ASSERT_NO_THROW(InitializeClient());
  EXPECT_EQ(OracleHomeDir(), instant);
  EXPECT_EQ(ClientLibraryPath(), instant + "/libclntsh.so");
  ResetClientForTests();

  // A client's lib folder names the home above it.
  temp.CopyFile(BuiltLibrary("skelvane_fake_oci8"), "client64/lib/libclntsh.so");
  platform::SetEnv("LD_LIBRARY_PATH", (temp / "client64/lib/") + ":" + instant);
  ASSERT_NO_THROW(InitializeClient());
  EXPECT_EQ(OracleHomeDir(), temp / "client64");
  EXPECT_EQ(ClientLibraryPath(), temp / "client64/lib/libclntsh.so");
}

TEST_F(ClientLoadTest, AnOci8ClientWithout81IsInitializedOnceWithThreadedObjectMode) {
  const std::string path = BuiltLibrary("skelvane_fake_oci8");
  platform::ProcessParameters() = {"--verbose", "ocidll=" + path};
  ASSERT_NO_THROW(InitializeClient());
  EXPECT_EQ(ClientTrace(), "OCIDLL forced to " + path);
  EXPECT_TRUE(ClientUseOCI8());
  EXPECT_TRUE(ClientGroupAvailable(TOciGroup::Oci8Core));
  EXPECT_TRUE(ClientGroupAvailable(TOciGroup::Oci80Extras));
  EXPECT_FALSE(ClientGroupAvailable(TOciGroup::Oci81));
  EXPECT_FALSE(ClientGroupAvailable(TOciGroup::Oci90));
  EXPECT_FALSE(ClientGroupAvailable(TOciGroup::Oracle7Core));
  EXPECT_NE(ClientEntryPoints().OCIServerAttach, nullptr);
  EXPECT_EQ(ClientEntryPoints().OCIEnvCreate, nullptr);
  EXPECT_EQ(CallLog(path), "OCIInitialize(3) ");
  InitializeClient();  // already loaded: nothing happens
  EXPECT_EQ(CallLog(path), "OCIInitialize(3) ");
}

TEST_F(ClientLoadTest, OneMissingMemberMakesTheWholeGroupUnavailable) {
  const std::string path = BuiltLibrary("skelvane_fake_oci8_partial");
  SetForcedClientLibrary(path);
  EXPECT_EQ(InitializationFailure(), "Initialization error\r\nCould not initialize \"" + path +
                                         "\"\r\n\r\nOCIDLL forced to " + path);
  EXPECT_FALSE(ClientLoaded());
  // A forced path survives the failure.
  EXPECT_EQ(InitializationFailure(), "Initialization error\r\nCould not initialize \"" + path +
                                         "\"\r\n\r\nOCIDLL forced to " + path);
}

TEST_F(ClientLoadTest, AnOracle7OnlyClientLoadsAndGetsOpinitButNoOci8) {
  const std::string path = BuiltLibrary("skelvane_fake_oracle7");
  SetForcedClientLibrary(path);
  ASSERT_NO_THROW(InitializeClient());
  EXPECT_FALSE(ClientUseOCI8());
  EXPECT_TRUE(ClientGroupAvailable(TOciGroup::Opinit));
  EXPECT_EQ(CallLog(path), "opinit(0) ");
}

TEST_F(ClientLoadTest, ForcingOracle7LeavesAnOci8OnlyClientUnusable) {
  const std::string path = BuiltLibrary("skelvane_fake_oci8");
  SetForcedClientLibrary(path);
  SetForceOracle7(true);
  EXPECT_NE(InitializationFailure().find("Could not initialize"), std::string::npos);
}

class WindowsClientLoadTest : public ClientLoadTest {
 protected:
  void SetUp() override {
    ClientLoadTest::SetUp();
    rules = TClientRules::Windows('/', ';');
    rules.searchVariable = "SKELVANE_TEST_SEARCH";
    rules.loaderPathVariable = "SKELVANE_TEST_LOADER_PATH";
    platform::SetEnv(rules.loaderPathVariable, "C:/windows;" + (temp / "b/bin") + ";D:/tools");
    SetClientRules(rules);
    SetClientRegistry(&registry);
    registry.SetString("SOFTWARE\\ORACLE\\ALL_HOMES", "HOME_COUNTER", "2");
    for (int i = 0; i < 2; ++i) {
      const std::string name = i == 0 ? "a" : "b";
      registry.SetString("SOFTWARE\\ORACLE\\HOME" + std::to_string(i), "ORACLE_HOME", temp / name);
      registry.SetString("SOFTWARE\\ORACLE\\HOME" + std::to_string(i), "ORACLE_HOME_NAME", "Home" + name);
      temp.MakeFolder(name + "/bin");
    }
  }
  void TearDown() override {
    SetClientRegistry(nullptr);
    ClientLoadTest::TearDown();
  }
  TClientRules rules;
  TMemoryRegistry registry;
};

TEST_F(WindowsClientLoadTest, TheHomeOnThePathIsUsedAndItsFolderLeadsTheLoaderPath) {
  temp.CopyFile(BuiltLibrary("skelvane_fake_oci8"), "b/bin/ora805.dll");
  temp.CopyFile(BuiltLibrary("skelvane_fake_oci8"), "b/bin/ora73.dll");
  temp.WriteFile("a/bin/oci.dll", "garbage");
  platform::SetEnv(rules.searchVariable, "C:/x;" + (temp / "b/bin") + ";" + (temp / "a/bin"));
  ASSERT_NO_THROW(InitializeClient());
  const std::string used = temp / "b/bin/ora805.dll";
  EXPECT_EQ(ClientTrace(), "OracleHomeKey: SOFTWARE\\ORACLE\\HOME1\r\nOracleHomeDir: " + (temp / "b") +
                               "\r\nFound: ora73.dll\r\nFound: ora805.dll\r\nUsing: " + used);
  EXPECT_EQ(OracleHomeKey(), "SOFTWARE\\ORACLE\\HOME1");
  EXPECT_EQ(platform::GetEnv(rules.loaderPathVariable), (temp / "b/bin") + ";C:/windows;D:/tools");
}

TEST_F(WindowsClientLoadTest, TheOracleHomeParameterPicksAHomeByName) {
  temp.CopyFile(BuiltLibrary("skelvane_fake_oci8"), "a/bin/oci.dll");
  platform::SetEnv(rules.searchVariable, temp / "b/bin");
  platform::ProcessParameters() = {"ORACLEHOME=homeA"};
  ASSERT_NO_THROW(InitializeClient());
  EXPECT_EQ(ClientLibraryPath(), temp / "a/bin/oci.dll");
}

TEST_F(WindowsClientLoadTest, AFailedLoadForgetsTheRememberedHome) {
  temp.WriteFile("a/bin/oci.dll", "garbage");
  temp.CopyFile(BuiltLibrary("skelvane_fake_oci8"), "b/bin/oci.dll");
  platform::SetEnv(rules.searchVariable, temp / "a/bin");
  const std::string message = InitializationFailure();
  EXPECT_NE(message.find("Could not load \"" + (temp / "a/bin/oci.dll") + "\""), std::string::npos);
  // The retry ran from the library's folder; the current folder is back.
  EXPECT_EQ(platform::CurrentDirectory(), cwd_.Path());

  // Had home A stayed remembered, it would be taken again.
  platform::SetEnv(rules.searchVariable, temp / "b/bin");
  ASSERT_NO_THROW(InitializeClient());
  EXPECT_EQ(ClientLibraryPath(), temp / "b/bin/oci.dll");
}

TEST(CriticalSectionTest, CountsAndIgnoresAnUnmatchedLeave) {
  TOracleCriticalSection section;
  section.Leave();  // count 0: nothing
  section.Enter();
  section.Enter();  // re-entrant on one thread
  EXPECT_EQ(section.Count(), 2);
  section.Leave();
  section.Leave();
  EXPECT_EQ(section.Count(), 0);
  section.Leave();
  EXPECT_EQ(section.Count(), 0);
}

}  // namespace
}  // namespace skelvane::oracle
