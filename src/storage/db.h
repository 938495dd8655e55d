#pragma once
// TDB: the mail database engine. A small hierarchical record store held
// wholly in memory: every record is a zlib-compressed byte string addressed
// by a key path (db_key.h); folders are index blocks listing their
// children's names and positions; every change writes new blocks and frees
// the old ones (first-fit reuse). The file format is in
// docs/database_format.md.
//
// Folders changed by writes are stored lazily: a changed folder (and every
// folder above it) stays in memory, pending, until a key walk leaves it,
// the image is read whole (Image, SaveToFile) or packed. One write followed
// by a save gives the same file as storing the folder at once; many writes
// into one folder store its index block once instead of once per write.
//
// Every operation clears the engine's error first and, when it ends with an
// error, shows the "DB Error" box and returns false. The database stays
// usable after an error.
#include <memory>
#include <string>
#include <vector>

#include "core/stringlist.h"
#include "storage/db_buffer.h"
#include "storage/db_index.h"
#include "storage/db_key.h"
#include "storage/db_manager.h"

namespace fhr {

// The message shown when the database file cannot be written; the reason
// follows it.
inline constexpr const char* kDbSaveProblemText =
    "Problem! I couldn't save the database! The error reported was:   \n\n";

class TDB {
 public:
  // A database for `fileName` (may be empty: a database only in memory).
  // It is not open until Open or OpenImage is called.
  explicit TDB(std::string fileName);
  // Stores pending folders and, when the database is changed, opened
  // cleanly and has a file name, saves it (a failure is shown); then wipes
  // the image.
  virtual ~TDB();
  TDB(const TDB&) = delete;
  TDB& operator=(const TDB&) = delete;

  // Loads the file (a missing file gives a new, empty database) and opens
  // the engine over its bytes. A file that cannot be read sets open error
  // kDbReadException with the reason, shown in the "DB Error" box.
  virtual void Open();
  // Opens the engine over `image` (empty: a new database, whose image
  // becomes the 31-byte empty file). Sets OpenError when the header, the
  // free list or the root folder cannot be read; such a database is never
  // written back to its file.
  void OpenImage(std::string image);
  // 0 when the database opened cleanly, else the engine's error code.
  int OpenError() const { return openError_; }

  // The record's lines (split at CR LF, LF or CR). A missing record gives
  // an empty list. A key naming a folder gives the folder's child names.
  bool ReadStrings(const std::string& key, StringList& list);
  // Stores the list's text (each line followed by CR LF) as the record;
  // with no list the record is deleted.
  bool WriteStrings(const std::string& key, const StringList* list);
  // The record's bytes and flags (empty when the record is missing).
  bool ReadBuffer(const std::string& key, TDBbuffer& buffer);
  // Writes the record's bytes (no buffer: deletes it), creating the folders
  // on the way. With `storeIndex` the changed folder becomes pending and is
  // stored lazily; without it the change stays in the loaded folder until a
  // later store through it. Marks the database changed.
  bool WriteBuffer(const std::string& key, const TDBbuffer* buffer, bool storeIndex = true);
  bool DeleteRecord(const std::string& key);
  // Gives the record (or folder) named by the key's last part `newName`
  // inside its folder, keeping its block. Refused when another child has
  // that name already (kDbNameExists) or when the name is not valid.
  bool RenameRecord(const std::string& key, const std::string& newName);

  enum class EntryKind { kMissing, kRecord, kFolder };
  // What the key names. A name without a block counts as an empty folder.
  EntryKind KindOf(const std::string& key);
  // The child names of the folder at `key` (the root when empty), in order.
  bool ListFolder(const std::string& key, std::vector<std::string>* names);

  // Writes the whole image to `fileName` (when not empty and different, it
  // becomes the database's file name), replacing the file atomically, and
  // clears the changed flag. Nothing happens and the result is true when
  // both names are empty. False (reason in LastException) when the file
  // cannot be written or the database did not open cleanly.
  bool SaveToFile(const std::string& fileName);
  // The image with every pending folder stored: the bytes a save writes.
  const std::string& Image();
  // Stores every pending folder now. True when no error.
  bool StorePendingFolders();

  // The loaded folder of a key level (0: the root), or null.
  TDBindex* IndexAt(std::size_t level);
  TDBmanager& Manager() { return *manager_; }
  // Shows the "DB Error" box for `code` with the last error's details.
  void ShowDBError(int code);

  const std::string& FileName() const { return fileName_; }
  void SetFileName(std::string fileName);
  bool Changed() const { return changed_; }
  void SetChanged(bool changed) { changed_ = changed; }
  // The reason of the last failure to load or save the file.
  const std::string& LastException() const { return lastException_; }

 protected:
  void SetOpenError(int code, const std::string& reason);
  void SetLastException(std::string text) { lastException_ = std::move(text); }

 private:
  template <typename Op>
  bool Walk(const std::string& key, bool changes, Op op);
  bool Ready();
  bool Finish();
  // Makes chain_ hold the root and then exactly `folders`, reusing the
  // folders already loaded on that path and storing the pending ones that
  // are left.
  bool PrepareChain(const std::vector<std::string>& folders);
  void StorePendingChain();

  std::string fileName_;
  std::string image_;
  std::unique_ptr<TDBmanager> manager_;
  // Slot 0 the root folder, slot n the folder of key level n.
  std::vector<std::unique_ptr<TDBindex>> chain_;
  bool changed_ = false;
  bool writable_ = false;
  int openError_ = kDbInitError;
  std::string lastException_;
};

}  // namespace fhr
