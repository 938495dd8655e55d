#include "storage/db.h"

#include "core/atomic_file.h"
#include "core/msgdialog.h"
#include "core/text_helpers.h"

namespace fhr {

TDB::TDB(std::string fileName) : fileName_(std::move(fileName)) {}

TDB::~TDB() {
  if (changed_ && writable_ && !fileName_.empty() && !SaveToFile(fileName_)) {
    MsgDialog(kDbSaveProblemText + lastException_, MsgKind::Error, kMbOk);
  }
  chain_.clear();
  manager_.reset();
  WipeText(image_);
}

void TDB::SetOpenError(int code, const std::string& reason) {
  openError_ = code;
  writable_ = false;
  lastException_ = reason;
  if (manager_) manager_->Detail().exceptionText = reason;
}

void TDB::Open() {
  std::string bytes;
  std::string error;
  bool missing = false;
  if (!fileName_.empty() && !ReadWholeFile(fileName_, &bytes, &error, &missing) && !missing) {
    SetOpenError(kDbReadException, error);
    DbErrorDetail detail;
    detail.exceptionText = error;
    ShowDbErrorBox(kDbReadException, detail);
    return;
  }
  OpenImage(std::move(bytes));
}

void TDB::OpenImage(std::string image) {
  chain_.clear();
  WipeText(image_);
  image_ = std::move(image);
  manager_ = std::make_unique<TDBmanager>(image_, fileName_);
  writable_ = false;
  if (!manager_->Initialize()) {
    openError_ = manager_->Error();
    ShowDBError(openError_);
    return;
  }
  chain_.push_back(std::make_unique<TDBindex>(*manager_, nullptr, std::string()));
  openError_ = manager_->Error();
  if (openError_ != kDbNoError) {
    // The root's names as far as they could be read stay readable, but a
    // store would drop the rest: the database is never written back.
    ShowDBError(openError_);
    return;
  }
  writable_ = true;
  changed_ = false;
}

bool TDB::Ready() {
  if (manager_ && !chain_.empty()) {
    manager_->ClearError();
    return true;
  }
  ShowDBError(kDbInitError);
  return false;
}

bool TDB::Finish() {
  const int code = manager_->Error();
  if (code != kDbNoError) ShowDBError(code);
  return code == kDbNoError;
}

void TDB::StorePendingChain() {
  for (std::size_t level = chain_.size(); level-- > 0;) {
    if (chain_[level]->Pending()) {
      // Stores every folder above it too.
      chain_[level]->Store();
      return;
    }
  }
}

bool TDB::PrepareChain(const std::vector<std::string>& folders) {
  std::size_t kept = 0;
  while (kept < folders.size() && kept + 1 < chain_.size() &&
         SameNameIgnoringCase(chain_[kept + 1]->Name(), folders[kept])) {
    ++kept;
  }
  if (chain_.size() > kept + 1) {
    StorePendingChain();
    if (manager_->Error() != kDbNoError) return false;
    chain_.resize(kept + 1);
  }
  for (std::size_t level = kept; level < folders.size(); ++level) {
    auto folder = std::make_unique<TDBindex>(*manager_, chain_.back().get(), folders[level]);
    if (manager_->Error() != kDbNoError) return false;
    chain_.push_back(std::move(folder));
  }
  return true;
}

template <typename Op>
bool TDB::Walk(const std::string& key, bool changes, Op op) {
  if (!Ready()) return false;
  std::vector<std::string> names;
  if (!SplitDbKey(key, &names)) {
    manager_->SetError(kDbBadKey);
  } else if (PrepareChain(std::vector<std::string>(names.begin(), names.end() - 1))) {
    op(*chain_.back(), names.back());
  }
  if (changes) changed_ = true;
  return Finish();
}

bool TDB::ReadBuffer(const std::string& key, TDBbuffer& buffer) {
  buffer.Clear();
  return Walk(key, false, [&](TDBindex& folder, const std::string& name) {
    if (folder.StoredLength(name) > 0) folder.ReadRecord(name, buffer);
  });
}

bool TDB::WriteBuffer(const std::string& key, const TDBbuffer* buffer, bool storeIndex) {
  return Walk(key, true, [&](TDBindex& folder, const std::string& name) {
    folder.WriteRecord(name, buffer, false);
    if (storeIndex) folder.MarkPending();
  });
}

bool TDB::DeleteRecord(const std::string& key) { return WriteBuffer(key, nullptr, true); }

bool TDB::RenameRecord(const std::string& key, const std::string& newName) {
  return Walk(key, true, [&](TDBindex& folder, const std::string& name) {
    folder.RenameChild(name, newName, false);
    if (manager_->Error() == kDbNoError) folder.MarkPending();
  });
}

bool TDB::ReadStrings(const std::string& key, StringList& list) {
  list.Clear();
  TDBbuffer buffer;
  const bool ok = ReadBuffer(key, buffer);
  list.SetText(buffer.Text());
  return ok;
}

bool TDB::WriteStrings(const std::string& key, const StringList* list) {
  if (list == nullptr) return WriteBuffer(key, nullptr, true);
  TDBbuffer buffer(list->Text());
  return WriteBuffer(key, &buffer, true);
}

TDB::EntryKind TDB::KindOf(const std::string& key) {
  EntryKind kind = EntryKind::kMissing;
  Walk(key, false, [&](TDBindex& folder, const std::string& name) {
    const int i = folder.IndexOf(name);
    if (i < 0) return;
    kind = folder.IsFolder(static_cast<std::size_t>(i)) ? EntryKind::kFolder : EntryKind::kRecord;
  });
  return kind;
}

bool TDB::ListFolder(const std::string& key, std::vector<std::string>* names) {
  names->clear();
  if (!Ready()) return false;
  std::vector<std::string> folders;
  if (!key.empty() && !SplitDbKey(key, &folders)) {
    manager_->SetError(kDbBadKey);
  } else if (PrepareChain(folders)) {
    *names = chain_.back()->Names();
  }
  return Finish();
}

bool TDB::StorePendingFolders() {
  if (!Ready()) return false;
  StorePendingChain();
  return Finish();
}

const std::string& TDB::Image() {
  if (manager_) StorePendingFolders();
  return image_;
}

bool TDB::SaveToFile(const std::string& fileName) {
  if (!fileName.empty() && fileName != fileName_) SetFileName(fileName);
  if (fileName_.empty()) return true;
  if (!writable_) {
    lastException_ = "the database was not read completely, so it is not written back";
    return false;
  }
  if (!StorePendingFolders()) {
    lastException_ = DbErrorText(manager_->Error(), manager_->Detail());
    return false;
  }
  std::string error;
  if (!WriteFileAtomically(fileName_, image_, &error)) {
    lastException_ = error;
    return false;
  }
  changed_ = false;
  return true;
}

TDBindex* TDB::IndexAt(std::size_t level) { return level < chain_.size() ? chain_[level].get() : nullptr; }

void TDB::ShowDBError(int code) {
  DbErrorDetail detail = manager_ ? manager_->Detail() : DbErrorDetail{};
  if (detail.exceptionText.empty()) detail.exceptionText = lastException_;
  ShowDbErrorBox(code, detail);
}

void TDB::SetFileName(std::string fileName) {
  fileName_ = std::move(fileName);
  if (manager_) manager_->SetFileName(fileName_);
}

}  // namespace fhr
