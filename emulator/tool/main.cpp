// oraemu-sql: creates emulated databases and runs SQL scripts against them.
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <iterator>
#include <sstream>
#include <string>

#include "engine/database_impl.h"
#include "engine/engine.h"
#include "engine/storage.h"
#include "tool/script.h"

namespace {

constexpr int kUsage = 64;

const char* const kHelp =
    "usage:\n"
    "  oraemu-sql create DB --system-password PW [--charset CL8MSWIN1251|AL32UTF8]\n"
    "      Creates the database DB with the users SYS and SYSTEM (password PW)\n"
    "      and the given database character set (default CL8MSWIN1251); the\n"
    "      national character set is AL16UTF16.\n"
    "  oraemu-sql run DB USER/PASSWORD [FILE]\n"
    "      Runs the script FILE (standard input without FILE) as USER and prints\n"
    "      \"ok\" or the ORA error line for every statement (a stored unit created\n"
    "      with compilation errors prints ORA-24344 and fails). Statements end with\n"
    "      \";\" at a line end; PL/SQL units (CREATE TRIGGER, FUNCTION, PROCEDURE,\n"
    "      PACKAGE, BEGIN, DECLARE) end with a line holding only \"/\". Blank lines\n"
    "      and \"--\" comment lines between statements are skipped, and so are the\n"
    "      SQL*Plus commands REM, PROMPT, SET, SPOOL, WHENEVER and SHOW, and a\n"
    "      \"/\" line after a statement ended by \";\"; EXIT or QUIT ends the script.\n"
    "      \"@file\" runs another script in its place, \"@@file\" one named relative\n"
    "      to the folder of the script that names it (\".sql\" is added to a name\n"
    "      without extension). USER \"/\" logs on with external credentials as the\n"
    "      operating-system user.\n"
    "  oraemu-sql expire-soon DB USER [DAYS]\n"
    "      Makes every later logon of USER warn that the password will expire\n"
    "      within DAYS days (default 7; ORA-28002). The same state is set by the\n"
    "      statement ALTER USER name PASSWORD EXPIRE SOON.\n"
    "\n"
    "DB is a connect identifier: the file DB.sqlite in the folder named by\n"
    "ORAEMU_DATA (default: the current folder).\n"
    "Exit status: 0 success; 1 a statement failed; 2 the database or the logon\n"
    "failed; 64 usage error.\n";

int Usage(const std::string& why) {
  std::cerr << "oraemu-sql: " << why << "\n" << kHelp;
  return kUsage;
}

int Create(int argc, char** argv) {
  std::string password, charset = oraemu::kDefaultCharset;
  bool havePassword = false;
  for (int i = 3; i < argc; i += 2) {
    const std::string option = argv[i];
    if (i + 1 >= argc) return Usage(option + " needs a value");
    if (option == "--system-password") {
      password = argv[i + 1];
      havePassword = true;
    } else if (option == "--charset") {
      charset = argv[i + 1];
      for (char& c : charset)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
      if (!oraemu::KnownCharset(charset)) return Usage("unknown character set " + charset);
    } else {
      return Usage("unknown option " + option);
    }
  }
  if (argc < 3 || !havePassword) return Usage("create needs DB --system-password PW");
  try {
    oraemu::Database::Create(argv[2], password, charset);
  } catch (const std::exception& e) {
    std::cerr << "oraemu-sql: " << e.what() << "\n";
    return 2;
  }
  return 0;
}

// SQL*Plus's own limit on scripts running scripts.
constexpr int kMaxScriptDepth = 20;

std::string FolderOf(const std::string& path) {
  size_t slash = path.find_last_of('/');
  return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

// Runs the statements of `script`; "@@" names are taken relative to
// `folder` (empty: the current folder). False when any statement failed.
bool RunScript(oraemu::Session& session, const std::string& script, const std::string& folder, int depth) {
  bool ok = true;
  for (const auto& st : oraemu::tool::SplitScript(script)) {
    if (!st.include.empty() || (st.text.empty() && st.line > 0)) {
      std::string path = st.include;
      if (st.relative && !path.empty() && path[0] != '/') path = folder + path;
      std::ifstream in(path, std::ios::binary);
      if (path.empty() || !in) {
        std::cout << "SP2-0310: unable to open file \"" << path << "\"" << std::endl;
        ok = false;
        continue;
      }
      if (depth >= kMaxScriptDepth) {
        std::cout << "SP2-0309: SQL*Plus command procedures may only be nested to a depth of "
                  << kMaxScriptDepth << "." << std::endl;
        ok = false;
        continue;
      }
      std::string inner((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
      if (!RunScript(session, inner, FolderOf(path), depth + 1)) ok = false;
      continue;
    }
    try {
      oraemu::Result result = session.Execute(st.text, {}, false);
      if (result.warning) {
        // Created, but not usable: a script that builds a schema failed.
        ok = false;
        std::cout << result.warning->what() << std::endl;
        continue;
      }
      std::cout << "ok" << std::endl;
    } catch (const oraemu::EOraError& e) {
      ok = false;
      std::cout << e.what() << std::endl;
      std::string first = st.text.substr(0, st.text.find('\n'));
      std::cerr << "  at line " << st.line << ", offset " << e.offset() << ": " << first << "\n";
    }
  }
  return ok;
}

int Run(int argc, char** argv) {
  if (argc < 4 || argc > 5) return Usage("run needs DB USER/PASSWORD [FILE]");
  std::string credentials = argv[3];
  std::string script;
  if (argc == 5) {
    std::ifstream in(argv[4], std::ios::binary);
    if (!in) {
      std::cerr << "oraemu-sql: cannot read " << argv[4] << "\n";
      return 2;
    }
    script.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  } else {
    script.assign(std::istreambuf_iterator<char>(std::cin), std::istreambuf_iterator<char>());
  }
  std::unique_ptr<oraemu::Session> session;
  try {
    auto db = oraemu::Database::Open(argv[2]);
    oraemu::LogonResult logon;
    if (credentials == "/") {
      const char* os = std::getenv("USER");
      logon = db->Logon(os ? os : "", "", true);
    } else {
      size_t slash = credentials.find('/');
      if (slash == std::string::npos) return Usage("credentials must be USER/PASSWORD");
      logon = db->Logon(credentials.substr(0, slash), credentials.substr(slash + 1), false);
    }
    if (logon.warning) std::cerr << logon.warning->what() << "\n";
    session = std::move(logon.session);
  } catch (const oraemu::EOraError& e) {
    std::cout << e.what() << std::endl;
    return 2;
  }
  return RunScript(*session, script, argc == 5 ? FolderOf(argv[4]) : std::string(), 0) ? 0 : 1;
}

int ExpireSoon(int argc, char** argv) {
  if (argc < 4 || argc > 5) return Usage("expire-soon needs DB USER [DAYS]");
  int days = 7;
  if (argc == 5) {
    days = std::atoi(argv[4]);
    if (days <= 0) return Usage("DAYS must be a positive number");
  }
  try {
    auto db = std::dynamic_pointer_cast<oraemu::DatabaseImpl>(oraemu::Database::Open(argv[2]));
    // The user name follows the identifier rules: quoted keeps its case.
    std::string user = argv[3];
    if (user.size() >= 2 && user.front() == '"' && user.back() == '"') {
      user = user.substr(1, user.size() - 2);
    } else {
      for (char& c : user)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    }
    db->SetPasswordExpiring(user, days);
  } catch (const oraemu::EOraError& e) {
    std::cout << e.what() << std::endl;
    return 2;
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) return Usage("missing command");
  std::string cmd = argv[1];
  if (cmd == "--help" || cmd == "-h" || cmd == "help") {
    std::cout << kHelp;
    return 0;
  }
  if (cmd == "create") return Create(argc, argv);
  if (cmd == "run") return Run(argc, argv);
  if (cmd == "expire-soon") return ExpireSoon(argc, argv);
  return Usage("unknown command " + cmd);
}
