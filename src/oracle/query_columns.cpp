#include "oracle/query_columns.h"

#include <algorithm>

namespace skelvane::oracle {

namespace {

TColumnChoice Text(int size) { return {TExternalType::Text, SQLT_STR, std::max(size, 1)}; }

TColumnChoice NumberRule(int p, int s, bool floatColumn, bool stringFieldsOnly,
                         const TSessionPreferences& prefs) {
  if (s == -127) {
    s = 1;
    p = 38;
  }
  if (p == 0 && s == 0) p = 38;
  const int integerLimit = prefs.IntegerPrecision != 0 ? prefs.IntegerPrecision : 9;
  if (s <= 0 && p <= integerLimit && !stringFieldsOnly) return {TExternalType::Integer, SQLT_INT, 4};
  if (stringFieldsOnly || (prefs.FloatPrecision != 0 && prefs.FloatPrecision < p))
    return Text((s <= 0 ? p + 2 : p + 3) + (floatColumn ? 132 : 0));
  return {TExternalType::Float, SQLT_FLT, 8};
}

}  // namespace

TColumnChoice ChooseExternalType(int type, int dataSize, int precision, int scale,
                                 bool stringFieldsOnly, const TSessionPreferences& prefs) {
  switch (type) {
    case 2:  // NUMBER, FLOAT
      return NumberRule(precision, scale, scale == -127, stringFieldsOnly, prefs);
    case SQLT_BFLOAT: case SQLT_BDOUBLE: case SQLT_IBFLOAT: case SQLT_IBDOUBLE:
      return NumberRule(precision, scale, true, stringFieldsOnly, prefs);
    case SQLT_LNG: return {TExternalType::Long, SQLT_LNG, 0};
    case SQLT_LBI: return {TExternalType::LongRaw, SQLT_LBI, 0};
    case SQLT_RDD: case 69: case SQLT_RID: case 208:  // ROWID, UROWID
      return Text(std::max(dataSize + 1, 19));
    case SQLT_DAT: case 184:
      if (stringFieldsOnly) return Text(64);
      return {TExternalType::Date, SQLT_DAT, 7};
    case SQLT_BIN: return Text(2 * dataSize + 1);
    case 105: case 106: return Text(255);  // MLSLABEL
    // Timestamps always come as text: this system has no use for their descriptors.
    case 180: case 181: case 231: case SQLT_TIMESTAMP: case SQLT_TIMESTAMP_TZ: case SQLT_TIMESTAMP_LTZ:
      return Text(50);
    case 182: case 183: case SQLT_INTERVAL_YM: case SQLT_INTERVAL_DS: return Text(20);
    // Objects, references, LOBs, files and cursors have no text form.
    case 108: case 110: case 111: case SQLT_CLOB: case SQLT_BLOB: case SQLT_BFILEE: case 115:
    case SQLT_RSET: case SQLT_CUR: case 122:
      return {TExternalType::None, 0, 0};
    default: return Text(dataSize + 1);
  }
}

std::string TFieldData::LongValue() const {
  std::string out;
  size_t total = 0;
  for (const auto& p : Pieces) total += std::min(p.Returned, p.Size);
  out.reserve(total);
  for (const auto& p : Pieces)
    out.append(reinterpret_cast<const char*>(p.Memory.data()), std::min(p.Returned, p.Size));
  return out;
}

sb4 LongPieceCallback(void* octxp, OCIDefine*, ub4 iter, void** bufpp, ub4** alenp, ub1* piecep,
                      void** indp, ub2** rcodep) {
  auto* f = static_cast<TFieldData*>(octxp);
  try {
    if (*piecep != OCI_NEXT_PIECE) f->Pieces.clear();  // a new value starts
    ub4 size = 4096;
    if (!f->Pieces.empty()) {
      ub4 last = f->Pieces.back().Size;
      size = last < 32768 ? last * 2 : 32768;
    }
    f->Pieces.push_back(TLongPiece{size, size, std::vector<unsigned char>(size)});
  } catch (...) {
    return OCI_ERROR;  // the client turns this into a callback error
  }
  TLongPiece& piece = f->Pieces.back();
  *bufpp = piece.Memory.data();
  *alenp = &piece.Returned;
  const size_t row = iter < f->Indicators.size() ? iter : 0;
  f->Indicators[row] = 0;
  *indp = &f->Indicators[row];
  *rcodep = &f->ReturnCodes[row];
  return OCI_CONTINUE;
}

}  // namespace skelvane::oracle
