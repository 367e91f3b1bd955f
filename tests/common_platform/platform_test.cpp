#include "common/platform.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "common/platform_registry.h"
#include "support/temp_folder.h"

namespace skelvane::platform {
namespace {

TEST(WildcardMatchTest, StarsQuestionMarksAndCase) {
  EXPECT_TRUE(WildcardMatch("ora*.dll", "ora805.dll", false));
  EXPECT_TRUE(WildcardMatch("ora*.dll", "ora.dll", false));
  EXPECT_FALSE(WildcardMatch("ora*.dll", "ORA805.DLL", false));
  EXPECT_TRUE(WildcardMatch("ora*.dll", "ORA805.DLL", true));
  EXPECT_FALSE(WildcardMatch("ora*.dll", "ora805.dll.bak", true));
  EXPECT_TRUE(WildcardMatch("*a*b*", "xxaxxbxx", false));
  EXPECT_FALSE(WildcardMatch("*a*b", "xxbxxa", false));
  EXPECT_TRUE(WildcardMatch("f?o", "foo", false));
  EXPECT_FALSE(WildcardMatch("f?o", "fo", false));
  EXPECT_TRUE(WildcardMatch("", "", false));
  EXPECT_FALSE(WildcardMatch("", "a", false));
}

class FilesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir = temp_.Path();
  }
  void Touch(const std::string& name) { std::ofstream(dir + "/" + name) << "x"; }
  ::skelvane::testing::TTempFolder temp_;
  std::string dir;
};

TEST_F(FilesTest, ListFilesMatchesPlainFilesOnlyAndSorts) {
  Touch("ora9.dll");
  Touch("ora10.dll");
  Touch("ORA8.DLL");
  Touch("oci.dll");
  std::filesystem::create_directory(dir + "/ora_dir.dll");
  EXPECT_EQ(ListFiles(dir, "ora*.dll", false), (std::vector<std::string>{"ora10.dll", "ora9.dll"}));
  EXPECT_EQ(ListFiles(dir, "ora*.dll", true),
            (std::vector<std::string>{"ORA8.DLL", "ora10.dll", "ora9.dll"}));
  EXPECT_TRUE(ListFiles(dir + "/missing", "*", true).empty());

  EXPECT_TRUE(FileExists(dir + "/oci.dll"));
  EXPECT_FALSE(FileExists(dir + "/ora_dir.dll"));
  EXPECT_TRUE(DirectoryExists(dir + "/ora_dir.dll"));
  EXPECT_FALSE(DirectoryExists(dir + "/oci.dll"));
  EXPECT_FALSE(FileExists(""));
}

TEST(ProcessTest, ExecutablePathNamesThisProgram) {
  const std::string path = ExecutablePath();
  EXPECT_TRUE(FileExists(path));
  EXPECT_NE(path.find("common_platform_test"), std::string::npos);
}

TEST(ProcessTest, ParametersSkipTheProgramAndAreFoundByName) {
  const char* argv[] = {"prog", "--x", "ocidll=/opt/a.so", "OCIDLL=/second"};
  SetProcessParameters(4, argv);
  EXPECT_EQ(ProcessParameters(), (std::vector<std::string>{"--x", "ocidll=/opt/a.so", "OCIDLL=/second"}));
  // The first parameter that carries the name wins, whatever its case.
  EXPECT_EQ(ProcessParameterValue("OCIDLL"), "/opt/a.so");
  EXPECT_EQ(ProcessParameterValue("ORACLEHOME"), "");

  const std::string longValue(300, 'v');
  EXPECT_EQ(ParameterValue({"ORACLEHOME=" + longValue}, "OracleHome"), longValue.substr(0, 255));
  EXPECT_EQ(ParameterValue({"--opt:ORACLEHOME=h1"}, "ORACLEHOME"), "h1");
  EXPECT_EQ(ParameterValue({"ORACLEHOME="}, "ORACLEHOME"), "");
  ProcessParameters().clear();
}

TEST(DynamicLibraryTest, LoadsResolvesAndReportsFailures) {
  TDynamicLibrary missing = TDynamicLibrary::Open("/nonexistent/libnothing.so");
  EXPECT_FALSE(missing.Loaded());
  EXPECT_EQ(missing.HandleValue(), 0u);
  EXPECT_FALSE(missing.LoaderMessage().empty());
  EXPECT_EQ(missing.Symbol("anything"), nullptr);

  TDynamicLibrary math = TDynamicLibrary::Open("libm.so.6");
  ASSERT_TRUE(math.Loaded());
  auto cosine = reinterpret_cast<double (*)(double)>(math.Symbol("cos"));
  ASSERT_NE(cosine, nullptr);
  EXPECT_DOUBLE_EQ(cosine(0.0), 1.0);
  EXPECT_EQ(math.Symbol("no_such_symbol_here"), nullptr);

  TDynamicLibrary moved = std::move(math);
  EXPECT_FALSE(math.Loaded());
  EXPECT_TRUE(moved.Loaded());
  moved.Free();
  EXPECT_FALSE(moved.Loaded());
}

TEST(RegistryTest, MemoryRegistryIgnoresCaseAndListsDirectChildren) {
  TMemoryRegistry registry;
  registry.SetString("SOFTWARE\\ORACLE\\KEY_Home1", "ORACLE_HOME", "C:\\ora");
  registry.SetString("SOFTWARE\\ORACLE\\HOME0\\Deeper", "X", "1");
  registry.AddKey("SOFTWARE\\ORACLE\\Empty");
  EXPECT_EQ(registry.ReadString("software\\oracle\\key_home1", "oracle_home"), "C:\\ora");
  EXPECT_EQ(registry.ReadString("SOFTWARE\\ORACLE\\KEY_Home1", "missing"), "");
  EXPECT_EQ(registry.ReadString("SOFTWARE\\NOTHING", "ORACLE_HOME"), "");
  EXPECT_EQ(registry.SubKeys("SOFTWARE\\Oracle"),
            (std::vector<std::string>{"Empty", "HOME0", "KEY_Home1"}));
  EXPECT_TRUE(registry.SubKeys("SOFTWARE\\ORACLE\\Empty").empty());

  const TRegistryReader& system = SystemRegistry();
#ifndef _WIN32
  EXPECT_EQ(system.ReadString("SOFTWARE\\ORACLE", "ORACLE_HOME"), "");
  EXPECT_TRUE(system.SubKeys("SOFTWARE").empty());
#endif
}

}  // namespace
}  // namespace skelvane::platform
