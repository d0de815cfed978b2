#pragma once
// The two layouts of the main window, "normal" (326 × 538 at least) and "mini" (396 wide, 28
// high folded, 231 unfolded), as lists of control entries: every control of the window with its
// place, its skin image or caption, its tooltip for the layout and whether it starts hidden.
// Display-free; the window turns the entries into layer controls.
#include <string>
#include <vector>

#include "platform/gfx/Geometry.h"
#include "playback/PlayQueueMode.h"

namespace quillo::ui {

struct MainControlEntry {
  enum class Kind { kImage, kSlider, kCaption };
  int id = 0;
  Kind kind = Kind::kImage;
  gfx::Rect bounds;
  gfx::Point image;      // kImage, kSlider: the normal image's origin (states stacked)
  gfx::Size image_size;  // the image's size (drawn scaled to the bounds)
  gfx::Rect track;       // kSlider
  std::string caption;   // kCaption: the text drawn for it
  std::string tooltip;
  bool hidden = false;
};

// What decides the controls' initial visibility and positions.
struct MainLayoutState {
  gfx::Size size;           // the window's client size
  bool playing = false;     // pause shown instead of play
  bool muted = false;       // unmute shown instead of mute
  bool lyric_open = false;  // lyric close shown instead of open
  bool ext_open = false;    // hosted page close shown instead of open
  bool logged_in = false;   // logout shown instead of login and register
  bool list_folded = true;  // mini only
  bool phone_connected = false;
  bool phone_panel = false;      // the program has a phone panel
  bool phone_minimized = false;  // the phone panel minimised (57 shown) or expanded (56 shown)
  int phone_band = 0;            // pixels the lists give up to the phone panel (PhoneBand)
  int panel_width = 70;          // normal only: the playlist panel's width
  int volume = 80;
  playback::PlayMode play_mode = playback::PlayMode::kAllRepeat;  // the play-mode button's picture
};

class MainLayout {
 public:
  static constexpr gfx::Size kNormalMinimum{326, 538};
  static constexpr int kMiniWidth = 396;
  static constexpr int kMiniUnfoldedHeight = 231;
  static constexpr int kMiniFoldedHeight = 28;
  static constexpr int kHostedPanelWidth = 577;
  static constexpr int kVolumeTravel = 60;  // pixels the volume thumb moves
  static constexpr int kThumbSize = 10;
  // The search box (control 52), 94 × 16.
  static constexpr gfx::Size kSearchBoxSize{94, 16};

  static std::vector<MainControlEntry> Normal(const MainLayoutState& state);
  static std::vector<MainControlEntry> Mini(const MainLayoutState& state);

  // Where the search box goes in the normal layout.
  static gfx::Rect SearchBoxRect(gfx::Size size);
  // The status line's band and the time display's.
  static gfx::Rect StatusRect(gfx::Size size, bool mini);
  static gfx::Rect TimeRect(gfx::Size size, bool mini);
  // The artist picture's place (normal layout): right of the volume slider, 24 × 24.
  static gfx::Rect ArtistPictureRect();
  // The volume and seek tracks (normal layout).
  static gfx::Rect VolumeTrack();
  static gfx::Rect SeekTrack(gfx::Size size);
  // The list area: playlist panel and song list (normal), or the song list (mini, unfolded).
  static gfx::Rect PanelRect(gfx::Size size, int panel_width, int phone_band = 0);
  // The spectrum's box in the normal layout's player panel, under 登录/注册.
  static gfx::Rect SpectrumRect(gfx::Size size);
  // The skin picture (normal state; hover and pressed stacked below) of the play-mode button.
  static gfx::Point PlayModeImage(playback::PlayMode mode);
  static gfx::Rect SongListRect(gfx::Size size, int panel_width, bool mini, int phone_band = 0);
  // With a phone connected the lists end higher: 35 pixels for the device line, 30 more while
  // the phone panel is expanded. 0 without a phone.
  static int PhoneBand(bool connected, bool minimized);
  // The phone panel's place: the band under the lists, above the bottom buttons.
  static gfx::Rect PhonePanelRect(gfx::Size size, int phone_band);
  // The song list's header (normal layout): the band above the song list, beside the panel's
  // heading row, with the shown list's title (29) and the arrow of its menu (30).
  static gfx::Rect ListHeaderRect(gfx::Size size, int panel_width);
  static constexpr int kListHeaderHeight = 20;

  // Whether a playlist panel this wide carries its scroll bar (38–40) inside its right edge;
  // a narrower one shows its rows alone.
  static bool HasPanelScrollBar(int panel_width) { return panel_width >= kPanelScrollBarMinimum; }
  static constexpr int kPanelScrollBarMinimum = 40;
  // The playlist panel's width clamped to 0 … window width − 100.
  static int ClampPanelWidth(int width, int window_width);
  // Whether a press at p grabs the splitter: the 6-pixel band at the playlist panel's right
  // edge over the list area, except the 29 pixels in its middle where the buttons 27/28 are.
  static bool IsSplitterBand(gfx::Point p, gfx::Size size, int panel_width);
  // Where a press may drag the window.
  static bool IsDragArea(gfx::Point p, gfx::Size size, bool mini);

  // Volume ↔ thumb: the thumb's offset along its travel, and the volume an offset stands for
  // (round(100 × offset / travel)).
  static int ThumbOffsetForVolume(int volume, int travel_px);
  static int VolumeForThumbOffset(int offset_px, int travel_px);
  // The seek position for a thumb offset: length × offset / travel.
  static int PositionForThumbOffset(int length_ms, int offset_px, int travel_px);
  static int ThumbOffsetForPosition(int position_ms, int length_ms, int travel_px);

  // The tooltip of a control in a layout, "" when it has none.
  static std::string Tooltip(int id, bool mini);
};

}  // namespace quillo::ui
