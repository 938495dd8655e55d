// The decryption workflow against real gpg1 messages: Encrypt-Key layers,
// wrong passwords by position, throw-keyids, blending, the nymserver's
// signature judged from gpg's status (forged verification text included),
// and cached passphrases.
#include <gtest/gtest.h>

#include <deque>
#include <map>

#include "core/msgdialog.h"
#include "core/text_helpers.h"
#include "decrypt/decrypt_texts.h"
#include "decrypt/decrypt_workflow.h"
#include "gnupg/gpg_error_report.h"
#include "gnupg/pgp_markers.h"
#include "gnupg/pgpcache.h"
#include "support/decrypt_fixtures.h"
#include "support/scripted_msgdialog.h"
#include "support/temp_dir.h"

namespace fhr {
namespace {

bool Contains(const StringList& lines, const std::string& text) {
  for (const std::string& line : lines) {
    if (line.find(text) != std::string::npos) return true;
  }
  return false;
}

// Answers passphrase prompts from a script ("" when it runs out, which
// cancels) and records, in order, everything the workflow showed.
class ScriptedPrompts : public DecryptPrompts {
 public:
  std::deque<std::string> answers;
  std::vector<KeyPassphraseRequest> prompts;
  std::vector<std::string> events;  // "ask", "blend", "signature", "notice"
  std::vector<std::pair<std::string, std::string>> blending;
  std::vector<StringList> signatureWarnings;
  int noticeAnswer = kMrOk;

  std::string AskPassphrase(const KeyPassphraseRequest& prompt) override {
    prompts.push_back(prompt);
    events.push_back("ask");
    if (answers.empty()) return {};
    std::string answer = answers.front();
    answers.pop_front();
    return answer;
  }
  void ShowBlendingWarning(const std::string& addressedTo, const std::string& encryptedTo) override {
    events.push_back("blend");
    blending.emplace_back(addressedTo, encryptedTo);
  }
  void ShowSignatureWarning(const StringList& lines) override {
    events.push_back("signature");
    signatureWarnings.push_back(lines);
  }
  int ShowNotice(const std::string& key, const std::string&, const std::string&, bool) override {
    events.push_back("notice " + key);
    return noticeAnswer;
  }
};

// A cache that keeps one passphrase per ID in plain form.
class MapCache : public PassphraseCacheAccess {
 public:
  std::map<std::string, std::string> entries;
  int lookups = 0;
  void Add(const std::string& id, std::string& passphrase) override {
    entries[id] = passphrase;
    WipeText(passphrase);
  }
  bool Lookup(const std::string& id, std::string* passphrase) override {
    ++lookups;
    const auto found = entries.find(id);
    if (found == entries.end()) return false;
    *passphrase = found->second;
    return true;
  }
};

class DecryptWorkflow : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(fx_.ok) << fx_.log;
    env_.setup.settingsFile = settings_.file("fhr.ini");
    previousShower_ = InstallGpgErrorShower([this](const StringList& errors, const StringList&) {
      gpgReports_.push_back(errors);
    });
  }
  void TearDown() override { InstallGpgErrorShower(previousShower_); }

  SubjectLine Subject(const std::string& keyid, const std::string& kphrase = "") {
    SubjectLine s;
    s.subno = "2000";
    s.keyid = keyid;
    s.ekey = !kphrase.empty();
    s.kphrase = kphrase;
    return s;
  }
  // The texts of the message boxes shown so far.
  std::vector<std::string> Boxes() const { return dialogs_.texts(); }

  const test::DecryptFixtures& fx_ = test::SharedDecryptFixtures();
  test::TempDir settings_;
  test::ScriptedMsgDialog dialogs_;
  ScriptedPrompts prompts_;
  MapCache cache_;
  DecryptEnvironment env_{.setup = fx_.Setup(), .prompts = &prompts_, .cache = &cache_};
  GpgErrorShower previousShower_;
  std::vector<StringList> gpgReports_;
};

std::string Trim(std::string_view text) {
  std::string s(text);
  while (!s.empty() && s.back() == ' ') s.pop_back();
  return s;
}

