#include "gnupg/gpg_secrets.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "core/msgdialog.h"
#include "core/pacing.h"
#include "core/text_helpers.h"
#include "gnupg/gpg_console.h"
#include "gnupg/gpg_error_report.h"

namespace fhr {

bool EncryptStringToStream(const GpgSetup& setup, std::string& key, const std::string& text, std::string* output) {
  output->clear();
  bool ok = false;
  if (CheckGPGFiles(setup)) {
    TGPGConsole console(setup);
    ok = console.RunWithTextInput({.operation = "encryptstringtostream", .passphrase = &key}, text, output);
    if (!ok) ReportGpgFailure(console.Result());
  }
  WipeText(key);
  WaitProcessing(200);
  return ok;
}

bool DecryptStreamToString(const GpgSetup& setup, std::string& key, std::string_view input, std::string* text) {
  text->clear();
  bool ok = false;
  if (CheckGPGFiles(setup)) {
    TGPGConsole console(setup);
    ok = console.RunWithStreamInput({.operation = "decryptstreamtostring", .passphrase = &key}, input, text);
    if (!ok) {
      WipeText(*text);
      ReportGpgFailure(console.Result());
    }
  }
  WipeText(key);
  WaitProcessing(200);
  return ok;
}

bool EncryptDatabase(const GpgSetup& setup, std::string& passphrase, std::string_view image,
                     const std::string& fileName) {
  bool ok = false;
  if (CheckGPGFiles(setup) && (unlink(fileName.c_str()) == 0 || errno == ENOENT)) {
    TGPGConsole4 console(setup);
    const bool ran = console.Run({.operation = "encryptdb",
                                  .placeholders = {{"%filename%", {fileName}}},
                                  .input = image,
                                  .passphrase = &passphrase});
    struct stat info;
    ok = ran && console.ExitCode() == 0 && console.Result().HasStatus("END_ENCRYPTION") &&
         stat(fileName.c_str(), &info) == 0 && info.st_size > 0;
    if (!ok) {
      WaitProcessing(200);
      ReportGpgFailure(console.Result());
    }
  }
  WipeText(passphrase);
  return ok;
}

bool DecryptDatabase(const GpgSetup& setup, const std::string& passphrase, std::string_view encrypted,
                     std::size_t expectedLength, std::string* image) {
  WipeText(*image);
  if (!CheckGPGFiles(setup)) return false;
  TGPGConsole4 console(setup);
  // "-" makes gpg read standard input where the template names a file.
  const bool ran = console.Run({.operation = "decryptdb",
                                .placeholders = {{"%filename%", {"-"}}},
                                .input = encrypted,
                                .passphrase = &passphrase});
  GpgRun& run = console.Result();
  if (!ran) {
    WipeText(run.output);
    return false;
  }
  WaitProcessing(200);
  const bool ok = run.exitCode == 0 && run.HasStatus("DECRYPTION_OKAY") && !run.HasStatus("DECRYPTION_FAILED") &&
                  run.output.size() == expectedLength;
  if (ok) {
    *image = std::move(run.output);
    return true;
  }
  WipeText(run.output);
  bool badKey = false;
  for (const std::string& line : run.errorLines) badKey = badKey || line.find("bad key") != std::string::npos;
  if (run.HasStatus("DECRYPTION_FAILED") && badKey) {
    MsgDialog("Bad passphrase!    ", MsgKind::Error, kMbOk);
  } else {
    ShowGPGError(run.errorLines, run.statusLines);
  }
  return false;
}

}  // namespace fhr
