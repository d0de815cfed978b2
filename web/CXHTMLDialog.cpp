#include "web/CXHTMLDialog.h"

#include <chrono>

#include "platform/loop/MainLoop.h"
#include "platform/shell/DetachedLauncher.h"
#include "platform/web/BridgeProtocol.h"
#include "resources/pages/BuiltInPages.h"
#include "store/DocumentStore.h"
#include "ui/toolkit/DesktopWorkArea.h"
#include "web/BorderHitTest.h"
#include "web/PageKeyFilter.h"

namespace quillo::web {
namespace {

constexpr int kFadeTimerId = 1;

// The methods every HTML window's page may call.
const std::vector<std::string>& CommonMethods() {
  static const std::vector<std::string> names{"WindowMax",     "WindowClose",     "WindowMin",
                                              "WindowRestore", "WindowStartMove", "WindowEndMove",
                                              "EnableResize",  "OpenUrl",         "GetConfig",
                                              "SetConfig",     "CheckConfig"};
  return names;
}

const std::string& Arg(const std::vector<std::string>& args, std::size_t i) {
  static const std::string kNone;
  return i < args.size() ? args[i] : kNone;
}

bool StartsWithNoCase(const std::string& s, std::string_view prefix) {
  if (s.size() < prefix.size()) return false;
  for (std::size_t i = 0; i < prefix.size(); ++i) {
    const char c = s[i] >= 'A' && s[i] <= 'Z' ? char(s[i] + 32) : s[i];
    if (c != prefix[i]) return false;
  }
  return true;
}

}  // namespace

CXHTMLDialog::CXHTMLDialog(store::DocumentStore& store, Options options)
    : ui::LayerWnd(0),
      store_(store),
      options_(std::move(options)),
      corners_(CornerProfile::FromOptions(options_.corner_count, options_.corners)) {
  SetNativeTitle(options_.title);
}

CXHTMLDialog::~CXHTMLDialog() {
  // The page and its callbacks go before the window they live in.
  view_.reset();
  target_.reset();
  Destroy();
}

bool CXHTMLDialog::Create(const gfx::Rect& screen_rect, ui::LayerWnd* parent,
                          window::WindowKind kind) {
  if (IsCreated() || inside_frame_) return false;
  gfx::Rect rect = screen_rect;
  if (!options_.geometry_name.empty()) {
    ui::WorkAreaGeometry desktop(ui::DesktopWorkArea());
    if (auto saved = store_.RestoreWindowRect(options_.geometry_name, desktop,
                                              std::max(1, options_.min_track_width),
                                              std::max(1, options_.min_track_height))) {
      rect = gfx::Rect{saved->left, saved->top, saved->right, saved->bottom};
    }
  }
  if (!ui::LayerWnd::Create(rect, parent, kind)) return false;
  if (loop::MainLoop* loop = loop::MainLoop::Instance()) {
    target_ = std::make_unique<loop::LoopTarget>(*loop);
  }
  presenter()->SetMinimumTrackSize(gfx::Size{options_.min_track_width, options_.min_track_height});
  const gfx::Size size = ClientSize();
  view_ = CreateWebView(*presenter(), gfx::Rect{0, 0, size.width, size.height});
  AttachView();
  ApplyShape();
  return true;
}

bool CXHTMLDialog::CreateInside(ui::LayerWnd& frame, const gfx::Rect& frame_rect) {
  if (IsCreated() || inside_frame_ || !frame.presenter()) return false;
  inside_frame_ = true;
  frame_ = frame.Ref();
  page_rect_ = frame_rect;
  if (loop::MainLoop* loop = loop::MainLoop::Instance()) {
    target_ = std::make_unique<loop::LoopTarget>(*loop);
  }
  view_ = CreateWebView(*frame.presenter(), frame_rect);
  AttachView();
  return true;
}

void CXHTMLDialog::SetPageRect(const gfx::Rect& frame_rect) {
  page_rect_ = frame_rect;
  if (view_) view_->SetRect(frame_rect);
}

void CXHTMLDialog::AttachView() {
  if (!view_) return;
  // The program's own pages, for every HTML window.
  SetBuiltInPageSource([](std::string_view name) -> std::optional<BuiltInResource> {
    auto page = resources::FindBuiltInPage(name);
    if (!page) return std::nullopt;
    return BuiltInResource{page->bytes, page->mime_type};
  });
  view_->SetListener(this);
  std::vector<std::string> names = CommonMethods();
  for (std::string& name : ExternalMethodNames()) names.push_back(std::move(name));
  view_->SetExternalMethods(std::move(names));
  view_->SetTrustedOrigins(TrustedOrigins());
  if (!pending_url_.empty()) view_->Load(std::exchange(pending_url_, {}));
}

ui::LayerWnd& CXHTMLDialog::host_window() {
  if (ui::LayerWnd* frame = frame_.get()) return *frame;
  return *this;
}

gfx::Rect CXHTMLDialog::PageClientRect() const {
  if (inside_frame_) return gfx::Rect{0, 0, page_rect_.width(), page_rect_.height()};
  const gfx::Size size = ClientSize();
  return gfx::Rect{0, 0, size.width, size.height};
}

// ---- Navigation and page functions -----------------------------------------------------------

void CXHTMLDialog::Navigate(const std::string& url) {
  if (view_) {
    // The service's address may have arrived after the view was made.
    view_->SetTrustedOrigins(TrustedOrigins());
    view_->Load(url);
  } else {
    pending_url_ = url;
  }
}

void CXHTMLDialog::NavigateBuiltIn(const std::string& name) {
  if (view_) {
    view_->LoadBuiltIn(name);
  } else {
    pending_url_ = bridge::BuiltInUrl(name);
  }
}

void CXHTMLDialog::CallPageFunction(const std::string& name, const std::vector<std::string>& args) {
  if (view_ && view_->IsLoaded()) view_->CallFunction(name, args);
}

// ---- The page's methods ----------------------------------------------------------------------

BridgeValue CXHTMLDialog::OnExternalCall(const std::string& method,
                                         const std::vector<std::string>& args) {
  // Window commands are posted, as the page's call must come back before the window changes.
  if (method == "WindowMax") {
    if (!maximized_) normal_rect_ = host_window().WindowRect();
    maximized_ = true;
    PostToSelf([this] { Maximize(); });
  } else if (method == "WindowRestore") {
    const bool was = std::exchange(maximized_, false);
    if (was) PostToSelf([this] { Restore(); });
  } else if (method == "WindowClose") {
    host_window().PostClose();
  } else if (method == "WindowMin") {
    PostToSelf([this] {
      if (auto* p = host_window().presenter()) p->Iconify();
    });
  } else if (method == "WindowStartMove") {
    // The page asks while its button is down: the drag starts where the pointer is.
    if (!maximized_) {
      if (auto* p = host_window().presenter()) p->BeginMoveDragAtPointer();
    }
  } else if (method == "WindowEndMove") {
    // The move ends with the button's release, which the window system sees itself.
  } else if (method == "EnableResize") {
    options_.resizable = Arg(args, 0) == "1";
    if (!options_.resizable && view_) view_->SetBorderCursor(std::nullopt);
  } else if (method == "OpenUrl") {
    // A page must not start local programs or open local files through the desktop's opener.
    const std::string& url = Arg(args, 0);
    if (StartsWithNoCase(url, "http://") || StartsWithNoCase(url, "https://")) {
      OpenExternalUrl(url);
    }
  } else if (method == "GetConfig") {
    return BridgeValue::String(store_.GetConfigText(Arg(args, 0), Arg(args, 1)));
  } else if (method == "SetConfig") {
    store_.SetConfigText(Arg(args, 0), Arg(args, 1));
  } else if (method == "CheckConfig") {
    return BridgeValue::Bool(store_.ConfigEquals(Arg(args, 0), Arg(args, 1)));
  } else {
    bool handled = false;
    BridgeValue value = OnExternalMethod(method, args, handled);
    return handled ? value : BridgeValue::Void();
  }
  return BridgeValue::Void();
}

BridgeValue CXHTMLDialog::OnExternalMethod(const std::string&, const std::vector<std::string>&,
                                           bool& handled) {
  handled = false;
  return BridgeValue::Void();
}

std::vector<std::string> CXHTMLDialog::ExternalMethodNames() const {
  return {};
}

void CXHTMLDialog::OpenExternalUrl(const std::string& url) {
  shell::LaunchDetached({"xdg-open", url}, shell::ChildOutput::kDiscard);
}

void CXHTMLDialog::PostToSelf(std::function<void()> task) {
  if (target_) target_->Post(std::move(task));
}

void CXHTMLDialog::Maximize() {
  // A window may have been restored again before the posted command ran.
  if (!maximized_) return;
  host_window().SetWindowRect(ui::DesktopWorkArea());
}

void CXHTMLDialog::Restore() {
  if (maximized_ || normal_rect_.IsEmpty()) return;
  host_window().SetWindowRect(normal_rect_);
}

// ---- Pointer and keys over the page ----------------------------------------------------------

bool CXHTMLDialog::OnPagePointer(PagePointer what, gfx::Point view_pos) {
  std::optional<window::ResizeEdge> edge;
  if (options_.resizable && !maximized_) edge = BorderHitTest::At(view_pos, PageClientRect());
  if (view_) view_->SetBorderCursor(edge);
  if (!edge) return false;
  if (what == PagePointer::kLeftDown) {
    if (auto* p = host_window().presenter()) p->BeginResizeDragAtPointer(*edge);
  }
  return true;
}

bool CXHTMLDialog::OnPageKey(unsigned keyval, bool) {
  switch (PageKeyFilter::Judge(keyval, options_.escape_closes)) {
    case PageKeyFilter::Verdict::kToPage:
      return false;
    case PageKeyFilter::Verdict::kKeep:
      return true;
    case PageKeyFilter::Verdict::kClose:
      host_window().PostClose();
      return true;
  }
  return false;
}

// ---- Fades -----------------------------------------------------------------------------------

void CXHTMLDialog::FadeIn() {
  StartFade(OpacityFade::Direction::kIn);
}
void CXHTMLDialog::FadeOut() {
  StartFade(OpacityFade::Direction::kOut);
}

void CXHTMLDialog::StartFade(OpacityFade::Direction direction) {
  window::WindowPresenter* presenter = host_window().presenter();
  if (!presenter || !target_) return;
  presenter->SetOpacity(fade_.Start(direction));
  target_->SetTimer(kFadeTimerId, std::chrono::milliseconds(OpacityFade::kStepMs), [this] {
    const auto opacity = fade_.Step();
    window::WindowPresenter* p = host_window().presenter();
    if (opacity && p) p->SetOpacity(*opacity);
    if (!fade_.running() && target_) target_->KillTimer(kFadeTimerId);
  });
}

// ---- Window ----------------------------------------------------------------------------------

void CXHTMLDialog::OnSize(gfx::Size size) {
  ui::LayerWnd::OnSize(size);
  if (inside_frame_) return;
  if (view_) view_->SetRect(gfx::Rect{0, 0, size.width, size.height});
  ApplyShape();
}

void CXHTMLDialog::ApplyShape() {
  if (inside_frame_ || !presenter()) return;
  presenter()->SetShape(corners_.Bands(ClientSize()));
}

void CXHTMLDialog::OnDestroy() {
  if (!options_.geometry_name.empty()) {
    const gfx::Rect r = WindowRect();
    store_.SaveWindowRect(options_.geometry_name, store::Rect{r.left, r.top, r.right, r.bottom});
  }
  view_.reset();
  if (target_) target_->KillTimer(kFadeTimerId);
  ui::LayerWnd::OnDestroy();
}

}  // namespace quillo::web