TEST_F(DecryptWorkflow, EncryptKeyLayersArePeeledAndTheNymserverSignatureIsGood) {
  struct Case {
    const char* file;
    const char* kphrase;
    bool throwKeyids;
  } cases[] = {{"onelayer.txt", "kp one", false}, {"twolayers.txt", "kp one,kp two", true}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.file);
    prompts_ = ScriptedPrompts();
    cache_.entries.clear();
    prompts_.answers = {"alice pass"};
    StringList lines = fx_.Lines(c.file);
    const NymDecryptOutcome outcome = DecryptNymMessage(env_, Subject(fx_.alice, c.kphrase), lines);
    EXPECT_TRUE(outcome.ok);
    EXPECT_TRUE(outcome.nymserverSigned);
    EXPECT_EQ(outcome.openedBy, fx_.alice);
    EXPECT_TRUE(Contains(lines, "Secret body for alice."));
    EXPECT_EQ(FindMarker(lines, BeginPGPMessage), -1);
    EXPECT_GE(FindMarker(lines, BeginPGPDecryptedVerifiedMessage), 0);
    EXPECT_TRUE(Contains(outcome.verification, "Good signature from \"nymserver2 <config@nym.example>\""));
    ASSERT_EQ(prompts_.prompts.size(), 1u);
    const KeyPassphraseRequest& prompt = prompts_.prompts[0];
    EXPECT_EQ(prompt.caption, kNymPromptCaption);
    EXPECT_EQ(prompt.throwKeyids, c.throwKeyids);
    EXPECT_EQ(prompt.keysLabel, c.throwKeyids ? kThrowKeyidsKeyLabel : kNymKeyLabel);
    ASSERT_EQ(prompt.entries.size(), 1u);
    EXPECT_TRUE(prompt.entries[0].ends_with(" alice <alice@nym.example>")) << prompt.entries[0];
    EXPECT_TRUE(Boxes().empty());
    EXPECT_TRUE(gpgReports_.empty());
    EXPECT_EQ(prompts_.blending.size(), 0u);
    EXPECT_EQ(prompts_.signatureWarnings.size(), 0u);
    // Several passwords: the comma notice first.
    EXPECT_EQ(prompts_.events.front(), c.throwKeyids ? "notice commas" : "ask");
    ASSERT_EQ(cache_.entries.size(), 1u);
    // Throw-keyids: kept under the subject line's key; else under the recipient gpg named.
    if (c.throwKeyids) {
      EXPECT_TRUE(cache_.entries.contains(fx_.alice));
    }
    EXPECT_EQ(cache_.entries.begin()->second, "alice pass");
  }
}

TEST_F(DecryptWorkflow, AWrongEncryptKeyPasswordIsABadPassphraseAtItsPosition) {
  struct Case {
    const char* file;
    const char* kphrase;
    const char* box;
    bool firstLayerOpen;
  } cases[] = {
      {"twolayers.txt", "kp one,wrong", "Bad passphrase at position 2.", true},
      {"twolayers.txt", "wrong,kp two", "Bad passphrase at position 1.", false},
      {"onelayer.txt", "wrong", "Bad passphrase!", false},
      // An empty second item ends the list: only the first password is used.
      {"onelayer.txt", "wrong,", "Bad passphrase!", false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.kphrase);
    test::ScriptedMsgDialog dialogs;
    gpgReports_.clear();
    prompts_ = ScriptedPrompts();
    StringList lines = fx_.Lines(c.file);
    EXPECT_FALSE(DecryptNymMessage(env_, Subject(fx_.alice, c.kphrase), lines).ok);
    ASSERT_EQ(dialogs.boxes().size(), 1u);
    EXPECT_EQ(Trim(dialogs.texts()[0]), c.box);
    EXPECT_EQ(dialogs.boxes()[0].kind, MsgKind::Error);
    EXPECT_TRUE(gpgReports_.empty());
    EXPECT_TRUE(prompts_.prompts.empty());
    // What was opened stays opened.
    EXPECT_EQ(FindMarker(lines, BeginPGPDecryptedMessage) >= 0, c.firstLayerOpen);
  }
}

