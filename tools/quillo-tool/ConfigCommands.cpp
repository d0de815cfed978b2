// config get|set|remove|list, clientid.
#include <ostream>

#include "store/ConfigKeys.h"
#include "store/DocumentStore.h"
#include "tools/quillo-tool/TerminalText.h"
#include "tools/quillo-tool/ToolCommand.h"

namespace quillo::tool {
namespace {

int Usage(ToolContext& context, const char* usage) {
  context.err << "usage: quillo-tool " << usage << "\n";
  return 1;
}

int ConfigGet(ToolContext& context) {
  if (context.args.empty() || context.args.size() > 2) return Usage(context, "config get KEY [DEFAULT]");
  const std::string& key = context.args[0];
  if (context.store->HasConfig(key)) {
    context.out << Shown(context.store->GetConfigText(key)) << "\n";
    return 0;
  }
  if (context.args.size() == 2) {
    context.out << context.args[1] << "\n";
    return 0;
  }
  if (const store::ConfigKeyInfo* info = store::FindConfigKey(key); info && !info->fallback.empty()) {
    context.out << info->fallback << "\n";
    return 0;
  }
  context.err << "quillo-tool: " << key << " is not set\n";
  return 1;
}

int ConfigSet(ToolContext& context) {
  if (context.args.size() != 2) return Usage(context, "config set KEY VALUE");
  if (!context.store->SetConfigText(context.args[0], context.args[1])) {
    context.err << "quillo-tool: the document has no root element; nothing was set\n";
    return 1;
  }
  return 0;
}

int ConfigRemove(ToolContext& context) {
  if (context.args.size() != 1) return Usage(context, "config remove KEY");
  if (!context.store->RemoveConfig(context.args[0])) {
    context.err << "quillo-tool: " << context.args[0] << " is not set\n";
    return 1;
  }
  return 0;
}

int ConfigList(ToolContext& context) {
  if (!context.args.empty()) return Usage(context, "config list");
  for (const auto& [key, value] : context.store->AllConfig()) context.out << Shown(key) << "=" << Shown(value) << "\n";
  return 0;
}

int ClientIdCommand(ToolContext& context) {
  if (!context.args.empty()) return Usage(context, "clientid");
  std::string id = context.store->ClientId();
  if (id.empty()) {
    context.err << "quillo-tool: no client id could be made\n";
    return 1;
  }
  context.out << id << "\n";
  return 0;
}

}  // namespace

void RegisterConfigCommands(CommandList& commands) {
  commands.push_back({"config get", "KEY [DEFAULT]", ConfigGet});
  commands.push_back({"config set", "KEY VALUE", ConfigSet});
  commands.push_back({"config remove", "KEY", ConfigRemove});
  commands.push_back({"config list", "", ConfigList});
  commands.push_back({"clientid", "", ClientIdCommand});
}

}  // namespace quillo::tool
