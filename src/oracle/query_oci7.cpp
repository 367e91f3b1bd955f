#include "oracle/query_oci7.h"

#include <algorithm>
#include <cstring>

namespace skelvane::oracle {

namespace {

constexpr int kNotInSelectList = 1007;
constexpr int kNameBufferSize = 30;
// Oracle 7 binds take at most 2000 bytes of a string (one byte per character).
constexpr int kStringBindSize = 2000 + 1;

}  // namespace

std::vector<int> LongReadSizes(int requestIndex) {
  long request = kLongDefineSize;
  for (int i = 0; i < requestIndex && request < 32768; ++i) request *= 2;
  std::vector<int> reads;
  for (long left = request; left > 0; left -= kLongReadLimit) {
    reads.push_back(static_cast<int>(std::min<long>(left, kLongReadLimit)));
  }
  return reads;
}

void TCursor7::Open(TOracleSession& s) {
  if (open_) return;
  cda_ = Cda_Def{};
  s.Oci7().oopen(&cda_, s.LoginArea(), nullptr, -1, -1, nullptr, -1);
  if (cda_.rc != 0) s.RaiseError7(cda_.rc);
  open_ = true;
}

void TCursor7::Close(TOracleSession& s) noexcept {
  if (open_ && s.Connected() && s.Oci7().oclose) s.Oci7().oclose(&cda_);
  cda_ = Cda_Def{};
  open_ = false;
}

int TCursor7::Parse(TOracleSession& s, const std::string& text, bool deferred) {
  s.Oci7().oparse(&cda_, reinterpret_cast<OraText*>(const_cast<char*>(text.c_str())), -1, deferred ? 1 : 0,
                  OCI7_V7_BEHAVIOUR);
  return cda_.rc;
}

void TCursor7::Bind(TOracleSession& s, TVariables& variables) {
  for (int i = 0; i < variables.Count(); ++i) {
    TVariableData& v = variables[i];
    if (v.TypeCode == otSubst) continue;
    void* buf = v.Buffer.empty() ? nullptr : v.Buffer.data();
    if (v.Bound && v.BoundBuffer == buf) continue;
    int size, dty;
    v.BindShape(kStringBindSize, size, dty);
    s.Oci7().obndra(&cda_, reinterpret_cast<OraText*>(const_cast<char*>(v.Name.c_str())), -1,
                    static_cast<ub1*>(buf), size, dty, -1, v.Indicators.data(), nullptr, nullptr, 0, nullptr,
                    nullptr, -1, -1);
    if (cda_.rc != 0) s.RaiseError7(cda_.rc);
    v.Bound = true;
    v.BoundBuffer = buf;
  }
}

int TCursor7::Describe(TOracleSession& s, std::vector<std::unique_ptr<TFieldData>>& columns, int& rowsPerFetch,
                       int readBuffer, bool stringFieldsOnly, const TSessionPreferences& prefs) {
  columns.clear();
  rowsPerFetch = std::max(1, readBuffer);
  for (sword pos = 1;; ++pos) {
    sb4 size = 0, nameLength = kNameBufferSize, displaySize = 0;
    sb2 type = 0, precision = 0, scale = 0, nullable = 1;
    sb1 name[kNameBufferSize];
    s.Oci7().odescr(&cda_, pos, &size, &type, name, &nameLength, &displaySize, &precision, &scale, &nullable);
    if (cda_.rc == kNotInSelectList) return 0;
    if (cda_.rc != 0) return cda_.rc;
    auto f = std::make_unique<TFieldData>();
    f->Name.assign(reinterpret_cast<const char*>(name),
                   static_cast<size_t>(std::clamp<sb4>(nameLength, 0, kNameBufferSize)));
    f->DataSize = static_cast<ub2>(size);
    f->DataType = static_cast<ub2>(type);
    f->Precision = precision;
    f->Scale = (scale == -127 && precision == 0) ? 0 : scale;
    f->Nullable = nullable != 0;
    f->Choice = ChooseExternalType(type, size, f->Precision, f->Scale, stringFieldsOnly, prefs);
    if (f->Piecewise()) rowsPerFetch = 1;
    columns.push_back(std::move(f));
  }
}

void TCursor7::Define(TOracleSession& s, std::vector<std::unique_ptr<TFieldData>>& columns, int rowsPerFetch) {
  const size_t rows = static_cast<size_t>(rowsPerFetch);
  for (size_t i = 0; i < columns.size(); ++i) {
    TFieldData& f = *columns[i];
    f.Indicators.assign(rows, -1);
    f.Lengths.assign(rows, 0);
    f.ReturnCodes.assign(rows, 0);
    if (f.Choice.Type == TExternalType::None) continue;
    // A LONG gets a fixed buffer here; oflng reads what does not fit.
    const int element = f.Piecewise() ? kLongDefineSize : f.Choice.ElementSize;
    f.Buffer.assign(rows * static_cast<size_t>(element), 0);
    s.Oci7().odefin(&cda_, static_cast<sword>(i + 1), f.Buffer.data(), element, f.Choice.Dty, -1,
                    f.Indicators.data(), nullptr, -1, -1, f.Lengths.data(), f.ReturnCodes.data());
    if (cda_.rc != 0) s.RaiseError7(cda_.rc);
  }
}

int TCursor7::ExecuteFetch(TOracleSession& s, int rows) {
  s.Oci7().oexfet(&cda_, static_cast<ub4>(rows), 0, 0);
  return cda_.rc;
}

int TCursor7::Fetch(TOracleSession& s, int rows) {
  s.Oci7().ofen(&cda_, rows);
  return cda_.rc;
}

int TCursor7::Execute(TOracleSession& s, int iterations) {
  s.Oci7().oexn(&cda_, iterations, 0);
  return cda_.rc;
}

void TCursor7::ReadLongs(TOracleSession& s, std::vector<std::unique_ptr<TFieldData>>& columns) {
  for (size_t i = 0; i < columns.size(); ++i) {
    TFieldData& f = *columns[i];
    if (!f.Piecewise()) continue;
    f.Pieces.clear();
    if (f.Indicators[0] == -1) continue;
    const ub4 first = std::min<ub4>(f.Lengths[0], kLongDefineSize);
    f.Pieces.push_back(TLongPiece{kLongDefineSize, first,
                                  std::vector<unsigned char>(f.Buffer.begin(), f.Buffer.begin() + first)});
    // A value that filled the buffer may go on.
    if (first < static_cast<ub4>(kLongDefineSize)) continue;
    sb4 offset = kLongDefineSize;
    bool more = true;
    for (int request = 0; more; ++request) {
      for (int size : LongReadSizes(request)) {
        TLongPiece piece{static_cast<ub4>(size), 0, std::vector<unsigned char>(static_cast<size_t>(size))};
        s.Oci7().oflng(&cda_, static_cast<sword>(i + 1), piece.Memory.data(), size, f.Choice.Dty,
                       &piece.Returned, offset);
        if (cda_.rc != 0) s.RaiseError7(cda_.rc);
        piece.Returned = std::min<ub4>(piece.Returned, static_cast<ub4>(size));
        offset += static_cast<sb4>(piece.Returned);
        const bool full = piece.Returned == static_cast<ub4>(size);
        if (piece.Returned > 0) f.Pieces.push_back(std::move(piece));
        if (!full) {
          more = false;
          break;
        }
      }
    }
  }
}

}  // namespace skelvane::oracle
