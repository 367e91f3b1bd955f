#include "oracle/variant_convert.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>

#include "common/text.h"
#include "oracle/field_format.h"

namespace skelvane::oracle {

const char* VariantKindName(TVariant::Kind kind) {
  switch (kind) {
    case TVariant::Kind::Unassigned: return "Empty";
    case TVariant::Kind::Null: return "Null";
    case TVariant::Kind::Integer: return "Integer";
    case TVariant::Kind::Float: return "Double";
    case TVariant::Kind::String: return "String";
    case TVariant::Kind::Date: return "Date";
    case TVariant::Kind::Array: return "Array";
  }
  return "Unknown";
}

namespace {

[[noreturn]] void Fail(const TVariant& v, const char* target) {
  throw EVariantError(std::string("Could not convert variant of type (") + VariantKindName(v.kind()) +
                      ") into type (" + target + ")");
}

bool ParseFloat(const std::string& text, double& out) {
  std::string s = Trimmed(text);
  if (s.empty()) return false;
  errno = 0;
  char* end = nullptr;
  double d = std::strtod(s.c_str(), &end);
  if (end != s.c_str() + s.size() || errno == ERANGE || !std::isfinite(d)) return false;
  out = d;
  return true;
}

int64_t RoundToInteger(const TVariant& v, double d) {
  double r = std::nearbyint(d);  // the default rounding mode: half to even
  if (!(r >= -9223372036854775808.0 && r < 9223372036854775808.0)) Fail(v, "Int64");
  return static_cast<int64_t>(r);
}

}  // namespace

int64_t VariantToInteger(const TVariant& v) {
  switch (v.kind()) {
    case TVariant::Kind::Integer: return v.IntegerValue();
    case TVariant::Kind::Float:
    case TVariant::Kind::Date: return RoundToInteger(v, v.FloatValue());
    case TVariant::Kind::String: {
      std::string s = Trimmed(v.StringValue());
      if (!s.empty()) {
        errno = 0;
        char* end = nullptr;
        long long n = std::strtoll(s.c_str(), &end, 10);
        if (end == s.c_str() + s.size() && errno != ERANGE) return n;
      }
      double d = 0;
      if (ParseFloat(v.StringValue(), d)) return RoundToInteger(v, d);
      Fail(v, "Integer");
    }
    default: Fail(v, "Integer");
  }
}

double VariantToFloat(const TVariant& v) {
  switch (v.kind()) {
    case TVariant::Kind::Integer: return static_cast<double>(v.IntegerValue());
    case TVariant::Kind::Float:
    case TVariant::Kind::Date: return v.FloatValue();
    case TVariant::Kind::String: {
      double d = 0;
      if (ParseFloat(v.StringValue(), d)) return d;
      Fail(v, "Double");
    }
    default: Fail(v, "Double");
  }
}

TDateTime VariantToDate(const TVariant& v) {
  switch (v.kind()) {
    case TVariant::Kind::Integer: return TDateTime{static_cast<double>(v.IntegerValue())};
    case TVariant::Kind::Float:
    case TVariant::Kind::Date: return TDateTime{v.FloatValue()};
    case TVariant::Kind::String: {
      TDateParts p;
      if (ParseDateTime(v.StringValue(), p)) return ToDateTime(p);
      Fail(v, "Date");
    }
    default: Fail(v, "Date");
  }
}

std::string VariantToText(const TVariant& v) {
  switch (v.kind()) {
    case TVariant::Kind::Unassigned:
    case TVariant::Kind::Null: return {};
    case TVariant::Kind::Integer: return FormatInteger(v.IntegerValue());
    case TVariant::Kind::Float: return FormatFloat(v.FloatValue());
    case TVariant::Kind::String: return v.StringValue();
    case TVariant::Kind::Date: return FormatDateTime(FromDateTime(TDateTime{v.FloatValue()}));
    case TVariant::Kind::Array: break;
  }
  Fail(v, "String");
}

}  // namespace skelvane::oracle
