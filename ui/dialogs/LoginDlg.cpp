#include "ui/dialogs/LoginDlg.h"

#include "resources/skins/SkinLayout.h"
#include "ui/toolkit/LayerListPopup.h"

namespace quillo::ui {
namespace kit = skin::kit;
namespace {
// Two rows (name, password): a caption, the field in a 1-pixel frame, and a link at the right.
constexpr int kNameRowTop = 58;
constexpr int kPasswordRowTop = 96;
constexpr int kCaptionLeft = 24;
constexpr int kFieldLeft = 78;
constexpr int kFieldRight = 232;  // the name field leaves room for the account button
constexpr int kRowHeight = 20;
constexpr int kLinkLeft = 256;
constexpr int kLinkWidth = 50;
constexpr int kButtonWidth = 64;
constexpr int kButtonBand = 40;

gfx::Rect FieldFrame(int top, int right) {
  return gfx::Rect{kFieldLeft, top, right, top + kRowHeight};
}
gfx::Rect FieldInside(int top, int right) {
  return gfx::Rect{kFieldLeft + 1, top + 1, right - 1, top + kRowHeight - 1};
}
}  // namespace

LoginDlg::LoginDlg(std::vector<std::string> accounts, Hooks hooks)
    : LayerDlg(skin::kLogin),
      accounts_(std::move(accounts)),
      hooks_(std::move(hooks)),
      user_name_edit_(*this, FieldInside(kNameRowTop, kFieldRight)),
      password_edit_(*this, FieldInside(kPasswordRowTop, kFieldRight + kit::kDropDownArrow)) {
  SetTitle("用户登录");
  SetButtonBandHeight(kButtonBand);
  password_edit_.SetEcho(kPasswordEcho);
}

LoginDlg::~LoginDlg() {
  Destroy();
}

void LoginDlg::InitLayer() {
  LayerDlg::InitLayer();
  AddButton(kit::kDropDownArrow, kRowHeight, kFieldRight, kNameRowTop,
            kit::kDropDownX + kit::kDropDownWidth - kit::kDropDownArrow, 0, kAccountButtonId,
            "选择帐号");
  // A link is a label that acts for itself.
  AddLinkedLabel(gfx::Rect::FromXYWH(kLinkLeft, kNameRowTop, kLinkWidth, kRowHeight), "申请帐号",
                 kRegisterId, kRegisterId);
  AddLinkedLabel(gfx::Rect::FromXYWH(kLinkLeft, kPasswordRowTop, kLinkWidth, kRowHeight),
                 "忘记密码", kForgotPasswordId, kForgotPasswordId);
  int button_top = ClientSize().height - kBottomBand - kButtonBand + 10;
  int right = ClientSize().width - kMarginRight - 12;
  AddTextButton(gfx::Rect::FromXYWH(right - 2 * kButtonWidth - 10, button_top, kButtonWidth, 20),
                "登录", kLoginId);
  AddTextButton(gfx::Rect::FromXYWH(right - kButtonWidth, button_top, kButtonWidth, 20), "取消",
                kCancelId);

  user_name_edit_.SetOnActivate([this] { PressLogin(); });
  password_edit_.SetOnActivate([this] { PressLogin(); });
  bool name_made = user_name_edit_.Create();
  password_edit_.Create();
  if (name_made) {
    // Typing starts in the first field still empty.
    if (!user_name_edit_.Text().empty()) {
      password_edit_.Focus();
    } else {
      user_name_edit_.Focus();
    }
  }
}

void LoginDlg::DrawBackground() {
  LayerDlg::DrawBackground();
  {
    gfx::Painter p(back_buffer());
    gfx::Color label = SkinColor(kit::kLabelTextPixel);
    gfx::Color line = SkinColor(kit::kLinePixel);
    line.a = 255;
    gfx::TextOptions options;
    options.vertical_center = true;
    p.DrawText("帐  号:", control_font(), label,
               gfx::Rect{kCaptionLeft, kNameRowTop, kFieldLeft - 4, kNameRowTop + kRowHeight},
               options);
    p.DrawText(
        "密  码:", control_font(), label,
        gfx::Rect{kCaptionLeft, kPasswordRowTop, kFieldLeft - 4, kPasswordRowTop + kRowHeight},
        options);
    gfx::Rect name = FieldFrame(kNameRowTop, kFieldRight);
    gfx::Rect password = FieldFrame(kPasswordRowTop, kFieldRight + kit::kDropDownArrow);
    p.StrokeRect(gfx::Rect::FromXYWH(name.left, name.top, name.width(), name.height()), line);
    p.StrokeRect(
        gfx::Rect::FromXYWH(password.left, password.top, password.width(), password.height()),
        line);
    // The links are underlined, as links are.
    for (int top : {kNameRowTop, kPasswordRowTop}) {
      p.FillRect(gfx::Rect{kLinkLeft, top + kRowHeight - 3, kLinkLeft + 48, top + kRowHeight - 2},
                 label);
    }
  }
  user_name_edit_.CopyIntoOwner();
  password_edit_.CopyIntoOwner();
}

void LoginDlg::ChooseAccount(int index) {
  if (index < 0 || std::size_t(index) >= accounts_.size()) return;
  user_name_edit_.SetText(accounts_[std::size_t(index)]);
  user_name_edit_.CopyIntoOwner();
  password_edit_.Focus();
  SetNeedsUpdate();
  UpdateIfDirty();
}

void LoginDlg::PressLogin() {
  std::string name = user_name_edit_.Text();
  std::string password = password_edit_.Text();
  bool accepted = hooks_.check_fields ? hooks_.check_fields(name, password)
                                      : !name.empty() && !password.empty();
  if (!accepted || !IsCreated()) return;
  user_name_ = std::move(name);
  password_ = std::move(password);
  outcome_ = Outcome::kLogin;
  PostClose();
}

void LoginDlg::OpenAccountList() {
  if (accounts_.empty() || !IsCreated()) return;
  if (account_popup_ && account_popup_->IsCreated()) return;
  // The popup lists the accounts under the name field; its answer is notification 5.
  account_popup_ =
      std::make_unique<LayerListPopup>(accounts_, -1, [this](int index) { ChooseAccount(index); });
  gfx::Rect window = WindowRect();
  gfx::Rect field = FieldFrame(kNameRowTop, kFieldRight + kit::kDropDownArrow);
  gfx::Rect screen_field = gfx::Rect::FromXYWH(window.left + field.left, window.top + field.top,
                                               field.width(), field.height());
  account_popup_->Create(account_popup_->RectUnder(screen_field), this);
}

void LoginDlg::OnControlEvent(LayerControl* control, int code) {
  switch (code) {
    case kLoginId:
      return PressLogin();
    case kCancelId:
      return PostClose();
    case kAccountButtonId:
      return OpenAccountList();
    case kRegisterId:
      outcome_ = Outcome::kRegister;
      return PostClose();
    case kForgotPasswordId:
      if (hooks_.forgot_password) hooks_.forgot_password();
      return;
    default:
      LayerDlg::OnControlEvent(control, code);
  }
}

void LoginDlg::OnDestroy() {
  if (account_popup_) account_popup_->Destroy();
  user_name_edit_.Destroy();
  password_edit_.Destroy();
}

}  // namespace quillo::ui
