#include "engine/decimal.h"

#include <cstdlib>

namespace oraemu {

std::optional<std::string> CanonicalInteger(const std::string& literal, bool negative) {
  std::string digits;
  long exponent = 0;
  bool seenPoint = false;
  size_t i = 0;
  for (; i < literal.size(); ++i) {
    char c = literal[i];
    if (c >= '0' && c <= '9') {
      digits += c;
      if (seenPoint) --exponent;
    } else if (c == '.' && !seenPoint) {
      seenPoint = true;
    } else {
      break;
    }
  }
  if (digits.empty()) return std::nullopt;
  if (i < literal.size()) {
    if (literal[i] != 'e' && literal[i] != 'E') return std::nullopt;
    std::string e = literal.substr(i + 1);
    if (e.empty() || e.size() > 4 || e.find_first_not_of("+-0123456789") != std::string::npos) return std::nullopt;
    exponent += std::strtol(e.c_str(), nullptr, 10);
  }
  if (exponent > 0) {
    if (exponent > 200) return std::nullopt;
    digits.append(static_cast<size_t>(exponent), '0');
  } else if (exponent < 0) {
    size_t drop = static_cast<size_t>(-exponent);
    if (drop > digits.size()) drop = digits.size();
    if (digits.find_first_not_of('0', digits.size() - drop) != std::string::npos) return std::nullopt;
    digits.resize(digits.size() - drop);
  }
  size_t nz = digits.find_first_not_of('0');
  if (nz == std::string::npos) return std::string("0");
  digits = digits.substr(nz);
  return negative ? "-" + digits : digits;
}

int CompareIntegers(const std::string& a, const std::string& b) {
  bool na = !a.empty() && a[0] == '-';
  bool nb = !b.empty() && b[0] == '-';
  if (na != nb) return na ? -1 : 1;
  std::string ma = na ? a.substr(1) : a;
  std::string mb = nb ? b.substr(1) : b;
  int mag = ma.size() != mb.size() ? (ma.size() < mb.size() ? -1 : 1) : (ma < mb ? -1 : ma > mb ? 1 : 0);
  return na ? -mag : mag;
}

long double ApproxValue(const std::string& canonical) { return std::strtold(canonical.c_str(), nullptr); }

}  // namespace oraemu
