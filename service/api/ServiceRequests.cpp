#include "service/api/ServiceRequests.h"

#include "service/api/UrlEncoding.h"
#include "store/DocumentStore.h"
#include "store/SafeNames.h"

namespace quillo::service {
namespace {

void AddMusicIds(FormParams& params, const std::vector<std::string>& music_ids) {
  for (const std::string& id : music_ids) params.emplace_back("musicId[]", id);
}

ServiceCall Call(std::string path, FormParams params = {}) {
  return ServiceCall{std::move(path), std::move(params)};
}

std::string Text(std::string_view view) {
  return std::string(view);
}

}  // namespace

bool ServiceRequests::IsServicePlaylistId(std::string_view playlist_id) {
  return store::IsHexId32(playlist_id);
}

std::string ServiceRequests::NewPlaylistId() {
  return store::DocumentStore::NewIdText();
}

ServiceCall ServiceRequests::Login(std::string_view user_name, std::string_view password) {
  return Call("api/login.php?ie=utf8", {{"name", Text(user_name)}, {"encode", Text(password)}});
}

ServiceCall ServiceRequests::AutoLogin() {
  return Call("api/autologin.php");
}

ServiceCall ServiceRequests::AutoLoginWithKey(std::string_view key) {
  return Call("api/autologin.php?ukey=" + UrlEncode(key));
}

ServiceCall ServiceRequests::Logout() {
  return Call("user/logout.php");
}

ServiceCall ServiceRequests::AddMusic(const std::vector<std::string>& music_ids) {
  ServiceCall call = Call("api/addmusic.php");
  AddMusicIds(call.params, music_ids);
  return call;
}

ServiceCall ServiceRequests::DeleteMusic(const std::vector<std::string>& music_ids) {
  ServiceCall call = Call("api/deletemusic.php");
  AddMusicIds(call.params, music_ids);
  return call;
}

std::optional<ServiceCall> ServiceRequests::AddMusicToPlaylist(
    std::string_view playlist_id, const std::vector<std::string>& music_ids) {
  if (!IsServicePlaylistId(playlist_id)) return std::nullopt;
  ServiceCall call =
      Call("api/addmusictoplaylist.php?force=1", {{"playlistId", Text(playlist_id)}});
  AddMusicIds(call.params, music_ids);
  return call;
}

std::optional<ServiceCall> ServiceRequests::DeleteMusicFromPlaylist(
    std::string_view playlist_id, const std::vector<std::string>& music_ids) {
  if (!IsServicePlaylistId(playlist_id)) return std::nullopt;
  ServiceCall call = Call("api/deletemusicfromplaylist.php", {{"playlistId", Text(playlist_id)}});
  AddMusicIds(call.params, music_ids);
  return call;
}

std::optional<ServiceCall> ServiceRequests::CreatePlaylist(std::string_view name,
                                                           std::string_view new_playlist_id) {
  if (!IsServicePlaylistId(new_playlist_id)) return std::nullopt;
  return Call("api/createplaylist.php", {{"name", Text(name)}, {"id", Text(new_playlist_id)}});
}

std::optional<ServiceCall> ServiceRequests::CreatePlaylistWithMusic(
    std::string_view name, std::string_view new_playlist_id,
    const std::vector<std::string>& music_ids) {
  if (!IsServicePlaylistId(new_playlist_id)) return std::nullopt;
  ServiceCall call =
      Call("api/createplaylist.php?force=1", {{"name", Text(name)}, {"id", Text(new_playlist_id)}});
  AddMusicIds(call.params, music_ids);
  return call;
}

std::optional<ServiceCall> ServiceRequests::RenamePlaylist(std::string_view playlist_id,
                                                           std::string_view new_name) {
  if (!IsServicePlaylistId(playlist_id)) return std::nullopt;
  return Call("api/updateplaylist.php",
              {{"playlistId", Text(playlist_id)}, {"name", Text(new_name)}});
}

std::optional<ServiceCall> ServiceRequests::DeletePlaylist(std::string_view playlist_id) {
  if (!IsServicePlaylistId(playlist_id)) return std::nullopt;
  return Call("api/deleteplaylist.php", {{"playlistId", Text(playlist_id)}});
}

std::optional<ServiceCall> ServiceRequests::ClearPlaylist(std::string_view playlist_id) const {
  if (!IsServicePlaylistId(playlist_id)) return std::nullopt;
  return Call("api/clearplaylist.php?client_id=" + UrlEncode(client_id_) +
              "&id=" + UrlEncode(playlist_id));
}

ServiceCall ServiceRequests::AddLinkMusic(const std::vector<std::string>& music_ids,
                                          const std::optional<LinkedPlaylist>& playlist) {
  ServiceCall call = Call("api/addmusic.php?type=xml");
  AddMusicIds(call.params, music_ids);
  if (playlist) {
    call.params.emplace_back("id", playlist->id);
    call.params.emplace_back("name", playlist->name);
  }
  return call;
}

std::optional<ServiceCall> ServiceRequests::CreateLinkedPlaylist(
    const LinkedPlaylist& playlist, const std::vector<std::string>& music_ids) {
  if (!IsServicePlaylistId(playlist.id)) return std::nullopt;
  ServiceCall call = Call("api/createplaylist.php");
  AddMusicIds(call.params, music_ids);
  call.params.emplace_back("id", playlist.id);
  call.params.emplace_back("name", playlist.name);
  return call;
}

std::optional<ServiceCall> ServiceRequests::AddLinkedMusicToPlaylist(
    std::string_view playlist_id, const std::vector<std::string>& music_ids) {
  if (!IsServicePlaylistId(playlist_id)) return std::nullopt;
  ServiceCall call = Call("api/addmusictoplaylist.php");
  AddMusicIds(call.params, music_ids);
  call.params.emplace_back("playlistId", Text(playlist_id));
  return call;
}

std::optional<ServiceCall> ServiceRequests::AddDroppedMusic(
    std::string_view playlist_id, const std::vector<std::string>& music_ids) {
  if (!playlist_id.empty() && !IsServicePlaylistId(playlist_id)) return std::nullopt;
  ServiceCall call =
      Call("api/addmusictoplaylist.php?force=1", {{"playlistId", Text(playlist_id)}});
  AddMusicIds(call.params, music_ids);
  return call;
}

ServiceCall ServiceRequests::ChartList(std::string_view chart_number) const {
  return Call("api/getplaylist.php?client_id=" + UrlEncode(client_id_) +
              "&id=" + UrlEncode(chart_number));
}

ServiceCall ServiceRequests::RandomList(std::string_view group_id) const {
  std::string path = "api/randommusic.php?type=xml&client_id=" + UrlEncode(client_id_);
  if (!group_id.empty()) path += "&group_id=" + UrlEncode(group_id);
  return Call(std::move(path));
}

ServiceCall ServiceRequests::LyricErrorReport(std::string_view music_id, int error_type,
                                              std::string_view comment, std::string_view user_id) {
  return Call("api/updatelyricerrortype.php",
              {{"musicId", Text(music_id)},
               {"lyric_error_type", std::to_string(static_cast<long long>(error_type) + 1)},
               {"comment", Text(comment)},
               {"userId", user_id.empty() ? std::string("0") : Text(user_id)}});
}

ServiceCall ServiceRequests::PlaybackEvent(std::string_view type, std::string_view ext_id,
                                           std::string_view ext_value,
                                           std::string_view detail) const {
  return Call("api/event.php", {{"client_id", client_id_},
                                {"type", Text(type)},
                                {"ext_id", Text(ext_id)},
                                {"ext_value", Text(ext_value)},
                                {"event_detail", Text(detail)}});
}

ServiceCall ServiceRequests::UsageReport(std::string_view content) const {
  return Call("api/uploadreport.php", {{"clientid", client_id_}, {"content", Text(content)}});
}

}  // namespace quillo::service
