#include "ui/dialogs/NewConfigGeneralPage.h"

#include "store/ConfigKeys.h"
#include "ui/dialogs/NewConfigDlg.h"

namespace quillo::ui {
namespace keys = store::keys;
namespace {
constexpr int kToggleLeft = 162;
constexpr int kLabelLeft = 180;

struct Choice {
  int id;
  int y;
  const char* text;
  const char* value;
};
constexpr Choice kCloseChoices[] = {{NewConfigGeneralPage::kCloseAsk, 148, "每次都询问", "ask"},
                                    {NewConfigGeneralPage::kCloseMinimize, 172,
                                     "最小化到系统托盘区", "min"},
                                    {NewConfigGeneralPage::kCloseQuit, 196, "关闭软件", "close"}};
constexpr Choice kErrorChoices[] = {{NewConfigGeneralPage::kErrorAsk, 258, "提示并询问", "false"},
                                    {NewConfigGeneralPage::kErrorNext, 282, "自动播放下一首",
                                     "true"}};

gfx::Rect Toggle(int y) {
  return gfx::Rect::FromXYWH(kToggleLeft, y + 3, 13, 13);
}
gfx::Rect Label(int y) {
  return gfx::Rect::FromXYWH(kLabelLeft, y, 180, 20);
}
}  // namespace

std::vector<int> NewConfigGeneralPage::AddControls() {
  std::vector<int> ids;
  dlg_.AddToggle(ControlKind::kCheckBox, Toggle(88), kAutorun, false);
  dlg_.AddLinkedLabel(Label(88), "开机自动启动", kAutorun + 1, kAutorun);
  ids = {kAutorun, kAutorun + 1};
  for (const auto& choices : {std::vector<Choice>(std::begin(kCloseChoices), std::end(kCloseChoices)),
                              std::vector<Choice>(std::begin(kErrorChoices), std::end(kErrorChoices))}) {
    for (const Choice& c : choices) {
      dlg_.AddToggle(ControlKind::kRadio, Toggle(c.y), c.id, false);
      dlg_.AddLinkedLabel(Label(c.y), c.text, c.id + 1, c.id);
      ids.push_back(c.id);
      ids.push_back(c.id + 1);
    }
  }
  return ids;
}

void NewConfigGeneralPage::Refresh() {
  const NewConfigWorkingCopy& w = dlg_.working();
  dlg_.SetChecked(kAutorun, w.IsTrue(keys::kAutorun));
  const std::string& type = w.Get(keys::kMinimalType);
  for (const Choice& c : kCloseChoices) dlg_.SetChecked(c.id, type == c.value);
  const std::string& on_error = w.Get(keys::kOnErrorResumeNext);
  for (const Choice& c : kErrorChoices) dlg_.SetChecked(c.id, on_error == c.value);
}

void NewConfigGeneralPage::Draw(gfx::Painter& painter) {
  dlg_.DrawSection(painter, 65, "启动选项");
  dlg_.DrawSection(painter, 125, "点关闭按钮时");
  dlg_.DrawSection(painter, 235, "歌曲播放出错时");
}

bool NewConfigGeneralPage::OnControl(int id) {
  NewConfigWorkingCopy& w = dlg_.working();
  if (id == kAutorun) {
    w.Toggle(keys::kAutorun);
  } else {
    bool found = false;
    for (const Choice& c : kCloseChoices) {
      if (c.id == id) w.Set(keys::kMinimalType, c.value), found = true;
    }
    for (const Choice& c : kErrorChoices) {
      if (c.id == id) w.Set(keys::kOnErrorResumeNext, c.value), found = true;
    }
    if (!found) return false;
  }
  Refresh();
  dlg_.Redraw();
  return true;
}

}  // namespace quillo::ui
