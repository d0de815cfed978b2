#pragma once
// The answer documents of the service: song elements, list documents, login answers and the
// small result documents of the fire-and-forget calls.
#include <string>
#include <vector>

#include "service-stub/Catalogue.h"
#include "service-stub/Reply.h"
#include "service-stub/UserStore.h"
#include "service-stub/XmlWriter.h"

namespace quillo::stub {

// A song with the service's attribute names (music_id, music_name, album_*, artist_*); album
// attributes are left out for songs without an album.
XmlElement SongElement(const Catalogue& catalogue, const CatalogueSong& song);

// <list pid=".." pname=".."> with one <music> per known song id (unknown ids are skipped).
XmlElement ListDocument(const Catalogue& catalogue, const std::string& pid, const std::string& pname,
                        const std::vector<std::string>& song_ids);

// The playlist id that a chart page's "download all" hands the client: 32 upper-case hexadecimal
// digits made from the chart's id, the same on every page load, so that downloading a chart
// twice fills one list. A playlist the client creates on the service under this id gets the
// chart's name.
std::string ChartListId(const std::string& chart_id);

// The login answer: user, library ("folders" → folder "music") and playlists.
XmlElement LoginAnswer(const Catalogue& catalogue, const UserRecord& user,
                       const SessionRecord& session, const std::string& logo_url,
                       const std::vector<std::string>& library,
                       const std::vector<PlaylistRecord>& playlists);
// A failed login: <sorvel><error desc=".."/></sorvel>.
XmlElement LoginError(const std::string& description);

Reply DocumentReply(const XmlElement& root, bool scrambled);
// <result status="ok" .../> with HTTP 200.
Reply OkResult(int count = -1);
// <result status="error"><error desc=".."/></result> with the HTTP status.
Reply ErrorResult(int status, const std::string& description);
// A plain HTML page for errors of file fetches and pages.
Reply ErrorPage(int status, const std::string& message);

}  // namespace quillo::stub
