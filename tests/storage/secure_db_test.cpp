// Secure mode against the real gpg1 and liberaser.so: switching it on,
// saving, reopening with the passphrase, changing it and switching it off;
// the file's form; the plain file it replaces erased (hard links included);
// failed encryptions that leave the old file; writes made while gpg runs.
#include "storage/secure_db.h"

#include <dlfcn.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>

#include "core/pacing.h"
#include "eraser/eraser.h"
#include "eraser/plugin/eraser.h"
#include "core/settings.h"
#include "gnupg/gpg_messages.h"
#include "storage/db_manager.h"
#include "storage/db_packer.h"
#include "storage/fhrdb.h"
#include "storage/secure_file.h"
#include "support/scripted_msgdialog.h"
#include "support/scripted_passphrase_prompt.h"
#include "support/temp_dir.h"

namespace fhr {
namespace {

const char kMessageKey[] = "240101120000000\x87" "from\x87" "subject";

class SecureDb : public ::testing::Test {
 protected:
  std::string DbFile() const { return dir_.file("fhr.db"); }

  // A plain database file holding one message.
  void MakePlainDatabase() {
    TFHRDB db(DbFile());
    db.Open();
    ASSERT_EQ(db.OpenError(), 0);
    ASSERT_TRUE(db.WriteMessage(kMessageKey, StringList({"Subject: hello", "", "the secret body"})));
    ASSERT_TRUE(db.SaveDatabase());
  }

  std::unique_ptr<TFHRDB> Open() {
    auto db = std::make_unique<TFHRDB>(DbFile());
    db->Open();
    return db;
  }

  // Opens and switches secure mode on with `passphrase`, and saves.
  void MakeSecureDatabase(const std::string& passphrase) {
    MakePlainDatabase();
    auto db = Open();
    prompt_.TypeTwice(passphrase);
    ASSERT_TRUE(db->ToggleSecureMode());
    ASSERT_TRUE(db->SaveDatabase());
  }

  static std::string Body(TFHRDB& db) {
    StringList lines;
    db.ReadMessage(kMessageKey, lines);
    return lines.size() == 3 ? lines[2] : "";
  }

