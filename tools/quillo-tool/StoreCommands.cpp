// store dump, store path.
#include <ostream>

#include "store/DocumentStore.h"
#include "tools/quillo-tool/TerminalText.h"
#include "tools/quillo-tool/ToolCommand.h"

namespace quillo::tool {
namespace {

int StoreDump(ToolContext& context) {
  if (!context.args.empty()) {
    context.err << "usage: quillo-tool store dump\n";
    return 1;
  }
  context.out << ShownDocument(context.store->PrintDocument());
  return 0;
}

int StorePath(ToolContext& context) {
  if (!context.args.empty()) {
    context.err << "usage: quillo-tool store path\n";
    return 1;
  }
  context.out << context.store->DataFilePath() << "\n";
  return 0;
}

}  // namespace

void RegisterStoreCommands(CommandList& commands) {
  commands.push_back({"store dump", "", StoreDump});
  commands.push_back({"store path", "", StorePath});
}

}  // namespace quillo::tool