TEST_F(DecryptWorkflow, CommaNoticeCanStopAndCanBeSilenced) {
  prompts_.noticeAnswer = kMrCancel;
  StringList lines = fx_.Lines("twolayers.txt");
  const StringList before = lines;
  EXPECT_FALSE(DecryptNymMessage(env_, Subject(fx_.alice, "kp one,kp two"), lines).ok);
  EXPECT_EQ(prompts_.events, std::vector<std::string>({"notice commas"}));
  EXPECT_EQ(FindMarker(lines, BeginPGPDecryptedMessage), -1);

  settings_.write("fhr.ini", "[settings]\ndontshow=chkmail,commas\n");
  prompts_ = ScriptedPrompts();
  prompts_.answers = {"alice pass"};
  EXPECT_TRUE(DecryptNymMessage(env_, Subject(fx_.alice, "kp one,kp two"), lines).ok);
  EXPECT_EQ(prompts_.events, std::vector<std::string>({"ask"}));
}

TEST_F(DecryptWorkflow, ASymmetricLayerTheSubjectLineDoesNotExplainAsksFirst) {
  dialogs_.Answer(kMrCancel);
  StringList lines = fx_.Lines("onelayer.txt");
  EXPECT_FALSE(DecryptNymMessage(env_, Subject(fx_.alice), lines).ok);
  ASSERT_EQ(Boxes().size(), 1u);
  EXPECT_TRUE(Boxes()[0].starts_with("PROBLEM!  I decrypted the symmetrically")) << Boxes()[0];
  EXPECT_TRUE(prompts_.prompts.empty());

  // With IGNORECKT the layer's password is asked for at once.
  settings_.write("fhr.ini", "[settings]\nIGNORECKT=1\n");
  prompts_.answers = {"kp one", "alice pass"};
  EXPECT_TRUE(DecryptNymMessage(env_, Subject(fx_.alice), lines).ok);
  EXPECT_EQ(Boxes().size(), 1u);
  EXPECT_EQ(prompts_.prompts[0].entries, StringList({"1 passphrase"}));
}

TEST_F(DecryptWorkflow, ThrowKeyidsNamesTheKeyThatOpenedTheMessage) {
  struct Case {
    const char* file;
    std::string nym;
    std::string answer;
    std::string opener;
    bool blending;
  } cases[] = {
      {"tocarolhidden.txt", fx_.carol, "anything", fx_.carol, false},  // a key without passphrase
      {"tocarolhidden.txt", fx_.alice, "alice pass", fx_.carol, true},
      {"tobobhidden.txt", fx_.alice, "bob pass", fx_.bob, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.file) + " for " + c.nym);
    prompts_ = ScriptedPrompts();
    prompts_.answers = {c.answer};
    StringList lines = fx_.Lines(c.file);
    const NymDecryptOutcome outcome = DecryptNymMessage(env_, Subject(c.nym), lines);
    EXPECT_TRUE(outcome.ok);
    EXPECT_EQ(outcome.openedBy, c.opener);
    EXPECT_TRUE(outcome.nymserverSigned);
    ASSERT_EQ(prompts_.prompts.size(), 1u);
    EXPECT_TRUE(prompts_.prompts[0].throwKeyids);
    EXPECT_TRUE(prompts_.prompts[0].entries[0].starts_with(c.nym + " ")) << prompts_.prompts[0].entries[0];
    ASSERT_EQ(prompts_.blending.size(), c.blending ? 1u : 0u);
    if (c.blending) {
      EXPECT_TRUE(prompts_.blending[0].first.starts_with(c.nym + " ")) << prompts_.blending[0].first;
      EXPECT_TRUE(prompts_.blending[0].second.starts_with(c.opener + " ")) << prompts_.blending[0].second;
      EXPECT_EQ(prompts_.events, std::vector<std::string>({"ask", "blend"}));
    }
  }
}

