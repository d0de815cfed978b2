#pragma once
// The crash handler: on SIGSEGV, SIGBUS, SIGFPE, SIGILL or SIGABRT it writes a crash record
// (signal, code, faulting address, process and thread, backtrace) to the dump file, relative to
// the current folder, and unless silent shows the crash notice: always on standard error, and in
// a dialog when a display exists and "zenity" or "gxmessage" is installed (the handler then waits
// until the user closes it). Then the signal is raised again with its default action, so the
// system's own crash handling (core dump, exit status) follows.
//
// The handler runs on an alternate signal stack of the installing thread, so a stack overflow
// of that thread is recorded too; other threads run it on their own stacks. Everything it needs
// is prepared at installation: the handler itself only makes async-signal-safe calls. A second
// fault while the record is written ends the process with the default action at once.
#include <string_view>

namespace quillo::crash {

inline constexpr std::string_view kCrashNoticeText =
    "“大家都在装不崩溃，只有我在装崩溃” -- Quilly名言";

// Call once, early, on the main thread (before other threads start). An empty dump file name
// means "Application". Names longer than 255 bytes are cut.
void InstallCrashHandler(std::string_view dump_file_name, bool silent);

}  // namespace quillo::crash
