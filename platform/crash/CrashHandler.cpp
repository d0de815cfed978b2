#include "platform/crash/CrashHandler.h"

#include <execinfo.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "platform/crash/CrashRecordBuffer.h"

extern char** environ;

namespace quillo::crash {
namespace {

constexpr std::array<int, 5> kFatalSignals = {SIGSEGV, SIGBUS, SIGFPE, SIGILL, SIGABRT};
constexpr std::size_t kMaxFrames = 64;
constexpr std::size_t kAltStackBytes = 256 * 1024;

// Everything the handler reads, filled in once at installation and never changed afterwards.
// Plain arrays only: the state is constant-initialised, so installation from another static
// object's constructor never meets it unconstructed.
struct HandlerState {
  char dump_file_name[256];
  bool silent;
  // The notice dialog: a program found at installation and its argument list, packed into
  // text_storage.
  char dialog_program[1024];
  char text_storage[4096];
  char* dialog_argv[8];
};

constinit HandlerState g_state{};
std::atomic<bool> g_handling{false};
alignas(16) char g_alt_stack[kAltStackBytes];

void WriteAll(int fd, const char* data, std::size_t size) {
  while (size > 0) {
    ssize_t written = ::write(fd, data, size);
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) return;
    data += written;
    size -= static_cast<std::size_t>(written);
  }
}

void WriteRecord(int signal_number, const siginfo_t* info) {
  int fd = ::open(g_state.dump_file_name, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  if (fd < 0) return;
  CrashRecordBuffer header;
  header.Append("Zelbo音乐 crash record\nsignal: ");
  header.AppendDecimal(signal_number);
  header.Append(" (");
  header.Append(FatalSignalName(signal_number));
  header.Append(")\ncode: ");
  header.AppendDecimal(info != nullptr ? info->si_code : 0);
  header.Append("\naddress: ");
  header.AppendHex(info != nullptr ? reinterpret_cast<std::uintptr_t>(info->si_addr) : 0);
  header.Append("\npid: ");
  header.AppendDecimal(::getpid());
  header.Append("\nthread: ");
  header.AppendDecimal(static_cast<long long>(::syscall(SYS_gettid)));
  header.Append("\nbacktrace:\n");
  WriteAll(fd, header.data(), header.size());
  void* frames[kMaxFrames];
  int count = ::backtrace(frames, static_cast<int>(kMaxFrames));
  ::backtrace_symbols_fd(frames, count, fd);
  ::fsync(fd);
  ::close(fd);
}

void ShowNotice() {
  CrashRecordBuffer line;
  line.Append(g_state.dump_file_name);
  line.Append(": ");
  line.Append(kCrashNoticeText);
  line.Append("\n");
  WriteAll(STDERR_FILENO, line.data(), line.size());
  if (g_state.dialog_program[0] == '\0') return;
  // _Fork runs no fork handlers, which makes it safe here (plain fork is not).
  pid_t child = ::_Fork();
  if (child == 0) {
    ::execve(g_state.dialog_program, g_state.dialog_argv, environ);
    ::_exit(127);
  }
  if (child < 0) return;
  int status = 0;
  while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
  }
}

void OnFatalSignal(int signal_number, siginfo_t* info, void*) {
  // The disposition is already the default again (SA_RESETHAND); a crash of another thread while
  // this one writes the record must not write it a second time.
  if (!g_handling.exchange(true)) {
    int saved_errno = errno;
    WriteRecord(signal_number, info);
    if (!g_state.silent) ShowNotice();
    errno = saved_errno;
  }
  ::signal(signal_number, SIG_DFL);
  // Blocked until the handler returns, then delivered with the default action. A fault that
  // returns here would fault again anyway; raising covers signals sent with kill as well.
  ::raise(signal_number);
}

std::string FindProgram(const char* name) {
  const char* path = std::getenv("PATH");
  std::string folders = path != nullptr ? path : "/usr/bin:/bin";
  std::size_t start = 0;
  while (start <= folders.size()) {
    std::size_t end = folders.find(':', start);
    if (end == std::string::npos) end = folders.size();
    std::string candidate = folders.substr(start, end - start);
    start = end + 1;
    if (candidate.empty() || candidate.front() != '/') continue;
    candidate += '/';
    candidate += name;
    if (::access(candidate.c_str(), X_OK) == 0) return candidate;
  }
  return {};
}

bool HasDisplay() {
  for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY"}) {
    const char* value = std::getenv(name);
    if (value != nullptr && *value != '\0') return true;
  }
  return false;
}

// Copies the program and its arguments into the handler's state; false when they do not fit.
bool StoreDialog(const std::string& program, const std::vector<std::string>& arguments) {
  if (program.size() >= sizeof g_state.dialog_program) return false;
  if (arguments.size() >= sizeof g_state.dialog_argv / sizeof g_state.dialog_argv[0]) return false;
  std::size_t used = 0;
  for (std::size_t i = 0; i < arguments.size(); ++i) {
    if (used + arguments[i].size() + 1 > sizeof g_state.text_storage) return false;
    std::memcpy(g_state.text_storage + used, arguments[i].c_str(), arguments[i].size() + 1);
    g_state.dialog_argv[i] = g_state.text_storage + used;
    used += arguments[i].size() + 1;
  }
  g_state.dialog_argv[arguments.size()] = nullptr;
  std::memcpy(g_state.dialog_program, program.c_str(), program.size() + 1);
  return true;
}

void PrepareDialog() {
  g_state.dialog_program[0] = '\0';
  if (g_state.silent || !HasDisplay()) return;
  std::string caption = g_state.dump_file_name;
  std::string notice(kCrashNoticeText);
  if (std::string zenity = FindProgram("zenity"); !zenity.empty()) {
    StoreDialog(zenity,
                {"zenity", "--error", "--no-markup", "--title=" + caption, "--text=" + notice});
  } else if (std::string gxmessage = FindProgram("gxmessage"); !gxmessage.empty()) {
    StoreDialog(gxmessage, {"gxmessage", "-center", "-buttons", "OK", "-title", caption, notice});
  }
}

}  // namespace

void InstallCrashHandler(std::string_view dump_file_name, bool silent) {
  if (dump_file_name.empty()) dump_file_name = "Application";
  std::size_t length = std::min(dump_file_name.size(), sizeof g_state.dump_file_name - 1);
  std::memcpy(g_state.dump_file_name, dump_file_name.data(), length);
  g_state.dump_file_name[length] = '\0';
  g_state.silent = silent;
  PrepareDialog();

  // backtrace loads its unwinder on first use, which allocates: do that now, not in the handler.
  void* warm_up[2];
  ::backtrace(warm_up, 2);

  stack_t alt_stack{};
  alt_stack.ss_sp = g_alt_stack;
  alt_stack.ss_size = sizeof g_alt_stack;
  ::sigaltstack(&alt_stack, nullptr);

  struct sigaction action {};
  action.sa_sigaction = &OnFatalSignal;
  action.sa_flags = SA_SIGINFO | SA_ONSTACK | SA_RESETHAND;
  sigemptyset(&action.sa_mask);
  for (int signal_number : kFatalSignals) sigaddset(&action.sa_mask, signal_number);
  for (int signal_number : kFatalSignals) ::sigaction(signal_number, &action, nullptr);
}

}  // namespace quillo::crash
