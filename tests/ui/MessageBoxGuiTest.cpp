// Under X (Xvfb), with real pointer and keyboard events through XTest: every message box runs
// modally over its owner and answers as it should when its buttons are clicked and when it is
// closed with its close button; the prompt takes typed and pasted Chinese text.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "GuiHarness.h"
#include "platform/window/WindowSystem.h"
#include "ui/dialogs/AskOnExitDlg.h"
#include "ui/dialogs/CopyDeviceConfirmDlg.h"
#include "ui/dialogs/MessageBoxes.h"
#include "ui/dialogs/PromptMessageBoxDlg.h"
#include "ui/dialogs/SelectMessageBoxDlg.h"
#include "ui/toolkit/LayerDlg.h"
#include "ui/toolkit/RunModal.h"

namespace quillo::ui {
namespace {
using testing::ClickAt;
using testing::ControlCentre;
using testing::GuiScript;
using testing::IsOnScreen;
using testing::NewestWindow;

constexpr int kClose = LayerMessageBoxDlg::kCloseId;

// The window the boxes are run over; it counts the clicks its one button gets.
class OwnerWindow : public LayerDlg {
 public:
  static constexpr int kButtonId = 50;
  OwnerWindow() { SetTitle("Zelbo音乐"); }
  void InitLayer() override {
    LayerDlg::InitLayer();
    AddTextButton(gfx::Rect::FromXYWH(20, 40, 64, 20), "播放", kButtonId);
  }
  void OnControlEvent(LayerControl* control, int code) override {
    if (code == kButtonId) {
      ++clicks;
      return;
    }
    LayerDlg::OnControlEvent(control, code);
  }
  int clicks = 0;
};

class MessageBoxGuiTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!testing::GuiRuntime()) GTEST_SKIP() << "no display";
    ASSERT_TRUE(
        owner.Create(gfx::Rect::FromXYWH(100, 80, 640, 480), nullptr, window::WindowKind::kMain));
    ASSERT_TRUE(testing::WaitFor([&] { return IsOnScreen(owner); }));
  }
  void TearDown() override {
    testing::ReleaseTypingKeys();
    owner.Destroy();
    testing::WaitFor([] { return NewestWindow() == nullptr; });
  }

  // Clicks each control of the newest window in turn, as a user would.
  void ClickAll(GuiScript& script, const std::vector<int>& ids) {
    for (int id : ids) script.ClickControl(id);
  }
  void ExpectPlayed(const GuiScript& script) { EXPECT_TRUE(script.finished()) << script.Trace(); }

  OwnerWindow owner;
};

TEST_F(MessageBoxGuiTest, AlertRunsModallyOverItsOwnerAndClosesByEitherButton) {
  for (int button : {0, kClose}) {
    SCOPED_TRACE(button);
    owner.clicks = 0;
    GuiScript script;
    script.WithWindow("box is up", [&](LayerWnd& box) {
      EXPECT_FALSE(owner.IsEnabled());
      gfx::Rect o = owner.WindowRect(), b = box.WindowRect();
      EXPECT_EQ(b.left, o.left + (o.width() - b.width()) / 2);
      EXPECT_EQ(b.top, o.top + (o.height() - b.height()) / 2);
      // The owner is disabled: this click must come to nothing. X delivers it before the click
      // on the box's button that follows, so it has been handled when the box closes.
      ClickAt(ControlCentre(owner, OwnerWindow::kButtonId));
    });
    script.ClickControl(button);
    AlertBox("歌曲已经添加到下载列表。", &owner);
    ExpectPlayed(script);
    EXPECT_EQ(owner.clicks, 0);
    EXPECT_TRUE(owner.IsEnabled());
    // Enabled again: the same click now reaches the owner.
    ClickAt(ControlCentre(owner, OwnerWindow::kButtonId));
    EXPECT_TRUE(testing::WaitFor([&] { return owner.clicks == 1; }));
  }
}

TEST_F(MessageBoxGuiTest, ConfirmAnswersYesOnlyForItsYesButton) {
  struct Case {
    int button;
    bool answer;
  } cases[] = {{1, true}, {2, false}, {kClose, false}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.button);
    GuiScript script;
    script.ClickControl(c.button);
    EXPECT_EQ(ConfirmBox("确定要删除选中的歌曲吗？", &owner), c.answer);
    ExpectPlayed(script);
  }
}

TEST_F(MessageBoxGuiTest, PromptAnswersWithItsFieldOnlyForOk) {
  struct Case {
    int button;
    bool answer;
    std::string text;
  } cases[] = {{PromptMessageBoxDlg::kOk, true, "新建播放列表"},
               {PromptMessageBoxDlg::kCancel, false, "unchanged"},
               {kClose, false, "unchanged"}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.button);
    GuiScript script;
    script.ClickControl(c.button);
    std::string text = "unchanged";
    EXPECT_EQ(PromptBox("请输入新播放列表的名称：", text, std::string("新建播放列表"), &owner),
              c.answer);
    EXPECT_EQ(text, c.text);
    ExpectPlayed(script);
  }
}

// The prompt box's field, which the script types into.
LayerEdit& FieldOf(LayerWnd& box) {
  return dynamic_cast<PromptMessageBoxDlg&>(box).edit();
}

// Near-black pixels of the back buffer inside the rectangle: unselected text (and the caret,
// one column of the field at most). Selected text is white on blue and does not count.
int InkIn(LayerWnd& window, const gfx::Rect& r) {
  int ink = 0;
  for (int y = r.top; y < r.bottom; ++y) {
    for (int x = r.left; x < r.right; ++x) {
      gfx::Color c = window.back_buffer().ColorAt(x, y);
      ink += c.r + c.g + c.b < 200;
    }
  }
  return ink;
}

