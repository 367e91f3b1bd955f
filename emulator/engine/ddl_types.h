// Column data types as Oracle stores them in the column dictionary. The
// database character set is single-byte (CL8MSWIN1251), the national one
// AL16UTF16 (two bytes per character).
#ifndef ORAEMU_DDL_TYPES_H
#define ORAEMU_DDL_TYPES_H

#include "engine/catalog.h"
#include "engine/parser.h"

namespace oraemu {

// Reads a data type at the parser's position into the type fields of `c`
// (data_type, data_length, precision, scale, char_used, char_length).
// An unknown type word is ORA-00902 at it.
void ParseDataType(Parser& p, ColumnRow& c);

}  // namespace oraemu

#endif
