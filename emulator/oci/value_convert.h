// Conversions between the server's values (exact decimal text for numbers,
// "YYYY-MM-DD HH:MM:SS" for dates, bytes for text) and the caller's external
// types (SQLT_*). Pure functions; they throw EOraError as Oracle would.
#ifndef ORAEMU_OCI_VALUE_CONVERT_H
#define ORAEMU_OCI_VALUE_CONVERT_H

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "engine/engine.h"
#include "oracle/oci.h"

namespace oraemu::oci {

// A decimal number: value = (negative ? -1 : 1) * 0.d1d2d3... * 10^exponent,
// `digits` without leading or trailing zeros (empty for zero).
struct Decimal {
  bool negative = false;
  std::string digits;
  int exponent = 0;
};

// Accepts [blanks][+|-]digits[.digits][E[+|-]digits][blanks], also ".5".
std::optional<Decimal> ParseDecimal(std::string_view text);
// The text Oracle's TO_CHAR prints: "22", "-1.5", ".5", "1000000000000000000000000000".
std::string DecimalText(const Decimal& number);
// The number of a double as Oracle stores a bound C double (15 significant digits).
std::string DoubleToNumberText(double value);

// A calendar date and time of day.
struct DateTime {
  int year = 1, month = 1, day = 1, hour = 0, minute = 0, second = 0;
};
std::optional<DateTime> ParseDateText(std::string_view text);  // server form, ISO date, DD-MON-RR[RR]
std::string ServerDateText(const DateTime& date);                // "YYYY-MM-DD HH:MM:SS"
std::string DefaultDateText(const DateTime& date);               // NLS default "DD-MON-RR"
void EncodeOracleDate(const DateTime& date, unsigned char out[7]);
std::optional<DateTime> DecodeOracleDate(const unsigned char in[7]);

// Whether a define or bind of this external type is served.
bool IsSupportedDefineType(ub2 dty);
bool IsSupportedBindType(ub2 dty);

// A value converted for a define buffer of `size` bytes.
struct ExternalValue {
  std::string bytes;            // what goes into the buffer (never more than `size`)
  std::size_t returnLength = 0; // the length OCI reports in rlen
  std::size_t fullLength = 0;   // the untruncated length, for the indicator
  bool truncated = false;
};
// Throws EOraError (ORA-01722, ORA-01455, ORA-00932, ORA-01861).
ExternalValue ToExternal(const oraemu::Value& value, ub2 dty, std::size_t size);

// The text form of a value as a character define receives it.
std::string ValueText(const oraemu::Value& value);

// A bound value read from the caller's buffer. `length` is the bytes the
// caller says are valid (its alen, or the buffer size). Throws EOraError.
oraemu::Value FromExternal(const void* buffer, std::size_t size, std::size_t length, ub2 dty);

}  // namespace oraemu::oci

#endif
