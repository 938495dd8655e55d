// fhr-cli (with its gpg) killed at random instants while it stores a record
// in a secure-mode database and saves it: the file on disk always opens with
// the passphrase, holding the old database or the new one.
#include <sys/stat.h>

#include <algorithm>
#include <chrono>
#include <random>
#include <thread>

#include <gtest/gtest.h>

#include "storage/fhrdb.h"
#include "support/cli_process.h"
#include "support/scripted_msgdialog.h"
#include "support/scripted_passphrase_prompt.h"
#include "support/temp_dir.h"

namespace fhr {
namespace {

std::string RandomBytes(std::size_t n, std::mt19937& random) {
  std::string bytes(n, '\0');
  for (char& c : bytes) c = static_cast<char>(random());
  return bytes;
}

// The record `key` of the database in `data`, opened with the passphrase;
// nullopt when the database does not open.
std::optional<std::string> ReadRecord(const std::string& data, const std::string& key, bool* present) {
  test::ScriptedMsgDialog dialogs;
  test::ScriptedPassphrasePrompt prompt;
  prompt.Type("correct horse");
  auto db = OpenMailDatabase(data + "/fhr.db");
  if (!db || !db->IsSecure()) return std::nullopt;
  TDBbuffer buffer;
  *present = db->KindOf(key) == TDB::EntryKind::kRecord;
  if (!db->ReadBuffer(key, buffer)) return std::nullopt;
  return buffer.Data();
}

TEST(SecureCrash, KilledWhileSavingLeavesADatabaseThatOpensWithThePassphrase) {
  std::mt19937 random(20240202);
  test::TempDir dir;
  dir.write("old-input", RandomBytes(1 << 20, random));
  dir.write("new-input", RandomBytes(256 << 10, random));
  dir.write("pass-twice", "correct horse\ncorrect horse\n");
  dir.write("pass", "correct horse\n");
  const std::string data = dir.file("data");
  ASSERT_EQ(::mkdir(data.c_str(), 0700), 0);
  const auto cli = [&](std::vector<std::string> args, const std::string& input, const std::string& fd3) {
    args.insert(args.begin(), {"--data-dir", data, "--passphrase-fd", "3"});
    return test::StartCliProcess(args, input, fd3);
  };
  ASSERT_EQ(test::WaitCliProcess(cli({"db", "put", "inbox/old"}, dir.file("old-input"), dir.file("pass"))), 0);
  ASSERT_EQ(test::WaitCliProcess(cli({"secure", "on"}, "/dev/null", dir.file("pass-twice"))), 0);
  const std::string oldDb = dir.read("data/fhr.db");

  std::chrono::microseconds fullRun{0};
  for (int run = 0; run < 2; ++run) {
    dir.write("data/fhr.db", oldDb);
    const auto start = std::chrono::steady_clock::now();
    ASSERT_EQ(test::WaitCliProcess(cli({"db", "put", "inbox/new"}, dir.file("new-input"), dir.file("pass"))), 0);
    fullRun = std::max(fullRun, std::chrono::duration_cast<std::chrono::microseconds>(
                                    std::chrono::steady_clock::now() - start));
  }
  ASSERT_NE(dir.read("data/fhr.db"), oldDb);

  const std::string oldInput = dir.read("old-input");
  const std::string newInput = dir.read("new-input");
  int sawOld = 0;
  int sawNew = 0;
  for (int round = 0; round < 30; ++round) {
    dir.write("data/fhr.db", oldDb);
    std::uniform_int_distribution<long> delay(0, fullRun.count() * 3 / 2);
    const pid_t pid = cli({"db", "put", "inbox/new"}, dir.file("new-input"), dir.file("pass"));
    std::this_thread::sleep_for(std::chrono::microseconds(delay(random)));
    test::KillCliProcess(pid);
    test::WaitCliProcess(pid);
    bool present = false;
    const auto oldRecord = ReadRecord(data, "inbox\xFFold", &present);
    ASSERT_TRUE(oldRecord) << "round " << round << ": the database does not open with its passphrase";
    ASSERT_TRUE(*oldRecord == oldInput) << "round " << round;
    const auto newRecord = ReadRecord(data, "inbox\xFFnew", &present);
    ASSERT_TRUE(newRecord);
    if (present) {
      ASSERT_TRUE(*newRecord == newInput) << "round " << round;
      ++sawNew;
    } else {
      ASSERT_EQ(dir.read("data/fhr.db"), oldDb) << "round " << round;
      ++sawOld;
    }
  }
  EXPECT_GT(sawOld, 0);
  EXPECT_GT(sawNew, 0);
}

}  // namespace
}  // namespace fhr
