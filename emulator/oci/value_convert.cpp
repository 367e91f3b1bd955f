#include "oci/value_convert.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>

#include "oci/client_errors.h"

namespace oraemu::oci {

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }

std::string_view TrimBlanks(std::string_view text) {
  while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
  return text;
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

constexpr const char* kMonths[12] = {"JAN", "FEB", "MAR", "APR", "MAY", "JUN",
                                     "JUL", "AUG", "SEP", "OCT", "NOV", "DEC"};

bool IsLeap(int year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

int DaysInMonth(int year, int month) {
  static constexpr int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  return month == 2 && IsLeap(year) ? 29 : kDays[month - 1];
}

bool Valid(const DateTime& d) {
  return d.year >= 1 && d.year <= 9999 && d.month >= 1 && d.month <= 12 && d.day >= 1 &&
         d.day <= DaysInMonth(d.year, d.month) && d.hour >= 0 && d.hour < 24 && d.minute >= 0 &&
         d.minute < 60 && d.second >= 0 && d.second < 60;
}

// Reads exactly `count` digits at `pos`.
bool Digits(std::string_view text, std::size_t pos, std::size_t count, int& out) {
  if (pos + count > text.size()) return false;
  out = 0;
  for (std::size_t i = 0; i < count; ++i) {
    if (!IsDigit(text[pos + i])) return false;
    out = out * 10 + (text[pos + i] - '0');
  }
  return true;
}

std::string DateName(const oraemu::Value& value) {
  switch (value.kind) {
    case oraemu::Value::Kind::Number: return "NUMBER";
    case oraemu::Value::Kind::Date: return "DATE";
    default: return "CHAR";
  }
}

[[noreturn]] void Inconsistent(const char* expected, const oraemu::Value& value) {
  throw ClientError(kInconsistentTypes, std::string(expected) + " got " + DateName(value));
}

Decimal NumberOf(const oraemu::Value& value) {
  if (value.kind == oraemu::Value::Kind::Date) Inconsistent("NUMBER", value);
  auto number = ParseDecimal(value.text);
  if (!number) throw ClientError(kInvalidNumber);
  return *number;
}

DateTime DateOf(const oraemu::Value& value) {
  if (value.kind == oraemu::Value::Kind::Number) Inconsistent("DATE", value);
  auto date = ParseDateText(value.text);
  if (!date) throw ClientError(kLiteralMismatch);
  return *date;
}

// The integer part, truncated toward zero, range-checked for `size` bytes.
std::string IntegerBytes(const Decimal& number, std::size_t size, bool isUnsigned) {
  if (size != 1 && size != 2 && size != 4 && size != 8) throw ClientError(kIntegerOverflow);
  unsigned __int128 magnitude = 0;
  if (number.exponent > 0) {
    if (number.exponent > 20) throw ClientError(kIntegerOverflow);
    for (int i = 0; i < number.exponent; ++i) {
      int digit = i < static_cast<int>(number.digits.size()) ? number.digits[i] - '0' : 0;
      magnitude = magnitude * 10 + static_cast<unsigned>(digit);
    }
  }
  const int bits = static_cast<int>(size * 8);
  std::string bytes(size, '\0');
  if (isUnsigned) {
    if (number.negative && magnitude != 0) throw ClientError(kIntegerOverflow);
    unsigned __int128 limit = (static_cast<unsigned __int128>(1) << bits) - 1;
    if (magnitude > limit) throw ClientError(kIntegerOverflow);
    uint64_t v = static_cast<uint64_t>(magnitude);
    switch (size) {
      case 1: { uint8_t x = static_cast<uint8_t>(v); std::memcpy(bytes.data(), &x, 1); break; }
      case 2: { uint16_t x = static_cast<uint16_t>(v); std::memcpy(bytes.data(), &x, 2); break; }
      case 4: { uint32_t x = static_cast<uint32_t>(v); std::memcpy(bytes.data(), &x, 4); break; }
      default: std::memcpy(bytes.data(), &v, 8);
    }
    return bytes;
  }
  unsigned __int128 limit = static_cast<unsigned __int128>(1) << (bits - 1);  // |min|
  if (number.negative ? magnitude > limit : magnitude >= limit) throw ClientError(kIntegerOverflow);
  int64_t v = number.negative ? -static_cast<int64_t>(static_cast<uint64_t>(magnitude - 1)) - 1
                              : static_cast<int64_t>(static_cast<uint64_t>(magnitude));
  if (number.negative && magnitude == 0) v = 0;
  switch (size) {
    case 1: { int8_t x = static_cast<int8_t>(v); std::memcpy(bytes.data(), &x, 1); break; }
    case 2: { int16_t x = static_cast<int16_t>(v); std::memcpy(bytes.data(), &x, 2); break; }
    case 4: { int32_t x = static_cast<int32_t>(v); std::memcpy(bytes.data(), &x, 4); break; }
    default: std::memcpy(bytes.data(), &v, 8);
  }
  return bytes;
}

// Mantissa digits and a power of ten without a decimal point, so strtod's
// locale-dependent radix character never matters.
std::string ScientificForm(const Decimal& number) {
  if (number.digits.empty()) return "0";
  std::string text = number.negative ? "-" : "";
  text += number.digits;
  text += 'e';
  text += std::to_string(number.exponent - static_cast<int>(number.digits.size()));
  return text;
}

// Oracle's internal NUMBER bytes (exponent byte and base-100 digits).
std::string OracleNumberBytes(const Decimal& number) {
  if (number.digits.empty()) return std::string(1, static_cast<char>(0x80));
  std::string digits = number.digits;
  int exponent = number.exponent;
  if (exponent % 2 != 0) {
    digits.insert(digits.begin(), '0');
    ++exponent;
  }
  if (digits.size() % 2 != 0) digits += '0';
  if (digits.size() > 40) digits.resize(40);
  while (digits.size() >= 2 && digits.compare(digits.size() - 2, 2, "00") == 0) digits.resize(digits.size() - 2);
  const int power = exponent / 2;
  std::string bytes;
  bytes += static_cast<char>(number.negative ? 63 - power : 192 + power);
  for (std::size_t i = 0; i < digits.size(); i += 2) {
    int pair = (digits[i] - '0') * 10 + (digits[i + 1] - '0');
    bytes += static_cast<char>(number.negative ? 101 - pair : pair + 1);
  }
  if (number.negative && bytes.size() < 21) bytes += static_cast<char>(102);
  return bytes;
}

ExternalValue Whole(std::string bytes) {
  ExternalValue out;
  out.returnLength = out.fullLength = bytes.size();
  out.bytes = std::move(bytes);
  return out;
}

// Text into a buffer: `reserve` bytes are kept for a length prefix or a
// terminator; `pad` fills the rest with blanks.
ExternalValue Characters(const std::string& text, std::size_t size, std::size_t prefix,
                         bool terminator, bool pad) {
  ExternalValue out;
  out.fullLength = text.size();
  const std::size_t room = size > prefix + (terminator ? 1 : 0) ? size - prefix - (terminator ? 1 : 0) : 0;
  const std::size_t copied = std::min(room, text.size());
  out.truncated = copied < text.size();
  std::string body = text.substr(0, copied);
  if (pad && body.size() < room) body.append(room - body.size(), ' ');
  out.returnLength = body.size();
  if (prefix == 2) {
    uint16_t n = static_cast<uint16_t>(copied);
    out.bytes.assign(reinterpret_cast<const char*>(&n), 2);
  } else if (prefix == 4) {
    uint32_t n = static_cast<uint32_t>(copied);
    out.bytes.assign(reinterpret_cast<const char*>(&n), 4);
  }
  out.bytes += body;
  if (terminator && size > prefix) out.bytes += '\0';
  return out;
}

}  // namespace

std::optional<Decimal> ParseDecimal(std::string_view text) {
  text = TrimBlanks(text);
  Decimal number;
  std::size_t pos = 0;
  if (pos < text.size() && (text[pos] == '+' || text[pos] == '-')) number.negative = text[pos++] == '-';
  std::string digits;
  int point = 0;
  bool seenPoint = false, any = false;
  for (; pos < text.size(); ++pos) {
    char c = text[pos];
    if (IsDigit(c)) {
      digits += c;
      any = true;
      if (!seenPoint) ++point;
    } else if (c == '.' && !seenPoint) {
      seenPoint = true;
    } else {
      break;
    }
  }
  if (!any) return std::nullopt;
  if (pos < text.size() && (text[pos] == 'e' || text[pos] == 'E')) {
    ++pos;
    bool negativeExponent = false;
    if (pos < text.size() && (text[pos] == '+' || text[pos] == '-')) negativeExponent = text[pos++] == '-';
    if (pos >= text.size()) return std::nullopt;
    int exponent = 0;
    for (; pos < text.size() && IsDigit(text[pos]); ++pos) {
      if (exponent > 100000) return std::nullopt;
      exponent = exponent * 10 + (text[pos] - '0');
    }
    point += negativeExponent ? -exponent : exponent;
  }
  if (pos != text.size()) return std::nullopt;
  std::size_t lead = 0;
  while (lead < digits.size() && digits[lead] == '0') ++lead;
  digits.erase(0, lead);
  point -= static_cast<int>(lead);
  while (!digits.empty() && digits.back() == '0') digits.pop_back();
  if (digits.empty()) return Decimal{};
  number.digits = std::move(digits);
  number.exponent = point;
  return number;
}

std::string DecimalText(const Decimal& number) {
  if (number.digits.empty()) return "0";
  const int n = static_cast<int>(number.digits.size());
  const int e = number.exponent;
  std::string text = number.negative ? "-" : "";
  if (e >= n) {
    text += number.digits;
    text.append(static_cast<std::size_t>(e - n), '0');
  } else if (e > 0) {
    text += number.digits.substr(0, static_cast<std::size_t>(e));
    text += '.';
    text += number.digits.substr(static_cast<std::size_t>(e));
  } else {
    text += '.';
    text.append(static_cast<std::size_t>(-e), '0');
    text += number.digits;
  }
  return text;
}

std::string DoubleToNumberText(double value) {
  if (!std::isfinite(value)) throw ClientError(kInvalidNumber);
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, "%.14e", value);
  // The radix character follows the C locale of the calling program.
  for (char* p = buffer; *p != '\0'; ++p) {
    if (!IsDigit(*p) && *p != '-' && *p != '+' && *p != 'e') *p = '.';
  }
  auto number = ParseDecimal(buffer);
  return number ? DecimalText(*number) : "0";
}

