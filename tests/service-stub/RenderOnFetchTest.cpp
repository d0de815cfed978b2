// A fresh service answers its listing at once and renders a song's audio only when the song is
// first fetched: whole, once, also when two fetches come together; later fetches and restarts
// find the file.
#include <regex>
#include <thread>

#include "ServiceTestSupport.h"
#include "platform/fs/FileSystem.h"

namespace quillo::testing {
namespace {

constexpr char kClient[] = "00112233445566778899AABBCCDDEEFF";

class RenderOnFetchTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ServiceProcess::Options options;
    options.data_folder = data_.path();
    options.reuse_catalogue = false;  // a first start: no audio anywhere
    service_ = std::make_unique<ServiceProcess>(options);
    ASSERT_TRUE(service_->Start()) << service_->error();
  }
  std::string MusicFolder() const { return data_.path() + "catalogue/music"; }
  // How often the service's log says it rendered the song.
  int RendersOf(const std::string& id) const {
    const std::string log = ReadFile(data_.path() + "service-stderr.log");
    const std::regex line("rendered song " + id + " ");
    return static_cast<int>(std::distance(std::sregex_iterator(log.begin(), log.end(), line),
                                          std::sregex_iterator()));
  }

  TempFolder data_;
  std::unique_ptr<ServiceProcess> service_;
};

TEST_F(RenderOnFetchTest, TheListingIsThereBeforeAnyAudio) {
  EXPECT_TRUE(fs::ListFolder(MusicFolder()).empty());
  // The ranking list, the demo user's library, a lyric, pictures and a song's web page.
  const HttpAnswer chart = service_->Get(std::string("/api/getplaylist.php?client_id=") + kClient + "&id=1");
  ASSERT_EQ(chart.status, 200);
  const auto list = ParseXml(Descramble(chart.body).value_or(""));
  ASSERT_TRUE(list);
  EXPECT_FALSE(Children(list->RootElement()).empty());
  const HttpAnswer login =
      service_->PostForm("/api/login.php?ie=utf8", {{"name", "demo"}, {"encode", "demo"}});
  const auto login_document = ParseXml(Descramble(login.body).value_or(""));
  ASSERT_TRUE(login_document);
  EXPECT_EQ(LibraryIds(*login_document).size(), 6u);
  EXPECT_EQ(service_->Get("/music/download_lyric.php?id=1&type=lrc").status, 200);
  const std::string first_artist = Attr(Children(list->RootElement())[0], "artist_id");
  EXPECT_EQ(service_->Get("/music/download_image.php?id=" + first_artist + "&type=artist&size=64").status, 200);
  const HttpAnswer page = service_->Get("/admin/music.php?action=index&music_id=1");
  EXPECT_NE(page.body.find("约 "), std::string::npos) << "the page names the size it will have";
  // None of that rendered a song.
  EXPECT_TRUE(fs::ListFolder(MusicFolder()).empty());
  EXPECT_EQ(RendersOf("1"), 0);
}

TEST_F(RenderOnFetchTest, TwoFirstFetchesTogetherRenderOnceAndBothGetTheWholeFile) {
  const std::string id = "9";  // an MP3 served as itself, not through mirrors
  HttpAnswer stream, download;
  std::thread other([&] { stream = service_->Get("/music/download_shiting.php?id=" + id); });
  download = service_->Get("/music/download.php?id=" + id + "&type=download&client_id=" + kClient);
  other.join();

  const auto file = fs::ReadWholeFile(MusicFolder() + "/" + id + ".mp3");
  ASSERT_TRUE(file);
  EXPECT_GT(file->size(), 4u * 512000u);
  for (const HttpAnswer* answer : {&stream, &download}) {
    EXPECT_EQ(answer->status, 200);
    EXPECT_TRUE(answer->complete);
    EXPECT_EQ(answer->Header("Content-Length"), std::to_string(file->size()));
    EXPECT_TRUE(answer->body == *file);
  }
  EXPECT_EQ(RendersOf(id), 1);

  // Later fetches (a resumed one, a mirror's XORed copy of another song) use the files.
  const HttpAnswer rest = service_->Get("/music/download_shiting.php?id=" + id, {{"Range", "bytes=1000-"}});
  EXPECT_EQ(rest.status, 206);
  EXPECT_TRUE(rest.body == file->substr(1000));
  EXPECT_EQ(RendersOf(id), 1);
  const HttpAnswer mirrored = service_->Get("/qlfss/a/31.2");  // song 31 is a WMA
  ASSERT_EQ(mirrored.status, 200);
  const auto wma = fs::ReadWholeFile(MusicFolder() + "/31.wma");
  ASSERT_TRUE(wma);
  std::string plain = mirrored.body;
  for (char& c : plain) c = static_cast<char>(c ^ 0x5A);
  EXPECT_TRUE(plain == *wma);
  EXPECT_EQ(RendersOf("31"), 1);

  // A restart serves the rendered songs without rendering them again.
  EXPECT_EQ(service_->Stop(), 0);
  ServiceProcess::Options options;
  options.data_folder = data_.path();
  options.reuse_catalogue = false;
  ServiceProcess again(options);
  ASSERT_TRUE(again.Start()) << again.error();
  EXPECT_TRUE(again.Get("/music/download_shiting.php?id=" + id).body == *file);
  EXPECT_EQ(RendersOf(id), 1);
  EXPECT_EQ(again.Stop(), 0);
}

}  // namespace
}  // namespace quillo::testing
