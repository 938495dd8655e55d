#pragma once
// fhr-cli's answer to the decryption workflow's passphrase prompts: the
// prompt's texts on stderr, the passphrase from --passphrase-fd or the
// terminal (typing not echoed), or from standard input. The warnings go
// through the command line's message boxes.
#include <string>

#include "cli/command.h"
#include "decrypt/decrypt_prompts.h"

namespace fhr::cli {

class CliDecryptPrompts : public DecryptPrompts {
 public:
  explicit CliDecryptPrompts(Context& ctx) : ctx_(ctx) {}

  // One line per attempt; an empty line is refused and another is read;
  // the end of the input cancels.
  std::string AskPassphrase(const KeyPassphraseRequest& prompt) override;

 private:
  Context& ctx_;
};

}  // namespace fhr::cli
