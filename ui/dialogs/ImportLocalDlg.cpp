#include "ui/dialogs/ImportLocalDlg.h"

#include <chrono>
#include <cstdio>

#include "media/FolderScanner.h"
#include "media/LocalImport.h"
#include "platform/loop/MainLoop.h"
#include "platform/window/WindowSystem.h"
#include "resources/skins/SkinLayout.h"
#include "ui/toolkit/LayerWindowRegistry.h"
#include "ui/toolkit/RunModal.h"

namespace quillo::ui {
namespace kit = skin::kit;
namespace {
constexpr int kButtonBand = 40;
constexpr int kTextLeft = 20;
constexpr int kCountTop = 76;
constexpr int kStatusTop = 96;
constexpr int kLineHeight = 16;
constexpr int kSegments = ImportLocalDlg::kFrameCount;
}  // namespace

// What the scanner's thread posts reaches the dialog only while the dialog lives.
struct ImportLocalDlg::Token {
  ImportLocalDlg* dialog;
};

namespace {
// Hears the end of the walk after the import has reported its last status.
class WalkEnd : public media::ImportListener {
 public:
  explicit WalkEnd(std::function<void()> on_finished) : on_finished_(std::move(on_finished)) {}
  void Finished() override { on_finished_(); }

 private:
  std::function<void()> on_finished_;
};
}  // namespace

ImportLocalDlg::ImportLocalDlg(store::MusicLibrary& library, std::string root,
                               std::string music_folder, std::string program_folder)
    : LayerDlg(skin::kDialogFrame),
      library_(library),
      root_(std::move(root)),
      scanner_(std::make_unique<media::FolderScanner>(std::move(music_folder),
                                                      std::move(program_folder))),
      token_(std::make_shared<Token>(Token{this})) {
  SetTitle(kTitle);
  SetButtonBandHeight(kButtonBand);
  std::weak_ptr<Token> token = token_;
  // Both run on the scanner's thread: hand the news to the window thread.
  auto post = [token](std::function<void(ImportLocalDlg&)> task) {
    loop::MainLoop* loop = loop::MainLoop::Instance();
    if (!loop) return;
    loop->Post([token, task = std::move(task)] {
      if (std::shared_ptr<Token> alive = token.lock()) {
        if (alive->dialog) task(*alive->dialog);
      }
    });
  };
  import_ = std::make_unique<media::LocalImport>(library_, [post](const std::string& status) {
    post([status](ImportLocalDlg& dialog) { dialog.OnStatus(status); });
  });
  walk_end_ = std::make_unique<WalkEnd>(
      [post] { post([](ImportLocalDlg& dialog) { dialog.OnWalkFinished(); }); });
  scanner_->AddListener(import_.get());
  scanner_->AddListener(walk_end_.get());
}

ImportLocalDlg::~ImportLocalDlg() {
  token_->dialog = nullptr;
  StopWork();
  Destroy();
}

int ImportLocalDlg::Run(store::MusicLibrary& library, const std::string& root,
                        const std::string& music_folder, const std::string& program_folder,
                        LayerWnd* owner) {
  if (!owner) owner = LayerWindowRegistry::MainWindow();
  gfx::Rect around;
  if (owner && owner->IsCreated()) {
    around = owner->WindowRect();
  } else {
    owner = nullptr;
    if (window::WindowSystem* system = window::WindowSystem::Instance())
      around = system->WorkArea();
  }
  ImportLocalDlg dialog(library, root, music_folder, program_folder);
  if (!RunModal(dialog, CenteredOn(around, gfx::Size{kWidth, kHeight}), owner)) return 0;
  return dialog.count();
}

int ImportLocalDlg::count() const {
  return import_->found();
}

std::string ImportLocalDlg::status_text() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return status_;
}

std::string ImportLocalDlg::count_text() const {
  char text[64];
  std::snprintf(text, sizeof text, "已经找到%d首歌曲", count());
  return text;
}

void ImportLocalDlg::InitLayer() {
  LayerDlg::InitLayer();
  gfx::Size s = ClientSize();
  AddTextButton(gfx::Rect::FromXYWH(s.width - kMarginRight - 12 - 64,
                                    s.height - kBottomBand - kButtonBand + 10, 64, 20),
                "取消", kCancelId);
  animation_timer_.Start(std::chrono::milliseconds(kAnimationPeriodMs),
                         [this] { OnAnimationTimer(); });
  // The walk starts once the dialog exists, so every report finds it.
  if (!scanner_->running() && !finished_ && !cancelled_) scanner_->Start(root_);
}

void ImportLocalDlg::DrawFrame() {
  gfx::Painter p(back_buffer());
  gfx::Color line = SkinColor(kit::kLinePixel);
  line.a = 255;
  gfx::Color lit = SkinColor(kit::kSelectionPixel);
  lit.a = 255;
  // A row of segments with a lit run of three travelling along it, one step per frame.
  const gfx::Rect& area = kAnimationRect;
  int segment_width = (area.width() - 20) / kSegments;
  int left = area.left + (area.width() - segment_width * kSegments) / 2;
  int top = area.top + 14;
  for (int i = 0; i < kSegments; ++i) {
    gfx::Rect box = gfx::Rect::FromXYWH(left + i * segment_width + 2, top, segment_width - 4, 12);
    int distance = (i - frame_ + kSegments) % kSegments;
    if (distance < 3) {
      p.FillRect(box, lit);
    } else {
      p.StrokeRect(box, line);
    }
  }
}

void ImportLocalDlg::DrawTexts() {
  gfx::Painter p(back_buffer());
  gfx::Color label = SkinColor(kit::kLabelTextPixel);
  gfx::Size s = ClientSize();
  gfx::TextOptions options;
  options.vertical_center = true;
  options.ellipsize = true;
  int right = s.width - kMarginRight - 12;
  p.DrawText(count_text(), control_font(), label,
             gfx::Rect{kTextLeft, kCountTop, right, kCountTop + kLineHeight}, options);
  p.DrawText(status_text(), control_font(), label,
             gfx::Rect{kTextLeft, kStatusTop, right, kStatusTop + kLineHeight}, options);
}

void ImportLocalDlg::DrawBackground() {
  LayerDlg::DrawBackground();
  DrawFrame();
  DrawTexts();
}

void ImportLocalDlg::OnStatus(const std::string& status) {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    status_ = status;
  }
  if (!IsCreated()) return;
  DrawAll();
  UpdateIfDirty();
}

void ImportLocalDlg::OnWalkFinished() {
  finished_ = true;
  // A walk that ends by itself closes the dialog; a cancelled one is closing it already.
  if (!cancelled_ && IsCreated()) PostClose();
}

void ImportLocalDlg::OnAnimationTimer() {
  if (!IsCreated()) return;
  frame_ = (frame_ + 1) % kFrameCount;
  DrawAll();
  UpdateIfDirty();
}

void ImportLocalDlg::OnControlEvent(LayerControl* control, int code) {
  if (code == kCancelId) return PostClose();
  LayerDlg::OnControlEvent(control, code);
}

void ImportLocalDlg::StopWork() {
  if (!finished_) {
    cancelled_ = true;
    import_->SetCancelled();
  }
  if (scanner_->running()) scanner_->Stop();
  animation_timer_.Stop();
}

void ImportLocalDlg::OnClose() {
  StopWork();
  LayerDlg::OnClose();
}

}  // namespace quillo::ui
