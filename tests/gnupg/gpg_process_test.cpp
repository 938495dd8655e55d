// The runner and the two consoles: channels, placeholders, environment, and
// children that write a lot, leave early, name a wrong descriptor or never end.
#include "gnupg/gpg_process.h"

#include <sys/stat.h>

#include <gtest/gtest.h>

#include <chrono>

#include "core/settings.h"
#include "gnupg/gpg_console.h"
#include "gnupg/gpg_setup.h"
#include "support/scripted_msgdialog.h"
#include "support/temp_dir.h"

namespace fhr {
namespace {

// A run of `sh -c script` with the given extra arguments ($0, $1, ...).
GpgInvocation Shell(const std::string& script, std::vector<std::string> extra = {}) {
  GpgInvocation invocation;
  invocation.program = "sh";
  invocation.arguments = {"-c", script};
  invocation.arguments.insert(invocation.arguments.end(), extra.begin(), extra.end());
  invocation.home = "/tmp";
  return invocation;
}

std::string Pattern(std::size_t size) {
  std::string bytes(size, '\0');
  for (std::size_t i = 0; i < size; ++i) bytes[i] = static_cast<char>((i * 7919 + i / 4096) % 251);
  return bytes;
}

TEST(GpgProcess, DataLargerThanPipeBuffersFlowsBothWaysComplete) {
  const std::string input = Pattern(3 * 1024 * 1024 + 17);
  GpgInvocation run = Shell("cat; head -c 300000 /dev/zero | tr '\\0' e >&2; printf 'last line without end' >&2");
  run.input = input;
  const GpgRun result = RunGpgProcess(run);
  EXPECT_TRUE(result.Succeeded());
  EXPECT_TRUE(result.failure.empty()) << result.failure;
  EXPECT_TRUE(result.output == input) << "output of " << result.output.size() << " bytes differs";
  ASSERT_EQ(result.errorLines.size(), 1u);
  EXPECT_EQ(result.errorLines[0].size(), 300000u + 21u);
  EXPECT_TRUE(result.errorLines[0].ends_with("last line without end"));
}

TEST(GpgProcess, ChildThatEndsBeforeReadingItsInputIsNoFailure) {
  const std::string input = Pattern(2 * 1024 * 1024);
  GpgInvocation run = Shell("echo gone; exit 3");
  run.input = input;
  const std::string passphrase = "never read";
  run.arguments.push_back("%pass%");
  run.passphrase = &passphrase;
  const GpgRun result = RunGpgProcess(run);
  EXPECT_TRUE(result.started);
  EXPECT_TRUE(result.finished);
  EXPECT_EQ(result.exitCode, 3);
  EXPECT_EQ(result.output, "gone\n");
  EXPECT_TRUE(result.failure.empty()) << result.failure;
}

TEST(GpgProcess, ChildThatNeverEndsIsKilledAtTheTimeLimit) {
  // The background sleep keeps the output pipe open after its parent dies:
  // the whole session must go.
  GpgInvocation run = Shell("sleep 30 & exec sleep 30");
  run.timeLimit = std::chrono::milliseconds(300);
  const auto start = std::chrono::steady_clock::now();
  const GpgRun result = RunGpgProcess(run);
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
  EXPECT_TRUE(result.started);
  EXPECT_TRUE(result.timedOut);
  EXPECT_FALSE(result.finished);
  EXPECT_EQ(result.exitCode, -1);
}

TEST(GpgProcess, ChannelsExistOnlyWhenTheirPlaceholderOccursAndGetTheirNumbers) {
  const std::string listFds = "for fd in 3 4 5 6 7 8 9 10 11 12; do [ -e /proc/$$/fd/$fd ] && printf '%s ' $fd; done; echo \"$0$1$2\"";
  const GpgRun none = RunGpgProcess(Shell(listFds));
  EXPECT_EQ(none.output, "sh\n");
  EXPECT_TRUE(none.statusLines.empty());

  const GpgRun all = RunGpgProcess(Shell(listFds, {"s=%stat%,", "a=%attr%,", "p=%pass%"}));
  EXPECT_EQ(all.output, "3 4 5 s=3,a=4,p=5\n");

  // Only the first occurrence of a placeholder is filled.
  const GpgRun twice = RunGpgProcess(Shell("echo \"$0 $1\"", {"%stat%", "%stat%"}));
  EXPECT_EQ(twice.output, "3 %stat%\n");
}

TEST(GpgProcess, PassphraseChannelIsClosedAfterThePassphraseOrAtOnce) {
  const std::string passphrase = "pass with blanks";
  GpgInvocation with = Shell("cat <&$0; echo; cat <&$0", {"%pass%"});
  with.passphrase = &passphrase;
  EXPECT_EQ(RunGpgProcess(with).output, "pass with blanks\n");

  // Without a passphrase the reader sees end of file at once instead of
  // waiting for ever.
  GpgInvocation without = Shell("cat <&$0; echo done", {"%pass%"});
  without.timeLimit = std::chrono::seconds(20);
  const GpgRun result = RunGpgProcess(without);
  EXPECT_FALSE(result.timedOut);
  EXPECT_EQ(result.output, "done\n");
}

TEST(GpgProcess, StatusLinesAreParsedIntoKeywordAndArguments) {
  const GpgRun run = RunGpgProcess(Shell(
      "printf '[GNUPG:] ENC_TO 0000000000000000 1 0\\r\\nnot a status line\\n[GNUPG:] PLAINTEXT 62 0 "
      "DECRYPTION_OKAY\\n[GNUPG:] GOODMDC' >&$0",
      {"%stat%"}));
  ASSERT_EQ(run.statusLines.size(), 4u);
  EXPECT_EQ(run.statusLines[3], "[GNUPG:] GOODMDC");  // the last line, without a line end
  ASSERT_EQ(run.status.size(), 3u);
  EXPECT_EQ(run.status[0].keyword, "ENC_TO");
  EXPECT_EQ(run.status[0].args, (std::vector<std::string>{"0000000000000000", "1", "0"}));
  // A file name that is a keyword is an argument, never a keyword.
  EXPECT_FALSE(run.HasStatus("DECRYPTION_OKAY"));
  EXPECT_TRUE(run.HasStatus("PLAINTEXT"));
  EXPECT_TRUE(run.HasStatus("GOODMDC"));
  EXPECT_FALSE(ParseStatusLine("[GNUPG:]"));
  EXPECT_FALSE(ParseStatusLine("[GNUPG:]  "));
}

TEST(GpgProcess, ChildGetsGnupgEnvironmentNoTerminalAndNoShell) {
  GpgInvocation run = Shell(
      "echo \"$GNUPGHOME|$LC_ALL|$LANGUAGE|$0\"; (: </dev/tty) 2>/dev/null && echo tty || echo no tty",
      {"a b; echo injected"});
  run.home = "/home with blanks/x";
  const GpgRun result = RunGpgProcess(run);
  EXPECT_EQ(result.output, "/home with blanks/x|C|en|a b; echo injected\nno tty\n");
}

TEST(GpgProcess, MissingProgramIsASetUpFailure) {
  GpgInvocation run;
  run.program = "/nonexistent/gpg1";
  const GpgRun result = RunGpgProcess(run);
  EXPECT_FALSE(result.started);
  EXPECT_TRUE(result.failure.starts_with("Error creating GPG process: \n")) << result.failure;
}

TEST(GpgProcess, WrongStatusDescriptorEndsCleanly) {
  // A template naming a descriptor the child does not have: gpg reports it
  // and stops; nothing hangs and nothing is mistaken for status.
  GpgInvocation run;
  run.program = "gpg1";
  test::TempDir home;
  chmod(home.path().c_str(), 0700);
  run.home = home.path();
  run.arguments = {"--status-fd", "7", "--batch", "--list-keys"};
  run.timeLimit = std::chrono::seconds(30);
  const GpgRun result = RunGpgProcess(run);
  EXPECT_TRUE(result.finished);
  EXPECT_NE(result.exitCode, 0);
  EXPECT_TRUE(result.status.empty());
  EXPECT_FALSE(result.errorLines.empty());
}

TEST(GpgCommand, TemplatesSplitBeforePlaceholdersAreFilled) {
  test::TempDir t;
  GpgSetup setup{.program = "/opt/my gpg/gpg1", .home = t.path(), .settingsFile = t.file("fhr.ini")};
  EXPECT_EQ(BuildGPGCommand(setup, "exportkeys", DefaultTemplate("exportkeys")),
            (std::vector<std::string>{"/opt/my gpg/gpg1", "--status-fd", "%stat%", "--batch", "%armor%", "--export",
                                      "%keyids%"}));

  // A template in the settings file wins; its leading blanks do not count.
  Settings(setup.settingsFile).Write(kGpgSection, "verifyclear", "   --verify %filename%");
  std::vector<std::string> args = BuildGPGCommand(setup, "verifyclear", DefaultTemplate("verifyclear"));
  EXPECT_TRUE(ReplacePlaceholder(args, "%filename%", {"/data dir/my file.asc"}));
  EXPECT_EQ(args, (std::vector<std::string>{"/opt/my gpg/gpg1", "--verify", "/data dir/my file.asc"}));
  EXPECT_FALSE(ReplacePlaceholder(args, "%filename%", {"x"}));

  std::vector<std::string> keys = {"--export", "%keyids%", "--x=%keyids%"};
  EXPECT_TRUE(ReplacePlaceholder(keys, "%keyids%", {"0x1", "0x2"}));
  EXPECT_EQ(keys, (std::vector<std::string>{"--export", "0x1", "0x2", "--x=%keyids%"}));
  EXPECT_TRUE(ReplacePlaceholder(keys, "%keyids%", {"0x1", "0x2"}));
  EXPECT_EQ(keys.back(), "--x=0x1 0x2");

  for (std::string_view name : OperationNames()) EXPECT_FALSE(DefaultTemplate(name).empty()) << name;
}

TEST(GpgCommand, ProgramIsTheSettingThenOneBesideTheProgramThenGpg1) {
  test::TempDir t;
  const std::string ini = t.file("fhr.ini");
  EXPECT_EQ(FindGpgProgram(t.path() + "/", ini), "gpg1");
  t.write("gpg", "#!/bin/sh\n");
  chmod(t.file("gpg").c_str(), 0755);
  EXPECT_EQ(FindGpgProgram(t.path() + "/", ini), t.file("gpg"));
  Settings(ini).Write(kGpgSection, "program", "/usr/local/bin/gpg-1.4");
  EXPECT_EQ(FindGpgProgram(t.path() + "/", ini), "/usr/local/bin/gpg-1.4");
}

TEST(GpgCommand, MissingProgramShowsOneBoxAndRunsNothing) {
  test::ScriptedMsgDialog dialogs;
  GpgSetup setup{.program = "/nonexistent/dir/gpg1", .home = "/tmp", .settingsFile = "/nonexistent/fhr.ini"};
  EXPECT_FALSE(CheckGPGFiles(setup));
  EXPECT_EQ(dialogs.texts(), (std::vector<std::string>{
                                 "Problem! The file 'gpg1' is missing from my home directory.  \nI can't complete "
                                 "the PGP operation! Reinstalling the program   \nshould fix this problem."}));
  EXPECT_TRUE(CheckGPGFiles({.program = "sh", .home = "/tmp", .settingsFile = "/nonexistent/fhr.ini"}));
}

// A stand-in program for the console contracts: it echoes its input and
// exits with the status its first line names.
class ConsoleContract : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_.write("fake-gpg", "#!/bin/sh\nread code\ncode=$(printf %s \"$code\" | tr -d '\\r')\ncat\nprintf '\\r\\n\\r\\n'\nexit $code\n");
    chmod(dir_.file("fake-gpg").c_str(), 0755);
    setup_ = {.program = dir_.file("fake-gpg"), .home = dir_.path(), .settingsFile = dir_.file("fhr.ini")};
  }
  test::TempDir dir_;
  GpgSetup setup_;
  test::ScriptedMsgDialog dialogs_;
};

