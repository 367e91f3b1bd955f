// TVariables: the declared bind variables of a query.
#ifndef SKELVANE_ORACLE_VARIABLES_H
#define SKELVANE_ORACLE_VARIABLES_H

#include <cstdint>
#include <string>
#include <vector>

#include "oracle/variant.h"

namespace skelvane::oracle {

// Type codes of declared variables.
enum : int {
  otSubst = 1, otInteger = 3, otFloat = 4, otString = 5, otLong = 8,
  otLongString = 10, otDate = 12, otLongRaw = 24, otChar = 97
};

struct TVariableData {
  std::string Name;               // normalised: ":" + upper case
  int TypeCode = otString;
  std::vector<unsigned char> Buffer;
  std::vector<int16_t> Indicators{-1};   // one per element: -1 null, 0 value
  uint16_t ActualLength = 0;
  int ElementCount = 1;           // > 1 after an array assignment
  int PLSQLTableCount = 0, PLSQLTableSize = 0;
  const void* BoundBuffer = nullptr;   // buffer address at the last bind
  bool Bound = false;                  // bound on the current statement handle

  // The value of element 0 as text (null gives ""), as Debug shows it.
  std::string ValueText() const;
  // The buffer size and external type a bind call gives this variable; a
  // string or char takes `stringBytes`, the server's largest with its terminator.
  void BindShape(int stringBytes, int& size, int& type) const;
};

// Raised by SetData for a stored form newer than this code reads.
inline constexpr const char* kInvalidVariablesVersion = "Invalid version of Query variables";


class TVariables {
 public:
  // AddVariable and AssignVariable; see the query for their effect on parsing.
  void AddVariable(const std::string& name, int typeCode);
  void AssignVariable(const std::string& name, const TVariant& value, bool convertCRLF,
                      bool zeroDateIsNull);
  int Count() const { return static_cast<int>(items_.size()); }
  TVariableData& operator[](int i) { return items_[i]; }
  const TVariableData& operator[](int i) const { return items_[i]; }
  int IndexOf(const std::string& normalisedName) const;
  static std::string NormaliseName(const std::string& name);
  // The value buffer of one element of a type code; -1 for an unsupported code.
  static int BufferSize(int typeCode);

  // The stored form of the declarations (versions 1 to 3).
  std::string Data() const;
  void SetData(const std::string& bytes);

 private:
  std::vector<TVariableData> items_;
};

}  // namespace skelvane::oracle

#endif