std::optional<DateTime> ParseDateText(std::string_view text) {
  text = TrimBlanks(text);
  DateTime d;
  if (text.size() >= 10 && text[4] == '-' && text[7] == '-') {
    if (!Digits(text, 0, 4, d.year) || !Digits(text, 5, 2, d.month) || !Digits(text, 8, 2, d.day))
      return std::nullopt;
    if (text.size() == 19) {
      if (text[10] != ' ' || text[13] != ':' || text[16] != ':' || !Digits(text, 11, 2, d.hour) ||
          !Digits(text, 14, 2, d.minute) || !Digits(text, 17, 2, d.second))
        return std::nullopt;
    } else if (text.size() != 10) {
      return std::nullopt;
    }
  } else if ((text.size() == 9 || text.size() == 11) && text[2] == '-' && text[6] == '-') {
    if (!Digits(text, 0, 2, d.day)) return std::nullopt;
    d.month = 0;
    for (int m = 0; m < 12; ++m) {
      bool same = true;
      for (int i = 0; i < 3; ++i) {
        char c = text[3 + i];
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
        same = same && c == kMonths[m][i];
      }
      if (same) d.month = m + 1;
    }
    if (d.month == 0) return std::nullopt;
    if (text.size() == 9) {
      int yy = 0;
      if (!Digits(text, 7, 2, yy)) return std::nullopt;
      d.year = yy < 50 ? 2000 + yy : 1900 + yy;  // the RR rule in this century
    } else if (!Digits(text, 7, 4, d.year)) {
      return std::nullopt;
    }
  } else {
    return std::nullopt;
  }
  if (!Valid(d)) return std::nullopt;
  return d;
}

