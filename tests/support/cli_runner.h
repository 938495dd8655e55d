#pragma once
// Runs fhr-cli in process, with given standard input, and captures what it
// prints and its exit status.
#include <string>
#include <vector>

namespace fhr::test {

struct CliResult {
  int status = -1;
  std::string out;
  std::string err;
};

CliResult RunCli(const std::vector<std::string>& args, const std::string& input = "");

}  // namespace fhr::test
