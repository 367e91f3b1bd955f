// Random but reproducible schemas for the round-trip property: from one seed,
// the SQL scripts that build an owner with tables of every column type,
// indexes, keys, checks, sequences, code, views, grants, synonyms and links.
#ifndef SKELVANE_TESTS_ROUNDTRIP_SCHEMA_GENERATOR_H
#define SKELVANE_TESTS_ROUNDTRIP_SCHEMA_GENERATOR_H

#include <cstdint>
#include <map>
#include <set>
#include <string>

namespace skelvane::roundtrip {

// What a generated schema may hold. A feature left out of the set is never
// generated, so a schema can be narrowed to what a database can take.
enum class TFeature {
  UniqueConstraints,
  CheckConstraints,
  ForeignKeys,
  Sequences,
  DescendingSequences,
  DescendingDefaultBounds,  // a descending sequence that leaves MINVALUE to the database
  Triggers,
  Functions,
  Procedures,
  Views,
  Grants,
  PrivateSynonyms,
  PublicSynonyms,
  DatabaseLinks,
  MultiLineComments,
  ViewsOverLaterViews,
  PaddedTableComments,  // the last: AllFeatures counts up to it
};

std::set<TFeature> AllFeatures();
const char* FeatureName(TFeature feature);

// The users every database of a round trip starts with: the schema's owner,
// granted what the demo owner is granted, and a second user to grant to.
struct TUsers {
  std::string owner = "RT_APP";
  std::string ownerPassword = "rt_app_pw";
  std::string peer = "RT_PEER";
  std::string peerPassword = "rt_peer_pw";
};

// The script SYSTEM runs in every database of the round trip.
std::string UsersScript(const TUsers& users);

struct TGeneratedSchema {
  uint32_t seed = 0;
  std::string ownerScript;  // run as the owner in the first database only
  // Objects by kind ("table", "column", "sequence", ...), and by the column
  // type written in the script ("VARCHAR2 CHAR", "RAW", ...).
  std::map<std::string, int> objects;
  std::map<std::string, int> columnTypes;
  int ObjectCount() const;
};

TGeneratedSchema GenerateSchema(uint32_t seed, const std::set<TFeature>& features = AllFeatures());

}  // namespace skelvane::roundtrip

#endif
