#pragma once
// The service calls of the request catalogue, one builder per row: each answers the path (query
// included, relative to the service base URL) and the form parameters in the catalogue's order.
// Sending is the caller's: fire-and-forget rows through JSRequestHandler, answered rows through
// the safe downloader with a collector.
//
// Rows that name a playlist answer no call unless the id is a service playlist id (exactly 32
// hexadecimal digits); other playlists ("d_...", "t_...") exist only on this machine.
//
// Pure builders over the client id given at construction; any thread.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "service/api/ServiceCall.h"

namespace quillo::service {

class ServiceRequests {
 public:
  explicit ServiceRequests(std::string client_id) : client_id_(std::move(client_id)) {}

  const std::string& client_id() const { return client_id_; }

  // True for ids the service knows: exactly 32 hexadecimal digits, either case.
  static bool IsServicePlaylistId(std::string_view playlist_id);
  // A new playlist id for the create rows: 32 upper-case hexadecimal digits of a fresh GUID
  // (empty when none can be made).
  static std::string NewPlaylistId();

  // ---- Login and session ----------------------------------------------------------------
  // The user name and password as typed (no hashing).
  static ServiceCall Login(std::string_view user_name, std::string_view password);
  // After a hosted page logged the user in: its cookies travel with the request.
  static ServiceCall AutoLogin();
  static ServiceCall AutoLoginWithKey(std::string_view key);
  static ServiceCall Logout();

  // ---- Library ----------------------------------------------------------------------------
  static ServiceCall AddMusic(const std::vector<std::string>& music_ids);
  static ServiceCall DeleteMusic(const std::vector<std::string>& music_ids);

  // ---- Playlists (nothing for a playlist the service does not know) ----------------------
  static std::optional<ServiceCall> AddMusicToPlaylist(std::string_view playlist_id,
                                                       const std::vector<std::string>& music_ids);
  static std::optional<ServiceCall> DeleteMusicFromPlaylist(
      std::string_view playlist_id, const std::vector<std::string>& music_ids);
  static std::optional<ServiceCall> CreatePlaylist(std::string_view name,
                                                   std::string_view new_playlist_id);
  static std::optional<ServiceCall> CreatePlaylistWithMusic(
      std::string_view name, std::string_view new_playlist_id,
      const std::vector<std::string>& music_ids);
  static std::optional<ServiceCall> RenamePlaylist(std::string_view playlist_id,
                                                   std::string_view new_name);
  static std::optional<ServiceCall> DeletePlaylist(std::string_view playlist_id);
  std::optional<ServiceCall> ClearPlaylist(std::string_view playlist_id) const;

  // ---- Add links (a link that names songs, and possibly a playlist) ---------------------
  struct LinkedPlaylist {
    std::string id;  // a new playlist id
    std::string name;
  };
  // Fetches the named songs as a music document (not scrambled).
  static ServiceCall AddLinkMusic(const std::vector<std::string>& music_ids,
                                  const std::optional<LinkedPlaylist>& playlist);
  // A link whose songs are all known and that names a playlist: one call carrying the link's
  // songs first. A new playlist is created holding them ("id", "name" after the songs); songs
  // for an existing one are added to it ("playlistId" after the songs, without force). None
  // when the id is not a service playlist id.
  static std::optional<ServiceCall> CreateLinkedPlaylist(const LinkedPlaylist& playlist,
                                                         const std::vector<std::string>& music_ids);
  static std::optional<ServiceCall> AddLinkedMusicToPlaylist(
      std::string_view playlist_id, const std::vector<std::string>& music_ids);
  // Songs dropped on a list of the playlist panel: as AddMusicToPlaylist, but the default list
  // (empty id, the user's library on the service) is a valid target too.
  static std::optional<ServiceCall> AddDroppedMusic(std::string_view playlist_id,
                                                    const std::vector<std::string>& music_ids);

  // ---- Lists answered scrambled ------------------------------------------------------------
  // A chart by its number; the default chart is number 1.
  ServiceCall ChartList(std::string_view chart_number) const;
  ServiceCall DefaultChartList() const { return ChartList("1"); }
  // A random list, of one group when group_id is not empty.
  ServiceCall RandomList(std::string_view group_id = {}) const;

  // ---- Reports ----------------------------------------------------------------------------
  // error_type is the index of the chosen type (sent plus one); an empty user id (nobody
  // logged in) is sent as "0".
  static ServiceCall LyricErrorReport(std::string_view music_id, int error_type,
                                      std::string_view comment, std::string_view user_id);
  // type: "play_music" or "bad_music"; ext_id and ext_value as the play queue passes them.
  ServiceCall PlaybackEvent(std::string_view type, std::string_view ext_id,
                            std::string_view ext_value, std::string_view detail = {}) const;
  // content: the statistics document.
  ServiceCall UsageReport(std::string_view content) const;

 private:
  std::string client_id_;
};

}  // namespace quillo::service
