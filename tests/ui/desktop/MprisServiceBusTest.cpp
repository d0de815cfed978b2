// The media-player service on a private session bus, driven as a desktop drives it: playerctl
// and gdbus call the methods and read the properties; the play operations underneath are a fake
// that records what reached it.
#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>

#include "fakes/FakePlaySurface.h"
#include "platform/desktop/SessionBusMpris.h"
#include "tests/platform/desktop/BusTestClient.h"
#include "ui/desktop/MprisAdapter.h"
#include "ui/desktop/MprisTrack.h"

namespace quillo::ui {
namespace {

using desktop::testing::BusTestClient;
using desktop::testing::kBusWait;
using desktop::testing::RunPumped;
using playback::PlayerState;
using Calls = std::vector<std::string>;

constexpr char kName[] = "org.mpris.MediaPlayer2.quillo";
constexpr char kPath[] = "/org/mpris/MediaPlayer2";
constexpr char kPlayer[] = "org.mpris.MediaPlayer2.Player";

bool HaveBus() {
  const char* address = std::getenv("DBUS_SESSION_BUS_ADDRESS");
  return address != nullptr && *address != '\0';
}

bool HavePlayerctl() {
  return std::system("command -v playerctl >/dev/null 2>&1") == 0;
}

class MprisServiceBusTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!HaveBus()) GTEST_SKIP() << "no session bus (run under dbus-run-session)";
    service_ = Start(adapter_);
    ASSERT_TRUE(service_);
    adapter_.SetService(service_.get());
    ASSERT_TRUE(loop_.PumpUntil([&] { return service_->name_owned(); }, kBusWait));
  }
  void TearDown() override {
    adapter_.SetService(nullptr);
    service_.reset();
  }

  static std::unique_ptr<desktop::SessionBusMpris> Start(desktop::MprisHandler& handler) {
    desktop::ConnectionPtr connection = desktop::ConnectSessionBus(kBusWait);
    if (!connection) return nullptr;
    return std::make_unique<desktop::SessionBusMpris>(std::move(connection), handler,
                                                      desktop::MprisIdentity{});
  }

  // 晴天 by 周杰伦 playing at 10 s of 269 s, with a lyric line as the now-playing text.
  void PlaySong() {
    operations_.active = true;
    operations_.position_ms = 10000;
    operations_.duration_ms = 269000;
    adapter_.OnSongStarted(
        {{"id", "101"}, {"name", "晴天"}, {"artist_name", "周杰伦"}, {"album_name", "叶惠美"}},
        "晴天");
    adapter_.OnPlayerNotification(playback::StateChanged{PlayerState::kPlaying});
    adapter_.SetNowPlayingText("故事的小黄花 从出生那年就飘着");
    operations_.calls.clear();
  }

  std::string Playerctl(const std::string& arguments) {
    return RunPumped(loop_, "timeout 20 playerctl -p quillo " + arguments);
  }
  std::string Gdbus(const std::string& arguments) {
    return RunPumped(loop_, std::string("timeout 20 gdbus call --session --timeout 10 --dest ") +
                                kName + " --object-path " + kPath + " " + arguments);
  }
  bool CallsBecome(const Calls& expected) {
    return loop_.PumpUntil([&] { return operations_.calls == expected; }, kBusWait);
  }

  loop::MainLoop loop_;
  testing::FakePlaySurface operations_;
  MprisAdapter adapter_{operations_, operations_.Requests()};
  std::unique_ptr<desktop::SessionBusMpris> service_;
};

