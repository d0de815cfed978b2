// call PATH [name=value ...] [--scrambled]: one service call, as the program sends it.
#include <chrono>
#include <optional>
#include <ostream>
#include <string>

#include "platform/loop/MainLoop.h"
#include "service/api/ServiceEndpoints.h"
#include "service/runtime/ServiceRuntime.h"
#include "service/transfer/AnswerDescrambler.h"
#include "service/transfer/SafeDownloader.h"
#include "service/transfer/SafeDownloaderCallback.h"
#include "service/transfer/TransferRecord.h"
#include "tools/quillo-tool/ToolCommand.h"
#include "tools/quillo-tool/ToolRuntime.h"

namespace quillo::tool {
namespace {

// Far beyond the downloader's own receive time-out: only a fault of ours would reach it.
constexpr std::chrono::minutes kCallTimeout{10};

int Usage(ToolContext& context) {
  context.err << "usage: quillo-tool call PATH [name=value ...] [--scrambled]\n";
  return 1;
}

// Keeps the answer's bytes and how the transfer ended.
class CollectingCallback : public service::SafeDownloaderCallback {
 public:
  void OnStart(service::TransferRecord&) override { body.clear(); }
  void OnData(service::TransferRecord& record) override { body.append(record.chunk()); }
  void OnFinish(service::TransferRecord& record) override {
    status = record.status();
    finished = true;
  }

  std::string body;
  service::TransferStatus status = service::TransferStatus::kStarting;
  bool finished = false;
};

int Call(ToolContext& context) {
  std::string path;
  service::FormParams params;
  bool scrambled = false;
  for (const std::string& arg : context.args) {
    if (arg == "--scrambled") {
      scrambled = true;
    } else if (path.empty()) {
      path = arg;
    } else {
      std::size_t equals = arg.find('=');
      if (equals == std::string::npos || equals == 0) return Usage(context);
      params.emplace_back(arg.substr(0, equals), arg.substr(equals + 1));
    }
  }
  if (path.empty()) return Usage(context);
  // The program's cookie jar, so that a login by one call serves the next.
  ToolRuntime tool(context);
  const std::optional<service::ServiceEndpoints>& endpoints = tool.Endpoints();
  if (!endpoints) return 1;
  // Paths are relative to the base URL, as in the program.
  if (path.front() == '/') path.erase(0, 1);

  CollectingCallback answer;
  tool.service().downloader().Request(endpoints->base_url + path, std::move(params), &answer);
  tool.loop().PumpUntil([&answer] { return answer.finished; }, kCallTimeout);
  tool.service().Shutdown();

  if (!answer.finished || answer.status != service::TransferStatus::kFinished) {
    context.err << "quillo-tool: the call to " << endpoints->base_url << path << " failed (status "
                << static_cast<int>(answer.status) << ")\n";
    return 1;
  }
  if (scrambled && !service::DescrambleAnswer(answer.body)) {
    context.err << "quillo-tool: the answer (" << answer.body.size()
                << " bytes) could not be descrambled\n";
    return 1;
  }
  context.out << answer.body;
  context.out.flush();
  return 0;
}

}  // namespace

void RegisterServiceCommands(CommandList& commands) {
  commands.push_back({"call", "PATH [name=value ...] [--scrambled]", Call});
}

}  // namespace quillo::tool
