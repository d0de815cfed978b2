#include "service-stub/FileHandlers.h"

#include <cstdlib>

#include "platform/fs/FileSystem.h"
#include "platform/text/TextUtil.h"
#include "service-stub/Answers.h"
#include "service-stub/PictureMaker.h"

namespace quillo::stub {
namespace {

std::string AudioType(const CatalogueSong& song) {
  return song.format == AudioFormat::kWma ? "audio/x-ms-wma" : "audio/mpeg";
}

// The range logic for any body of `total` bytes: sets status, Content-Range and the slice.
void ApplyRange(const Call& call, std::uint64_t total, Reply& reply, std::uint64_t* offset,
                std::uint64_t* length) {
  reply.SetHeader("Accept-Ranges", "bytes");
  *offset = 0;
  *length = total;
  if (!call.http().has_header("Range")) return;
  bool unsatisfiable = false;
  const auto range = ParseRange(call.Header("Range"), total, &unsatisfiable);
  if (unsatisfiable) {
    reply.status = 416;
    reply.SetHeader("Content-Range", "bytes */" + std::to_string(total));
    *length = 0;
    return;
  }
  if (!range) return;
  reply.status = 206;
  reply.SetHeader("Content-Range", "bytes " + std::to_string(range->first) + "-" +
                                       std::to_string(range->last) + "/" + std::to_string(total));
  *offset = range->first;
  *length = range->last - range->first + 1;
}

Reply FileReply(const Call& call, const std::string& path, const std::string& content_type) {
  const auto size = fs::FileSize(path);
  if (!size) return ErrorPage(404, "文件不存在");
  Reply reply;
  reply.content_type = content_type;
  std::uint64_t offset = 0, length = 0;
  ApplyRange(call, *size, reply, &offset, &length);
  if (length == 0) return reply;
  reply.file_path = path;
  reply.file_offset = offset;
  reply.file_length = length;
  return reply;
}

Reply TextReply(const Call& call, std::string bytes, const std::string& content_type) {
  Reply reply;
  reply.content_type = content_type;
  std::uint64_t offset = 0, length = 0;
  ApplyRange(call, bytes.size(), reply, &offset, &length);
  reply.body = bytes.substr(static_cast<std::size_t>(offset), static_cast<std::size_t>(length));
  return reply;
}

const CatalogueSong* SongParam(ServiceContext& context, const Call& call) {
  return context.catalogue.FindSong(call.ParamOr("id"));
}

// The song's whole audio file, rendered first when this is its first fetch; the answer when
// rendering failed. Either way nothing of the song is sent before its file is whole.
Reply AudioReply(ServiceContext& context, const Call& call, const CatalogueSong& song,
                 const std::string& content_type) {
  std::string error;
  const auto path = context.songs.Ensure(song, &error);
  if (!path) return ErrorPage(500, "歌曲文件生成失败: " + error);
  return FileReply(call, *path, content_type);
}

// "music/download.php?id=..&type=download&client_id=..": the file, or for mirrored songs the
// scrambled mirror list marked by the "SorvelList" header.
Reply Download(ServiceContext& context, const Call& call) {
  if (call.ParamOr("id").empty()) return ErrorPage(400, "缺少参数 id");
  if (call.ParamOr("type") != "download") return ErrorPage(400, "参数 type 应为 download");
  const CatalogueSong* song = SongParam(context, call);
  if (!song) return ErrorPage(404, "歌曲不存在");
  if (song->mirror != MirrorKind::kNone) {
    Reply reply;
    reply.body = MirrorListText(context.base_url, *song);
    reply.scramble = true;
    reply.SetHeader("SorvelList", "1");
    return reply;
  }
  return AudioReply(context, call, *song, AudioType(*song));
}

Reply Stream(ServiceContext& context, const Call& call) {
  if (call.ParamOr("id").empty()) return ErrorPage(400, "缺少参数 id");
  const CatalogueSong* song = SongParam(context, call);
  if (!song) return ErrorPage(404, "歌曲不存在");
  return AudioReply(context, call, *song, AudioType(*song));
}

// "/mirror/<id>.<ext>": a plain mirror.
Reply PlainMirror(ServiceContext& context, const Call& call) {
  const std::string name = call.path().substr(std::string("/mirror/").size());
  const std::size_t dot = name.rfind('.');
  const CatalogueSong* song = dot == std::string::npos ? nullptr
                                                       : context.catalogue.FindSong(name.substr(0, dot));
  if (!song || name != song->id + (song->format == AudioFormat::kWma ? ".wma" : ".mp3")) {
    return ErrorPage(404, "文件不存在");
  }
  return AudioReply(context, call, *song, AudioType(*song));
}

// "/qlfss/<node>/<id>.1" (MP3) or ".2" (WMA): the file with every byte XORed with 0x5A.
Reply QlfssMirror(ServiceContext& context, const Call& call) {
  const std::string rest = call.path().substr(std::string("/qlfss/").size());
  const std::size_t slash = rest.find('/');
  if (slash == std::string::npos) return ErrorPage(404, "文件不存在");
  const std::string name = rest.substr(slash + 1);
  const std::size_t dot = name.rfind('.');
  const CatalogueSong* song = dot == std::string::npos ? nullptr
                                                       : context.catalogue.FindSong(name.substr(0, dot));
  const std::string wanted = song && song->format == AudioFormat::kWma ? ".2" : ".1";
  if (!song || name.substr(dot) != wanted) return ErrorPage(404, "文件不存在");
  Reply reply = AudioReply(context, call, *song, "application/octet-stream");
  reply.xor_5a = true;
  return reply;
}

// "music/download_image.php?id=..&type=artist|musicalbum|user&size=64".
Reply Picture(ServiceContext& context, const Call& call) {
  const std::string id = call.ParamOr("id");
  const std::string type = call.ParamOr("type");
  if (id.empty()) return ErrorPage(400, "缺少参数 id");
  const std::string size = call.ParamOr("size", "64");
  if (size.empty() || size.size() > 4 || size.find_first_not_of("0123456789") != std::string::npos) {
    return ErrorPage(400, "参数 size 错误");
  }
  if (type == "artist" && context.catalogue.FindArtist(id)) {
    return FileReply(call, context.catalogue_folder + Catalogue::PictureFile("artist", id), "image/png");
  }
  if (type == "musicalbum" && context.catalogue.FindAlbum(id)) {
    return FileReply(call, context.catalogue_folder + Catalogue::PictureFile("musicalbum", id),
                     "image/png");
  }
  if (type == "user" && context.users.FindUser(id)) {
    return TextReply(call, EncodePng(UserPicture(static_cast<std::uint32_t>(std::strtoul(id.c_str(), nullptr, 10)))),
                     "image/png");
  }
  if (type != "artist" && type != "musicalbum" && type != "user") {
    return ErrorPage(400, "参数 type 错误");
  }
  return ErrorPage(404, "图片不存在");
}

// "music/download_lyric.php?id=..&type=lrc[&checked=1]" or "?name=..&type=lrc"; type=mrc
// gives the scrambled karaoke script of songs that have one.
Reply Lyric(ServiceContext& context, const Call& call) {
  const std::string type = call.ParamOr("type");
  if (type != "lrc" && type != "mrc") return ErrorPage(400, "参数 type 应为 lrc 或 mrc");
  const CatalogueSong* song = nullptr;
  if (call.Param("id")) {
    song = SongParam(context, call);
  } else if (call.Param("name")) {
    song = context.catalogue.FindSongByDisplayName(call.ParamOr("name"));
  } else {
    return ErrorPage(400, "缺少参数 id 或 name");
  }
  if (!song || song->lyric == LyricEncoding::kNone) return ErrorPage(404, "没有找到相应的歌词");
  if (type == "mrc") {
    if (!song->karaoke) return ErrorPage(404, "没有找到相应的歌词");
    return FileReply(call, context.catalogue_folder + Catalogue::KaraokeFile(*song),
                     "application/octet-stream");
  }
  const std::string path = context.catalogue_folder + Catalogue::LyricFile(*song);
  const std::string content_type = song->lyric == LyricEncoding::kGbk ? "text/plain; charset=gbk"
                                                                       : "text/plain; charset=utf-8";
  if (call.ParamOr("checked") != "1") return FileReply(call, path, content_type);
  // The checked copy is the reviewed lyric: the same lines with a review tag at the top.
  auto bytes = fs::ReadWholeFile(path);
  if (!bytes) return ErrorPage(404, "没有找到相应的歌词");
  const std::size_t after_bom = text::StartsWith(*bytes, "\xEF\xBB\xBF") ? 3 : 0;
  bytes->insert(after_bom, song->crlf ? "[re:checked]\r\n" : "[re:checked]\n");
  return TextReply(call, *bytes, content_type);
}

// "api/checkversion.php?version=..": the update package when one is set and the version
// differs from it, otherwise a short answer the client discards.
Reply CheckVersion(ServiceContext& context, const Call& call) {
  const std::string version = call.ParamOr("version");
  if (version.empty()) return ErrorResult(400, "缺少参数 version");
  const auto [path, package_version] = context.update.Get();
  if (!path.empty() && version != package_version) {
    return FileReply(call, path, "application/octet-stream");
  }
  Reply reply;
  reply.body = "latest";
  return reply;
}

}  // namespace

std::optional<ByteRange> ParseRange(const std::string& header, std::uint64_t total,
                                    bool* unsatisfiable) {
  *unsatisfiable = false;
  std::string value = text::ToLowerAscii(text::Trim(header));
  if (!text::StartsWith(value, "bytes=")) return std::nullopt;
  value = text::Trim(value.substr(6));
  if (value.find(',') != std::string::npos) return std::nullopt;
  const std::size_t dash = value.find('-');
  if (dash == std::string::npos || dash == 0) return std::nullopt;  // suffix ranges: whole body
  const std::string first_text = text::Trim(value.substr(0, dash));
  const std::string last_text = text::Trim(value.substr(dash + 1));
  auto digits = [](const std::string& t) {
    return !t.empty() && t.size() <= 18 && t.find_first_not_of("0123456789") == std::string::npos;
  };
  if (!digits(first_text) || (!last_text.empty() && !digits(last_text))) return std::nullopt;
  ByteRange range;
  range.first = std::strtoull(first_text.c_str(), nullptr, 10);
  range.last = last_text.empty() ? total - 1 : std::strtoull(last_text.c_str(), nullptr, 10);
  if (range.first >= total) {
    *unsatisfiable = true;
    return std::nullopt;
  }
  if (range.last < range.first) return std::nullopt;
  if (range.last >= total) range.last = total - 1;
  return range;
}

std::string MirrorListText(const std::string& base_url, const CatalogueSong& song) {
  // base_url is "http://host:port/"; the qlfss1 form replaces the scheme.
  const std::string host = base_url.substr(std::string("http://").size());
  const bool wma = song.format == AudioFormat::kWma;
  const std::string digit = wma ? ".2" : ".1";
  const std::string plain = base_url + "mirror/" + song.id + (wma ? ".wma" : ".mp3");
  const std::string node_a = "qlfss1://" + host + "qlfss/a/" + song.id + digit;
  const std::string node_b = "qlfss1://" + host + "qlfss/b/" + song.id + digit;
  switch (song.mirror) {
    case MirrorKind::kQlfssPair: return node_a + "\n" + node_b + "\n";
    case MirrorKind::kHttpThenQlfss: return plain + "\n" + node_a + "\n";
    case MirrorKind::kMixed:
      // A comment and an unsupported scheme the client drops, padding it trims, and an
      // upper-case scheme it must accept.
      return "# mirrors of " + song.id + "\r\nftp://" + host + "music/" + song.id + ".mp3\r\n  " +
             plain + "  \r\nQLFSS1://" + host + "qlfss/b/" + song.id + digit + "\r\n";
    default: return std::string();
  }
}

void RegisterFileHandlers(Router& router) {
  router.Add("GET", "/music/download.php", Download);
  router.Add("GET", "/music/download_shiting.php", Stream);
  router.Add("GET", "/music/download_image.php", Picture);
  router.Add("GET", "/music/download_lyric.php", Lyric);
  router.Add("*", "/api/checkversion.php", CheckVersion);
  router.AddPrefix("GET", "/mirror/", PlainMirror);
  router.AddPrefix("GET", "/qlfss/", QlfssMirror);
}

}  // namespace quillo::stub
