// roundtrip-schema SEED DIR: writes users.sql (run as SYSTEM) and owner.sql
// (run as the owner) of one generated schema, to rebuild it by hand.
#include <fstream>
#include <iostream>
#include <string>

#include "roundtrip/document_equality.h"
#include "roundtrip/schema_generator.h"

int main(int argc, char** argv) {
  if (argc != 3) {
    std::cerr << "usage: roundtrip-schema SEED DIR\n";
    return 64;
  }
  using namespace skelvane::roundtrip;
  const auto schema = GenerateSchema(static_cast<uint32_t>(std::stoul(argv[1])), FeaturesNotPending());
  const std::string dir = argv[2];
  std::ofstream(dir + "/users.sql", std::ios::binary) << UsersScript(TUsers{});
  std::ofstream owner(dir + "/owner.sql", std::ios::binary);
  owner << schema.ownerScript;
  if (!owner) {
    std::cerr << "roundtrip-schema: cannot write into " << dir << "\n";
    return 2;
  }
  std::cout << "seed " << schema.seed << ": " << schema.ObjectCount() << " objects; owner "
            << TUsers{}.owner << "/" << TUsers{}.ownerPassword << "\n";
  return 0;
}
