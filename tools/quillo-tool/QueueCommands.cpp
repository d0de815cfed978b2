// queue next|previous|random LIST_ID [--mode MODE]: the song the play queue would choose.
#include <ostream>

#include "playback/PlayQueue.h"
#include "playback/PlayQueueMode.h"
#include "store/Playlists.h"
#include "store/QueueSelection.h"
#include "store/StoreRuntime.h"
#include "tools/quillo-tool/TerminalText.h"
#include "tools/quillo-tool/ToolCommand.h"

namespace quillo::tool {
namespace {

// Makes LIST_ID the current list, then selects as the Next / Previous buttons (with wrap) or a
// random pick do; the selection becomes the current item, as in the program.
int QueueChoose(ToolContext& context, playback::QueueCommand command, const char* usage) {
  auto fail_usage = [&] {
    context.err << "usage: quillo-tool " << usage << "\n";
    return 1;
  };
  if (context.args.empty()) return fail_usage();
  const std::string list_id = context.args[0];
  playback::PlayMode mode = playback::PlayQueueMode::Current(*context.store);
  for (std::size_t at = 1; at < context.args.size(); ++at) {
    if (context.args[at] != "--mode" || at + 1 == context.args.size()) return fail_usage();
    std::optional<playback::PlayMode> given =
        playback::PlayQueueMode::FromValue(context.args[++at]);
    if (!given) {
      context.err << "quillo-tool: unknown play mode '" << context.args[at]
                  << "' (single_no_repeat, single_repeat, all_no_repeat, all_repeat, random)\n";
      return 1;
    }
    mode = *given;
  }
  store::StoreRuntime& runtime = *store::StoreRuntime::Instance();
  runtime.playlists().SetCurrentList(list_id);
  std::optional<store::MusicRecord> song =
      playback::PlayQueue::ChooseSong(runtime.queue(), command, mode, /*wrap=*/true);
  if (!song) {
    context.err << "quillo-tool: nothing would play from list '" << list_id << "'\n";
    return 1;
  }
  auto field = [&](const char* name) {
    auto it = song->find(name);
    return it == song->end() ? std::string() : it->second;
  };
  context.out << Shown(field("id")) << "\t" << Shown(field("name")) << "\n";
  return 0;
}

}  // namespace

void RegisterQueueCommands(CommandList& commands) {
  commands.push_back({"queue next", "LIST_ID [--mode MODE]", [](ToolContext& context) {
                        return QueueChoose(context, playback::QueueCommand::kNext,
                                           "queue next LIST_ID [--mode MODE]");
                      }});
  commands.push_back({"queue previous", "LIST_ID [--mode MODE]", [](ToolContext& context) {
                        return QueueChoose(context, playback::QueueCommand::kPrevious,
                                           "queue previous LIST_ID [--mode MODE]");
                      }});
  commands.push_back({"queue random", "LIST_ID [--mode MODE]", [](ToolContext& context) {
                        return QueueChoose(context, playback::QueueCommand::kRandom,
                                           "queue random LIST_ID [--mode MODE]");
                      }});
}

}  // namespace quillo::tool
