// The passphrase cache against the real gpg1 (entries are gpg ciphertext
// under the session key) with a hand-moved tick counter, so lifetimes, the
// 10-second expiry timer and the counter's wrap are checked without waiting.
#include "gnupg/pgpcache.h"

#include <gtest/gtest.h>

#include <cstdint>

#include "core/settings.h"
#include "support/scripted_msgdialog.h"
#include "support/temp_dir.h"

namespace fhr {
namespace {

TEST(TickExpiry, UnsignedRuleIncludingTheWrap) {
  struct Row {
    std::uint32_t now, start, expiry;
    bool expired;
  };
  const Row rows[] = {
      {1000, 1000, 61000, false},              // just made
      {60999, 1000, 61000, false},             // one ms left
      {61000, 1000, 61000, true},              // reached
      {0xFFFFFF00, 0xFFFF0000, 0xFFFFFF00, true},
      // Expiry wrapped past 2^32: not expired before the counter wraps,
      // even though now is far above the small expiry value ...
      {0xFFFFFFF0, 0xFFFFF000, 0x0000D060, false},
      // ... nor after the wrap until the expiry is reached ...
      {0x00000010, 0xFFFFF000, 0x0000D060, false},
      {0x0000D05F, 0xFFFFF000, 0x0000D060, false},
      // ... and then it is.
      {0x0000D060, 0xFFFFF000, 0x0000D060, true},
      {0x00100000, 0xFFFFF000, 0x0000D060, true},
  };
  for (const Row& r : rows) {
    EXPECT_EQ(TickExpired(r.now, r.start, r.expiry), r.expired) << std::hex << r.now << " " << r.start << " " << r.expiry;
  }
}

class PassphraseCache : public ::testing::Test {
 protected:
  PassphraseCache() {
    setup_.program = "gpg1";
    setup_.home = home_.path();
    setup_.settingsFile = home_.file("fhr.ini");
    Settings(setup_.settingsFile).SetInt("cachemins", 1);
  }

  std::unique_ptr<TPGPPassphraseCache> MakeCache() {
    return std::make_unique<TPGPPassphraseCache>(setup_, [this] { return sessionKey_; }, [this] { return now_; });
  }

  // Lets `seconds` pass in timer periods, as the front end's timer would.
  void Pass(TPGPPassphraseCache& cache, int seconds) {
    for (int s = 0; s < seconds; s += 10) {
      now_ += 10000;
      cache.OnTimer();
    }
  }

  static void Add(TPGPPassphraseCache& cache, const std::string& id, std::string passphrase) {
    cache.Add(id, passphrase);
    EXPECT_TRUE(passphrase.empty()) << "the caller's copy is wiped";
  }

  static std::string Lookup(TPGPPassphraseCache& cache, const std::string& id) {
    std::string passphrase;
    const bool found = cache.Lookup(id, &passphrase);
    EXPECT_EQ(found, !passphrase.empty());
    return passphrase;
  }

  test::TempDir home_;
  test::ScriptedMsgDialog dialogs_;
  GpgSetup setup_;
  std::string sessionKey_ = "c2Vzc2lvbiBrZXk=";
  std::uint32_t now_ = 5000;
};

TEST_F(PassphraseCache, MinutesComeFromTheSettingsAndZeroKeepsNothing) {
  auto cache = MakeCache();
  EXPECT_EQ(cache->Minutes(), 1);
  cache->SetMinutes(0);
  Add(*cache, "0x12345678", "secret");
  EXPECT_EQ(cache->Count(), 0u);
  EXPECT_FALSE(cache->TimerRunning());
  EXPECT_EQ(Lookup(*cache, "0x12345678"), "");
  cache->SetMinutes(500);
  EXPECT_EQ(cache->Minutes(), 120);
}

TEST_F(PassphraseCache, UseSlidesTheLifetimeAndIdleEntriesGoWithinSeventySeconds) {
  auto cache = MakeCache();
  Add(*cache, "0x12345678", "secret");
  EXPECT_TRUE(cache->TimerRunning());
  for (int i = 0; i < 6; ++i) {
    Pass(*cache, 50);
    ASSERT_EQ(Lookup(*cache, "0x12345678"), "secret") << "after " << (i + 1) * 50 << " s";
  }
  Pass(*cache, 50);
  EXPECT_EQ(cache->Count(), 1u);
  Pass(*cache, 20);
  EXPECT_EQ(cache->Count(), 0u);
  EXPECT_FALSE(cache->TimerRunning());
  EXPECT_EQ(Lookup(*cache, "0x12345678"), "");
}

TEST_F(PassphraseCache, AnEntryMadeJustBeforeTheTickWrapLivesItsFullMinute) {
  now_ = 0xFFFFFFFFu - 15000;
  auto cache = MakeCache();
  Add(*cache, "1 passphrase", "layer secret");
  Pass(*cache, 50);  // the counter wrapped after 15 s
  EXPECT_LT(now_, 0x10000u);
  EXPECT_EQ(cache->Count(), 1u);
  Pass(*cache, 20);
  EXPECT_EQ(cache->Count(), 0u);
}

TEST_F(PassphraseCache, OrdinaryIdsReplaceThrowKeyidsIdsCollect) {
  auto cache = MakeCache();
  Add(*cache, "0x12345678", "P1");
  Add(*cache, "0x12345678", "P2");
  EXPECT_EQ(cache->Count(), 1u);
  EXPECT_EQ(Lookup(*cache, "0x12345678"), "P2");

  Add(*cache, "0x00000000", "P1");
  Add(*cache, "0x00000000", "P2");
  Add(*cache, "0x00000000", "P1");  // the same passphrase again: renewed, not doubled
  EXPECT_EQ(cache->Count(), 3u);
  EXPECT_EQ(Lookup(*cache, "0x00000000"), "P2") << "the oldest entry answers";

  Add(*cache, "0x12345678", "P2");
  EXPECT_EQ(cache->Count(), 3u);
  EXPECT_EQ(Lookup(*cache, "0x1234567"), "") << "IDs compare exactly";

  cache->Clear();
  EXPECT_EQ(cache->Count(), 0u);
  EXPECT_FALSE(cache->TimerRunning());
  EXPECT_TRUE(dialogs_.boxes().empty());
}

TEST_F(PassphraseCache, EntriesNeedTheSessionKeyTheyWereMadeWith) {
  auto cache = MakeCache();
  sessionKey_.clear();
  Add(*cache, "0x12345678", "secret");
  EXPECT_EQ(cache->Count(), 0u) << "no session key, nothing cached";

  sessionKey_ = "first key";
  Add(*cache, "0x12345678", "secret");
  ASSERT_EQ(cache->Count(), 1u);
  sessionKey_ = "another key";
  EXPECT_EQ(Lookup(*cache, "0x12345678"), "") << "a failed decryption is not a passphrase";
  EXPECT_EQ(cache->Count(), 1u);
}

}  // namespace
}  // namespace fhr
