// quillo-tool [--data-dir DIR] COMMAND ...: command-line access to a data folder and the core.
#include <iostream>
#include <optional>
#include <string>
#include <vector>

#include "service/api/ServiceEndpoints.h"
#include "store/DataFolder.h"
#include "store/StoreRuntime.h"
#include "tools/quillo-tool/ToolCommand.h"

namespace {

using quillo::tool::CommandList;
using quillo::tool::ToolCommand;

CommandList AllCommands() {
  CommandList commands;
  quillo::tool::RegisterConfigCommands(commands);
  quillo::tool::RegisterStoreCommands(commands);
  quillo::tool::RegisterTagCommands(commands);
  quillo::tool::RegisterLibraryCommands(commands);
  quillo::tool::RegisterPlaylistCommands(commands);
  quillo::tool::RegisterAnswerCommands(commands);
  quillo::tool::RegisterUploadCommands(commands);
  quillo::tool::RegisterLyricCommands(commands);
  quillo::tool::RegisterTransferCommands(commands);
  quillo::tool::RegisterServiceCommands(commands);
  quillo::tool::RegisterQueueCommands(commands);
  quillo::tool::RegisterPlayCommands(commands);
  quillo::tool::RegisterDownloadCommands(commands);
  quillo::tool::RegisterSyncCommands(commands);
  quillo::tool::RegisterSessionCommands(commands);
  quillo::tool::RegisterDeviceCommands(commands);
  return commands;
}

void PrintUsage(const CommandList& commands, std::ostream& out) {
  out << "usage: quillo-tool [--data-dir DIR] [--service URL] COMMAND [ARGS...]\n\n"
         "The data folder is DIR, else $QUILLO_DATA_DIR, else $XDG_DATA_HOME/sorvel/.\n"
         "The service is URL, else the data folder's sorvel.service.base_url.\n\n"
         "commands:\n";
  for (const ToolCommand& command : commands) {
    out << "  " << command.name << (command.usage.empty() ? "" : " ") << command.usage << "\n";
  }
}

// The command whose name matches the longest run of leading words.
const ToolCommand* FindCommand(const CommandList& commands, const std::vector<std::string>& words,
                               std::size_t& used) {
  const ToolCommand* best = nullptr;
  used = 0;
  for (const ToolCommand& command : commands) {
    std::string joined;
    for (std::size_t n = 0; n < words.size() && n < 3; ++n) {
      joined += (n ? " " : "") + words[n];
      if (joined == command.name && n + 1 > used) {
        best = &command;
        used = n + 1;
      }
    }
  }
  return best;
}

}  // namespace

int main(int argc, char** argv) {
  CommandList commands = AllCommands();
  std::vector<std::string> words(argv + 1, argv + argc);
  std::string data_dir;
  std::optional<std::string> service_url;
  while (!words.empty() && words.front().rfind("--", 0) == 0) {
    if (words.front() == "--help" || words.front() == "-h") {
      PrintUsage(commands, std::cout);
      return 0;
    }
    if (words.front() == "--data-dir" && words.size() >= 2) {
      data_dir = words[1];
      words.erase(words.begin(), words.begin() + 2);
    } else if (words.front().rfind("--data-dir=", 0) == 0) {
      data_dir = words.front().substr(11);
      words.erase(words.begin());
    } else if (words.front() == "--service" && words.size() >= 2) {
      service_url = words[1];
      words.erase(words.begin(), words.begin() + 2);
    } else if (words.front().rfind("--service=", 0) == 0) {
      service_url = words.front().substr(10);
      words.erase(words.begin());
    } else {
      std::cerr << "quillo-tool: unknown option " << words.front() << "\n";
      return 1;
    }
  }
  if (words.empty()) {
    PrintUsage(commands, std::cerr);
    return 1;
  }
  std::size_t used = 0;
  const ToolCommand* command = FindCommand(commands, words, used);
  if (command == nullptr) {
    std::cerr << "quillo-tool: unknown command '" << words.front() << "' (see --help)\n";
    return 1;
  }
  std::vector<std::string> args(words.begin() + static_cast<long>(used), words.end());

  if (!command->needs_store) {
    quillo::tool::ToolContext context{
        nullptr, args, std::cout, std::cerr,
        quillo::service::EndpointsForBaseUrl(service_url.value_or(std::string()))};
    return command->run(context);
  }
  quillo::store::StoreRuntime runtime(quillo::store::ResolveDataFolder(data_dir));
  if (!runtime.Open(/*start_saver=*/false)) {
    std::cerr << "quillo-tool: cannot write the data file in " << runtime.store().data_folder()
              << "\n";
  }
  if (!runtime.store().kept_aside_path().empty()) {
    std::cerr << "quillo-tool: the old data file could not be read and was kept as "
              << runtime.store().kept_aside_path() << "\n";
  }
  // --service overrides the configured base URL (and with it the upload host and web site).
  quillo::tool::ToolContext context{&runtime.store(), args, std::cout, std::cerr,
                                    service_url
                                        ? quillo::service::EndpointsForBaseUrl(*service_url)
                                        : quillo::service::ConfiguredEndpoints(runtime.store())};
  int status = command->run(context);
  if (!runtime.Close()) {
    std::cerr << "quillo-tool: the data file could not be saved\n";
    return 1;
  }
  return status;
}
