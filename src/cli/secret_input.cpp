#include "cli/secret_input.h"

#include <cerrno>
#include <iostream>

#include <termios.h>
#include <unistd.h>

#include "core/text_helpers.h"

namespace fhr::cli {
namespace {

void DropCarriageReturn(std::string& line) {
  if (!line.empty() && line.back() == '\r') line.pop_back();
}

// One line from a descriptor, a byte at a time so that nothing past the
// line is consumed. False at end of input before any byte of the line.
bool ReadFdLine(int fd, std::string& line) {
  line.clear();
  for (;;) {
    char c;
    const ssize_t got = read(fd, &c, 1);
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) return !line.empty();
    if (c == '\n') return true;
    line.push_back(c);
  }
}

// Turns terminal echo off for its lifetime.
class NoEcho {
 public:
  NoEcho() {
    if (tcgetattr(STDIN_FILENO, &saved_) != 0) return;
    termios quiet = saved_;
    quiet.c_lflag &= ~static_cast<tcflag_t>(ECHO);
    active_ = tcsetattr(STDIN_FILENO, TCSAFLUSH, &quiet) == 0;
  }
  ~NoEcho() {
    if (active_) tcsetattr(STDIN_FILENO, TCSAFLUSH, &saved_);
  }
  NoEcho(const NoEcho&) = delete;
  NoEcho& operator=(const NoEcho&) = delete;

 private:
  termios saved_{};
  bool active_ = false;
};

}  // namespace

std::optional<std::vector<std::string>> ReadSecretLines(Context& ctx, const std::vector<std::string>& prompts) {
  const bool terminal = !ctx.answers.passphraseFd && &ctx.in == &std::cin && isatty(STDIN_FILENO);
  std::vector<std::string> lines;
  for (const std::string& prompt : prompts) {
    // Read in place, so that no copy of the secret is left behind.
    std::string& line = lines.emplace_back();
    bool read = false;
    if (ctx.answers.passphraseFd) {
      read = ReadFdLine(*ctx.answers.passphraseFd, line);
    } else if (terminal) {
      ctx.err << prompt << ": " << std::flush;
      NoEcho quiet;
      read = static_cast<bool>(std::getline(ctx.in, line));
      ctx.err << "\n";
    } else {
      read = static_cast<bool>(std::getline(ctx.in, line));
    }
    if (!read) {
      WipeSecretLines(lines);
      Fail(ctx, "no input for '" + prompt + "' " +
                    (ctx.answers.passphraseFd ? "on file descriptor " + std::to_string(*ctx.answers.passphraseFd)
                                              : std::string("on standard input")));
      return std::nullopt;
    }
    DropCarriageReturn(line);
  }
  return lines;
}

void WipeSecretLines(std::vector<std::string>& lines) {
  for (std::string& line : lines) WipeText(line);
  lines.clear();
}

}  // namespace fhr::cli
