#pragma once
// The service calls under "api/" and "user/logout.php". Each Register function adds its
// routes to the router.
#include "service-stub/Router.h"

namespace quillo::stub {

// api/login.php, api/autologin.php (key or cookie), user/logout.php (POST).
void RegisterAccountApi(Router& router);
// api/addmusic.php (also ?type=xml), api/deletemusic.php and the playlist calls.
void RegisterLibraryApi(Router& router);
// api/getplaylist.php (charts) and api/randommusic.php (random groups).
void RegisterListApi(Router& router);
// api/updatelyricerrortype.php, api/event.php, api/uploadreport.php.
void RegisterReportApi(Router& router);

// Helpers shared by the API files.
namespace api {
// True when the text is exactly 32 hexadecimal digits (a user playlist id).
bool IsPlaylistId(const std::string& text);
// The musicId[] values (also plain "musicId"), in order.
std::vector<std::string> MusicIds(const Call& call);
}  // namespace api

}  // namespace quillo::stub
