// fhr-cli tag: tags made from secrets on standard input or a descriptor.
#include <unistd.h>

#include <string>

#include <gtest/gtest.h>

#include "news/esub.h"
#include "news/hsub.h"
#include "news/subject_library.h"
#include "support/cli_runner.h"
#include "support/temp_dir.h"

namespace fhr {
namespace {

using test::RunCli;

std::string Tag(const std::string& out) { return out.substr(0, out.find('\n')); }

TEST(CliTag, MakesTagsThatTestAsTheirSecrets) {
  test::TempDir t;
  auto esub = RunCli({"--data-dir", t.path(), "tag", "esub", "my subject"}, "pass phrase\n");
  ASSERT_EQ(esub.status, 0) << esub.err;
  EXPECT_EQ(esub.out.size(), 49u);
  EXPECT_TRUE(TestEncryptedSubject(Tag(esub.out), "my subject", "pass phrase"));

  auto idea = RunCli({"--data-dir", t.path(), "tag", "idea", "my subject"}, "pass phrase\r\n");
  ASSERT_EQ(idea.status, 0) << idea.err;
  ASSERT_TRUE(LoadSubjectLibrary(FHR_BIN_DIR "/"));
  EXPECT_TRUE(LibraryTestSubject(Tag(idea.out), "my subject", "pass phrase"));

  auto hsub = RunCli({"--data-dir", t.path(), "tag", "hsub"}, "the secret\n");
  ASSERT_EQ(hsub.status, 0) << hsub.err;
  EXPECT_TRUE(TestHashedSubject(Tag(hsub.out), "the secret"));
}

TEST(CliTag, ReadsTheSecretFromADescriptor) {
  test::TempDir t;
  int fds[2];
  ASSERT_EQ(pipe(fds), 0);
  ASSERT_EQ(write(fds[1], "from fd\nsecond\n", 15), 15);
  close(fds[1]);
  auto r = RunCli({"--data-dir", t.path(), "--passphrase-fd", std::to_string(fds[0]), "tag", "esub", "s"},
                  "not this\n");
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_TRUE(TestEncryptedSubject(Tag(r.out), "s", "from fd"));
  // Only the one line was taken from the descriptor.
  r = RunCli({"--data-dir", t.path(), "--passphrase-fd", std::to_string(fds[0]), "tag", "hsub"});
  EXPECT_TRUE(TestHashedSubject(Tag(r.out), "second"));
  close(fds[0]);
}

TEST(CliTag, Mistakes) {
  test::TempDir t;
  const struct {
    std::vector<std::string> args;
    std::string input;
    int status;
    const char* error;
  } cases[] = {
      {{"tag"}, "", 2, "fhr-cli: usage: fhr-cli tag esub SUBJECT"},
      {{"tag", "esub"}, "key\n", 2, "fhr-cli: usage: fhr-cli tag esub SUBJECT"},
      {{"tag", "hsub", "secret-on-command-line"}, "", 2, "fhr-cli: usage:"},
      {{"tag", "esub", ""}, "key\n", 2, "fhr-cli: the subject must not be empty"},
      {{"tag", "esub", "s"}, "\n", 1, "fhr-cli: the passphrase must not be empty"},
      {{"tag", "esub", "s"}, "", 1, "fhr-cli: no input for 'Passphrase' on standard input"},
      {{"tag", "hsub"}, "\n", 1, "fhr-cli: the secret must not be empty"},
  };
  for (const auto& c : cases) {
    std::vector<std::string> args = {"--data-dir", t.path()};
    args.insert(args.end(), c.args.begin(), c.args.end());
    auto r = RunCli(args, c.input);
    EXPECT_EQ(r.status, c.status) << c.error;
    EXPECT_EQ(r.err.rfind(c.error, 0), 0u) << r.err;
    EXPECT_EQ(r.out, "");
  }
}

}  // namespace
}  // namespace fhr
