// quillo-ui-gallery: opens each message box, popup and control kind of the skinned toolkit with
// sample content, for review and for tests.
//   --list                 prints the names
//   --show NAME            opens one and waits until it is closed
//   --screenshot NAME FILE writes a PNG of its back buffer (with its alpha) and exits
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <thread>

#include "DownloadsDemo.h"
#include "GalleryDemos.h"
#include "ListsDemo.h"
#include "MainDialogDemos.h"
#include "platform/loop/MainLoop.h"
#include "platform/shell/ProcessInfo.h"
#include "platform/window/WindowSystem.h"
#include "ui/dialogs/AlertMessageBoxDlg.h"
#include "ui/dialogs/AskOnExitDlg.h"
#include "ui/dialogs/ColorPicker.h"
#include "ui/dialogs/ConfirmMessageBoxDlg.h"
#include "ui/dialogs/CopyDeviceConfirmDlg.h"
#include "ui/dialogs/MusicTipDlg.h"
#include "ui/dialogs/OpenDeviceLoadingDlg.h"
#include "ui/dialogs/PromptMessageBoxDlg.h"
#include "ui/dialogs/SelectMessageBoxDlg.h"
#include "ui/dialogs/VolumeAdjustPopup.h"
#include "ui/lists/FileListView.h"
#include "ui/lists/FilterEdit.h"
#include "ui/lists/PlaylistView.h"
#include "ui/toolkit/RunModal.h"
#include "ui/toolkit/ThemeStyle.h"
#include "ui/toolkit/UiRuntime.h"

namespace {
using namespace quillo;
using ui::LayerWnd;

class MemoryThemeConfig : public ui::ThemeConfig {
 public:
  int GetInt(std::string_view key, int fallback) const override {
    auto it = values_.find(std::string(key));
    return it == values_.end() ? fallback : it->second;
  }
  void SetInt(std::string_view key, int value) override { values_[std::string(key)] = value; }

 private:
  std::map<std::string, int> values_;
};

class SampleVolume : public ui::VolumeControl {
 public:
  int Volume() const override { return volume_; }
  void SetVolume(int volume) override {
    volume_ = volume;
    std::printf("volume %d\n", volume);
  }

