// Select-list columns of a query: the external type each is fetched as, and
// the buffers the client fills.
#ifndef SKELVANE_ORACLE_QUERY_COLUMNS_H
#define SKELVANE_ORACLE_QUERY_COLUMNS_H

#include <deque>
#include <string>
#include <vector>

#include "oracle/oci.h"
#include "oracle/query.h"
#include "oracle/session.h"

namespace skelvane::oracle {

struct TColumnChoice {
  TExternalType Type = TExternalType::Text;
  ub2 Dty = SQLT_STR;   // external code given to the define
  int ElementSize = 1;  // bytes per row in the buffer; 0 for piecewise columns
};

// The describe step's choice for one column. `scale` is as described, with
// -127 at precision 0 already counted as 0.
TColumnChoice ChooseExternalType(int oracleType, int dataSize, int precision, int scale,
                                 bool stringFieldsOnly, const TSessionPreferences& prefs);

// One piece of a LONG or LONG RAW value; the memory stays put while the
// client writes into it.
struct TLongPiece {
  ub4 Size = 0;
  ub4 Returned = 0;
  std::vector<unsigned char> Memory;
};

struct TFieldData {
  std::string Name;
  ub2 DataSize = 0;
  ub2 DataType = 0;
  int Precision = 0;
  int Scale = 0;
  bool Nullable = true;
  TColumnChoice Choice;
  std::vector<unsigned char> Buffer;  // rows-per-fetch elements
  std::vector<sb2> Indicators;
  std::vector<ub2> Lengths;
  std::vector<ub2> ReturnCodes;
  std::deque<TLongPiece> Pieces;      // piecewise columns: the current row's value
  OCIDefine* Define = nullptr;

  // LONG and LONG RAW come in pieces, one row per fetch, unless the query
  // bounded its LONG columns (ElementSize set).
  bool Piecewise() const {
    return (Choice.Type == TExternalType::Long || Choice.Type == TExternalType::LongRaw) &&
           Choice.ElementSize == 0;
  }
  // All pieces joined.
  std::string LongValue() const;
};

// The dynamic define callback: hands out pieces of 4096, 8192, 16384 and then
// 32768 bytes. `octxp` is the column's TFieldData.
sb4 LongPieceCallback(void* octxp, OCIDefine* defnp, ub4 iter, void** bufpp, ub4** alenp,
                      ub1* piecep, void** indp, ub2** rcodep);

}  // namespace skelvane::oracle

#endif