TEST_F(MprisServiceBusTest, TheRootInterfaceNamesTheProgram) {
  BusTestClient client(loop_);
  ASSERT_TRUE(client.ok());
  auto text = [&](const char* name) {
    desktop::VariantPtr value = client.GetProperty(kName, kPath, "org.mpris.MediaPlayer2", name);
    return value ? std::string(g_variant_get_string(value.get(), nullptr)) : client.error();
  };
  auto flag = [&](const char* name) {
    desktop::VariantPtr value = client.GetProperty(kName, kPath, "org.mpris.MediaPlayer2", name);
    return value && g_variant_get_boolean(value.get());
  };
  EXPECT_EQ(text("Identity"), "Zelbo音乐");
  EXPECT_EQ(text("DesktopEntry"), "quillo-url-handler");
  EXPECT_TRUE(flag("CanQuit"));
  EXPECT_TRUE(flag("CanRaise"));
  EXPECT_FALSE(flag("HasTrackList"));
  desktop::VariantPtr schemes =
      client.GetProperty(kName, kPath, "org.mpris.MediaPlayer2", "SupportedUriSchemes");
  ASSERT_TRUE(schemes);
  EXPECT_EQ(g_variant_n_children(schemes.get()), 2u);

  EXPECT_EQ(Gdbus("--method org.mpris.MediaPlayer2.Raise"), "()");
  EXPECT_EQ(Gdbus("--method org.mpris.MediaPlayer2.Quit"), "()");
  EXPECT_TRUE(CallsBecome({"Raise", "Quit"}));
}

TEST_F(MprisServiceBusTest, PlayerctlDrivesThePlayOperations) {
  if (!HavePlayerctl()) GTEST_SKIP() << "playerctl is not installed";
  PlaySong();
  EXPECT_EQ(Playerctl("status"), "Playing");
  Playerctl("play-pause");
  Playerctl("next");
  Playerctl("previous");
  Playerctl("stop");
  EXPECT_TRUE(CallsBecome({"Pause", "Next", "Previous", "Stop"})) << operations_.calls.size();

  operations_.calls.clear();
  Playerctl("play-pause");  // stopped now: plays
  Playerctl("open file:///music/a.mp3");
  EXPECT_TRUE(CallsBecome({"Play", "OpenUri /music/a.mp3"}));
}

TEST_F(MprisServiceBusTest, PlayerctlReadsTitleArtistAndTheNowPlayingText) {
  if (!HavePlayerctl()) GTEST_SKIP() << "playerctl is not installed";
  PlaySong();
  EXPECT_EQ(Playerctl("metadata title"), "晴天");
  EXPECT_EQ(Playerctl("metadata artist"), "周杰伦");
  EXPECT_EQ(Playerctl("metadata album"), "叶惠美");
  EXPECT_EQ(Playerctl("metadata xesam:asText"), "故事的小黄花 从出生那年就飘着");
  EXPECT_EQ(Playerctl("metadata mpris:length"), "269000000");
  EXPECT_EQ(Playerctl("metadata mpris:trackid"), "'" + MprisTrack::TrackPath("101") + "'");
  // Paused, so that playerctl reports the position it read instead of running it on.
  adapter_.OnPlayerNotification(playback::StateChanged{PlayerState::kPaused});
  EXPECT_EQ(Playerctl("position"), "10.000000") << "read from the player on demand";
  operations_.position_ms = 12500;
  EXPECT_EQ(Playerctl("position"), "12.500000");
}

TEST_F(MprisServiceBusTest, BytesThatAreNotUtf8AreRepairedNotFatal) {
  if (!HavePlayerctl()) GTEST_SKIP() << "playerctl is not installed";
  // A tag read in the wrong code page; a D-Bus string must be UTF-8.
  adapter_.OnSongStarted({{"id", "ex-\xff"}, {"name", "bad \xc0\xafname"}}, "");
  adapter_.SetNowPlayingText("line \xfe");
  EXPECT_EQ(Playerctl("metadata title"), "bad \xEF\xBF\xBD\xEF\xBF\xBDname");
  EXPECT_EQ(Playerctl("metadata xesam:asText"), "line \xEF\xBF\xBD");
  EXPECT_EQ(Playerctl("metadata mpris:trackid"), "'" + MprisTrack::TrackPath("ex-\xff") + "'");
}

TEST_F(MprisServiceBusTest, VolumeLoopAndShuffleAreWritable) {
  if (!HavePlayerctl()) GTEST_SKIP() << "playerctl is not installed";
  Playerctl("volume 0.4");
  EXPECT_TRUE(CallsBecome({"SetVolume 40"}));
  EXPECT_EQ(Playerctl("volume"), "0.400000");

  operations_.calls.clear();
  Playerctl("loop Track");
  EXPECT_TRUE(
      CallsBecome({"ChooseMode " + std::to_string(int(playback::PlayMode::kSingleRepeat))}));
  EXPECT_EQ(Playerctl("loop"), "Track");
  Playerctl("shuffle On");
  EXPECT_EQ(Playerctl("shuffle"), "On");
  EXPECT_EQ(operations_.mode, playback::PlayMode::kRandom);
}