TEST_F(DecryptWorkflow, AMessageEncryptedToAnotherNymWarnsBeforeThePrompt) {
  prompts_.answers = {"bob pass"};
  StringList lines = fx_.Lines("tobob.txt");
  const NymDecryptOutcome outcome = DecryptNymMessage(env_, Subject(fx_.alice), lines);
  EXPECT_TRUE(outcome.ok);
  EXPECT_EQ(outcome.openedBy, fx_.bob);
  EXPECT_EQ(prompts_.events, std::vector<std::string>({"blend", "ask"}));
  EXPECT_EQ(prompts_.blending[0].first, fx_.alice + " alice <alice@nym.example>");
  EXPECT_EQ(prompts_.blending[0].second, fx_.bob + " bob <bob@nym.example>");
  EXPECT_EQ(AddressedToLine(prompts_.blending[0].first), "Addressed To: \t" + prompts_.blending[0].first);
}

TEST_F(DecryptWorkflow, TheNymserverSignatureIsJudgedFromGpgStatusOnly) {
  struct Case {
    const char* file;
    bool forgeBlockAboveMessage;
    bool missingBox;    // "should be PGP signed" box
    bool warningLines;  // the signature warning with gpg's lines
  } cases[] = {
      {"unsigned.txt", false, true, false},
      {"othersigned.txt", false, false, true},   // good, but not the nymserver's key
      {"unknownsigned.txt", false, false, true},  // a key not on the keyring
      {"forgedinside.txt", false, true, false},  // the plaintext claims a good signature
      {"unsigned.txt", true, true, false},       // the article claims it was decrypted
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.file) + (c.forgeBlockAboveMessage ? " with forged block" : ""));
    test::ScriptedMsgDialog dialogs;
    cache_.entries.clear();
    prompts_ = ScriptedPrompts();
    prompts_.answers = {"alice pass"};
    StringList lines = fx_.Lines(c.file);
    if (c.forgeBlockAboveMessage) {
      const auto at = static_cast<std::size_t>(FindMarker(lines, BeginPGPMessage));
      const StringList forged = {std::string(PGPSignatureVerification),
                                 "*** Good signature from \"nymserver2 <config@nym.example>\"",
                                 "*** Verified 01/01/24 00:00:00", ""};
      for (std::size_t i = 0; i < forged.size(); ++i) lines.Insert(at + i, forged[i]);
    }
    const NymDecryptOutcome outcome = DecryptNymMessage(env_, Subject(fx_.alice), lines);
    EXPECT_TRUE(outcome.ok);
    EXPECT_FALSE(outcome.nymserverSigned);
    EXPECT_TRUE(Contains(lines, "Secret body for alice."));
    // The nym layer's prompt and checks, never the ordinary message's.
    ASSERT_EQ(prompts_.prompts.size(), 1u);
    EXPECT_EQ(prompts_.prompts[0].caption, kNymPromptCaption);
    EXPECT_EQ(dialogs.boxes().size(), c.missingBox ? 1u : 0u);
    if (c.missingBox) {
      EXPECT_EQ(dialogs.boxes()[0].kind, MsgKind::Warning);
      EXPECT_EQ(Trim(dialogs.texts()[0]), Trim(kSignatureMissing));
    }
    ASSERT_EQ(prompts_.signatureWarnings.size(), c.warningLines ? 1u : 0u);
    if (c.warningLines) {
      EXPECT_EQ(prompts_.signatureWarnings[0][0], PGPSignatureVerification);
      EXPECT_TRUE(Contains(prompts_.signatureWarnings[0], "Signature made")) << prompts_.signatureWarnings[0].Text();
    }
  }

  // IGNORECKT: no check, no warning.
  settings_.write("fhr.ini", "[settings]\nIGNORECKT=1\n");
  test::ScriptedMsgDialog dialogs;
  prompts_ = ScriptedPrompts();
  prompts_.answers = {"alice pass"};
  StringList lines = fx_.Lines("othersigned.txt");
  EXPECT_TRUE(DecryptNymMessage(env_, Subject(fx_.alice), lines).ok);
  EXPECT_TRUE(dialogs.boxes().empty());
  EXPECT_TRUE(prompts_.signatureWarnings.empty());
}

