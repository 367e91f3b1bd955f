#include <iostream>
#include <string>
#include <vector>

#include "password.h"
#include "run.h"

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  return skelvane::cli::RunCli(args, std::cout, std::cerr, skelvane::cli::ReadPasswordFromStdin);
}
