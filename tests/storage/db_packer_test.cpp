// Packing: the live records move into a smaller file, in the same order and
// under the same keys; failures are asked about; the file is replaced.
#include "storage/db_packer.h"

#include <filesystem>

#include <gtest/gtest.h>

#include "support/scripted_msgdialog.h"
#include "support/temp_dir.h"

namespace fhr {
namespace {

const std::string kFF(1, '\xFF');

std::string MessageText(int i) {
  std::string text;
  for (int line = 0; line < 40; ++line) text += "message " + std::to_string(i) + " line " + std::to_string(line * 31337) + "\r\n";
  return text;
}

// A saved database with 40 messages of which every second one is deleted,
// the records every database has (but "log"), "nymservers", "status", a
// record of another name and a nested folder.
void MakeDatabase(const std::string& path) {
  auto db = OpenMailDatabase(path);
  ASSERT_TRUE(db);
  for (int i = 0; i < 40; ++i) {
    StringList lines;
    lines.SetText(MessageText(i));
    ASSERT_TRUE(db->WriteMessage("m" + std::to_string(i), lines));
  }
  for (int i = 0; i < 40; i += 2) ASSERT_TRUE(db->DeleteMessage("m" + std::to_string(i)));
  ASSERT_TRUE(db->WriteHosts({"acc=server=a"}));
  ASSERT_TRUE(db->WriteNymservers({"nym.example=type=nym"}));
  ASSERT_TRUE(db->WriteStatus({"status"}));
  ASSERT_TRUE(db->SetDbSetting("nextsubject", "2003"));
  const StringList other{"kept"};
  ASSERT_TRUE(db->WriteStrings("other", &other));
  ASSERT_TRUE(db->WriteStrings("folder" + kFF + "sub" + kFF + "deep", &other));
  ASSERT_TRUE(db->SaveDatabase());
}

TEST(DbPacker, PackedFileIsSmallerAndKeepsEveryRecordInOrder) {
  test::ScriptedMsgDialog boxes;
  test::TempDir dir;
  const std::string path = dir.file("fhr.db");
  MakeDatabase(path);
  dir.write("fhr.db.tmp", "left over");
  const std::size_t before = dir.read("fhr.db").size();

  auto db = OpenMailDatabase(path);
  ASSERT_TRUE(db);
  const std::string sessionKey = db->GetSessionKey();
  ASSERT_EQ(PackDatabase(db), PackOutcome::kPacked);
  EXPECT_TRUE(boxes.boxes().empty());
  EXPECT_EQ(db->GetSessionKey(), sessionKey) << "the packed copy goes on with the run's session key";
  EXPECT_FALSE(db->Changed());
  EXPECT_EQ(db->FileName(), path);
  EXPECT_LT(dir.read("fhr.db").size(), before * 2 / 3);
  EXPECT_FALSE(std::filesystem::exists(dir.file("fhr.db.tmp")));

  auto packed = OpenMailDatabase(path);
  ASSERT_TRUE(packed);
  StringList keys;
  ASSERT_TRUE(packed->ListInbox(keys));
  ASSERT_EQ(keys.size(), 20u);
  for (std::size_t k = 0; k < keys.size(); ++k) {
    const int i = static_cast<int>(2 * k + 1);
    EXPECT_EQ(keys[k], "m" + std::to_string(i));
    StringList lines;
    ASSERT_TRUE(packed->ReadMessage(keys[k], lines));
    EXPECT_EQ(lines.Text(), MessageText(i));
  }
  std::vector<std::string> root;
  ASSERT_TRUE(packed->ListFolder("", &root));
  EXPECT_EQ(root, (std::vector<std::string>{"proxies", "hosts", "subjects", "log", "session", "settings", "inbox",
                                           "nymservers", "status", "other", "folder"}));
  EXPECT_EQ(packed->NymserverType("nym.example"), "nym");
  EXPECT_EQ(packed->GetDbSetting("nextsubject", ""), "2003");
  StringList lines;
  ASSERT_TRUE(packed->ReadStatus(lines));
  EXPECT_EQ(lines, StringList({"status"}));
  ASSERT_TRUE(packed->ReadStrings("folder" + kFF + "sub" + kFF + "deep", lines));
  EXPECT_EQ(lines, StringList({"kept"}));
  EXPECT_EQ(packed->KindOf("log"), TDB::EntryKind::kRecord);  // did not exist: now empty
}

// A damaged message is one failed copy; the user is asked whether to keep
// the packed file, and each answer does what it says.
TEST(DbPacker, FailedCopiesAreCountedAndAskedAbout) {
  for (const int answer : {kMrNo, kMrYes}) {
    test::ScriptedMsgDialog boxes;
    test::TempDir dir;
    const std::string path = dir.file("fhr.db");
    MakeDatabase(path);
    std::string image = dir.read("fhr.db");
    {
      auto db = OpenMailDatabase(path);
      ASSERT_TRUE(db);
      TDBindex inbox(db->Manager(), db->IndexAt(0), "inbox");
      const int32_t position = inbox.Lookup("m1");
      ASSERT_GT(position, 0);
      image[static_cast<std::size_t>(position) + 8] ^= 0x7F;  // m1's zlib header
    }
    dir.write("fhr.db", image);
    boxes.Answer(answer);
    auto db = OpenMailDatabase(path);
    ASSERT_TRUE(db);
    const PackOutcome outcome = PackDatabase(db);
    ASSERT_EQ(boxes.texts().size(), 1u);
    EXPECT_EQ(boxes.texts()[0], "You have 1 failed operations. \nDo you wish to keep this new datafile?");
    StringList keys;
    db->ListInbox(keys);
    if (answer == kMrNo) {
      EXPECT_EQ(outcome, PackOutcome::kDeclined);
      EXPECT_EQ(dir.read("fhr.db"), image);
      EXPECT_EQ(keys.size(), 20u);
    } else {
      EXPECT_EQ(outcome, PackOutcome::kPacked);
      EXPECT_NE(dir.read("fhr.db"), image);
      EXPECT_EQ(keys.size(), 19u);
      EXPECT_EQ(keys.IndexOf("m1"), -1);
    }
  }
}

TEST(DbPacker, AFailedSaveKeepsTheOldFileAndThePackedDatabaseChanged) {
  test::ScriptedMsgDialog boxes;
  test::TempDir dir;
  const std::string path = dir.file("fhr.db");
  MakeDatabase(path);
  const std::string image = dir.read("fhr.db");
  auto db = OpenMailDatabase(path);
  ASSERT_TRUE(db);
  // The file name now points into a folder that does not exist.
  db->SetFileName(dir.file("gone/fhr.db"));
  EXPECT_EQ(PackDatabase(db), PackOutcome::kSaveFailed);
  ASSERT_EQ(boxes.texts().size(), 2u);
  EXPECT_TRUE(boxes.texts()[1].starts_with(
      "I failed to save packed database. I'm keeping the original!  \nThe exception reported was: \n"));
  EXPECT_TRUE(db->Changed());
  EXPECT_EQ(dir.read("fhr.db"), image);
  StringList keys;
  db->ListInbox(keys);
  EXPECT_EQ(keys.size(), 20u);
  db->SetChanged(false);
}

// A damaged folder that lists itself as its own children is copied once;
// each such child is one failure, and packing ends at once.
TEST(DbPacker, AFolderListedInsideItselfIsCopiedOnce) {
  test::ScriptedMsgDialog boxes;
  boxes.Answer(kMrYes);
  auto db = std::make_unique<TFHRDB>("");
  db->OpenImage("");
  const StringList value{"v"};
  ASSERT_TRUE(db->WriteStrings(DbKey({"a", "x"}), &value));
  ASSERT_TRUE(db->WriteStrings(DbKey({"a", "y"}), &value));
  std::string image = db->Image();
  TDBindex a(db->Manager(), db->IndexAt(0), "a");
  const int32_t block = a.BlockPosition();
  // The two child positions follow the folder's stream.
  const auto length = static_cast<std::size_t>(static_cast<unsigned char>(image[static_cast<std::size_t>(block) + 4]));
  for (std::size_t child = 0; child < 2; ++child) {
    for (std::size_t b = 0; b < 4; ++b) {
      image[static_cast<std::size_t>(block) + 8 + length + 4 * child + b] =
          static_cast<char>((static_cast<uint32_t>(block) >> (8 * b)) & 0xFF);
    }
  }
  auto damaged = std::make_unique<TFHRDB>("");
  damaged->OpenImage(image);
  ASSERT_EQ(damaged->OpenError(), 0);
  EXPECT_EQ(PackDatabase(damaged), PackOutcome::kPacked);
  ASSERT_EQ(boxes.texts().size(), 1u);
  EXPECT_EQ(boxes.texts()[0], "You have 2 failed operations. \nDo you wish to keep this new datafile?");
  std::vector<std::string> names;
  ASSERT_TRUE(damaged->ListFolder("a", &names));
  EXPECT_TRUE(names.empty());
}

}  // namespace
}  // namespace fhr
