#include <tinyxml.h>

#include "platform/text/TextCodec.h"
#include "platform/text/TextUtil.h"
#include "service-stub/Answers.h"
#include "service-stub/ApiHandlers.h"
#include "service-stub/Session.h"

namespace quillo::stub {
namespace {

constexpr std::size_t kMaxCommentBytes = 4000;
constexpr std::size_t kMaxFieldBytes = 256;
constexpr std::size_t kMaxReportBytes = 1 << 20;

bool AllDigits(const std::string& text) {
  if (text.empty() || text.size() > 18) return false;
  for (const char c : text) {
    if (c < '0' || c > '9') return false;
  }
  return true;
}

// "api/updatelyricerrortype.php": musicId, lyric_error_type (1..4), comment, userId.
Reply LyricError(ServiceContext& context, const Call& call) {
  const std::string music_id = call.ParamOr("musicId");
  if (music_id.empty()) return ErrorResult(400, "缺少参数 musicId");
  if (!context.catalogue.FindSong(music_id)) return ErrorResult(404, "歌曲不存在");
  const std::string type = call.ParamOr("lyric_error_type");
  if (!AllDigits(type) || std::stoi(type) < 1 || std::stoi(type) > 4) {
    return ErrorResult(400, "参数 lyric_error_type 应为 1 到 4");
  }
  const std::string user_id = call.ParamOr("userId");
  if (!AllDigits(user_id)) return ErrorResult(400, "参数 userId 错误");
  const std::string comment = text::SanitizeUtf8(call.ParamOr("comment"));
  if (comment.size() > kMaxCommentBytes) return ErrorResult(413, "说明太长");
  context.users.RecordLyricError(music_id, std::stoi(type), comment, user_id);
  return OkResult();
}

// "api/event.php": client_id, type (play_music or bad_music), ext_id, ext_value, event_detail.
Reply Event(ServiceContext& context, const Call& call) {
  const std::string client_id = call.ParamOr("client_id");
  if (client_id.empty() || client_id.size() > kMaxFieldBytes) return ErrorResult(400, "缺少参数 client_id");
  const std::string type = call.ParamOr("type");
  if (type != "play_music" && type != "bad_music") return ErrorResult(400, "未知的事件类型");
  const std::string ext_id = call.ParamOr("ext_id");
  const std::string ext_value = call.ParamOr("ext_value");
  const std::string detail = call.ParamOr("event_detail");
  if (ext_id.size() > kMaxFieldBytes || ext_value.size() > kMaxFieldBytes ||
      detail.size() > kMaxCommentBytes) {
    return ErrorResult(413, "参数太长");
  }
  const auto session = SessionOf(context, call);
  context.users.RecordEvent(client_id, type, text::SanitizeUtf8(ext_id), text::SanitizeUtf8(ext_value),
                            text::SanitizeUtf8(detail), session ? session->user_id : "0");
  return OkResult();
}

// "api/uploadreport.php": clientid and content, a <stat> document of click counts.
Reply UsageReport(ServiceContext& context, const Call& call) {
  const std::string client_id = call.ParamOr("clientid");
  if (client_id.empty() || client_id.size() > kMaxFieldBytes) return ErrorResult(400, "缺少参数 clientid");
  const std::string content = call.ParamOr("content");
  if (content.empty()) return ErrorResult(400, "缺少参数 content");
  if (content.size() > kMaxReportBytes) return ErrorResult(413, "统计内容太长");
  TiXmlDocument document;
  document.Parse(content.c_str(), nullptr, TIXML_ENCODING_UTF8);
  const TiXmlElement* root = document.RootElement();
  if (document.Error() || !root || root->ValueStr() != "stat") {
    return ErrorResult(400, "统计内容格式错误");
  }
  context.users.RecordUsageReport(client_id, text::SanitizeUtf8(content));
  return OkResult();
}

}  // namespace

void RegisterReportApi(Router& router) {
  router.Add("POST", "/api/updatelyricerrortype.php", LyricError);
  router.Add("POST", "/api/event.php", Event);
  router.Add("POST", "/api/uploadreport.php", UsageReport);
}

}  // namespace quillo::stub
