#include "platform/process/ChildProcess.h"

#include <errno.h>
#include <fcntl.h>
#include <linux/close_range.h>
#include <poll.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <string_view>
#include <thread>

namespace quillo::process {
namespace {

// The program's path: argv[0] itself when it holds a '/', else the first executable in PATH.
std::string ResolveProgram(const std::string& name) {
  if (name.find('/') != std::string::npos) return name;
  const char* path = std::getenv("PATH");
  std::string folders = path ? path : "/usr/local/bin:/usr/bin:/bin";
  std::size_t begin = 0;
  while (begin <= folders.size()) {
    std::size_t end = folders.find(':', begin);
    if (end == std::string::npos) end = folders.size();
    const std::string_view entry = std::string_view(folders).substr(begin, end - begin);
    std::string candidate(entry.empty() ? std::string_view(".") : entry);
    candidate += '/';
    candidate += name;
    if (::access(candidate.c_str(), X_OK) == 0) return candidate;
    begin = end + 1;
  }
  return {};
}

void CloseFd(int& fd) {
  if (fd >= 0) ::close(fd);
  fd = -1;
}

// Only async-signal-safe calls between fork and exec.
[[noreturn]] void RunChild(const char* program, char* const* argv, int stdout_fd, int error_fd,
                           pid_t parent) {
  // The child ends with its parent, whatever ends the parent: SIGKILL, because a child that
  // takes SIGTERM as a request may finish its work first (or block it while busy) and hold its
  // sockets meanwhile. A parent that died before this line is caught by the check below.
  ::prctl(PR_SET_PDEATHSIG, SIGKILL);
  if (::getppid() != parent) ::_exit(127);
  // The parent's signal mask and dispositions are not the program's business.
  sigset_t none;
  sigemptyset(&none);
  ::sigprocmask(SIG_SETMASK, &none, nullptr);
  ::signal(SIGPIPE, SIG_DFL);
  const int null_fd = ::open("/dev/null", O_RDONLY);
  if (null_fd < 0 || ::dup2(null_fd, STDIN_FILENO) < 0 || ::dup2(stdout_fd, STDOUT_FILENO) < 0) {
    const int code = errno;
    [[maybe_unused]] auto written = ::write(error_fd, &code, sizeof code);
    ::_exit(127);
  }
  // Every other descriptor closes on exec (the error pipe is written to before that).
  if (::close_range(STDERR_FILENO + 1, ~0U, CLOSE_RANGE_CLOEXEC) != 0) {
    for (int fd = STDERR_FILENO + 1; fd < 4096; ++fd) {
      if (fd != error_fd) ::close(fd);
    }
  }
  ::execv(program, argv);
  const int code = errno;
  [[maybe_unused]] auto written = ::write(error_fd, &code, sizeof code);
  ::_exit(127);
}

}  // namespace

std::unique_ptr<ChildProcess> ChildProcess::Spawn(const std::vector<std::string>& argv,
                                                  std::string* error) {
  auto fail = [error](const std::string& why) -> std::unique_ptr<ChildProcess> {
    if (error) *error = why;
    return nullptr;
  };
  if (argv.empty()) return fail("no program given");
  const std::string program = ResolveProgram(argv[0]);
  if (program.empty()) return fail(argv[0] + ": not found in PATH");

  // Everything the child needs is made before fork.
  std::vector<std::string> args = argv;
  std::vector<char*> arg_pointers;
  for (std::string& arg : args) arg_pointers.push_back(arg.data());
  arg_pointers.push_back(nullptr);

  int output[2];
  if (::pipe2(output, O_CLOEXEC) != 0) return fail(std::string("pipe: ") + std::strerror(errno));
  int status_pipe[2];
  if (::pipe2(status_pipe, O_CLOEXEC) != 0) {
    const int code = errno;
    ::close(output[0]);
    ::close(output[1]);
    return fail(std::string("pipe: ") + std::strerror(code));
  }
  const pid_t parent = ::getpid();
  const pid_t pid = ::fork();
  if (pid == 0) RunChild(program.c_str(), arg_pointers.data(), output[1], status_pipe[1], parent);
  const int fork_error = errno;
  ::close(output[1]);
  ::close(status_pipe[1]);
  if (pid < 0) {
    ::close(output[0]);
    ::close(status_pipe[0]);
    return fail(std::string("fork: ") + std::strerror(fork_error));
  }
  // The status pipe closes on a successful exec; otherwise the child writes errno into it.
  int exec_error = 0;
  ssize_t got;
  do {
    got = ::read(status_pipe[0], &exec_error, sizeof exec_error);
  } while (got < 0 && errno == EINTR);
  ::close(status_pipe[0]);
  if (got > 0) {
    ::close(output[0]);
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    return fail(program + ": " + std::strerror(exec_error));
  }
  return std::unique_ptr<ChildProcess>(new ChildProcess(pid, output[0]));
}

ChildProcess::ChildProcess(long pid, int stdout_fd) : pid_(pid), stdout_fd_(stdout_fd) {}

ChildProcess::~ChildProcess() {
  Terminate();
  CloseFd(stdout_fd_);
}

ChildProcess::ReadStatus ChildProcess::ReadLine(std::string& line,
                                                std::chrono::milliseconds timeout,
                                                const std::atomic<bool>* cancel) {
  using Clock = std::chrono::steady_clock;
  const auto deadline = Clock::now() + timeout;
  for (;;) {
    if (const std::size_t newline = pending_.find('\n'); newline != std::string::npos) {
      line = pending_.substr(0, newline);
      pending_.erase(0, newline + 1);
      return ReadStatus::kLine;
    }
    if (output_ended_) {
      // A last line without its newline is still a line.
      if (pending_.empty()) return ReadStatus::kEnded;
      line = std::move(pending_);
      pending_.clear();
      return ReadStatus::kLine;
    }
    if (cancel && cancel->load()) return ReadStatus::kCancelled;
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
    if (left.count() <= 0) return ReadStatus::kTimedOut;
    pollfd entry{stdout_fd_, POLLIN, 0};
    const int ready = ::poll(&entry, 1, static_cast<int>(std::min<long long>(left.count(), 100)));
    if (ready < 0 && errno != EINTR) {
      output_ended_ = true;
      continue;
    }
    if (ready <= 0) continue;
    char buffer[4096];
    const ssize_t got = ::read(stdout_fd_, buffer, sizeof buffer);
    if (got > 0) {
      pending_.append(buffer, static_cast<std::size_t>(got));
    } else if (got == 0 || (errno != EINTR && errno != EAGAIN)) {
      output_ended_ = true;
    }
  }
}

bool ChildProcess::ReapLocked() {
  if (status_) return true;
  int status = 0;
  const pid_t reaped = ::waitpid(static_cast<pid_t>(pid_), &status, WNOHANG);
  if (reaped == static_cast<pid_t>(pid_)) {
    status_ = status;
    return true;
  }
  if (reaped < 0 && errno == ECHILD) {
    // Reaped elsewhere (a SIGCHLD handler that takes every child): nothing is left to wait for.
    status_ = -1;
    return true;
  }
  return false;
}

void ChildProcess::Signal(int signal_number) {
  std::lock_guard guard(lock_);
  if (!ReapLocked()) ::kill(static_cast<pid_t>(pid_), signal_number);
}

bool ChildProcess::Running() {
  std::lock_guard guard(lock_);
  return !ReapLocked();
}

std::optional<int> ChildProcess::Wait(std::chrono::milliseconds timeout) {
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  for (;;) {
    {
      std::lock_guard guard(lock_);
      if (ReapLocked()) return status_;
    }
    if (std::chrono::steady_clock::now() >= deadline) return std::nullopt;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
}

int ChildProcess::Terminate(std::chrono::milliseconds grace) {
  Signal(SIGTERM);
  if (auto status = Wait(grace)) return *status;
  Signal(SIGKILL);
  // SIGKILL cannot be refused; the wait ends as soon as the system has taken the child down.
  std::lock_guard guard(lock_);
  while (!status_) {
    int status = 0;
    const pid_t reaped = ::waitpid(static_cast<pid_t>(pid_), &status, 0);
    if (reaped == static_cast<pid_t>(pid_))
      status_ = status;
    else if (reaped < 0 && errno != EINTR)
      status_ = -1;
  }
  return *status_;
}

}  // namespace quillo::process
