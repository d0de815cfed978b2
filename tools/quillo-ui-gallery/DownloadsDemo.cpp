#include "DownloadsDemo.h"

#include <filesystem>
#include <utility>

#include "downloads/DownloadManager.h"
#include "platform/http/CurlHttpTransport.h"
#include "platform/loop/MainLoop.h"
#include "service/api/ServiceEndpoints.h"
#include "service/api/SharedEndpoints.h"
#include "service/transfer/SafeDownloader.h"
#include "store/MusicLibrary.h"
#include "store/StoreRuntime.h"

namespace quillo::gallery {

// The gallery's own store, downloader and manager (declared in the order they are built, so
// they go in reverse).
struct DownloadsDemo::SampleStore {
  std::string folder;
  std::unique_ptr<store::StoreRuntime> runtime;
  std::unique_ptr<http::CurlHttpTransport> transport;
  std::unique_ptr<service::SafeDownloader> downloader;
  service::SharedEndpoints endpoints;
  std::unique_ptr<downloads::DownloadManager> manager;

  ~SampleStore() {
    manager.reset();
    if (downloader) downloader->Shutdown();
    downloader.reset();
    if (runtime) runtime->Close();
    std::error_code ignored;
    std::filesystem::remove_all(folder, ignored);
  }
};

namespace {

struct SampleSong {
  const char* name;
  const char* artist;
  const char* status;
  bool paused;
};

constexpr SampleSong kSongs[] = {
    {"后来", "刘若英", "0", false},
    {"晴天", "周杰伦", "0", false},
    {"红豆", "王菲", "0", true},
    {"光辉岁月", "Beyond", "3", false},
    {"Yesterday", "The Beatles", "0", false},
    {"平凡之路", "朴树", "0", true},
    {"海阔天空", "Beyond", "0", false},
    {"Someone Like You", "Adele", "3", false},
};

}  // namespace

DownloadsDemo::DownloadsDemo(ui::DownloadManagerDlg::Deps deps)
    : deps_(std::make_unique<ui::DownloadManagerDlg::Deps>(std::move(deps))) {
  SetTitle("下载管理");
  SetNativeTitle("下载管理");
}

DownloadsDemo::DownloadsDemo(std::unique_ptr<SampleStore> sample)
    : DownloadsDemo(ui::DownloadManagerDlg::Deps{
          *sample->runtime, *sample->manager,
          [runtime = sample->runtime.get()](const std::vector<std::string>& ids) {
            for (const std::string& id : ids) runtime->library().DeleteMusic(id);
          }}) {
  sample_ = std::move(sample);
}

std::unique_ptr<DownloadsDemo> DownloadsDemo::WithSampleStore(std::string data_folder,
                                                              std::string service_base_url) {
  auto sample = std::make_unique<SampleStore>();
  sample->folder = data_folder;
  sample->runtime = std::make_unique<store::StoreRuntime>(std::move(data_folder));
  sample->runtime->Open(false);
  int n = 0;
  for (const SampleSong& song : kSongs) {
    const std::string id = std::to_string(2000 + ++n);
    sample->runtime->library().AddMusic(
        {{"id", id}, {"name", song.name}, {"artist_name", song.artist}, {"status", song.status}});
    if (song.paused) sample->runtime->library().SetPaused(id, true);
  }
  sample->transport = std::make_unique<http::CurlHttpTransport>(std::string());
  sample->downloader =
      std::make_unique<service::SafeDownloader>(*loop::MainLoop::Instance(), *sample->transport);
  if (!service_base_url.empty()) {
    sample->endpoints.Set(service::EndpointsForBaseUrl(service_base_url));
  }
  sample->manager = std::make_unique<downloads::DownloadManager>(
      *loop::MainLoop::Instance(), *sample->runtime, *sample->downloader, sample->endpoints);
  if (!service_base_url.empty()) sample->manager->Start();
  return std::unique_ptr<DownloadsDemo>(new DownloadsDemo(std::move(sample)));
}

DownloadsDemo::~DownloadsDemo() {
  Destroy();
  tab_.reset();
}

void DownloadsDemo::InitLayer() {
  LayerDlg::InitLayer();
  if (!tab_) tab_ = std::make_unique<ui::DownloadManagerDlg>(*this, TabArea(ClientSize()), *deps_);
}

void DownloadsDemo::DrawBackground() {
  LayerDlg::DrawBackground();
  if (!tab_) return;
  gfx::Painter painter(back_buffer());
  tab_->DrawBackground(painter);
}

void DownloadsDemo::OnControlEvent(ui::LayerControl* control, int code) {
  if (tab_ && tab_->OnControlEvent(control, code)) return;
  LayerDlg::OnControlEvent(control, code);
}

void DownloadsDemo::OnRButtonUp(const window::MouseEvent& e) {
  if (tab_ && tab_->OnRButtonUp(e)) return;
  LayerDlg::OnRButtonUp(e);
}

void DownloadsDemo::OnMouseWheel(const window::MouseEvent& e, int delta_steps) {
  if (tab_ && tab_->OnMouseWheel(e, delta_steps)) return;
  LayerDlg::OnMouseWheel(e, delta_steps);
}

void DownloadsDemo::OnLButtonDown(const window::MouseEvent& e) {
  if (tab_ && tab_->OnLButtonDown(e)) return;
  LayerDlg::OnLButtonDown(e);
}

void DownloadsDemo::OnMouseMove(const window::MouseEvent& e) {
  if (tab_ && tab_->OnMouseMove(e)) return;
  LayerDlg::OnMouseMove(e);
}

void DownloadsDemo::OnLButtonUp(const window::MouseEvent& e) {
  if (tab_ && tab_->OnLButtonUp(e)) return;
  LayerDlg::OnLButtonUp(e);
}

void DownloadsDemo::OnSize(gfx::Size size) {
  if (tab_) tab_->SetArea(TabArea(size));
  LayerDlg::OnSize(size);
}

void DownloadsDemo::OnDestroy() {
  if (tab_) tab_->Show(false);
  LayerDlg::OnDestroy();
}

}  // namespace quillo::gallery
