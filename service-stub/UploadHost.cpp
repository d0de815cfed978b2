#include "service-stub/UploadHost.h"

#include <cstdio>
#include <filesystem>
#include <mutex>

#include "platform/fs/FileSystem.h"
#include "service-stub/UserStore.h"

namespace quillo::stub {
namespace {

constexpr std::int64_t kMaxUploadBytes = 200LL * 1024 * 1024;

// Chunks of one upload must not interleave; uploads are rare, one lock serves them all.
std::mutex& UploadMutex() {
  static std::mutex mutex;
  return mutex;
}

Reply Answer(int status, const std::string& text) {
  Reply reply;
  reply.status = status;
  reply.body = text;
  return reply;
}

bool IsUploadId(const std::string& id) {
  if (id.empty() || id.size() > 64) return false;
  return id.find_first_not_of("0123456789ABCDEFabcdef") == std::string::npos;
}

std::string PartPath(const ServiceContext& context, const std::string& id) {
  return context.uploads_folder + id + ".part";
}

Reply Start(ServiceContext& context) {
  const std::string id = RandomHex32();
  if (!fs::WriteFile(PartPath(context, id), std::string()) || !context.users.CreateUpload(id)) {
    return Answer(500, "{error:'cannot start'}");
  }
  return Answer(200, "{id:'" + id + "'}");
}

Reply Send(ServiceContext& context, const Call& call, const std::string& id) {
  const std::string seek_text = call.query().GetOr("seek", "");
  if (seek_text.empty() || seek_text.size() > 15 ||
      seek_text.find_first_not_of("0123456789") != std::string::npos) {
    return Answer(400, "{error:'bad seek'}");
  }
  const std::int64_t seek = std::stoll(seek_text);
  std::lock_guard lock(UploadMutex());
  const auto held = context.users.UploadLength(id);
  if (!held) return Answer(404, "{error:'unknown upload'}");
  auto answer = [&](std::int64_t length) {
    return Answer(200, "{id:'" + id + "',file_length:" + std::to_string(length) + "}");
  };
  if (seek > *held) return answer(*held);
  const auto& body = call.body();
  if (seek + static_cast<std::int64_t>(body.size()) > kMaxUploadBytes) {
    return Answer(413, "{error:'too large',file_length:" + std::to_string(*held) + "}");
  }
  const std::string path = PartPath(context, id);
  std::error_code error;
  std::filesystem::resize_file(path, static_cast<std::uintmax_t>(seek), error);
  std::FILE* file = error ? nullptr : std::fopen(path.c_str(), "ab");
  bool written = file != nullptr;
  if (file) {
    written = std::fwrite(body.data(), 1, body.size(), file) == body.size();
    written = std::fclose(file) == 0 && written;
  }
  const auto size = fs::FileSize(path);
  const std::int64_t now_held = size ? static_cast<std::int64_t>(*size) : seek;
  context.users.SetUploadLength(id, now_held);
  if (!written) return Answer(500, "{error:'cannot store',file_length:" + std::to_string(now_held) + "}");
  return answer(now_held);
}

Reply Handle(ServiceContext& context, const Call& call) {
  const std::string action = call.query().GetOr("action", "");
  if (action == "start") return Start(context);
  const std::string id = call.query().GetOr("id", "");
  if (action != "send" && action != "end" && action != "stop") return Answer(400, "{error:'unknown action'}");
  if (!IsUploadId(id)) return Answer(400, "{error:'bad id'}");
  if (action == "send") {
    if (call.method() != "POST") return Answer(405, "{error:'send needs POST'}");
    return Send(context, call, id);
  }
  std::lock_guard lock(UploadMutex());
  const auto held = context.users.UploadLength(id);
  if (!held) return Answer(404, "{error:'unknown upload'}");
  if (action == "end") {
    context.users.SetUploadState(id, "done");
    return Answer(200, "{id:'" + id + "',file_length:" + std::to_string(*held) + ",state:'done'}");
  }
  context.users.SetUploadState(id, "stopped");
  fs::RemoveFile(PartPath(context, id));
  return Answer(200, "{id:'" + id + "',state:'stopped'}");
}

// The service's upload page (another origin) reads these answers from its script.
Reply Upload(ServiceContext& context, const Call& call) {
  Reply reply = Handle(context, call);
  std::string origin = context.base_url;
  if (!origin.empty() && origin.back() == '/') origin.pop_back();
  if (!origin.empty()) reply.SetHeader("Access-Control-Allow-Origin", origin);
  return reply;
}

}  // namespace

void RegisterUploadHost(Router& router) { router.Add("*", "/api/upload.php", Upload); }

}  // namespace quillo::stub
