#pragma once
// Secrets for fhr-cli commands (passphrases, HSUB secrets, Encrypt-Key
// passwords) come from --passphrase-fd N or from standard input, one per
// line, never from the command line where other users could see them.
#include <optional>
#include <string>
#include <vector>

#include "cli/command.h"

namespace fhr::cli {

// Reads one line per prompt, without its line terminator (LF or CR LF),
// from the --passphrase-fd descriptor when given, else from ctx.in. On the
// user's terminal each prompt is shown on stderr and typing is not echoed.
// Fails (after the one-line error) when the input ends before every line
// was read; an empty line is returned as it is, for the caller to judge.
std::optional<std::vector<std::string>> ReadSecretLines(Context& ctx, const std::vector<std::string>& prompts);

// Wipes every secret line.
void WipeSecretLines(std::vector<std::string>& lines);

}  // namespace fhr::cli
