// answer login FILE, answer list FILE LIST_ID: apply a service answer document from a file.
#include <ostream>

#include "platform/fs/FileSystem.h"
#include "platform/text/TextUtil.h"
#include "store/ListDocument.h"
#include "store/MusicLibrary.h"
#include "store/Playlists.h"
#include "store/ServiceAnswers.h"
#include "store/StoreRuntime.h"
#include "tools/quillo-tool/FileArgument.h"
#include "tools/quillo-tool/TerminalText.h"
#include "tools/quillo-tool/ToolCommand.h"

namespace quillo::tool {
namespace {

int AnswerLogin(ToolContext& context) {
  if (context.args.size() != 1) {
    context.err << "usage: quillo-tool answer login FILE\n";
    return 1;
  }
  if (!CheckFileArgument(context.args[0], FileUse::kRead, context.err)) return 1;
  std::optional<std::string> text = fs::ReadWholeFile(context.args[0]);
  if (!text) {
    context.err << "quillo-tool: 无法读取文件: " << context.args[0] << "\n";
    return 1;
  }
  store::LoginAnswerResult result = store::StoreRuntime::Instance()->answers().TakeLoginAnswer(*text);
  if (!result.ok) {
    context.err << "quillo-tool: login answer refused"
                << (result.error.empty() ? std::string() : ": " + result.error) << "\n";
    return 1;
  }
  context.out << "user " << Shown(context.store->CurrentUser()) << "\n";
  return 0;
}

// A "t_" list becomes that temporary list (printed, since it lives only in this process); any
// other list id gets the songs added to the library and, unless it is the default list, to it.
int AnswerList(ToolContext& context) {
  if (context.args.size() != 2) {
    context.err << "usage: quillo-tool answer list FILE LIST_ID\n";
    return 1;
  }
  const std::string& list_id = context.args[1];
  if (!CheckFileArgument(context.args[0], FileUse::kRead, context.err)) return 1;
  std::optional<std::string> text = fs::ReadWholeFile(context.args[0]);
  if (!text) {
    context.err << "quillo-tool: 无法读取文件: " << context.args[0] << "\n";
    return 1;
  }
  std::optional<store::ListDocument> list = store::ParseListDocument(*text);
  if (!list) {
    context.err << "quillo-tool: not a list document\n";
    return 1;
  }
  store::StoreRuntime* runtime = store::StoreRuntime::Instance();
  if (text::StartsWith(list_id, "t_")) {
    runtime->playlists().SetTemporaryRecords(list_id, list->records);
    for (const store::MusicRecordPtr& pointer : runtime->playlists().ListRecords(list_id)) {
      const store::MusicRecord& record = *pointer;
      auto field = [&](const char* name) {
        auto it = record.find(name);
        return it == record.end() ? std::string() : Shown(it->second);
      };
      context.out << field("id") << "\t" << field("name") << "\t" << field("artist_name") << "\t"
                  << field("album_name") << "\n";
    }
    return 0;
  }
  if (!list_id.empty() && !runtime->playlists().PlaylistExists(list_id)) {
    context.err << "quillo-tool: no playlist " << list_id << "\n";
    return 1;
  }
  int added = 0;
  for (const store::MusicRecord& record : list->records) {
    if (!runtime->library().AddMusic(record)) continue;
    if (!list_id.empty()) runtime->playlists().AddItem(list_id, record.at("id"));
    ++added;
  }
  context.out << added << " songs\n";
  return 0;
}

}  // namespace

void RegisterAnswerCommands(CommandList& commands) {
  commands.push_back({"answer login", "FILE", AnswerLogin});
  commands.push_back({"answer list", "FILE LIST_ID", AnswerList});
}

}  // namespace quillo::tool
