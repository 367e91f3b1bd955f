#pragma once
// The one rendering of a column's type, shared by the export and the compare so
// that an unchanged column compares equal as text.

#include <string>
#include <string_view>

namespace skelvane {

// dataType as read; the other four trimmed by the caller. NULL columns are empty texts.
// NUMBER gets (precision) or (precision,scale) when a precision other than "0" is
// given; a type containing CHAR gets (length BYTE|CHAR) after the semantics "B"/"C";
// everything else, lower-case spellings included, is returned unchanged.
std::string ColumnTypeText(std::string_view dataType, std::string_view precision,
                           std::string_view scale, std::string_view length,
                           std::string_view lengthSemantics);

}  // namespace skelvane