TEST_F(ConsoleContract, ThreadedRunIsDoneWhateverTheExitCode) {
  TGPGConsole4 console(setup_);
  const std::string input = "2\nbody";
  EXPECT_TRUE(console.Run({.operation = "verifyclear", .input = input}));
  EXPECT_EQ(console.ExitCode(), 2);
  EXPECT_EQ(console.Output(), "body\r\n\r\n");
  EXPECT_TRUE(dialogs_.texts().empty());
}

TEST_F(ConsoleContract, SequentialRunSucceedsOnlyWithExitCodeZero) {
  const std::string key = "k";
  std::string output;
  TGPGConsole text(setup_);
  EXPECT_TRUE(text.RunWithTextInput({.operation = "encryptstringtostream", .passphrase = &key}, "0", &output));
  EXPECT_EQ(output, "\r\n\r\n");  // the text's CR LF ended the "read"; the rest is the stand-in's own

  TGPGConsole stream(setup_);
  EXPECT_TRUE(stream.RunWithStreamInput({.operation = "decryptstreamtostring", .passphrase = &key}, "0\nabc\r\n", &output));
  EXPECT_EQ(output, "abc");  // trailing CR and LF removed

  TGPGConsole failing(setup_);
  EXPECT_FALSE(failing.RunWithStreamInput({.operation = "decryptstreamtostring", .passphrase = &key}, "1\nabc", &output));
  EXPECT_EQ(failing.Result().exitCode, 1);
}

TEST_F(ConsoleContract, TimeLimitShowsABoxAndTheRunIsNotDone) {
  dir_.write("fake-gpg", "#!/bin/sh\nexec sleep 30\n");
  setup_.timeLimit = std::chrono::milliseconds(200);
  TGPGConsole4 console(setup_);
  EXPECT_FALSE(console.Run({.operation = "decrypt"}));
  EXPECT_EQ(dialogs_.texts(), (std::vector<std::string>{"GPG did not finish within 0.2 s, so I stopped it."}));
}

}  // namespace
}  // namespace fhr