std::string ServerDateText(const DateTime& d) {
  char buffer[32];
  std::snprintf(buffer, sizeof buffer, "%04d-%02d-%02d %02d:%02d:%02d", d.year, d.month, d.day, d.hour,
                d.minute, d.second);
  return buffer;
}

std::string DefaultDateText(const DateTime& d) {
  char buffer[16];
  std::snprintf(buffer, sizeof buffer, "%02d-%s-%02d", d.day, kMonths[d.month - 1], d.year % 100);
  return buffer;
}

void EncodeOracleDate(const DateTime& d, unsigned char out[7]) {
  out[0] = static_cast<unsigned char>(d.year / 100 + 100);
  out[1] = static_cast<unsigned char>(d.year % 100 + 100);
  out[2] = static_cast<unsigned char>(d.month);
  out[3] = static_cast<unsigned char>(d.day);
  out[4] = static_cast<unsigned char>(d.hour + 1);
  out[5] = static_cast<unsigned char>(d.minute + 1);
  out[6] = static_cast<unsigned char>(d.second + 1);
}

std::optional<DateTime> DecodeOracleDate(const unsigned char in[7]) {
  if (in[0] < 100 || in[1] < 100) return std::nullopt;  // dates before the common era
  DateTime d;
  d.year = (in[0] - 100) * 100 + (in[1] - 100);
  d.month = in[2];
  d.day = in[3];
  d.hour = in[4] - 1;
  d.minute = in[5] - 1;
  d.second = in[6] - 1;
  if (!Valid(d)) return std::nullopt;
  return d;
}

