#include "ChildProcess.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <thread>

extern char** environ;

namespace quillo::testing {

ChildProcess::ChildProcess(const std::string& program, const std::vector<std::string>& args,
                           const std::map<std::string, std::string>& environment,
                           const std::string& working_folder) {
  std::vector<std::string> env_text;
  for (char** entry = environ; *entry != nullptr; ++entry) {
    std::string text = *entry;
    std::string name = text.substr(0, text.find('='));
    if (environment.count(name) == 0) env_text.push_back(text);
  }
  for (const auto& [name, value] : environment) {
    if (!value.empty()) env_text.push_back(name + "=" + value);
  }
  std::vector<char*> envp;
  for (std::string& text : env_text) envp.push_back(text.data());
  envp.push_back(nullptr);
  std::vector<std::string> argv_text{program};
  argv_text.insert(argv_text.end(), args.begin(), args.end());
  std::vector<char*> argv;
  for (std::string& text : argv_text) argv.push_back(text.data());
  argv.push_back(nullptr);

  int out_pipe[2];
  int err_pipe[2];
  if (::pipe2(out_pipe, O_CLOEXEC) != 0) return;
  if (::pipe2(err_pipe, O_CLOEXEC) != 0) return;
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_adddup2(&actions, out_pipe[1], 1);
  posix_spawn_file_actions_adddup2(&actions, err_pipe[1], 2);
  if (!working_folder.empty())
    posix_spawn_file_actions_addchdir_np(&actions, working_folder.c_str());
  pid_t pid = -1;
  if (::posix_spawn(&pid, program.c_str(), &actions, nullptr, argv.data(), envp.data()) == 0) {
    pid_ = pid;
  }
  posix_spawn_file_actions_destroy(&actions);
  ::close(out_pipe[1]);
  ::close(err_pipe[1]);
  out_fd_ = out_pipe[0];
  err_fd_ = err_pipe[0];
}

ChildProcess::~ChildProcess() {
  if (pid_ > 0 && !status_) {
    ::kill(pid_, SIGKILL);
    int status = 0;
    ::waitpid(pid_, &status, 0);
  }
  if (out_fd_ >= 0) ::close(out_fd_);
  if (err_fd_ >= 0) ::close(err_fd_);
}

bool ChildProcess::Pump(std::chrono::milliseconds timeout) {
  pollfd watched[2] = {{out_fd_, POLLIN, 0}, {err_fd_, POLLIN, 0}};
  if (out_fd_ < 0 && err_fd_ < 0) return false;
  int ready = ::poll(watched, 2, static_cast<int>(timeout.count()));
  if (ready <= 0) return true;
  char buffer[4096];
  for (int i = 0; i < 2; ++i) {
    int& fd = i == 0 ? out_fd_ : err_fd_;
    if (fd < 0 || watched[i].revents == 0) continue;
    ssize_t count = ::read(fd, buffer, sizeof buffer);
    if (count <= 0) {
      ::close(fd);
      fd = -1;
      continue;
    }
    if (i == 1) {
      error_text_.append(buffer, static_cast<std::size_t>(count));
      continue;
    }
    partial_line_.append(buffer, static_cast<std::size_t>(count));
    std::size_t end;
    while ((end = partial_line_.find('\n')) != std::string::npos) {
      lines_.push_back(partial_line_.substr(0, end));
      partial_line_.erase(0, end + 1);
    }
  }
  return out_fd_ >= 0 || err_fd_ >= 0;
}

bool ChildProcess::WaitForLine(const std::string& line, std::chrono::milliseconds timeout) {
  auto deadline = std::chrono::steady_clock::now() + timeout;
  while (true) {
    if (std::find(lines_.begin(), lines_.end(), line) != lines_.end()) return true;
    auto now = std::chrono::steady_clock::now();
    if (now >= deadline) return false;
    if (out_fd_ < 0) return false;
    Pump(std::min(std::chrono::duration_cast<std::chrono::milliseconds>(deadline - now),
                  std::chrono::milliseconds(100)));
  }
}

std::optional<int> ChildProcess::Wait(std::chrono::milliseconds timeout) {
  if (status_ || pid_ <= 0) return status_;
  auto deadline = std::chrono::steady_clock::now() + timeout;
  while (true) {
    int status = 0;
    pid_t done = ::waitpid(pid_, &status, WNOHANG);
    if (done == pid_) {
      status_ = status;
      // Whatever the child wrote before it ended is still in the pipes (bounded: a grandchild
      // may hold them open).
      auto drain_until = std::chrono::steady_clock::now() + std::chrono::seconds(2);
      while (Pump(std::chrono::milliseconds(50)) &&
             std::chrono::steady_clock::now() < drain_until) {
      }
      return status_;
    }
    if (std::chrono::steady_clock::now() >= deadline) return std::nullopt;
    if (!Pump(std::chrono::milliseconds(20)))
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
}

void ChildProcess::Signal(int signal_number) {
  if (pid_ > 0 && !status_) ::kill(pid_, signal_number);
}

}  // namespace quillo::testing
