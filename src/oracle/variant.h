// TVariant: the loosely typed value that variables are assigned and that
// data-set searches take as key values.
#ifndef SKELVANE_ORACLE_VARIANT_H
#define SKELVANE_ORACLE_VARIANT_H

#include <cstdint>
#include <string>
#include <vector>

namespace skelvane::oracle {

// Date and time as days since 30-12-1899, the fraction being the time of day.
struct TDateTime {
  double Value = 0;
};

class TVariant {
 public:
  enum class Kind { Unassigned, Null, Integer, Float, String, Date, Array };

  TVariant() = default;
  TVariant(const char* s) : kind_(Kind::String), s_(s) {}
  TVariant(std::string s) : kind_(Kind::String), s_(std::move(s)) {}
  TVariant(int v) : kind_(Kind::Integer), i_(v) {}
  TVariant(int64_t v) : kind_(Kind::Integer), i_(v) {}
  TVariant(double v) : kind_(Kind::Float), f_(v) {}
  TVariant(TDateTime d) : kind_(Kind::Date), f_(d.Value) {}
  TVariant(std::vector<TVariant> items) : kind_(Kind::Array), items_(std::move(items)) {}
  static TVariant Null() { TVariant v; v.kind_ = Kind::Null; return v; }

  Kind kind() const { return kind_; }
  bool IsNullOrUnassigned() const { return kind_ == Kind::Null || kind_ == Kind::Unassigned; }
  bool IsArray() const { return kind_ == Kind::Array; }
  const std::string& StringValue() const { return s_; }
  int64_t IntegerValue() const { return i_; }
  double FloatValue() const { return f_; }  // also the date value
  const std::vector<TVariant>& Items() const { return items_; }

 private:
  Kind kind_ = Kind::Unassigned;
  std::string s_;
  int64_t i_ = 0;
  double f_ = 0;
  std::vector<TVariant> items_;
};

}  // namespace skelvane::oracle

#endif
