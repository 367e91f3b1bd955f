// The seed's way to the dictionary: every read runs its own data-module
// statement, one round trip (at least) per object.
#ifndef SKELVANE_DICTIONARY_PER_OBJECT_SOURCE_H
#define SKELVANE_DICTIONARY_PER_OBJECT_SOURCE_H

#include <memory>
#include <string>

#include "dictionary/dictionary_source.h"
#include "dictionary/dm.h"

namespace skelvane {

class TPerObjectSource : public TDictionarySource {
 public:
  explicit TPerObjectSource(TDM& dm) : dm_(dm) {}
  // Executes the read's query; the statements that the compare closed after
  // use are closed again when the reader is destroyed.
  std::unique_ptr<TRowSource> Query(TDictionaryRead read, const std::string& name = {}) override;
  // Opens the read's data set; it is closed when the reader is destroyed.
  std::unique_ptr<TRowSet> Open(TDictionaryRead read, const std::string& name = {}) override;

 private:
  TDM& dm_;
};

}  // namespace skelvane

#endif
