// Keyed search over the records of a data set.
#ifndef SKELVANE_ORACLE_DATASET_SEARCH_H
#define SKELVANE_ORACLE_DATASET_SEARCH_H

#include <string>
#include <vector>

#include "oracle/dataset.h"
#include "oracle/dataset_field.h"

namespace skelvane::oracle {

// False for the contradictory pairs: from-beginning with from-end or
// from-current, from-end with from-current, forward with backward or
// from-end, backward with from-beginning.
bool SearchOptionsValid(const TSearchRecordOptions& options);

// The ";"-separated names, each trimmed.
std::vector<std::string> SplitKeyColumns(const std::string& keyColumns);

// What one key value is compared as.
struct TKeyTest {
  enum class Mode { Null, Integer, Float, Date, Text };
  Mode KeyMode = Mode::Null;
  int64_t Integer = 0;
  double Float = 0;
  std::string Text;
};

// Raises EVariantError when the value does not convert to the field's kind.
TKeyTest MakeKeyTest(const TFieldSpec& field, const TVariant& value, const TSearchRecordOptions& options,
                     bool trimStringFields);

bool KeyMatches(const TFieldSpec& field, const TFieldValue& value, const TKeyTest& test,
                const TSearchRecordOptions& options, bool trimStringFields);

// "*" any run of bytes, "?" any one byte; everything else literal.
bool WildcardMatch(const std::string& text, const std::string& pattern);

}  // namespace skelvane::oracle

#endif
