#pragma once
// TDBSecModeDlg without its widgets: the four forms of the secure-mode
// passphrase dialog (set up, open, change, permission), their texts, the
// quality meter and the checks made when the user presses OK. Each front
// end draws the dialog its own way and asks this object whether OK may
// close it; every message goes through MsgDialog.
#include <string>
#include <string_view>

namespace fhr {

enum class SecModeDlgMode : int { kSetUp = 1, kOpen = 2, kChange = 3, kPermission = 4 };

// The dialog's result when the user quits secure mode from the permission
// form (beside kMrOk and kMrCancel).
inline constexpr int kSecModeQuitResult = 3;

// What a mode shows.
struct SecModeDlgLayout {
  const char* caption;
  const char* prompt;  // with "&" before the accelerator letter
  bool fullForm;       // quality meter and confirmation field
  bool quitBox;        // "&Quit Secure Mode"
};
SecModeDlgLayout SecModeDlgLayoutFor(SecModeDlgMode mode);

// The quality meter's value (0 to 100) for `text`: the length times log2 of
// the size of the character classes it draws from, as bits, scaled so that
// 128 bits fill the meter.
int PassphraseQuality(std::string_view text);

// What the user had typed when pressing OK. Wiped when destroyed.
struct SecModeEntry {
  std::string phrase;
  std::string confirmation;
  bool quitSecureMode = false;  // the "&Quit Secure Mode" box (permission form)
  ~SecModeEntry();
};

class TDBSecModeDlg {
 public:
  static constexpr int kMinLength = 6;
  static constexpr int kMaxBadAttempts = 3;

  // `current` is the passphrase the permission form checks against (moved
  // in; wiped with the dialog). Other modes ignore it.
  explicit TDBSecModeDlg(SecModeDlgMode mode, std::string current = {});
  // Wipes the accepted text.
  ~TDBSecModeDlg();
  TDBSecModeDlg(const TDBSecModeDlg&) = delete;
  TDBSecModeDlg& operator=(const TDBSecModeDlg&) = delete;

  SecModeDlgMode Mode() const { return mode_; }
  SecModeDlgLayout Layout() const { return SecModeDlgLayoutFor(mode_); }

  // The outcome of pressing OK.
  struct Check {
    bool close = false;  // the dialog closes with `result`; else it stays
                         // open with the focus on the passphrase
    int result = 0;      // kMrOk, kMrCancel or kSecModeQuitResult
    bool resetQuality = false;  // the quality meter goes back to 0
  };
  // Judges the entry, showing the form's messages: an empty or short
  // passphrase, a confirmation that differs, a wrong current passphrase
  // (the third closes the dialog as cancelled), the question before
  // quitting secure mode. On OK the phrase becomes the accepted text. The
  // entry is wiped.
  Check PressOk(SecModeEntry& entry);

  // The accepted passphrase after an OK (the current one in the permission
  // form). The caller may take it and must wipe what it takes.
  std::string& Accepted() { return accepted_; }
  int BadAttempts() const { return badAttempts_; }

 private:
  SecModeDlgMode mode_;
  std::string accepted_;
  int badAttempts_ = 0;
};

// Whoever shows the dialog: the desktop's window, fhr-cli's prompts on the
// terminal or a descriptor, a script in tests.
class PassphrasePrompt {
 public:
  virtual ~PassphrasePrompt() = default;
  // Shows `dialog` modally. Every press of OK goes through dialog.PressOk,
  // which decides whether it closes; returns that result, or kMrCancel when
  // the user cancels (or no more input can come).
  virtual int Show(TDBSecModeDlg& dialog) = 0;
};

// Installs the process-wide prompt (nullptr removes it) and returns the
// previous one. The caller keeps ownership and uninstalls before destroying.
PassphrasePrompt* InstallPassphrasePrompt(PassphrasePrompt* prompt);

class ScopedPassphrasePrompt {
 public:
  explicit ScopedPassphrasePrompt(PassphrasePrompt* prompt) : previous_(InstallPassphrasePrompt(prompt)) {}
  ~ScopedPassphrasePrompt() { InstallPassphrasePrompt(previous_); }
  ScopedPassphrasePrompt(const ScopedPassphrasePrompt&) = delete;
  ScopedPassphrasePrompt& operator=(const ScopedPassphrasePrompt&) = delete;

 private:
  PassphrasePrompt* previous_;
};

// Shows the dialog through the installed prompt; with none, the dialog is
// cancelled (nobody can type a passphrase).
int ShowSecModeDialog(TDBSecModeDlg& dialog);

}  // namespace fhr
