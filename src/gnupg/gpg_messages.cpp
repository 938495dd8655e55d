#include "gnupg/gpg_messages.h"

#include <sys/stat.h>

#include "core/pacing.h"
#include "core/text_helpers.h"
#include "gnupg/gpg_console.h"
#include "gnupg/gpg_error_report.h"
#include "gnupg/pgp_block.h"
#include "gnupg/pgp_markers.h"

namespace fhr {

namespace {

// gpg's "gpg: encrypted with 1 passphrase": the text from here on names
// the symmetric layers.
constexpr std::size_t kPassphraseTextStart = 19;

std::string Trimmed(const std::string& text) {
  const auto first = text.find_first_not_of(' ');
  if (first == std::string::npos) return {};
  return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

void FillDiagnostics(StringList* diagnostics, const StringList& errorLines, const StringList& statusLines) {
  if (diagnostics == nullptr) return;
  diagnostics->Clear();
  for (const std::string& line : errorLines) diagnostics->Add(line);
  diagnostics->Add("-----");
  for (const std::string& line : statusLines) diagnostics->Add(line);
}

bool DecryptionSucceeded(const GpgRun& run) {
  return run.HasStatus("DECRYPTION_OKAY") && !run.HasStatus("DECRYPTION_FAILED") && !run.HasStatus("BADMDC") &&
         !run.HasStatus("NODATA");
}

void AddLines(StringList& to, const StringList& from) {
  for (const std::string& line : from) to.Add(line);
}

}  // namespace

bool ListEncryptionKeys(const GpgSetup& setup, StringList& message, StringList& keys) {
  keys.Clear();
  if (!CheckGPGFiles(setup)) return false;
  StringList block;
  std::size_t index = 0;
  if (!ExtractPGPBlock(message, &block, &index)) return false;
  RepairArmor(block);
  RestorePGPBlock(message, block, index);

  TGPGConsole4 console(setup);
  const std::string input = block.Text();
  console.Run({.operation = "listencryptionkeys", .input = input});
  const GpgRun& run = console.Result();
  for (const StatusLine& line : run.status) {
    if (line.keyword == "ENC_TO" && !line.args.empty() && line.args[0].size() == 16) {
      keys.Add("0x" + line.args[0].substr(8));
    }
  }
  for (const std::string& line : run.errorLines) {
    if (line.find("passphrase") != std::string::npos && line.size() > kPassphraseTextStart) {
      keys.Add(Trimmed(line.substr(kPassphraseTextStart, 64)));
    }
  }
  if (keys.empty() && run.errorLines.IndexOf(":encrypted data packet:") >= 0) keys.Add("1 passphrase");
  const bool found = !keys.empty();
  if (!found) ReportGpgFailure(run);
  WaitProcessing(200);
  return found;
}

bool IsOpenPGPFile(const GpgSetup& setup, const std::string& path) {
  struct stat info;
  if (stat(path.c_str(), &info) != 0) return false;
  if (!CheckGPGFiles(setup)) return false;
  TGPGConsole4 console(setup);
  const bool ran = console.Run({.operation = "listencryptionkeysfromfile", .placeholders = {{"%filename%", {path}}}});
  return ran && !console.Result().HasStatus("NODATA");
}

bool IsOpenPGPData(const GpgSetup& setup, std::string_view data) {
  if (data.empty() || !CheckGPGFiles(setup)) return false;
  TGPGConsole4 console(setup);
  // "-" makes gpg read standard input where the template names a file.
  const bool ran = console.Run(
      {.operation = "listencryptionkeysfromfile", .placeholders = {{"%filename%", {"-"}}}, .input = data});
  return ran && !console.Result().HasStatus("NODATA");
}

bool VerifyClear(const GpgSetup& setup, StringList& message) {
  if (!CheckGPGFiles(setup)) return false;
  StringList block;
  std::size_t index = 0;
  if (!ExtractPGPBlock(message, &block, &index)) return false;

  TGPGConsole4 console(setup);
  const std::string input = block.Text();
  const bool ran = console.Run({.operation = "verifyclear", .input = input});
  if (!ran) {
    ReportGpgFailure(console.Result());
    RestorePGPBlock(message, block, index);
  } else {
    StringList errorLines = console.ErrorLines();
    StringList replacement = BuildVerificationBlock(errorLines);
    StringList text;
    text.SetText(console.Output());
    if (text.empty() || !IsBlankLine(text[0])) text.Insert(0, "");
    text.Insert(0, std::string(BeginPGPVerifiedMessage));
    if (!IsBlankLine(text[text.size() - 1])) text.Add("");
    text.Add(std::string(EndPGPVerifiedMessage));
    AddLines(replacement, text);
    RestorePGPBlock(message, replacement, index);
  }
  WaitProcessing(200);
  return ran;
}

bool Decrypt(const GpgSetup& setup, StringList& message, const std::string& passphrase, StringList* diagnostics) {
  return Decrypt(setup, message, passphrase, diagnostics, nullptr);
}

bool Decrypt(const GpgSetup& setup, StringList& message, const std::string& passphrase, StringList* diagnostics,
             StringList* runErrorLines) {
  if (runErrorLines != nullptr) runErrorLines->Clear();
  if (!CheckGPGFiles(setup)) return false;
  StringList block;
  std::size_t index = 0;
  if (!ExtractPGPBlock(message, &block, &index)) return false;
  RepairArmor(block);

  TGPGConsole4 console(setup);
  const std::string input = block.Text();
  const bool ran = console.Run({.operation = "decrypt", .input = input, .passphrase = &passphrase});
  GpgRun& run = console.Result();
  const bool ok = ran && DecryptionSucceeded(run);
  StringList errorLines = run.errorLines;
  if (runErrorLines != nullptr) *runErrorLines = run.errorLines;
  if (ok) {
    StringList plain;
    plain.SetText(run.output);
    TrimBlankLines(plain);
    StringList verification = BuildVerificationBlock(errorLines);
    const bool signedMessage = !verification.empty();
    StringList replacement = verification;
    replacement.Add(std::string(signedMessage ? BeginPGPDecryptedVerifiedMessage : BeginPGPDecryptedMessage));
    replacement.Add("");
    AddLines(replacement, plain);
    replacement.Add("");
    replacement.Add(std::string(signedMessage ? EndPGPDecryptedVerifiedMessage : EndPGPDecryptedMessage));
    RestorePGPBlock(message, replacement, index);
    for (std::string& line : plain) WipeText(line);
  } else {
    RestorePGPBlock(message, block, index);
  }
  WipeText(run.output);
  FillDiagnostics(diagnostics, errorLines, run.statusLines);
  WaitProcessing(200);
  return ok;
}

}  // namespace fhr
