#include "gnupg/gpg_console.h"

#include <chrono>
#include <cstdio>
#include <future>

#include "core/msgdialog.h"
#include "core/pacing.h"
#include "core/text_helpers.h"

namespace fhr {

namespace {

GpgInvocation InvocationFor(const GpgSetup& setup, const GpgRequest& request) {
  GpgInvocation invocation;
  std::vector<std::string> command = CommandFor(setup, request);
  invocation.program = command.front();
  invocation.arguments.assign(command.begin() + 1, command.end());
  invocation.home = setup.home;
  invocation.input = request.input;
  invocation.passphrase = request.passphrase;
  invocation.timeLimit = setup.timeLimit;
  return invocation;
}

// Shows what went wrong with a run, if anything did.
void ReportRunFailure(const GpgRun& run, const GpgSetup& setup) {
  if (!run.failure.empty()) MsgDialog(run.failure, MsgKind::Error, kMbOk);
  if (run.timedOut) {
    char seconds[32];
    std::snprintf(seconds, sizeof seconds, "%g", static_cast<double>(setup.timeLimit.count()) / 1000.0);
    MsgDialog(std::string("GPG did not finish within ") + seconds + " s, so I stopped it.", MsgKind::Error, kMbOk);
  }
}

}  // namespace

std::vector<std::string> CommandFor(const GpgSetup& setup, const GpgRequest& request) {
  std::vector<std::string> command = BuildGPGCommand(setup, request.operation, DefaultTemplate(request.operation));
  for (const auto& [placeholder, values] : request.placeholders) ReplacePlaceholder(command, placeholder, values);
  command.insert(command.end(), request.extraArguments.begin(), request.extraArguments.end());
  return command;
}

bool TGPGConsole4::Run(const GpgRequest& request) {
  const GpgInvocation invocation = InvocationFor(setup_, request);
  std::future<GpgRun> pending = std::async(std::launch::async, [&invocation] { return RunGpgProcess(invocation); });
  while (pending.wait_for(std::chrono::milliseconds(10)) != std::future_status::ready) WaitProcessing(10);
  run_ = pending.get();
  ReportRunFailure(run_, setup_);
  return run_.started && run_.finished;
}

bool TGPGConsole::RunNow(const GpgRequest& request) {
  run_ = RunGpgProcess(InvocationFor(setup_, request));
  ReportRunFailure(run_, setup_);
  return run_.Succeeded() && run_.failure.empty();
}

bool TGPGConsole::RunWithTextInput(const GpgRequest& request, const std::string& text, std::string* output) {
  std::string input = text + "\r\n";
  GpgRequest withInput = request;
  withInput.input = input;
  const bool ok = RunNow(withInput);
  WipeText(input);
  *output = run_.output;
  WipeText(run_.output);
  return ok;
}

bool TGPGConsole::RunWithStreamInput(const GpgRequest& request, std::string_view input, std::string* outputText) {
  GpgRequest withInput = request;
  withInput.input = input;
  const bool ok = RunNow(withInput);
  *outputText = run_.output;
  WipeText(run_.output);
  while (!outputText->empty() && (outputText->back() == '\r' || outputText->back() == '\n')) outputText->pop_back();
  return ok;
}

}  // namespace fhr
