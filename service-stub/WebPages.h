#pragma once
// The service's web pages, shown in the client's hosted music window or in a browser: the
// music home ("go.php", "music/") with its ranking lists, a search page, artist pages, the
// "index.php#show_music_window=ID/ext=1" form, login (which sets the session cookie and tells
// the program through window.external.OnUserLogin), logout, registration, the forgotten
// password page, the user page and the song administration page. Song buttons call
// window.external.AddDownload and Tryout with a list document; the login button calls Login.
#include "service-stub/Router.h"

namespace quillo::stub {

void RegisterWebPages(Router& router);

}  // namespace quillo::stub
