#include "ui/desktop/NowPlayingText.h"

#include "store/ConfigKeys.h"
#include "store/DocumentStore.h"

namespace quillo::ui {

NowPlayingText::Settings NowPlayingText::Read(const store::DocumentStore& store) {
  Settings settings;
  settings.send = store.GetConfigText(store::keys::kSendToMsn) != "false";
  settings.by_name = store.GetConfigText(store::keys::kSendToMsnType) == "name";
  return settings;
}

std::optional<std::string> NowPlayingText::Compose(const Settings& settings, Phase phase,
                                                   const std::string& title,
                                                   const std::optional<std::string>& lyric_line) {
  if (!settings.send) return std::string();
  switch (phase) {
    case Phase::kStopped:
      return std::string();
    case Phase::kPaused:
      return std::nullopt;
    case Phase::kPlaying:
      break;
  }
  if (!settings.by_name && lyric_line && !lyric_line->empty()) return *lyric_line;
  return title;
}

}  // namespace quillo::ui
