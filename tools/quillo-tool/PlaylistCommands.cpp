// playlist list|create NAME|rename ID NAME|delete ID|add ID SONG|remove ID SONG|sort ID ATTRIBUTE.
#include <ostream>

#include "store/Playlists.h"
#include "store/StoreRuntime.h"
#include "tools/quillo-tool/TerminalText.h"
#include "tools/quillo-tool/ToolCommand.h"

namespace quillo::tool {
namespace {

store::Playlists& Lists() { return store::StoreRuntime::Instance()->playlists(); }

int Usage(ToolContext& context, const char* usage) {
  context.err << "usage: quillo-tool " << usage << "\n";
  return 1;
}

int Fail(ToolContext& context, const std::string& message) {
  context.err << "quillo-tool: " << message << "\n";
  return 1;
}

int PlaylistList(ToolContext& context) {
  if (!context.args.empty()) return Usage(context, "playlist list");
  for (const store::PlaylistEntry& entry : Lists().ListPlaylists(/*without_devices=*/true)) {
    context.out << Shown(entry.id) << "\t" << Shown(entry.name) << "\n";
  }
  return 0;
}

int PlaylistCreate(ToolContext& context) {
  if (context.args.size() != 1) return Usage(context, "playlist create NAME");
  std::string id = Lists().CreatePlaylist(context.args[0]);
  if (id.empty()) return Fail(context, "no playlist id could be made");
  context.out << id << "\n";
  return 0;
}

int PlaylistRename(ToolContext& context) {
  if (context.args.size() != 2) return Usage(context, "playlist rename ID NAME");
  if (!Lists().RenamePlaylist(context.args[0], context.args[1])) return Fail(context, "no playlist " + context.args[0]);
  return 0;
}

int PlaylistDelete(ToolContext& context) {
  if (context.args.size() != 1) return Usage(context, "playlist delete ID");
  if (!Lists().DeletePlaylist(context.args[0])) return Fail(context, "no playlist " + context.args[0]);
  return 0;
}

int PlaylistAdd(ToolContext& context) {
  if (context.args.size() != 2) return Usage(context, "playlist add ID SONG");
  if (!Lists().PlaylistExists(context.args[0])) return Fail(context, "no playlist " + context.args[0]);
  if (!Lists().AddItem(context.args[0], context.args[1])) {
    return Fail(context, "song " + context.args[1] + " is not in the library or already in the list");
  }
  return 0;
}

int PlaylistRemove(ToolContext& context) {
  if (context.args.size() != 2) return Usage(context, "playlist remove ID SONG");
  if (!Lists().RemoveItem(context.args[0], context.args[1])) {
    return Fail(context, "song " + context.args[1] + " is not in list " + context.args[0]);
  }
  return 0;
}

int PlaylistSort(ToolContext& context) {
  if (context.args.size() != 2) return Usage(context, "playlist sort ID ATTRIBUTE");
  if (!Lists().SortPlaylist(context.args[0], context.args[1], /*keep_direction=*/false)) {
    return Fail(context, "no playlist " + context.args[0]);
  }
  auto info = Lists().GetPlaylistInfo(context.args[0]);
  context.out << (info && info->sort_asc == "false" ? "descending" : "ascending") << "\n";
  return 0;
}

}  // namespace

void RegisterPlaylistCommands(CommandList& commands) {
  commands.push_back({"playlist list", "", PlaylistList});
  commands.push_back({"playlist create", "NAME", PlaylistCreate});
  commands.push_back({"playlist rename", "ID NAME", PlaylistRename});
  commands.push_back({"playlist delete", "ID", PlaylistDelete});
  commands.push_back({"playlist add", "ID SONG", PlaylistAdd});
  commands.push_back({"playlist remove", "ID SONG", PlaylistRemove});
  commands.push_back({"playlist sort", "ID ATTRIBUTE", PlaylistSort});
}

}  // namespace quillo::tool
