#pragma once
// Maps the main window's layer events (control ids) and menu commands to its actions. Stateless
// apart from the layout it is told; window thread only.
#include "ui/main/MainActions.h"

namespace quillo::ui {

class MainCommandRouter {
 public:
  static constexpr int kPanelOpenWidth = 70;
  static constexpr const char* kRegisterPage = "user/register.php";
  static constexpr const char* kMySpaceQuestion = "您还没有注册成为Zelbo的用户，是否立即注册?";

  explicit MainCommandRouter(MainActions& actions) : actions_(actions) {}

  // A click on control `id` (or the posted code with no control). Answers whether it was one
  // of the main window's.
  bool OnControl(int id);
  // A menu or accelerator command. Answers whether it was handled.
  bool OnCommand(int command_id);

  // "加大音量" / "减小音量": ten points up or down, clamped to 0 … 100.
  static int VolumeAfterStep(int volume, bool up);

 private:
  void StepVolume(bool up);
  void MySpace();

  MainActions& actions_;
};

}  // namespace quillo::ui
