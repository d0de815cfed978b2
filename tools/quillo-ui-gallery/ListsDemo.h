#pragma once
// A window hosting the playlist panel, the song list and the search box the way the main window
// does, over a data folder of its own filled with sample songs: the lists' gallery item, and the
// window their GUI tests drive with real input.
#include <memory>
#include <string>

#include "service/api/ServiceEndpoints.h"
#include "ui/lists/ListsHost.h"
#include "ui/toolkit/LayerWnd.h"

namespace quillo::http {
class CurlHttpTransport;
}
namespace quillo::service {
class IdlePlayback;
class JSRequestHandler;
class NoPhone;
class PlaylistSync;
class SafeDownloader;
class SafeDownloaderSender;
}  // namespace quillo::service
namespace quillo::store {
class StoreRuntime;
}
namespace quillo::ui::lists {
class FileListView;
class FilterEdit;
class ListsSyncView;
class PlaylistView;
}  // namespace quillo::ui::lists

namespace quillo::gallery {

class ListsDemo : public ui::LayerWnd, public ui::lists::ListsHost {
 public:
  static constexpr int kWidth = 600;
  static constexpr int kHeight = 440;
  static constexpr gfx::Rect kPanelRect{8, 66, 158, 412};
  static constexpr gfx::Rect kSongsRect{166, 66, 592, 412};
  static constexpr gfx::Rect kFilterRect{490, 40, 584, 56};
  static constexpr int kCloseId = 11;
  static constexpr int kAnotherBatchId = 50;

  // `data_folder`: an empty folder for the demo's store (it is filled with sample songs).
  // `service_base_url`: where the service lists come from (empty: a service that is down).
  // With remove_folder the data folder is deleted when the demo goes.
  ListsDemo(std::string data_folder, std::string service_base_url, bool remove_folder = false);
  ~ListsDemo() override;

  ui::lists::PlaylistView& panel() { return *panel_; }
  ui::lists::FileListView& songs() { return *songs_; }
  ui::lists::FilterEdit& filter() { return *filter_; }
  store::StoreRuntime& store() { return *store_; }
  const std::string& title() const { return title_; }
  // The window pixels of a page tab (0, 2, 3).
  static gfx::Rect PageTab(int page);

  // ---- LayerWnd -------------------------------------------------------------------------------
  void InitLayer() override;
  void DrawBackground() override;
  void DrawAll() override;
  void OnDestroy() override;
  void OnControlEvent(ui::LayerControl* control, int code) override;
  void OnLButtonDown(const window::MouseEvent& e) override;
  void OnLButtonUp(const window::MouseEvent& e) override;
  void OnMouseMove(const window::MouseEvent& e) override;
  void OnRButtonUp(const window::MouseEvent& e) override;
  void OnMouseWheel(const window::MouseEvent& e, int delta_steps) override;
  bool OnKeyDown(const window::KeyEvent& e) override;
  bool IsDragArea(int x, int y) override;
  void OnMove(gfx::Point screen_origin) override;

  // ---- ListsHost ------------------------------------------------------------------------------
  void SetListTitle(const std::string& title) override;
  void ShowHeaderButtons(ui::lists::ListKind kind) override;
  void OnListScrolled(bool song_list) override;
  void OnPanelPageChanged(ui::lists::PanelPage page) override;
  void ShowSongInfo(const store::MusicRecord& record) override;
  void ShowArtistInfo(const store::MusicRecord& record) override;
  void OnListCommand(int command_id) override;

 private:
  class Prompt;
  void Seed();
  void RedrawHeader();

  std::string data_folder_;
  bool remove_folder_;
  std::unique_ptr<store::StoreRuntime> store_;
  service::ServiceEndpoints endpoints_;
  std::unique_ptr<http::CurlHttpTransport> transport_;
  std::unique_ptr<service::SafeDownloader> downloader_;
  std::unique_ptr<service::SafeDownloaderSender> sender_;
  std::unique_ptr<service::JSRequestHandler> requests_;
  std::unique_ptr<ui::lists::ListsSyncView> sync_view_;
  std::unique_ptr<Prompt> prompt_;
  std::unique_ptr<service::IdlePlayback> playback_;
  std::unique_ptr<service::NoPhone> phone_;
  std::unique_ptr<service::PlaylistSync> sync_;
  std::unique_ptr<ui::lists::FileListView> songs_;
  std::unique_ptr<ui::lists::PlaylistView> panel_;
  std::unique_ptr<ui::lists::FilterEdit> filter_;
  std::string title_ = "[全部]";
  ui::lists::ListKind kind_ = ui::lists::ListKind::kOther;
};

}  // namespace quillo::gallery
