// Where the built emulator lives, and running it (or anything) in a shell.
#ifndef SKELVANE_TESTS_SUPPORT_EMULATOR_TOOL_H
#define SKELVANE_TESTS_SUPPORT_EMULATOR_TOOL_H

#include <string>

namespace skelvane::testing {

// The build folder: SKELVANE_BINARY_DIR, else the parent of this program's bin folder.
std::string BinaryDir();
std::string EmulatorLibrary();
// The emulator with the Oracle 7 calls alone, and with OCI 8 alone.
std::string Oracle7EmulatorLibrary();
std::string Oci8OnlyEmulatorLibrary();
std::string EmulatorTool();

// `text` as one word of a POSIX shell command.
std::string ShellQuote(const std::string& text);

// Runs a shell command; returns its exit status and fills `output` with
// what it wrote to standard output and standard error.
int RunCommand(const std::string& command, std::string* output = nullptr);

// The script that creates `user` (password `password`) with the privileges
// an owner of an exported schema needs, dictionary tables included.
std::string OwnerGrants(const std::string& user, const std::string& password);

}  // namespace skelvane::testing

#endif
