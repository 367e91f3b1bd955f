#include "oracle/variables.h"

#include <cstring>
#include <stdexcept>

#include "common/text.h"
#include "oracle/field_format.h"
#include "oracle/oci.h"
#include "oracle/variant_convert.h"

namespace skelvane::oracle {

namespace {

const int kStoredVersion = 3;

bool IsStringType(int code) { return code == otString || code == otLongString || code == otChar; }
bool IsLongType(int code) { return code == otLong || code == otLongRaw; }

[[noreturn]] void ConversionError(const std::string& name) {
  throw std::runtime_error("Variant conversion error for variable " + name);
}

// Writes one non-null element; raises EVariantError when the value does not convert.
void StoreElement(TVariableData& v, int element, const TVariant& value, bool convertCRLF,
                  bool zeroDateIsNull) {
  const int size = TVariables::BufferSize(v.TypeCode);
  unsigned char* at = v.Buffer.data() + static_cast<size_t>(element) * size;
  int16_t& ind = v.Indicators[element];
  switch (v.TypeCode) {
    case otInteger: {
      int64_t n = VariantToInteger(value);
      if (n < INT32_MIN || n > INT32_MAX)
        throw EVariantError("Integer value out of range: " + FormatInteger(n));
      int32_t i = static_cast<int32_t>(n);
      std::memcpy(at, &i, sizeof i);
      ind = 0;
      v.ActualLength = sizeof i;
      return;
    }
    case otFloat: {
      double d = VariantToFloat(value);
      std::memcpy(at, &d, sizeof d);
      ind = 0;
      v.ActualLength = sizeof d;
      return;
    }
    case otDate: {
      TDateTime dt = VariantToDate(value);
      if (dt.Value == 0 && zeroDateIsNull) {
        ind = -1;
        return;
      }
      if (!EncodeOracleDate(FromDateTime(dt), at)) throw EVariantError("Date out of range");
      ind = 0;
      v.ActualLength = 7;
      return;
    }
    default:
      break;
  }
  if (IsStringType(v.TypeCode)) {
    std::string text = VariantToText(value);
    if (convertCRLF) text = RemoveCR(text);
    if (text.size() > static_cast<size_t>(size - 1)) text.resize(static_cast<size_t>(size - 1));
    std::memcpy(at, text.data(), text.size());
    at[text.size()] = 0;
    ind = 0;
    v.ActualLength = static_cast<uint16_t>(text.size() + 1);
    return;
  }
  // Substitution and LONG values have no fixed buffer: it takes the value's size.
  if (v.TypeCode == otSubst || IsLongType(v.TypeCode)) {
    std::string text = VariantToText(value);
    if (v.TypeCode == otLong && convertCRLF) text = RemoveCR(text);
    v.Buffer.assign(text.begin(), text.end());
    ind = 0;
    v.ActualLength = static_cast<uint16_t>(text.size() > 0xFFFF ? 0xFFFF : text.size());
    return;
  }
  throw EVariantError("Values of this variable type are not supported");
}

void PutInt(std::string& out, int32_t v) {
  uint32_t u = static_cast<uint32_t>(v);
  for (int i = 0; i < 4; ++i) out += static_cast<char>((u >> (8 * i)) & 0xFF);
}

class TReader {
 public:
  explicit TReader(const std::string& bytes) : s_(bytes) {}
  int32_t Int() {
    if (s_.size() - pos_ < 4) Corrupt();
    uint32_t u = 0;
    for (int i = 0; i < 4; ++i) u |= static_cast<uint32_t>(static_cast<unsigned char>(s_[pos_ + i])) << (8 * i);
    pos_ += 4;
    return static_cast<int32_t>(u);
  }
  std::string Bytes(int32_t n) {
    if (n < 0 || s_.size() - pos_ < static_cast<size_t>(n)) Corrupt();
    std::string out = s_.substr(pos_, static_cast<size_t>(n));
    pos_ += static_cast<size_t>(n);
    return out;
  }
  [[noreturn]] static void Corrupt() { throw std::runtime_error("Query variables data is damaged"); }