 private:
  int volume_ = 65;
};

// One opened gallery item: the window whose back buffer is shown, and whether it still lives.
struct Opened {
  std::function<LayerWnd*()> window;
  std::function<bool()> ready = [] { return true; };
  std::function<void()> finish = [] {};
};

struct Samples {
  MemoryThemeConfig theme;
  SampleVolume volume;
  std::unique_ptr<LayerWnd> window;
  std::unique_ptr<ui::VolumeAdjustPopup> volume_popup;
  std::unique_ptr<gallery::MainDialogDemo> main_dialog;
  std::atomic<bool> release_worker{false};
};

gfx::Rect Centered(gfx::Size size) {
  return ui::CenteredOn(window::WindowSystem::Instance()->WorkArea(), size);
}

template <typename Box, typename... Args>
Opened OpenBox(Samples& s, Args&&... args) {
  auto box = std::make_unique<Box>(std::forward<Args>(args)...);
  box->Layout();
  box->Create(Centered(box->size()), nullptr);
  Box* raw = box.get();
  s.window = std::move(box);
  Opened o;
  o.window = [raw] { return raw->IsCreated() ? raw : nullptr; };
  return o;
}

Opened OpenItem(const std::string& name, Samples& s) {
  const std::string kCaption = ui::LayerMessageBoxDlg::kCaption;
  if (name == "alert") {
    return OpenBox<ui::AlertMessageBoxDlg>(
        s, kCaption, "歌曲“后来”已经添加到下载列表，下载完成后可以在“本地音乐”中找到。");
  }
  if (name == "confirm")
    return OpenBox<ui::ConfirmMessageBoxDlg>(s, kCaption, "确定要删除选中的3首歌曲吗？");
  if (name == "prompt") {
    Opened o = OpenBox<ui::PromptMessageBoxDlg>(s, kCaption, "请输入新播放列表的名称：",
                                                std::optional<std::string>("新建播放列表"));
    auto* box = static_cast<ui::PromptMessageBoxDlg*>(s.window.get());
    o.ready = [box] { return box->edit().CopyIntoOwner(); };
    return o;
  }
  if (name == "select") {
    return OpenBox<ui::SelectMessageBoxDlg>(
        s, kCaption, "请选择要添加到的播放列表：",
        std::vector<std::string>{"我的最爱", "华语经典", "夜间电台"}, "华语经典");
  }
  if (name == "askonexit") return OpenBox<ui::AskOnExitDlg>(s);
  if ((s.main_dialog = gallery::OpenMainDialogDemo(name))) {
    gallery::MainDialogDemo* demo = s.main_dialog.get();
    Opened o{[demo] { return demo->window(); }};
    o.ready = [demo] { return demo->ready(); };
    return o;
  }
  if (name == "colorpicker") {
    ui::ColorPicker::SetStyleHandler([&s](int style) {
      ui::ThemeStyle::Apply(style, s.theme, ui::SkinManager::Instance());
      std::printf("theme style %d\n", style);
    });
    gfx::Rect at = Centered(gfx::Size{ui::ColorPicker::kWidth, ui::ColorPicker::kHeight});
    ui::ColorPicker::Show(at.left, at.top, nullptr);
    return Opened{[] { return static_cast<LayerWnd*>(ui::ColorPicker::Current()); }};
  }
  if (name == "volume") {
    s.volume_popup = std::make_unique<ui::VolumeAdjustPopup>(nullptr, s.volume);
    ui::VolumeAdjustPopup* popup = s.volume_popup.get();
    popup->Create(
        Centered(gfx::Size{ui::VolumeAdjustPopup::kWidth, ui::VolumeAdjustPopup::kHeight}),
        nullptr);
    return Opened{[popup] { return popup->IsCreated() ? static_cast<LayerWnd*>(popup) : nullptr; }};
  }
  if (name == "deviceloading") {
    auto dialog = std::make_unique<ui::OpenDeviceLoadingDlg>(
        "正在读取歌曲信息\n请稍候...", [&s](ui::OpenDeviceLoadingDlg& d) {
          for (int i = 0; i < 50 && !s.release_worker; ++i) {
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
          }
          d.Finish();
        });
    dialog->Create(
        Centered(gfx::Size{ui::OpenDeviceLoadingDlg::kWidth, ui::OpenDeviceLoadingDlg::kHeight}),
        nullptr);
    auto* raw = dialog.get();
    s.window = std::move(dialog);
    Opened o{[raw] { return raw->IsCreated() ? static_cast<LayerWnd*>(raw) : nullptr; }};
    o.finish = [&s] { s.release_worker = true; };
    return o;
  }
  if (name == "copyconfirm") {
    std::vector<std::string> names;
    const char* songs[] = {"后来 - 刘若英", "晴天 - 周杰伦",   "Yesterday - The Beatles",
                           "红豆 - 王菲",   "平凡之路 - 朴树", "光辉岁月 - Beyond"};
    for (int i = 0; i < 24; ++i) names.push_back(songs[i % 6]);
    auto dialog = std::make_unique<ui::CopyDeviceConfirmDlg>(names);
    dialog->Create(
        Centered(gfx::Size{ui::CopyDeviceConfirmDlg::kWidth, ui::CopyDeviceConfirmDlg::kHeight}),
        nullptr);
    auto* raw = dialog.get();
    s.window = std::move(dialog);
    return Opened{[raw] { return raw->IsCreated() ? static_cast<LayerWnd*>(raw) : nullptr; }};
  }
  if (name == "songtip") {
    gfx::Rect at = Centered(gfx::Size{260, ui::MusicTipDlg::kHeight});
    int width = ui::SongTipWidth({"后来", "刘若英", "我等你"});
    ui::ShowSongTip(at.left, at.top, width, "后来", "刘若英", "我等你", false, nullptr);
    Opened o{[] { return static_cast<LayerWnd*>(ui::MusicTipDlg::Current()); }};
    o.ready = [] { return ui::MusicTipDlg::Current() && ui::MusicTipDlg::Current()->IsVisible(); };
    return o;
  }
  if (name == "button" || name == "slider" || name == "mainskin") {
    auto demo = std::make_unique<gallery::MainSkinDemo>(name != "slider", name != "button");
    demo->Create(Centered(gfx::Size{326, 538}), nullptr, window::WindowKind::kMain);
    auto* raw = demo.get();
    s.window = std::move(demo);
    return Opened{[raw] { return raw->IsCreated() ? static_cast<LayerWnd*>(raw) : nullptr; }};
  }
  if (name == "lists" || name == "lists-artists" || name == "lists-filter") {
    // A data folder of its own, removed with the demo; lists come from QUILLO_GALLERY_SERVICE.
    std::string folder =
        (std::filesystem::temp_directory_path() /
         ("quillo-gallery-lists-" + std::to_string(shell::CurrentProcessId()) + "/"))
            .string();
    std::filesystem::create_directories(folder);
    const char* service = std::getenv("QUILLO_GALLERY_SERVICE");
    auto demo = std::make_unique<gallery::ListsDemo>(folder, service ? service : "", true);
    demo->Create(Centered(gfx::Size{gallery::ListsDemo::kWidth, gallery::ListsDemo::kHeight}),
                 nullptr, window::WindowKind::kMain);
    auto* raw = demo.get();
    if (name == "lists-artists") raw->panel().HandleCommand(33083);
    if (name == "lists-filter") {
      raw->filter().SetText("zjl");
      raw->filter().FireNow();
    }
    s.window = std::move(demo);
    Opened o{[raw] { return raw->IsCreated() ? static_cast<LayerWnd*>(raw) : nullptr; }};
    o.ready = [raw] { return raw->filter().CopyIntoOwner(); };
    return o;
  }
  if (name == "downloads") {
    // A data folder of its own, removed with the demo; downloads come from
    // QUILLO_GALLERY_SERVICE (without it the sample songs wait).
    std::string folder =
        (std::filesystem::temp_directory_path() /
         ("quillo-gallery-downloads-" + std::to_string(shell::CurrentProcessId()) + "/"))
            .string();
    std::filesystem::create_directories(folder);
    const char* service = std::getenv("QUILLO_GALLERY_SERVICE");
    auto demo = gallery::DownloadsDemo::WithSampleStore(folder, service ? service : "");
    demo->Create(Centered(gfx::Size{gallery::DownloadsDemo::kWidth, gallery::DownloadsDemo::kHeight}),
                 nullptr);
    auto* raw = demo.get();
    if (raw->tab()) raw->tab()->Show(true);
    s.window = std::move(demo);
    return Opened{[raw] { return raw->IsCreated() ? static_cast<LayerWnd*>(raw) : nullptr; }};
  }
  static const char* kKitKinds[] = {"textbutton", "dropdown", "checkbox", "radio",
                                    "label",      "list",     "edit",     "dialog"};
  for (const char* kind : kKitKinds) {
    if (name != kind) continue;
    auto demo = std::make_unique<gallery::KitDemo>(name);
    demo->Create(Centered(gfx::Size{300, 220}), nullptr);
    auto* raw = demo.get();
    s.window = std::move(demo);
    Opened o{[raw] { return raw->IsCreated() ? static_cast<LayerWnd*>(raw) : nullptr; }};
    if (name == "edit") o.ready = [raw] { return raw->edit() && raw->edit()->CopyIntoOwner(); };
    return o;
  }
  return Opened{};
}

const char* kNames[] = {"alert",         "confirm",     "prompt",        "select",      "askonexit",
                        "colorpicker",   "volume",      "deviceloading", "copyconfirm", "songtip",
                        "button",        "slider",      "textbutton",    "list",        "dropdown",
                        "checkbox",      "radio",       "label",         "edit",        "dialog",
                        "mainskin",      "login",       "loginloading",  "importlocal", "lists",
                        "lists-artists", "lists-filter", "downloads"};

int Usage() {
  std::fprintf(stderr, "usage: quillo-ui-gallery --list | --show NAME | --screenshot NAME FILE\n");
  return 2;
}
}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) return Usage();
  std::string mode = argv[1];
  if (mode == "--list") {
    for (const char* name : kNames) std::printf("%s\n", name);
    return 0;
  }
  if ((mode != "--show" || argc != 3) && (mode != "--screenshot" || argc != 4)) return Usage();
  std::unique_ptr<ui::UiRuntime> runtime = ui::UiRuntime::Start(&argc, &argv);
  if (!runtime) {
    std::fprintf(stderr, "quillo-ui-gallery: cannot open the display\n");
    return 1;
  }
  int status = 0;
  {
    Samples samples;
    Opened opened = OpenItem(argv[2], samples);
    if (!opened.window || !opened.window()) {
      std::fprintf(stderr, "quillo-ui-gallery: no item named %s\n", argv[2]);
      return 2;
    }
    loop::MainLoop& loop = runtime->loop();
    if (mode == "--show") {
      // The modal loop blocks in the window system; no polling while idle.
      window::WindowSystem::Instance()->RunNested([&] { return opened.window() == nullptr; });
    } else {
      bool ready = loop.PumpUntil(opened.ready, std::chrono::seconds(10));
      LayerWnd* window = opened.window();
      if (!ready || !window) {
        std::fprintf(stderr, "quillo-ui-gallery: %s did not come up\n", argv[2]);
        status = 1;
      } else if (!window->back_buffer().WritePng(argv[3])) {
        std::fprintf(stderr, "quillo-ui-gallery: cannot write %s\n", argv[3]);
        status = 1;
      }
    }
    opened.finish();
    if (LayerWnd* window = opened.window()) window->Destroy();
    loop.PumpUntil([] { return false; }, std::chrono::milliseconds(50));
  }
  return status;
}
