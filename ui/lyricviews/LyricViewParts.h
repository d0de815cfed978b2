#pragma once
// What both lyric views are made with. Everything referenced outlives the views.
namespace quillo::lyrics {
class LyricAnalyzer;
}
namespace quillo::playback {
class Player;
class PlaySurface;
}  // namespace quillo::playback
namespace quillo::store {
class DocumentStore;
class Playlists;
}  // namespace quillo::store
namespace quillo::window {
class FileChooser;
}

namespace quillo::ui {

class LyricViewHost;

struct LyricViewParts {
  store::DocumentStore& store;      // configuration keys, window rectangles, named folders
  store::Playlists& playlists;      // the current item ("关联歌词...")
  lyrics::LyricAnalyzer& analyzer;  // the one lyric document
  playback::Player& player;         // position and state; the views add themselves as listeners
  playback::PlaySurface& play;      // what their buttons, drags and menus ask of playback
  LyricViewHost& host;
  window::FileChooser* chooser = nullptr;  // "关联歌词..."; null: the item does nothing
};

}  // namespace quillo::ui
