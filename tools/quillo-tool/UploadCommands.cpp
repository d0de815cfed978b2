// upload FILE [--upload-host HOST:PORT]: send a file to the upload host as the program does.
#include <chrono>
#include <future>
#include <ostream>

#include "platform/fs/FileSystem.h"
#include "platform/http/CurlHttpTransport.h"
#include "platform/text/TextUtil.h"
#include "service/api/ServiceEndpoints.h"
#include "service/embedded/DefaultService.h"
#include "service/embedded/EmbeddedService.h"
#include "service/embedded/ServiceExecutable.h"
#include "service/upload/UploadManager.h"
#include "store/DocumentStore.h"
#include "tools/quillo-tool/ToolCommand.h"

namespace quillo::tool {
namespace {

constexpr auto kServiceReadyTimeout = std::chrono::minutes(5);

std::string UploadKindFor(const std::string& path) {
  const std::string lower = text::ToLowerAscii(path);
  for (const char* extension : {".lrc", ".mrc", ".txt"}) {
    if (text::EndsWith(lower, extension)) return std::string(service::kUploadKindLyric);
  }
  return std::string(service::kUploadKindMusic);
}

// "host[:port]" of an "http://host[:port]/..." URL.
std::string HostOfUrl(std::string_view url) {
  const std::size_t scheme = url.find("://");
  if (scheme != std::string_view::npos) url.remove_prefix(scheme + 3);
  return std::string(url.substr(0, url.find_first_of("/?#")));
}

// The upload host the data folder is configured for; empty when no service is configured.
std::string ConfiguredUploadHost(const store::DocumentStore& store) {
  const std::string upload_host = text::Trim(store.GetConfigText(service::kServiceUploadHostKey));
  if (!upload_host.empty()) return upload_host;
  const std::string base_url = text::Trim(store.GetConfigText(service::kServiceBaseUrlKey));
  return base_url.empty() ? std::string() : HostOfUrl(base_url);
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
  if (!fs::FileExists(file)) {
    context.err << "quillo-tool: no such file " << file << "\n";
    return 1;
  }

  if (upload_host.empty()) upload_host = ConfiguredUploadHost(*context.store);
  // No service configured: the embedded one serves for the duration of the command.
  service::EmbeddedService embedded;
  if (upload_host.empty()) {
    service::EmbeddedServiceOptions options;
    options.executable = service::FindServiceExecutable(fs::ProgramFolder());
    options.data_folder = service::EmbeddedServiceDataFolder(context.store->data_folder());
    if (options.executable.empty() || !embedded.Start(options)) {
      context.err << "quillo-tool: no service configured and the embedded service cannot start"
                  << (embedded.error().empty() ? "" : ": " + embedded.error()) << "\n";
      return 1;
    }
    const auto endpoints = embedded.WaitForEndpoints(kServiceReadyTimeout);
    if (!endpoints) {
      context.err << "quillo-tool: the embedded service did not get ready: " << embedded.error()
                  << "\n";
      return 1;
    }
    upload_host = endpoints->upload_host;
  }

  http::CurlHttpTransport transport{/*cookie_jar_path=*/std::string()};
  std::promise<service::UploadOutcome> finished;
  std::future<service::UploadOutcome> outcome_future = finished.get_future();
  service::UploadManager uploads(transport, upload_host);
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
