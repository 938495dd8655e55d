// Stores N messages one by one into the inbox of a new database and saves
// it, for N = 100, 1,000 and 10,000, and prints the cost per message at each
// N as a ratio to N = 100. Storing one message must not cost more as the
// inbox grows (the goal is a ratio of at most 2 at 10,000).
#include <stdlib.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <string>

#include "core/stringlist.h"
#include "storage/fhrdb.h"

namespace {

// A message list key of the usual shape: the arrival stamp, then fields
// separated by 0x87.
std::string MessageKey(int i) {
  char stamp[32];
  std::snprintf(stamp, sizeof stamp, "2401011200%05d", i);
  return std::string(stamp) + "0\x87Nym Name\x87Subject of message " + std::to_string(i) +
         "\x87" "2000\x87" "4096\x87x\x87y\x87z";
}

fhr::StringList MessageLines(int i) {
  fhr::StringList lines{"Subject-No: 2000", "From: Anonymous <nobody@example.invalid>",
                        "Subject: " + std::to_string(i * 7919), "Newsgroups: alt.anonymous.messages", ""};
  lines.Add("-----BEGIN PGP MESSAGE-----");
  for (int l = 0; l < 50; ++l) {
    std::string line;
    for (int c = 0; c < 64; ++c) line += static_cast<char>('A' + (i * 131 + l * 17 + c * 7) % 26);
    lines.Add(line);
  }
  lines.Add("-----END PGP MESSAGE-----");
  return lines;
}

double SecondsToStore(int n, const std::string& path, std::size_t* fileSize) {
  ::unlink(path.c_str());
  const auto start = std::chrono::steady_clock::now();
  {
    auto db = fhr::OpenMailDatabase(path);
    if (!db) return -1;
    for (int i = 0; i < n; ++i) db->WriteMessage(MessageKey(i), MessageLines(i));
    if (!db->SaveDatabase()) return -1;
    *fileSize = db->Image().size();
  }
  const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;
  // The file written must open again with every message in it.
  auto again = fhr::OpenMailDatabase(path);
  fhr::StringList keys;
  if (!again || !again->ListInbox(keys) || keys.size() != static_cast<std::size_t>(n)) return -1;
  return elapsed.count();
}

}  // namespace

int main() {
  char dir[] = "/tmp/fhr-bench-XXXXXX";
  if (!::mkdtemp(dir)) return 1;
  const std::string path = std::string(dir) + "/fhr.db";
  double base = 0;
  std::printf("%8s %12s %14s %10s %8s\n", "N", "seconds", "us/message", "file KB", "ratio");
  for (const int n : {100, 1000, 10000}) {
    std::size_t size = 0;
    // The best of three runs, so a busy machine distorts less.
    double best = -1;
    for (int run = 0; run < 3; ++run) {
      const double s = SecondsToStore(n, path, &size);
      if (s < 0) return 1;
      if (best < 0 || s < best) best = s;
    }
    const double perMessage = best / n;
    if (n == 100) base = perMessage;
    std::printf("%8d %12.4f %14.1f %10zu %8.2f\n", n, best, perMessage * 1e6, size / 1024, perMessage / base);
  }
  ::unlink(path.c_str());
  ::rmdir(dir);
  return 0;
}
