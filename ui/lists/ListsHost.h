#pragma once
// The main window as the list views see it: the title and header buttons above the song list,
// commands the views do not handle themselves (song and artist information), the scroll bars it
// draws beside the lists, and the page the panel shows. The main window implements it.
// Window thread only.
#include <string>

#include "store/MusicRecord.h"
#include "ui/lists/ListCatalog.h"

namespace quillo::ui::lists {

class ListsHost {
 public:
  virtual ~ListsHost() = default;

  // The title above the song list: the name of the list shown.
  virtual void SetListTitle(const std::string& title) = 0;
  // The song list now shows this list (whoever asked it to).
  virtual void OnListShown(const std::string& /*list_id*/) {}
  // The header buttons follow the kind of the list shown (random lists show "换一批听听").
  virtual void ShowHeaderButtons(ListKind kind) = 0;
  // A list's rows, scroll offset or size changed: redraw its scroll bar (song list or panel).
  virtual void OnListScrolled(bool song_list) = 0;
  // The panel switched its page (the page buttons follow).
  virtual void OnPanelPageChanged(PanelPage page) = 0;
  // "查看歌曲信息" / "查看歌手信息" for a song of the service.
  virtual void ShowSongInfo(const store::MusicRecord& record) = 0;
  virtual void ShowArtistInfo(const store::MusicRecord& record) = 0;
  // A menu command the views do not handle (for example the import commands of the library's
  // empty-space menu).
  virtual void OnListCommand(int command_id) = 0;
};

}  // namespace quillo::ui::lists
