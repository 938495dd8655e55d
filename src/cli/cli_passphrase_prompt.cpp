#include "cli/cli_passphrase_prompt.h"

#include "cli/secret_input.h"
#include "core/msgdialog.h"

namespace fhr::cli {
namespace {

// A form's label as a terminal prompt: without the accelerator mark and
// the trailing " :".
std::string PromptText(std::string label) {
  std::erase(label, '&');
  while (!label.empty() && (label.back() == ' ' || label.back() == ':')) label.pop_back();
  return label;
}

}  // namespace

int CliPassphrasePrompt::Show(TDBSecModeDlg& dialog) {
  const SecModeDlgLayout layout = dialog.Layout();
  std::vector<std::string> prompts{PromptText(layout.prompt)};
  if (layout.quitBox) prompts[0] = "Current passphrase of the database";
  if (layout.fullForm) prompts.push_back("Confirmation");
  for (;;) {
    auto lines = ReadSecretLines(ctx_, prompts);
    if (!lines) return kMrCancel;
    SecModeEntry entry;
    entry.phrase = std::move((*lines)[0]);
    if (layout.fullForm) entry.confirmation = std::move((*lines)[1]);
    entry.quitSecureMode = quit_;
    WipeSecretLines(*lines);
    const TDBSecModeDlg::Check check = dialog.PressOk(entry);
    if (check.close) return check.result;
  }
}

}  // namespace fhr::cli
