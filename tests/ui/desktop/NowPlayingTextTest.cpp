// The now-playing text from the two configuration keys, the player's phase and the lyric line.
#include "ui/desktop/NowPlayingText.h"

#include <gtest/gtest.h>

#include "store/ConfigKeys.h"
#include "store/DocumentStore.h"
#include "support/TempFolder.h"

namespace quillo::ui {
namespace {

using Phase = NowPlayingText::Phase;
using Settings = NowPlayingText::Settings;

TEST(NowPlayingTextTest, ComposeFollowsSettingsPhaseAndLyrics) {
  const std::optional<std::string> kNoLyrics;
  const std::optional<std::string> kNoLineYet = std::string();
  const std::optional<std::string> kLine = std::string("故事的小黄花");
  struct Case {
    Settings settings;
    Phase phase;
    std::optional<std::string> lyric;
    std::optional<std::string> expected;
  } cases[] = {
      {{true, false}, Phase::kPlaying, kLine, "故事的小黄花"},
      {{true, false}, Phase::kPlaying, kNoLineYet, "晴天"},
      {{true, false}, Phase::kPlaying, kNoLyrics, "晴天"},
      {{true, true}, Phase::kPlaying, kLine, "晴天"},
      {{true, false}, Phase::kStopped, kLine, ""},
      {{true, true}, Phase::kStopped, kNoLyrics, ""},
      {{true, false}, Phase::kPaused, kLine, std::nullopt},
      {{false, false}, Phase::kPlaying, kLine, ""},
      {{false, true}, Phase::kPaused, kNoLyrics, ""},
  };
  int index = 0;
  for (const Case& c : cases) {
    EXPECT_EQ(NowPlayingText::Compose(c.settings, c.phase, "晴天", c.lyric), c.expected)
        << "case " << index;
    ++index;
  }
}

TEST(NowPlayingTextTest, SettingsComeFromTheTwoKeys) {
  testing::TempFolder folder;
  store::DocumentStore store(folder.path());
  ASSERT_TRUE(store.Open(false));
  struct Case {
    const char* send;  // nullptr: absent
    const char* type;
    bool expect_send;
    bool expect_by_name;
  } cases[] = {
      {nullptr, nullptr, true, false},  // absent type: the lyric line
      {"true", "name", true, true},    {"true", "lyric", true, false},
      {"false", "name", false, true},  {"yes", "Name", true, false},
  };
  for (const Case& c : cases) {
    store.RemoveConfig(store::keys::kSendToMsn);
    store.RemoveConfig(store::keys::kSendToMsnType);
    if (c.send) store.SetConfigText(store::keys::kSendToMsn, c.send);
    if (c.type) store.SetConfigText(store::keys::kSendToMsnType, c.type);
    Settings settings = NowPlayingText::Read(store);
    EXPECT_EQ(settings.send, c.expect_send) << (c.send ? c.send : "<absent>");
    EXPECT_EQ(settings.by_name, c.expect_by_name) << (c.type ? c.type : "<absent>");
  }
}

}  // namespace
}  // namespace quillo::ui
