#pragma once
// The main window's two import commands. "添加本地文件夹" asks for a folder ("请选择要导入的目录")
// and runs ImportLocalDlg over it; "添加本地歌曲" asks for music files (*.mp3, *.wma, several at
// once) and adds each. ImportFolderAt serves a folder that came another way (a dropped folder).
// After an import that took at least one song, `on_imported` runs with whether the "local" list
// was empty before, so the window refreshes the song list when it shows "local" and lets the
// category view show the list when it is new.
//
// Window thread. The library, the playlists, the chooser and the owner outlive this object.
#include <functional>
#include <string>
#include <vector>

namespace quillo::store {
class MusicLibrary;
class Playlists;
}  // namespace quillo::store
namespace quillo::window {
class FileChooser;
}

namespace quillo::ui {

class LayerWnd;

class LocalImportCommands {
 public:
  static constexpr const char* kFolderTitle = "请选择要导入的目录";
  static constexpr const char* kFilesFilterName = "音乐文件";

  struct Folders {
    std::string music_folder;    // the store's "music" folder, never walked
    std::string program_folder;  // the program's own folder, never walked
  };
  using ImportedCallback = std::function<void(bool local_list_was_empty)>;

  LocalImportCommands(store::MusicLibrary& library, store::Playlists& playlists,
                      window::FileChooser& chooser, Folders folders, ImportedCallback on_imported);

  // The dialogs centre on this window (the main window when null).
  void SetOwner(LayerWnd* owner) { owner_ = owner; }

  // "添加本地文件夹": answers the number of songs taken (0 when the user chose nothing).
  int ImportFolder();
  // "添加本地歌曲": answers the number of files in the library afterwards.
  int ImportFiles();
  // The folder import over a known folder (no chooser).
  int ImportFolderAt(const std::string& folder);
  // The file import over known paths (no chooser; dropped files).
  int ImportFilesAt(const std::vector<std::string>& paths);

 private:
  bool LocalListEmpty() const;

  store::MusicLibrary& library_;
  store::Playlists& playlists_;
  window::FileChooser& chooser_;
  Folders folders_;
  ImportedCallback on_imported_;
  LayerWnd* owner_ = nullptr;
};

}  // namespace quillo::ui
