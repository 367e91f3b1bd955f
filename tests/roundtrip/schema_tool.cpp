// roundtrip-schema [--all] SEED DIR: writes users.sql (run as SYSTEM) and
// owner.sql (run as the owner) of one generated schema, to rebuild it by hand.
// --all also generates the features the property test still leaves out.
#include <fstream>
#include <iostream>
#include <string>

#include "roundtrip/document_equality.h"
#include "roundtrip/schema_generator.h"

int main(int argc, char** argv) {
  using namespace skelvane::roundtrip;
  const bool all = argc == 4 && std::string(argv[1]) == "--all";
  if (argc != 3 && !all) {
    std::cerr << "usage: roundtrip-schema [--all] SEED DIR\n";
    return 64;
  }
  const std::string seed = argv[argc - 2], dir = argv[argc - 1];
  const auto schema = GenerateSchema(static_cast<uint32_t>(std::stoul(seed)),
                                     all ? AllFeatures() : FeaturesNotPending());
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
