#include "update/sequence_step.h"

#include <string>

#include "dictionary/generated_columns.h"
#include "sdb/document_vocabulary.h"
#include "sdb/entry.h"

namespace skelvane {
namespace {

using namespace sdb;

// Servers before 12c report "no upper bound" as 1E27; later ones as 28 nines,
// which the export writes as 1E28 and which MAXVALUE would refuse.
bool MeansNoMaxValue(const std::string& maxValue) {
  return maxValue == "1E27" || maxValue == "1E28";
}

// The lower bound of a falling sequence without one is 27 nines below zero,
// which reads as -1E27; written back as MINVALUE it would have 28 digits.
bool MeansNoMinValue(const std::string& minValue) { return minValue == "-1E27"; }

std::string CreateSequenceStatement(const TCompareContext& c, const TTreeResult& sequence,
                                     const std::string& name) {
  const std::string increment = GetEntryValue(sequence, kKeyIncrementBy);
  const std::string maxValue = GetEntryValue(sequence, kKeyMaxValue);
  const std::string start =
      c.Host.SequenceSetZero() ? std::string("0") : GetEntryValue(sequence, kKeyLastNumber);

  std::string statement = "CREATE SEQUENCE " + c.Host.UserNameText() + "." + name +
                          " START WITH " + start;
  statement += MeansNoMaxValue(maxValue) ? " NOMAXVALUE" : " MAXVALUE " + maxValue;
  const std::string minValue = GetEntryValue(sequence, kKeyMinValue);
  statement += MeansNoMinValue(minValue) ? " NOMINVALUE" : " MINVALUE " + minValue;
  if (increment != "1") statement += " INCREMENT BY " + increment;
  statement += GetEntryValue(sequence, kKeyCycle) == "N" ? " NOCYCLE" : " CYCLE";
  statement += GetEntryValue(sequence, kKeyOrder) == "N" ? " NOORDER" : " ORDER";
  const std::string cache = GetEntryValue(sequence, kKeyCache);
  statement += cache == "0" ? std::string(" NOCACHE") : " CACHE " + cache;
  return statement;
}

}  // namespace

void CheckSequence(TCompareContext& c, const TTreeResult& sequence, TRowSet& sequences) {
  const std::string name = GetEntryValue(sequence, kKeyName);
  // Documents of earlier versions list identity sequences; the identity
  // column makes its own, and Oracle keeps the name for itself.
  if (IsIdentitySequenceName(name)) return;
  // An existing sequence is never altered: its current value belongs to the data.
  if (sequences.Locate("sequence_name", oracle::TVariant(name))) return;
  c.Execute(CreateSequenceStatement(c, sequence, name), "\t\tnot found " + name,
            {TEffectKind::CreateSequence, {}, name});
}

}  // namespace skelvane
