#include "oracle/dataset_field.h"

#include <cstdlib>

#include "common/text.h"
#include "oracle/field_format.h"

namespace skelvane::oracle {

TFieldSpec FieldSpecFor(const TOracleQuery& q, int index, const TSessionPreferences& prefs) {
  TFieldSpec spec;
  spec.Name = q.FieldName(index);
  spec.Size = q.FieldSize(index);
  switch (q.FieldType(index)) {
    case TExternalType::Integer: {
      const int limit = prefs.SmallIntPrecision == 0 ? 4 : prefs.SmallIntPrecision;
      spec.Kind = q.FieldPrecision(index) <= limit ? TFieldKind::SmallInt : TFieldKind::Integer;
      break;
    }
    case TExternalType::Float: spec.Kind = TFieldKind::Float; break;
    case TExternalType::Text:
      spec.Kind = prefs.MaxStringFieldSize != 0 && prefs.MaxStringFieldSize < spec.Size ? TFieldKind::Memo
                                                                                         : TFieldKind::String;
      break;
    case TExternalType::Long:
      spec.Kind = TFieldKind::Memo;
      spec.FromLong = true;
      break;
    case TExternalType::LongRaw: spec.Kind = TFieldKind::Bytes; break;
    case TExternalType::Date: spec.Kind = TFieldKind::DateTime; break;
    case TExternalType::None:
      spec.Kind = TFieldKind::Bytes;
      spec.NoTextForm = true;
      break;
  }
  return spec;
}

TFieldValue ReadFieldValue(const TOracleQuery& q, int index, const TFieldSpec& spec,
                           const TSessionPreferences& prefs) {
  TFieldValue v;
  if (spec.NoTextForm || q.FieldIsNull(index)) return v;
  v.Null = false;
  switch (spec.Kind) {
    case TFieldKind::Integer:
    case TFieldKind::SmallInt: v.Integer = q.FieldInteger(index); break;
    case TFieldKind::Float: v.Float = q.FieldFloat(index); break;
    case TFieldKind::DateTime: v.Float = q.FieldDate(index).Value; break;
    case TFieldKind::Bytes: v.Text = q.FieldBytes(index); break;
    case TFieldKind::String:
    case TFieldKind::Memo:
      v.Text = q.FieldText(index);
      if (!spec.FromLong) {
        if (prefs.TrimStringFields) v.Text = RightTrimmed(v.Text);
        if (v.Text.empty()) v.Null = true;
      }
      break;
  }
  return v;
}

std::string FieldValueText(const TFieldSpec& spec, const TFieldValue& value) {
  if (spec.NoTextForm) throw std::runtime_error("Cannot convert field " + spec.Name + " to a String");
  if (value.Null) return {};
  switch (spec.Kind) {
    case TFieldKind::Integer:
    case TFieldKind::SmallInt: return FormatInteger(value.Integer);
    case TFieldKind::Float: return FormatFloat(value.Float);
    case TFieldKind::DateTime: return FormatDateTime(FromDateTime(TDateTime{value.Float}));
    default: return value.Text;
  }
}

const TFieldValue& TDataSetField::Value() const {
  static const TFieldValue kNone;
  if (store_.Current < 0 || static_cast<size_t>(store_.Current) >= store_.Records.size()) return kNone;
  return store_.Records[static_cast<size_t>(store_.Current)][static_cast<size_t>(index_)];
}

bool TDataSetField::IsNull() const { return Value().Null; }

std::string TDataSetField::AsString() const { return FieldValueText(spec_, Value()); }

int64_t TDataSetField::AsInteger() const {
  const TFieldValue& v = Value();
  if (v.Null) return 0;
  switch (spec_.Kind) {
    case TFieldKind::Integer:
    case TFieldKind::SmallInt: return v.Integer;
    case TFieldKind::Float:
    case TFieldKind::DateTime: return static_cast<int64_t>(v.Float);
    default: return std::strtoll(v.Text.c_str(), nullptr, 10);
  }
}

double TDataSetField::AsFloat() const {
  const TFieldValue& v = Value();
  if (v.Null) return 0;
  switch (spec_.Kind) {
    case TFieldKind::Integer:
    case TFieldKind::SmallInt: return static_cast<double>(v.Integer);
    case TFieldKind::Float:
    case TFieldKind::DateTime: return v.Float;
    default: return std::strtod(v.Text.c_str(), nullptr);
  }
}

TDateTime TDataSetField::AsDateTime() const {
  const TFieldValue& v = Value();
  if (v.Null) return TDateTime{};
  if (spec_.Kind == TFieldKind::DateTime || spec_.Kind == TFieldKind::Float) return TDateTime{v.Float};
  TDateParts parts;
  if (ParseDateTime(v.Text, parts)) return ToDateTime(parts);
  return TDateTime{};
}

}  // namespace skelvane::oracle
