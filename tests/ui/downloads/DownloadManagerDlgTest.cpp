// The download manager tab embedded in a frame, without a display: the frame's events reach the
// tab (header, buttons, row menu, wheel), the tab's controls follow its area and its visibility,
// and the refresh follows the store.
#include "ui/downloads/DownloadManagerDlg.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "../FakeWindowSystem.h"
#include "DownloadManagerFixture.h"
#include "DownloadsDemo.h"
#include "ui/downloads/DownloadManagerView.h"
#include "ui/toolkit/LayerControl.h"

namespace quillo::testing {
namespace {

using downloads::DownloadRows;
using downloads::RowState;
using gallery::DownloadsDemo;
using ui::DownloadManagerDlg;

class DownloadManagerDlgTest : public DownloadManagerFixture {
 protected:
  void SetUp() override {
    DownloadManagerFixture::SetUp();
    for (int i = 1; i <= 3; ++i) AddSong(std::to_string(i), "Song " + std::to_string(i), "", "");
  }
  void TearDown() override {
    demo_.reset();
    DownloadManagerFixture::TearDown();
  }
  void Open() {
    DownloadManagerDlg::Deps deps{*runtime_, *manager_,
                                  [this](const std::vector<std::string>& ids) {
                                    deleted_.push_back(ids);
                                    for (const std::string& id : ids) library().DeleteMusic(id);
                                  }};
    deps.confirm = [this](const std::string& question) {
      questions_.push_back(question);
      return true;
    };
    demo_ = std::make_unique<DownloadsDemo>(std::move(deps));
    ASSERT_TRUE(demo_->Create(
        gfx::Rect::FromXYWH(0, 0, DownloadsDemo::kWidth, DownloadsDemo::kHeight), nullptr));
    ASSERT_NE(tab(), nullptr);
  }
  DownloadManagerDlg* tab() { return demo_->tab(); }
  window::WindowEvents& sink() { return *demo_; }
  FakePresenter& presenter() { return *system_.last; }
  ui::LayerControl* Control(int command) {
    return demo_->FindControl(DownloadManagerDlg::kControlIdBase + command);
  }
  gfx::Point Centre(const gfx::Rect& r) { return {(r.left + r.right) / 2, (r.top + r.bottom) / 2}; }
  gfx::Point RowPoint(int index) {
    const gfx::Rect list = tab()->ListRect();
    return {list.left + 100, list.top + index * ui::DownloadManagerView::kRowHeight + 5};
  }
  void RightClick(gfx::Point p) {
    window::MouseEvent e;
    e.pos = p;
    e.button = window::MouseButton::kRight;
    sink().OnNativeButtonUp(e);
  }
  void ClickAndPump(gfx::Point p) {
    Click(sink(), p);
    loop_.PumpPending();
  }

