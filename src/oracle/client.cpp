#include "oracle/client.h"

#include <array>
#include <optional>
#include <vector>

#include "common/platform.h"
#include "common/text.h"

namespace skelvane::oracle {

void TOracleCriticalSection::Enter() {
  mutex_.lock();
  ++count_;
}

void TOracleCriticalSection::Leave() {
  if (count_ == 0) return;
  --count_;
  mutex_.unlock();
}

int TOracleCriticalSection::Count() const { return count_; }

TOracleCriticalSection& ClientCriticalSection() {
  static TOracleCriticalSection section;
  return section;
}

EInitializationError::EInitializationError(const std::string& reason, const std::string& trace,
                                           const std::string& hint)
    : std::runtime_error("Initialization error\r\n" + reason + "\r\n\r\n" + trace +
                         (hint.empty() ? std::string() : "\r\n\r\n" + hint)),
      reason_(reason) {}

namespace {

// Results of choosing and loading, as the reasons name them.
enum class TLoadResult { Ok = 0, NotFound = 1, NotUsable = 2, NoHome = 3 };

struct TClientState {
  TClientRules rules = TClientRules::Native();
  const platform::TRegistryReader* registry = nullptr;

  std::string forcedPath;
  std::string forcedHome;
  bool forceOracle7 = false;

  std::string libraryPath;  // chosen or forced
  std::optional<std::string> homeKey;  // cached once computed
  std::string homeDir;
  bool bin = false;
  std::string rememberedHome;
  std::vector<std::string> trace;
  platform::TDynamicLibrary library;
  std::optional<std::string> initialLoaderPath;
  std::string savedDirectory;
  std::string libraryFolder;

