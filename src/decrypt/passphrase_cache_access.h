#pragma once
// What the decryption workflow needs of the passphrase cache: keep a
// passphrase that has just worked, and recall one. The program's cache
// (TPGPPassphraseCache) serves it through CacheAccessFor; tests may give a
// plain map.
#include <string>

namespace fhr {

class PassphraseCacheAccess {
 public:
  virtual ~PassphraseCacheAccess() = default;
  // Keeps `passphrase` under `id` (both non-empty) and wipes the argument.
  virtual void Add(const std::string& id, std::string& passphrase) = 0;
  // True and the passphrase (the caller wipes it) when one is kept for `id`.
  virtual bool Lookup(const std::string& id, std::string* passphrase) = 0;
};

}  // namespace fhr
