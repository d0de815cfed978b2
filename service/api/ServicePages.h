#pragma once
// The web pages of the request catalogue. The program never requests them itself: they open in
// the hosted music window or in the user's default browser. Values placed in a URL are
// URL-encoded. Pure builders; any thread.
#include <string>
#include <string_view>

#include "service/api/ServiceEndpoints.h"

namespace quillo::service {

class ServicePages {
 public:
  explicit ServicePages(ServiceEndpoints endpoints) : endpoints_(std::move(endpoints)) {}

  // ---- Hosted music window ---------------------------------------------------------------
  std::string MusicHome() const { return endpoints_.base_url + "music/"; }
  std::string FirstPage() const { return endpoints_.base_url + "go.php"; }
  std::string ShowItem(std::string_view item) const;
  std::string Artist(std::string_view artist_id) const;
  std::string Search(std::string_view text) const;
  std::string Register() const { return endpoints_.base_url + "user/register.php"; }

  // ---- Default browser ------------------------------------------------------------------
  std::string AdminMusic(std::string_view music_id) const;
  std::string WebSiteHome() const { return endpoints_.web_site + "?f=c"; }
  std::string RetrievePassword() const { return endpoints_.web_site + "user/retrieve_pwd.php"; }
  std::string UserPage(std::string_view user_id) const;

 private:
  ServiceEndpoints endpoints_;
};

}  // namespace quillo::service
