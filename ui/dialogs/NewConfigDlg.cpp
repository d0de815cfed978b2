#include "ui/dialogs/NewConfigDlg.h"

#include <algorithm>

#include "platform/window/FileChooser.h"
#include "resources/skins/SkinLayout.h"
#include "store/DocumentStore.h"
#include "ui/dialogs/MessageBoxes.h"
#include "ui/dialogs/NewConfigCachePage.h"
#include "ui/dialogs/NewConfigDownloadPage.h"
#include "ui/dialogs/NewConfigGeneralPage.h"
#include "ui/dialogs/NewConfigLyricBarPage.h"
#include "ui/dialogs/NewConfigLyricWindowPage.h"
#include "ui/dialogs/NewConfigMessengerPage.h"
#include "ui/dialogs/NewConfigPage.h"
#include "ui/dialogs/NewConfigTree.h"
#include "ui/dialogs/SelectColorDlg.h"
#include "ui/toolkit/DesktopWorkArea.h"
#include "ui/toolkit/LayerListPopup.h"

namespace quillo::ui {
namespace kit = skin::kit;
namespace st = skin::settings;
namespace {
constexpr int kButtonWidth = 52;
constexpr int kButtonHeight = 19;
constexpr int kButtonTop = 419;
constexpr int kButtonBand = 44;
constexpr int kDropDownHeight = 202;
// The count edit of the download page.
constexpr gfx::Rect kCountEditRect{440, 296, 460, 313};
}  // namespace

NewConfigDlg::NewConfigDlg(Services services, int page)
    : MultiLayerDlg(skin::kSettings),
      services_(std::move(services)),
      working_(services_.store, services_.autorun_registered),
      fonts_(FontList(services_.font_families)),
      page_(NewConfigTree::PageFor(page)) {
  SetTitle(std::string(kTitle));
  SetNativeTitle(std::string(kTitle));
  SetButtonBandHeight(kButtonBand);
  pages_.push_back(std::make_unique<NewConfigGeneralPage>(*this));
  pages_.push_back(std::make_unique<NewConfigDownloadPage>(*this));
  pages_.push_back(std::make_unique<NewConfigCachePage>(*this));
  pages_.push_back(std::make_unique<NewConfigLyricBarPage>(*this));
  pages_.push_back(std::make_unique<NewConfigLyricWindowPage>(*this));
  pages_.push_back(std::make_unique<NewConfigMessengerPage>(*this));
  if (!services_.questions.alert) {
    services_.questions.alert = [this](const std::string& text) { AlertBox(text, this); };
  }
  if (!services_.questions.confirm) {
    services_.questions.confirm = [this](const std::string& text) { return ConfirmBox(text, this); };
  }
}

NewConfigDlg::~NewConfigDlg() {
  // The owner is destroying the dialog: it needs no news of the end.
  services_.on_closed = nullptr;
  Destroy();
}

std::vector<std::string> NewConfigDlg::FontList(const std::vector<std::string>& families) {
  std::vector<std::string> list = {"宋体", "黑体", "Verdana", "Arial"};
  for (const std::string& family : families) {
    if (family.empty() || family.front() == '@' || family == "System") continue;
    if (std::find(list.begin(), list.end(), family) == list.end()) list.push_back(family);
  }
  return list;
}

const std::vector<std::string>& NewConfigDlg::LyricBarSizes() {
  static const std::vector<std::string> kSizes = [] {
    std::vector<std::string> sizes;
    for (int size = 40; size >= 16; --size) sizes.push_back(std::to_string(size));
    return sizes;
  }();
  return kSizes;
}

const std::vector<std::string>& NewConfigDlg::LyricWindowSizes() {
  static const std::vector<std::string> kSizes = {"9",  "10", "11", "12", "13", "14", "16",
                                                  "18", "22", "26", "32", "48", "64", "96"};
  return kSizes;
}

const std::vector<std::string>& NewConfigDlg::Alignments() {
  static const std::vector<std::string> kAlignments = {"左对齐", "中对齐"};
  return kAlignments;
}

gfx::Rect NewConfigDlg::InitialRect(const gfx::Rect& centre_on) const {
  const gfx::Rect work = DesktopWorkArea();
  WorkAreaGeometry desktop(work);
  if (std::optional<store::Rect> saved =
          services_.store.RestoreWindowRect(kRectName, desktop, kWidth, kHeight)) {
    return gfx::Rect{saved->left, saved->top, saved->right, saved->bottom};
  }
  const gfx::Rect around = centre_on.IsEmpty() ? work : centre_on;
  const int left = std::max(0, around.left + (around.width() - kWidth) / 2);
  const int top = std::max(0, around.top + (around.height() - kHeight) / 2);
  return gfx::Rect::FromXYWH(left, top, kWidth, kHeight);
}

NewConfigPage* NewConfigDlg::PageById(int id) {
  for (auto& page : pages_) {
    if (page->id() == id) return page.get();
  }
  return nullptr;
}

NewConfigPage* NewConfigDlg::CurrentPage() {
  return PageById(page_);
}

// ---- Building -----------------------------------------------------------------------------

void NewConfigDlg::InitLayer() {
  MultiLayerDlg::InitLayer();
  AddTextButton(gfx::Rect::FromXYWH(391, kButtonTop, kButtonWidth, kButtonHeight), "确定", kOkId);
  AddTextButton(gfx::Rect::FromXYWH(449, kButtonTop, kButtonWidth, kButtonHeight), "取消",
                kCancelId);
  AddTextButton(gfx::Rect::FromXYWH(507, kButtonTop, kButtonWidth, kButtonHeight), "应用",
                kApplyId);
  for (int id : NewConfigTree::Ids()) {
    const bool group = NewConfigTree::IsGroup(id);
    const gfx::Point origin = group ? st::kGroupHeader : st::kPageRow;
    const int w = group ? st::kGroupWidth : st::kPageWidth;
    const int h = group ? st::kGroupHeight : st::kPageHeight;
    LayerControl& row = AddButton(w, h, 0, 0, origin.x, origin.y, id, {}, true);
    row.text = std::string(NewConfigTree::Text(id));
  }
  for (auto& page : pages_) page_index_[page->id()] = AddPage(page->AddControls());
  const int first = page_;
  page_ = 0;
  SelectPage(first);
  opened_at_ = WindowRect();
}

void NewConfigDlg::LayOutTree() {
  for (int id : NewConfigTree::Ids()) ShowControl(id, false);
  for (const NewConfigTree::Row& row : NewConfigTree::Layout(group_)) {
    LayerControl* control = FindControl(row.id);
    if (!control) continue;
    control->bounds = row.bounds;
    control->hidden = false;
    control->checked = row.group ? row.id == group_ : row.id == page_;
  }
}

void NewConfigDlg::SelectPage(int page) {
  page = NewConfigTree::PageFor(page);
  if (NewConfigPage* old = CurrentPage(); old && page_ != page) old->OnLeave();
  page_ = page;
  group_ = NewConfigTree::GroupOf(page);
  LayOutTree();
  ShowCountEdit(page_ == NewConfigTree::kDownloadPage);
  if (NewConfigPage* current = CurrentPage()) current->Refresh();
  auto index = page_index_.find(page_);
  if (index == page_index_.end() || !IsCreated()) return;
  ShowPage(index->second);  // draws everything and pushes it to the screen
  if (count_edit_ && count_edit_->IsCreated()) count_edit_->CopyIntoOwner();
  UpdateIfDirty();
}

void NewConfigDlg::OpenGroup(int group) {
  if (!NewConfigTree::IsGroup(group) || group == group_) return;
  SelectPage(NewConfigTree::FirstPageOf(group));
}

void NewConfigDlg::ShowCountEdit(bool shown) {
  if (shown && !count_edit_ && IsCreated()) {
    count_edit_ = std::make_unique<NumRangeEdit>(*this, kCountEditRect,
                                                 NewConfigWorkingCopy::kMinDownloads,
                                                 NewConfigWorkingCopy::kMaxDownloads);
  }
  if (!count_edit_) return;
  // The edit is a real text entry; away from its page it is taken off the window (its text
  // stays), which also takes the keyboard focus away from it.
  if (shown && !count_edit_->IsCreated()) {
    count_edit_->SetValue(working_.DownloadCount());
    count_edit_->Create();
  } else if (!shown && count_edit_->IsCreated()) {
    count_edit_->Destroy();
  }
  count_edit_shown_ = shown;
}

// ---- Drawing ------------------------------------------------------------------------------

gfx::Color NewConfigDlg::LabelColor() const {
  return SkinColor(kit::kLabelTextPixel);
}

void NewConfigDlg::DrawSection(gfx::Painter& painter, int y, std::string_view title) {
  const gfx::Font bold = gfx::Font::Points("宋体", 9, true);
  painter.DrawText(title, bold, LabelColor(), gfx::Rect{150, y, kPageRight, y + 16});
  gfx::Color line = SkinColor(st::kSectionLinePixel);
  line.a = 255;
  const int after = 150 + 14 * static_cast<int>(title.size() / 3 + 1);
  painter.FillRect(gfx::Rect{std::min(after, kPageRight - 10), y + 8, kPageRight - 10, y + 9},
                   line);
}

void NewConfigDlg::DrawText(gfx::Painter& painter, gfx::Rect box, std::string_view text,
                            std::optional<gfx::Color> color) {
  gfx::TextOptions options;
  options.vertical_center = true;
  painter.DrawText(text, control_font(), color.value_or(LabelColor()), box, options);
}

void NewConfigDlg::DrawPage(gfx::Painter& painter, int) {
  gfx::Color tree = SkinColor(st::kTreeBackPixel);
  tree.a = 255;
  painter.FillRect(gfx::Rect{kMarginLeft, kMarginTop, 126, kHeight - kBottomBand - kButtonBand},
                   tree);
  const std::string_view title = NewConfigTree::Title(page_);
  if (!title.empty()) {
    painter.DrawText(title, gfx::Font::Points("宋体", 10, true), LabelColor(),
                     gfx::Rect{kPageTitleOrigin.x, kPageTitleOrigin.y, kPageRight,
                               kPageTitleOrigin.y + 18});
  }
  if (NewConfigPage* current = CurrentPage()) current->Draw(painter);
}

void NewConfigDlg::DrawTreeRow(gfx::Painter& painter, const LayerControl& row) {
  const int state = row.checked ? 2 : (row.pressed || row.hovered) ? 1 : 0;
  if (skin()) {
    const gfx::Rect& source = state == 2 ? row.pressed_image : state == 1 ? row.hover : row.normal;
    painter.DrawImage(*skin(), source, row.bounds);
  }
  const bool group = NewConfigTree::IsGroup(row.id);
  gfx::TextOptions options;
  options.vertical_center = true;
  options.align = group ? gfx::TextAlign::kCenter : gfx::TextAlign::kLeft;
  gfx::Rect box = row.bounds;
  if (!group) box.left += 26;
  const gfx::Color color =
      group && row.checked ? SkinColor(kit::kTitleTextPixel) : LabelColor();
  painter.DrawText(row.text, gfx::Font::Points("宋体", 9, group), color, box, options);
}

void NewConfigDlg::DrawControl(LayerControl& control) {
  if (control.hidden || back_buffer().IsNull()) return;
  const bool tree = NewConfigTree::IsGroup(control.id) || NewConfigTree::IsPage(control.id);
  NewConfigPage* page = CurrentPage();
  if (tree) {
    RestoreBackground(control.bounds);
    gfx::Painter painter(back_buffer());
    DrawTreeRow(painter, control);
    SetNeedsUpdate();
    return;
  }
  if (page) {
    RestoreBackground(control.bounds);
    gfx::Painter painter(back_buffer());
    if (page->DrawControl(painter, control)) {
      SetNeedsUpdate();
      return;
    }
  }
  MultiLayerDlg::DrawControl(control);
}

void NewConfigDlg::SetControlText(int id, std::string text) {
  if (LayerControl* control = FindControl(id)) {
    control->text = std::move(text);
    DrawControl(*control);
  }
}

void NewConfigDlg::Redraw() {
  if (!IsCreated()) return;
  DrawAll();
  if (count_edit_ && count_edit_->IsCreated()) count_edit_->CopyIntoOwner();
  SetNeedsUpdate();
  UpdateIfDirty();
}

// ---- Events -------------------------------------------------------------------------------

void NewConfigDlg::OnControlEvent(LayerControl* control, int code) {
  if (NewConfigTree::IsGroup(code)) return OpenGroup(code);
  if (NewConfigTree::IsPage(code)) return SelectPage(code);
  switch (code) {
    case kOkId:
      Apply();
      return PostClose();
    case kCancelId:
      return PostClose();
    case kApplyId:
      Apply();
      return Redraw();
    default:
      break;
  }
  if (NewConfigPage* page = CurrentPage(); page && page->OnControl(code)) return;
  MultiLayerDlg::OnControlEvent(control, code);
}

void NewConfigDlg::OnSliderRelease(LayerControl& control) {
  if (NewConfigPage* page = CurrentPage()) page->OnSliderRelease(control);
}

void NewConfigDlg::OnColorPicked(int request_id, gfx::Color color) {
  if (NewConfigPage* page = CurrentPage()) page->OnColorPicked(request_id, color);
}

void NewConfigDlg::OpenDropDown(int control_id, int popup_id,
                                const std::vector<std::string>& items, const std::string& value) {
  LayerControl* control = FindControl(control_id);
  if (!control || !IsCreated() || items.empty()) return;
  auto found = std::find(items.begin(), items.end(), value);
  const int selected = found == items.end() ? 0 : int(found - items.begin());
  const int page = page_;
  auto popup = std::make_unique<LayerListPopup>(items, selected, [this, page, popup_id](int index) {
    // A choice made after the page changed belongs to no control shown.
    if (index < 0 || page != page_) return;
    if (NewConfigPage* current = CurrentPage()) current->OnPopupChosen(popup_id, index);
  });
  const gfx::Rect window = WindowRect();
  const gfx::Rect& b = control->bounds;
  const gfx::Rect rect = gfx::Rect::FromXYWH(window.left + b.left, window.top + b.bottom - 1,
                                             b.width(), kDropDownHeight);
  if (drop_down_) drop_down_->Destroy();
  drop_down_ = std::move(popup);
  drop_down_->Create(rect, this);
}

void NewConfigDlg::OpenColorPopup(int control_id, int request_id) {
  LayerControl* control = FindControl(control_id);
  if (!control || !IsCreated()) return;
  const gfx::Rect window = WindowRect();
  SelectColorDlg::Show(*this, gfx::Point{window.left + control->bounds.left,
                                         window.top + control->bounds.bottom},
                       request_id);
}

std::optional<std::string> NewConfigDlg::ChooseFolder() {
  if (!services_.chooser) return std::nullopt;
  return services_.chooser->ChooseFolder("请选择Zelbo音乐目录", presenter());
}

void NewConfigDlg::Apply() {
  // A count typed but not yet committed (the focus is still in the edit) counts as typed.
  if (count_edit_ && count_edit_->IsCreated()) working_.SetDownloadCount(count_edit_->Commit());
  NewConfigApply::Run(working_, services_.store, services_.questions, services_.effects);
  // A folder that could not be made shows where the music stays.
  working_.Set(NewConfigWorkingCopy::kMusicFolder, services_.store.FolderPath("music"));
}

void NewConfigDlg::OnClose() {
  // Only a dialog the user moved has a new place to remember: closing one that stayed where it
  // opened writes nothing, so that "取消" leaves the data file as it was.
  if (IsCreated() && opened_at_ && WindowRect() != *opened_at_) {
    const gfx::Rect r = WindowRect();
    services_.store.SaveWindowRect(kRectName, store::Rect{r.left, r.top, r.right, r.bottom});
  }
  MultiLayerDlg::OnClose();
}

void NewConfigDlg::OnDestroy() {
  if (drop_down_) drop_down_->Destroy();
  if (count_edit_) count_edit_->Destroy();
  MultiLayerDlg::OnDestroy();
  if (services_.on_closed) services_.on_closed();
}

}  // namespace quillo::ui
