#pragma once
// A skinned frame of the music centre's size hosting the download manager tab the way the music
// centre embeds it: the gallery's "downloads" item, and the window the tab's GUI tests drive
// with real input.
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "ui/downloads/DownloadManagerDlg.h"
#include "ui/toolkit/LayerDlg.h"

namespace quillo::downloads {
class DownloadManager;
}
namespace quillo::store {
class StoreRuntime;
}

namespace quillo::gallery {

class DownloadsDemo : public ui::LayerDlg {
 public:
  static constexpr int kWidth = 577;
  static constexpr int kHeight = 538;

  // Hosts a tab over a store and a download manager owned elsewhere (they outlive the demo).
  explicit DownloadsDemo(ui::DownloadManagerDlg::Deps deps);
  // Hosts a tab over a store of its own in `data_folder` (removed with the demo), filled with
  // sample songs; their downloads come from `service_base_url` (empty: nothing starts).
  static std::unique_ptr<DownloadsDemo> WithSampleStore(std::string data_folder,
                                                        std::string service_base_url);
  ~DownloadsDemo() override;

  // Where the tab lies: the whole width (its columns and scroll strip need 576 pixels) between
  // the title band and the bottom band.
  static gfx::Rect TabArea(gfx::Size window) { return {0, 28, window.width, window.height - 13}; }
  // The tab, once the window is created.
  ui::DownloadManagerDlg* tab() { return tab_.get(); }

  void InitLayer() override;
  void DrawBackground() override;
  void OnControlEvent(ui::LayerControl* control, int code) override;
  void OnRButtonUp(const window::MouseEvent& e) override;
  void OnMouseWheel(const window::MouseEvent& e, int delta_steps) override;
  void OnLButtonDown(const window::MouseEvent& e) override;
  void OnMouseMove(const window::MouseEvent& e) override;
  void OnLButtonUp(const window::MouseEvent& e) override;
  void OnSize(gfx::Size size) override;
  void OnDestroy() override;

 private:
  struct SampleStore;
  DownloadsDemo(std::unique_ptr<SampleStore> sample);

  std::unique_ptr<SampleStore> sample_;
  std::unique_ptr<ui::DownloadManagerDlg::Deps> deps_;
  std::unique_ptr<ui::DownloadManagerDlg> tab_;
};

}  // namespace quillo::gallery
