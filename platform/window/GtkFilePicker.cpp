#include "platform/window/GtkFilePicker.h"

#include <gtk/gtk.h>

#include <memory>

#include "platform/window/GtkWindowPresenter.h"

namespace quillo::window {
namespace {
struct WidgetDeleter {
  void operator()(GtkWidget* w) const { gtk_widget_destroy(w); }
};
using DialogHandle = std::unique_ptr<GtkWidget, WidgetDeleter>;

struct GFree {
  void operator()(void* p) const { g_free(p); }
};
using OwnedGChars = std::unique_ptr<char, GFree>;

GtkWindow* ParentWindow(const WindowPresenter* parent) {
  auto* gtk = dynamic_cast<const GtkWindowPresenter*>(parent);
  return gtk ? gtk->gtk_window() : nullptr;
}

// "*.mp3" matches "a.MP3" too: the names users' players write come in either case.
bool MatchesSuffix(const char* name, const std::vector<std::string>& patterns) {
  if (!name) return false;
  std::string lower(name);
  for (char& c : lower) c = char(g_ascii_tolower(c));
  for (const std::string& pattern : patterns) {
    std::string suffix = pattern.rfind('*', 0) == 0 ? pattern.substr(1) : pattern;
    for (char& c : suffix) c = char(g_ascii_tolower(c));
    if (lower.size() >= suffix.size() &&
        lower.compare(lower.size() - suffix.size(), suffix.size(), suffix) == 0) {
      return true;
    }
  }
  return false;
}

gboolean FilterByPatterns(const GtkFileFilterInfo* info, gpointer patterns) {
  const auto* list = static_cast<const std::vector<std::string>*>(patterns);
  return MatchesSuffix(info->display_name, *list) ? TRUE : FALSE;
}

DialogHandle MakeDialog(const std::string& title, GtkFileChooserAction action,
                        const WindowPresenter* parent, const char* accept) {
  GtkWidget* dialog =
      gtk_file_chooser_dialog_new(title.c_str(), ParentWindow(parent), action, "取消",
                                  GTK_RESPONSE_CANCEL, accept, GTK_RESPONSE_ACCEPT, nullptr);
  gtk_file_chooser_set_local_only(GTK_FILE_CHOOSER(dialog), TRUE);
  gtk_window_set_modal(GTK_WINDOW(dialog), TRUE);
  return DialogHandle(dialog);
}
}  // namespace

std::vector<std::string> GtkFilePicker::ChooseFiles(const std::string& title,
                                                    const std::string& filter_name,
                                                    const std::vector<std::string>& patterns,
                                                    const WindowPresenter* parent) {
  DialogHandle dialog = MakeDialog(title.empty() ? std::string("打开") : title,
                                   GTK_FILE_CHOOSER_ACTION_OPEN, parent, "打开");
  ::GtkFileChooser* chooser = GTK_FILE_CHOOSER(dialog.get());
  gtk_file_chooser_set_select_multiple(chooser, TRUE);
  // The filter reads `patterns` while the dialog runs; the dialog goes before they do.
  GtkFileFilter* filter = gtk_file_filter_new();
  gtk_file_filter_set_name(filter, filter_name.c_str());
  gtk_file_filter_add_custom(filter, GTK_FILE_FILTER_DISPLAY_NAME, &FilterByPatterns,
                             const_cast<std::vector<std::string>*>(&patterns), nullptr);
  gtk_file_chooser_add_filter(chooser, filter);  // the chooser takes the floating reference

  std::vector<std::string> paths;
  if (gtk_dialog_run(GTK_DIALOG(dialog.get())) != GTK_RESPONSE_ACCEPT) return paths;
  GSList* files = gtk_file_chooser_get_filenames(chooser);
  for (GSList* item = files; item; item = item->next) {
    OwnedGChars path(static_cast<char*>(item->data));
    if (path) paths.emplace_back(path.get());
  }
  g_slist_free(files);
  return paths;
}

std::optional<std::string> GtkFilePicker::ChooseFolder(const std::string& title,
                                                       const WindowPresenter* parent) {
  DialogHandle dialog = MakeDialog(title, GTK_FILE_CHOOSER_ACTION_SELECT_FOLDER, parent, "选择");
  if (gtk_dialog_run(GTK_DIALOG(dialog.get())) != GTK_RESPONSE_ACCEPT) return std::nullopt;
  OwnedGChars path(gtk_file_chooser_get_filename(GTK_FILE_CHOOSER(dialog.get())));
  if (!path) return std::nullopt;
  return std::string(path.get());
}

}  // namespace quillo::window
