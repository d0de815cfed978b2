#pragma once
// The service's upload page ("/music/upload.php"): in a plain browser, a file chosen in the form
// is sent from the page to the upload host with the upload protocol (start, chunks of 1024000
// bytes at the offsets the host reports, end), with progress. In the program the upload window
// does this; the page says where to find it.
#include "service-stub/Router.h"

namespace quillo::stub {

void RegisterUploadPage(Router& main_router);

}  // namespace quillo::stub
