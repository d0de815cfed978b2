// Writes the SVG source of every skin image into a folder; the build renders each with
// rsvg-convert into the PNG that the program loads. Positions come from SkinLayout.h only.
//
// The look: flat panels, 1-pixel lines, small rounded corners, one accent colour per theme
// style; everything aligned to whole pixels so that it stays crisp at 1× scale.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>

#include "resources/skins/SkinLayout.h"

namespace {
using quillo::gfx::Point;
using quillo::gfx::Rect;
namespace skin = quillo::skin;

struct Style {
  const char* accent;
  const char* accent_dark;
  const char* accent_light;
};

// The nine colour styles of the theme picker, in its order.
constexpr Style kStyles[skin::kStyleCount] = {
    {"#1F9E9A", "#167572", "#4DBDB8"},  // 默认颜色
    {"#4A4F57", "#33373D", "#6D737C"},  // 深灰
    {"#7B4BC4", "#5D3499", "#9A72D6"},  // 紫色
    {"#2F6FD6", "#2254A6", "#5C90E4"},  // 蓝色
    {"#55A02C", "#3F7B1F", "#7DBF56"},  // 草绿
    {"#D49A14", "#A9780C", "#E6B847"},  // 金黄色
    {"#D33A2F", "#A62920", "#E2665D"},  // 大红
    {"#B0306E", "#872353", "#C95C91"},  // 紫红
    {"#E2679A", "#BF4A7B", "#EE90B6"},  // 粉红
};

constexpr const char* kBody = "#F6F7F9";
constexpr const char* kLine = "#B9C1CC";
constexpr const char* kLabel = "#333333";
constexpr const char* kBand = "#ECEFF3";
constexpr const char* kBandLine = "#DCE1E7";
constexpr const char* kFont = "Noto Sans CJK SC, WenQuanYi Zen Hei, DejaVu Sans, sans-serif";

class Svg {
 public:
  Svg(int width, int height) {
    out_ << "<svg xmlns='http://www.w3.org/2000/svg' width='" << width << "' height='" << height
         << "' viewBox='0 0 " << width << ' ' << height << "'>\n";
  }
  std::string Finish() {
    out_ << "</svg>\n";
    return out_.str();
  }
  void Raw(const std::string& text) { out_ << text << '\n'; }
  void Box(double x, double y, double w, double h, const char* fill, double rx = 0,
           const char* stroke = nullptr, double opacity = 1) {
    out_ << "<rect x='" << x << "' y='" << y << "' width='" << w << "' height='" << h << "' rx='"
         << rx << "' fill='" << fill << "' fill-opacity='" << opacity << "'";
    if (stroke) out_ << " stroke='" << stroke << "' stroke-width='1'";
    if (rx == 0 && !stroke) out_ << " shape-rendering='crispEdges'";
    out_ << "/>\n";
  }
  // A 1-pixel frame on whole pixels.
  void Frame(int x, int y, int w, int h, const char* stroke, double rx, const char* fill) {
    Box(x + 0.5, y + 0.5, w - 1, h - 1, fill, rx, stroke);
  }
  void Path(const std::string& d, const char* fill, const char* stroke = nullptr,
            double width = 1, double opacity = 1) {
    out_ << "<path d='" << d << "' fill='" << fill << "' fill-opacity='" << opacity << "'";
    if (stroke) {
      out_ << " stroke='" << stroke << "' stroke-width='" << width
           << "' stroke-linecap='round' stroke-linejoin='round' stroke-opacity='" << opacity
           << "'";
    }
    out_ << "/>\n";
  }
  void Circle(double cx, double cy, double r, const char* fill, const char* stroke = nullptr,
              double opacity = 1) {
    out_ << "<circle cx='" << cx << "' cy='" << cy << "' r='" << r << "' fill='" << fill
         << "' fill-opacity='" << opacity << "'";
    if (stroke) out_ << " stroke='" << stroke << "' stroke-width='1'";
    out_ << "/>\n";
  }
  void Text(double x, double y, const std::string& text, double size, const char* fill,
            bool bold = false, const char* anchor = "start") {
    out_ << "<text x='" << x << "' y='" << y << "' font-family='" << kFont << "' font-size='"
         << size << "px' font-weight='" << (bold ? "bold" : "normal") << "' fill='" << fill
         << "' text-anchor='" << anchor << "'>" << text << "</text>\n";
  }
  // A colour sample: a 7 × 7 square centred on the pixel the code reads.
  void Swatch(Point p, const char* color) { Box(p.x - 3, p.y - 3, 7, 7, color); }

