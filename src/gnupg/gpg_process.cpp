#include "gnupg/gpg_process.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <mutex>

#include "core/text_helpers.h"

extern char** environ;

namespace fhr {

namespace {

// Child ends are moved to descriptors at or above this number before the
// child is started, so that placing them at 0..5 in the child never
// overwrites an end that is still to be placed.
constexpr int kHighDescriptor = 10;

void IgnoreSigpipeOnce() {
  static std::once_flag once;
  std::call_once(once, [] { signal(SIGPIPE, SIG_IGN); });
}

void CloseFd(int& fd) {
  if (fd >= 0) close(fd);
  fd = -1;
}

// One pipe of a run. `parent` is the end this process keeps (non-blocking),
// `child` the end the child gets at descriptor `childNumber`.
struct Channel {
  int parent = -1;
  int child = -1;
  int childNumber = -1;
  bool toChild = false;  // the child reads it (standard input, passphrase)
};

// Makes a pipe for `channel`; false with errno set on failure.
bool OpenChannel(Channel& channel) {
  int ends[2];
  if (pipe2(ends, O_CLOEXEC) != 0) return false;
  int childEnd = channel.toChild ? ends[0] : ends[1];
  channel.parent = channel.toChild ? ends[1] : ends[0];
  channel.child = fcntl(childEnd, F_DUPFD_CLOEXEC, kHighDescriptor);
  const int saved = errno;
  close(childEnd);
  if (channel.child < 0) {
    CloseFd(channel.parent);
    errno = saved;
    return false;
  }
  fcntl(channel.parent, F_SETFL, fcntl(channel.parent, F_GETFL) | O_NONBLOCK);
  return true;
}

// The environment of the child: ours, with the three GnuPG variables set.
std::vector<std::string> ChildEnvironment(const std::string& home) {
  std::vector<std::string> env;
  for (char** entry = environ; entry != nullptr && *entry != nullptr; ++entry) {
    const std::string_view text(*entry);
    if (text.starts_with("GNUPGHOME=") || text.starts_with("LC_ALL=") || text.starts_with("LANGUAGE=")) {
      continue;
    }
    env.emplace_back(text);
  }
  env.push_back("GNUPGHOME=" + home);
  env.push_back("LC_ALL=C");
  env.push_back("LANGUAGE=en");
  return env;
}

std::vector<char*> PointersTo(std::vector<std::string>& texts) {
  std::vector<char*> pointers;
  pointers.reserve(texts.size() + 1);
  for (std::string& text : texts) pointers.push_back(text.data());
  pointers.push_back(nullptr);
  return pointers;
}

// Replaces the first occurrence of `placeholder` in the first argument that
// holds it; false when none does.
bool FillFirst(std::vector<std::string>& args, std::string_view placeholder, const std::string& value) {
  for (std::string& arg : args) {
    const auto at = arg.find(placeholder);
    if (at != std::string::npos) {
      arg.replace(at, placeholder.size(), value);
      return true;
    }
  }
  return false;
}

bool Mentions(const std::vector<std::string>& args, std::string_view placeholder) {
  for (const std::string& arg : args) {
    if (arg.find(placeholder) != std::string::npos) return true;
  }
  return false;
}

std::string Failure(const char* prefix, int err) { return std::string(prefix) + "\n" + SystemErrorText(err); }

// Bytes still to be written to a channel the child reads.
struct Feed {
  Channel* channel;
  std::string_view rest;
};

// A channel the child writes, and where its bytes go.
struct Drain {
  Channel* channel;
  std::string* bytes;
  const char* failurePrefix;
};

}  // namespace

std::optional<StatusLine> ParseStatusLine(const std::string& line) {
  static constexpr std::string_view kPrefix = "[GNUPG:] ";
  if (!line.starts_with(kPrefix)) return std::nullopt;
  StatusLine parsed;
  std::size_t pos = kPrefix.size();
  bool first = true;
  while (pos < line.size()) {
    const std::size_t end = std::min(line.find(' ', pos), line.size());
    if (end > pos) {
      std::string word = line.substr(pos, end - pos);
      if (first) {
        parsed.keyword = std::move(word);
        first = false;
      } else {
        parsed.args.push_back(std::move(word));
      }
    }
    pos = end + 1;
  }
  if (parsed.keyword.empty()) return std::nullopt;
  return parsed;
}

bool GpgRun::HasStatus(std::string_view keyword) const { return FindStatus(keyword) != nullptr; }

const StatusLine* GpgRun::FindStatus(std::string_view keyword) const {
  for (const StatusLine& line : status) {
    if (line.keyword == keyword) return &line;
  }
  return nullptr;
}

GpgRun RunGpgProcess(const GpgInvocation& invocation) {
  IgnoreSigpipeOnce();
  GpgRun run;

  Channel input{.toChild = true};
  Channel output;
  Channel error;
  Channel statusChannel;
  Channel attribute;
  Channel passphrase{.toChild = true};
  std::vector<Channel*> channels = {&input, &output, &error};
  std::vector<Channel*> extras;
  if (Mentions(invocation.arguments, kStatPlaceholder)) extras.push_back(&statusChannel);
  if (Mentions(invocation.arguments, kAttrPlaceholder)) extras.push_back(&attribute);
  if (Mentions(invocation.arguments, kPassPlaceholder)) extras.push_back(&passphrase);
  channels.insert(channels.end(), extras.begin(), extras.end());
  auto closeAll = [&] {
    for (Channel* channel : channels) {
      CloseFd(channel->parent);
      CloseFd(channel->child);
    }
  };

  for (std::size_t i = 0; i < channels.size(); ++i) {
    channels[i]->childNumber = static_cast<int>(i);
    if (!OpenChannel(*channels[i])) {
      run.failure = Failure("Pipe create error: ", errno);
      closeAll();
      return run;
    }
  }

  std::vector<std::string> args = invocation.arguments;
  FillFirst(args, kStatPlaceholder, std::to_string(statusChannel.childNumber));
  FillFirst(args, kAttrPlaceholder, std::to_string(attribute.childNumber));
  FillFirst(args, kPassPlaceholder, std::to_string(passphrase.childNumber));
  args.insert(args.begin(), invocation.program);
  std::vector<char*> argv = PointersTo(args);
  std::vector<std::string> env = ChildEnvironment(invocation.home);
  std::vector<char*> envp = PointersTo(env);

  posix_spawn_file_actions_t actions;
  posix_spawnattr_t attributes;
  posix_spawn_file_actions_init(&actions);
  posix_spawnattr_init(&attributes);
  for (const Channel* channel : channels) {
    posix_spawn_file_actions_adddup2(&actions, channel->child, channel->childNumber);
  }
  posix_spawn_file_actions_addclosefrom_np(&actions, static_cast<int>(channels.size()));
  sigset_t none;
  sigset_t all;
  sigemptyset(&none);
  sigfillset(&all);
  posix_spawnattr_setsigmask(&attributes, &none);
  posix_spawnattr_setsigdefault(&attributes, &all);
  posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSID | POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);
  pid_t pid = -1;
  const int spawned = posix_spawnp(&pid, argv[0], &actions, &attributes, argv.data(), envp.data());
  posix_spawn_file_actions_destroy(&actions);
  posix_spawnattr_destroy(&attributes);
  for (Channel* channel : channels) CloseFd(channel->child);
  if (spawned != 0) {
    run.failure = Failure("Error creating GPG process: ", spawned);
    closeAll();
    return run;
  }
  run.started = true;

