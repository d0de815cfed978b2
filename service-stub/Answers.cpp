#include "service-stub/Answers.h"

#include <cctype>

#include "platform/crypto/Crypto.h"
#include "service-stub/HtmlPage.h"

namespace quillo::stub {

XmlElement SongElement(const Catalogue& catalogue, const CatalogueSong& song) {
  XmlElement element("music");
  element.Set("music_id", song.id).Set("music_name", song.name);
  if (const CatalogueAlbum* album = catalogue.FindAlbum(song.album_id)) {
    element.Set("album_id", album->id)
        .Set("album_name", album->name)
        .Set("album_seq", std::to_string(song.album_seq));
  }
  if (const CatalogueArtist* artist = catalogue.FindArtist(song.artist_id)) {
    element.Set("artist_id", artist->id).Set("artist_name", artist->name);
  }
  return element;
}

XmlElement ListDocument(const Catalogue& catalogue, const std::string& pid, const std::string& pname,
                        const std::vector<std::string>& song_ids) {
  XmlElement root("list");
  root.Set("pid", pid).Set("pname", pname);
  for (const auto& id : song_ids) {
    if (const CatalogueSong* song = catalogue.FindSong(id)) root.Append(SongElement(catalogue, *song));
  }
  return root;
}

std::string ChartListId(const std::string& chart_id) {
  std::string id = crypto::Md5Hex("chart:" + chart_id);
  for (char& c : id) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return id;
}

XmlElement LoginAnswer(const Catalogue& catalogue, const UserRecord& user,
                       const SessionRecord& session, const std::string& logo_url,
                       const std::vector<std::string>& library,
                       const std::vector<PlaylistRecord>& playlists) {
  XmlElement root("sorvel");
  root.Child("user")
      .Set("id", user.id)
      .Set("username", user.name)
      .Set("contextKey", session.ukey)
      .Set("logo", logo_url)
      .Set("gender", user.gender);
  XmlElement& folder = root.Child("folders").Child("folder");
  folder.Set("name", "music");
  for (const auto& id : library) {
    if (const CatalogueSong* song = catalogue.FindSong(id)) folder.Append(SongElement(catalogue, *song));
  }
  XmlElement& lists = root.Child("playlists");
  for (const auto& playlist : playlists) {
    XmlElement& element = lists.Child("playlist");
    element.Set("playlistId", playlist.id).Set("playlistName", playlist.name);
    for (const auto& id : playlist.songs) element.Child("item").Set("id", id);
  }
  return root;
}

XmlElement LoginError(const std::string& description) {
  XmlElement root("sorvel");
  root.Child("error").Set("desc", description);
  return root;
}

Reply DocumentReply(const XmlElement& root, bool scrambled) {
  Reply reply;
  reply.body = root.PrintDocument();
  reply.content_type = "text/xml; charset=utf-8";
  reply.is_document = true;
  reply.scramble = scrambled;
  return reply;
}

Reply OkResult(int count) {
  XmlElement root("result");
  root.Set("status", "ok");
  if (count >= 0) root.Set("count", std::to_string(count));
  return DocumentReply(root, false);
}

Reply ErrorResult(int status, const std::string& description) {
  XmlElement root("result");
  root.Set("status", "error");
  root.Child("error").Set("desc", description);
  Reply reply = DocumentReply(root, false);
  reply.status = status;
  return reply;
}

Reply ErrorPage(int status, const std::string& message) {
  Reply reply;
  reply.status = status;
  reply.content_type = "text/html; charset=utf-8";
  reply.body = HtmlPage("出错了", "<p class=\"error\">" + HtmlEscape(message) + "</p>"
                        "<p><a href=\"/music/\">返回乐库</a></p>");
  return reply;
}

}  // namespace quillo::stub