  FakeWindowSystem system_;
  std::unique_ptr<DownloadsDemo> demo_;
  std::vector<std::string> questions_;
  std::vector<std::vector<std::string>> deleted_;
};

TEST_F(DownloadManagerDlgTest, TheTabsControlsShowWithItAndFollowItsArea) {
  Open();
  for (int command : {0, 1, 2, 5, 6, 7, 8, 9}) {
    ASSERT_NE(Control(command), nullptr) << command;
    EXPECT_TRUE(Control(command)->hidden) << command;
  }
  EXPECT_EQ(tab()->rows().size(), 0u);  // nothing is read while hidden
  // A hidden tab takes no event.
  EXPECT_FALSE(tab()->OnControlEvent(Control(1), Control(1)->id));

  tab()->Show(true);
  EXPECT_EQ(tab()->rows().size(), 3u);
  EXPECT_EQ(Control(0)->text, "启动下载");
  EXPECT_EQ(Control(1)->text, "停止下载");
  EXPECT_EQ(Control(2)->text, "删除文件");
  for (int command : {0, 1, 2, 5, 6, 7, 8, 9}) EXPECT_FALSE(Control(command)->hidden) << command;
  // The header cells lie at the columns' spans from the area's left edge.
  const gfx::Rect area = tab()->area();
  EXPECT_EQ(Control(6)->bounds.left, area.left + 22);
  EXPECT_EQ(Control(6)->bounds.right, area.left + 313);
  EXPECT_EQ(Control(9)->bounds.right, area.left + 564);

  const gfx::Rect moved = gfx::Rect::FromXYWH(area.left, area.top + 40, area.width(), 300);
  tab()->SetArea(moved);
  EXPECT_EQ(Control(6)->bounds.top, moved.top);
  EXPECT_EQ(demo_->FindControl(DownloadManagerDlg::kListControlId)->bounds, tab()->ListRect());
  EXPECT_EQ(tab()->view().bounds(), tab()->ListRect());
  EXPECT_LE(Control(2)->bounds.bottom, moved.bottom);
  EXPECT_GE(Control(2)->bounds.top, tab()->ListRect().bottom);

  tab()->Show(false);
  EXPECT_TRUE(Control(6)->hidden);
}

TEST_F(DownloadManagerDlgTest, AFrameOutlivingItsTabKeepsOnlyInertControls) {
  DownloadManagerDlg::Deps deps{*runtime_, *manager_, [](const std::vector<std::string>&) {}};
  ui::LayerDlg frame;
  ASSERT_TRUE(frame.Create(gfx::Rect::FromXYWH(0, 0, DownloadsDemo::kWidth, DownloadsDemo::kHeight),
                           nullptr));
  auto tab =
      std::make_unique<DownloadManagerDlg>(frame, DownloadsDemo::TabArea(frame.ClientSize()), deps);
  tab->Show(true);
  window::MouseEvent press;
  press.pos = gfx::Point{tab->ListRect().left + 50, tab->ListRect().top + 5};
  tab.reset();
  ui::LayerControl* list = frame.FindControl(DownloadManagerDlg::kListControlId);
  ASSERT_NE(list, nullptr);
  EXPECT_TRUE(list->hidden);
  EXPECT_EQ(list->list, nullptr);
  // Presses, double-clicks and drawing of the frame go on without the tab.
  window::WindowEvents& events = frame;
  Click(events, press.pos);
  events.OnNativeDoubleClick(press);
  frame.DrawAll();
  loop_.PumpPending();
}

TEST_F(DownloadManagerDlgTest, HeaderAndButtonClicksReachTheTabThroughTheFrame) {
  Open();
  tab()->Show(true);
  ClickAndPump(Centre(Control(DownloadRows::kSizeColumn)->bounds));
  EXPECT_EQ(tab()->rows().sort_column(), DownloadRows::kSizeColumn);
  ClickAndPump(Centre(Control(DownloadRows::kSizeColumn)->bounds));
  EXPECT_FALSE(tab()->rows().ascending());

  ClickAndPump(Centre(Control(DownloadManagerDlg::kStopButton)->bounds));
  for (const auto& row : tab()->rows().rows()) EXPECT_EQ(row.state, RowState::kStopped);
  ClickAndPump(Centre(Control(DownloadManagerDlg::kStartButton)->bounds));
  for (const auto& row : tab()->rows().rows()) EXPECT_EQ(row.state, RowState::kWaiting);

  ClickAndPump(Centre(Control(DownloadManagerDlg::kDeleteButton)->bounds));
  ASSERT_EQ(questions_.size(), 1u);
  EXPECT_EQ(questions_[0], DownloadRows::kDeleteAllQuestion);
  ASSERT_EQ(deleted_.size(), 1u);
  EXPECT_EQ(deleted_[0].size(), 3u);
  EXPECT_EQ(tab()->rows().size(), 0u);
  // The frame's own events are left to it.
  EXPECT_FALSE(tab()->OnControlEvent(nullptr, 2000));
}

TEST_F(DownloadManagerDlgTest, TheRowMenuActsOnTheRowUnderThePointer) {
  Open();
  tab()->Show(true);
  Click(sink(), RowPoint(0));  // row 0 selected
  ASSERT_TRUE(tab()->rows().rows()[0].selected);

  // A right click on another row selects it alone and opens the menu.
  RightClick(RowPoint(2));
  ASSERT_EQ(presenter().menus, 1);
  EXPECT_EQ(tab()->rows().SelectedIds(), std::vector<std::string>{"3"});
  ASSERT_EQ(presenter().last_menu.size(), 3u);
  EXPECT_EQ(presenter().last_menu[0].caption, "启动");
  EXPECT_EQ(presenter().last_menu[0].id, 33056);
  EXPECT_EQ(presenter().last_menu[1].caption, "停止");
  EXPECT_EQ(presenter().last_menu[1].id, 33057);
  EXPECT_EQ(presenter().last_menu[2].caption, "删除");
  EXPECT_EQ(presenter().last_menu[2].id, 33060);

  presenter().menu_chosen(33057);
  EXPECT_EQ(tab()->rows().rows()[2].state, RowState::kStopped);
  EXPECT_TRUE(library().IsPaused("3"));
  EXPECT_EQ(tab()->rows().rows()[0].state, RowState::kWaiting);

  presenter().menu_chosen(33056);
  EXPECT_EQ(tab()->rows().rows()[2].state, RowState::kStarted);
  EXPECT_EQ(RunningSongs(), std::vector<std::string>{"3"});

  presenter().menu_chosen(33060);
  EXPECT_EQ(questions_.back(), DownloadRows::kDeleteSelectedQuestion);
  EXPECT_EQ(deleted_.back(), std::vector<std::string>{"3"});
  EXPECT_FALSE(library().HasMusic("3"));
  EXPECT_EQ(tab()->rows().size(), 2u);

  // Below the last row and outside the list: no menu.
  RightClick(RowPoint(10));
  RightClick(gfx::Point{tab()->ListRect().left + 5, tab()->area().bottom - 2});
  EXPECT_EQ(presenter().menus, 1);
  // A menu that answers after the tab went does nothing.
  RightClick(RowPoint(0));
  ASSERT_EQ(presenter().menus, 2);
  auto chosen = presenter().menu_chosen;
  demo_.reset();
  chosen(33057);
  EXPECT_FALSE(library().IsPaused("1"));
}

TEST_F(DownloadManagerDlgTest, TheWheelAndTheStripScrollALongListAndTheTickFollowsTheStore) {
  Open();
  tab()->Show(true);
  for (int i = 10; i < 60; ++i) AddSong(std::to_string(i), "More " + std::to_string(i), "", "");
  EXPECT_EQ(tab()->rows().size(), 3u);
  tab()->Tick();
  EXPECT_EQ(tab()->rows().size(), 53u);

  window::MouseEvent e;
  e.pos = RowPoint(1);
  sink().OnNativeWheel(e, 2);
  EXPECT_EQ(tab()->view().scroll_offset(), 2 * 3 * ui::DownloadManagerView::kRowHeight);
  e.pos = Centre(Control(DownloadManagerDlg::kStopButton)->bounds);
  EXPECT_FALSE(tab()->OnMouseWheel(e, 2));

  // The strip: a press below the thumb scrolls a page, dragging the thumb to the bottom shows
  // the last rows, and moves after the release scroll nothing.
  ui::DownloadManagerView& view = tab()->view();
  view.SetScrollOffset(0);
  const gfx::Rect strip = view.StripRect();
  const int page = view.bounds().height() - ui::DownloadManagerView::kRowHeight;
  Press(sink(), gfx::Point{strip.left + 5, strip.bottom - 3});
  Release(sink(), gfx::Point{strip.left + 5, strip.bottom - 3});
  EXPECT_EQ(view.scroll_offset(), page);
  const gfx::Rect thumb = view.ThumbRect();
  ASSERT_FALSE(thumb.IsEmpty());
  Press(sink(), gfx::Point{strip.left + 5, thumb.top + 2});
  Move(sink(), gfx::Point{strip.left + 5, strip.bottom + 50});
  EXPECT_EQ(view.scroll_offset(), view.MaxScroll());
  Move(sink(), gfx::Point{strip.left + 5, strip.top - 50});
  EXPECT_EQ(view.scroll_offset(), 0);
  Release(sink(), gfx::Point{strip.left + 5, strip.top - 50});
  Move(sink(), gfx::Point{strip.left + 5, strip.bottom});
  EXPECT_EQ(view.scroll_offset(), 0);
  // A press on a row is the frame's: it selects.
  Click(sink(), RowPoint(1));
  EXPECT_TRUE(tab()->rows().rows()[1].selected);

  // Hidden, the tab stops following.
  tab()->Show(false);
  AddSong("99", "Late", "", "");
  tab()->Tick();
  EXPECT_EQ(tab()->rows().IndexOf("99"), tab()->rows().size());
}

}  // namespace
}  // namespace quillo::testing
