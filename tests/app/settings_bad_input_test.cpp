// Bad input at the settings file's door, as one table: damaged, huge and
// unwritable files. Each case restores a window from the file and saves it
// again. Damaged values fall back to the window's defaults without a word; a
// file that cannot be written gives one "Unable to write to" box and stays
// as it was; nothing crashes or hangs.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>

#ifndef _WIN32
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

#include "app/main_form.h"
#include "app/profile_file.h"
#include "app/recording_front_end.h"
#include "support/placement_host.h"
#include "support/temp_folder.h"

namespace skelvane {
namespace {

namespace fs = std::filesystem;
using testing::TFakePlacementHost;
using testing::TRecordingFrontEnd;
using testing::ReadAll;
using testing::TTempFolder;

// A file of `size` bytes that takes no room: `head`, then zero bytes.
std::string Sparse(const TTempFolder& folder, const std::string& head, std::uintmax_t size) {
  const std::string file = folder.WriteFile("skelvane.ini", head);
  fs::resize_file(file, size);
  return file;
}

// A history section of `items` names, with a Count of `count`.
std::string History(std::size_t items, const std::string& count) {
  std::string text = "[main.UserName_Items]\r\nCount=" + count + "\r\n";
  for (std::size_t i = 0; i < items; ++i) text += "Item" + std::to_string(i) + "=u" + std::to_string(i) + "\r\n";
  return text;
}

std::vector<std::string> Names(std::size_t n) {
  std::vector<std::string> names;
  for (std::size_t i = 0; i < n; ++i) names.push_back("u" + std::to_string(i));
  return names;
}

constexpr std::uintmax_t kMegabyte = std::uintmax_t{1} << 20;

struct TSettingsCase {
  const char* door;
  const char* label;
  // Makes the case in the folder; returns the settings file's name.
  std::function<std::string(const TTempFolder&)> make;
  // What the restore gives.
  std::string database;
  int height;
  std::vector<std::string> history;
  // The save: "" when it succeeds, else the box's text, FILE standing for
  // the file's name.
  std::string saveError;
  // The save must fail for any user, root included, only by the way it is
  // made; a permission alone stops every user but root.
  bool byPermission = false;
};

const std::vector<TSettingsCase>& Table() {
  static const std::vector<TSettingsCase> table = {
      // Damaged.
      {"damaged", "garbage bytes",
       [](const TTempFolder& f) { return f.WriteFile("skelvane.ini", std::string("\x89PNG\r\n\x1a\n\xff\xfe=[]\x01", 14)); },
       "XE", 164, {}, ""},
      {"damaged", "a line without =",
       [](const TTempFolder& f) {
         return f.WriteFile("skelvane.ini", "[main]\r\nDatabaseName_Text ORCL\r\nPanelLog_Height=200\r\n");
       },
       "XE", 200, {}, ""},
      {"damaged", "a key outside any section",
       [](const TTempFolder& f) {
         return f.WriteFile("skelvane.ini", "DatabaseName_Text=ORCL\r\n[main]\r\nPanelLog_Height=200\r\n");
       },
       "XE", 200, {}, ""},
      {"damaged", "a header without its bracket",
       [](const TTempFolder& f) { return f.WriteFile("skelvane.ini", "[main\r\nDatabaseName_Text=ORCL\r\n"); },
       "XE", 164, {}, ""},
      {"damaged", "truncated in a value",
       [](const TTempFolder& f) { return f.WriteFile("skelvane.ini", "[main]\r\nPanelLog_Height=20\r\nDatabaseName_Text=OR"); },
       "OR", 20, {}, ""},
      {"damaged", "truncated in the history",
       [](const TTempFolder& f) {
         return f.WriteFile("skelvane.ini", "[main.UserName_Items]\r\nCount=3\r\nItem0=u0\r\nIt");
       },
       "XE", 164, {"u0"}, ""},
      {"damaged", "NUL bytes in a number and a header",
       [](const TTempFolder& f) {
         const std::string nul(1, '\0');
         return f.WriteFile("skelvane.ini", "[main]\r\nPanelLog_Height=2" + nul + "00\r\n[ma" + nul +
                                                "in]\r\nDatabaseName_Text=ORCL\r\n");
       },
       "XE", 0, {}, ""},
      {"damaged", "NUL bytes only",
       [](const TTempFolder& f) { return f.WriteFile("skelvane.ini", std::string(4096, '\0')); }, "XE", 164, {}, ""},
      {"damaged", "line ends of CR alone",
       [](const TTempFolder& f) {
         return f.WriteFile("skelvane.ini", "[main]\rDatabaseName_Text=ORCL\rPanelLog_Height=200\r");
       },
       "XE", 164, {}, ""},
      {"damaged", "a section twice: the first counts",
       [](const TTempFolder& f) {
         return f.WriteFile("skelvane.ini", "[main]\r\nPanelLog_Height=200\r\n[MAIN]\r\nPanelLog_Height=300\r\n");
       },
       "XE", 200, {}, ""},
      {"damaged", "numbers out of range",
       [](const TTempFolder& f) {
         return f.WriteFile("skelvane.ini", "[main]\r\nFormVersion=x\r\nPanelLog_Height=99999999999999999999\r\n"
                                            "NormPos=9999999999,-9999999999,a,\r\n"
                                            "[main.UserName_Items]\r\nCount=-7\r\nItem0=u0\r\n");
       },
       "XE", 0, {}, ""},
      {"damaged", "a history count that is not a number",
       [](const TTempFolder& f) { return f.WriteFile("skelvane.ini", History(2, "two")); }, "XE", 164, {}, ""},
      {"damaged", "a history without its items",
       [](const TTempFolder& f) { return f.WriteFile("skelvane.ini", History(0, "3")); }, "XE", 164, {}, ""},
      // Huge.
      {"huge", "a value of a megabyte, read back cut",
       [](const TTempFolder& f) {
         return f.WriteFile("skelvane.ini", "[main]\r\nDatabaseName_Text=" + std::string(kMegabyte, 'x') + "\r\n");
       },
       std::string(TProfileFile::kMaxValueLength, 'x'), 164, {}, ""},
      {"huge", "a history count of two thousand million",
       [](const TTempFolder& f) { return f.WriteFile("skelvane.ini", History(2, "2000000000")); }, "XE", 164,
       {"u0", "u1"}, ""},
      {"huge", "a history of a hundred thousand names",
       [](const TTempFolder& f) { return f.WriteFile("skelvane.ini", History(100000, "100000")); }, "XE", 164,
       Names(100000), ""},
      {"huge", "200 MB of zero bytes",
       [](const TTempFolder& f) { return Sparse(f, "", 200 * kMegabyte); }, "XE", 164, {}, ""},
      {"huge", "200 MB behind good settings",
       [](const TTempFolder& f) {
         return Sparse(f, "[main]\r\nDatabaseName_Text=ORCL\r\n", 200 * kMegabyte);
       },
       "XE", 164, {}, ""},
      // Unwritable.
      {"unwritable", "a folder in the file's place",
       [](const TTempFolder& f) { return f.MakeFolder("skelvane.ini"); }, "XE", 164, {},
       "Unable to write to FILE."},
      {"unwritable", "its folder is a file",
       [](const TTempFolder& f) { return f.WriteFile("blocker", "x") + "/skelvane.ini"; }, "XE", 164, {},
       "Unable to write to FILE."},
      {"unwritable", "a read-only file",
       [](const TTempFolder& f) {
         const std::string file = f.WriteFile("skelvane.ini", "[main]\r\nPanelLog_Height=200\r\n");
         fs::permissions(file, fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
         return file;
       },
       "XE", 200, {}, "Unable to write to FILE.", true},
      {"unwritable", "a read-only folder",
       [](const TTempFolder& f) {
         const std::string folder = f.MakeFolder("locked");
         fs::permissions(folder, fs::perms::owner_read | fs::perms::owner_exec | fs::perms::group_read |
                                     fs::perms::group_exec | fs::perms::others_read | fs::perms::others_exec);
         return folder + "/skelvane.ini";
       },
       "XE", 164, {}, "Unable to write to FILE.", true},
#ifndef _WIN32
      // Opening a pipe for reading waits for a writer that never comes.
      {"damaged", "a pipe in the file's place",
       [](const TTempFolder& f) {
         const std::string file = f / "skelvane.ini";
         if (::mkfifo(file.c_str(), 0600) != 0) throw std::runtime_error("no pipe " + file);
         return file;
       },
       "XE", 164, {}, ""},
#endif
      // Writable after all.
      {"writable", "in folders that do not exist yet",
       [](const TTempFolder& f) { return f / "config/skelvane/skelvane.ini"; }, "XE", 164, {}, ""},
      // Settings kept elsewhere and linked in: the save goes to the file
      // linked to, and the link stays.
      {"writable", "a link to the real file",
       [](const TTempFolder& f) {
         const std::string real = f.WriteFile("dotfiles/skelvane.ini", "[main]\r\nPanelLog_Height=200\r\n");
         fs::create_symlink(real, f / "skelvane.ini");
         return f / "skelvane.ini";
       },
       "XE", 200, {}, ""},
  };
  return table;
}

std::string Replaced(std::string text, const std::string& from, const std::string& to) {
  for (size_t at = 0; (at = text.find(from, at)) != std::string::npos; at += to.size())
    text.replace(at, from.size(), to);
  return text;
}

// One window's restore and save; what the boxes said.
struct TOutcome {
  std::string database;
  int height = 0;
  std::vector<std::string> history;
  std::vector<std::string> restoreBoxes;
  std::vector<std::string> saveBoxes;
};

TOutcome RestoreAndSave(const std::string& folder, const std::string& ini) {
  TRecordingFrontEnd frontEnd;
  TFakePlacementHost host;
  TmForm_skelvane form(frontEnd, "Skelvane", folder + "/skelvane");
  form.FormStorage1.IniFileName = ini;
  TOutcome outcome;
  form.RestoreSettings(host);
  outcome.database = form.DatabaseName.Text();
  outcome.height = form.PanelLog.Height();
  outcome.history = form.UserName.Items();
  for (const auto& box : frontEnd.errorBoxes) outcome.restoreBoxes.push_back(box.second);
  frontEnd.errorBoxes.clear();
  form.DatabaseName.SetText("SAVED");
  form.SaveSettings(host, false);
  for (const auto& box : frontEnd.errorBoxes) outcome.saveBoxes.push_back(box.second);
  return outcome;
}

#ifndef _WIN32
// Root writes whatever the permissions say: such a case runs in a child
// process as the unprivileged user "nobody", and reports through a pipe.
TOutcome RestoreAndSaveUnprivileged(const TTempFolder& folder, const std::string& ini) {
  if (::geteuid() != 0) return RestoreAndSave(folder.Path(), ini);
  fs::permissions(folder.Path(), fs::perms::all);
  int channel[2];
  if (::pipe(channel) != 0) throw std::runtime_error("no pipe");
  const pid_t child = ::fork();
  if (child == 0) {
    ::close(channel[0]);
    if (::setgid(65534) != 0 || ::setuid(65534) != 0) ::_exit(3);
    std::string report;
    try {
      const TOutcome o = RestoreAndSave(folder.Path(), ini);
      report = o.database + "\n" + std::to_string(o.height) + "\n" + std::to_string(o.restoreBoxes.size()) + "\n";
      for (const auto& box : o.saveBoxes) report += box + "\n";
    } catch (...) {
      ::_exit(4);
    }
    const bool written = ::write(channel[1], report.data(), report.size()) == static_cast<ssize_t>(report.size());
    ::_exit(written ? 0 : 5);
  }
  ::close(channel[1]);
  std::string report;
  char buffer[4096];
  for (ssize_t n; (n = ::read(channel[0], buffer, sizeof buffer)) > 0;) report.append(buffer, static_cast<size_t>(n));
  ::close(channel[0]);
  int status = 0;
  ::waitpid(child, &status, 0);
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
    throw std::runtime_error("the unprivileged run ended with status " + std::to_string(status));
  TOutcome outcome;
  std::istringstream lines(report);
  std::string line;
  std::getline(lines, outcome.database);
  std::getline(lines, line);
  outcome.height = std::stoi(line);
  std::getline(lines, line);
  outcome.restoreBoxes.resize(std::stoul(line));
  while (std::getline(lines, line)) outcome.saveBoxes.push_back(line);
  return outcome;
}
#endif

TEST(SettingsBadInput, EveryDamagedHugeOrUnwritableFileGivesDefaultsOrOneMessage) {
  using Clock = std::chrono::steady_clock;
  for (const TSettingsCase& c : Table()) {
    SCOPED_TRACE(std::string(c.door) + ", " + c.label);
    TTempFolder folder("settings-bad");
    const std::string ini = c.make(folder);
    const bool existed = fs::exists(ini);
    const bool link = fs::is_symlink(ini);
    const std::uintmax_t sizeBefore = fs::is_regular_file(ini) ? fs::file_size(ini) : 0;
    const std::string before = sizeBefore < kMegabyte * 2 && fs::is_regular_file(ini) ? ReadAll(ini) : "";

    const auto start = Clock::now();
    TOutcome outcome;
#ifndef _WIN32
    outcome = c.byPermission ? RestoreAndSaveUnprivileged(folder, ini) : RestoreAndSave(folder.Path(), ini);
#else
    outcome = RestoreAndSave(folder.Path(), ini);
#endif
    const auto seconds = std::chrono::duration_cast<std::chrono::seconds>(Clock::now() - start).count();
    EXPECT_LT(seconds, 30) << "a restore and a save took " << seconds << " s";

    // The restore: defaults where the file is damaged, never a message.
    EXPECT_EQ(outcome.restoreBoxes.size(), 0u);
    EXPECT_EQ(outcome.database, c.database);
    EXPECT_EQ(outcome.height, c.height);
    if (!c.byPermission) {
      EXPECT_EQ(outcome.history, c.history);
    }

    if (!c.saveError.empty()) {
      // One box, and the file as it was.
      EXPECT_EQ(outcome.saveBoxes, std::vector<std::string>{Replaced(c.saveError, "FILE", ini)});
      EXPECT_EQ(fs::exists(ini), existed);
      if (fs::is_regular_file(ini)) {
        EXPECT_EQ(ReadAll(ini), before);
      }
      continue;
    }
    // Saved: the next start reads back what this one wrote.
    EXPECT_EQ(outcome.saveBoxes, std::vector<std::string>{});
    EXPECT_EQ(fs::is_symlink(ini), link);
    if (!fs::is_regular_file(ini)) {
      ADD_FAILURE() << "no settings file";
      continue;
    }
    const TOutcome next = RestoreAndSave(folder.Path(), ini);
    EXPECT_EQ(next.database, "SAVED");
    EXPECT_EQ(next.height, c.height);
    EXPECT_EQ(next.history, c.history);
  }
}

}  // namespace
}  // namespace skelvane
