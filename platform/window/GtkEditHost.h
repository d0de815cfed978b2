#pragma once
// Internal to platform/window: a GtkEntry placed in the skinned window's GtkFixed.
//
// Changes and focus moves reach the listener from an idle callback, never from inside GTK's own
// signal emission: the entry emits its notifications half-way through updating its state (its
// selection node, for one, exists only after the selection-bound notification), and drawing it
// from there (the listener renders) trips GTK's style machinery. Several changes in one turn of
// the loop arrive as one notice.
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
  void SetEcho(char32_t echo) override;
  void Focus() override;
  bool HasFocus() const override;
  int CaretX() const override;
  gfx::Surface Render() override;

 private:
  static void OnChanged(GtkWidget*, gpointer self);
  static void OnNotify(GObject*, GParamSpec*, gpointer self);
  static gboolean OnFocus(GtkWidget*, GdkEventFocus* e, gpointer self);
  static void OnActivate(GtkWidget*, gpointer self);
  static gboolean OnIdle(gpointer self);
  void ScheduleNotice();


  GtkFixed* fixed_;
  GtkWidget* entry_;
  GtkCssProvider* css_;
  EditListener* listener_ = nullptr;
  guint idle_source_ = 0;
  bool changed_ = false;
  bool focus_changed_ = false;
  bool focused_ = false;
};

}  // namespace quillo::window
