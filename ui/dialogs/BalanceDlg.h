#pragma once
// The equaliser "均衡器" (skin 187): the balance slider (0) labelled "平衡", the labels "低音" (1)
// and "环绕" (2), the ten band sliders (3 … 12, +12 dB at the top, -12 dB at the bottom), the
// on/off button (13, "禁用" while on, "开启" while off), "重置" (14), the linked toggle "连动"
// (15) and the preset selector (16) with its list of fourteen names. The rules are
// EqualizerModel's; the dialog moves knobs and forwards. Every change is saved and reaches the
// player's current graph (the player applies the same gains to every later graph).
//
// While it is off only button 13 reacts. While it exists it is one of the main window's attached
// windows: it follows the main window and snaps to it while dragged by its frame (it moves with
// the pointer itself, so that every step can snap). Window thread; the gains, the presets, the
// store and the hooks outlive the dialog.
#include <functional>
#include <memory>
#include <optional>
#include <string_view>

#include "playback/EqualizerModel.h"
#include "ui/main/AttachedWindows.h"
#include "ui/toolkit/LayerDlg.h"

namespace quillo::ui {

class LayerListPopup;

class BalanceDlg : public LayerDlg, public AttachableWindow {
 public:
  static constexpr int kWidth = 340;
  static constexpr int kHeight = 222;
  static constexpr std::string_view kTitle = "均衡器";
  static constexpr std::string_view kRectName = "BalanceDlg";
  static constexpr int kBalance = 0;
  static constexpr int kBassLabel = 1;
  static constexpr int kSurroundLabel = 2;
  static constexpr int kFirstBand = 3;
  static constexpr int kOnOff = 13;
  static constexpr int kReset = 14;
  static constexpr int kLinked = 15;
  static constexpr int kPreset = 16;
  static constexpr int kBandTop = 72;      // a knob at +12 dB
  static constexpr int kBalanceLeft = 36;  // the balance knob at -100
  static constexpr int kBalanceWidth = 61;

  struct Parts {
    playback::EqualizerGains& gains;
    playback::EqualizerPresets& presets;
    store::DocumentStore& store;
    // The player's ApplyEqualizer on its current graph.
    std::function<void(const playback::EqualizerGains&)> apply;
    // The player's balance, -100 … 100.
    std::function<int()> balance;
    std::function<void(int)> set_balance;
    // Runs once the dialog has been destroyed.
    std::function<void()> on_closed;
    // The main window's attached windows; each may be empty (no main window).
    std::function<void(AttachableWindow&)> attach;
    std::function<void(AttachableWindow&)> detach;
    std::function<void(AttachableWindow&, gfx::Point grab)> note_move_start;
    std::function<gfx::Rect(AttachableWindow&, const gfx::Rect& proposed)> moving;
  };

  explicit BalanceDlg(Parts parts);
  ~BalanceDlg() override;

  // The saved "BalanceDlg" rectangle, else beside `next_to` (the work area's middle when empty).
  gfx::Rect InitialRect(const gfx::Rect& next_to) const;

  playback::EqualizerModel& model() { return model_; }
  // The band slider's left edge, and the knob's top for a band.
  static int BandLeft(int band) { return 40 + band * 28; }
  int KnobTop(int band) const { return kBandTop + model_.knobs()[std::size_t(band)]; }
  // Chooses preset `index` as the popup's answer does.
  void ChoosePreset(int index);

  void InitLayer() override;
  void DrawBackground() override;
  void DrawControl(LayerControl& control) override;
  void OnControlEvent(LayerControl* control, int code) override;
  void OnSliderMove(LayerControl& control) override;
  void OnSliderRelease(LayerControl& control) override;
  void OnClose() override;
  void OnDestroy() override;
  void OnLButtonDown(const window::MouseEvent& e) override;
  void OnMouseMove(const window::MouseEvent& e) override;
  void OnLButtonUp(const window::MouseEvent& e) override;
  void OnCaptureLost() override;
  // AttachableWindow
  gfx::Rect AttachedRect() const override { return WindowRect(); }
  void MoveAttachedTo(gfx::Point top_left) override;

 private:
  // Knobs, the selector's text and the on/off caption follow the model.
  void SyncControls();
  void OpenPresetList();
  void SetBalanceFromKnob(const LayerControl& knob);

  Parts parts_;
  playback::EqualizerModel model_;
  std::unique_ptr<LayerListPopup> preset_list_;
  std::optional<gfx::Point> move_grab_;
  bool attached_ = false;
};

}  // namespace quillo::ui
