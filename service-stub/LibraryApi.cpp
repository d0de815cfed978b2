#include <cctype>
#include <set>

#include "platform/text/TextCodec.h"
#include "platform/text/TextUtil.h"
#include "service-stub/Answers.h"
#include "service-stub/ApiHandlers.h"
#include "service-stub/Session.h"

namespace quillo::stub {

namespace api {

bool IsPlaylistId(const std::string& text) {
  if (text.size() != 32) return false;
  for (const char c : text) {
    if (!std::isxdigit(static_cast<unsigned char>(c))) return false;
  }
  return true;
}

std::vector<std::string> MusicIds(const Call& call) {
  auto ids = call.ParamAll("musicId[]");
  for (auto& id : call.ParamAll("musicId")) ids.push_back(id);
  return ids;
}

}  // namespace api

namespace {

constexpr std::size_t kMaxSongsPerCall = 2000;
constexpr std::size_t kMaxNameCodePoints = 100;
constexpr char kDefaultPlaylistName[] = "新建播放列表";

// The logged-in user, or the error answer for a call without a session.
struct Caller {
  std::string user_id;
  std::optional<Reply> refusal;
};

Caller RequireUser(ServiceContext& context, const Call& call) {
  const auto session = SessionOf(context, call);
  if (!session) return {std::string(), ErrorResult(401, "请先登录")};
  return {session->user_id, std::nullopt};
}

// The catalogue's songs among the ids, each once, in order; the error answer when the call
// names none or none is known.
struct SongList {
  std::vector<std::string> ids;
  std::optional<Reply> refusal;
};

SongList KnownSongs(ServiceContext& context, const Call& call, bool required) {
  const auto requested = api::MusicIds(call);
  if (requested.size() > kMaxSongsPerCall) return {{}, ErrorResult(413, "歌曲太多")};
  if (requested.empty()) {
    if (required) return {{}, ErrorResult(400, "缺少参数 musicId[]")};
    return {};
  }
  SongList list;
  std::set<std::string> seen;
  for (const auto& id : requested) {
    if (context.catalogue.FindSong(id) && seen.insert(id).second) list.ids.push_back(id);
  }
  if (list.ids.empty()) list.refusal = ErrorResult(404, "歌曲不存在");
  return list;
}

// A playlist name: trimmed, valid UTF-8, not empty and not too long.
std::optional<std::string> CleanName(const std::string& raw) {
  const std::string name = text::Trim(text::SanitizeUtf8(raw));
  if (name.empty() || text::CodePointCount(name) > kMaxNameCodePoints) return std::nullopt;
  return name;
}

Reply FromOutcome(Outcome outcome, int count = -1) {
  switch (outcome) {
    case Outcome::kOk: return OkResult(count);
    case Outcome::kNotFound: return ErrorResult(404, "播放列表不存在");
    case Outcome::kForbidden: return ErrorResult(403, "无权修改该播放列表");
    default: return ErrorResult(500, "服务器忙，请稍后再试");
  }
}

// "api/addmusic.php?type=xml": the songs as a list document (not scrambled); for a logged-in
// user the songs also go into the library and, when the call names one, a playlist.
Reply AddMusicAnswer(ServiceContext& context, const Call& call) {
  auto songs = KnownSongs(context, call, true);
  if (songs.refusal && songs.refusal->status != 404) return *songs.refusal;
  const std::string list_id = call.ParamOr("id");
  const std::string list_name = text::SanitizeUtf8(call.ParamOr("name"));
  if (!list_id.empty() && !api::IsPlaylistId(list_id)) return ErrorResult(400, "播放列表编号错误");
  if (const auto session = SessionOf(context, call); session && !songs.ids.empty()) {
    context.users.AddToLibrary(session->user_id, songs.ids);
    if (!list_id.empty()) {
      const auto name = CleanName(list_name);
      context.users.AddToPlaylist(session->user_id, list_id, songs.ids, true,
                                  name ? *name : kDefaultPlaylistName);
    }
  }
  return DocumentReply(ListDocument(context.catalogue, list_id, list_name, songs.ids), false);
}

Reply AddMusic(ServiceContext& context, const Call& call) {
  if (text::ToLowerAscii(call.query().GetOr("type", "")) == "xml") return AddMusicAnswer(context, call);
  auto caller = RequireUser(context, call);
  if (caller.refusal) return *caller.refusal;
  auto songs = KnownSongs(context, call, true);
  if (songs.refusal) return *songs.refusal;
  return OkResult(context.users.AddToLibrary(caller.user_id, songs.ids));
}

Reply DeleteMusic(ServiceContext& context, const Call& call) {
  auto caller = RequireUser(context, call);
  if (caller.refusal) return *caller.refusal;
  const auto ids = api::MusicIds(call);
  if (ids.empty()) return ErrorResult(400, "缺少参数 musicId[]");
  if (ids.size() > kMaxSongsPerCall) return ErrorResult(413, "歌曲太多");
  return OkResult(context.users.RemoveFromLibrary(caller.user_id, ids));
}

// "api/createplaylist.php" (with or without force=1, with or without songs). Creating an id
// the user already has renames it and appends the songs, so a repeated call does no harm.
Reply CreatePlaylist(ServiceContext& context, const Call& call) {
  auto caller = RequireUser(context, call);
  if (caller.refusal) return *caller.refusal;
  const std::string id = call.ParamOr("id");
  if (!api::IsPlaylistId(id)) return ErrorResult(400, "播放列表编号错误");
  const auto name = CleanName(call.ParamOr("name"));
  if (!name) return ErrorResult(400, "播放列表名称错误");
  auto songs = KnownSongs(context, call, false);
  if (songs.refusal && songs.refusal->status != 404) return *songs.refusal;
  return FromOutcome(context.users.CreatePlaylist(caller.user_id, id, *name, songs.ids),
                     static_cast<int>(songs.ids.size()));
}

Reply UpdatePlaylist(ServiceContext& context, const Call& call) {
  auto caller = RequireUser(context, call);
  if (caller.refusal) return *caller.refusal;
  const std::string id = call.ParamOr("playlistId");
  if (!api::IsPlaylistId(id)) return ErrorResult(400, "播放列表编号错误");
  const auto name = CleanName(call.ParamOr("name"));
  if (!name) return ErrorResult(400, "播放列表名称错误");
  return FromOutcome(context.users.RenamePlaylist(caller.user_id, id, *name));
}

Reply DeletePlaylist(ServiceContext& context, const Call& call) {
  auto caller = RequireUser(context, call);
  if (caller.refusal) return *caller.refusal;
  const std::string id = call.ParamOr("playlistId");
  if (!api::IsPlaylistId(id)) return ErrorResult(400, "播放列表编号错误");
  return FromOutcome(context.users.DeletePlaylist(caller.user_id, id));
}

Reply ClearPlaylist(ServiceContext& context, const Call& call) {
  auto caller = RequireUser(context, call);
  if (caller.refusal) return *caller.refusal;
  if (call.ParamOr("client_id").empty()) return ErrorResult(400, "缺少参数 client_id");
  const std::string id = call.ParamOr("id");
  if (!api::IsPlaylistId(id)) return ErrorResult(400, "播放列表编号错误");
  return FromOutcome(context.users.ClearPlaylist(caller.user_id, id));
}

// The name of a playlist that adding songs creates: the request's name, else the chart's name
// when the id is one a chart page handed out, else the default.
std::string NameIfCreated(ServiceContext& context, const Call& call, const std::string& id) {
  if (const auto name = CleanName(call.ParamOr("name"))) return *name;
  for (const auto& chart : context.catalogue.charts()) {
    if (ChartListId(chart.id) == id) return chart.name;
  }
  return kDefaultPlaylistName;
}

// An empty playlistId names the user's library (songs dropped on the library row).
Reply AddToPlaylist(ServiceContext& context, const Call& call) {
  auto caller = RequireUser(context, call);
  if (caller.refusal) return *caller.refusal;
  if (!call.Param("playlistId")) return ErrorResult(400, "缺少参数 playlistId");
  const std::string id = call.ParamOr("playlistId");
  auto songs = KnownSongs(context, call, true);
  if (songs.refusal) return *songs.refusal;
  if (id.empty()) return OkResult(context.users.AddToLibrary(caller.user_id, songs.ids));
  if (!api::IsPlaylistId(id)) return ErrorResult(400, "播放列表编号错误");
  // force=1 creates a playlist the service does not know yet.
  const bool force = call.query().GetOr("force", "") == "1";
  return FromOutcome(context.users.AddToPlaylist(caller.user_id, id, songs.ids, force,
                                                 NameIfCreated(context, call, id)),
                     static_cast<int>(songs.ids.size()));
}

Reply RemoveFromPlaylist(ServiceContext& context, const Call& call) {
  auto caller = RequireUser(context, call);
  if (caller.refusal) return *caller.refusal;
  if (!call.Param("playlistId")) return ErrorResult(400, "缺少参数 playlistId");
  const std::string id = call.ParamOr("playlistId");
  const auto ids = api::MusicIds(call);
  if (ids.empty()) return ErrorResult(400, "缺少参数 musicId[]");
  if (ids.size() > kMaxSongsPerCall) return ErrorResult(413, "歌曲太多");
  if (id.empty()) return OkResult(context.users.RemoveFromLibrary(caller.user_id, ids));
  if (!api::IsPlaylistId(id)) return ErrorResult(400, "播放列表编号错误");
  return FromOutcome(context.users.RemoveFromPlaylist(caller.user_id, id, ids));
}

}  // namespace

void RegisterLibraryApi(Router& router) {
  router.Add("POST", "/api/addmusic.php", AddMusic);
  router.Add("POST", "/api/deletemusic.php", DeleteMusic);
  router.Add("POST", "/api/createplaylist.php", CreatePlaylist);
  router.Add("POST", "/api/updateplaylist.php", UpdatePlaylist);
  router.Add("POST", "/api/deleteplaylist.php", DeletePlaylist);
  router.Add("POST", "/api/clearplaylist.php", ClearPlaylist);
  router.Add("POST", "/api/addmusictoplaylist.php", AddToPlaylist);
  router.Add("POST", "/api/deletemusicfromplaylist.php", RemoveFromPlaylist);
}

}  // namespace quillo::stub
