#include "core/msgdialog.h"

#include <algorithm>
#include <cstdio>
#include <mutex>
#include <utility>

namespace fhr {

namespace {

std::mutex& HostMutex() {
  static std::mutex mutex;
  return mutex;
}

MsgDialogHost*& InstalledHost() {
  static MsgDialogHost* host = nullptr;
  return host;
}

const char* Caption(MsgKind kind) {
  switch (kind) {
    case MsgKind::Warning: return "Warning";
    case MsgKind::Error: return "Error";
    case MsgKind::Confirmation: return "Confirm";
    case MsgKind::Information: break;
  }
  return "Information";
}

std::vector<int> Buttons(int bits) {
  if ((bits & 3) == 3) return {kMrYes, kMrNo, kMrCancel};
  if ((bits & 4) != 0) return {kMrYes, kMrNo};
  if ((bits & 1) != 0) return {kMrOk, kMrCancel};
  return {kMrOk};
}

bool Has(const MsgBox& box, int result) {
  return std::find(box.buttons.begin(), box.buttons.end(), result) != box.buttons.end();
}

int AnswerWithoutHost(const MsgBox& box) {
  std::fprintf(stderr, "%s: %s\n", box.caption.c_str(), box.text.c_str());
  if (Has(box, kMrCancel)) return kMrCancel;
  if (Has(box, kMrNo)) return kMrNo;
  return kMrOk;
}

}  // namespace

MsgBox MakeMsgBox(const std::string& text, MsgKind kind, int buttons) {
  MsgBox box;
  box.kind = kind;
  box.caption = Caption(kind);
  std::size_t end = text.size();
  while (end > 0 && static_cast<unsigned char>(text[end - 1]) <= 0x20) --end;
  box.text = text.substr(0, end) + "     ";
  box.buttons = Buttons(buttons);
  box.default_button = box.buttons.front();
  return box;
}

const char* MsgButtonName(int result) {
  switch (result) {
    case kMrYes: return "Yes";
    case kMrNo: return "No";
    case kMrCancel: return "Cancel";
    default: return "OK";
  }
}

MsgDialogHost* InstallMsgDialogHost(MsgDialogHost* host) {
  std::lock_guard lock(HostMutex());
  return std::exchange(InstalledHost(), host);
}

MsgDialogHost* CurrentMsgDialogHost() {
  std::lock_guard lock(HostMutex());
  return InstalledHost();
}

int MsgDialog(const std::string& text, MsgKind kind, int buttons) {
  return ShowMsgBox(MakeMsgBox(text, kind, buttons));
}

int ShowMsgBox(const MsgBox& box) {
  // Shown outside the lock: a modal box handles events, and a handler may
  // itself ask a question.
  MsgDialogHost* host = CurrentMsgDialogHost();
  return host != nullptr ? host->Show(box) : AnswerWithoutHost(box);
}

}  // namespace fhr
