// The generator is only useful while it is reproducible and reaches every
// column type and object kind the round trip is meant to cover.
#include <gtest/gtest.h>

#include "roundtrip/schema_generator.h"

namespace skelvane::roundtrip {
namespace {

TEST(SchemaGenerator, OneSeedAlwaysGivesTheSameScriptAndSeedsDiffer) {
  EXPECT_EQ(GenerateSchema(7).ownerScript, GenerateSchema(7).ownerScript);
  EXPECT_NE(GenerateSchema(7).ownerScript, GenerateSchema(8).ownerScript);
}

TEST(SchemaGenerator, FiftySeedsReachEveryColumnTypeAndObjectKind) {
  std::map<std::string, int> types, objects;
  for (uint32_t seed = 1; seed <= 50; ++seed) {
    const auto s = GenerateSchema(seed);
    for (const auto& [k, n] : s.columnTypes) types[k] += n;
    for (const auto& [k, n] : s.objects) objects[k] += n;
  }
  for (const char* type : {"NUMBER", "NUMBER(p)", "NUMBER(p,s)", "VARCHAR2 BYTE", "VARCHAR2 CHAR", "VARCHAR2",
                           "CHAR BYTE", "CHAR CHAR", "NVARCHAR2", "NCHAR", "RAW", "DATE", "TIMESTAMP", "CLOB",
                           "BLOB", "FLOAT", "LONG"})
    EXPECT_GT(types[type], 0) << type;
  for (const char* kind : {"table", "comment", "index", "unique index", "primary key", "unique constraint",
                           "check constraint", "foreign key", "multi-column foreign key", "self-referencing foreign key",
                           "sequence", "trigger",
                           "function", "procedure", "view", "grant", "private synonym", "public synonym",
                           "database link", "view over a later view"})
    EXPECT_GT(objects[kind], 0) << kind;
}

TEST(SchemaGenerator, LeftOutFeaturesLeaveNoTrace) {
  struct TCase {
    TFeature feature;
    const char* word;
  };
  const TCase cases[] = {{TFeature::Sequences, "SEQUENCE"},   {TFeature::Triggers, "TRIGGER"},
                         {TFeature::Views, "VIEW"},           {TFeature::Grants, "GRANT "},
                         {TFeature::DatabaseLinks, "LINK"},   {TFeature::PublicSynonyms, "PUBLIC SYNONYM"},
                         {TFeature::ForeignKeys, "FOREIGN"},  {TFeature::UniqueConstraints, " UNIQUE ("},
                         {TFeature::Functions, "FUNCTION"},   {TFeature::Procedures, "PROCEDURE"},
                         {TFeature::DescendingDefaultBounds, "INCREMENT BY -3"},
                         {TFeature::ViewsOverLaterViews, "V_0"}};
  for (const auto& c : cases) {
    auto features = AllFeatures();
    features.erase(c.feature);
    for (uint32_t seed = 1; seed <= 20; ++seed) {
      const std::string script = GenerateSchema(seed, features).ownerScript;
      EXPECT_EQ(script.find(c.word), std::string::npos) << FeatureName(c.feature) << ", seed " << seed;
    }
  }
}

TEST(SchemaGenerator, NoTableGetsTwoLongColumns) {
  for (uint32_t seed = 1; seed <= 200; ++seed) {
    const std::string script = GenerateSchema(seed).ownerScript;
    for (size_t table = script.find("CREATE TABLE"); table != std::string::npos;
         table = script.find("CREATE TABLE", table + 1)) {
      const std::string body = script.substr(table, script.find(";\n", table) - table);
      size_t longs = 0;
      for (size_t p = body.find(" LONG"); p != std::string::npos; p = body.find(" LONG", p + 1)) ++longs;
      EXPECT_LE(longs, 1u) << "seed " << seed << "\n" << body;
    }
  }
}

}  // namespace
}  // namespace skelvane::roundtrip
