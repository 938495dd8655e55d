#pragma once
// TPGPPassphraseCache: passphrases that have just opened a key or a
// symmetric layer, kept for "cachemins" minutes under the ID they opened so
// the user need not type them for every message. Entries are never held in
// plain form: each is gpg's symmetric ciphertext of the passphrase under the
// session key, and is decrypted only when it is needed.
//
// Time is a 32-bit millisecond tick counter that wraps (as the system's
// milliseconds-since-boot counter does); the clock is injectable so tests
// can move it, wrap included, without waiting. The expiry timer belongs to
// the front end: it calls OnTimer every kCacheTimerInterval; OnTimer does
// nothing while the cache's own timer is stopped (the cache is empty, or an
// Add or Lookup is running gpg and keeping the event loop turning).
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "gnupg/gpg_setup.h"

namespace fhr {

// The period of the expiry timer.
inline constexpr std::chrono::milliseconds kCacheTimerInterval{10000};

// A 32-bit millisecond tick counter; wraps after 2^32 ms.
using TickClock = std::function<std::uint32_t()>;
// The system's monotonic milliseconds, truncated to 32 bits.
std::uint32_t SystemTickCount();

// Where the session key comes from (the database's "session" record); read
// afresh for each encryption or decryption, because packing may give the
// program another database object.
using SessionKeySource = std::function<std::string()>;

// True when an entry made at `start` with expiry `expiry` has expired at
// `now`: now has reached the expiry, and either the expiry did not wrap
// past 2^32 or the counter has wrapped since the start. All unsigned.
bool TickExpired(std::uint32_t now, std::uint32_t start, std::uint32_t expiry);

class TPGPPassphraseCache {
 public:
  // An empty cache with the timer stopped; the lifetime is "cachemins" of
  // the setup's settings file (0 when unset: nothing is cached).
  TPGPPassphraseCache(GpgSetup setup, SessionKeySource sessionKey, TickClock clock = SystemTickCount);
  // Clears every entry.
  ~TPGPPassphraseCache();
  TPGPPassphraseCache(const TPGPPassphraseCache&) = delete;
  TPGPPassphraseCache& operator=(const TPGPPassphraseCache&) = delete;

  // The lifetime of entries added or used from now on, in minutes (clamped
  // to 0..120, the setting's range). Existing entries keep their expiry
  // until they are used again.
  void SetMinutes(int minutes);
  int Minutes() const { return minutes_; }

  // Caches `passphrase`, which has just worked, under `idtext8` ("0x" and 8
  // hex digits, "0x00000000", or a layer ID); both must be non-empty. An
  // ordinary ID replaces its earlier entry. An ID holding "00000000" (a
  // throw-keyids recipient) may hold several passphrases: only an entry with
  // the same passphrase is replaced. With 0 minutes, an empty session key or
  // a failed encryption (reported by gpg's error dialog) nothing is cached.
  // The passphrase argument is wiped in every case.
  void Add(const std::string& idtext8, std::string& passphrase);

  // The oldest entry for `idtext8` (exact comparison): true and its
  // passphrase in `*passphrase` (the caller wipes it), and the entry's
  // lifetime starts again now. False and an empty text when there is none,
  // or when its decryption failed (reported; the entry stays).
  bool Lookup(const std::string& idtext8, std::string* passphrase);

  // Removes every entry and stops the timer.
  void Clear();
  std::size_t Count() const { return entries_.size(); }
  // Whether the expiry timer runs (exactly while entries exist, except
  // during Add and Lookup).
  bool TimerRunning() const { return timerRunning_; }

  // The timer event: removes the entries that have expired by now; the
  // timer goes on only while entries remain. Nothing happens while the
  // timer is stopped.
  void OnTimer();

 private:
  struct Entry {
    std::uint32_t startTick = 0;
    std::uint32_t expiryTick = 0;
    std::string id;
    std::string ciphertext;
    std::uint64_t serial = 0;  // identifies the entry across gpg runs
  };

  bool Encrypt(const std::string& passphrase, std::string* ciphertext);
  bool Decrypt(const std::string& ciphertext, std::string* passphrase);
  void StartLifetime(Entry& entry);
  std::vector<Entry>::iterator FindEntry(const std::string& id);
  void Remove(std::uint64_t serial);
  static void Destroy(Entry& entry);

  GpgSetup setup_;
  SessionKeySource sessionKey_;
  TickClock clock_;
  int minutes_ = 0;
  bool timerRunning_ = false;
  std::vector<Entry> entries_;  // oldest first
  std::uint64_t lastSerial_ = 0;
};

}  // namespace fhr
