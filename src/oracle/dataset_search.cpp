#include "oracle/dataset_search.h"

#include <cmath>

#include "common/text.h"
#include "oracle/variant_convert.h"

namespace skelvane::oracle {

namespace {

bool Has(const TSearchRecordOptions& o, TSearchRecordOption x) { return o.count(x) != 0; }

std::string FoldText(std::string text, const TSearchRecordOptions& options, bool trim) {
  if (trim) text = RightTrimmed(text);
  if (Has(options, TSearchRecordOption::srIgnoreCase)) text = AnsiUpperCase(text);
  return text;
}

}  // namespace

bool SearchOptionsValid(const TSearchRecordOptions& o) {
  using O = TSearchRecordOption;
  auto both = [&](O a, O b) { return Has(o, a) && Has(o, b); };
  return !(both(O::srFromBeginning, O::srFromEnd) || both(O::srFromBeginning, O::srFromCurrent) ||
           both(O::srFromEnd, O::srFromCurrent) || both(O::srForward, O::srBackward) ||
           both(O::srForward, O::srFromEnd) || both(O::srBackward, O::srFromBeginning));
}

std::vector<std::string> SplitKeyColumns(const std::string& keyColumns) {
  std::vector<std::string> names;
  size_t start = 0;
  while (true) {
    size_t semi = keyColumns.find(';', start);
    names.push_back(Trimmed(keyColumns.substr(start, semi == std::string::npos ? std::string::npos : semi - start)));
    if (semi == std::string::npos) break;
    start = semi + 1;
  }
  return names;
}

TKeyTest MakeKeyTest(const TFieldSpec& field, const TVariant& value, const TSearchRecordOptions& options,
                     bool trim) {
  TKeyTest t;
  if (value.IsNullOrUnassigned() ||
      (value.kind() == TVariant::Kind::String && value.StringValue().empty()))
    return t;
  const bool asText =
      Has(options, TSearchRecordOption::srPartialMatch) || Has(options, TSearchRecordOption::srWildcards);
  if (!asText) {
    switch (field.Kind) {
      case TFieldKind::Integer:
      case TFieldKind::SmallInt:
        t.KeyMode = TKeyTest::Mode::Integer;
        t.Integer = VariantToInteger(value);
        return t;
      case TFieldKind::Float:
        t.KeyMode = TKeyTest::Mode::Float;
        t.Float = VariantToFloat(value);
        return t;
      case TFieldKind::DateTime:
        t.KeyMode = TKeyTest::Mode::Date;
        t.Float = VariantToDate(value).Value;
        if (Has(options, TSearchRecordOption::srDateOnly)) t.Float = std::trunc(t.Float);
        return t;
      default:
        break;
    }
  }
  t.Text = FoldText(VariantToText(value), options, trim);
  t.KeyMode = t.Text.empty() ? TKeyTest::Mode::Null : TKeyTest::Mode::Text;
  return t;
}

bool KeyMatches(const TFieldSpec& field, const TFieldValue& value, const TKeyTest& test,
                const TSearchRecordOptions& options, bool trim) {
  if (test.KeyMode == TKeyTest::Mode::Null) {
    if (value.Null) return true;
    return (field.Kind == TFieldKind::String || field.Kind == TFieldKind::Memo) && value.Text.empty();
  }
  if (value.Null) return false;
  switch (test.KeyMode) {
    case TKeyTest::Mode::Integer: return value.Integer == test.Integer;
    case TKeyTest::Mode::Float: return value.Float == test.Float;
    case TKeyTest::Mode::Date: {
      double d = value.Float;
      if (Has(options, TSearchRecordOption::srDateOnly)) d = std::trunc(d);
      return d == test.Float;
    }
    default: break;
  }
  std::string text = FoldText(FieldValueText(field, value), options, trim);
  if (Has(options, TSearchRecordOption::srWildcards)) return WildcardMatch(text, test.Text);
  if (Has(options, TSearchRecordOption::srPartialMatch) && text.size() > test.Text.size())
    text.resize(test.Text.size());
  return text == test.Text;
}

bool WildcardMatch(const std::string& text, const std::string& pattern) {
  size_t t = 0, p = 0, star = std::string::npos, mark = 0;
  while (t < text.size()) {
    if (p < pattern.size() && (pattern[p] == '?' || pattern[p] == text[t])) {
      ++t;
      ++p;
    } else if (p < pattern.size() && pattern[p] == '*') {
      star = p++;
      mark = t;
    } else if (star != std::string::npos) {
      p = star + 1;
      t = ++mark;
    } else {
      return false;
    }
  }
  while (p < pattern.size() && pattern[p] == '*') ++p;
  return p == pattern.size();
}

}  // namespace skelvane::oracle
