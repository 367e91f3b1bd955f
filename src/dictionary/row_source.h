// Where the dictionary's lists and renderings read rows from: a query, a data
// set or, in tests, rows held in memory. Nothing here depends on the access
// layer, so the compare and the tests can use it alone.
#ifndef SKELVANE_DICTIONARY_ROW_SOURCE_H
#define SKELVANE_DICTIONARY_ROW_SOURCE_H

#include <string>

namespace skelvane {

class TRowSource {
 public:
  virtual ~TRowSource() = default;
  virtual bool Eof() const = 0;
  virtual void Next() = 0;
  // The current row's value of `column`, by its lower-case dictionary name;
  // a column the row does not have throws.
  virtual std::string Value(const std::string& column) const = 0;
};

}  // namespace skelvane

#endif
