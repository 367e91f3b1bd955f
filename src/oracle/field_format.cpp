#include "oracle/field_format.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace skelvane::oracle {

std::string FormatInteger(int64_t value) { return std::to_string(value); }

std::string FormatFloat(double value) {
  if (std::isnan(value)) return "NAN";
  if (std::isinf(value)) return value < 0 ? "-INF" : "INF";
  if (value == 0) return "0";

  // d.dddddddddddddde+XX: the 15 significant digits and the exponent.
  char buf[40];
  std::snprintf(buf, sizeof buf, "%.14e", value);
  std::string s(buf);
  std::string sign;
  size_t pos = 0;
  if (s[0] == '-') {
    sign.assign(1, '-');
    pos = 1;
  }
  size_t ePos = s.find('e');
  std::string digits;
  for (size_t i = pos; i < ePos; ++i)
    if (s[i] != '.') digits += s[i];
  int exponent = std::atoi(s.c_str() + ePos + 1) + 1;  // of 0.d1d2...
  while (digits.size() > 1 && digits.back() == '0') digits.pop_back();

  std::string out = sign;
  if (exponent >= -3 && exponent <= 15) {
    if (exponent <= 0) {
      out += "0.";
      out.append(static_cast<size_t>(-exponent), '0');
      out += digits;
    } else if (static_cast<size_t>(exponent) >= digits.size()) {
      out += digits;
      out.append(static_cast<size_t>(exponent) - digits.size(), '0');
    } else {
      out += digits.substr(0, static_cast<size_t>(exponent));
      out += '.';
      out += digits.substr(static_cast<size_t>(exponent));
    }
    return out;
  }
  out += digits[0];
  if (digits.size() > 1) {
    out += '.';
    out += digits.substr(1);
  }
  out += 'E';
  out += std::to_string(exponent - 1);
  return out;
}

std::string NormaliseLineEnds(const std::string& text) {
  std::string out;
  out.reserve(text.size() + text.size() / 16);
  for (size_t i = 0; i < text.size(); ++i) {
    char c = text[i];
    if (c == '\r') {
      out += "\r\n";
      if (i + 1 < text.size() && text[i + 1] == '\n') ++i;
    } else if (c == '\n') {
      out += "\r\n";
    } else {
      out += c;
    }
  }
  return out;
}

std::string RemoveCR(const std::string& text) {
  std::string out;
  out.reserve(text.size());
  for (char c : text)
    if (c != '\r') out += c;
  return out;
}

TDateParts DecodeOracleDate(const unsigned char* b) {
  TDateParts p;
  p.Year = (static_cast<int>(b[0]) - 100) * 100 + (static_cast<int>(b[1]) - 100);
  p.Month = b[2];
  p.Day = b[3];
  p.Hour = b[4] - 1;
  p.Minute = b[5] - 1;
  p.Second = b[6] - 1;
  return p;
}

namespace {

bool IsLeap(int y) { return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0; }

int DaysInMonth(int y, int m) {
  static const int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  return m == 2 && IsLeap(y) ? 29 : days[m - 1];
}

bool Valid(const TDateParts& p) {
  return p.Month >= 1 && p.Month <= 12 && p.Day >= 1 && p.Day <= DaysInMonth(p.Year, p.Month) &&
         p.Hour >= 0 && p.Hour < 24 && p.Minute >= 0 && p.Minute < 60 && p.Second >= 0 &&
         p.Second < 60;
}

// Proleptic Gregorian day number with 1970-01-01 as 0.
int64_t DaysFromCivil(int64_t y, int m, int d) {
  y -= m <= 2;
  const int64_t era = (y >= 0 ? y : y - 399) / 400;
  const int64_t yoe = y - era * 400;
  const int64_t doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  const int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + doe - 719468;
}

void CivilFromDays(int64_t z, int& y, int& m, int& d) {
  z += 719468;
  const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
  const int64_t doe = z - era * 146097;
  const int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const int64_t mp = (5 * doy + 2) / 153;
  d = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
  m = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
  y = static_cast<int>(yoe + era * 400 + (m <= 2));
}

const int64_t kEpochOffset = DaysFromCivil(1899, 12, 30);

}  // namespace

