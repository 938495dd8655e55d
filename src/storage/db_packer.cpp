#include "storage/db_packer.h"

#include <unistd.h>

#include <algorithm>
#include <string>
#include <vector>

#include "core/msgdialog.h"
#include "core/pacing.h"

namespace fhr {
namespace {

// The top-level records every packed database starts with, in this order.
constexpr const char* kFirstRecords[] = {kProxiesRecord, kHostsRecord, kSubjectsRecord,
                                         kLogRecord,     kSessionRecord, kSettingsRecord};

}  // namespace

void TDBPacker::CopyRecord(TDBindex& from, TDBindex& to, const std::string& name) {
  TDBmanager& source = source_.Manager();
  source.ClearError();
  TDBbuffer buffer;
  from.ReadRecord(name, buffer);
  if (source.Error() != kDbNoError) {
    ++failures_;
    return;
  }
  buffer.SetFlags(0);
  target_->ClearError();
  to.WriteRecord(name, &buffer, false);
  if (target_->Error() != kDbNoError) ++failures_;
}

void TDBPacker::CopyFolder(TDBindex& from, TDBindex& to, const std::string& name, std::size_t level) {
  TDBmanager& source = source_.Manager();
  source.ClearError();
  // A folder deeper than a key can reach (only in a damaged file, where
  // folders may even contain themselves) is not followed.
  if (level >= kDbMaxKeyParts) {
    ++failures_;
    return;
  }
  TDBindex old(source, &from, name);
  if (source.Error() != kDbNoError ||
      (old.BlockPosition() != -1 && !copiedFolders_.insert(old.BlockPosition()).second)) {
    ++failures_;
    return;
  }
  target_->ClearError();
  TDBindex fresh(*target_, &to, name);
  for (std::size_t i = 0; i < old.Count(); ++i) {
    CopyChild(old, fresh, i, level + 1);
    WaitProcessing(0);
  }
  target_->ClearError();
  fresh.Store();
  if (target_->Error() != kDbNoError) ++failures_;
}

void TDBPacker::CopyChild(TDBindex& from, TDBindex& to, std::size_t i, std::size_t level) {
  TDBmanager& source = source_.Manager();
  source.ClearError();
  const bool folder = from.IsFolder(i);
  if (source.Error() != kDbNoError) {
    ++failures_;
  } else if (folder) {
    CopyFolder(from, to, from.ChildName(i), level);
  } else {
    CopyRecord(from, to, from.ChildName(i));
  }
}

std::unique_ptr<TFHRDB> TDBPacker::Copy() {
  failures_ = 0;
  copiedFolders_.clear();
  source_.StorePendingFolders();
  auto packed = std::make_unique<TFHRDB>("");
  packed->OpenImage("");
  target_ = &packed->Manager();
  TDBindex& from = *source_.IndexAt(0);
  TDBindex& to = *packed->IndexAt(0);
  for (const char* name : kFirstRecords) {
    const int i = from.IndexOf(name);
    if (i >= 0 && from.ChildPosition(static_cast<std::size_t>(i)) != -1) {
      CopyChild(from, to, static_cast<std::size_t>(i), 1);
    } else {
      CopyRecord(from, to, name);  // absent: stored as an empty record
    }
  }
  CopyFolder(from, to, kInboxFolder, 1);
  // Then the rest, each name once (a damaged folder may list one twice, and
  // a failed copy must not be tried and counted again).
  std::vector<std::string> done(std::begin(kFirstRecords), std::end(kFirstRecords));
  done.push_back(kInboxFolder);
  for (std::size_t i = 0; i < from.Count(); ++i) {
    const std::string& name = from.ChildName(i);
    if (std::any_of(done.begin(), done.end(), [&](const std::string& d) { return SameNameIgnoringCase(d, name); })) {
      continue;
    }
    done.push_back(name);
    CopyChild(from, to, i, 1);
  }
  target_->ClearError();
  to.Store();
  if (target_->Error() != kDbNoError) ++failures_;
  target_ = nullptr;
  return packed;
}

PackOutcome PackDatabase(std::unique_ptr<TFHRDB>& db) {
  TDBPacker packer(*db);
  std::unique_ptr<TFHRDB> packed = packer.Copy();
  if (packer.Failures() > 0 &&
      MsgDialog("You have " + std::to_string(packer.Failures()) +
                    " failed operations. \nDo you wish to keep this new datafile?   ",
                MsgKind::Confirmation, kMbYesNo) != kMrYes) {
    return PackOutcome::kDeclined;
  }
  const std::string fileName = db->FileName();
  packed->AdoptSecureMode(*db);
  db->SetChanged(false);  // the old database must write nothing when it goes
  db = std::move(packed);
  if (!fileName.empty()) ::unlink((fileName + ".tmp").c_str());
  db->SetFileName(fileName);
  db->SetChanged(true);
  if (!db->SaveDatabase()) {
    MsgDialog("I failed to save packed database. I'm keeping the original!  \nThe exception reported was: \n" +
                  db->LastException(),
              MsgKind::Error, kMbOk);
    return PackOutcome::kSaveFailed;
  }
  return PackOutcome::kPacked;
}

}  // namespace fhr
