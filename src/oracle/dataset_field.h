// The fields and records of a data set.
#ifndef SKELVANE_ORACLE_DATASET_FIELD_H
#define SKELVANE_ORACLE_DATASET_FIELD_H

#include <cstdint>
#include <string>
#include <vector>

#include "oracle/dataset.h"
#include "oracle/query.h"

namespace skelvane::oracle {

// One field's value in one record. Integer fields use Integer, float and
// date-time fields Float, the others Text.
struct TFieldValue {
  bool Null = true;
  int64_t Integer = 0;
  double Float = 0;
  std::string Text;
};

using TRecord = std::vector<TFieldValue>;

struct TRecordStore {
  std::vector<TRecord> Records;
  int Current = -1;  // -1: no record
};

struct TFieldSpec {
  std::string Name;
  TFieldKind Kind = TFieldKind::String;
  int Size = 0;
  bool FromLong = false;     // a LONG column: kept as fetched, never trimmed
  bool NoTextForm = false;   // LOBs and objects: nothing is kept
};

// The field kind for a query column (index) under the session's preferences.
TFieldSpec FieldSpecFor(const TOracleQuery& query, int index, const TSessionPreferences& prefs);

// The value a field keeps from the query's current row.
TFieldValue ReadFieldValue(const TOracleQuery& query, int index, const TFieldSpec& spec,
                           const TSessionPreferences& prefs);

// The text form of a kept value: null gives "", integers their digits, floats
// the general 15-digit format, dates as the query shows them, texts as kept.
std::string FieldValueText(const TFieldSpec& spec, const TFieldValue& value);

class TDataSetField : public TField {
 public:
  TDataSetField(const TRecordStore& store, int index, TFieldSpec spec)
      : store_(store), index_(index), spec_(std::move(spec)) {}

  const std::string& FieldName() const override { return spec_.Name; }
  TFieldKind Kind() const override { return spec_.Kind; }
  bool IsNull() const override;
  std::string AsString() const override;
  int64_t AsInteger() const override;
  double AsFloat() const override;
  TDateTime AsDateTime() const override;

  const TFieldSpec& Spec() const { return spec_; }
  int Index() const { return index_; }
  // The current record's value; a null value when there is no record.
  const TFieldValue& Value() const;

 private:
  const TRecordStore& store_;
  int index_;
  TFieldSpec spec_;
};

}  // namespace skelvane::oracle

#endif
