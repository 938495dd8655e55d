// Real database files, damaged: a byte flipped at every offset, cut short
// at every offset, extended with junk. Each damaged image is opened, every
// record read, the whole database packed and written to: nothing may crash
// or touch memory outside the image (run also under FHR_SANITIZE), a bad
// header is an open error, and bytes after the free list change nothing.
#include <map>
#include <set>

#include <gtest/gtest.h>

#include "storage/db_packer.h"
#include "storage/fhrdb.h"
#include "support/scripted_msgdialog.h"

namespace fhr {
namespace {

using Records = std::map<std::string, std::string>;

// Reads every record below `folderKey` into `records` (key -> bytes); false
// when any read failed. Each folder block is read once (a damaged file may
// list a folder inside itself).
bool ReadEverything(TDB& db, const std::string& folderKey, std::size_t depth, Records* records,
                    std::set<int32_t>& seen) {
  std::vector<std::string> names;
  if (!db.ListFolder(folderKey, &names)) return false;
  const int32_t block = db.IndexAt(depth)->BlockPosition();
  if (block != -1 && !seen.insert(block).second) return false;
  bool ok = true;
  for (const std::string& name : names) {
    const std::string key = folderKey.empty() ? name : folderKey + kDbKeySeparator + name;
    const TDB::EntryKind kind = db.KindOf(key);
    if (kind == TDB::EntryKind::kFolder) {
      if (depth + 1 < kDbMaxKeyParts) ok = ReadEverything(db, key, depth + 1, records, seen) && ok;
    } else {
      TDBbuffer buffer;
      ok = db.ReadBuffer(key, buffer) && ok;
      (*records)[key] = buffer.Data();
    }
  }
  return ok;
}

// Three databases as the program makes them: a busy inbox with deleted
// messages (a free list), nested folders, and a packed copy.
std::vector<std::string> RealImages() {
  std::vector<std::string> images;
  auto db = std::make_unique<TFHRDB>("");
  db->OpenImage("");
  for (int i = 0; i < 12; ++i) {
    StringList lines{"Subject-No: 2000", "From: nym" + std::to_string(i), "", "body " + std::string(i * 20, 'x')};
    db->WriteMessage("24010112000" + std::to_string(1000 + i) + "0\x87name", lines);
  }
  for (int i = 0; i < 12; i += 3) db->DeleteMessage("24010112000" + std::to_string(1000 + i) + "0\x87name");
  db->WriteHosts({"acc=server=news.example,port=119"});
  db->SetDbSetting("nextsubject", "2001");
  images.push_back(db->Image());

  auto nested = std::make_unique<TFHRDB>("");
  nested->OpenImage("");
  const StringList value{"v"};
  nested->WriteStrings(DbKey({"a", "b", "c"}), &value);
  nested->WriteStrings(DbKey({"a", "d"}), &value);
  nested->WriteStrings("log", &value);
  images.push_back(nested->Image());

  TDBPacker packer(*db);
  images.push_back(packer.Copy()->Image());
  return images;
}

// Opens a damaged image and does everything a user could: read it all,
// pack it, store a message, save the image and open that again.
int Exercise(const std::string& image, Records* records) {
  TFHRDB db("");
  db.OpenImage(image);
  if (db.OpenError() != kDbNoError) return db.OpenError();
  std::set<int32_t> seen;
  const bool clean = ReadEverything(db, "", 0, records, seen);
  TDBPacker packer(db);
  packer.Copy();
  db.WriteMessage("new", {"line"});
  TFHRDB again("");
  again.OpenImage(db.Image());
  Records ignored;
  std::set<int32_t> seenAgain;
  ReadEverything(again, "", 0, &ignored, seenAgain);
  return clean ? kDbNoError : -1;
}

TEST(DbCorruption, DamagedFilesNeverCrashAndReportErrors) {
  test::ScriptedMsgDialog boxes;
  for (const std::string& image : RealImages()) {
    Records original;
    ASSERT_EQ(Exercise(image, &original), kDbNoError);
    ASSERT_FALSE(original.empty());
    int failures = 0;
    for (std::size_t offset = 0; offset < image.size(); ++offset) {
      for (const unsigned char mask : {0x01, 0x80, 0xFF}) {
        std::string damaged = image;
        damaged[offset] = static_cast<char>(damaged[offset] ^ mask);
        Records records;
        const int result = Exercise(damaged, &records);
        if (offset < kDbMagic.size()) {
          EXPECT_EQ(result, kDbNotADatabase) << offset;
        }
        if (result != kDbNoError) ++failures;
      }
      Records records;
      // Cut short: the free list (at least) is gone, so opening fails.
      const int cut = Exercise(image.substr(0, offset), &records);
      if (offset > 0) {
        EXPECT_NE(cut, kDbNoError) << offset;
      }
    }
    EXPECT_GT(failures, static_cast<int>(image.size()));
    // Bytes after the free list are not part of the database.
    for (const std::string& junk : {std::string(1, '\0'), std::string(100, '\xFF'), image}) {
      Records records;
      EXPECT_EQ(Exercise(image + junk, &records), kDbNoError);
      EXPECT_EQ(records, original);
    }
  }
}

}  // namespace
}  // namespace fhr
