#include "gnupg/pgpcache.h"

#include <time.h>

#include <algorithm>
#include <utility>

#include "core/settings.h"
#include "core/text_helpers.h"
#include "gnupg/gpg_secrets.h"

namespace fhr {
namespace {

constexpr int kMaxCacheMinutes = 120;
constexpr std::uint32_t kMsPerMinute = 60000;

}  // namespace

std::uint32_t SystemTickCount() {
  timespec now{};
  clock_gettime(CLOCK_BOOTTIME, &now);
  const auto ms = static_cast<std::uint64_t>(now.tv_sec) * 1000u + static_cast<std::uint64_t>(now.tv_nsec) / 1000000u;
  return static_cast<std::uint32_t>(ms);
}

bool TickExpired(std::uint32_t now, std::uint32_t start, std::uint32_t expiry) {
  return now >= expiry && (expiry > start || now < start);
}

TPGPPassphraseCache::TPGPPassphraseCache(GpgSetup setup, SessionKeySource sessionKey, TickClock clock)
    : setup_(std::move(setup)), sessionKey_(std::move(sessionKey)), clock_(std::move(clock)) {
  SetMinutes(Settings(setup_.settingsFile).Int("cachemins"));
}

TPGPPassphraseCache::~TPGPPassphraseCache() { Clear(); }

void TPGPPassphraseCache::SetMinutes(int minutes) { minutes_ = std::clamp(minutes, 0, kMaxCacheMinutes); }

bool TPGPPassphraseCache::Encrypt(const std::string& passphrase, std::string* ciphertext) {
  std::string key = sessionKey_ ? sessionKey_() : std::string();
  if (key.empty()) return false;
  return EncryptStringToStream(setup_, key, passphrase, ciphertext);
}

bool TPGPPassphraseCache::Decrypt(const std::string& ciphertext, std::string* passphrase) {
  passphrase->clear();
  std::string key = sessionKey_ ? sessionKey_() : std::string();
  if (key.empty()) return false;
  return DecryptStreamToString(setup_, key, ciphertext, passphrase);
}

void TPGPPassphraseCache::StartLifetime(Entry& entry) {
  entry.startTick = clock_();
  entry.expiryTick = entry.startTick + static_cast<std::uint32_t>(minutes_) * kMsPerMinute;
}

void TPGPPassphraseCache::Destroy(Entry& entry) {
  WipeText(entry.ciphertext);
  WipeText(entry.id);
}

void TPGPPassphraseCache::Add(const std::string& idtext8, std::string& passphrase) {
  if (minutes_ == 0 || idtext8.empty() || passphrase.empty()) {
    WipeText(passphrase);
    return;
  }
  timerRunning_ = false;
  if (idtext8.find("00000000") == std::string::npos) {
    const auto it = FindEntry(idtext8);
    if (it != entries_.end()) Remove(it->serial);
  } else {
    // Several keys may hide behind the throw-keyids ID: only the same
    // passphrase is a duplicate. gpg runs for each candidate and lets other
    // events run meanwhile, so candidates are copied first and removed by
    // their serial afterwards.
    std::vector<std::pair<std::uint64_t, std::string>> candidates;
    for (const Entry& e : entries_) {
      if (e.id == idtext8) candidates.emplace_back(e.serial, e.ciphertext);
    }
    for (auto& [serial, ciphertext] : candidates) {
      std::string cached;
      if (Decrypt(ciphertext, &cached) && cached == passphrase) Remove(serial);
      WipeText(cached);
    }
  }
  Entry entry;
  entry.id = idtext8;
  if (Encrypt(passphrase, &entry.ciphertext)) {
    entry.serial = ++lastSerial_;
    StartLifetime(entry);
    entries_.push_back(std::move(entry));
  }
  WipeText(passphrase);
  timerRunning_ = !entries_.empty();
}

bool TPGPPassphraseCache::Lookup(const std::string& idtext8, std::string* passphrase) {
  passphrase->clear();
  const bool wasRunning = timerRunning_;
  timerRunning_ = false;
  auto it = FindEntry(idtext8);
  bool found = false;
  if (it != entries_.end()) {
    // gpg lets other events run (the options dialog may clear the cache):
    // the entry is found again by its serial afterwards.
    const std::uint64_t serial = it->serial;
    const std::string ciphertext = it->ciphertext;
    found = Decrypt(ciphertext, passphrase) && !passphrase->empty();
    if (!found) WipeText(*passphrase);
    const auto again = std::find_if(entries_.begin(), entries_.end(), [&](const Entry& e) { return e.serial == serial; });
    if (found && again != entries_.end()) StartLifetime(*again);
  }
  timerRunning_ = wasRunning && !entries_.empty();
  return found;
}

std::vector<TPGPPassphraseCache::Entry>::iterator TPGPPassphraseCache::FindEntry(const std::string& id) {
  return std::find_if(entries_.begin(), entries_.end(), [&](const Entry& e) { return e.id == id; });
}

void TPGPPassphraseCache::Remove(std::uint64_t serial) {
  const auto it = std::find_if(entries_.begin(), entries_.end(), [&](const Entry& e) { return e.serial == serial; });
  if (it == entries_.end()) return;
  Destroy(*it);
  entries_.erase(it);
}

void TPGPPassphraseCache::Clear() {
  for (Entry& entry : entries_) Destroy(entry);
  entries_.clear();
  timerRunning_ = false;
}

void TPGPPassphraseCache::OnTimer() {
  if (!timerRunning_) return;
  const std::uint32_t now = clock_();
  for (auto it = entries_.begin(); it != entries_.end();) {
    if (TickExpired(now, it->startTick, it->expiryTick)) {
      Destroy(*it);
      it = entries_.erase(it);
    } else {
      ++it;
    }
  }
  timerRunning_ = !entries_.empty();
}

}  // namespace fhr
