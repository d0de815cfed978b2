#include "GalleryDemos.h"

#include "resources/skins/SkinLayout.h"
#include "ui/toolkit/LayerListPopup.h"

namespace quillo::gallery {
namespace m = skin::main;
namespace kit = skin::kit;

MainSkinDemo::MainSkinDemo(bool buttons, bool sliders)
    : LayerWnd(skin::kMainFirst), buttons_(buttons), sliders_(sliders) {}

void MainSkinDemo::InitLayer() {
  int t = m::kTitleButton;
  AddButton(t, t, 246, 4, m::kMinimize.x, m::kMinimize.y, 15, "最小化");
  AddButton(t, t, 270, 4, m::kMiniMode.x, m::kMiniMode.y, 14, "Mini模式");
  AddButton(t, t, 296, 4, m::kClose.x, m::kClose.y, 11, "关闭");
  if (buttons_) {
    int b = m::kTransportButton;
    AddButton(b, b, 20, 60, m::kPrevious.x, m::kPrevious.y, 0, "上一首");
    AddButton(b, b, 60, 60, m::kPlay.x, m::kPlay.y, 1, "播放");
    AddButton(b, b, 100, 60, m::kNext.x, m::kNext.y, 3, "下一首");
    AddButton(m::kSmallButton, m::kSmallButton, 150, 68, m::kMute.x, m::kMute.y, 4, "静音");
    AddButton(t, t, 200, 4, m::kSettings.x, m::kSettings.y, 13, "这里更改Zelbo音乐设置");
    AddButton(t, t, 222, 4, m::kColor.x, m::kColor.y, 18, "改变颜色");
  }
  if (sliders_) {
    AddSlider(m::kThumbSize, m::kThumbSize, 60, 38, m::kSeekThumb.x, m::kSeekThumb.y, 23,
              gfx::Rect{20, 38, 300, 48});
    AddSlider(m::kThumbSize, m::kThumbSize, 230, 71, m::kVolumeThumb.x, m::kVolumeThumb.y, 22,
              gfx::Rect{180, 71, 260, 81});
  }
}

void MainSkinDemo::DrawBackground() {
  if (!skin()) return;
  {
    gfx::Painter p(back_buffer());
    p.DrawImage(*skin(), m::kBackground, gfx::Point{0, 0});
    if (sliders_) {
      p.DrawImage(*skin(), m::kSeekTrack, gfx::Rect{20, 40, 300, 46});
      p.DrawImage(*skin(), m::kVolumeTrack, gfx::Rect{180, 74, 260, 78});
    }
    gfx::TextOptions options;
    p.DrawText("后来 - 刘若英", gfx::Font::Points("宋体", 9), SkinColor(m::kTitleTextPixel),
               gfx::Rect{20, 96, 300, 112}, options);
  }
  for (int id : {22, 23}) {
    if (ui::LayerControl* c = FindControl(id)) DrawFill(*c);
  }
}

void MainSkinDemo::DrawSliderTrack(int id) {
  if (!skin()) return;
  gfx::Painter p(back_buffer());
  if (id == 23) p.DrawImage(*skin(), m::kSeekTrack, gfx::Rect{20, 40, 300, 46});
  if (id == 22) p.DrawImage(*skin(), m::kVolumeTrack, gfx::Rect{180, 74, 260, 78});
}

void MainSkinDemo::DrawFill(ui::LayerControl& thumb) {
  if (!skin()) return;
  gfx::Painter p(back_buffer());
  gfx::Rect fill = thumb.id == 23 ? m::kSeekFill : m::kVolumeFill;
  int top = thumb.id == 23 ? 40 : 74, h = fill.height();
  int width = thumb.bounds.left + 5 - thumb.track.left;
  if (width > 0) {
    p.DrawImage(*skin(), gfx::Rect::FromXYWH(fill.left, fill.top, width, h),
                gfx::Point{thumb.track.left, top});
  }
  DrawControl(thumb);
}

StringList::StringList(ui::LayerWnd& owner, const gfx::Rect& bounds, std::vector<std::string> rows)
    : ui::LayerListViewS(owner, bounds, 18, 0), rows_(std::move(rows)) {}

void StringList::DrawRow(gfx::Painter& p, int index, int x, int y, const gfx::Rect&, bool selected) {
  gfx::Rect row{x, y, bounds().right, y + row_height()};
  gfx::Color fill = owner().SkinColor(selected ? kit::kSelectionPixel
                                      : index % 2 ? kit::kRowOddPixel
                                                  : kit::kRowEvenPixel);
  fill.a = 255;
  p.FillRectSource(row, fill);
  gfx::TextOptions options;
  options.vertical_center = true;
  p.DrawText(rows_[std::size_t(index)], owner().control_font(),
             owner().SkinColor(selected ? kit::kSelectionTextPixel : kit::kLabelTextPixel),
             gfx::Rect{x + 6, y, row.right, row.bottom}, options);
}

KitDemo::KitDemo(std::string kind) : ui::LayerDlg(skin::kDialogFrame), kind_(std::move(kind)) {
  SetTitle("控件示例：" + kind_);
  SetButtonBandHeight(30);
}

KitDemo::~KitDemo() { Destroy(); }

void KitDemo::InitLayer() {
  ui::LayerDlg::InitLayer();
  if (kind_ == "textbutton" || kind_ == "dialog") {
    AddTextButton(gfx::Rect::FromXYWH(30, 50, 64, 20), "确定", 100);
    AddTextButton(gfx::Rect::FromXYWH(104, 50, 64, 20), "取消", 101);
    AddTextButton(gfx::Rect::FromXYWH(178, 50, 90, 20), "应用设置", 102);
  }
  if (kind_ == "dropdown" || kind_ == "dialog") {
    AddDropDown(gfx::Rect::FromXYWH(30, 84, 160, 20), "宋体", 110);
  }
  if (kind_ == "checkbox" || kind_ == "label" || kind_ == "dialog") {
    AddToggle(ui::ControlKind::kCheckBox, gfx::Rect::FromXYWH(30, 118, 13, 13), 120, true);
    AddLinkedLabel(gfx::Rect::FromXYWH(50, 117, 200, 15), "启动时自动播放上次的歌曲", 121, 120);
    AddToggle(ui::ControlKind::kCheckBox, gfx::Rect::FromXYWH(30, 138, 13, 13), 122, false);
    AddLinkedLabel(gfx::Rect::FromXYWH(50, 137, 200, 15), "显示桌面歌词", 123, 122);
  }
  if (kind_ == "radio") {
    for (int i = 0; i < 3; ++i) {
      AddToggle(ui::ControlKind::kRadio, gfx::Rect::FromXYWH(30, 50 + 22 * i, 13, 13), 130 + 2 * i,
                i == 0);
      const char* texts[3] = {"顺序播放", "随机播放", "单曲循环"};
      AddLinkedLabel(gfx::Rect::FromXYWH(50, 49 + 22 * i, 150, 15), texts[i], 131 + 2 * i,
                     130 + 2 * i);
    }
  }
  if (kind_ == "list") {
    list_ = std::make_unique<StringList>(
        *this, gfx::Rect{8, 29, ClientSize().width - 8, ClientSize().height - 44},
        std::vector<std::string>{"我的最爱", "华语经典", "夜间电台", "跑步歌单", "English Songs",
                                 "轻音乐", "最近播放", "本地音乐"});
    list_->SetSelected(1);
    AddList(*list_, 140);
  }
  if (kind_ == "edit") {
    edit_ = std::make_unique<ui::LayerEdit>(*this, gfx::Rect::FromXYWH(30, 60, 230, 20));
    edit_->SetText("新建播放列表");
    edit_->Create();
  }
}

void KitDemo::DrawBackground() {
  ui::LayerDlg::DrawBackground();
  if (kind_ == "edit") {
    gfx::Painter p(back_buffer());
    gfx::Color frame = SkinColor(kit::kLinePixel);
    frame.a = 255;
    p.StrokeRect(gfx::Rect::FromXYWH(29, 59, 232, 22), frame);
    p.DrawText("播放列表名称：", control_font(), SkinColor(kit::kLabelTextPixel),
               gfx::Rect::FromXYWH(30, 40, 200, 16));
    if (edit_) edit_->CopyIntoOwner();
  }
}

void KitDemo::OnControlEvent(ui::LayerControl* control, int code) {
  if (control && (control->kind == ui::ControlKind::kCheckBox)) {
    SetChecked(code, !control->checked);
    return;
  }
  if (control && control->kind == ui::ControlKind::kRadio) {
    for (int id = 130; id <= 134; id += 2) SetChecked(id, id == code);
    return;
  }
  if (code == 110 && control) {
    gfx::Rect field = control->bounds.Offset(WindowRect().left, WindowRect().top);
    popup_ = std::make_unique<ui::LayerListPopup>(std::vector<std::string>{"宋体", "黑体", "Arial", "Verdana"}, 0,
                                         [this](int index) {
                                           const char* fonts[4] = {"宋体", "黑体", "Arial", "Verdana"};
                                           if (ui::LayerControl* c = FindControl(110)) {
                                             c->text = fonts[index];
                                             DrawControl(*c);
                                           }
                                         });
    popup_->Create(popup_->RectUnder(field), this);
    return;
  }
  ui::LayerDlg::OnControlEvent(control, code);
}

void KitDemo::OnDestroy() {
  if (edit_) edit_->Destroy();
}

}  // namespace quillo::gallery
