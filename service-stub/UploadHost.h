#pragma once
// The upload host's "/api/upload.php": action=start answers "{id:'…'}", action=send&id=&seek=
// stores the raw body at the offset and answers "{id:'…',file_length:N}" with the bytes held,
// action=end closes the upload, action=stop abandons it. A chunk whose seek lies beyond the
// bytes held is not stored (the answer tells the client where to resume); a seek inside them
// replaces what follows. Uploads live in the data folder's "uploads/". Answers allow the
// service's own pages to read them (the upload page sends from the browser).
#include "service-stub/Router.h"

namespace quillo::stub {

void RegisterUploadHost(Router& router);

}  // namespace quillo::stub
