#include "service-stub/ControlHandlers.h"

#include <cstdlib>

#include "platform/fs/FileSystem.h"
#include "service-stub/JsonWriter.h"

namespace quillo::stub {
namespace {

JsonAnswer Failure(int status, const std::string& reason) {
  JsonWriter json;
  json.BeginObject().Field("ok", false).Field("error", reason).EndObject();
  return {status, json.text()};
}

const char* LyricName(LyricEncoding encoding) {
  switch (encoding) {
    case LyricEncoding::kNone: return "none";
    case LyricEncoding::kUtf8Bom: return "utf8-bom";
    case LyricEncoding::kGbk: return "gbk";
    default: return "utf8";
  }
}

const char* MirrorName(MirrorKind kind) {
  switch (kind) {
    case MirrorKind::kQlfssPair: return "qlfss-pair";
    case MirrorKind::kHttpThenQlfss: return "http-then-qlfss";
    case MirrorKind::kMixed: return "mixed";
    default: return "none";
  }
}

void WriteSong(JsonWriter& json, const ServiceContext& context, const CatalogueSong& song) {
  const Catalogue& catalogue = context.catalogue;
  const CatalogueArtist* artist = catalogue.FindArtist(song.artist_id);
  const CatalogueAlbum* album = catalogue.FindAlbum(song.album_id);
  json.BeginObject()
      .Field("id", song.id)
      .Field("name", song.name)
      .Field("artist_id", song.artist_id)
      .Field("artist_name", artist ? artist->name : "")
      .Field("album_id", song.album_id)
      .Field("album_name", album ? album->name : "")
      .Field("album_seq", song.album_seq)
      .Field("format", song.format == AudioFormat::kWma ? "wma" : "mp3")
      .Field("size", static_cast<std::int64_t>(context.songs.RenderedSize(song).value_or(0)))
      .Field("duration_ms", song.score.duration_ms)
      .Field("group_id", song.group_id)
      .Field("lyric", LyricName(song.lyric))
      .Field("lyric_offset_ms", song.lyric_offset_ms)
      .Field("lyric_headers", song.lyric_headers || song.lyric == LyricEncoding::kGbk)
      .Field("karaoke", song.karaoke)
      .Field("mirror", MirrorName(song.mirror))
      .Field("audio_file", context.catalogue_folder + Catalogue::AudioFile(song))
      .Field("lyric_file", song.lyric == LyricEncoding::kNone
                               ? std::string()
                               : context.catalogue_folder + Catalogue::LyricFile(song))
      .Field("karaoke_file", song.karaoke ? context.catalogue_folder + Catalogue::KaraokeFile(song)
                                          : std::string());
  // When each sung line starts in the music (before any lyric offset is applied).
  json.Key("lines").BeginArray();
  for (std::size_t i = 0; i < song.score.phrases.size() && i < song.lines.size(); ++i) {
    const auto& phrase = song.score.phrases[i];
    if (!phrase.sung || phrase.notes.empty()) continue;
    json.BeginArray().Int(phrase.notes.front().start_ms).String(song.lines[i]).EndArray();
  }
  json.EndArray().EndObject();
}

// Renders every song not rendered yet first: the answer promises files and sizes.
JsonAnswer CatalogueJson(ServiceContext& context) {
  const Catalogue& catalogue = context.catalogue;
  std::string error;
  if (!context.songs.RenderAll(2, &error)) return Failure(500, "cannot render the songs: " + error);
  JsonWriter json;
  json.BeginObject().Field("ok", true).Field("base_url", context.base_url);
  json.Key("songs").BeginArray();
  for (const auto& song : catalogue.songs()) WriteSong(json, context, song);
  json.EndArray().Key("artists").BeginArray();
  for (const auto& artist : catalogue.artists()) {
    json.BeginObject().Field("id", artist.id).Field("name", artist.name).Field("group_id", artist.group_id).EndObject();
  }
  json.EndArray().Key("albums").BeginArray();
  for (const auto& album : catalogue.albums()) {
    json.BeginObject().Field("id", album.id).Field("name", album.name).Field("artist_id", album.artist_id).EndObject();
  }
  json.EndArray().Key("charts").BeginArray();
  for (const auto& chart : catalogue.charts()) {
    json.BeginObject().Field("id", chart.id).Field("name", chart.name).Key("songs").BeginArray();
    for (const auto& id : chart.song_ids) json.String(id);
    json.EndArray().EndObject();
  }
  json.EndArray().Key("groups").BeginArray();
  for (const auto& group : catalogue.groups()) {
    json.BeginObject().Field("id", group.id).Field("name", group.name)
        .Field("songs", static_cast<int>(catalogue.SongsInGroup(group.id).size())).EndObject();
  }
  json.EndArray().EndObject();
  return {200, json.text()};
}

JsonAnswer UserJson(ServiceContext& context, const Call& call) {
  const auto user = context.users.FindUserByName(call.ParamOr("name"));
  if (!user) return Failure(404, "no such user");
  JsonWriter json;
  json.BeginObject().Field("ok", true).Key("user").BeginObject()
      .Field("id", user->id).Field("name", user->name).Field("gender", user->gender).EndObject();
  json.Key("library").BeginArray();
  for (const auto& id : context.users.Library(user->id)) json.String(id);
  json.EndArray().Key("playlists").BeginArray();
  for (const auto& playlist : context.users.Playlists(user->id)) {
    json.BeginObject().Field("id", playlist.id).Field("name", playlist.name).Key("songs").BeginArray();
    for (const auto& id : playlist.songs) json.String(id);
    json.EndArray().EndObject();
  }
  json.EndArray().EndObject();
  return {200, json.text()};
}

JsonAnswer ReportsJson(ServiceContext& context) {
  JsonWriter json;
  json.BeginObject().Field("ok", true).Key("reports").BeginArray();
  for (const auto& row : context.users.Reports(200)) {
    json.BeginObject().Field("kind", row.kind);
    for (const auto& [name, value] : row.fields) json.Field(name, value);
    json.EndObject();
  }
  json.EndArray().EndObject();
  return {200, json.text()};
}

// Control parameters: the form's when it has any, else the query's.
const Params& ControlParams(const Call& call) {
  return call.form().empty() ? call.query() : call.form();
}

}  // namespace

JsonAnswer HandleControl(ServiceContext& context, const Call& call) {
  const Params& params = ControlParams(call);
  const std::string action = params.GetOr("action", "");
  JsonWriter json;
  if (action == "add_rule") {
    std::string error;
    const auto id = context.faults.Add(params, &error);
    if (!id) return Failure(400, error);
    json.BeginObject().Field("ok", true).Field("id", *id).EndObject();
  } else if (action == "clear_rules") {
    const int removed = context.faults.Clear(params.GetOr("id", ""));
    json.BeginObject().Field("ok", true).Field("removed", removed).EndObject();
  } else if (action == "rules") {
    json.BeginObject().Field("ok", true).Key("rules");
    context.faults.WriteJson(json);
    json.EndObject();
  } else if (action == "clear_log") {
    context.log.Clear();
    json.BeginObject().Field("ok", true).EndObject();
  } else if (action == "catalogue") {
    return CatalogueJson(context);
  } else if (action == "user") {
    return UserJson(context, call);
  } else if (action == "reports") {
    return ReportsJson(context);
  } else if (action == "update_package") {
    const std::string file = params.GetOr("file", "");
    if (!file.empty() && !fs::FileExists(file)) return Failure(400, "no such file");
    context.update.Set(file, params.GetOr("version", "1.3.2"));
    json.BeginObject().Field("ok", true).EndObject();
  } else {
    return Failure(400, "unknown action");
  }
  return {200, json.text()};
}

JsonAnswer HandleLog(ServiceContext& context, const Call& call) {
  const std::string since = ControlParams(call).GetOr("since", "0");
  return {200, context.log.ToJson(std::strtoll(since.c_str(), nullptr, 10))};
}

}  // namespace quillo::stub
