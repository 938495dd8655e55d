#pragma once
// Keys and messages made with the real gpg1 by make_gpg_fixtures.sh, built
// once per test program run in a private directory and shared by every
// GnuPG test.
#include <string>

#include "core/stringlist.h"
#include "gnupg/gpg_setup.h"

namespace fhr::test {

struct GpgFixtures {
  bool ok = false;       // generation succeeded
  std::string log;       // the script's output, for a failing test
  std::string dir;       // the messages and ids.env
  std::string home;      // GnuPG home with gpg.conf naming the keyrings
  std::string alice, bob, carol, carolSubkey, nymserver;  // "0x" + 8 hex digits

  std::string File(const std::string& name) const { return dir + "/" + name; }
  // The file's lines.
  StringList Lines(const std::string& name) const;
  // A setup that runs gpg1 in the fixtures' home with built-in templates
  // (the settings file does not exist).
  GpgSetup Setup() const;
};

// Generates the fixtures on the first call; the directory is removed when
// the test program ends.
const GpgFixtures& SharedGpgFixtures();

}  // namespace fhr::test
