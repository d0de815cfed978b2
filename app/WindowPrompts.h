#pragma once
// The program's question boxes for the parts made before the main window: the playlist commands'
// name prompt and the lyric's save question. They are shown over the window registered as their
// owner while it lives, else on their own (a lyric replaced by a download asks without an owner).
//
// Window thread only; each call returns when the user closed the box.
#include <optional>
#include <string>
#include <string_view>

#include "lyrics/LyricSavePrompt.h"
#include "platform/loop/ListenerList.h"
#include "service/sync/SyncPrompt.h"
#include "ui/dialogs/MessageBoxes.h"
#include "ui/toolkit/LayerWnd.h"

namespace quillo::app {

class WindowPrompts : public service::SyncPrompt, public lyrics::LyricSavePrompt {
 public:
  // The boxes open over `owner` for as long as the subscription lives.
  [[nodiscard]] loop::Subscription SetOwner(ui::LayerWnd& owner) { return owners_.Add(owner); }

  std::optional<std::string> PromptBox(const std::string& /*title*/, const std::string& message,
                                       const std::string& initial_text) override {
    std::string text;
    if (!ui::PromptBox(message, text, initial_text, owners_.First())) return std::nullopt;
    return text;
  }
  bool AskYesNo(std::string_view question) override {
    return ui::ConfirmBox(std::string(question), owners_.First());
  }

 private:
  loop::ListenerList<ui::LayerWnd> owners_;
};

}  // namespace quillo::app
