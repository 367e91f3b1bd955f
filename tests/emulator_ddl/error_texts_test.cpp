// Every ORA number the server can raise comes with Oracle's text: the
// sources are read for the numbers they pass to the raising calls.
#include <gtest/gtest.h>

#include <cctype>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <string>

#include "engine/engine.h"

namespace {

// Calls whose arguments hold error numbers.
const char* const kRaisingCalls[] = {"Raise(", "Fail(", "FailHere(", "OraMessage(", "Expect(",
                                     "ExpectEnd(", "ReadIdent(", "ReadQualified(", "ReadString("};

// Integer literals of three to five digits in the argument list starting at
// `open` (just after the parenthesis), up to its closing parenthesis.
void CollectNumbers(const std::string& text, size_t open, std::set<int>& out) {
  int depth = 0;
  for (size_t i = open; i < text.size(); ++i) {
    const char c = text[i];
    if (c == '"') {  // skip string literals
      for (++i; i < text.size() && text[i] != '"'; ++i)
        if (text[i] == '\\') ++i;
      continue;
    }
    if (c == '(') ++depth;
    if (c == ')' && depth-- == 0) return;
    if (c == ';' || c == '{') return;
    if (std::isdigit(static_cast<unsigned char>(c)) && (i == 0 || !std::isalnum(static_cast<unsigned char>(text[i - 1])))) {
      size_t j = i;
      while (j < text.size() && std::isdigit(static_cast<unsigned char>(text[j]))) ++j;
      if (j - i >= 3 && j - i <= 5 && !std::isalpha(static_cast<unsigned char>(text[j]))) out.insert(std::stoi(text.substr(i, j - i)));
      i = j - 1;
    }
  }
}

std::set<int> RaisedNumbers() {
  std::set<int> numbers;
  for (const char* folder : {"/emulator/engine", "/emulator/oci"}) {
    for (const auto& entry : std::filesystem::directory_iterator(std::string(EMUDDL_SOURCE_DIR) + folder)) {
      if (entry.path().extension() != ".cpp") continue;
      std::ifstream in(entry.path());
      std::stringstream buffer;
      buffer << in.rdbuf();
      const std::string text = buffer.str();
      for (const char* call : kRaisingCalls) {
        for (size_t at = text.find(call); at != std::string::npos; at = text.find(call, at + 1)) {
          if (at > 0 && (std::isalnum(static_cast<unsigned char>(text[at - 1])) || text[at - 1] == '_')) continue;
          CollectNumbers(text, at + std::string(call).size(), numbers);
        }
      }
    }
  }
  return numbers;
}

TEST(ErrorTexts, EveryRaisedNumberHasOraclesText) {
  const std::set<int> numbers = RaisedNumbers();
  // The walk must see the source: a handful of well-known numbers at least.
  for (int known : {900, 942, 1031, 24344, 4063, 911}) EXPECT_TRUE(numbers.count(known)) << known;
  for (int code : numbers) {
    const std::string message = oraemu::OraMessage(code, {"X", "Y"});
    EXPECT_EQ(message.find("No message file"), std::string::npos) << message;
  }
}

TEST(ErrorTexts, MessagesAreFormattedAsOracleDoes) {
  EXPECT_EQ(oraemu::OraMessage(4063, {"package body \"APP.K\""}), "ORA-04063: package body \"APP.K\" has errors");
  EXPECT_EQ(oraemu::OraMessage(942), "ORA-00942: table or view does not exist");
  EXPECT_EQ(oraemu::OraMessage(99999), "ORA-99999: Message 99999 not found; No message file for product=RDBMS, facility=ORA");
}

}  // namespace
