// upload FILE [--upload-host HOST:PORT]: send a file to the upload host as the program does.
#include <chrono>
#include <future>
#include <ostream>

#include "platform/fs/FileSystem.h"
#include "platform/text/TextUtil.h"
#include "service/api/ServiceEndpoints.h"
#include "service/runtime/ServiceRuntime.h"
#include "service/upload/UploadManager.h"
#include "store/DocumentStore.h"
#include "tools/quillo-tool/FileArgument.h"
#include "tools/quillo-tool/ToolCommand.h"
#include "tools/quillo-tool/ToolRuntime.h"

namespace quillo::tool {
namespace {

std::string UploadKindFor(const std::string& path) {
  const std::string lower = text::ToLowerAscii(path);
  for (const char* extension : {".lrc", ".mrc", ".txt"}) {
    if (text::EndsWith(lower, extension)) return std::string(service::kUploadKindLyric);
  }
  return std::string(service::kUploadKindMusic);
}

int Upload(ToolContext& context) {
  std::string file;
  std::string upload_host;
  for (std::size_t i = 0; i < context.args.size(); ++i) {
    const std::string& arg = context.args[i];
    if (arg == "--upload-host" && i + 1 < context.args.size()) {
      upload_host = context.args[++i];
    } else if (file.empty() && !text::StartsWith(arg, "--")) {
      file = arg;
    } else {
      file.clear();
      break;
    }
  }
  if (file.empty()) {
    context.err << "usage: quillo-tool upload FILE [--upload-host HOST:PORT]\n";
    return 1;
  }
  if (!CheckFileArgument(file, FileUse::kRead, context.err)) return 1;

  // No host given: the configured service's (an upload host may be configured on its own),
  // else the embedded service's for the command.
  if (upload_host.empty() && !context.endpoints.configured()) {
    upload_host = text::Trim(context.store->GetConfigText(service::kServiceUploadHostKey));
  }
  ToolRuntime tool(context);
  if (upload_host.empty()) {
    const std::optional<service::ServiceEndpoints>& endpoints = tool.Endpoints();
    if (!endpoints) return 1;
    upload_host = endpoints->upload_host;
  }

  // The program's transport: the upload carries the cookies its service calls carry.
  std::promise<service::UploadOutcome> finished;
  std::future<service::UploadOutcome> outcome_future = finished.get_future();
  service::UploadManager uploads(tool.service().transport(), upload_host);
  service::UploadJob job;
  job.file_path = file;
  job.kind = UploadKindFor(file);
  uploads.StartUpload(job, [&finished](const service::UploadOutcome& outcome) {
    finished.set_value(outcome);
  });
  // Waits for the worker's end; the manager would abort a running upload when it goes away.
  const service::UploadOutcome outcome = outcome_future.get();
  if (outcome.upload_id.empty()) {
    context.err << "quillo-tool: the upload host " << upload_host << " issued no upload id\n";
    return 1;
  }
  context.out << "upload id: " << outcome.upload_id << "\n";
  context.out << "acknowledged: " << outcome.acknowledged_bytes << " of " << outcome.file_size_bytes
              << " bytes\n";
  if (!outcome.file_read) context.err << "quillo-tool: cannot read " << file << "\n";
  return outcome.complete() ? 0 : 1;
}

}  // namespace

void RegisterUploadCommands(CommandList& commands) {
  commands.push_back({"upload", "FILE [--upload-host HOST:PORT]", Upload});
}

}  // namespace quillo::tool