bool IsSupportedDefineType(ub2 dty) {
  switch (dty) {
    case SQLT_CHR: case SQLT_STR: case SQLT_LNG: case SQLT_VCS: case SQLT_AFC: case SQLT_AVC:
    case SQLT_LVC: case SQLT_BIN: case SQLT_LBI: case SQLT_INT: case SQLT_UIN: case SQLT_FLT:
    case SQLT_BFLOAT: case SQLT_BDOUBLE: case SQLT_DAT: case SQLT_NUM: case SQLT_VNU:
      return true;
  }
  return false;
}

bool IsSupportedBindType(ub2 dty) {
  switch (dty) {
    case SQLT_CHR: case SQLT_STR: case SQLT_LNG: case SQLT_VCS: case SQLT_AFC: case SQLT_AVC:
    case SQLT_LVC: case SQLT_INT: case SQLT_UIN: case SQLT_FLT: case SQLT_BFLOAT:
    case SQLT_BDOUBLE: case SQLT_DAT:
      return true;
  }
  return false;
}

std::string ValueText(const oraemu::Value& value) {
  if (value.kind == oraemu::Value::Kind::Date) {
    auto date = ParseDateText(value.text);
    return date ? DefaultDateText(*date) : value.text;
  }
  return value.text;
}

ExternalValue ToExternal(const oraemu::Value& value, ub2 dty, std::size_t size) {
  switch (dty) {
    case SQLT_CHR: case SQLT_LNG: case SQLT_BIN: case SQLT_LBI:
      return Characters(ValueText(value), size, 0, false, false);
    case SQLT_AFC: return Characters(ValueText(value), size, 0, false, true);
    case SQLT_STR: return Characters(ValueText(value), size, 0, true, false);
    case SQLT_AVC: return Characters(ValueText(value), size, 0, true, true);
    case SQLT_VCS: return Characters(ValueText(value), size, 2, false, false);
    case SQLT_LVC: return Characters(ValueText(value), size, 4, false, false);
    case SQLT_INT: return Whole(IntegerBytes(NumberOf(value), size, false));
    case SQLT_UIN: return Whole(IntegerBytes(NumberOf(value), size, true));
    case SQLT_FLT: case SQLT_BFLOAT: case SQLT_BDOUBLE: {
      const std::string form = ScientificForm(NumberOf(value));
      const bool single = dty == SQLT_BFLOAT || (dty == SQLT_FLT && size == 4);
      if (!single && size < sizeof(double)) throw ClientError(kInconsistentTypes, "BINARY_DOUBLE got NUMBER");
      std::string bytes;
      if (single) {
        float f = std::strtof(form.c_str(), nullptr);
        bytes.assign(reinterpret_cast<const char*>(&f), sizeof f);
      } else {
        double d = std::strtod(form.c_str(), nullptr);
        bytes.assign(reinterpret_cast<const char*>(&d), sizeof d);
      }
      return Whole(std::move(bytes));
    }
    case SQLT_DAT: {
      unsigned char bytes[7];
      EncodeOracleDate(DateOf(value), bytes);
      return Whole(std::string(reinterpret_cast<const char*>(bytes), 7));
    }
    case SQLT_NUM: return Whole(OracleNumberBytes(NumberOf(value)));
    case SQLT_VNU: {
      std::string bytes = OracleNumberBytes(NumberOf(value));
      bytes.insert(bytes.begin(), static_cast<char>(bytes.size()));
      return Whole(std::move(bytes));
    }
  }
  throw ClientError(kUnimplemented);
}

