#include "ServiceTestSupport.h"

#include <fstream>
#include <sstream>

namespace quillo::testing {

std::unique_ptr<TiXmlDocument> ParseXml(const std::string& text) {
  auto document = std::make_unique<TiXmlDocument>();
  document->Parse(text.c_str(), nullptr, TIXML_ENCODING_UTF8);
  if (document->Error() || !document->RootElement()) return nullptr;
  return document;
}

std::string CookieOf(const HttpAnswer& answer) {
  const std::string header = answer.Header("Set-Cookie");
  return header.substr(0, header.find(';'));
}

std::string ReadFile(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  std::stringstream bytes;
  bytes << file.rdbuf();
  return bytes.str();
}

LoginResult ServiceTest::Login(const std::string& name, const std::string& password) {
  LoginResult result;
  result.answer = service_.PostForm("/api/login.php?ie=utf8", {{"name", name}, {"encode", password}});
  result.xml = Descramble(result.answer.body).value_or("");
  result.cookie = CookieOf(result.answer);
  return result;
}

std::unique_ptr<TiXmlDocument> ServiceTest::LoginDocument(const std::string& name,
                                                          const std::string& password) {
  return ParseXml(Login(name, password).xml);
}

const std::vector<ServiceSong>& ServiceTest::Songs() {
  if (songs_.empty()) songs_ = service_.Catalogue();
  return songs_;
}

const ServiceSong& ServiceTest::Song(const std::string& id) {
  for (const auto& song : Songs()) {
    if (song.id == id) return song;
  }
  static const ServiceSong kNone;
  ADD_FAILURE() << "no song " << id;
  return kNone;
}

std::vector<const TiXmlElement*> Children(const TiXmlElement* parent) {
  std::vector<const TiXmlElement*> children;
  for (const TiXmlElement* child = parent ? parent->FirstChildElement() : nullptr; child;
       child = child->NextSiblingElement()) {
    children.push_back(child);
  }
  return children;
}

std::string Attr(const TiXmlElement* element, const char* name) {
  const char* value = element ? element->Attribute(name) : nullptr;
  return value ? value : "";
}

std::vector<std::string> LibraryIds(const TiXmlDocument& login) {
  std::vector<std::string> ids;
  const TiXmlElement* folders = login.RootElement()->FirstChildElement("folders");
  for (const TiXmlElement* folder : Children(folders)) {
    if (Attr(folder, "name") != "music") continue;
    for (const TiXmlElement* song : Children(folder)) ids.push_back(Attr(song, "music_id"));
  }
  return ids;
}

std::vector<AnswerPlaylist> Playlists(const TiXmlDocument& login) {
  std::vector<AnswerPlaylist> playlists;
  for (const TiXmlElement* element : Children(login.RootElement()->FirstChildElement("playlists"))) {
    AnswerPlaylist playlist{Attr(element, "playlistId"), Attr(element, "playlistName"), {}};
    for (const TiXmlElement* item : Children(element)) playlist.items.push_back(Attr(item, "id"));
    playlists.push_back(playlist);
  }
  return playlists;
}

}  // namespace quillo::testing
