// Moving fetched rows into the caller's define buffers: static defines get
// each value converted to their external type; dynamic defines get it in
// pieces through their callback.
#include <cstring>

#include "oci/statement.h"
#include "oci/value_convert.h"

namespace oraemu::oci {

namespace {

constexpr ub2 kNullCode = 1405;
constexpr ub2 kTruncatedCode = 1406;

void* At(void* base, ub4 skip, ub4 row) {
  return base == nullptr ? nullptr : static_cast<char*>(base) + static_cast<size_t>(skip) * row;
}

template <class T>
void Store(void* where, T value) {
  if (where != nullptr) std::memcpy(where, &value, sizeof value);
}

// The bytes a dynamic define receives: character data as text, anything
// else in its external form.
std::string PieceData(const oraemu::Value& value, ub2 dty) {
  switch (dty) {
    case SQLT_CHR: case SQLT_LNG: case SQLT_STR: case SQLT_AFC: case SQLT_AVC: case SQLT_VCS:
    case SQLT_LVC: case SQLT_BIN: case SQLT_LBI:
      return ValueText(value);
  }
  return ToExternal(value, dty, 64).bytes;
}

// One value through the piece callback: FIRST_PIECE on the first call, one
// NEXT_PIECE call per further piece; the caller's ub4 holds each piece's length.
void DeliverPieces(DefineHandle& define, ub4 row, const oraemu::Value& value) {
  std::string data;
  if (!value.IsNull()) {
    data = PieceData(value, define.dty);
    if (define.valueSize > 0 && data.size() > static_cast<size_t>(define.valueSize)) {
      data.resize(static_cast<size_t>(define.valueSize));
    }
  }
  size_t sent = 0;
  ub1 piece = OCI_FIRST_PIECE;
  for (;;) {
    void* buffer = nullptr;
    ub4* length = nullptr;
    void* indicator = nullptr;
    ub2* returnCode = nullptr;
    ub1 answer = piece;
    sb4 status = define.callback(define.callbackContext, reinterpret_cast<OCIDefine*>(Out(&define)), row,
                                 &buffer, &length, &answer, &indicator, &returnCode);
    if (status != OCI_CONTINUE) throw ClientError(kCallbackError);
    if (value.IsNull()) {
      Store<sb2>(indicator, -1);
      Store<ub4>(length, 0);
      Store<ub2>(returnCode, kNullCode);
      return;
    }
    if (buffer == nullptr || length == nullptr) throw ClientError(kCallbackError);
    const size_t chunk = std::min<size_t>(*length, data.size() - sent);
    std::memcpy(buffer, data.data() + sent, chunk);
    *length = static_cast<ub4>(chunk);
    sent += chunk;
    if (sent == data.size()) {
      Store<sb2>(indicator, 0);
      Store<ub2>(returnCode, 0);
      return;
    }
    // A callback that keeps offering no room would never finish.
    if (chunk == 0) throw ClientError(kCallbackError);
    piece = OCI_NEXT_PIECE;
  }
}

// One value into a static define. Returns true when it was truncated.
bool DeliverValue(DefineHandle& define, ub4 row, const oraemu::Value& value) {
  const size_t size = define.valueSize > 0 ? static_cast<size_t>(define.valueSize) : 0;
  void* buffer = At(define.value, define.valueSkip ? define.valueSkip : static_cast<ub4>(size), row);
  void* indicator = At(define.indicator, define.indicatorSkip ? define.indicatorSkip : sizeof(sb2), row);
  void* length = At(define.returnLength, define.lengthSkip ? define.lengthSkip : sizeof(ub2), row);
  void* returnCode = At(define.returnCode, define.returnCodeSkip ? define.returnCodeSkip : sizeof(ub2), row);
  if (value.IsNull()) {
    if (indicator == nullptr) throw ClientError(kNullFetched);
    Store<sb2>(indicator, -1);
    Store<ub2>(length, 0);
    Store<ub2>(returnCode, kNullCode);
    return false;
  }
  ExternalValue external = ToExternal(value, define.dty, size);
  if (buffer != nullptr) std::memcpy(buffer, external.bytes.data(), std::min(external.bytes.size(), size));
  Store<ub2>(length, static_cast<ub2>(std::min<size_t>(external.returnLength, 0xFFFF)));
  if (!external.truncated) {
    Store<sb2>(indicator, 0);
    Store<ub2>(returnCode, 0);
    return false;
  }
  if (indicator == nullptr && returnCode == nullptr) throw ClientError(kTruncated);
  Store<sb2>(indicator, external.fullLength <= 0x7FFF ? static_cast<sb2>(external.fullLength) : sb2{-2});
  Store<ub2>(returnCode, kTruncatedCode);
  return true;
}

}  // namespace

sword DeliverRows(StmtHandle& stmt, ub4 nrows, const ErrorSink& sink) {
  const size_t left = stmt.result.rows.size() - stmt.nextRow;
  const ub4 rows = static_cast<ub4>(std::min<size_t>(nrows, left));
  bool truncated = false;
  stmt.rowsFetched = 0;
  for (ub4 r = 0; r < rows; ++r) {
    const auto& row = stmt.result.rows[stmt.nextRow];
    for (auto& define : stmt.defines) {
      if (define == nullptr || define->position == 0 || define->position > row.size()) continue;
      const oraemu::Value& value = row[define->position - 1];
      if ((define->mode & OCI_DYNAMIC_FETCH) != 0 && define->callback == nullptr) {
        throw ClientError(kUnimplemented);  // the polling protocol is not served
      }
      if (define->callback != nullptr) {
        DeliverPieces(*define, r, value);
      } else {
        truncated = DeliverValue(*define, r, value) || truncated;
      }
    }
    ++stmt.nextRow;
    ++stmt.rowsFetched;
    ++stmt.rowCount;
  }
  if (rows < nrows) {
    stmt.endReported = true;
    return sink.Report(kNoDataFound, OCI_NO_DATA);
  }
  if (truncated) return sink.Report(kTruncated, OCI_SUCCESS_WITH_INFO);
  return OCI_SUCCESS;
}

}  // namespace oraemu::oci
