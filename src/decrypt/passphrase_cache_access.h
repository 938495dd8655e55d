#pragma once
// What the decryption workflow needs of the passphrase cache: keep a
// passphrase that has just worked, and recall one. The program's cache
// (TPGPPassphraseCache) serves it through CacheAccessFor; tests may give a
// plain map.
#include <string>

#include "gnupg/pgpcache.h"

namespace fhr {

class PassphraseCacheAccess {
 public:
  virtual ~PassphraseCacheAccess() = default;
  // Keeps `passphrase` under `id` (both non-empty) and wipes the argument.
  virtual void Add(const std::string& id, std::string& passphrase) = 0;
  // True and the passphrase (the caller wipes it) when one is kept for `id`.
  virtual bool Lookup(const std::string& id, std::string* passphrase) = 0;
};

// The program's passphrase cache as the workflow uses it; the cache must
// outlive this object.
class CacheAccessFor : public PassphraseCacheAccess {
 public:
  explicit CacheAccessFor(TPGPPassphraseCache& cache) : cache_(cache) {}
  void Add(const std::string& id, std::string& passphrase) override { cache_.Add(id, passphrase); }
  bool Lookup(const std::string& id, std::string* passphrase) override { return cache_.Lookup(id, passphrase); }

 private:
  TPGPPassphraseCache& cache_;
};

}  // namespace fhr