 private:
  std::ostringstream out_;
};

std::string Translate(double x, double y) {
  std::ostringstream s;
  s << "translate(" << x << ',' << y << ')';
  return s.str();
}

enum class State { kNormal, kHover, kPressed };
constexpr State kStates[3] = {State::kNormal, State::kHover, State::kPressed};

// A glyph drawn inside a w × h cell at the origin; `ink` is its colour.
using Glyph = std::function<void(Svg&, double w, double h, const char* ink)>;

// Three stacked states of an icon button on a dark (accent) panel: a light veil on hover, a dark
// one while pressed.
void DarkPanelButton(Svg& svg, Point origin, int w, int h, const Glyph& glyph) {
  for (int i = 0; i < 3; ++i) {
    svg.Raw("<g transform='" + Translate(origin.x, origin.y + i * h) + "'>");
    if (kStates[i] == State::kHover) svg.Box(1, 1, w - 2, h - 2, "#FFFFFF", 3, nullptr, 0.22);
    if (kStates[i] == State::kPressed) svg.Box(1, 1, w - 2, h - 2, "#000000", 3, nullptr, 0.18);
    glyph(svg, w, h, "#FFFFFF");
    svg.Raw("</g>");
  }
}

void CrossGlyph(Svg& svg, double w, double h, const char* ink) {
  double cx = w / 2, cy = h / 2, r = std::min(w, h) * 0.2;
  std::ostringstream d;
  d << 'M' << cx - r << ',' << cy - r << " L" << cx + r << ',' << cy + r << " M" << cx + r << ','
    << cy - r << " L" << cx - r << ',' << cy + r;
  svg.Path(d.str(), "none", ink, 1.6);
}

// ---- The dialog kit --------------------------------------------------------------------------
void DialogKit(Svg& svg, const Style& style) {
  namespace kit = skin::kit;
  svg.Raw("<defs><linearGradient id='title' x1='0' y1='0' x2='0' y2='1'><stop offset='0' "
          "stop-color='" + std::string(style.accent_light) + "'/><stop offset='1' stop-color='" +
          style.accent + "'/></linearGradient></defs>");
  // Frame template 44 × 60: rounded outline, title band on top.
  svg.Path("M0.5,6.5 A6,6 0 0 1 6.5,0.5 H37.5 A6,6 0 0 1 43.5,6.5 V53.5 A6,6 0 0 1 37.5,59.5 "
           "H6.5 A6,6 0 0 1 0.5,53.5 Z",
           kBody, kLine);
  svg.Path("M0,6 A6,6 0 0 1 6,0 H38 A6,6 0 0 1 44,6 V28 H0 Z", "url(#title)");
  svg.Box(0, 27, 44, 1, style.accent_dark);
  // Button band template.
  svg.Box(0, 64, 44, 30, kBand);
  svg.Box(0, 64, 1, 30, kLine);
  svg.Box(43, 64, 1, 30, kLine);
  svg.Box(1, 64, 6, 30, kBody);
  svg.Box(37, 64, 6, 30, kBody);
  svg.Box(7, 64, 30, 1, kBandLine);
  // Grip: three rows of dots.
  for (int row = 0; row < 3; ++row) {
    for (int col = 2 - row; col < 3; ++col) {
      svg.Box(kit::kGrip.left + 1 + col * 3, kit::kGrip.top + 1 + row * 3, 2, 2, kLine);
    }
  }
  DarkPanelButton(svg, kit::kCloseButton, kit::kCloseWidth, kit::kCloseHeight, CrossGlyph);
  // Text button, three states.
  for (int i = 0; i < 3; ++i) {
    int y = i * kit::kTextButtonHeight;
    const char* fill = i == 0 ? "#FFFFFF" : i == 1 ? "#EFF8F8" : "#DCEEEE";
    const char* stroke = i == 0 ? kLine : style.accent;
    svg.Frame(kit::kTextButtonX, y, kit::kTextButtonWidth, kit::kTextButtonHeight, stroke, 3, fill);
  }
  // Drop-down field, three states.
  for (int i = 0; i < 3; ++i) {
    int x = kit::kDropDownX, y = i * kit::kDropDownHeight;
    svg.Frame(x, y, kit::kDropDownWidth, kit::kDropDownHeight, i == 0 ? kLine : style.accent, 2,
              "#FFFFFF");
    int ax = x + kit::kDropDownWidth - kit::kDropDownArrow;
    svg.Box(ax, y + 1, kit::kDropDownArrow - 1, kit::kDropDownHeight - 2,
            i == 2 ? "#DCEEEE" : i == 1 ? "#EFF8F8" : "#F1F3F6", 0);
    svg.Box(ax, y + 3, 1, kit::kDropDownHeight - 6, kBandLine);
    std::ostringstream d;
    d << 'M' << ax + 5.5 << ',' << y + 8.5 << " L" << ax + 9 << ',' << y + 12 << " L" << ax + 12.5
      << ',' << y + 8.5;
    svg.Path(d.str(), "none", "#5A6472", 1.5);
  }
  // Check boxes and radio buttons.
  for (int i = 0; i < 3; ++i) {
    const char* stroke = i == 0 ? "#8C96A3" : style.accent;
    const char* fill = i == 2 ? "#E3F1F1" : "#FFFFFF";
    int s = kit::kToggleSize;
    for (int checked = 0; checked < 2; ++checked) {
      int x = kit::kCheckBox.x + checked * s, y = kit::kCheckBox.y + i * s;
      if (checked) {
        svg.Frame(x, y, s, s, style.accent_dark, 2, i == 0 ? style.accent : style.accent_light);
        std::ostringstream d;
        d << 'M' << x + 3 << ',' << y + 6.5 << " L" << x + 5.5 << ',' << y + 9 << " L" << x + 10
          << ',' << y + 4;
        svg.Path(d.str(), "none", "#FFFFFF", 1.6);
      } else {
        svg.Frame(x, y, s, s, stroke, 2, fill);
      }
      int rx = kit::kRadio.x + checked * s, ry = kit::kRadio.y + i * s;
      svg.Circle(rx + 6.5, ry + 6.5, 6, fill, checked ? style.accent : stroke);
      if (checked) svg.Circle(rx + 6.5, ry + 6.5, 3, style.accent);
    }
  }
  // Scroll bar parts.
  for (int i = 0; i < 3; ++i) {
    const char* fill = i == 0 ? "#E4E8ED" : i == 1 ? "#D3D9E0" : style.accent_light;
    int w = kit::kScrollWidth;
    for (int dir = 0; dir < 2; ++dir) {
      Point o = dir == 0 ? kit::kScrollUp : kit::kScrollDown;
      int y = o.y + i * w;
      svg.Box(o.x + 0.5, y + 0.5, w - 1, w - 1, fill, 2);
      std::ostringstream d;
      if (dir == 0) {
        d << 'M' << o.x + 3.5 << ',' << y + 7.5 << " L" << o.x + 6 << ',' << y + 5 << " L"
          << o.x + 8.5 << ',' << y + 7.5;
      } else {
        d << 'M' << o.x + 3.5 << ',' << y + 4.5 << " L" << o.x + 6 << ',' << y + 7 << " L"
          << o.x + 8.5 << ',' << y + 4.5;
      }
      svg.Path(d.str(), "none", "#5A6472", 1.4);
    }
    const char* thumb = i == 0 ? "#C3CAD3" : i == 1 ? "#AAB3BE" : style.accent;
    svg.Box(kit::kScrollThumb.x + 2, kit::kScrollThumb.y + i * kit::kScrollThumbHeight + 0.5, w - 4,
            kit::kScrollThumbHeight - 1, thumb, 3);
  }
  svg.Box(kit::kScrollTrack.left, kit::kScrollTrack.top, kit::kScrollTrack.width(),
          kit::kScrollTrack.height(), "#F0F2F5");
  svg.Swatch(kit::kTitleTextPixel, "#FFFFFF");
  svg.Swatch(kit::kBodyPixel, kBody);
  svg.Swatch(kit::kLabelTextPixel, kLabel);
  svg.Swatch(kit::kButtonTextPixel, "#222222");
  svg.Swatch(kit::kLinePixel, kLine);
  svg.Swatch(kit::kSelectionPixel, style.accent);
  svg.Swatch(kit::kSelectionTextPixel, "#FFFFFF");
  svg.Swatch(kit::kRowEvenPixel, "#FFFFFF");
  svg.Swatch(kit::kRowOddPixel, "#F2F5F8");
}

std::string DialogFrame() {
  Svg svg(skin::frame::kWidth, skin::frame::kHeight);
  DialogKit(svg, kStyles[0]);
  svg.Swatch(skin::frame::kTipCaptionPixel, "#7A6F4A");
  svg.Swatch(skin::frame::kTipValuePixel, "#1A1A1A");
  return svg.Finish();
}

std::string MessageBox() {
  Svg svg(skin::message::kWidth, skin::message::kHeight);
  DialogKit(svg, kStyles[0]);
  Point states[3] = {skin::message::kCloseNormal, skin::message::kCloseHover,
                     skin::message::kClosePressed};
  int s = skin::message::kCloseSize;
  for (int i = 0; i < 3; ++i) {
    svg.Raw("<g transform='" + Translate(states[i].x, states[i].y) + "'>");
    if (i == 1) svg.Box(0, 0, s, s, "#FFFFFF", 3, nullptr, 0.25);
    if (i == 2) svg.Box(0, 0, s, s, "#000000", 3, nullptr, 0.2);
    CrossGlyph(svg, s, s, "#FFFFFF");
    svg.Raw("</g>");
  }
  // The close images sit on the title band's colour so that they read on any background.
  svg.Swatch(skin::message::kMessageTextPixel, kLabel);
  svg.Swatch(skin::message::kFillPixel, kBody);
  return svg.Finish();
}

std::string PlainKit() {
  Svg svg(skin::kit::kWidth, skin::kit::kHeight);
  DialogKit(svg, kStyles[0]);
  return svg.Finish();
}

// A drawing pin upright (the window stays on top) or tilted (it does not).
void PinGlyph(Svg& svg, double w, double h, const char* ink, bool upright) {
  std::ostringstream g;
  g << "<g transform='rotate(" << (upright ? 0 : 45) << ' ' << w / 2 << ' ' << h / 2 << ")'>";
  svg.Raw(g.str());
  double cx = w / 2, top = h / 2 - 6;
  std::ostringstream head;
  head << 'M' << cx - 3 << ',' << top << " H" << cx + 3 << " L" << cx + 2 << ',' << top + 5 << " L"
       << cx + 4.5 << ',' << top + 7.5 << " H" << cx - 4.5 << " L" << cx - 2 << ',' << top + 5
       << " Z";
  svg.Path(head.str(), upright ? ink : "none", ink, 1.2);
  std::ostringstream needle;
  needle << 'M' << cx << ',' << top + 7.5 << " V" << top + 12.5;
  svg.Path(needle.str(), "none", ink, 1.4);
  svg.Raw("</g>");
}

// A screen with a line of text across its lower part: the desktop lyric.
void DesktopGlyph(Svg& svg, double w, double h, const char* ink) {
  double x = w / 2 - 7, y = h / 2 - 5;
  svg.Raw("<rect x='" + std::to_string(x + 0.5) + "' y='" + std::to_string(y + 0.5) +
          "' width='13' height='9' rx='1' fill='none' stroke='" + ink + "' stroke-width='1.2'/>");
  std::ostringstream d;
  d << 'M' << x + 3 << ',' << y + 6 << " H" << x + 11;
  svg.Path(d.str(), "none", ink, 1.4);
  std::ostringstream stand;
  stand << 'M' << x + 4.5 << ',' << y + 12 << " H" << x + 9.5;
  svg.Path(stand.str(), "none", ink, 1.2);
}

std::string LyricWindow() {
  namespace l = skin::lyricdlg;
  Svg svg(l::kWidth, l::kHeight);
  const Style& style = kStyles[0];
  DialogKit(svg, style);
  // The buttons sit on the title band: draw its colour behind them so that they read the same.
  svg.Box(0, l::kOnTop.y, 100, 3 * l::kButtonHeight, style.accent);
  int w = l::kButtonWidth, h = l::kButtonHeight;
  DarkPanelButton(svg, l::kOnTop, w, h, [](Svg& s, double cw, double ch, const char* ink) {
    PinGlyph(s, cw, ch, ink, false);
  });
  DarkPanelButton(svg, l::kNotOnTop, w, h, [](Svg& s, double cw, double ch, const char* ink) {
    PinGlyph(s, cw, ch, ink, true);
  });
  DarkPanelButton(svg, l::kToDesktop, l::kDesktopWidth, h, DesktopGlyph);
  DarkPanelButton(svg, l::kClose, w, h, CrossGlyph);
  return svg.Finish();
}

std::string VolumePopup() {
  namespace v = skin::volume;
  const Style& style = kStyles[0];
  Svg svg(v::kWidth, v::kHeight);
  svg.Frame(v::kBackground.left, v::kBackground.top, v::kBackground.width(),
            v::kBackground.height(), kLine, 3, kBody);
  svg.Box(v::kTrack.left + 0.5, v::kTrack.top + 3, v::kTrack.width() - 1, 4, "#D0D6DE", 2);
  svg.Box(v::kTrackFill.left, v::kTrackFill.top, v::kTrackFill.width(), v::kTrackFill.height(),
          style.accent);
  for (int i = 0; i < 3; ++i) {
    double cx = v::kThumb.x + 5, cy = v::kThumb.y + i * v::kThumbSize + 5;
    svg.Circle(cx, cy, 4.5, i == 0 ? "#FFFFFF" : i == 1 ? "#F0FAFA" : style.accent_light,
               style.accent_dark);
  }
  return svg.Finish();
}

std::string ColorPicker() {
  namespace p = skin::picker;
  Svg svg(p::kWidth, p::kHeight);
  svg.Frame(0, 0, p::kBackground.width(), p::kBackground.height(), kLine, 5, "#FFFFFF");
  svg.Text(44, 28, "默认颜色", 12, kLabel);
  svg.Box(8, 34.5, 236, 1, kBandLine);
  for (int n = 0; n < skin::kStyleCount; ++n) {
    Point at = p::kPresets[n];
    for (int layer = 0; layer < 2; ++layer) {
      int y = at.y + layer * p::kStateOffset;
      if (layer == 1) svg.Box(at.x, y, p::kPresetSize, p::kPresetSize, "#FFFFFF");
      svg.Box(at.x + 2, y + 2, p::kPresetSize - 4, p::kPresetSize - 4, kStyles[n].accent, 4);
      svg.Box(at.x + 2, y + 2, p::kPresetSize - 4, (p::kPresetSize - 4) / 2, "#FFFFFF", 4,
              nullptr, 0.18);
      if (layer == 1) svg.Frame(at.x, y, p::kPresetSize, p::kPresetSize, "#333333", 5, "none");
    }
  }
  return svg.Finish();
}

std::string Palette() {
  namespace p = skin::palette;
  Svg svg(p::kWidth, p::kImageHeight);
  for (int layer = 0; layer < 2; ++layer) {
    int top = layer * p::kHoverOffset;
    svg.Box(0, top, p::kWidth, p::kHeight, "#FFFFFF");
    svg.Frame(0, top, p::kWidth, p::kHeight, kLine, 0, "none");
    svg.Box(4, top + 48, p::kWidth - 8, 1, kBandLine);
  }
  for (int cell = 0; cell < p::kColumns * p::kRows; ++cell) {
    int col = cell % p::kColumns, row = cell / p::kColumns;
    char color[16];
    if (row == 0) {
      // Greys from white to black.
      int grey = 255 - col * 255 / (p::kColumns - 1);
      std::snprintf(color, sizeof color, "#%02X%02X%02X", grey, grey, grey);
    } else if (row == 1) {
      // The lyric window's own colours first, then strong primaries.
      static const char* kFavourites[p::kColumns] = {"#6DC9FF", "#FF9900", "#1A1A1A", "#FFFFFF",
                                                     "#FF0000", "#00C000", "#0000FF", "#FFFF00"};
      std::snprintf(color, sizeof color, "%s", kFavourites[col]);
    } else {
      // Hues across, from light to deep down the rows.
      double h = col * 360.0 / p::kColumns;
      double s = 0.85, l = 0.82 - (row - 2) * 0.12;
      auto f = [&](double n) {
        double k = std::fmod(n + h / 30.0, 12.0);
        double a = s * std::min(l, 1 - l);
        return l - a * std::max(-1.0, std::min({k - 3, 9 - k, 1.0}));
      };
      std::snprintf(color, sizeof color, "#%02X%02X%02X", int(f(0) * 255), int(f(8) * 255),
                    int(f(4) * 255));
    }
    Rect r = p::CellRect(cell);
    svg.Box(r.left, r.top, p::kCell, p::kCell, color);
    svg.Frame(r.left, r.top, p::kCell, p::kCell, "#9AA3AE", 0, "none");
    // The hover image: the same cell framed in black and white.
    svg.Box(r.left, r.top + p::kHoverOffset, p::kCell, p::kCell, color);
    svg.Frame(r.left, r.top + p::kHoverOffset, p::kCell, p::kCell, "#000000", 0, "none");
    svg.Frame(r.left + 1, r.top + 1 + p::kHoverOffset, p::kCell - 2, p::kCell - 2, "#FFFFFF", 0,
              "none");
  }
  return svg.Finish();
}

// A messenger's contact window with its status line: off (greyed, no line), the song's name
// (a note and one line) or the lyric (a note and a line with a time mark).
void MessengerPicture(Svg& svg, const Rect& at, int kind, const Style& style) {
  svg.Raw("<g transform='" + Translate(at.left, at.top) + "'>");
  const int w = at.width(), h = at.height();
  svg.Frame(0, 0, w, h, kLine, 4, "#FFFFFF");
  svg.Box(1, 1, w - 2, 14, kind == 0 ? "#C9CED6" : style.accent_light, 0);
  svg.Circle(16, 34, 10, kind == 0 ? "#D8DCE2" : style.accent);
  svg.Box(32, 24, 80, 5, "#8C96A3", 2);
  if (kind == 0) {
    svg.Box(32, 36, 120, 4, "#E1E5EA", 2);
    svg.Path("M150,26 L166,42 M166,26 L150,42", "none", "#B0B7C1", 2);
  } else {
    // A quaver before the published text.
    svg.Path("M36,46 V36 L44,34 V44", "none", style.accent_dark, 1.6);
    svg.Circle(34.5, 46, 2.2, style.accent_dark);
    svg.Circle(42.5, 44, 2.2, style.accent_dark);
    if (kind == 1) {
      svg.Box(50, 38, 90, 5, style.accent_dark, 2);
    } else {
      svg.Box(50, 38, 40, 5, style.accent_dark, 2);
      svg.Box(94, 38, 70, 5, style.accent, 2);
      svg.Box(168, 38, 30, 5, style.accent, 2);
    }
  }
  svg.Raw("</g>");
}

std::string Settings() {
  namespace st = skin::settings;
  const Style& style = kStyles[0];
  Svg svg(st::kWidth, st::kHeight);
  DialogKit(svg, style);
  for (int i = 0; i < 3; ++i) {
    // Group headers: a raised band; the open one in the accent colour.
    int y = st::kGroupHeader.y + i * st::kGroupHeight;
    svg.Frame(st::kGroupHeader.x, y, st::kGroupWidth, st::kGroupHeight, kLine, 3,
              i == 2 ? style.accent : i == 1 ? "#E4EEF0" : "#EEF1F4");
    // Page rows: flat; the selected one filled.
    int py = st::kPageRow.y + i * st::kPageHeight;
    if (i == 1) svg.Box(st::kPageRow.x, py, st::kPageWidth, st::kPageHeight, "#E4EEF0");
    if (i == 2) svg.Box(st::kPageRow.x, py, st::kPageWidth, st::kPageHeight, style.accent_light);
  }
  const Rect& track = st::kSliderTrack;
  svg.Box(track.left, track.top + 6, track.width(), 5, "#DCE1E7", 2);
  svg.Box(track.left + 0.5, track.top + 6.5, track.width() - 1, 4, "none", 2, kLine);
  for (int i = 0; i < 3; ++i) {
    int y = st::kSliderThumb.y + i * st::kThumbHeight;
    svg.Frame(st::kSliderThumb.x, y, st::kThumbWidth, st::kThumbHeight, style.accent_dark, 3,
              i == 0 ? style.accent : i == 1 ? style.accent_light : style.accent_dark);
    for (int which = 0; which < 2; ++which) {
      Point o = which == 0 ? st::kMinus : st::kPlus;
      int by = o.y + i * st::kStepButton;
      svg.Frame(o.x, by, st::kStepButton, st::kStepButton, i == 0 ? kLine : style.accent, 3,
                i == 2 ? "#DCEEEE" : i == 1 ? "#EFF8F8" : "#FFFFFF");
      svg.Box(o.x + 5, by + 9, 10, 2, "#5A6472");
      if (which == 1) svg.Box(o.x + 9, by + 5, 2, 10, "#5A6472");
    }
  }
  MessengerPicture(svg, st::kMsnOff, 0, style);
  MessengerPicture(svg, st::kMsnName, 1, style);
  MessengerPicture(svg, st::kMsnLyric, 2, style);
  svg.Swatch(st::kSectionLinePixel, kBandLine);
  svg.Swatch(st::kTreeBackPixel, "#F0F3F6");
  return svg.Finish();
}

std::string Equalizer() {
  namespace eq = skin::equalizer;
  const Style& style = kStyles[0];
  Svg svg(eq::kWidth, eq::kHeight);
  DialogKit(svg, style);
  const Rect& band = eq::kBandTrack;
  svg.Box(band.left + 1, band.top, band.width() - 2, band.height(), "#DCE1E7", 2, kLine);
  const Rect& balance = eq::kBalanceTrack;
  svg.Box(balance.left, balance.top + 1, balance.width(), balance.height() - 2, "#DCE1E7", 2,
          kLine);
  for (int i = 0; i < 3; ++i) {
    const char* fill = i == 0 ? style.accent : i == 1 ? style.accent_light : style.accent_dark;
    svg.Frame(eq::kBandKnob.x, eq::kBandKnob.y + i * eq::kBandKnobHeight, eq::kBandKnobWidth,
              eq::kBandKnobHeight, style.accent_dark, 2, fill);
    svg.Frame(eq::kBalanceKnob.x, eq::kBalanceKnob.y + i * eq::kBalanceKnobHeight,
              eq::kBalanceKnobWidth, eq::kBalanceKnobHeight, style.accent_dark, 2, fill);
  }
  return svg.Finish();
}

std::string Waiting(bool device) {
  namespace w = skin::waiting;
  const Style& style = kStyles[0];
  Svg svg(w::kWidth, w::kHeight);
  svg.Box(0.5, 0.5, w::kWidth - 1, w::kHeight - 1, style.accent, 6, style.accent_dark);
  // A spinner of eight fading bars.
  for (int i = 0; i < 8; ++i) {
    double angle = i * 45.0;
    std::ostringstream g;
    g << "<g transform='translate(40,23.5) rotate(" << angle << ")'><rect x='-1.5' y='-13' "
      << "width='3' height='7' rx='1.5' fill='#FFFFFF' fill-opacity='" << 0.25 + i * 0.1
      << "'/></g>";
    svg.Raw(g.str());
  }
  if (device) {
    svg.Frame(36, 17, 8, 13, "#FFFFFF", 1.5, "none");
  } else {
    svg.Circle(40, 21, 2.5, "#FFFFFF");
    svg.Path("M35.5,28.5 A4.5,4 0 0 1 44.5,28.5 Z", "#FFFFFF");
  }
  return svg.Finish();
}

std::string NetworkError() {
  namespace n = skin::network_error;
  Svg svg(n::kWidth, n::kHeight);
  svg.Frame(0, 0, n::kWidth, n::kHeight, "#DDE2E8", 8, "#FAFBFC");
  svg.Path("M38,62 A14,14 0 0 1 42,35 A18,18 0 0 1 76,34 A13,13 0 0 1 82,62 Z", "#E1E6EC",
           "#AEB7C2", 1.5);
  svg.Path("M52,44 L68,60 M68,44 L52,60", "none", "#D33A2F", 3);
  svg.Text(104, 46, "网页暂时无法打开", 18, "#3A4048", true);
  svg.Text(104, 70, "请检查网络连接，稍后点击“刷新”重试", 12, "#7A828D");
  return svg.Finish();
}

// ---- Main window skins ------------------------------------------------------------------------
void PlayGlyph(Svg& svg, double w, double h, const char* ink) {
  std::ostringstream d;
  d << 'M' << w * 0.38 << ',' << h * 0.28 << " L" << w * 0.74 << ',' << h * 0.5 << " L" << w * 0.38
    << ',' << h * 0.72 << " Z";
  svg.Path(d.str(), ink, ink, 1.2);
}
void PauseGlyph(Svg& svg, double w, double h, const char* ink) {
  svg.Box(w * 0.34, h * 0.28, w * 0.1, h * 0.44, ink, 1);
  svg.Box(w * 0.56, h * 0.28, w * 0.1, h * 0.44, ink, 1);
}
void SkipGlyph(Svg& svg, double w, double h, const char* ink, bool forward) {
  std::ostringstream d;
  if (forward) {
    d << 'M' << w * 0.3 << ',' << h * 0.3 << " L" << w * 0.62 << ',' << h * 0.5 << " L" << w * 0.3
      << ',' << h * 0.7 << " Z";
    svg.Box(w * 0.64, h * 0.3, w * 0.08, h * 0.4, ink);
  } else {
    d << 'M' << w * 0.7 << ',' << h * 0.3 << " L" << w * 0.38 << ',' << h * 0.5 << " L" << w * 0.7
      << ',' << h * 0.7 << " Z";
    svg.Box(w * 0.28, h * 0.3, w * 0.08, h * 0.4, ink);
  }
  svg.Path(d.str(), ink, ink, 1);
}
void SpeakerGlyph(Svg& svg, double /*width*/, double h, const char* ink, bool muted) {
  std::ostringstream d;
  d << "M2.5," << h * 0.38 << " H5 L8.5,3 V" << h - 3 << " L5," << h * 0.62 << " H2.5 Z";
  svg.Path(d.str(), ink, ink, 1);
  if (muted) {
    svg.Path("M10.5,6 L14,10 M14,6 L10.5,10", "none", ink, 1.3);
  } else {
    svg.Path("M10.5,5.5 A3.5,3.5 0 0 1 10.5,10.5 M12.5,3.5 A6,6 0 0 1 12.5,12.5", "none", ink,
             1.2);
  }
}

// Three rising bars: the volume popup; filled while it is open (the close button).
void VolumeBarsGlyph(Svg& svg, double w, double h, const char* ink, bool open) {
  for (int i = 0; i < 3; ++i) {
    const double bar_h = h * (0.3 + 0.2 * i);
    const double x = w * 0.2 + i * w * 0.22;
    if (open) {
      svg.Box(x, h * 0.82 - bar_h, w * 0.16, bar_h, ink);
    } else {
      std::ostringstream d;
      d << 'M' << x + 0.5 << ',' << h * 0.82 << " V" << h * 0.82 - bar_h + 0.5 << " H"
        << x + w * 0.16 - 0.5 << " V" << h * 0.82;
      svg.Path(d.str(), "none", ink, 1);
    }
  }
}

// Three stacked states of a button on the light tool bar: an accent veil on hover and press.
void LightBarButton(Svg& svg, Point origin, int w, int h, const char* veil, const Glyph& glyph) {
  for (int i = 0; i < 3; ++i) {
    svg.Raw("<g transform='" + Translate(origin.x, origin.y + i * h) + "'>");
    if (kStates[i] != State::kNormal)
      svg.Box(0.5, 0.5, w - 1, h - 1, veil, 3, nullptr, kStates[i] == State::kHover ? 0.18 : 0.32);
    glyph(svg, w, h, "#4A5462");
    svg.Raw("</g>");
  }
}

// The play modes: an arrow through the list (no repeat), a loop (repeat), a "1" for one song,
// crossed arrows for random.
void PlayModeGlyph(Svg& svg, double /*w*/, double h, const char* ink, int mode) {
  const double cy = h / 2;
  auto loop = [&] {
    std::ostringstream d;
    d << "M9," << cy - 3 << " H21 A3,3 0 0 1 21," << cy + 3 << " H9 A3,3 0 0 1 9," << cy - 3;
    svg.Path(d.str(), "none", ink, 1.3);
    std::ostringstream head;
    head << "M18," << cy - 5.5 << " L21," << cy - 3 << " L18," << cy - 0.5;
    svg.Path(head.str(), "none", ink, 1.3);
  };
  auto arrow = [&] {
    std::ostringstream d;
    d << "M7," << cy << " H25 M21," << cy - 3.5 << " L25," << cy << " L21," << cy + 3.5;
    svg.Path(d.str(), "none", ink, 1.3);
  };
  auto one = [&] {
    std::ostringstream d;
    d << "M27," << cy - 2.5 << " L29," << cy - 4.5 << " V" << cy + 4.5;
    svg.Path(d.str(), "none", ink, 1.3);
  };
  switch (mode) {
    case 0:  // single, no repeat
      arrow();
      one();
      break;
    case 1:  // single, repeat
      loop();
      one();
      break;
    case 2:  // all, no repeat
      arrow();
      svg.Box(4, cy - 4.5, 1.4, 9, ink);
      break;
    case 3:  // all, repeat
      loop();
      break;
    default: {  // random
      std::ostringstream d;
      d << "M7," << cy - 4 << " C14," << cy - 4 << " 18," << cy + 4 << " 25," << cy + 4 << " M7,"
        << cy + 4 << " C14," << cy + 4 << " 18," << cy - 4 << " 25," << cy - 4 << " M22,"
        << cy - 6.5 << " L25," << cy - 4 << " L22," << cy - 1.5 << " M22," << cy + 1.5 << " L25,"
        << cy + 4 << " L22," << cy + 6.5;
      svg.Path(d.str(), "none", ink, 1.3);
    }
  }
}

std::string MainSkin(const Style& style) {
  namespace m = skin::main;
  Svg svg(m::kWidth, m::kHeight);
  svg.Raw("<defs><linearGradient id='panel' x1='0' y1='0' x2='0' y2='1'><stop offset='0' "
          "stop-color='" + std::string(style.accent_light) + "'/><stop offset='1' stop-color='" +
          style.accent + "'/></linearGradient></defs>");
  // Normal layout: title band, player panel, tool bar, list, status line.
  const Rect bg = m::kBackground;
  svg.Path("M0.5,8.5 A8,8 0 0 1 8.5,0.5 H317.5 A8,8 0 0 1 325.5,8.5 V529.5 A8,8 0 0 1 317.5,537.5 "
           "H8.5 A8,8 0 0 1 0.5,529.5 Z",
           "#FFFFFF", style.accent_dark);
  svg.Path("M1,8.5 A7.5,7.5 0 0 1 8.5,1 H317.5 A7.5,7.5 0 0 1 325,8.5 V112 H1 Z", "url(#panel)");
  svg.Box(1, 112, bg.width() - 2, 24, "#EEF1F5");
  svg.Box(1, 135, bg.width() - 2, 1, "#D5DBE2");
  svg.Box(1, 510, bg.width() - 2, 1, "#D5DBE2");
  svg.Path("M1,511 H325 V529.5 A7.5,7.5 0 0 1 317.5,537 H8.5 A7.5,7.5 0 0 1 1,529.5 Z", "#F3F5F8");
  svg.Circle(15, 14, 6, "#FFFFFF", nullptr, 0.9);
  svg.Path("M13,17 V10 L18,9 V15", "none", style.accent, 1.3);
  svg.Text(28, 19, "Zelbo音乐", 12, "#FFFFFF", true);
  // Mini layout.
  const Rect mini = m::kMiniBackground;
  std::ostringstream d;
  d << "M0.5," << mini.top + 6.5 << " A6,6 0 0 1 6.5," << mini.top + 0.5 << " H393.5 A6,6 0 0 1 "
    << "399.5," << mini.top + 6.5 << " V" << mini.bottom - 6.5 << " A6,6 0 0 1 393.5,"
    << mini.bottom - 0.5 << " H6.5 A6,6 0 0 1 0.5," << mini.bottom - 6.5 << " Z";
  svg.Path(d.str(), "#FFFFFF", style.accent_dark);
  svg.Box(1, mini.top + 1, 398, 26, style.accent, 5);
  svg.Box(1, mini.top + 218, 398, 12, "#F3F5F8", 5);
  // Buttons.
  using namespace std::placeholders;
  DarkPanelButton(svg, m::kMinimize, m::kTitleButton, m::kTitleButton,
                  [](Svg& s, double w, double h, const char* ink) {
                    s.Box(w * 0.3, h * 0.55, w * 0.4, 1.5, ink);
                  });
  DarkPanelButton(svg, m::kMiniMode, m::kTitleButton, m::kTitleButton,
                  [](Svg& s, double w, double h, const char* ink) {
                    s.Frame(int(w * 0.28), int(h * 0.32), int(w * 0.45), int(h * 0.36), ink, 1,
                            "none");
                  });
  DarkPanelButton(svg, m::kClose, m::kTitleButton, m::kTitleButton, CrossGlyph);
  DarkPanelButton(svg, m::kSettings, m::kTitleButton, m::kTitleButton,
                  [](Svg& s, double w, double h, const char* ink) {
                    s.Circle(w / 2, h / 2, 5, "none", ink);
                    s.Circle(w / 2, h / 2, 1.8, ink);
                  });
  DarkPanelButton(svg, m::kColor, m::kTitleButton, m::kTitleButton,
                  [](Svg& s, double w, double h, const char* ink) {
                    s.Circle(w / 2, h / 2, 5.5, "none", ink);
                    s.Path("M10,4.5 A5.5,5.5 0 0 1 10,15.5 Z", ink);
                  });
  DarkPanelButton(svg, m::kFolder, m::kTitleButton, m::kTitleButton,
                  [](Svg& s, double, double, const char* ink) {
                    s.Path("M4.5,6.5 H8.5 L10,8 H15.5 V14.5 H4.5 Z", "none", ink, 1.2);
                  });
  for (int open = 0; open < 2; ++open) {
    DarkPanelButton(svg, open ? m::kLyricOpen : m::kLyricClose, m::kTitleButton, m::kTitleButton,
                    [open](Svg& s, double w, double h, const char* ink) {
                      s.Text(w / 2, h * 0.72, "词", 11, ink, open != 0, "middle");
                    });
    DarkPanelButton(svg, open ? m::kListOpen : m::kListClose, m::kTitleButton, m::kTitleButton,
                    [open](Svg& s, double w, double, const char* ink) {
                      for (int i = 0; i < 3; ++i) s.Box(5, 6 + i * 3.5, w - 10, 1.4, ink);
                      if (!open) s.Path("M4,15 L16,5", "none", ink, 1.2);
                    });
  }
  DarkPanelButton(svg, m::kPrevious, m::kTransportButton, m::kTransportButton,
                  std::bind(SkipGlyph, _1, _2, _3, _4, false));
  DarkPanelButton(svg, m::kPlay, m::kTransportButton, m::kTransportButton, PlayGlyph);
  DarkPanelButton(svg, m::kPause, m::kTransportButton, m::kTransportButton, PauseGlyph);
  DarkPanelButton(svg, m::kNext, m::kTransportButton, m::kTransportButton,
                  std::bind(SkipGlyph, _1, _2, _3, _4, true));
  DarkPanelButton(svg, m::kMute, m::kSmallButton, m::kSmallButton,
                  std::bind(SpeakerGlyph, _1, _2, _3, _4, false));
  DarkPanelButton(svg, m::kUnmute, m::kSmallButton, m::kSmallButton,
                  std::bind(SpeakerGlyph, _1, _2, _3, _4, true));
  DarkPanelButton(svg, m::kVolumeOpen, m::kSmallButton, m::kSmallButton,
                  std::bind(VolumeBarsGlyph, _1, _2, _3, _4, false));
  DarkPanelButton(svg, m::kVolumeClose, m::kSmallButton, m::kSmallButton,
                  std::bind(VolumeBarsGlyph, _1, _2, _3, _4, true));
  for (const auto& [track, fill] : {std::pair{m::kSeekTrack, m::kSeekFill},
                                    std::pair{m::kVolumeTrack, m::kVolumeFill}}) {
    svg.Box(track.left, track.top, track.width(), track.height(), "#FFFFFF", 2, nullptr, 0.35);
    svg.Box(fill.left, fill.top, fill.width(), fill.height(), "#FFFFFF", 2);
  }
  for (Point thumb : {m::kSeekThumb, m::kVolumeThumb}) {
    for (int i = 0; i < 3; ++i) {
      svg.Circle(thumb.x + 5, thumb.y + i * m::kThumbSize + 5, 4.5,
                 i == 0 ? "#FFFFFF" : i == 1 ? "#F4F4F4" : "#E0E0E0", style.accent_dark);
    }
  }
  for (int i = 0; i < 3; ++i) {
    const char* fill = i == 0 ? "#E4E8ED" : i == 1 ? "#D3D9E0" : style.accent_light;
    svg.Box(m::kScrollUp.x + 0.5, m::kScrollUp.y + i * 12 + 0.5, 11, 11, fill, 2);
    svg.Path("M" + std::to_string(m::kScrollUp.x + 3.5) + "," + std::to_string(m::kScrollUp.y + i * 12 + 7.5) +
                 " l2.5,-2.5 l2.5,2.5",
             "none", "#5A6472", 1.4);
    svg.Box(m::kScrollDown.x + 0.5, m::kScrollDown.y + i * 12 + 0.5, 11, 11, fill, 2);
    svg.Path("M" + std::to_string(m::kScrollDown.x + 3.5) + "," + std::to_string(m::kScrollDown.y + i * 12 + 4.5) +
                 " l2.5,2.5 l2.5,-2.5",
             "none", "#5A6472", 1.4);
    svg.Box(m::kScrollThumb.x + 2, m::kScrollThumb.y + i * 24 + 0.5, 8, 23,
            i == 0 ? "#C3CAD3" : i == 1 ? "#AAB3BE" : style.accent, 3);
  }
  svg.Box(m::kScrollTrack.left, m::kScrollTrack.top, m::kScrollTrack.width(),
          m::kScrollTrack.height(), "#F0F2F5");
  svg.Swatch(m::kTextPixel, "#2A2F36");
  svg.Swatch(m::kRowEvenPixel, "#FFFFFF");
  svg.Swatch(m::kRowOddPixel, "#F3F6F9");
  svg.Swatch(m::kSelectionPixel, style.accent);
  svg.Swatch(m::kSelectionTextPixel, "#FFFFFF");
  svg.Swatch(m::kTitleTextPixel, "#FFFFFF");
  svg.Swatch(m::kAccentPixel, style.accent);
  svg.Swatch(m::kStatusTextPixel, "#5A6270");
  for (int mode = 0; mode < m::kPlayModeImages; ++mode) {
    LightBarButton(svg, m::PlayModeImage(mode), m::kPlayModeWidth, m::kPlayModeHeight,
                   style.accent, std::bind(PlayModeGlyph, _1, _2, _3, _4, mode));
  }
  // The spectrum sits on the player panel: light bars, white peak marks.
  svg.Swatch(m::kSpectrumBarPixel, "#D8F0EC");
  svg.Swatch(m::kSpectrumPeakPixel, "#FFFFFF");
  return svg.Finish();
}

// ---- The desktop lyric bar --------------------------------------------------------------------
// The bar floats over any desktop: a dark, half-transparent panel with white glyphs. The scheme
// swatches repeat the unsung gradients of the bar's five colour schemes.
std::string LyricBarSkin() {
  namespace b = skin::lyricbar;
  using namespace std::placeholders;
  Svg svg(b::kWidth, b::kHeight);
  svg.Raw("<defs>"
          "<linearGradient id='s0' x1='0' y1='0' x2='0' y2='1'><stop offset='0' stop-color='#FF0000'/><stop offset='1' stop-color='#FFFF00'/></linearGradient>"
          "<linearGradient id='s1' x1='0' y1='0' x2='0' y2='1'><stop offset='0' stop-color='#FDBFFA'/><stop offset='1' stop-color='#FE68E6'/></linearGradient>"
          "<linearGradient id='s2' x1='0' y1='0' x2='0' y2='1'><stop offset='0' stop-color='#7FF157'/><stop offset='1' stop-color='#0A8902'/></linearGradient>"
          "<linearGradient id='s3' x1='0' y1='0' x2='0' y2='1'><stop offset='0' stop-color='#FAFAFA'/><stop offset='1' stop-color='#B4B4B4'/></linearGradient>"
          "<linearGradient id='s4' x1='0' y1='0' x2='0' y2='1'><stop offset='0' stop-color='#00FF7F'/><stop offset='1' stop-color='#00BFFF'/></linearGradient>"
          "</defs>");
  // Panel: one rounded box over the three pieces; the middle piece is plain.
  const char* panel = "#10151C";
  svg.Path("M0.5,10.5 A10,10 0 0 1 10.5,0.5 H79.5 A10,10 0 0 1 89.5,10.5 V109.5 A10,10 0 0 1 "
           "79.5,119.5 H10.5 A10,10 0 0 1 0.5,109.5 Z",
           panel, "#FFFFFF", 1, 0.55);
  // The outline's opacity follows the fill's; redraw it lighter on its own.
  svg.Path("M0.5,10.5 A10,10 0 0 1 10.5,0.5 H79.5 A10,10 0 0 1 89.5,10.5 V109.5 A10,10 0 0 1 "
           "79.5,119.5 H10.5 A10,10 0 0 1 0.5,109.5 Z",
           "none", "#FFFFFF", 1, 0.3);
  // Toolbar strip: a darker tab hanging from the top edge.
  {
    const Rect t = b::kToolbar;
    std::ostringstream d;
    d << 'M' << t.left << ',' << t.top << " H" << t.right << " V" << t.bottom - 6 << " A6,6 0 0 1 "
      << t.right - 6 << ',' << t.bottom << " H" << t.left + 6 << " A6,6 0 0 1 " << t.left << ','
      << t.bottom - 6 << " Z";
    svg.Path(d.str(), "#000000", nullptr, 1, 0.35);
  }
  svg.Box(b::kSliderTrack.left, b::kSliderTrack.top + 1, b::kSliderTrack.width(), 2, "#FFFFFF", 1,
          nullptr, 0.45);
  auto light_button = [&](Point origin, int w, int h, const Glyph& glyph) {
    DarkPanelButton(svg, origin, w, h, glyph);
  };
  light_button(b::kPrevious, b::kTransport, b::kTransport, std::bind(SkipGlyph, _1, _2, _3, _4, false));
  light_button(b::kPlay, b::kTransport, b::kTransport, PlayGlyph);
  light_button(b::kPause, b::kTransport, b::kTransport, PauseGlyph);
  light_button(b::kNext, b::kTransport, b::kTransport, std::bind(SkipGlyph, _1, _2, _3, _4, true));
  auto speaker = [](bool muted) {
    return [muted](Svg& s, double w, double h, const char* ink) {
      s.Raw("<g transform='translate(1.5,1.5)'>");
      SpeakerGlyph(s, w - 3, h - 3, ink, muted);
      s.Raw("</g>");
    };
  };
  light_button(b::kMute, b::kTransport, b::kTransport, speaker(false));
  light_button(b::kUnmute, b::kTransport, b::kTransport, speaker(true));
  for (int n = 0; n < 5; ++n) {
    for (int selected = 0; selected < 2; ++selected) {
      const Point o = b::SchemeButton(n, selected != 0);
      const int s = b::kScheme;
      for (int i = 0; i < 3; ++i) {
        const double y = o.y + i * s;
        const std::string fill = "url(#s" + std::to_string(n) + ")";
        if (selected) svg.Box(o.x + 0.5, y + 0.5, s - 1, s - 1, "none", 4, "#FFFFFF");
        const double inset = selected ? 3 : (i == 0 ? 3.5 : 2.5);
        svg.Box(o.x + inset, y + inset, s - 2 * inset, s - 2 * inset, fill.c_str(), 3);
        if (i == 2) svg.Box(o.x + inset, y + inset, s - 2 * inset, s - 2 * inset, "#000000", 3, nullptr, 0.2);
      }
    }
  }
  auto karaoke = [](bool on) {
    return [on](Svg& s, double w, double h, const char* ink) {
      if (on) {
        s.Box(2.5, 2.5, w - 5, h - 5, ink, 3, nullptr, 0.9);
        s.Text(w / 2, h * 0.74, "OK", 10, "#10151C", true, "middle");
      } else {
        s.Box(2.5, 2.5, w - 5, h - 5, "none", 3, ink);
        s.Text(w / 2, h * 0.74, "OK", 10, ink, true, "middle");
      }
    };
  };
  light_button(b::kKaraokeOn, b::kKaraokeWidth, b::kKaraokeHeight, karaoke(false));
  light_button(b::kKaraokeOff, b::kKaraokeWidth, b::kKaraokeHeight, karaoke(true));
  auto align = [](bool centre) {
    return [centre](Svg& s, double w, double, const char* ink) {
      const double widths[4] = {11, 7, 11, 7};
      for (int i = 0; i < 4; ++i) {
        const double x = centre ? (w - widths[i]) / 2 : 3;
        s.Box(x, 4 + i * 2.5, widths[i], 1.2, ink);
      }
    };
  };
  const int sb = b::kSmallButton;
  for (int selected = 0; selected < 2; ++selected) {
    for (int centre = 0; centre < 2; ++centre) {
      const Point o = centre ? (selected ? b::kAlignCenterSelected : b::kAlignCenter)
                             : (selected ? b::kAlignLeftSelected : b::kAlignLeft);
      if (selected) {
        for (int i = 0; i < 3; ++i) svg.Box(o.x + 1, o.y + i * sb + 1, sb - 2, sb - 2, "#FFFFFF", 3, nullptr, 0.3);
      }
      light_button(o, sb, sb, align(centre != 0));
    }
  }
  light_button(b::kSettings, sb, sb, [](Svg& s, double w, double h, const char* ink) {
    s.Circle(w / 2, h / 2, 4.5, "none", ink);
    s.Circle(w / 2, h / 2, 1.6, ink);
    for (int i = 0; i < 4; ++i) {
      std::ostringstream g;
      g << "<g transform='translate(" << w / 2 << ',' << h / 2 << ") rotate(" << i * 45
        << ")'><rect x='-0.9' y='-7' width='1.8' height='14' fill='" << ink << "'/></g>";
      s.Raw(g.str());
    }
    s.Circle(w / 2, h / 2, 3.6, "#10151C");
    s.Circle(w / 2, h / 2, 3.6, "none", ink);
  });
  light_button(b::kLock, sb, sb, [](Svg& s, double, double, const char* ink) {
    s.Path("M5.5,8 V6 A3,3 0 0 1 11.5,6 V8", "none", ink, 1.3);
    s.Box(4, 8, 9, 6.5, ink, 1.5);
  });
  light_button(b::kSwitchMode, sb, sb, [](Svg& s, double, double, const char* ink) {
    s.Box(3.5, 3.5, 10, 10, "none", 1.5, ink);
    for (int i = 0; i < 3; ++i) s.Box(5.5, 6 + i * 2.3, 6, 1.1, ink);
  });
  light_button(b::kClose, sb, sb, CrossGlyph);
  auto report = [](bool active) {
    return [active](Svg& s, double w, double h, const char* ink) {
      s.Text(w / 2, h * 0.76, "报错", 11, active ? ink : "#8A9098", false, "middle");
    };
  };
  light_button(b::kReport, b::kReportWidth, b::kReportHeight, report(true));
  // The inactive look is the same in every state.
  for (int i = 0; i < 3; ++i) {
    svg.Raw("<g transform='" + Translate(b::kReportInactive.x, b::kReportInactive.y + i * b::kReportHeight) + "'>");
    report(false)(svg, b::kReportWidth, b::kReportHeight, "#8A9098");
    svg.Raw("</g>");
  }
  const int fs = b::kFontStep;
  light_button(b::kSmaller, fs, fs, [](Svg& s, double w, double h, const char* ink) {
    s.Box(2, h / 2 - 0.75, w - 4, 1.5, ink);
  });
  light_button(b::kLarger, fs, fs, [](Svg& s, double w, double h, const char* ink) {
    s.Box(2, h / 2 - 0.75, w - 4, 1.5, ink);
    s.Box(w / 2 - 0.75, 2, 1.5, h - 4, ink);
  });
  for (int i = 0; i < 3; ++i) {
    svg.Box(b::kThumb.x + 1.5, b::kThumb.y + i * b::kThumbHeight + 1.5, b::kThumbWidth - 3,
            b::kThumbHeight - 3, i == 0 ? "#E8ECF0" : i == 1 ? "#FFFFFF" : "#C8D0D8", 2, "#10151C");
  }
  return svg.Finish();
}

bool Write(const std::string& folder, int id, const std::string& text) {
  std::ofstream out(folder + "/" + std::to_string(id) + ".svg", std::ios::binary);
  out << text;
  return bool(out);
}
}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: quillo-skin-art OUTPUT_FOLDER\n");
    return 2;
  }
  std::string folder = argv[1];
  bool ok = Write(folder, skin::kDialogFrame, DialogFrame()) &&
            Write(folder, skin::kLyricWindow, LyricWindow()) &&
            Write(folder, skin::kVolumePopup, VolumePopup()) &&
            Write(folder, skin::kColorPicker, ColorPicker()) &&
            Write(folder, skin::kLogin, PlainKit()) &&
            Write(folder, skin::kLoginLoading, Waiting(false)) &&
            Write(folder, skin::kMessageBox, MessageBox()) &&
            Write(folder, skin::kSettings, Settings()) &&
            Write(folder, skin::kPalette, Palette()) &&
            Write(folder, skin::kEqualizer, Equalizer()) &&
            Write(folder, skin::kNetworkError, NetworkError()) &&
            Write(folder, skin::kDeviceLoading, Waiting(true)) &&
            Write(folder, skin::kLyricBar, LyricBarSkin());
  for (int n = 0; ok && n < skin::kStyleCount; ++n) {
    ok = Write(folder, skin::kMainFirst + n, MainSkin(kStyles[n]));
  }
  if (!ok) std::fprintf(stderr, "quillo-skin-art: cannot write into %s\n", folder.c_str());
  return ok ? 0 : 1;
}