  std::array<bool, kOciGroupCount> available{};
  bool useOCI8 = false;
  TOciEntryPoints entry;
  TOci7EntryPoints entry7;
};

TClientState& State() {
  static TClientState state;
  return state;
}

const platform::TRegistryReader& Registry() {
  auto& s = State();
  return s.registry ? *s.registry : platform::SystemRegistry();
}

std::string JoinTrace(const std::vector<std::string>& lines) {
  std::string text;
  for (size_t i = 0; i < lines.size(); ++i) {
    if (i) text += "\r\n";
    text += lines[i];
  }
  return text;
}

const std::string& HomeKey() {
  auto& s = State();
  if (!s.homeKey) {
    std::string wanted = AnsiUpperCase(platform::ProcessParameterValue("ORACLEHOME"));
    if (wanted.empty()) wanted = AnsiUpperCase(s.forcedHome);
    const auto homes = OracleHomeList(Registry(), s.rules);
    s.homeKey = ChooseHomeKey(Registry(), s.rules, homes, wanted, s.rememberedHome);
  }
  return *s.homeKey;
}

TLoadResult ChooseLibrary() {
  auto& s = State();
  std::string forced = platform::ProcessParameterValue("OCIDLL");
  if (forced.empty()) forced = s.forcedPath;
  if (!forced.empty()) {
    s.libraryPath = forced;
    s.trace.push_back("OCIDLL forced to " + forced);
    return TLoadResult::Ok;
  }
  s.trace.push_back("OracleHomeKey: " + HomeKey());
  const THomeDirectory home = FindHomeDirectory(Registry(), s.rules, HomeKey());
  if (!home.fromKey) s.homeKey.reset();
  s.homeDir = home.directory;
  s.bin = home.bin;
  s.trace.push_back("OracleHomeDir: " + s.homeDir);
  if (s.homeDir.empty()) return TLoadResult::NoHome;

  const std::string folder = LibraryFolder(s.rules, home);
  const std::string picked = PickCandidate(s.rules, CandidateLibraries(s.rules, folder, s.trace));
  if (picked.empty()) return TLoadResult::NotFound;
  s.libraryPath = folder + picked;
  s.trace.push_back("Using: " + s.libraryPath);
  return TLoadResult::Ok;
}

// Puts the library's folder at the front of the loader's search variable.
void PutFolderOnLoaderPath(const std::string& folder) {
  auto& s = State();
  if (s.rules.loaderPathVariable.empty() || folder.empty()) return;
  if (!s.initialLoaderPath) s.initialLoaderPath = platform::GetEnv(s.rules.loaderPathVariable);
  std::string rest = *s.initialLoaderPath;
  const std::string entry = folder + ';';
  const size_t at = (s.rules.ignoreCase ? AnsiUpperCase(rest) : rest)
                        .find(s.rules.ignoreCase ? AnsiUpperCase(entry) : entry);
  if (at != std::string::npos) rest.erase(at, entry.size());
  platform::SetEnv(s.rules.loaderPathVariable, rest.empty() ? folder : folder + ";" + rest);
}

void ResolveEntryPoints() {
  auto& s = State();
  for (const auto& group : kOciGroups) {
    bool ok = !group.hasRequirement || s.available[static_cast<int>(group.requires_)];
    // Every member is looked up, so a partial library is judged by all its names.
    for (const auto name : group.members) {
      if (!s.library.Symbol(std::string(name))) ok = false;
    }
    s.available[static_cast<int>(group.group)] = ok;
  }
#define SKELVANE_OCI_RESOLVE(name) \
  s.entry.name = reinterpret_cast<decltype(s.entry.name)>(s.library.Symbol(#name));
  SKELVANE_OCI_ENTRY_POINTS(SKELVANE_OCI_RESOLVE)
#undef SKELVANE_OCI_RESOLVE
#define SKELVANE_OCI_RESOLVE(name) \
  s.entry7.name = reinterpret_cast<decltype(s.entry7.name)>(s.library.Symbol(#name));
  SKELVANE_OCI7_ENTRY_POINTS(SKELVANE_OCI_RESOLVE)
#undef SKELVANE_OCI_RESOLVE
  s.useOCI8 = s.available[static_cast<int>(TOciGroup::Oci8Core)] && !s.forceOracle7;
}

void RestoreDirectoryLocked(TClientState& s) {
  if (s.savedDirectory.empty()) return;
  const std::string current = platform::CurrentDirectory();
  const bool stillThere = s.rules.ignoreCase ? SameText(current, s.libraryFolder)
                                             : current == s.libraryFolder;
  if (stillThere) platform::ChangeDirectory(s.savedDirectory);
  s.savedDirectory.clear();
}

// Forgets everything chosen automatically; forced choices stay.
void ResetState(TClientState& s) {
  RestoreDirectoryLocked(s);
  s.library.Free();
  s.libraryPath.clear();
  s.homeKey.reset();
  s.homeDir.clear();
  s.bin = false;
  s.rememberedHome.clear();
  s.initialLoaderPath.reset();
  s.libraryFolder.clear();
  s.available.fill(false);
  s.useOCI8 = false;
  s.entry = TOciEntryPoints{};
  s.entry7 = TOci7EntryPoints{};
}

std::string ReasonText(TLoadResult result, const std::string& path) {
  switch (result) {
    case TLoadResult::NotFound:
      return path.empty() ? "Could not locate OCI dll" : "Could not load \"" + path + "\"";
    case TLoadResult::NotUsable:
      return "Could not initialize \"" + path + "\"";
    case TLoadResult::NoHome:
      return "SQL*Net not properly installed";
    case TLoadResult::Ok:
      break;
  }
  return {};
}

}  // namespace

void InitializeClient() {
  TOracleCriticalSectionGuard guard(ClientCriticalSection());
  auto& s = State();
  if (s.library.Loaded()) return;

  s.trace.clear();
  s.libraryPath.clear();
  TLoadResult result = ChooseLibrary();
  if (result == TLoadResult::Ok) {
    s.libraryFolder = FolderOf(s.rules, s.libraryPath);
    PutFolderOnLoaderPath(s.libraryFolder);
    s.library = platform::TDynamicLibrary::Open(s.libraryPath);
    if (!s.library.Loaded() && s.rules.retryFromLibraryFolder && !s.libraryFolder.empty()) {
      // Some clients find their companion libraries only from their own folder.
      s.savedDirectory = platform::CurrentDirectory();
      platform::ChangeDirectory(s.libraryFolder);
      PutFolderOnLoaderPath(s.libraryFolder);
      s.library = platform::TDynamicLibrary::Open(s.libraryPath);
    }
    if (!s.library.Loaded()) {
      s.trace.push_back("LoadLibrary(" + s.libraryPath + ") returned " +
                        std::to_string(s.library.HandleValue()));
      // The loader knows why (a missing file, a wrong architecture, a missing
      // dependency); the handle value alone does not say.
      if (!s.library.LoaderMessage().empty()) s.trace.push_back(s.library.LoaderMessage());
      result = TLoadResult::NotFound;
    }
  } else if (s.rules.bareNameFallback) {
    // Nothing found by the rules: the system loader may still know the library.
    s.library = platform::TDynamicLibrary::Open(s.rules.libraryFile);
    if (s.library.Loaded()) {
      s.libraryPath = s.rules.libraryFile;
      s.trace.push_back("Using: " + s.libraryPath);
      result = TLoadResult::Ok;
    }
  }

  if (result == TLoadResult::Ok) {
    ResolveEntryPoints();
    if (!s.available[static_cast<int>(TOciGroup::Oracle7Core)] && !s.useOCI8) {
      result = TLoadResult::NotUsable;
    }
  }

  if (result != TLoadResult::Ok) {
    const std::string reason = ReasonText(result, s.libraryPath);
    const std::string hint = result == TLoadResult::NoHome ? s.rules.noClientHint : std::string();
    ResetState(s);
    throw EInitializationError(reason, JoinTrace(s.trace), hint);
  }

  if (!s.useOCI8 && s.available[static_cast<int>(TOciGroup::Opinit)]) {
    if (s.entry7.opinit) s.entry7.opinit(OCI_EV_DEF);
  }
  if (s.useOCI8 && !s.available[static_cast<int>(TOciGroup::Oci81)] && s.entry.OCIInitialize) {
    s.entry.OCIInitialize(OCI_THREADED | OCI_OBJECT, nullptr, nullptr, nullptr, nullptr);
  }
}

bool ClientLoaded() {
  TOracleCriticalSectionGuard guard(ClientCriticalSection());
  return State().library.Loaded();
}

std::string ClientTrace() {
  TOracleCriticalSectionGuard guard(ClientCriticalSection());
  return JoinTrace(State().trace);
}

const TOciEntryPoints& ClientEntryPoints() { return State().entry; }

const TOci7EntryPoints& ClientEntryPoints7() { return State().entry7; }

bool ClientGroupAvailable(TOciGroup group) { return State().available[static_cast<int>(group)]; }

bool ClientUseOCI8() { return State().useOCI8; }

std::string ClientLibraryPath() {
  TOracleCriticalSectionGuard guard(ClientCriticalSection());
  return State().libraryPath;
}

std::string OracleHomeKey() {
  TOracleCriticalSectionGuard guard(ClientCriticalSection());
  return State().homeKey.value_or("");
}

std::string OracleHomeDir() {
  TOracleCriticalSectionGuard guard(ClientCriticalSection());
  return State().homeDir;
}

void SetForcedClientLibrary(const std::string& path) {
  TOracleCriticalSectionGuard guard(ClientCriticalSection());
  State().forcedPath = path;
}

void SetForcedOracleHome(const std::string& name) {
  TOracleCriticalSectionGuard guard(ClientCriticalSection());
  State().forcedHome = name;
  State().homeKey.reset();
}

void SetForceOracle7(bool force) {
  TOracleCriticalSectionGuard guard(ClientCriticalSection());
  State().forceOracle7 = force;
}

void RestoreClientDirectory() {
  TOracleCriticalSectionGuard guard(ClientCriticalSection());
  RestoreDirectoryLocked(State());
}

void SetClientRules(const TClientRules& rules) {
  TOracleCriticalSectionGuard guard(ClientCriticalSection());
  State().rules = rules;
}

void SetClientRegistry(const platform::TRegistryReader* registry) {
  TOracleCriticalSectionGuard guard(ClientCriticalSection());
  State().registry = registry;
}

void ResetClientForTests() {
  TOracleCriticalSectionGuard guard(ClientCriticalSection());
  auto& s = State();
  ResetState(s);
  s.trace.clear();
  s.savedDirectory.clear();
  s.forcedPath.clear();
  s.forcedHome.clear();
  s.forceOracle7 = false;
  s.rules = TClientRules::Native();
  s.registry = nullptr;
}

}  // namespace skelvane::oracle
