// Conversions of a TVariant to the kinds that variables and searches need.
#ifndef SKELVANE_ORACLE_VARIANT_CONVERT_H
#define SKELVANE_ORACLE_VARIANT_CONVERT_H

#include <cstdint>
#include <stdexcept>
#include <string>

#include "oracle/variant.h"

namespace skelvane::oracle {

// A value that does not convert to the kind asked for.
class EVariantError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Each raises EVariantError when the value has no such form (null, an array,
// a text that is no number or date, a number out of range).
int64_t VariantToInteger(const TVariant& v);  // floats round half to even
double VariantToFloat(const TVariant& v);
TDateTime VariantToDate(const TVariant& v);

// The text form: null and unassigned give "", numbers and dates as the fields
// show them. An array raises EVariantError.
std::string VariantToText(const TVariant& v);

const char* VariantKindName(TVariant::Kind kind);

}  // namespace skelvane::oracle

#endif
