// TOracleDataSet: all rows of a query in memory, with keyed search.
// Public interface fixed for the layers above; the implementation may add
// private members freely.
#ifndef SKELVANE_ORACLE_DATASET_H
#define SKELVANE_ORACLE_DATASET_H

#include <cstdint>
#include <memory>
#include <stdexcept>
#include <set>
#include <string>
#include <vector>

#include "oracle/query.h"
#include "oracle/variant.h"

namespace skelvane::oracle {

enum class TFieldKind { Integer, SmallInt, Float, String, Memo, DateTime, Bytes };

class TField {
 public:
  virtual ~TField() = default;
  virtual const std::string& FieldName() const = 0;
  virtual TFieldKind Kind() const = 0;
  virtual bool IsNull() const = 0;
  virtual std::string AsString() const = 0;
  // Typed values; null reads as 0. A text that is no number reads as 0.
  virtual int64_t AsInteger() const = 0;
  virtual double AsFloat() const = 0;
  virtual TDateTime AsDateTime() const = 0;
};

enum class TSearchRecordOption {
  srForward, srBackward, srFromCurrent, srFromBeginning, srFromEnd,
  srIgnoreCase, srDateOnly, srWildcards, srPartialMatch, srDontMove
};
using TSearchRecordOptions = std::set<TSearchRecordOption>;

// A database error that is not EOracleError (missing field and the like).
class EDatabaseError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

class TOracleDataSet {
 public:
  TOracleDataSet();
  ~TOracleDataSet();
  TOracleDataSet(const TOracleDataSet&) = delete;
  TOracleDataSet& operator=(const TOracleDataSet&) = delete;

  std::string Name;  // component name, for messages
  TOracleQuery& Query();  // the inner query: SQL, Variables, Session
  void SetSession(TOracleSession* session);
  void SetSQL(std::vector<std::string> lines);
  void AddVariable(const std::string& name, int typeCode);
  void AssignVariable(const std::string& name, const TVariant& value);

  void Open();
  void Close();
  bool Active() const;
  void First();
  void Next();
  bool Eof() const;
  int RecordCount() const;
  int FieldCount() const;
  TField& Field(int index);
  TField& FieldForColumn(const std::string& name);

  bool LocateRecord(const std::string& keyColumns, const TVariant& keyValues);
  bool SearchRecord(const std::string& keyColumns, const TVariant& keyValues,
                    const TSearchRecordOptions& options);

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

}  // namespace skelvane::oracle

#endif
