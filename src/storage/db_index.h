#pragma once
// TDBindex: one folder of the database — its children's names in order,
// each with the payload position of its block — loaded from and stored to
// its index block.
#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

#include "storage/db_buffer.h"
#include "storage/db_manager.h"

namespace fhr {

class TDBindex {
 public:
  // Loads the folder `name` of `parent`, or the root folder when `parent`
  // is null (making the root cell on a new image). A folder that has no
  // block yet starts empty. When loading fails the manager's error is set
  // and Loaded() is false: such a folder must not be stored, or the names
  // it could not read would be lost. A child that is a record, not a
  // folder, cannot be loaded as one (kDbBadKey).
  TDBindex(TDBmanager& manager, TDBindex* parent, std::string name);
  TDBindex(const TDBindex&) = delete;
  TDBindex& operator=(const TDBindex&) = delete;

  const std::string& Name() const { return name_; }
  TDBindex* Parent() const { return parent_; }
  bool Loaded() const { return loaded_; }
  int32_t BlockPosition() const { return block_; }

  std::size_t Count() const { return names_.size(); }
  const std::string& ChildName(std::size_t i) const { return names_[i]; }
  int32_t ChildPosition(std::size_t i) const { return positions_[i]; }
  const std::vector<std::string>& Names() const { return names_; }

  // Index of the first child whose name equals `name` without regard to
  // ASCII letter case, or -1.
  int IndexOf(const std::string& name) const;
  // The child's payload position; -1 when absent or without a block.
  int32_t Lookup(const std::string& name) const;
  // The stored (compressed) length of the child's block; 0 when absent.
  int32_t StoredLength(const std::string& name);
  // Whether child `i` is a folder. A child without a block counts as an
  // (empty) folder. False with the error set when its block is damaged.
  bool IsFolder(std::size_t i);

  // Reads and inflates the child's block into `buffer` (flags included);
  // nothing happens when the name is absent.
  void ReadRecord(const std::string& name, TDBbuffer& buffer);
  // Writes `buffer` (a record, never a folder) as the child `name`, adding
  // the name at the end when it is new and freeing its old block; with no
  // buffer the child is removed. With `store` the folder is stored at once.
  void WriteRecord(const std::string& name, const TDBbuffer* buffer, bool store);
  // Gives the child `name` the name `newName`, keeping its block. A new
  // name that another child already has is refused (kDbNameExists). With
  // `store` the folder is stored at once.
  void RenameChild(const std::string& name, const std::string& newName, bool store);
  // Sets the position of the child `name`, adding it at the end when new.
  void SetChild(const std::string& name, int32_t position);

  // Writes this folder's index block and enters it in its parent, storing
  // every folder up to the root cell.
  void Store();

  // Pending: changed in memory, not yet stored (see TDB's lazy storing).
  bool Pending() const { return pending_; }
  // Marks this folder and every folder above it pending.
  void MarkPending();

 private:
  void Load();
  void AddName(std::string name, int32_t position);
  void RemoveAt(std::size_t i);
  // After child i was removed: every later index moves down by one.
  void ShiftLookupAfter(std::size_t i);

  TDBmanager& manager_;
  TDBindex* parent_;
  std::string name_;
  std::vector<std::string> names_;
  std::vector<int32_t> positions_;
  // Lower-cased name -> index of its first child, so look-ups in a large
  // folder (the inbox) do not walk every name.
  std::unordered_map<std::string, std::size_t> lookup_;
  int32_t block_ = -1;
  bool loaded_ = false;
  bool pending_ = false;
};

}  // namespace fhr
