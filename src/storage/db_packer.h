#pragma once
// Packing: the database file never shrinks by itself (deleted records leave
// wiped blocks that are reused only when a new record fits), so the live
// records are copied into a fresh database that then replaces the file.
#include <memory>
#include <set>

#include "storage/fhrdb.h"

namespace fhr {

// Copies the records of one database into a fresh one in memory. Copying
// works on the folders directly, so no "DB Error" box is shown; every
// record or folder that cannot be read or written counts as one failure
// and the copy goes on with the next (the engine's error is cleared before
// each).
class TDBPacker {
 public:
  explicit TDBPacker(TFHRDB& source) : source_(source) {}

  // A new database without a file name holding, in this order, "proxies",
  // "hosts", "subjects", "log", "session" and "settings" (each exists
  // afterwards, empty when it did not before), the folder "inbox", and then
  // every other top-level record and folder of the source in its order.
  // Folders keep their children's order, names and bytes.
  std::unique_ptr<TFHRDB> Copy();
  int Failures() const { return failures_; }

 private:
  void CopyRecord(TDBindex& from, TDBindex& to, const std::string& name);
  void CopyFolder(TDBindex& from, TDBindex& to, const std::string& name, std::size_t level);
  void CopyChild(TDBindex& from, TDBindex& to, std::size_t i, std::size_t level);

  TFHRDB& source_;
  TDBmanager* target_ = nullptr;
  // Index blocks of the source already copied: a damaged file may list a
  // folder inside itself or in several places, which would otherwise make
  // the copy grow without bound.
  std::set<int32_t> copiedFolders_;
  int failures_ = 0;
};

enum class PackOutcome {
  kPacked,      // the packed database replaced the file and is now `db`
  kDeclined,    // some copies failed and the user kept the old database
  kSaveFailed,  // the packed database is `db` (changed) but the file is the old one
};

// Packs the program's database. When copies failed, asks "You have N failed
// operations. Do you wish to keep this new datafile?"; No keeps `db`
// untouched. Otherwise `db` becomes the packed database, a leftover
// database temporary file (the file name + ".tmp") is deleted, and the
// packed image replaces the file atomically. A failed save is shown ("I
// failed to save packed database. I'm keeping the original! ..."); the old
// file stays and the packed database, marked changed, is saved later.
PackOutcome PackDatabase(std::unique_ptr<TFHRDB>& db);

}  // namespace fhr
