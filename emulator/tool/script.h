// Splits a SQL script the way SQL*Plus reads one: statements end with ";"
// at a line end, PL/SQL units with a line holding only "/".
#ifndef ORAEMU_TOOL_SCRIPT_H
#define ORAEMU_TOOL_SCRIPT_H

#include <string>
#include <vector>

namespace oraemu::tool {

struct ScriptStatement {
  std::string text;  // without the terminating ";" or "/" line
  int line = 0;      // 1-based line where it starts
  // "@file" or "@@file": the script to run in this place (text empty);
  // ".sql" is added to a name without extension.
  std::string include;
  bool relative = false;  // "@@": relative to the folder of the script naming it
};

// Blank lines and "--" comment lines between statements are skipped, and
// so are the SQL*Plus commands REM, PROMPT, SET, SPOOL, WHENEVER and SHOW,
// and a "/" line after a statement ended by ";"; EXIT or QUIT ends the
// script. Inside a statement every line is kept as written.
std::vector<ScriptStatement> SplitScript(const std::string& script);

}  // namespace oraemu::tool

#endif
