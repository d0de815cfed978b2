#pragma once
// The test controls, answered in JSON and never logged or subject to fault rules:
//   /_control?action=add_rule&path=..&kind=..[&count=K][&match=..][value]  → {"ok":true,"id":N}
//   /_control?action=clear_rules[&id=N]   /_control?action=rules
//   /_control?action=clear_log
//   /_control?action=catalogue            songs with their files and features, charts, groups
//   /_control?action=user&name=..         a user's library and playlists as stored
//   /_control?action=reports              lyric error reports, play events, usage reports
//   /_control?action=update_package&file=PATH[&version=V]   (file empty: no package)
//   /_log[?since=SEQ]                     the request log
// Parameters may come in the query or in an url-encoded POST body.
#include <string>

#include "service-stub/Call.h"
#include "service-stub/ServiceContext.h"

namespace quillo::stub {

struct JsonAnswer {
  int status = 200;
  std::string body;
};

JsonAnswer HandleControl(ServiceContext& context, const Call& call);
JsonAnswer HandleLog(ServiceContext& context, const Call& call);

}  // namespace quillo::stub
