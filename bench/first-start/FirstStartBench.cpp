// A new user's first start, whole-process, on the display of DISPLAY (Xvfb will do): `quillo`
// on a fresh data folder, with no service configured, so it starts the embedded quillo-service,
// whose data folder is fresh too. Times from starting the program to
//  - its main window shown (empty lists),
//  - the embedded service's address known,
//  - the first list shown with rows: the 排行榜 list the panel chooses at a first start, without
//    any click (target under 2 s).
// Each run has folders of its own. Usage: first_start_bench [RUNS] (default 3).
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <optional>
#include <string>

#include "app/ChildProcess.h"
#include "support/TempFolder.h"

namespace {

using namespace std::chrono;
using quillo::testing::ChildProcess;

struct Run {
  std::optional<double> window_ms, service_ms, list_ms;
  std::string list_line;
};

// The first output line starting with `prefix` (and not equal to `except`).
std::optional<std::string> LineStarting(const ChildProcess& program, const std::string& prefix,
                                        const std::string& except = {}) {
  for (const std::string& line : program.lines()) {
    if (line.rfind(prefix, 0) == 0 && line != except) return line;
  }
  return std::nullopt;
}

Run StartOnce() {
  Run run;
  quillo::testing::TempFolder folder;
  const std::map<std::string, std::string> environment{
      {"XDG_DATA_HOME", folder / "xdg-data/"},
      {"XDG_CONFIG_HOME", folder / "xdg-config/"},
      {"XDG_RUNTIME_DIR", folder.path()},
      {"DBUS_SESSION_BUS_ADDRESS", ""},
      {"QUILLO_AUDIO_SINK", "fakesink sync=true"},
      {"QUILLO_SERVICE_EXECUTABLE", QUILLO_SERVICE_EXECUTABLE},
      {"NO_AT_BRIDGE", "1"}};
  const auto started = steady_clock::now();
  ChildProcess program(QUILLO_EXECUTABLE, {"--data-dir", folder / "data/"}, environment);
  auto since = [&] { return duration<double, std::milli>(steady_clock::now() - started).count(); };
  while (since() < 60000 && !run.list_ms) {
    // Reads what arrived (no line is "\x01"), at most 10 ms.
    program.WaitForLine("\x01", milliseconds(10));
    if (!run.window_ms && LineStarting(program, "main window shown")) run.window_ms = since();
    if (!run.service_ms && LineStarting(program, "service: http://")) run.service_ms = since();
    if (auto line = LineStarting(program, "song list: ", "song list: 0 rows")) {
      run.list_ms = since();
      run.list_line = *line;
    }
    if (program.Wait(milliseconds(0))) break;  // it ended
  }
  program.Signal(15);
  program.Wait(seconds(30));
  return run;
}

std::string Figure(const std::optional<double>& ms) {
  return ms ? std::to_string(static_cast<long>(*ms)) + " ms" : std::string("never");
}

}  // namespace

int main(int argc, char** argv) {
  const char* display = std::getenv("DISPLAY");
  if (display == nullptr || *display == '\0') {
    std::fprintf(stderr, "first_start_bench: needs a display (DISPLAY)\n");
    return 2;
  }
  const int runs = argc > 1 ? std::atoi(argv[1]) : 3;
  int failures = 0;
  for (int i = 1; i <= runs; ++i) {
    const Run run = StartOnce();
    std::printf("run %d: window shown %s, service known %s, first list shown %s (%s; target < 2000 ms)\n",
                i, Figure(run.window_ms).c_str(), Figure(run.service_ms).c_str(),
                Figure(run.list_ms).c_str(), run.list_line.c_str());
    failures += run.list_ms ? 0 : 1;
  }
  return failures == 0 ? 0 : 1;
}
