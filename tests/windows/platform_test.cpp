// The platform layer as it behaves on Windows: the registry reader against
// wine's registry, environment, files, the settings file beside the
// executable, and documents written with CR LF.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "app/main_form.h"
#include "app/settings_location.h"
#include "common/platform.h"
#include "common/platform_registry.h"
#include "common/text.h"
#include "export/document_file.h"
#include "support/temp_folder.h"
#include "windows/wine_registry.h"

namespace skelvane::platform {
namespace {

using skelvane::testing::AddRegistryValues;
using skelvane::testing::RemoveRegistryKey;
using skelvane::testing::TTempFolder;

std::string ReadBytes(const std::string& file) {
  std::ifstream in(file, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

class WindowsRegistryTest : public ::testing::Test {
 protected:
  static constexpr const char* kRoot = "SOFTWARE\\SkelvaneRegistryTest";
  void SetUp() override { RemoveRegistryKey(kRoot); }
  void TearDown() override { RemoveRegistryKey(kRoot); }
  TWindowsRegistry registry;
};

TEST_F(WindowsRegistryTest, StringValuesReadAsTheirTextAndEverythingElseAsEmpty) {
  const std::string key = std::string(kRoot) + "\\Home";
  AddRegistryValues({{key, "ORACLE_HOME", "C:\\oracle\\product\\10.2.0\\client_1"},
                     {key, "EXPANDED", "C:\\oracle\\bin", "REG_EXPAND_SZ"},
                     {key, "COUNTER", "3", "REG_DWORD"},
                     {key, "EMPTY", ""}});
  struct TCase {
    std::string key, value, expected;
  } cases[] = {
      {key, "ORACLE_HOME", "C:\\oracle\\product\\10.2.0\\client_1"},
      {key, "oracle_home", "C:\\oracle\\product\\10.2.0\\client_1"},  // names ignore case
      {"software\\skelvaneregistrytest\\HOME", "ORACLE_HOME", "C:\\oracle\\product\\10.2.0\\client_1"},
      {key, "EXPANDED", "C:\\oracle\\bin"},
      {key, "COUNTER", ""},                    // not a string
      {key, "EMPTY", ""},
      {key, "MISSING", ""},
      {std::string(kRoot) + "\\Nowhere", "ORACLE_HOME", ""},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(registry.ReadString(c.key, c.value), c.expected) << c.key << " / " << c.value;
  }
}

TEST_F(WindowsRegistryTest, SubKeysAreTheDirectChildrenOnly) {
  const std::string root = kRoot;
  AddRegistryValues({{root + "\\KEY_OraDb11g_home1", "ORACLE_HOME", "C:\\a"},
                     {root + "\\KEY_OraClient12\\Deeper", "X", "y"},
                     {root + "\\ALL_HOMES", "HOME_COUNTER", "1"}});
  auto names = registry.SubKeys(kRoot);
  std::sort(names.begin(), names.end());
  EXPECT_EQ(names, (std::vector<std::string>{"ALL_HOMES", "KEY_OraClient12", "KEY_OraDb11g_home1"}));
  EXPECT_TRUE(registry.SubKeys(std::string(kRoot) + "\\Missing").empty());
}

TEST_F(WindowsRegistryTest, TheSystemRegistryIsTheWindowsOne) {
  AddRegistryValues({{kRoot, "PROBE", "seen"}});
  EXPECT_EQ(SystemRegistry().ReadString(kRoot, "PROBE"), "seen");
}

TEST(WindowsEnvironmentTest, AnEmptyValueIsSetAndARemovedOneIsNot) {
  SetEnv("SKELVANE_PROBE", "");
  EXPECT_TRUE(EnvIsSet("SKELVANE_PROBE"));
  EXPECT_EQ(GetEnv("SKELVANE_PROBE"), "");
  SetEnv("SKELVANE_PROBE", std::string(5000, 'p'));  // longer than MAX_PATH
  EXPECT_EQ(GetEnv("SKELVANE_PROBE"), std::string(5000, 'p'));
  UnsetEnv("SKELVANE_PROBE");
  EXPECT_FALSE(EnvIsSet("SKELVANE_PROBE"));
  EXPECT_EQ(GetEnv("SKELVANE_PROBE"), "");
}

TEST(WindowsFilesTest, ListFilesIgnoresCaseSkipsFoldersAndSorts) {
  TTempFolder temp("files");
  for (const char* name : {"ORA805.DLL", "ora73.dll", "oci.dll", "OraNT9.Dll", "readme.txt"})
    temp.WriteFile(std::string("bin\\") + name);
  temp.MakeFolder("bin\\ora_folder.dll");
  const std::string bin = temp / "bin";
  EXPECT_EQ(ListFiles(bin, "ora*.dll", true),
            (std::vector<std::string>{"ORA805.DLL", "OraNT9.Dll", "ora73.dll"}));
  EXPECT_EQ(ListFiles(bin + "\\", "OCI.DLL", true), (std::vector<std::string>{"oci.dll"}));
  EXPECT_TRUE(ListFiles(bin, "OCI.DLL", false).empty());
  EXPECT_TRUE(ListFiles(temp / "missing", "*", true).empty());
  EXPECT_TRUE(FileExists(bin + "\\OCI.DLL"));
  EXPECT_FALSE(FileExists(bin + "\\ora_folder.dll"));
  EXPECT_TRUE(DirectoryExists(bin + "\\ora_folder.dll"));
}

TEST(WindowsFilesTest, TheCurrentDirectoryCanBeChangedAndRestored) {
  TTempFolder temp("cwd");
  const std::string before = CurrentDirectory();
  ASSERT_TRUE(ChangeDirectory(temp.Path()));
  EXPECT_TRUE(SameText(CurrentDirectory(), temp.Path())) << CurrentDirectory();
  EXPECT_FALSE(ChangeDirectory(temp / "missing"));
  ASSERT_TRUE(ChangeDirectory(before));
  EXPECT_EQ(CurrentDirectory(), before);
}

TEST(WindowsProcessTest, TheSettingsFileSitsBesideTheExecutable) {
  const std::string exe = ExecutablePath();
  ASSERT_TRUE(FileExists(exe)) << exe;
  ASSERT_GT(exe.size(), 4u);
  EXPECT_TRUE(SameText(exe.substr(exe.size() - 4), ".exe")) << exe;
  EXPECT_EQ(SettingsFileNameFor(exe), exe.substr(0, exe.size() - 4) + ".ini");
  EXPECT_EQ(DirectoryOf(SettingsFileNameFor(exe)), DirectoryOf(exe));
  // Beside the executable even when no file is there yet and a Linux
  // configuration folder is named.
  SetEnv("XDG_CONFIG_HOME", "C:\\config");
  SetEnv("HOME", "C:\\users\\someone");
  EXPECT_EQ(SettingsFilePath(exe), exe.substr(0, exe.size() - 4) + ".ini");
  UnsetEnv("XDG_CONFIG_HOME");
  UnsetEnv("HOME");

  struct TCase {
    const char* exe;
    const char* settings;
    const char* folder;
  } cases[] = {
      {"C:\\Program Files\\Skelvane\\skelvane.exe", "C:\\Program Files\\Skelvane\\skelvane.ini",
       "C:\\Program Files\\Skelvane"},
      {"C:\\tools.v2\\skelvane", "C:\\tools.v2\\skelvane.ini", "C:\\tools.v2"},  // dot in a folder only
      {"\\\\server\\share\\skel.1.exe", "\\\\server\\share\\skel.1.ini", "\\\\server\\share"},
      {"C:/mixed/skelvane.exe", "C:/mixed/skelvane.ini", "C:/mixed"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(SettingsFileNameFor(c.exe), c.settings) << c.exe;
    EXPECT_EQ(DirectoryOf(c.exe), c.folder) << c.exe;
  }
}

TEST(WindowsDocumentTest, LinesEndInCrLfWrittenAsBytes) {
  TTempFolder temp("doc");
  const std::string file = temp / "schema._sdb";
  {
    TDocumentFile document(file);
    document.WriteLine("{shema");
    document.WriteLine("\t{name \xC0\xC1\xC2}");  // bytes of the ANSI code page, untouched
    document.WriteLine("");
    document.WriteLine("}");
    document.Close();
  }
  EXPECT_EQ(ReadBytes(file), "{shema\r\n\t{name \xC0\xC1\xC2}\r\n\r\n}\r\n");
}

}  // namespace
}  // namespace skelvane::platform
