#include "cli/cli_decrypt_prompts.h"

#include <ostream>

#include "cli/secret_input.h"
#include "decrypt/decrypt_texts.h"

namespace fhr::cli {
namespace {

// A label without the "&" that marks its access key.
std::string Plain(const std::string& label) {
  std::string text;
  for (char c : label) {
    if (c != '&') text += c;
  }
  return text;
}

}  // namespace

std::string CliDecryptPrompts::AskPassphrase(const KeyPassphraseRequest& prompt) {
  ctx_.err << prompt.caption << "\n" << Plain(prompt.keysLabel) << ":\n";
  for (const std::string& entry : prompt.entries) ctx_.err << "  " << entry << "\n";
  if (!prompt.explanation.empty()) ctx_.err << prompt.explanation << "\n";
  for (;;) {
    auto lines = ReadSecretLines(ctx_, {Plain(std::string(kPassphraseLabel))});
    if (!lines) return {};
    std::string passphrase = std::move(lines->front());
    WipeSecretLines(*lines);
    if (!passphrase.empty()) return passphrase;
    ctx_.err << kEmptyPassphraseRefused << "\n";
  }
}

}  // namespace fhr::cli
