#include "storage/secmode_dialog.h"

#include <algorithm>
#include <atomic>
#include <cmath>

#include "core/msgdialog.h"
#include "core/text_helpers.h"

namespace fhr {
namespace {

std::atomic<PassphrasePrompt*> g_prompt{nullptr};

constexpr const char* kEnterPassphraseText = "Enter a passphrase or click Cancel!   ";

// Characters as the user counts them: UTF-8 continuation bytes belong to
// the character before them.
std::size_t CharacterCount(const std::string& text) {
  return static_cast<std::size_t>(
      std::count_if(text.begin(), text.end(), [](char c) { return (static_cast<unsigned char>(c) & 0xC0) != 0x80; }));
}

void Inform(const std::string& text) { MsgDialog(text, MsgKind::Information, kMbOk); }

}  // namespace

SecModeDlgLayout SecModeDlgLayoutFor(SecModeDlgMode mode) {
  switch (mode) {
    case SecModeDlgMode::kSetUp:
      return {" Secure Mode ", "&Enter encryption passphrase :", true, false};
    case SecModeDlgMode::kOpen:
      return {" Fernhill Secure Mode ", "&Enter decryption passphrase :", false, false};
    case SecModeDlgMode::kChange:
      return {" Secure Mode Change Passphrase ", "&Enter new passphrase :", true, false};
    case SecModeDlgMode::kPermission:
      break;
  }
  return {" Secure Mode Permission ",
          "In order to quit Secure Mode or change the passphrase you need to enter the current passphrase now", false,
          true};
}

int PassphraseQuality(std::string_view text) {
  struct Range {
    unsigned char low, high;
    int size;
  };
  // The first range holding a byte counts; digits fall into the second, so
  // the digit range never counts on its own.
  static constexpr Range kRanges[] = {{0x00, 0x1F, 32}, {0x20, 0x40, 33}, {0x41, 0x5A, 26}, {0x5B, 0x60, 6},
                                      {0x61, 0x7A, 26}, {0x30, 0x39, 10}, {0x7B, 0x7F, 5},  {0x80, 0xFF, 128}};
  bool seen[std::size(kRanges)] = {};
  for (char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    for (std::size_t i = 0; i < std::size(kRanges); ++i) {
      if (byte >= kRanges[i].low && byte <= kRanges[i].high) {
        seen[i] = true;
        break;
      }
    }
  }
  int pool = 0;
  for (std::size_t i = 0; i < std::size(kRanges); ++i) pool += seen[i] ? kRanges[i].size : 0;
  if (pool == 0) return 0;
  const auto bits = static_cast<long long>(static_cast<double>(text.size()) * std::log2(pool));
  return static_cast<int>(std::min<long long>(100, bits * 100 / 128));
}

SecModeEntry::~SecModeEntry() {
  WipeText(phrase);
  WipeText(confirmation);
}

TDBSecModeDlg::TDBSecModeDlg(SecModeDlgMode mode, std::string current) : mode_(mode), accepted_(std::move(current)) {
  if (mode_ != SecModeDlgMode::kPermission) WipeText(accepted_);
}

TDBSecModeDlg::~TDBSecModeDlg() { WipeText(accepted_); }

TDBSecModeDlg::Check TDBSecModeDlg::PressOk(SecModeEntry& entry) {
  Check check;
  if (entry.phrase.empty()) {
    Inform(kEnterPassphraseText);
  } else if (mode_ == SecModeDlgMode::kSetUp || mode_ == SecModeDlgMode::kChange) {
    if (CharacterCount(entry.phrase) < kMinLength) {
      Inform("Your passphrase needs to be at least " + std::to_string(kMinLength) + " characters long!   ");
      check.resetQuality = true;
    } else if (entry.phrase != entry.confirmation) {
      Inform("Your passphrase entries don't match.   ");
      check.resetQuality = true;
    } else {
      WipeText(accepted_);
      accepted_ = std::move(entry.phrase);
      check = {true, kMrOk, false};
    }
  } else if (mode_ == SecModeDlgMode::kOpen) {
    WipeText(accepted_);
    accepted_ = std::move(entry.phrase);
    check = {true, kMrOk, false};
  } else if (entry.phrase != accepted_) {
    Inform("Bad passphrase!        ");
    if (++badAttempts_ >= kMaxBadAttempts) check = {true, kMrCancel, false};
  } else if (!entry.quitSecureMode) {
    check = {true, kMrOk, false};
  } else if (MsgDialog("IMPORTANT!\nI'm going to CANCEL Secure Mode. Your database will no longer   \n"
                       "be encrypted between sessions. Is that what you want?   ",
                       MsgKind::Confirmation, kMbYesNo) == kMrYes) {
    check = {true, kSecModeQuitResult, false};
  }
  WipeText(entry.phrase);
  WipeText(entry.confirmation);
  return check;
}

PassphrasePrompt* InstallPassphrasePrompt(PassphrasePrompt* prompt) { return g_prompt.exchange(prompt); }

int ShowSecModeDialog(TDBSecModeDlg& dialog) {
  PassphrasePrompt* prompt = g_prompt.load();
  return prompt ? prompt->Show(dialog) : kMrCancel;
}

}  // namespace fhr
