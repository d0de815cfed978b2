#pragma once
// The four blocking helpers: each shows a skinned modal box titled "Zelbo音乐提示您", centred on
// the owner (the main window when none is given, else the work area), and answers when it
// closes. A box closed any other way than by its answer buttons answers false and leaves the
// out-parameters unchanged. Window thread.
#include <optional>
#include <string>
#include <vector>

namespace quillo::ui {

class LayerMessageBoxDlg;
class LayerWnd;

// Lays the box out and runs it modally, centred on the owner (the main window when none is
// given, else the work area); answers when it closed.
void RunMessageBox(LayerMessageBoxDlg& box, LayerWnd* owner = nullptr);

void AlertBox(const std::string& message, LayerWnd* owner = nullptr);
// True only when "是" closed the box.
bool ConfirmBox(const std::string& message, LayerWnd* owner = nullptr);
// True only when "确定" closed the box; then result_text is the field's text.
bool PromptBox(const std::string& message, std::string& result_text,
               const std::optional<std::string>& initial_text = std::nullopt,
               LayerWnd* owner = nullptr);
// True only when "确定" closed the box; then chosen_index is the checked option's index.
bool SelectBox(const std::string& message, const std::vector<std::string>& options,
               const std::string& preselected, int& chosen_index, LayerWnd* owner = nullptr);

}  // namespace quillo::ui
