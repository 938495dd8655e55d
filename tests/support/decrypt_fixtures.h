#pragma once
// Nym messages for the decryption workflow, made with the real gpg1 by
// make_decrypt_fixtures.sh from the keys of the shared GnuPG fixtures plus
// the nymserver key of the nyms' domain (config@nym.example). Built once
// per test program run.
#include <string>

#include "core/stringlist.h"
#include "gnupg/gpg_setup.h"

namespace fhr::test {

struct DecryptFixtures {
  bool ok = false;
  std::string log;   // the scripts' output, for a failing test
  std::string dir;   // the messages and ids.env
  std::string home;  // GnuPG home with gpg.conf naming the keyrings
  // "0x" + 8 hex digits; nymserver signs for nymserver.example, nymserver2
  // (config@nym.example) for the nyms' own domain.
  std::string alice, bob, carol, nymserver, nymserver2;

  std::string File(const std::string& name) const { return dir + "/" + name; }
  StringList Lines(const std::string& name) const;
  // gpg1 in the fixtures' home; the settings file does not exist.
  GpgSetup Setup() const;
};

const DecryptFixtures& SharedDecryptFixtures();

}  // namespace fhr::test