TEST_F(DecryptWorkflow, CachedPassphrasesAreUsedAndReplacedWhenTheyFail) {
  struct Step {
    std::string cached;
    std::vector<std::string> answers;
    bool ok;
    std::size_t prompts;
    std::size_t badBoxes;
    std::string keptAfter;
  } steps[] = {
      {"", {"alice pass"}, true, 1, 0, "alice pass"},            // asked, then kept
      {"alice pass", {}, true, 0, 0, "alice pass"},              // recalled, not asked
      {"stale pass", {"alice pass"}, true, 1, 1, "alice pass"},  // said wrong, asked, replaced
      {"", {"w1", "w2", "w3", "w4", "w5", "alice pass"}, false, 5, 5, ""},  // five attempts at most
  };
  for (const Step& s : steps) {
    SCOPED_TRACE(s.cached + " / " + std::to_string(s.answers.size()));
    test::ScriptedMsgDialog dialogs;
    cache_.entries.clear();
    if (!s.cached.empty()) cache_.entries[fx_.alice] = s.cached;
    prompts_ = ScriptedPrompts();
    prompts_.answers.assign(s.answers.begin(), s.answers.end());
    StringList lines = fx_.Lines("twolayers.txt");
    // Throw-keyids: the passphrase is kept under the subject line's key.
    EXPECT_EQ(DecryptNymMessage(env_, Subject(fx_.alice, "kp one,kp two"), lines).ok, s.ok);
    EXPECT_EQ(prompts_.prompts.size(), s.prompts);
    ASSERT_EQ(dialogs.boxes().size(), s.badBoxes);
    for (const std::string& text : dialogs.texts()) EXPECT_EQ(text, "   Bad passphrase!");
    if (s.keptAfter.empty()) {
      EXPECT_TRUE(cache_.entries.empty());
    } else {
      EXPECT_EQ(cache_.entries[fx_.alice], s.keptAfter);
    }
    EXPECT_TRUE(gpgReports_.empty());
  }
}

TEST_F(DecryptWorkflow, AnOrdinaryMessageGetsThreeAttemptsAndIsCachedUnderItsFirstKey) {
  StringList lines = fx_.Lines("tobob.txt");
  prompts_.answers = {"w1", "w2", "w3", "bob pass"};
  EXPECT_FALSE(DecryptMessage(env_, lines));
  EXPECT_EQ(prompts_.prompts.size(), 3u);
  EXPECT_EQ(prompts_.prompts[0].caption, kMessagePromptCaption);
  EXPECT_EQ(prompts_.prompts[0].keysLabel, kMessageKeysLabel);
  EXPECT_TRUE(prompts_.prompts[0].entries[0].ends_with(" bob <bob@nym.example>")) << prompts_.prompts[0].entries[0];
  EXPECT_EQ(Boxes(), std::vector<std::string>(3, "   Bad passphrase!"));
  EXPECT_TRUE(cache_.entries.empty());

  prompts_ = ScriptedPrompts();
  prompts_.answers = {"bob pass"};
  EXPECT_TRUE(DecryptMessage(env_, lines));
  EXPECT_TRUE(Contains(lines, "Secret body for bob."));
  ASSERT_EQ(cache_.entries.size(), 1u);
  EXPECT_EQ(cache_.entries.begin()->first, FieldOf(0, prompts_.prompts[0].entries[0], ' ', ""));
  // No nymserver checks for an ordinary message.
  EXPECT_TRUE(prompts_.blending.empty());
  EXPECT_EQ(Boxes().size(), 3u);
}

TEST_F(DecryptWorkflow, TheProgramsCacheKeepsTheNymPassphrase) {
  TPGPPassphraseCache cache(env_.setup, [] { return std::string("session key for the test"); },
                            [] { return std::uint32_t{1000}; });
  cache.SetMinutes(5);
  CacheAccessFor access(cache);
  DecryptEnvironment env = env_;
  env.cache = &access;
  for (std::size_t run = 0; run < 2; ++run) {
    SCOPED_TRACE(run);
    prompts_ = ScriptedPrompts();
    prompts_.answers = {"alice pass"};
    StringList lines = fx_.Lines("twolayers.txt");
    EXPECT_TRUE(DecryptNymMessage(env, Subject(fx_.alice, "kp one,kp two"), lines).ok);
    EXPECT_EQ(prompts_.prompts.size(), run == 0 ? 1u : 0u);
    EXPECT_EQ(cache.Count(), 1u);
  }
  EXPECT_TRUE(gpgReports_.empty());
}

}  // namespace
}  // namespace fhr
