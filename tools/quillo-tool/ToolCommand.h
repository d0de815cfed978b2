#pragma once
// One subcommand of quillo-tool. Each subsystem adds its commands through a Register function
// declared here and listed once in main.cpp.
#include <functional>
#include <iosfwd>
#include <string>
#include <vector>

#include "service/api/ServiceEndpoints.h"

namespace quillo::store {
class DocumentStore;
}

namespace quillo::tool {

struct ToolContext {
  // Opened like the program opens it (with migration and every section), saved on exit.
  // nullptr for commands that declare needs_store = false.
  store::DocumentStore* store;
  // The words after the command's own name(s).
  std::vector<std::string> args;
  std::ostream& out;
  std::ostream& err;
  // The service the data folder is configured for, or the one --service names; not configured
  // when neither names a base URL.
  service::ServiceEndpoints endpoints;
};

struct ToolCommand {
  // One or two words: "clientid", "config get", "tags read".
  std::string name;
  // Shown by --help after the name: "KEY [DEFAULT]".
  std::string usage;
  // Exit status: 0 success, 1 failure (with a message on err).
  std::function<int(ToolContext&)> run;
  bool needs_store = true;
};

using CommandList = std::vector<ToolCommand>;

void RegisterConfigCommands(CommandList& commands);
void RegisterStoreCommands(CommandList& commands);
void RegisterTagCommands(CommandList& commands);
void RegisterLibraryCommands(CommandList& commands);
void RegisterPlaylistCommands(CommandList& commands);
void RegisterAnswerCommands(CommandList& commands);
void RegisterUploadCommands(CommandList& commands);
void RegisterLyricCommands(CommandList& commands);
void RegisterTransferCommands(CommandList& commands);
void RegisterServiceCommands(CommandList& commands);
void RegisterQueueCommands(CommandList& commands);
void RegisterPlayCommands(CommandList& commands);
void RegisterDownloadCommands(CommandList& commands);
void RegisterSyncCommands(CommandList& commands);
void RegisterSessionCommands(CommandList& commands);
void RegisterDeviceCommands(CommandList& commands);

}  // namespace quillo::tool
