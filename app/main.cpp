// quillo: the desktop music client.
#include <cstdlib>
#include <iostream>
#include <string>
#include <vector>

#include "app/AppArguments.h"
#include "app/AppConstants.h"
#include "app/CSorvelClientApp.h"
#include "platform/crash/CrashHandler.h"
#include "platform/fs/FileSystem.h"
#include "platform/ipc/HandOverClient.h"
#include "platform/ipc/InstanceNames.h"
#include "platform/process/HeapUse.h"
#include "platform/shell/ProcessInfo.h"
#include "store/DataFolder.h"

namespace {

// Installed while static objects are constructed, before anything else of the program runs.
const struct CrashHandlerInstaller {
  CrashHandlerInstaller() {
    quillo::crash::InstallCrashHandler(quillo::app::kDumpFileName, /*silent=*/false);
  }
} kCrashHandlerInstaller;

int AskToQuit(const std::string& data_folder) {
  auto result =
      quillo::ipc::SendHandOver(quillo::ipc::InstanceSocketPath(data_folder),
                                {quillo::ipc::HandOverKind::kQuit, {}}, std::chrono::seconds(10));
  if (result == quillo::ipc::HandOverResult::kHandled) return 0;
  std::cerr << "quillo: no running instance for " << data_folder << "\n";
  return 1;
}

}  // namespace

int main(int argc, char** argv) {
  using namespace quillo;
  process::TuneHeapForStart();
  app::AppArguments arguments =
      app::ParseAppArguments(std::vector<std::string>(argv + 1, argv + argc));
  if (!arguments.error.empty()) {
    std::cerr << "quillo: " << arguments.error << "\n\n" << app::UsageText();
    return 2;
  }
  if (arguments.show_help) {
    std::cout << app::UsageText();
    return 0;
  }
  if (arguments.show_version) {
    std::cout << app::kProductName << " " << app::kProgramVersion << "\n";
    return 0;
  }

  app::AppEnvironment environment;
  environment.executable_path = fs::ExecutablePath();
  environment.program_folder = fs::ParentFolder(environment.executable_path);
  environment.data_folder = store::ResolveDataFolder(arguments.data_dir);
  environment.process_id = shell::CurrentProcessId();
  if (arguments.quit) return AskToQuit(environment.data_folder);
  environment.command_line =
      app::HandOverText(arguments.positional, shell::CurrentFolder(),
                        [](const std::string& path) { return fs::FileExists(path); });

  // A window needs an X display (GTK runs on X11, through XWayland under Wayland).
  const char* display = std::getenv("DISPLAY");
  environment.headless = arguments.headless || display == nullptr || *display == '\0';

  app::CSorvelClientApp application(std::move(environment), std::cout);
  application.InitInstance();
  return 0;
}
