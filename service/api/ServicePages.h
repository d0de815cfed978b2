#pragma once
// The web pages of the request catalogue. The program never requests them itself: they open in
// the hosted music window or in the user's default browser. Values placed in a URL are
// URL-encoded. Builders; any thread when made with fixed endpoints, the window thread when they
// read the run's shared ones.
#include <string>
#include <string_view>

#include "service/api/ServiceEndpoints.h"
#include "service/api/SharedEndpoints.h"

namespace quillo::service {

class ServicePages {
 public:
  explicit ServicePages(ServiceEndpoints endpoints) : fixed_(std::move(endpoints)) {}
  // Reads the run's addresses at every build; `shared` must outlive the builder.
  explicit ServicePages(const SharedEndpoints& shared) : shared_(&shared) {}

  // ---- Hosted music window ---------------------------------------------------------------
  std::string MusicHome() const { return endpoints().base_url + "music/"; }
  std::string FirstPage() const { return endpoints().base_url + "go.php"; }
  std::string ShowItem(std::string_view item) const;
  std::string Artist(std::string_view artist_id) const;
  std::string Search(std::string_view text) const;
  std::string Register() const { return endpoints().base_url + "user/register.php"; }

  // ---- Default browser ------------------------------------------------------------------
  std::string AdminMusic(std::string_view music_id) const;
  std::string WebSiteHome() const { return endpoints().web_site + "?f=c"; }
  std::string RetrievePassword() const { return endpoints().web_site + "user/retrieve_pwd.php"; }
  std::string UserPage(std::string_view user_id) const;

 private:
  const ServiceEndpoints& endpoints() const { return shared_ ? shared_->Get() : fixed_; }

  const SharedEndpoints* shared_ = nullptr;
  ServiceEndpoints fixed_;
};

}  // namespace quillo::service
