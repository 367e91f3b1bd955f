// The one rendering of a column's type, shared by the export and the compare so
// that an unchanged column compares equal as text.
#ifndef SKELVANE_DICTIONARY_COLUMN_TYPE_TEXT_H
#define SKELVANE_DICTIONARY_COLUMN_TYPE_TEXT_H

#include <string>
#include <string_view>

namespace skelvane {

// The dictionary values of one column, all as read; the caller trims every one
// but dataType. NULL columns are empty texts.
struct TColumnTypeFields {
  std::string_view dataType;
  std::string_view precision;  // data_precision
  std::string_view scale;      // data_scale
  std::string_view length;     // data_length, in bytes
  std::string_view charLength; // char_length, in characters
  std::string_view charUsed;   // "B" or "C"
};

// NUMBER gets (precision) or (precision,scale) when a precision other than "0" is
// given. NCHAR and NVARCHAR2 get (char_length): their length is always counted in
// characters. Other types containing CHAR get (length BYTE) under "B" semantics and
// (char_length CHAR) under "C", so a column declared in characters keeps its
// declared width on a multibyte database. RAW gets (data_length). Everything else,
// lower-case spellings included, is returned unchanged.
std::string ColumnTypeText(const TColumnTypeFields& column);

// The rendering documents were written with before character lengths were read:
// the byte length for every CHAR type whatever the semantics, and RAW bare. The
// compare accepts it as equal so that older documents show no false differences.
std::string LegacyColumnTypeText(const TColumnTypeFields& column);

class TRowSource;

// Both renderings of the current row of a column row source (data_type,
// data_precision, data_scale, data_length, char_length, char_used), trimmed as
// described above.
std::string ColumnTypeTextOfRow(const TRowSource& row);
std::string LegacyColumnTypeTextOfRow(const TRowSource& row);

}  // namespace skelvane

#endif