TEST_F(MessageBoxGuiTest, PromptTakesTypedAndPastedChinese) {
  struct Case {
    std::optional<std::string> initial;
    std::string typed;      // typed key by key (replacing the selected initial text)
    std::string clipboard;  // then pasted with ctrl+v, when not empty
    std::string answer;
  } cases[] = {
      {std::string("新建播放列表"), "我的歌单", "", "我的歌单"},
      {std::nullopt, "", "华语经典 2024", "华语经典 2024"},
      {std::nullopt, "夜间", "电台·轻音乐", "夜间电台·轻音乐"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.answer);
    GuiScript script;
    script.Step(
        "field has the focus",
        [] {
          LayerWnd* box = NewestWindow();
          return box && IsOnScreen(*box) && box->IsActive() && FieldOf(*box).HasFocus();
        },
        [&] {
          LayerWnd& box = *NewestWindow();
          gfx::Rect field = FieldOf(box).rect();
          EXPECT_LE(InkIn(box, field), field.height());  // empty or all selected
          if (!c.typed.empty()) testing::TypeText(c.typed);
          if (!c.clipboard.empty()) {
            window::WindowSystem::Instance()->SetClipboardText(c.clipboard);
            testing::PressKeys("ctrl+v");
          }
        });
    script.Step(
        "field shows the text",
        [&] {
          LayerWnd* box = NewestWindow();
          return box && FieldOf(*box).Text() == c.answer;
        },
        [&] {
          LayerWnd& box = *NewestWindow();
          // What the entry shows has landed in the back buffer too.
          EXPECT_TRUE(testing::WaitFor([&] { return InkIn(box, FieldOf(box).rect()) > 30; }));
        });
    script.ClickControl(PromptMessageBoxDlg::kOk);
    std::string text = "unchanged";
    EXPECT_TRUE(PromptBox("请输入新播放列表的名称：", text, c.initial, &owner));
    EXPECT_EQ(text, c.answer);
    ExpectPlayed(script);
  }
}

TEST_F(MessageBoxGuiTest, SelectAnswersTheCheckedOptionOnlyForOk) {
  const std::vector<std::string> options{"我的最爱", "华语经典", "夜间电台"};
  struct Case {
    std::vector<int> clicks;
    bool answer;
    int chosen;
  } cases[] = {
      {{SelectMessageBoxDlg::kOk}, true, 2},  // the preselected one
      {{SelectMessageBoxDlg::LabelId(0), SelectMessageBoxDlg::kOk}, true, 0},  // by its text
      {{SelectMessageBoxDlg::RadioId(1), SelectMessageBoxDlg::kOk}, true, 1},
      {{SelectMessageBoxDlg::RadioId(0), SelectMessageBoxDlg::kCancel}, false, -7},
      {{SelectMessageBoxDlg::RadioId(0), kClose}, false, -7},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.clicks.front());
    GuiScript script;
    ClickAll(script, c.clicks);
    int chosen = -7;
    EXPECT_EQ(SelectBox("请选择要添加到的播放列表：", options, "夜间电台", chosen, &owner),
              c.answer);
    EXPECT_EQ(chosen, c.chosen);
    ExpectPlayed(script);
  }
}

TEST_F(MessageBoxGuiTest, AskOnExitAnswersChoiceAndRemember) {
  using Choice = AskOnExitDlg::Choice;
  struct Case {
    std::vector<int> clicks;
    int result;
    Choice choice;
    bool remember;
  } cases[] = {
      {{AskOnExitDlg::kOk}, AskOnExitDlg::kOk, Choice::kMinimize, true},
      // The labels act for their buttons.
      {{3, 5, AskOnExitDlg::kOk}, AskOnExitDlg::kOk, Choice::kClose, false},
      {{AskOnExitDlg::kCloseRadio, AskOnExitDlg::kMinimizeRadio, AskOnExitDlg::kRememberCheck,
        AskOnExitDlg::kRememberCheck, AskOnExitDlg::kOk},
       AskOnExitDlg::kOk,
       Choice::kMinimize,
       true},
      {{AskOnExitDlg::kCloseRadio, AskOnExitDlg::kCancel},
       AskOnExitDlg::kCancel,
       Choice::kClose,
       true},
      {{kClose}, LayerMessageBoxDlg::kNoResult, Choice::kMinimize, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.clicks.size());
    GuiScript script;
    ClickAll(script, c.clicks);
    AskOnExitDlg ask;
    ask.Layout();
    RunModal(ask, CenteredOn(owner.WindowRect(), ask.size()), &owner);
    EXPECT_EQ(ask.result(), c.result);
    EXPECT_EQ(ask.choice(), c.choice);
    EXPECT_EQ(ask.remember(), c.remember);
    ExpectPlayed(script);
  }
}

TEST_F(MessageBoxGuiTest, CopyConfirmationAnswersTrueOnlyForConfirm) {
  struct Case {
    int button;
    bool answer;
  } cases[] = {{CopyDeviceConfirmDlg::kConfirmId, true},
               {CopyDeviceConfirmDlg::kCancelId, false},
               {LayerDlg::kCloseButtonId, false}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.button);
    GuiScript script;
    script.ClickControl(c.button);
    EXPECT_EQ(CopyDeviceConfirmDlg::Run(&owner, {"后来 - 刘若英", "晴天 - 周杰伦"}), c.answer);
    ExpectPlayed(script);
  }
}

}  // namespace
}  // namespace quillo::ui
