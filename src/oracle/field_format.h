// Text forms of fetched values and the date arithmetic behind them.
//
// Dates read as "dd.mm.yyyy", followed by " hh:nn:ss" when the time of day is
// not midnight; numbers use "." as the decimal separator. These stand for the
// workstation's short date, long time and decimal formats, fixed so that a
// document exported on one machine reads the same on another.
#ifndef SKELVANE_ORACLE_FIELD_FORMAT_H
#define SKELVANE_ORACLE_FIELD_FORMAT_H

#include <cstdint>
#include <string>

#include "oracle/variant.h"

namespace skelvane::oracle {

// Decimal digits with a leading "-" when negative.
std::string FormatInteger(int64_t value);

// The general format with 15 significant digits: fixed notation while the
// exponent e of 0.d1d2... x 10^e lies in -3..15, else d1.d2...E[-]x;
// trailing zeros and a bare decimal point are dropped. 22 -> "22", 1e27 -> "1E27".
std::string FormatFloat(double value);

// Every LF, every CR and every CR LF pair becomes CR LF.
std::string NormaliseLineEnds(const std::string& text);

// The text without any CR.
std::string RemoveCR(const std::string& text);

struct TDateParts {
  int Year = 1899, Month = 12, Day = 30;
  int Hour = 0, Minute = 0, Second = 0;
  bool operator==(const TDateParts&) const = default;
};

// Oracle's 7-byte DATE: century+100, year+100, month, day, hour+1, minute+1, second+1.
TDateParts DecodeOracleDate(const unsigned char* bytes);
// False when the year is outside what the format holds (-4712..9999) or a part
// is out of range.
bool EncodeOracleDate(const TDateParts& parts, unsigned char* bytes);

// Days since 30-12-1899 with the time of day as the fraction (the fraction of a
// negative value counts forward from the start of its day).
TDateTime ToDateTime(const TDateParts& parts);
TDateParts FromDateTime(TDateTime value);

std::string FormatDateTime(const TDateParts& parts);

// Accepts the form FormatDateTime writes ("dd.mm.yyyy[ hh:nn[:ss]]") and ISO
// "yyyy-mm-dd[ hh:nn[:ss]]" (also with "T"); surrounding blanks are ignored.
bool ParseDateTime(const std::string& text, TDateParts& parts);

}  // namespace skelvane::oracle

#endif
