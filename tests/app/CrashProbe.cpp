// A program that installs the crash handler and then fails in the way its arguments ask for:
//   crash_probe segv|abort|fpe|overflow silent|loud [address]
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <string>

#include "platform/crash/CrashHandler.h"

namespace {

// Far deeper than any stack; the volatile buffer keeps every frame alive.
volatile int g_depth_limit = 1 << 30;

int Recurse(int depth) {
  if (depth > g_depth_limit) return 0;
  volatile char frame[1024];
  frame[0] = static_cast<char>(depth);
  return Recurse(depth + 1) + frame[0];
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) return 2;
  std::string mode = argv[1];
  quillo::crash::InstallCrashHandler("Quillo.dmp", std::strcmp(argv[2], "silent") == 0);
  if (mode == "segv") {
    auto* address =
        reinterpret_cast<volatile int*>(std::strtoul(argc > 3 ? argv[3] : "16", nullptr, 0));
    *address = 1;
  } else if (mode == "abort") {
    std::abort();
  } else if (mode == "fpe") {
    std::raise(SIGFPE);
  } else if (mode == "overflow") {
    return Recurse(0);
  }
  return 0;
}
