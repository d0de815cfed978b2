// Under X with real keys: the GTK file and folder choosers come up and answer nothing when the
// user cancels them with Escape.
#include <gtest/gtest.h>
#include <gtk/gtk.h>

#include <optional>
#include <string>
#include <vector>

#include "GuiHarness.h"
#include "platform/window/GtkFilePicker.h"

namespace quillo::window {
namespace {
using quillo::testing::GuiScript;

// The chooser dialog once it is mapped and has the keyboard focus.
bool ChooserIsUp() {
  bool up = false;
  GList* windows = gtk_window_list_toplevels();
  for (GList* w = windows; w; w = w->next) {
    GtkWidget* widget = GTK_WIDGET(w->data);
    if (GTK_IS_FILE_CHOOSER_DIALOG(widget) && gtk_widget_get_mapped(widget) &&
        gtk_window_has_toplevel_focus(GTK_WINDOW(widget))) {
      up = true;
    }
  }
  g_list_free(windows);
  return up;
}

TEST(FilePickerGuiTest, EscapeClosesTheChoosersWithoutAnAnswer) {
  if (!quillo::testing::GuiRuntime()) GTEST_SKIP() << "no display";
  GtkFilePicker picker;
  // Whatever happens, no chooser stays open past the bound: the test fails instead of hanging.
  guint guard = g_timeout_add_seconds(
      15,
      [](gpointer) -> gboolean {
        GList* windows = gtk_window_list_toplevels();
        for (GList* w = windows; w; w = w->next) {
          if (GTK_IS_FILE_CHOOSER_DIALOG(w->data)) {
            gtk_dialog_response(GTK_DIALOG(w->data), GTK_RESPONSE_DELETE_EVENT);
          }
        }
        g_list_free(windows);
        return G_SOURCE_CONTINUE;
      },
      nullptr);
  {
    GuiScript script;
    script.Step("chooser is up", ChooserIsUp, [] { quillo::testing::PressKeys("Escape"); });
    EXPECT_EQ(picker.ChooseFolder("请选择要导入的目录", nullptr), std::nullopt);
    EXPECT_TRUE(script.finished()) << script.Trace() << " " << script.stuck();
  }
  {
    GuiScript script;
    script.Step("chooser is up", ChooserIsUp, [] { quillo::testing::PressKeys("Escape"); });
    EXPECT_TRUE(picker.ChooseFiles("", "音乐文件", {"*.mp3", "*.wma"}, nullptr).empty());
    EXPECT_TRUE(script.finished()) << script.Trace() << " " << script.stuck();
  }
  g_source_remove(guard);
}

}  // namespace
}  // namespace quillo::window
