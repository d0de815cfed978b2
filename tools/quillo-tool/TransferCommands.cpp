// get URL TARGET [--min N] [--max N] [--append-ext] [--attempts N]: one download through the
// safe downloader, with a progress line on standard error and the final status.
#include <charconv>
#include <cstdint>
#include <optional>
#include <ostream>
#include <string>

#include "platform/loop/MainLoop.h"
#include "service/runtime/ServiceRuntime.h"
#include "service/transfer/SafeDownloader.h"
#include "service/transfer/SafeDownloaderCallback.h"
#include "service/transfer/TransferRecord.h"
#include "tools/quillo-tool/ToolCommand.h"
#include "tools/quillo-tool/ToolRuntime.h"

namespace quillo::tool {
namespace {

constexpr const char* kGetUsage =
    "usage: quillo-tool get URL TARGET [--min N] [--max N] [--append-ext] [--attempts N]\n";

std::optional<std::int64_t> ParseCount(const std::string& text) {
  std::int64_t value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size() || value < 0) return std::nullopt;
  return value;
}

const char* StatusName(service::TransferStatus status) {
  switch (status) {
    case service::TransferStatus::kStarting:
      return "starting";
    case service::TransferStatus::kReceiving:
      return "receiving";
    case service::TransferStatus::kFinished:
      return "finished";
    case service::TransferStatus::kFailed:
      return "failed";
    case service::TransferStatus::kCancelled:
      return "cancelled";
  }
  return "unknown";
}

// Runs on the window thread (the tool's main thread, which runs the loop).
class GetProgress : public service::SafeDownloaderCallback {
 public:
  GetProgress(loop::MainLoop& loop, std::ostream& err) : loop_(loop), err_(err) {}

  void OnStart(service::TransferRecord& record) override {
    last_shown_ = 0;
    Show(record);
  }
  void OnData(service::TransferRecord& record) override {
    // About one line per percent (or per megabyte when the size is unknown).
    const std::uint64_t step = record.total_size() > 0 ? record.total_size() / 100 + 1 : 1 << 20;
    if (record.received_size() - last_shown_ >= step) Show(record);
  }
  void OnFinish(service::TransferRecord& record) override {
    if (last_shown_ != 0 || record.received_size() != 0) Show(record);
    err_ << "\n";
    status_ = record.status();
    path_ = record.target_path();
    finished_ = true;
    loop_.Quit();
  }

  bool finished() const { return finished_; }
  service::TransferStatus status() const { return status_; }
  const std::string& path() const { return path_; }

 private:
  void Show(const service::TransferRecord& record) {
    last_shown_ = record.received_size();
    err_ << "\r" << record.received_size();
    if (record.total_size() > 0) {
      err_ << " / " << record.total_size() << " bytes ("
           << record.received_size() * 100 / record.total_size() << "%)";
    } else {
      err_ << " bytes";
    }
    err_.flush();
  }

  loop::MainLoop& loop_;
  std::ostream& err_;
  std::uint64_t last_shown_ = 0;
  bool finished_ = false;
  service::TransferStatus status_ = service::TransferStatus::kFailed;
  std::string path_;
};

int Get(ToolContext& context) {
  std::vector<std::string> positional;
  std::int64_t min_size = 0;
  std::int64_t max_size = 0;
  std::int64_t attempts = service::SafeDownloader::kDefaultAttempts;
  bool append_extension = false;
  const auto& args = context.args;
  for (std::size_t i = 0; i < args.size(); ++i) {
    if (args[i] == "--append-ext") {
      append_extension = true;
      continue;
    }
    if (args[i] == "--min" || args[i] == "--max" || args[i] == "--attempts") {
      const auto value = i + 1 < args.size() ? ParseCount(args[i + 1]) : std::nullopt;
      if (!value || (args[i] == "--attempts" && (*value < 1 || *value > 1000))) {
        context.err << "quillo-tool: " << args[i] << " needs a number\n" << kGetUsage;
        return 1;
      }
      (args[i] == "--min" ? min_size : args[i] == "--max" ? max_size : attempts) = *value;
      ++i;
      continue;
    }
    positional.push_back(args[i]);
  }
  if (positional.size() != 2) {
    context.err << kGetUsage;
    return 1;
  }

  // Any URL: no service is resolved or started.
  ToolRuntime tool(context);
  GetProgress progress(tool.loop(), context.err);
  tool.service().downloader().Download(positional[0], positional[1], &progress, append_extension,
                                       min_size, max_size, static_cast<int>(attempts));
  if (!progress.finished()) tool.loop().Run();
  tool.service().Shutdown();
  context.err << "status " << static_cast<int>(progress.status()) << " ("
              << StatusName(progress.status()) << ")\n";
  if (progress.status() != service::TransferStatus::kFinished) return 1;
  context.out << progress.path() << "\n";
  return 0;
}

}  // namespace

void RegisterTransferCommands(CommandList& commands) {
  commands.push_back({"get", "URL TARGET [--min N] [--max N] [--append-ext] [--attempts N]", Get});
}

}  // namespace quillo::tool
