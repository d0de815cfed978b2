#include "ui/dialogs/LocalImportCommands.h"

#include "media/LocalImport.h"
#include "platform/window/FileChooser.h"
#include "store/PlaylistIndex.h"
#include "store/Playlists.h"
#include "ui/dialogs/ImportLocalDlg.h"
#include "ui/toolkit/LayerWindowRegistry.h"
#include "ui/toolkit/LayerWnd.h"

namespace quillo::ui {

LocalImportCommands::LocalImportCommands(store::MusicLibrary& library, store::Playlists& playlists,
                                         window::FileChooser& chooser, Folders folders,
                                         ImportedCallback on_imported)
    : library_(library),
      playlists_(playlists),
      chooser_(chooser),
      folders_(std::move(folders)),
      on_imported_(std::move(on_imported)) {}

bool LocalImportCommands::LocalListEmpty() const {
  return playlists_.PlaylistIsEmpty(store::PlaylistIndex::kLocalListId);
}

namespace {
const window::WindowPresenter* ParentOf(LayerWnd* owner) {
  if (!owner) owner = LayerWindowRegistry::MainWindow();
  return owner ? owner->presenter() : nullptr;
}
}  // namespace

int LocalImportCommands::ImportFolder() {
  std::optional<std::string> folder = chooser_.ChooseFolder(kFolderTitle, ParentOf(owner_));
  if (!folder || folder->empty()) return 0;
  return ImportFolderAt(*folder);
}

int LocalImportCommands::ImportFolderAt(const std::string& folder) {
  bool was_empty = LocalListEmpty();
  int taken =
      ImportLocalDlg::Run(library_, folder, folders_.music_folder, folders_.program_folder, owner_);
  if (taken > 0 && on_imported_) on_imported_(was_empty);
  return taken;
}

int LocalImportCommands::ImportFiles() {
  std::vector<std::string> paths =
      chooser_.ChooseFiles("", kFilesFilterName, {"*.mp3", "*.wma"}, ParentOf(owner_));
  if (paths.empty()) return 0;
  return ImportFilesAt(paths);
}

int LocalImportCommands::ImportFilesAt(const std::vector<std::string>& paths) {
  bool was_empty = LocalListEmpty();
  media::LocalImport import(library_);
  int taken = import.AddFiles(paths);
  if (taken > 0 && on_imported_) on_imported_(was_empty);
  return taken;
}

}  // namespace quillo::ui
