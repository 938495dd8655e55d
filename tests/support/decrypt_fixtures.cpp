#include "support/decrypt_fixtures.h"

#include <cstdlib>
#include <memory>

#include "core/atomic_file.h"
#include "core/text_helpers.h"
#include "support/gpg_fixtures.h"
#include "support/temp_dir.h"

namespace fhr::test {

namespace {

std::string IdFrom(const std::string& env, const std::string& name) {
  const std::string key = " " + name + "=";
  const auto at = (" " + env).find(key);
  if (at == std::string::npos) return {};
  return FieldOf(0, env.substr(at + key.size() - 1), ' ', "");
}

DecryptFixtures Generate(const TempDir& temp) {
  DecryptFixtures f;
  const GpgFixtures& keys = SharedGpgFixtures();
  if (!keys.ok) {
    f.log = keys.log;
    return f;
  }
  f.dir = temp.file("decrypt");
  f.home = f.dir + "/home";
  const std::string log = temp.file("make.log");
  const std::string command = std::string("bash '") + FHR_SOURCE_DIR + "/tests/support/make_decrypt_fixtures.sh' '" +
                              keys.dir + "' '" + f.dir + "' >'" + log + "' 2>&1";
  const int status = std::system(command.c_str());
  ReadWholeFile(log, &f.log, nullptr);
  std::string env;
  ReadWholeFile(f.File("ids.env"), &env, nullptr);
  while (!env.empty() && env.back() == '\n') env.pop_back();
  f.alice = IdFrom(env, "ALICE");
  f.bob = IdFrom(env, "BOB");
  f.carol = IdFrom(env, "CAROL");
  f.nymserver = IdFrom(env, "NYMSERVER");
  f.nymserver2 = IdFrom(env, "NYMSERVER2");
  f.ok = status == 0 && !f.alice.empty() && !f.nymserver2.empty();
  return f;
}

}  // namespace

StringList DecryptFixtures::Lines(const std::string& name) const {
  std::string bytes;
  ReadWholeFile(File(name), &bytes, nullptr);
  StringList lines;
  lines.SetText(bytes);
  return lines;
}

GpgSetup DecryptFixtures::Setup() const {
  GpgSetup setup;
  setup.program = "gpg1";
  setup.home = home;
  setup.settingsFile = dir + "/no-such-settings.ini";
  return setup;
}

const DecryptFixtures& SharedDecryptFixtures() {
  static const auto temp = std::make_unique<TempDir>();
  static const DecryptFixtures fixtures = Generate(*temp);
  return fixtures;
}

}  // namespace fhr::test
