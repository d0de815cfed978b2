#include "ListsDemo.h"

#include <cstdio>
#include <filesystem>

#include "platform/gfx/TextMeasure.h"
#include "platform/http/CurlHttpTransport.h"
#include "platform/loop/MainLoop.h"
#include "resources/skins/SkinLayout.h"
#include "service/api/JSRequestHandler.h"
#include "service/api/SafeDownloaderSender.h"
#include "service/sync/IdlePlayback.h"
#include "service/sync/NoPhone.h"
#include "service/sync/PlaylistSync.h"
#include "service/sync/SyncPrompt.h"
#include "service/transfer/SafeDownloader.h"
#include "store/MusicLibrary.h"
#include "store/Playlists.h"
#include "store/StoreRuntime.h"
#include "ui/dialogs/MessageBoxes.h"
#include "ui/lists/FileListView.h"
#include "ui/lists/FilterEdit.h"
#include "ui/lists/ListColors.h"
#include "ui/lists/ListsSyncView.h"
#include "ui/lists/PlaylistView.h"

namespace quillo::gallery {
namespace m = skin::main;
using ui::lists::ListKind;
using ui::lists::PanelPage;

class ListsDemo::Prompt : public service::SyncPrompt {
 public:
  explicit Prompt(ui::LayerWnd& owner) : owner_(owner) {}
  std::optional<std::string> PromptBox(const std::string&, const std::string& message,
                                       const std::string& initial_text) override {
    std::string text;
    if (!ui::PromptBox(message, text, initial_text, &owner_)) return std::nullopt;
    return text;
  }

