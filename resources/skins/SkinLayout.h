#pragma once
// Where every piece of every skin image lies. The skin generator (SkinArt.cpp) draws the pieces
// at these rectangles and the windows cut them out from the same ones, so this file is the only
// place a position is written down.
#include "platform/gfx/Geometry.h"

namespace quillo::skin {

using gfx::Point;
using gfx::Rect;

// Resource numbers of the skin images.
inline constexpr int kDialogFrame = 173;
inline constexpr int kLyricWindow = 176;
inline constexpr int kVolumePopup = 178;
inline constexpr int kColorPicker = 180;
inline constexpr int kLogin = 182;
inline constexpr int kLoginLoading = 183;
inline constexpr int kMessageBox = 184;
inline constexpr int kSettings = 185;
inline constexpr int kPalette = 186;
inline constexpr int kEqualizer = 187;
inline constexpr int kNetworkError = 193;
inline constexpr int kMainFirst = 194;  // 194 + theme style 0 … 8
inline constexpr int kStyleCount = 9;
inline constexpr int kDeviceLoading = 212;
inline constexpr int kLyricBar = 213;

// ---- The dialog kit: drawn into every dialog skin (173, 182, 184, 185) at the same place ----
namespace kit {
// Frame template: a 44 × 60 dialog cut into nine pieces.
inline constexpr Rect kTitleLeft{0, 0, 12, 28};
inline constexpr Rect kTitleMiddle{12, 0, 32, 28};
inline constexpr Rect kTitleRight{32, 0, 44, 28};
inline constexpr Rect kSideLeft{0, 28, 7, 48};
inline constexpr Rect kBody{7, 28, 37, 48};
inline constexpr Rect kSideRight{37, 28, 44, 48};
inline constexpr Rect kBottomLeft{0, 48, 12, 60};
inline constexpr Rect kBottomMiddle{12, 48, 32, 60};
inline constexpr Rect kBottomRight{32, 48, 44, 60};
// Button band: a separator row over a fill, between two side pieces.
inline constexpr Rect kBandSideLeft{0, 64, 7, 94};
inline constexpr Rect kBandLine{7, 64, 37, 65};
inline constexpr Rect kBandFill{7, 65, 37, 94};
inline constexpr Rect kBandSideRight{37, 64, 44, 94};
inline constexpr Rect kGrip{48, 48, 58, 58};
// Close button of LayerDlg, 24 × 21, states stacked: normal, hover, pressed.
inline constexpr Point kCloseButton{64, 0};
inline constexpr int kCloseWidth = 24;
inline constexpr int kCloseHeight = 21;
// Text button (kind 2): 4-pixel ends and a stretched middle, 20 high; states stacked.
inline constexpr int kTextButtonX = 96;
inline constexpr int kTextButtonEnd = 4;
inline constexpr int kTextButtonWidth = 28;
inline constexpr int kTextButtonHeight = 20;
// Drop-down field (kind 4): 6-pixel left end, stretched middle, 18-pixel arrow end.
inline constexpr int kDropDownX = 128;
inline constexpr int kDropDownLeft = 6;
inline constexpr int kDropDownArrow = 18;
inline constexpr int kDropDownWidth = 40;
inline constexpr int kDropDownHeight = 20;
// Check box (kind 5) and radio button (kind 6): 13 × 13, columns clear / checked, rows normal,
// hover, pressed.
inline constexpr int kToggleSize = 13;
inline constexpr Point kCheckBox{172, 0};
inline constexpr Point kRadio{200, 0};
// Scroll bar parts, 12 wide, states stacked.
inline constexpr int kScrollWidth = 12;
inline constexpr Point kScrollUp{232, 0};      // 12 × 12
inline constexpr Point kScrollDown{244, 0};    // 12 × 12
inline constexpr Point kScrollThumb{256, 0};   // 12 × 24 with 4-pixel ends
inline constexpr int kScrollThumbHeight = 24;
inline constexpr int kScrollThumbEnd = 4;
inline constexpr Rect kScrollTrack{268, 0, 280, 24};
// Colour samples (text and line colours are read from these pixels).
inline constexpr Point kTitleTextPixel{300, 4};
inline constexpr Point kBodyPixel{300, 12};
inline constexpr Point kLabelTextPixel{300, 20};
inline constexpr Point kButtonTextPixel{300, 28};
inline constexpr Point kLinePixel{300, 36};
inline constexpr Point kSelectionPixel{300, 44};
inline constexpr Point kSelectionTextPixel{300, 52};
inline constexpr Point kRowEvenPixel{300, 60};
inline constexpr Point kRowOddPixel{300, 68};
inline constexpr int kWidth = 330;
inline constexpr int kHeight = 100;
}  // namespace kit

// ---- 173: the dialog frame -----------------------------------------------------------------
namespace frame {
inline constexpr Point kTipCaptionPixel{14, 509};
inline constexpr Point kTipValuePixel{172, 328};
inline constexpr int kWidth = 330;
inline constexpr int kHeight = 512;
}  // namespace frame

// ---- 184: message boxes ---------------------------------------------------------------------
namespace message {
inline constexpr Point kCloseNormal{4, 171};
inline constexpr Point kCloseHover{24, 171};
inline constexpr Point kClosePressed{44, 171};
inline constexpr int kCloseSize = 18;
inline constexpr Point kMessageTextPixel{325, 15};
inline constexpr Point kFillPixel{325, 50};
inline constexpr int kWidth = 330;
inline constexpr int kHeight = 192;
}  // namespace message

// ---- 176: the lyric window: the dialog kit and its title-bar buttons, states stacked ----------
namespace lyricdlg {
inline constexpr Point kOnTop{0, 100};       // 23 × 21: "总在最前"
inline constexpr Point kNotOnTop{24, 100};   // 23 × 21: "取消总在最前"
inline constexpr Point kToDesktop{48, 100};  // 25 × 21: "跳转到桌面歌词"
inline constexpr Point kClose{74, 100};      // 23 × 21: "关闭窗口"
inline constexpr int kButtonWidth = 23;
inline constexpr int kDesktopWidth = 25;
inline constexpr int kButtonHeight = 21;
inline constexpr int kWidth = 330;
inline constexpr int kHeight = 100 + 3 * kButtonHeight;
}  // namespace lyricdlg

// ---- 178: volume popup ------------------------------------------------------------------------
namespace volume {
inline constexpr Rect kBackground{400, 1, 480, 17};
inline constexpr Rect kTrack{565, 1169, 635, 1179};
inline constexpr Rect kTrackFill{565, 1202, 635, 1206};
inline constexpr Point kThumb{645, 1169};  // 10 × 10, states stacked
inline constexpr int kThumbSize = 10;
inline constexpr int kWidth = 660;
inline constexpr int kHeight = 1212;
}  // namespace volume

// ---- 180: theme colour picker -----------------------------------------------------------------
namespace picker {
inline constexpr Rect kBackground{0, 0, 252, 76};
inline constexpr int kPresetSize = 28;
inline constexpr int kStateOffset = 175;  // hover and pressed images lie this much lower
inline constexpr Point kPresets[kStyleCount] = {{8, 9},   {8, 39},   {38, 39},  {68, 39}, {98, 39},
                                                {128, 39}, {158, 39}, {188, 39}, {218, 39}};
inline constexpr int kWidth = 252;
inline constexpr int kHeight = 252;
}  // namespace picker

// ---- 185: the settings dialog: the dialog kit and the pieces below it ----------------------
namespace settings {
// Tree rows, states stacked: normal, hover, open (group) or selected (page).
inline constexpr Point kGroupHeader{0, 110};  // 114 × 30
inline constexpr int kGroupWidth = 114;
inline constexpr int kGroupHeight = 30;
inline constexpr Point kPageRow{120, 110};  // 116 × 22
inline constexpr int kPageWidth = 116;
inline constexpr int kPageHeight = 22;
// The count sliders: a 192 × 17 track and a 13 × 17 thumb (states stacked).
inline constexpr Rect kSliderTrack{0, 210, 192, 227};
inline constexpr Point kSliderThumb{200, 210};
inline constexpr int kThumbWidth = 13;
inline constexpr int kThumbHeight = 17;
// Minus and plus buttons, 20 × 20, states stacked.
inline constexpr Point kMinus{220, 210};
inline constexpr Point kPlus{244, 210};
inline constexpr int kStepButton = 20;
// The messenger preview pictures: sending off, the song's name, the lyric line.
inline constexpr Rect kMsnOff{0, 280, 220, 340};
inline constexpr Rect kMsnName{0, 340, 220, 400};
inline constexpr Rect kMsnLyric{0, 400, 220, 460};
inline constexpr Point kSectionLinePixel{300, 76};
inline constexpr Point kTreeBackPixel{300, 84};
inline constexpr int kWidth = 330;
inline constexpr int kHeight = 460;
}  // namespace settings

// ---- 186: colour palette of the settings dialog ------------------------------------------------
// 18 × 18 cells on a 19-pixel pitch, 8 per row from x 5: a row at y 5, one at y 28 and six
// at y 51 + 18 k. Each cell's hover image lies kHoverOffset lower.
namespace palette {
inline constexpr int kCell = 18;
inline constexpr int kPitch = 19;
inline constexpr int kColumns = 8;
inline constexpr int kRows = 8;
inline constexpr int kLeft = 5;
inline constexpr int kHoverOffset = 164;
inline constexpr int kWidth = 161;
inline constexpr int kHeight = 164;
inline constexpr int kImageHeight = 2 * kHeight;
constexpr int RowTop(int row) { return row == 0 ? 5 : row == 1 ? 28 : 51 + 18 * (row - 2); }
constexpr Rect CellRect(int cell) {
  return Rect::FromXYWH(kLeft + (cell % kColumns) * kPitch, RowTop(cell / kColumns), kCell, kCell);
}
// The cell under a point of the palette, or -1.
constexpr int CellAt(Point p) {
  for (int cell = 0; cell < kColumns * kRows; ++cell) {
    const Rect r = CellRect(cell);
    if (p.x >= r.left && p.x < r.right && p.y >= r.top && p.y < r.bottom) return cell;
  }
  return -1;
}
// The pixel that holds a cell's colour: its centre.
constexpr Point CellPixel(int cell) {
  const Rect r = CellRect(cell);
  return Point{r.left + kCell / 2, r.top + kCell / 2};
}
}  // namespace palette

// ---- 187: the equaliser: the dialog kit and its slider pieces --------------------------------
namespace equalizer {
inline constexpr Rect kBandTrack{0, 110, 6, 180};  // 6 × 70, stretched over a band's travel
inline constexpr Point kBandKnob{10, 110};         // 14 × 10, states stacked
inline constexpr int kBandKnobWidth = 14;
inline constexpr int kBandKnobHeight = 10;
inline constexpr Rect kBalanceTrack{30, 110, 101, 116};  // 71 × 6
inline constexpr Point kBalanceKnob{110, 110};           // 10 × 12, states stacked
inline constexpr int kBalanceKnobWidth = 10;
inline constexpr int kBalanceKnobHeight = 12;
inline constexpr int kWidth = 330;
inline constexpr int kHeight = 150;
}  // namespace equalizer

// ---- 183 and 212: waiting pictures, 213 × 47 --------------------------------------------------
namespace waiting {
inline constexpr int kWidth = 213;
inline constexpr int kHeight = 47;
inline constexpr Point kTextOrigin{80, 10};
}  // namespace waiting

// ---- 193: the page shown when a hosted page cannot load, 380 × 100 --------------------------
namespace network_error {
inline constexpr int kWidth = 380;
inline constexpr int kHeight = 100;
}  // namespace network_error

// ---- 194 … 202: main window skins, one per theme style ---------------------------------------
namespace main {
inline constexpr Rect kBackground{0, 0, 326, 538};
inline constexpr Rect kMiniBackground{0, 560, 400, 791};  // mini layout, unfolded
// Buttons: states stacked (normal, hover, pressed) from these origins.
inline constexpr int kTitleButton = 20;  // square
inline constexpr Point kMinimize{340, 0};
inline constexpr Point kMiniMode{360, 0};
inline constexpr Point kClose{380, 0};
inline constexpr Point kSettings{400, 0};
inline constexpr Point kColor{420, 0};
inline constexpr Point kFolder{440, 0};
inline constexpr Point kLyricOpen{460, 0};
inline constexpr Point kLyricClose{480, 0};
inline constexpr Point kListOpen{500, 0};
inline constexpr Point kListClose{520, 0};
inline constexpr int kTransportButton = 32;
inline constexpr Point kPrevious{340, 70};
inline constexpr Point kPlay{372, 70};
inline constexpr Point kPause{404, 70};
inline constexpr Point kNext{436, 70};
inline constexpr int kSmallButton = 16;
inline constexpr Point kMute{470, 70};
inline constexpr Point kUnmute{486, 70};
// The mini layout's volume popup buttons (open, close), 16 × 16.
inline constexpr Point kVolumeOpen{502, 70};
inline constexpr Point kVolumeClose{518, 70};
inline constexpr Rect kSeekTrack{340, 180, 540, 186};
inline constexpr Rect kSeekFill{340, 190, 540, 196};
inline constexpr Point kSeekThumb{550, 178};  // 10 × 10, states stacked
inline constexpr Rect kVolumeTrack{340, 220, 420, 224};
inline constexpr Rect kVolumeFill{340, 228, 420, 232};
inline constexpr Point kVolumeThumb{430, 218};  // 10 × 10, states stacked
inline constexpr int kThumbSize = 10;
inline constexpr Point kScrollUp{340, 260};     // 12 × 12, states stacked
inline constexpr Point kScrollDown{352, 260};   // 12 × 12
inline constexpr Point kScrollThumb{364, 260};  // 12 × 24, states stacked
inline constexpr Rect kScrollTrack{376, 260, 388, 284};
// The play-mode button of the tool bar: one picture per mode (single no repeat, single repeat,
// all no repeat, all repeat, random), 34 × 18, states stacked.
inline constexpr int kPlayModeWidth = 34;
inline constexpr int kPlayModeHeight = 18;
inline constexpr int kPlayModeImages = 5;
constexpr Point PlayModeImage(int index) { return Point{340 + 36 * index, 340}; }
// The spectrum's bars and peak marks.
inline constexpr Point kSpectrumBarPixel{600, 68};
inline constexpr Point kSpectrumPeakPixel{600, 76};
// Palette of the lists and panels.
inline constexpr Point kTextPixel{600, 4};
inline constexpr Point kRowEvenPixel{600, 12};
inline constexpr Point kRowOddPixel{600, 20};
inline constexpr Point kSelectionPixel{600, 28};
inline constexpr Point kSelectionTextPixel{600, 36};
inline constexpr Point kTitleTextPixel{600, 44};
inline constexpr Point kAccentPixel{600, 52};
inline constexpr Point kStatusTextPixel{600, 60};
inline constexpr int kWidth = 610;
inline constexpr int kHeight = 792;
}  // namespace main

// ---- 213: the desktop lyric bar --------------------------------------------------------------
namespace lyricbar {
// Background pieces: a 30-pixel left end, a middle stretched over the bar, a 30-pixel right end.
inline constexpr Rect kLeft{0, 0, 30, 120};
inline constexpr Rect kMiddle{30, 0, 60, 120};
inline constexpr Rect kRight{60, 0, 90, 120};
inline constexpr Rect kToolbar{0, 124, 425, 151};  // the strip behind the buttons
inline constexpr Rect kSliderTrack{100, 10, 218, 14};
// Buttons: states stacked (normal, hover, pressed) from these origins.
inline constexpr int kTransport = 19;  // square
inline constexpr Point kPrevious{0, 160};
inline constexpr Point kPlay{20, 160};
inline constexpr Point kPause{40, 160};
inline constexpr Point kNext{60, 160};
inline constexpr Point kMute{80, 160};
inline constexpr Point kUnmute{100, 160};
inline constexpr int kScheme = 18;  // square
constexpr Point SchemeButton(int scheme, bool selected) {
  return Point{120 + 19 * scheme, selected ? 220 : 160};
}
inline constexpr int kKaraokeWidth = 28;
inline constexpr int kKaraokeHeight = 17;
inline constexpr Point kKaraokeOn{220, 160};   // turns karaoke on (shown while it is off)
inline constexpr Point kKaraokeOff{250, 160};  // turns it off
inline constexpr int kSmallButton = 17;         // square
inline constexpr Point kAlignLeft{280, 160};
inline constexpr Point kAlignLeftSelected{280, 220};
inline constexpr Point kAlignCenter{298, 160};
inline constexpr Point kAlignCenterSelected{298, 220};
inline constexpr Point kSettings{316, 160};
inline constexpr Point kLock{334, 160};
inline constexpr Point kSwitchMode{352, 160};
inline constexpr Point kClose{370, 160};
inline constexpr int kReportWidth = 29;
inline constexpr int kReportHeight = 17;
inline constexpr Point kReport{388, 160};
inline constexpr Point kReportInactive{418, 160};
inline constexpr int kFontStep = 10;  // square
inline constexpr Point kSmaller{0, 280};
inline constexpr Point kLarger{12, 280};
inline constexpr int kThumbWidth = 10;
inline constexpr int kThumbHeight = 14;
inline constexpr Point kThumb{24, 280};
inline constexpr int kWidth = 460;
inline constexpr int kHeight = 330;
}  // namespace lyricbar

}  // namespace quillo::skin