 private:
  const std::string& s_;
  size_t pos_ = 0;
};

}  // namespace

std::string TVariableData::ValueText() const {
  if (Indicators.empty() || Indicators[0] != 0) return {};
  switch (TypeCode) {
    case otInteger: {
      int32_t i;
      std::memcpy(&i, Buffer.data(), sizeof i);
      return FormatInteger(i);
    }
    case otFloat: {
      double d;
      std::memcpy(&d, Buffer.data(), sizeof d);
      return FormatFloat(d);
    }
    case otDate: return FormatDateTime(DecodeOracleDate(Buffer.data()));
    case otSubst:
    case otLong:
    case otLongRaw: return std::string(Buffer.begin(), Buffer.end());
    default:
      if (IsStringType(TypeCode)) return std::string(reinterpret_cast<const char*>(Buffer.data()));
      return {};
  }
}

void TVariableData::BindShape(int stringBytes, int& size, int& type) const {
  type = TypeCode;
  switch (TypeCode) {
    case otString:
    case otChar: size = stringBytes; break;
    case otLongString: size = TVariables::BufferSize(otLongString); type = SQLT_STR; break;
    case otLong:
    case otLongRaw: size = static_cast<int>(Buffer.size()); break;
    default: size = TVariables::BufferSize(TypeCode); break;
  }
}

int TVariables::BufferSize(int typeCode) {
  switch (typeCode) {
    case otSubst: return 0;
    case otInteger: return 4;
    case otFloat: return 8;
    case otString: return 4001;
    case otLong: return 0;
    case otLongString: return 32513;
    case otDate: return 7;
    case otLongRaw: return 0;
    case otChar: return 4001;
    case 108: case 110: case 112: case 113: case 114: case 116: case 187: case 188: case 232:
      return 0;
    default: return -1;
  }
}

std::string TVariables::NormaliseName(const std::string& name) {
  if (!name.empty() && name[0] == ':') return AnsiUpperCase(name);
  return ":" + AnsiUpperCase(name);
}

int TVariables::IndexOf(const std::string& normalisedName) const {
  for (size_t i = 0; i < items_.size(); ++i)
    if (items_[i].Name == normalisedName) return static_cast<int>(i);
  return -1;
}

void TVariables::AddVariable(const std::string& name, int typeCode) {
  if (name.empty() || name == ":") throw std::runtime_error("You cannot declare a variable with an empty name");
  int size = BufferSize(typeCode);
  if (size < 0) throw std::runtime_error("Unsupported variable type");
  TVariableData v;
  v.Name = NormaliseName(name);
  v.TypeCode = typeCode;
  v.Buffer.assign(static_cast<size_t>(size), 0);
  int i = IndexOf(v.Name);
  if (i >= 0)
    items_[static_cast<size_t>(i)] = std::move(v);
  else
    items_.push_back(std::move(v));
}

void TVariables::AssignVariable(const std::string& name, const TVariant& value, bool convertCRLF,
                                bool zeroDateIsNull) {
  const std::string n = NormaliseName(name);
  int i = IndexOf(n);
  if (i < 0) throw std::runtime_error("Variable " + n + " not declared");
  TVariableData& v = items_[static_cast<size_t>(i)];
  const int size = BufferSize(v.TypeCode);
  try {
    if (value.IsArray()) {
      // Array DML: one element per item, executed as that many iterations.
      if (size <= 0) throw EVariantError("Arrays of this variable type are not supported");
      const auto& items = value.Items();
      if (items.empty()) throw EVariantError("Empty array");
      v.ElementCount = static_cast<int>(items.size());
      v.Buffer.assign(items.size() * static_cast<size_t>(size), 0);
      v.Indicators.assign(items.size(), -1);
      for (size_t e = 0; e < items.size(); ++e)
        if (!items[e].IsNullOrUnassigned())
          StoreElement(v, static_cast<int>(e), items[e], convertCRLF, zeroDateIsNull);
      return;
    }
    if (v.ElementCount != 1) {
      v.ElementCount = 1;
      v.Buffer.resize(static_cast<size_t>(size > 0 ? size : 0));
      v.Indicators.assign(1, -1);
    }
    if (value.IsNullOrUnassigned()) {
      v.Indicators[0] = -1;
      return;
    }
    StoreElement(v, 0, value, convertCRLF, zeroDateIsNull);
  } catch (const EVariantError&) {
    ConversionError(n);
  }
}

std::string TVariables::Data() const {
  std::string out;
  PutInt(out, kStoredVersion);
  PutInt(out, Count());
  for (const auto& v : items_) {
    PutInt(out, static_cast<int32_t>(v.Name.size()));
    out += v.Name;
    PutInt(out, v.TypeCode);
    std::string value = v.ValueText();
    PutInt(out, static_cast<int32_t>(value.size()));
    out += value;
    if (v.PLSQLTableCount > 0) {
      PutInt(out, 1);
      PutInt(out, v.PLSQLTableCount);
      PutInt(out, v.PLSQLTableSize);
    } else {
      PutInt(out, 0);
    }
  }
  return out;
}

void TVariables::SetData(const std::string& bytes) {
  TReader r(bytes);
  int32_t version = r.Int();
  if (version > kStoredVersion || version < 1) throw std::runtime_error(kInvalidVariablesVersion);
  int32_t count = r.Int();
  if (count < 0) TReader::Corrupt();
  TVariables read;
  for (int32_t k = 0; k < count; ++k) {
    std::string name = r.Bytes(r.Int());
    int32_t type = r.Int();
    read.AddVariable(name, type);
    TVariableData& v = read.items_[static_cast<size_t>(read.IndexOf(NormaliseName(name)))];
    if (version >= 2) {
      std::string value = r.Bytes(r.Int());
      // The stored value is the text as written; it reads back unconverted.
      if (!value.empty()) read.AssignVariable(name, TVariant(value), false, false);
    }
    if (version >= 3 && r.Int() == 1) {
      v.PLSQLTableCount = r.Int();
      v.PLSQLTableSize = r.Int();
    }
  }
  *this = std::move(read);
}

}  // namespace skelvane::oracle
