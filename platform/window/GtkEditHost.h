#pragma once
// Internal to platform/window: a GtkEntry placed in the skinned window's GtkFixed.
#include <gtk/gtk.h>

#include "platform/window/EditHost.h"
#include "platform/gfx/Font.h"

namespace quillo::window {

class GtkEditHost : public EditHost {
 public:
  GtkEditHost(GtkFixed* fixed, const gfx::Rect& rect, const gfx::Font& font);
  ~GtkEditHost() override;

  void SetListener(EditListener* listener) override { listener_ = listener; }
  void SetText(std::string_view utf8) override;
  std::string Text() const override;
  void SelectAll() override;
  void SetRect(const gfx::Rect& window_rect) override;
  void SetVisible(bool visible) override;
  void Focus() override;
  bool HasFocus() const override;
  int CaretX() const override;
  gfx::Surface Render() override;

 private:
  static void OnChanged(GtkWidget*, gpointer self);
  static void OnNotify(GObject*, GParamSpec*, gpointer self);
  static gboolean OnFocus(GtkWidget*, GdkEventFocus* e, gpointer self);
  static void OnActivate(GtkWidget*, gpointer self);

  GtkFixed* fixed_;
  GtkWidget* entry_;
  GtkCssProvider* css_;
  EditListener* listener_ = nullptr;
};

}  // namespace quillo::window
