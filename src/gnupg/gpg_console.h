#pragma once
// The two ways the program runs a named GnuPG operation: TGPGConsole4, which
// keeps the user interface alive while gpg works and serves every operation
// on messages and keys, and TGPGConsole, a plain sequential run for the two
// operations that carry short secrets.
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "gnupg/gpg_process.h"
#include "gnupg/gpg_setup.h"

namespace fhr {

// One operation as the caller names it: the operation (its template comes
// from BuildGPGCommand), values for the caller's placeholders ("%filename%",
// "%armor%", "%keyids%"), standard input and the passphrase. The runner
// fills "%stat%", "%attr%" and "%pass%" itself.
struct GpgRequest {
  std::string_view operation{};
  std::vector<std::pair<std::string, std::vector<std::string>>> placeholders{};
  // Appended after the template's words, each as one argument.
  std::vector<std::string> extraArguments{};
  std::optional<std::string_view> input{};
  const std::string* passphrase = nullptr;  // borrowed; never copied into an argument
};

// The argument vector of a request: BuildGPGCommand with the request's
// placeholders filled and its extra arguments appended.
std::vector<std::string> CommandFor(const GpgSetup& setup, const GpgRequest& request);

// Runs gpg on a helper thread while the calling thread keeps pausing
// through WaitProcessing, so the desktop goes on handling events (and
// handlers may run re-entrantly during Run). One console per operation.
class TGPGConsole4 {
 public:
  explicit TGPGConsole4(GpgSetup setup) : setup_(std::move(setup)) {}

  // True when gpg was started and ended by itself, whatever its exit code:
  // the operation judges the result from exit code and status lines. False
  // when it could not be started or was killed at the time limit; an error
  // box has then been shown. A failure while sending input or reading
  // output also shows its box, but the run still counts as done.
  bool Run(const GpgRequest& request);

  const GpgRun& Result() const { return run_; }
  // For callers that take the output and wipe it afterwards.
  GpgRun& Result() { return run_; }
  int ExitCode() const { return run_.exitCode; }
  const std::string& Output() const { return run_.output; }
  const StringList& ErrorLines() const { return run_.errorLines; }
  const StringList& StatusLines() const { return run_.statusLines; }

 private:
  GpgSetup setup_;
  GpgRun run_;
};

// Runs gpg on the calling thread for short inputs and outputs. One console
// per operation.
class TGPGConsole {
 public:
  explicit TGPGConsole(GpgSetup setup) : setup_(std::move(setup)) {}

  // Sends `text` followed by CR LF as standard input; `*output` gets the
  // bytes gpg wrote. True only when everything was sent and gpg exited with
  // status 0. Set-up failures show their error box. The passphrase must
  // not be empty.
  bool RunWithTextInput(const GpgRequest& request, const std::string& text, std::string* output);

  // Sends `input` as standard input; `*outputText` gets gpg's output
  // without its trailing CR and LF characters. True as for RunWithTextInput.
  bool RunWithStreamInput(const GpgRequest& request, std::string_view input, std::string* outputText);

  const GpgRun& Result() const { return run_; }
  const StringList& ErrorLines() const { return run_.errorLines; }
  const StringList& StatusLines() const { return run_.statusLines; }

 private:
  bool RunNow(const GpgRequest& request);

  GpgSetup setup_;
  GpgRun run_;
};

}  // namespace fhr
