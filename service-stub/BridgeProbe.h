#pragma once
// A check that the program offers window.external to the service's own pages only. The probe
// page ("/bridge_probe.html") is served by the upload host, a different origin from the
// service's pages: it looks for the program's methods on window.external, tries to call them
// (inside try/catch), shows what happened, and reports it to the main service with
// GET "/api/bridge_probe.php?found=0|1&called=0|1&methods=NAMES", which the request log keeps
// like every request. The report answers 200 for well-formed values, 400 otherwise.
#include "service-stub/Router.h"

namespace quillo::stub {

void RegisterBridgeProbePage(Router& upload_router);
void RegisterBridgeProbeReport(Router& main_router);

}  // namespace quillo::stub