oraemu::Value FromExternal(const void* buffer, std::size_t size, std::size_t length, ub2 dty) {
  const char* bytes = static_cast<const char*>(buffer);
  if (bytes == nullptr) return oraemu::Value::Null();
  switch (dty) {
    case SQLT_STR: case SQLT_AVC:
      return oraemu::Value::Text(std::string(bytes, strnlen(bytes, size)));
    case SQLT_CHR: case SQLT_AFC: case SQLT_LNG:
      return oraemu::Value::Text(std::string(bytes, std::min(length, size)));
    case SQLT_VCS: {
      if (size < 2) return oraemu::Value::Null();
      uint16_t n;
      std::memcpy(&n, bytes, 2);
      return oraemu::Value::Text(std::string(bytes + 2, std::min<std::size_t>(n, size - 2)));
    }
    case SQLT_LVC: {
      if (size < 4) return oraemu::Value::Null();
      uint32_t n;
      std::memcpy(&n, bytes, 4);
      return oraemu::Value::Text(std::string(bytes + 4, std::min<std::size_t>(n, size - 4)));
    }
    case SQLT_INT: {
      int64_t v = 0;
      switch (size) {
        case 1: { int8_t x; std::memcpy(&x, bytes, 1); v = x; break; }
        case 2: { int16_t x; std::memcpy(&x, bytes, 2); v = x; break; }
        case 4: { int32_t x; std::memcpy(&x, bytes, 4); v = x; break; }
        case 8: std::memcpy(&v, bytes, 8); break;
        default: throw ClientError(kIllegalVariable);
      }
      return oraemu::Value::Number(std::to_string(v));
    }
    case SQLT_UIN: {
      uint64_t v = 0;
      switch (size) {
        case 1: { uint8_t x; std::memcpy(&x, bytes, 1); v = x; break; }
        case 2: { uint16_t x; std::memcpy(&x, bytes, 2); v = x; break; }
        case 4: { uint32_t x; std::memcpy(&x, bytes, 4); v = x; break; }
        case 8: std::memcpy(&v, bytes, 8); break;
        default: throw ClientError(kIllegalVariable);
      }
      return oraemu::Value::Number(std::to_string(v));
    }
    case SQLT_FLT: case SQLT_BFLOAT: case SQLT_BDOUBLE: {
      double v = 0;
      if (size == sizeof(float) && dty != SQLT_BDOUBLE) {
        float f;
        std::memcpy(&f, bytes, sizeof f);
        v = f;
      } else if (size >= sizeof(double)) {
        std::memcpy(&v, bytes, sizeof v);
      } else {
        throw ClientError(kIllegalVariable);
      }
      return oraemu::Value::Number(DoubleToNumberText(v));
    }
    case SQLT_DAT: {
      if (size < 7) throw ClientError(kIllegalVariable);
      auto date = DecodeOracleDate(reinterpret_cast<const unsigned char*>(bytes));
      if (!date) throw ClientError(kLiteralMismatch);
      return oraemu::Value::Date(ServerDateText(*date));
    }
  }
  throw ClientError(kUnimplemented);
}

}  // namespace oraemu::oci
