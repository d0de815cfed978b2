#include "service/api/ServicePages.h"

#include "service/api/UrlEncoding.h"

namespace quillo::service {

std::string ServicePages::ShowItem(std::string_view item) const {
  return endpoints().base_url + "music/index.php#show_music_window=" + UrlEncode(item) + "/ext=1";
}

std::string ServicePages::Artist(std::string_view artist_id) const {
  return endpoints().base_url + "music/artist.php?artistId=" + UrlEncode(artist_id);
}

std::string ServicePages::Search(std::string_view text) const {
  return endpoints().base_url + "music/search.php?q=" + UrlEncode(text);
}

std::string ServicePages::AdminMusic(std::string_view music_id) const {
  return endpoints().base_url + "admin/music.php?action=index&music_id=" + UrlEncode(music_id);
}

std::string ServicePages::UserPage(std::string_view user_id) const {
  return endpoints().web_site + "my/index.php?user_id=" + UrlEncode(user_id);
}

}  // namespace quillo::service
