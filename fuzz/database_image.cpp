// Any bytes opened as a database image: every record can be read, the
// records can be packed, a few writes and a save-and-reopen work, and
// nothing crashes, hangs or touches memory outside the image.
#include <cstddef>
#include <cstdint>
#include <set>
#include <string>
#include <vector>

#include "core/msgdialog.h"
#include "storage/db.h"
#include "storage/db_packer.h"

namespace {

class SilentHost : public fhr::MsgDialogHost {
 public:
  int Show(const fhr::MsgBox&) override { return fhr::kMrOk; }
};

// Every folder block is visited once: a damaged file may list a folder
// inside itself.
void ReadEverything(fhr::TDB& db, const std::string& folderKey, std::size_t depth, std::set<int32_t>& seen) {
  std::vector<std::string> names;
  if (!db.ListFolder(folderKey, &names)) return;
  const int32_t block = db.IndexAt(depth)->BlockPosition();
  if (block != -1 && !seen.insert(block).second) return;
  for (const std::string& name : names) {
    const std::string key = folderKey.empty() ? name : folderKey + fhr::kDbKeySeparator + name;
    if (db.KindOf(key) == fhr::TDB::EntryKind::kFolder) {
      if (depth + 1 < fhr::kDbMaxKeyParts) ReadEverything(db, key, depth + 1, seen);
    } else {
      fhr::TDBbuffer buffer;
      db.ReadBuffer(key, buffer);
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static SilentHost host;
  fhr::InstallMsgDialogHost(&host);
  fhr::TFHRDB db("");
  db.OpenImage(std::string(reinterpret_cast<const char*>(data), size));
  if (db.OpenError() == fhr::kDbNotADatabase) return 0;
  std::set<int32_t> seen;
  ReadEverything(db, "", 0, seen);
  if (db.OpenError() != fhr::kDbNoError) return 0;
  fhr::TDBPacker packer(db);
  std::unique_ptr<fhr::TFHRDB> packed = packer.Copy();
  std::set<int32_t> seenPacked;
  ReadEverything(*packed, "", 0, seenPacked);
  const std::string inboxKey = fhr::DbKey({"inbox", "new"});
  fhr::TDBbuffer message(std::string(200, 'm'));
  db.WriteBuffer(inboxKey, &message);
  std::vector<std::string> root;
  if (db.ListFolder("", &root) && !root.empty()) {
    db.DeleteRecord(root.front());
    if (root.size() > 1) db.RenameRecord(root.back(), "renamed");
  }
  fhr::TDB reopened("");
  reopened.OpenImage(db.Image());
  std::set<int32_t> seenReopened;
  ReadEverything(reopened, "", 0, seenReopened);
  return 0;
}
