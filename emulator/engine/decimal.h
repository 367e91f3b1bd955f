// Exact signed integers as decimal text, for sequence values that exceed
// any machine integer (28 digits).
#ifndef ORAEMU_DECIMAL_H
#define ORAEMU_DECIMAL_H

#include <optional>
#include <string>

namespace oraemu {

// Canonical text of an integer literal ("007" -> "7", "1E27" -> 1 and 27
// zeros, "-0" -> "0"); nullopt when the literal is not an integer.
std::optional<std::string> CanonicalInteger(const std::string& literal, bool negative);

// -1, 0 or 1 for canonical integers.
int CompareIntegers(const std::string& a, const std::string& b);

// Approximate value, for checks that only need magnitudes.
long double ApproxValue(const std::string& canonical);

}  // namespace oraemu

#endif