  std::vector<Feed> feeds;
  feeds.push_back({&input, invocation.input.value_or(std::string_view())});
  if (passphrase.parent >= 0) {
    feeds.push_back({&passphrase, invocation.passphrase ? std::string_view(*invocation.passphrase) : std::string_view()});
  }
  std::string errorBytes;
  std::string statusBytes;
  std::string attributeBytes;
  std::vector<Drain> drains = {{&output, &run.output, "Error reading GPG output: "},
                               {&error, &errorBytes, "Error reading GPG error output: "}};
  if (statusChannel.parent >= 0) drains.push_back({&statusChannel, &statusBytes, "Error reading GPG status output: "});
  if (attribute.parent >= 0) drains.push_back({&attribute, &attributeBytes, "Error reading GPG logger output: "});

  const auto deadline = std::chrono::steady_clock::now() + invocation.timeLimit;
  bool exited = false;
  bool waitFailed = false;
  int waitStatus = 0;
  char buffer[32768];
  while (true) {
    for (Feed& feed : feeds) {
      if (feed.channel->parent >= 0 && feed.rest.empty()) CloseFd(feed.channel->parent);
    }
    std::vector<pollfd> fds;
    for (const Feed& feed : feeds) {
      if (feed.channel->parent >= 0) fds.push_back({feed.channel->parent, POLLOUT, 0});
    }
    for (const Drain& drain : drains) {
      if (drain.channel->parent >= 0) fds.push_back({drain.channel->parent, POLLIN, 0});
    }
    if (!exited) {
      const pid_t done = waitpid(pid, &waitStatus, WNOHANG);
      exited = done == pid;
    }
    const bool drained = std::none_of(drains.begin(), drains.end(),
                                      [](const Drain& d) { return d.channel->parent >= 0; });
    if (exited && drained) break;
    const auto now = std::chrono::steady_clock::now();
    if (now >= deadline) {
      kill(-pid, SIGKILL);
      kill(pid, SIGKILL);
      run.timedOut = true;
      break;
    }
    // The child's end is not signalled through poll(), so look again soon
    // when every pipe is quiet.
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - now).count();
    const int wait = static_cast<int>(std::min<long long>(left + 1, exited || fds.empty() ? 5 : 50));
    if (poll(fds.data(), fds.size(), wait) < 0 && errno != EINTR) {
      run.failure = Failure("Error occured while waiting for GPG operation to finish: ", errno);
      waitFailed = true;
      kill(-pid, SIGKILL);
      kill(pid, SIGKILL);
      break;
    }
    for (Feed& feed : feeds) {
      if (feed.channel->parent < 0 || feed.rest.empty()) continue;
      const ssize_t n = write(feed.channel->parent, feed.rest.data(), feed.rest.size());
      if (n > 0) {
        feed.rest.remove_prefix(static_cast<std::size_t>(n));
      } else if (n < 0 && errno != EAGAIN && errno != EINTR) {
        // EPIPE: the child has closed its end without reading everything,
        // which is its own business; it reports on its outputs.
        if (errno != EPIPE && run.failure.empty()) {
          run.failure = Failure(feed.channel == &input ? "Error sending input to GPG: "
                                                       : "Error sending the passphrase to GPG: ",
                                errno);
        }
        feed.rest = {};
      }
    }
    for (Drain& drain : drains) {
      while (drain.channel->parent >= 0) {
        const ssize_t n = read(drain.channel->parent, buffer, sizeof buffer);
        if (n > 0) {
          drain.bytes->append(buffer, static_cast<std::size_t>(n));
          continue;
        }
        if (n < 0 && (errno == EAGAIN || errno == EINTR)) break;
        if (n < 0 && run.failure.empty()) run.failure = Failure(drain.failurePrefix, errno);
        CloseFd(drain.channel->parent);
      }
    }
  }
  closeAll();
  if (!exited) {
    while (waitpid(pid, &waitStatus, 0) < 0 && errno == EINTR) {
    }
  }
  // The last read may have been decrypted data.
  SecureWipe(buffer, sizeof buffer);

  run.finished = !run.timedOut && !waitFailed;
  if (run.finished && WIFEXITED(waitStatus)) run.exitCode = WEXITSTATUS(waitStatus);
  run.errorLines.SetText(errorBytes);
  run.statusLines.SetText(statusBytes);
  run.attributeLines.SetText(attributeBytes);
  for (const std::string& line : run.statusLines) {
    if (auto parsed = ParseStatusLine(line)) run.status.push_back(std::move(*parsed));
  }
  return run;
}

}  // namespace fhr