 private:
  ui::LayerWnd& owner_;
};

namespace {

struct Sample {
  const char* name;
  const char* artist;
  const char* album;
};

constexpr Sample kSamples[] = {
    {"七里香", "周杰伦", "七里香"},
    {"晴天", "周杰伦", "叶惠美"},
    {"稻香", "周杰伦", "魔杰座"},
    {"简单爱", "周杰伦", "范特西"},
    {"青花瓷", "周杰伦", "我很忙"},
    {"夜曲", "周杰伦", "十一月的萧邦"},
    {"红豆", "王菲", "唱游"},
    {"传奇", "王菲", "传奇"},
    {"匆匆那年", "王菲", "匆匆那年"},
    {"容易受伤的女人", "王菲", "Coming Home"},
    {"忘情水", "刘德华", "忘情水"},
    {"冰雨", "刘德华", "忘情水"},
    {"中国人", "刘德华", "97'刘德华最新专辑"},
    {"后来", "刘若英", "我等你"},
    {"很爱很爱你", "刘若英", "很爱很爱你"},
    {"光辉岁月", "Beyond", "命运派对"},
    {"海阔天空", "Beyond", "乐与怒"},
    {"Hello", "Adele", "25"},
    {"Someone Like You", "Adele", "21"},
    {"Yesterday", "The Beatles", "Help!"},
    {"Let It Be", "The Beatles", "Let It Be"},
    {"平凡之路", "朴树", "猎户星座"},
    {"那些花儿", "朴树", "我去2000年"},
    {"Jay", "Lemon Jelly", "Lost Horizons"},
};

gfx::Font UiFont() {
  return gfx::Font::Points("宋体", 9);
}

}  // namespace

ListsDemo::ListsDemo(std::string data_folder, std::string service_base_url, bool remove_folder)
    : LayerWnd(skin::kMainFirst),
      data_folder_(data_folder),
      remove_folder_(remove_folder),
      store_(std::make_unique<store::StoreRuntime>(std::move(data_folder))),
      endpoints_(service::EndpointsForBaseUrl(
          service_base_url.empty() ? std::string("http://127.0.0.1:1/") : service_base_url)) {
  SetNativeTitle("Zelbo音乐");
  store_->Open(false);
  Seed();
  transport_ = std::make_unique<http::CurlHttpTransport>(std::string());
  downloader_ = std::make_unique<service::SafeDownloader>(*loop::MainLoop::Instance(), *transport_);
  sender_ = std::make_unique<service::SafeDownloaderSender>(*downloader_);
  requests_ = std::make_unique<service::JSRequestHandler>(*sender_, endpoints_.base_url);
  sync_view_ = std::make_unique<ui::lists::ListsSyncView>();
  prompt_ = std::make_unique<Prompt>(*this);
  playback_ = std::make_unique<service::IdlePlayback>(store_->store(), store_->playlists(),
                                                      store_->queue());
  phone_ = std::make_unique<service::NoPhone>();
  sync_ = std::make_unique<service::PlaylistSync>(service::PlaylistSync::Parts{
      store_->store(), store_->library(), store_->playlists(), *requests_, *sender_, *sync_view_,
      *prompt_, *playback_, *phone_});
  ui::lists::ListViewDeps deps{*store_, *downloader_, endpoints_, *this, sync_.get()};
  songs_ = std::make_unique<ui::lists::FileListView>(*this, kSongsRect, deps);
  panel_ = std::make_unique<ui::lists::PlaylistView>(*this, kPanelRect, deps, *songs_);
  sync_view_->SetViews(panel_.get(), songs_.get());
  filter_ = std::make_unique<ui::lists::FilterEdit>(
      *this, kFilterRect, [this](const std::string& text) { songs_->ApplyFilter(text); });
  songs_->SetFilterEdit(filter_.get());
}

ListsDemo::~ListsDemo() {
  Destroy();
  downloader_->Shutdown();
  sync_view_->SetViews(nullptr, nullptr);
  songs_->SetFilterEdit(nullptr);
  panel_.reset();
  songs_.reset();
  store_->Close();
  std::error_code ignored;
  if (remove_folder_) std::filesystem::remove_all(data_folder_, ignored);
}

void ListsDemo::Seed() {
  if (store_->library().Count() > 0) return;
  int n = 0;
  for (const Sample& s : kSamples) {
    ++n;
    store_->library().AddMusic({{"id", std::to_string(1000 + n)},
                                {"name", s.name},
                                {"artist_name", s.artist},
                                {"album_name", s.album},
                                {"status", "2"}});
  }
  std::string favourites = store_->playlists().CreatePlaylist("我的最爱");
  for (const char* id : {"1002", "1007", "1014", "1016"})
    store_->playlists().AddItem(favourites, id);
  store_->playlists().CreatePlaylist("夜间电台");
}

gfx::Rect ListsDemo::PageTab(int page) {
  // Widths after their captions: "列表", "随便听听", "排行榜".
  switch (page) {
    case 0:
      return gfx::Rect::FromXYWH(8, 40, 38, 20);
    case 2:
      return gfx::Rect::FromXYWH(48, 40, 60, 20);
    default:
      return gfx::Rect::FromXYWH(110, 40, 48, 20);
  }
}

void ListsDemo::InitLayer() {
  AddButton(m::kTitleButton, m::kTitleButton, kWidth - 28, 6, m::kClose.x, m::kClose.y, kCloseId,
            "关闭");
  AddTextButton(gfx::Rect::FromXYWH(400, 38, 84, 20), "换一批听听", kAnotherBatchId);
  ShowControl(kAnotherBatchId, kind_ == ListKind::kRandom);
  AddList(*panel_, 38);
  AddList(*songs_, 35);
  filter_->Create();
  panel_->RefreshPanel(false);
  if (!panel_->SelectedListId()) panel_->SelectList("");
}

void ListsDemo::OnDestroy() {
  if (filter_) filter_->Destroy();
  LayerWnd::OnDestroy();
}

void ListsDemo::DrawBackground() {
  ui::lists::ListColors colours = ui::lists::ListColors::Of(*this);
  gfx::Painter p(back_buffer());
  gfx::Size size = ClientSize();
  p.FillRectSource(gfx::Rect{0, 0, size.width, size.height}, colours.row_odd);
  p.FillRectSource(gfx::Rect{0, 0, size.width, 32}, colours.selection);
  p.StrokeRect(gfx::Rect{0, 0, size.width, size.height}, colours.selection);
  gfx::TextOptions centred;
  centred.vertical_center = true;
  p.DrawText("Zelbo音乐", gfx::Font::Points("黑体", 10), colours.selection_text,
             gfx::Rect{12, 0, 300, 32}, centred);
  // The page tabs of the panel.
  const char* names[] = {"列表", "随便听听", "排行榜"};
  int pages[] = {0, 2, 3};
  for (int i = 0; i < 3; ++i) {
    gfx::Rect tab = PageTab(pages[i]);
    bool current = static_cast<int>(panel_->page()) == pages[i];
    p.FillRect(tab, current ? colours.selection : colours.row_even);
    p.StrokeRect(tab, colours.selection);
    gfx::TextOptions o = centred;
    o.align = gfx::TextAlign::kCenter;
    p.DrawText(names[i], UiFont(), current ? colours.selection_text : colours.text, tab, o);
  }
  // The title above the song list and the count below it.
  p.DrawText(title_, gfx::Font::Points("黑体", 10), colours.text,
             gfx::Rect{kSongsRect.left, 38, 396, 60}, centred);
  std::string count =
      "共 " + std::to_string(songs_->RowCount()) +
      (songs_->model().mode() == ui::lists::SongListMode::kSongs ? " 首歌曲" : " 项");
  p.DrawText(count, UiFont(), colours.second_text,
             gfx::Rect{kSongsRect.left, kSongsRect.bottom + 4, kSongsRect.right, size.height - 4},
             centred);
  p.FillRect(kPanelRect, colours.row_even);
  p.FillRect(kSongsRect, colours.row_even);
}

void ListsDemo::DrawAll() {
  LayerWnd::DrawAll();
  if (filter_ && filter_->IsCreated()) {
    filter_->CopyIntoOwner();
    filter_->DrawFrame();
  }
}

void ListsDemo::RedrawHeader() {
  if (!IsCreated()) return;
  DrawAll();
}

void ListsDemo::OnControlEvent(ui::LayerControl* control, int code) {
  if (!control) return;
  if (code == kCloseId) Close();
  if (code == kAnotherBatchId) panel_->FetchAnotherBatch();
}

void ListsDemo::OnLButtonDown(const window::MouseEvent& e) {
  for (int page : {0, 2, 3}) {
    if (PageTab(page).Contains(e.pos)) {
      panel_->SetPage(static_cast<PanelPage>(page));
      return;
    }
  }
  LayerWnd::OnLButtonDown(e);
}

void ListsDemo::OnLButtonUp(const window::MouseEvent& e) {
  songs_->OnMouseUp(e);
  LayerWnd::OnLButtonUp(e);
}

void ListsDemo::OnMouseMove(const window::MouseEvent& e) {
  LayerWnd::OnMouseMove(e);
  songs_->OnMouseMove(e);
}

void ListsDemo::OnRButtonUp(const window::MouseEvent& e) {
  if (kPanelRect.Contains(e.pos)) panel_->OnContextMenu(e.pos);
  if (kSongsRect.Contains(e.pos)) songs_->OnContextMenu(e.pos);
}

void ListsDemo::OnMouseWheel(const window::MouseEvent& e, int delta_steps) {
  if (kPanelRect.Contains(e.pos)) panel_->OnWheel(delta_steps);
  if (kSongsRect.Contains(e.pos)) songs_->OnWheel(delta_steps);
}

bool ListsDemo::OnKeyDown(const window::KeyEvent& e) {
  return songs_->OnKeyDown(e);
}

bool ListsDemo::IsDragArea(int, int y) {
  return y < 32;
}

void ListsDemo::OnMove(gfx::Point screen_origin) {
  LayerWnd::OnMove(screen_origin);
  if (panel_) panel_->FollowOwner();
}

void ListsDemo::SetListTitle(const std::string& title) {
  title_ = title;
  RedrawHeader();
}

void ListsDemo::ShowHeaderButtons(ListKind kind) {
  kind_ = kind;
  if (!IsCreated()) return;
  ShowControl(kAnotherBatchId, kind == ListKind::kRandom);
  RedrawHeader();
}

void ListsDemo::OnListScrolled(bool song_list) {
  if (song_list) RedrawHeader();
}

void ListsDemo::OnPanelPageChanged(PanelPage) {
  RedrawHeader();
}

void ListsDemo::ShowSongInfo(const store::MusicRecord& record) {
  std::printf("song info %s\n", store::IdOf(record).c_str());
}

void ListsDemo::ShowArtistInfo(const store::MusicRecord& record) {
  std::printf("artist info %s\n", store::IdOf(record).c_str());
}

void ListsDemo::OnListCommand(int command_id) {
  std::printf("command %d\n", command_id);
}

}  // namespace quillo::gallery