TEST_F(MprisServiceBusTest, SeeksAreAnnouncedWithSeeked) {
  PlaySong();
  BusTestClient client(loop_);
  ASSERT_TRUE(client.ok());
  client.Record(kPlayer);
  EXPECT_EQ(Gdbus(std::string("--method ") + kPlayer + ".Seek 5000000"), "()");
  const auto* seeked = client.WaitForSignal("Seeked");
  ASSERT_NE(seeked, nullptr);
  gint64 position = 0;
  g_variant_get(seeked->parameters.get(), "(x)", &position);
  EXPECT_EQ(position, 15'000'000);

  EXPECT_EQ(Gdbus(std::string("--method ") + kPlayer + ".SetPosition " +
                  MprisTrack::TrackPath("101") + " 60000000"),
            "()");
  seeked = client.WaitForSignal("Seeked", 1);
  ASSERT_NE(seeked, nullptr);
  g_variant_get(seeked->parameters.get(), "(x)", &position);
  EXPECT_EQ(position, 60'000'000);
  EXPECT_EQ(operations_.calls, (Calls{"Seek 15000", "Seek 60000"}));
}

TEST_F(MprisServiceBusTest, ChangesAreAnnouncedWithPropertiesChanged) {
  PlaySong();
  BusTestClient client(loop_);
  ASSERT_TRUE(client.ok());
  client.Record("org.freedesktop.DBus.Properties");
  adapter_.SetNowPlayingText("刮风这天 我试过握着你手");
  const auto* changed = client.WaitForSignal("PropertiesChanged");
  ASSERT_NE(changed, nullptr);
  const gchar* interface_name = nullptr;
  GVariant* properties = nullptr;
  g_variant_get(changed->parameters.get(), "(&s@a{sv}@as)", &interface_name, &properties, nullptr);
  desktop::VariantPtr owned(properties);
  EXPECT_STREQ(interface_name, kPlayer);
  desktop::VariantPtr metadata(
      g_variant_lookup_value(properties, "Metadata", G_VARIANT_TYPE("a{sv}")));
  ASSERT_TRUE(metadata);
  const gchar* text = nullptr;
  ASSERT_TRUE(g_variant_lookup(metadata.get(), "xesam:asText", "&s", &text));
  EXPECT_STREQ(text, "刮风这天 我试过握着你手");
  EXPECT_FALSE(g_variant_lookup_value(properties, "PlaybackStatus", nullptr))
      << "only what changed is announced";

  adapter_.OnPlayerNotification(playback::StateChanged{PlayerState::kPaused});
  changed = client.WaitForSignal("PropertiesChanged", 1);
  ASSERT_NE(changed, nullptr);
  g_variant_get(changed->parameters.get(), "(&s@a{sv}@as)", &interface_name, &properties, nullptr);
  desktop::VariantPtr owned_again(properties);
  const gchar* status = nullptr;
  ASSERT_TRUE(g_variant_lookup(properties, "PlaybackStatus", "&s", &status));
  EXPECT_STREQ(status, "Paused");
}

TEST_F(MprisServiceBusTest, ASecondCopyTakesAnInstanceName) {
  testing::FakePlaySurface operations;
  MprisAdapter adapter(operations, operations.Requests());
  auto second = Start(adapter);
  ASSERT_TRUE(second);
  EXPECT_TRUE(loop_.PumpUntil([&] { return second->name_owned(); }, kBusWait));
  EXPECT_EQ(second->bus_name().rfind(std::string(kName) + ".instance", 0), 0u)
      << second->bus_name();
  EXPECT_TRUE(service_->name_owned()) << "the first keeps its name";
}

TEST_F(MprisServiceBusTest, StoppingTheServiceGivesUpTheName) {
  BusTestClient client(loop_);
  ASSERT_TRUE(client.ok());
  EXPECT_TRUE(client.NameHasOwner(kName));
  adapter_.SetService(nullptr);
  service_.reset();
  EXPECT_FALSE(client.NameHasOwner(kName));
}

}  // namespace
}  // namespace quillo::ui
