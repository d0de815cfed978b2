#pragma once
// What the playlist panel and the song list need of the program. Everything referenced must
// outlive the views; the pointers may be null (tests, or a program without that part).
#include <string>

namespace quillo::store {
class StoreRuntime;
}
namespace quillo::service {
class PlaylistSync;
class SafeDownloader;
struct ServiceEndpoints;
}  // namespace quillo::service
namespace quillo::playback {
class Player;
class PlaySurface;
}  // namespace quillo::playback

namespace quillo::ui::lists {

class ListsHost;

struct ListViewDeps {
  store::StoreRuntime& store;
  // The service lists are fetched through it.
  service::SafeDownloader& downloader;
  // The service's addresses as the program knows them (read at each fetch, so a later change of
  // the endpoints is seen). The client id is read from the store.
  const service::ServiceEndpoints& endpoints;
  ListsHost& host;
  // The list commands of the menus and the dropped songs; null: those entries do nothing.
  service::PlaylistSync* sync = nullptr;
  // Double-click and "播放" play the song; failed songs are drawn as such. Null: nothing plays.
  playback::PlaySurface* play = nullptr;
  // The song the player holds marks the playing row; null: no marker.
  playback::Player* player = nullptr;
};

}  // namespace quillo::ui::lists
