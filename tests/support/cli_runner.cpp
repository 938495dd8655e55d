#include "support/cli_runner.h"

#include <sstream>

#include "cli/cli.h"

namespace fhr::test {

CliResult RunCli(const std::vector<std::string>& args, const std::string& input) {
  std::vector<std::string> storage = {"fhr-cli"};
  storage.insert(storage.end(), args.begin(), args.end());
  std::vector<char*> argv;
  for (std::string& s : storage) argv.push_back(s.data());
  argv.push_back(nullptr);
  std::istringstream in(input);
  std::ostringstream out, err;
  CliResult r;
  r.status = cli::Run(static_cast<int>(storage.size()), argv.data(), in, out, err);
  r.out = out.str();
  r.err = err.str();
  return r;
}

}  // namespace fhr::test
