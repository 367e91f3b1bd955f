#include "update/code_steps.h"

#include <cctype>
#include <memory>
#include <string>
#include <vector>

#include "common/text.h"
#include "dictionary/grouped_lists.h"
#include "dictionary/row_sources.h"
#include "sdb/document_vocabulary.h"
#include "sdb/entry.h"
#include "update/table_steps.h"

namespace skelvane {
namespace {

using namespace sdb;

std::vector<std::string> DocumentColumnNames(const TTreeResult& view) {
  std::vector<std::string> names;
  TFieldInfo info;
  for (int index = 0; ReadFieldInfo(index, view, info); ++index) names.push_back(info.Name);
  return names;
}

std::string Joined(const std::vector<std::string>& names, const std::string& separator) {
  std::string text;
  for (size_t i = 0; i < names.size(); ++i) {
    if (i > 0) text += separator;
    text += names[i];
  }
  return text;
}

// Every name followed by ",", as the database side is built, so that an
// empty list differs from any list with a name in it.
std::string DatabaseColumnList(TRowSet& columns) {
  std::string list;
  for (columns.First(); !columns.Eof(); columns.Next()) list += columns.Value("column_name") + ",";
  return list;
}

std::string DocumentColumnList(const std::vector<std::string>& names) {
  std::string list;
  for (const std::string& name : names) list += name + ",";
  return list;
}

bool IsWordByte(unsigned char c) { return std::isalnum(c) || c == '_' || c == '$' || c == '#' || c == '.'; }

// Words of a trigger header: runs of name bytes and dots, quoted names kept
// whole (OWNER."Name" is one word).
std::vector<std::string> HeaderWords(const std::string& text, size_t limit) {
  std::vector<std::string> words;
  size_t i = 0;
  while (i < text.size() && words.size() < limit) {
    size_t end = i;
    while (end < text.size()) {
      if (text[end] == '"') {
        const size_t close = text.find('"', end + 1);
        end = close == std::string::npos ? text.size() : close + 1;
      } else if (IsWordByte(static_cast<unsigned char>(text[end]))) {
        ++end;
      } else {
        break;
      }
    }
    if (end == i) {
      ++i;
      continue;
    }
    words.push_back(text.substr(i, end - i));
    i = end;
  }
  return words;
}

// The last part of a possibly owner-qualified name, as the dictionary spells it.
std::string ObjectPart(const std::string& word) {
  std::string name = word;
  if (!name.empty() && name.back() == '"') {
    const size_t open = name.rfind('"', name.size() - 2);
    return open == std::string::npos ? name : name.substr(open + 1, name.size() - open - 2);
  }
  if (const size_t dot = name.rfind('.'); dot != std::string::npos) name.erase(0, dot + 1);
  return AnsiUpperCase(name);
}

}  // namespace

std::string TriggerTarget(const std::string& text) {
  // The header ends long before the 64th word in any trigger Oracle accepts
  // with ON in it; the body's words are never reached through ON.
  const std::vector<std::string> words = HeaderWords(text, 64);
  for (size_t i = 1; i + 1 < words.size(); ++i) {
    if (AnsiUpperCase(words[i]) != "ON") continue;
    size_t at = i + 1;
    // ON NESTED TABLE column OF view
    if (AnsiUpperCase(words[at]) == "NESTED" && at + 4 < words.size()) at += 4;
    const std::string target = ObjectPart(words[at]);
    return target == "SCHEMA" || target == "DATABASE" ? std::string() : target;
  }
  return {};
}

void CheckTrigger(TCompareContext& c, const TTreeResult& trigger) {
  const std::string name = GetEntryValue(trigger, kKeyName);
  const std::string body = RightTrimmed(GetEntryValue(trigger, kKeyTriggerBody));

  const std::unique_ptr<TRowSource> row = c.Source.Query(TDictionaryRead::OneTrigger, name);
  // The document holds description and body joined, as the export writes them.
  const bool differs =
      row->Eof() || RightTrimmed(row->Value("description") + row->Value("trigger_body")) != body;
  const bool enabled = row->Eof() || row->Value("status") != kStatusDisabled;
  if (differs) {
    c.Execute("CREATE OR REPLACE TRIGGER " + body, "\t\tcreate trigger " + name,
              {TEffectKind::ReplaceTrigger, {}, name, {}, body});
  }
  // A trigger switched off where the document was written stays off: it is
  // created enabled, so it is switched off after creating it.
  if (GetEntryValue(trigger, kKeyStatus) == kStatusDisabled && (differs || enabled))
    c.Execute("ALTER TRIGGER " + name + " DISABLE", "\t\tdisable trigger " + name,
              {TEffectKind::DisableTrigger, {}, name});
}

void CheckStoredCode(TCompareContext& c, const TTreeResult& routine, TDictionaryRead read,
                     const std::string& kind) {
  const std::string name = GetEntryValue(routine, kKeyName);
  const std::string text = RightTrimmed(GetEntryValue(routine, kKeyText));

  TFuncList sources;
  {
    const std::unique_ptr<TRowSource> rows = c.Source.Query(read, name);
    sources.ClearItems();
    sources.Fill(*rows);
  }
  const TFuncData* found = sources.FindByName(name);
  if (found == nullptr || RightTrimmed(found->Text) != text) {
    const TEffectKind effect =
        read == TDictionaryRead::OneFunction ? TEffectKind::ReplaceFunction : TEffectKind::ReplaceProcedure;
    c.Execute("CREATE OR REPLACE " + text, "\t\tcreate " + kind + " " + name, {effect, {}, name, {}, text});
  }
}

void CheckView(TCompareContext& c, const std::string& viewName, const TTreeResult& view,
               const TRowSource* view2, TRowSet* columns, bool missing) {
  const std::string text = RightTrimmed(GetEntryValue(view, kKeyText));
  const std::vector<std::string> names = DocumentColumnNames(view);

  bool replace = missing || view2 == nullptr || columns == nullptr;
  if (!replace) replace = RightTrimmed(view2->Value("text")) != text;
  if (!replace) replace = DocumentColumnList(names) != DatabaseColumnList(*columns);
  if (!replace) return;

  std::string statement = "CREATE OR REPLACE VIEW " + viewName + " ";
  if (!names.empty()) statement += "(" + Joined(names, ", ") + ") ";
  statement += "AS " + text;
  TStatementEffect effect{TEffectKind::ReplaceView, {}, viewName, {}, text};
  for (const std::string& name : names) effect.Columns.push_back({name});
  c.Execute(statement, "\tCreate view \"" + viewName + "\"", effect);
}

}  // namespace skelvane