  test::TempDir dir_;
  test::ScriptedMsgDialog dialogs_;
  test::ScriptedPassphrasePrompt prompt_;
};

TEST_F(SecureDb, RoundTripOnSaveReopenChangeOff) {
  MakePlainDatabase();
  auto db = Open();
  EXPECT_FALSE(db->IsSecure());
  EXPECT_TRUE(prompt_.shown().empty()) << "a plain file asks nothing";

  // Switch on: the first attempt is refused as too short, then accepted.
  prompt_.TypeTwice("short");
  prompt_.TypeTwice("correct horse");
  ASSERT_TRUE(db->ToggleSecureMode());
  EXPECT_TRUE(db->IsSecure());
  EXPECT_TRUE(db->Changed());
  EXPECT_EQ(db->GetDbSetting("securemode", ""), "1");
  ASSERT_TRUE(db->SaveDatabase());
  const std::string image = db->Image();
  db.reset();

  // The file: gpg's data, then the image length; no plain copy anywhere.
  const std::string file = dir_.read("fhr.db");
  std::string_view encrypted;
  std::uint64_t length = 0;
  ASSERT_TRUE(SplitSecureFile(file, &encrypted, &length));
  EXPECT_EQ(length, image.size());
  EXPECT_FALSE(file.starts_with(kDbMagic));
  EXPECT_EQ(file.find("the secret body"), std::string::npos);
  EXPECT_FALSE(std::ifstream(dir_.file("fhr.db.plain")).good());
  EXPECT_FALSE(std::ifstream(dir_.file("fhr.db.tmp")).good());

  // Reopen: a wrong passphrase, then the right one.
  prompt_.Type("wrong passphrase");
  prompt_.Type("correct horse");
  db = Open();
  ASSERT_EQ(db->OpenError(), 0);
  EXPECT_TRUE(db->IsSecure());
  EXPECT_EQ(Body(*db), "the secret body");
  EXPECT_EQ(prompt_.shown(), (std::vector<SecModeDlgMode>{SecModeDlgMode::kSetUp, SecModeDlgMode::kOpen,
                                                          SecModeDlgMode::kOpen}));

  // Change: the current passphrase first, then the new one twice.
  prompt_.Type("correct horse");
  prompt_.TypeTwice("battery staple");
  ASSERT_TRUE(db->ToggleSecureMode());
  EXPECT_EQ(prompt_.shown().back(), SecModeDlgMode::kChange);
  ASSERT_TRUE(db->SaveDatabase());
  db.reset();

  // The old passphrase no longer opens it: three failures refuse the open.
  const std::string changed = dir_.read("fhr.db");
  for (int i = 0; i < 3; ++i) prompt_.Type("correct horse");
  db = Open();
  EXPECT_EQ(db->OpenError(), kDbPassphraseRefused);
  db.reset();
  EXPECT_EQ(dir_.read("fhr.db"), changed) << "a refused open writes nothing";

  // Switch off, confirming the question, and save: the plain image again.
  prompt_.Type("battery staple");
  db = Open();
  ASSERT_EQ(db->OpenError(), 0);
  dialogs_.Answer(kMrYes);
  prompt_.Type("battery staple", "", true);
  ASSERT_TRUE(db->ToggleSecureMode());
  EXPECT_FALSE(db->IsSecure());
  EXPECT_EQ(db->GetDbSetting("securemode", ""), "0");
  ASSERT_TRUE(db->SaveDatabase());
  db.reset();
  EXPECT_TRUE(dir_.read("fhr.db").starts_with(kDbMagic));
  db = Open();
  EXPECT_EQ(Body(*db), "the secret body");

  const std::vector<std::string> expected = {
      "Your passphrase needs to be at least 6 characters long!",
      "Secure Mode is set!",
      "Bad passphrase!",
      "Secure Mode is set!",
      "Bad passphrase!",
      "Bad passphrase!",
      "Bad passphrase!",
      "IMPORTANT!\nI'm going to CANCEL Secure Mode. Your database will no longer   \n"
      "be encrypted between sessions. Is that what you want?",
      "Secure Mode is canceled!",
  };
  EXPECT_EQ(dialogs_.texts(), expected);
  EXPECT_EQ(prompt_.pending(), 0u);
}

TEST_F(SecureDb, CancelledOrMissingPassphraseRefusesTheOpen) {
  MakeSecureDatabase("correct horse");
  auto db = Open();  // the script is empty: the dialog is cancelled
  EXPECT_EQ(db->OpenError(), kDbPassphraseRefused);
  EXPECT_EQ(OpenMailDatabase(DbFile()), nullptr);
}

TEST_F(SecureDb, TheFileDecryptsWithPlainGpgAfterItsLengthIsCut) {
  MakeSecureDatabase("correct horse");
  const std::string file = dir_.read("fhr.db");
  dir_.write("stripped.gpg", file.substr(0, file.size() - 8));
  dir_.write("pass", "correct horse\n");
  const std::string command = "gpg1 --homedir '" + dir_.path() + "' --batch --quiet --passphrase-file '" +
                              dir_.file("pass") + "' --output '" + dir_.file("out") + "' --decrypt '" +
                              dir_.file("stripped.gpg") + "' 2>/dev/null";
  ASSERT_EQ(std::system(command.c_str()), 0);
  std::string decrypted = dir_.read("out");
  EXPECT_TRUE(decrypted.starts_with(kDbMagic));
  std::string_view encrypted;
  std::uint64_t length = 0;
  ASSERT_TRUE(SplitSecureFile(file, &encrypted, &length));
  EXPECT_EQ(length, decrypted.size());
  TFHRDB plain("");
  plain.OpenImage(std::move(decrypted));
  ASSERT_EQ(plain.OpenError(), 0);
  EXPECT_EQ(Body(plain), "the secret body");
}

TEST_F(SecureDb, APlainFileAndItsHardLinksAreErasedWhenTheEncryptedOneTakesItsName) {
  MakePlainDatabase();
  const std::string plain = dir_.read("fhr.db");
  ASSERT_EQ(::link(DbFile().c_str(), dir_.file("user-link").c_str()), 0);
  auto db = Open();
  prompt_.TypeTwice("correct horse");
  ASSERT_TRUE(db->ToggleSecureMode());
  ASSERT_TRUE(db->SaveDatabase());
  // The link shares the old file's bytes, which were overwritten.
  const std::string linked = dir_.read("user-link");
  EXPECT_NE(linked, plain);
  EXPECT_EQ(linked.find("FH"), std::string::npos);
  EXPECT_FALSE(std::ifstream(dir_.file("fhr.db.plain")).good());
  const std::string file = dir_.read("fhr.db");
  std::string_view encrypted;
  std::uint64_t length = 0;
  ASSERT_TRUE(SplitSecureFile(file, &encrypted, &length));
  EXPECT_TRUE(IsOpenPGPData(db->Gpg(), encrypted));
}

int32_t FailingStart(uint32_t) { return ERASER_ERROR; }

TEST_F(SecureDb, APlainCopyThatCannotBeErasedFailsTheSave) {
  MakePlainDatabase();
  auto db = Open();
  prompt_.TypeTwice("correct horse");
  ASSERT_TRUE(db->ToggleSecureMode());
  // The real plugin, except that its job fails.
  ASSERT_TRUE(LoadEraser(std::string(FHR_BIN_DIR) + "/"));
  void* plugin = dlopen((std::string(FHR_BIN_DIR) + "/liberaser.so").c_str(), RTLD_NOW | RTLD_LOCAL);
  ASSERT_NE(plugin, nullptr);
  const EraserResolver previous = InstallEraserResolver([plugin](const char* name) -> void* {
    return std::string(name) == "eraserStartSync" ? reinterpret_cast<void*>(&FailingStart) : dlsym(plugin, name);
  });
  dialogs_.Answer(kMrOk);  // the eraser's failure
  dialogs_.Answer(kMrNo);  // no plain deletion
  EXPECT_FALSE(db->SaveDatabase());
  InstallEraserResolver(previous);
  dlclose(plugin);
  EXPECT_TRUE(db->Changed());
  EXPECT_TRUE(dialogs_.texts().back().starts_with(
      "Problem! I couldn't save the database! The error reported was:   \n\nthe database is saved encrypted, but "
      "its old plain copy"))
      << dialogs_.texts().back();
  // The next save finishes the job.
  ASSERT_TRUE(db->SaveDatabase());
  EXPECT_FALSE(std::ifstream(dir_.file("fhr.db.plain")).good());
}

TEST_F(SecureDb, PackingAndClosingKeepTheDatabaseEncrypted) {
  MakeSecureDatabase("correct horse");
  prompt_.Type("correct horse");
  auto db = Open();
  ASSERT_TRUE(db->WriteStatus({"written, never saved by hand"}));
  db.reset();  // closing saves the change, encrypted
  EXPECT_FALSE(dir_.read("fhr.db").starts_with(kDbMagic));

  prompt_.Type("correct horse");
  db = Open();
  ASSERT_TRUE(db->DeleteMessage(kMessageKey));
  ASSERT_EQ(PackDatabase(db), PackOutcome::kPacked);
  EXPECT_TRUE(db->IsSecure());
  db.reset();
  EXPECT_FALSE(dir_.read("fhr.db").starts_with(kDbMagic));
  prompt_.Type("correct horse");
  db = Open();
  ASSERT_EQ(db->OpenError(), 0);
  StringList status;
  ASSERT_TRUE(db->ReadStatus(status));
  EXPECT_EQ(status, StringList({"written, never saved by hand"}));
  EXPECT_EQ(Body(*db), "");
}

TEST_F(SecureDb, ALeftoverLinkOfTheDatabaseIsUnlinkedNotErased) {
  // A save cut short after linking aside and before the rename leaves two
  // names of the database file; the next save must keep the database.
  MakeSecureDatabase("correct horse");
  ASSERT_EQ(::link(DbFile().c_str(), dir_.file("fhr.db.plain").c_str()), 0);
  prompt_.Type("correct horse");
  auto db = Open();
  ASSERT_EQ(db->OpenError(), 0);
  EXPECT_FALSE(std::ifstream(dir_.file("fhr.db.plain")).good());
  EXPECT_EQ(Body(*db), "the secret body");
  db.reset();
  prompt_.Type("correct horse");
  EXPECT_EQ(Body(*Open()), "the secret body");
}

TEST_F(SecureDb, AFailedEncryptionLeavesTheOldFileAndTheChanges) {
  MakeSecureDatabase("correct horse");
  const std::string before = dir_.read("fhr.db");
  prompt_.Type("correct horse");
  auto db = Open();
  ASSERT_TRUE(db->DeleteMessage(kMessageKey));
  Settings(dir_.file("fhr.ini")).Write("gpg", "encryptdb", "--batch --no-such-option %filename%");
  std::vector<std::string> status;
  db->SetStatusSink([&](const std::string& text) { status.push_back(text); });
  EXPECT_FALSE(db->SaveDatabase());
  EXPECT_TRUE(db->Changed());
  EXPECT_EQ(dir_.read("fhr.db"), before);
  EXPECT_FALSE(std::ifstream(dir_.file("fhr.db.tmp")).good());
  EXPECT_EQ(status, (std::vector<std::string>{" encrypting... ", " Encryption FAILED! "}));
  // Once gpg works again the same changes are saved.
  Settings(dir_.file("fhr.ini")).Write("gpg", "encryptdb", std::string(DefaultTemplate("encryptdb")));
  ASSERT_TRUE(db->SaveDatabase());
  db.reset();
  prompt_.Type("correct horse");
  EXPECT_EQ(Body(*Open()), "");
}

// Writes a record at the first pause after it is armed: the desktop keeps
// handling events while gpg runs, and any handler may write the database.
class WritingPacer : public Pacer {
 public:
  void Wait(std::chrono::milliseconds) override {
    if (db && armed) {
      armed = false;
      db->WriteStrings("late", &late);
    }
  }
  TFHRDB* db = nullptr;
  bool armed = false;
  StringList late{"written while gpg ran"};
};

TEST_F(SecureDb, WritesWhileGpgRunsStayMarkedForTheNextSave) {
  MakeSecureDatabase("correct horse");
  prompt_.Type("correct horse");
  auto db = Open();
  const StringList early({"before the save"});
  ASSERT_TRUE(db->WriteStrings("early", &early));
  WritingPacer pacer;
  pacer.db = db.get();
  ScopedPacer installed(&pacer);
  db->SetStatusSink([&](const std::string& text) { pacer.armed = text == " encrypting... "; });
  ASSERT_TRUE(db->SaveDatabase());
  EXPECT_FALSE(pacer.armed) << "no pause came while gpg ran";
  EXPECT_TRUE(db->Changed()) << "the late write must not count as saved";
  db->SetStatusSink(nullptr);

  prompt_.Type("correct horse");
  {
    auto saved = Open();
    StringList lines;
    saved->ReadStrings("early", lines);
    EXPECT_EQ(lines.Text(), StringList({"before the save"}).Text());
    saved->ReadStrings("late", lines);
    EXPECT_EQ(lines.size(), 0u) << "the file holds the image as it was when the save began";
  }
  ASSERT_TRUE(db->SaveDatabase());
  db.reset();
  prompt_.Type("correct horse");
  StringList lines;
  Open()->ReadStrings("late", lines);
  EXPECT_EQ(lines.size(), 1u);
}

TEST_F(SecureDb, SessionKeyIsRandomPerOpenAndNeverWritten) {
  MakePlainDatabase();
  auto first = Open();
  const std::string a = first->GetSessionKey();
  EXPECT_FALSE(first->Changed());
  ASSERT_TRUE(first->WriteStatus({"status"}));
  ASSERT_TRUE(first->SaveDatabase());
  first.reset();
  // No record holds it (records are compressed: the bytes would not show it).
  auto second = Open();
  std::vector<std::string> names;
  ASSERT_TRUE(second->ListFolder("", &names));
  EXPECT_EQ(names, (std::vector<std::string>{"inbox", "status"}));
  const std::string b = second->GetSessionKey();
  EXPECT_GE(a.size(), 40u);
  EXPECT_NE(a, b);
}

}  // namespace
}  // namespace fhr