bool EncodeOracleDate(const TDateParts& p, unsigned char* b) {
  if (p.Year < -4712 || p.Year > 9999 || p.Year == 0 || !Valid(p)) return false;
  int century = p.Year >= 0 ? p.Year / 100 : -((-p.Year) / 100);
  int year = p.Year - century * 100;
  b[0] = static_cast<unsigned char>(century + 100);
  b[1] = static_cast<unsigned char>(year + 100);
  b[2] = static_cast<unsigned char>(p.Month);
  b[3] = static_cast<unsigned char>(p.Day);
  b[4] = static_cast<unsigned char>(p.Hour + 1);
  b[5] = static_cast<unsigned char>(p.Minute + 1);
  b[6] = static_cast<unsigned char>(p.Second + 1);
  return true;
}

TDateTime ToDateTime(const TDateParts& p) {
  double days = static_cast<double>(DaysFromCivil(p.Year, p.Month, p.Day) - kEpochOffset);
  double time = (p.Hour * 3600.0 + p.Minute * 60.0 + p.Second) / 86400.0;
  return TDateTime{days < 0 ? days - time : days + time};
}

TDateParts FromDateTime(TDateTime value) {
  double whole = std::trunc(value.Value);
  double fraction = std::fabs(value.Value - whole);
  int64_t days = static_cast<int64_t>(whole);
  int64_t seconds = std::llround(fraction * 86400.0);
  if (seconds >= 86400) {  // rounds up into the next day
    seconds -= 86400;
    days += whole < 0 ? -1 : 1;
  }
  TDateParts p;
  CivilFromDays(days + kEpochOffset, p.Year, p.Month, p.Day);
  p.Hour = static_cast<int>(seconds / 3600);
  p.Minute = static_cast<int>(seconds / 60 % 60);
  p.Second = static_cast<int>(seconds % 60);
  return p;
}

std::string FormatDateTime(const TDateParts& p) {
  char buf[64];
  std::snprintf(buf, sizeof buf, "%02d.%02d.%04d", p.Day, p.Month, p.Year);
  std::string out(buf);
  if (p.Hour != 0 || p.Minute != 0 || p.Second != 0) {
    std::snprintf(buf, sizeof buf, " %02d:%02d:%02d", p.Hour, p.Minute, p.Second);
    out += buf;
  }
  return out;
}

namespace {

// Reads an unsigned decimal of 1..maxDigits digits at `pos`.
bool ReadNumber(const std::string& s, size_t& pos, int maxDigits, int& out) {
  size_t start = pos;
  int v = 0;
  while (pos < s.size() && s[pos] >= '0' && s[pos] <= '9' &&
         pos - start < static_cast<size_t>(maxDigits)) {
    v = v * 10 + (s[pos] - '0');
    ++pos;
  }
  if (pos == start) return false;
  out = v;
  return true;
}

bool Expect(const std::string& s, size_t& pos, char c) {
  if (pos < s.size() && s[pos] == c) {
    ++pos;
    return true;
  }
  return false;
}

}  // namespace

bool ParseDateTime(const std::string& text, TDateParts& parts) {
  size_t b = 0, e = text.size();
  while (b < e && static_cast<unsigned char>(text[b]) <= ' ') ++b;
  while (e > b && static_cast<unsigned char>(text[e - 1]) <= ' ') --e;
  std::string s = text.substr(b, e - b);
  TDateParts p;
  p.Hour = p.Minute = p.Second = 0;
  size_t pos = 0;
  int first = 0;
  if (!ReadNumber(s, pos, 4, first)) return false;
  if (pos < s.size() && s[pos] == '-') {  // yyyy-mm-dd
    p.Year = first;
    if (!Expect(s, pos, '-') || !ReadNumber(s, pos, 2, p.Month) || !Expect(s, pos, '-') ||
        !ReadNumber(s, pos, 2, p.Day))
      return false;
  } else {  // dd.mm.yyyy
    p.Day = first;
    if (!Expect(s, pos, '.') || !ReadNumber(s, pos, 2, p.Month) || !Expect(s, pos, '.') ||
        !ReadNumber(s, pos, 4, p.Year))
      return false;
  }
  if (pos < s.size()) {
    if (s[pos] != ' ' && s[pos] != 'T') return false;
    while (pos < s.size() && (s[pos] == ' ' || s[pos] == 'T')) ++pos;
    if (!ReadNumber(s, pos, 2, p.Hour) || !Expect(s, pos, ':') || !ReadNumber(s, pos, 2, p.Minute))
      return false;
    if (Expect(s, pos, ':') && !ReadNumber(s, pos, 2, p.Second)) return false;
    if (pos != s.size()) return false;
  }
  if (p.Year < 1 || !Valid(p)) return false;
  parts = p;
  return true;
}

}  // namespace skelvane::oracle
