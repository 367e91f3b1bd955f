// How two exported documents are held equal after a round trip: system-made
// constraint names masked, the known differences (each with its reason, in
// one table) applied to both sides, and sections still being built left out.
#ifndef SKELVANE_TESTS_ROUNDTRIP_DOCUMENT_EQUALITY_H
#define SKELVANE_TESTS_ROUNDTRIP_DOCUMENT_EQUALITY_H

#include <set>
#include <string>
#include <vector>

#include "roundtrip/schema_generator.h"

namespace skelvane::roundtrip {

// Every "SYS_C" followed by digits, not inside a longer name, becomes "SYS_C#":
// the database numbers them, so two databases never agree on them.
std::string MaskSystemNames(const std::string& document);

// A difference that the document format or the database makes unavoidable.
struct TKnownDifference {
  const char* what;
  const char* reason;
  std::string (*normalize)(const std::string& document);
};
const std::vector<TKnownDifference>& KnownDifferences();

// A part of the round trip that is not in place yet: its document section is
// left out of the comparison, its statements are not counted against
// idempotence, and the generator does not produce its features.
struct TPendingSection {
  std::string section;  // the document's top-level node name; empty: features only
  std::vector<TFeature> features;
  std::string reason;
};
const std::vector<TPendingSection>& PendingSections();
std::set<TFeature> FeaturesNotPending();

// The document as the equality check sees it: masked, normalized by every
// known difference, pending sections emptied.
std::string ComparableDocument(const std::string& document);

// "line N:\n  first: ...\n  second: ..." for the first differing line, or
// empty when the two are equal.
std::string FirstDifference(const std::string& first, const std::string& second);

// The document section a DDL statement belongs to, by its leading words
// ("tables", "sequences", ... "db_links"); "other" when none fits.
std::string SectionOfStatement(const std::string& statement);

}  // namespace skelvane::roundtrip

#endif
