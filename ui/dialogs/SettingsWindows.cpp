#include "ui/dialogs/SettingsWindows.h"

#include "platform/gfx/FontFamilySource.h"
#include "platform/window/WindowSystem.h"
#include "playback/MediaPlayer.h"
#include "ui/dialogs/BalanceDlg.h"
#include "ui/dialogs/NewConfigDlg.h"
#include "ui/dialogs/NewConfigTree.h"
#include "ui/main/SorvelMainDlg.h"

namespace quillo::ui {

SettingsWindows::SettingsWindows(Parts parts) : parts_(std::move(parts)), target_(parts_.loop) {}

SettingsWindows::~SettingsWindows() = default;

gfx::Rect SettingsWindows::MainRect() const {
  LayerWnd* main = parts_.main_window ? parts_.main_window() : nullptr;
  return main && main->IsCreated() && main->IsVisible() ? main->WindowRect() : gfx::Rect{};
}

gfx::Rect SettingsWindows::SettingsPlace() const {
  // The dialog centres on the main window, or on the desktop while the window is in its mini
  // layout.
  const auto* main = dynamic_cast<const SorvelMainDlg*>(
      parts_.main_window ? parts_.main_window() : nullptr);
  return main && main->mini() ? gfx::Rect{} : MainRect();
}

void SettingsWindows::ShowSettingsDialog(int page) {
  if (settings_ && settings_->IsCreated()) {
    if (page != 0) settings_->SelectPage(page);
    settings_->Show();
    settings_->BringToFront();
    return;
  }
  NewConfigDlg::Services services{
      parts_.store,
      parts_.fonts ? parts_.fonts->Families() : std::vector<std::string>{},
      parts_.autorun_registered && parts_.autorun_registered(),
      FolderQuestions{},
      parts_.effects,
      parts_.chooser,
      [this] {
        // Released from the loop: the dialog's own handler is still on the stack.
        if (settings_) closed_.push_back(std::move(settings_));
        target_.Post([this] { closed_.clear(); });
      }};
  settings_ = std::make_unique<NewConfigDlg>(std::move(services), page);
  if (!settings_->Create(settings_->InitialRect(SettingsPlace()), nullptr)) settings_.reset();
}

void SettingsWindows::ShowEqualizer() {
  if (equalizer_ && equalizer_->IsCreated()) {
    equalizer_->Show();
    equalizer_->BringToFront();
    return;
  }
  playback::MediaPlayer& player = parts_.player;
  BalanceDlg::Parts parts{player.equalizer_gains(),
                          presets_,
                          parts_.store,
                          [&player](const playback::EqualizerGains&) { player.ApplyEqualizer(); },
                          [&player] { return player.GetBalance(); },
                          [&player](int balance) { player.SetBalance(balance); },
                          [this] {
                            if (equalizer_) closed_.push_back(std::move(equalizer_));
                            target_.Post([this] { closed_.clear(); });
                          },
                          {}, {}, {}, {}};
  // The equaliser is one of the main window's attached windows.
  auto main = [this]() -> SorvelMainDlg* {
    return dynamic_cast<SorvelMainDlg*>(parts_.main_window ? parts_.main_window() : nullptr);
  };
  if (main()) {
    parts.attach = [main](AttachableWindow& w) {
      if (SorvelMainDlg* m = main()) m->attached().AttachWindow(w, m->WindowRect());
    };
    parts.detach = [main](AttachableWindow& w) {
      if (SorvelMainDlg* m = main()) m->attached().DetachWindow(w);
    };
    parts.note_move_start = [main](AttachableWindow& w, gfx::Point grab) {
      if (SorvelMainDlg* m = main()) m->attached().NoteMoveStart(w, grab);
    };
    parts.moving = [main](AttachableWindow& w, const gfx::Rect& proposed) {
      SorvelMainDlg* m = main();
      if (!m) return proposed;
      window::WindowSystem* system = window::WindowSystem::Instance();
      const gfx::Point cursor = system ? system->CursorPosition() : gfx::Point{};
      return m->attached().OnAttachedMoving(w, m->WindowRect(), proposed, cursor);
    };
  }
  equalizer_ = std::make_unique<BalanceDlg>(std::move(parts));
  if (!equalizer_->Create(equalizer_->InitialRect(MainRect()), nullptr)) equalizer_.reset();
}

}  // namespace quillo::ui
