// Songs rendered when first asked for: once however many ask at the same time, whole for every
// one of them, and tried again after a failure.
#include "service-stub/SongRenderer.h"

#include <gtest/gtest.h>

#include <thread>
#include <vector>

#include "platform/fs/FileSystem.h"
#include "support/TempFolder.h"

namespace quillo::stub {
namespace {

TEST(SongRendererTest, ConcurrentCallsRenderOnceAndEachSeesTheWholeFile) {
  const Catalogue catalogue = Catalogue::Design(8, Catalogue::kDefaultSeed);
  const CatalogueSong& song = catalogue.songs()[4];  // the shortest slot, an MP3
  testing::TempFolder folder;
  SongRenderer renderer(catalogue, folder.path());
  EXPECT_FALSE(renderer.RenderedSize(song));

  constexpr int kCallers = 4;
  std::vector<std::optional<std::string>> paths(kCallers);
  std::vector<std::optional<std::uint64_t>> sizes_on_return(kCallers);
  std::vector<std::thread> callers;
  for (int i = 0; i < kCallers; ++i) {
    callers.emplace_back([&, i] {
      std::string error;
      paths[i] = renderer.Ensure(song, &error);
      // What a fetch would send right now: it must already be the finished file.
      if (paths[i]) sizes_on_return[i] = fs::FileSize(*paths[i]);
    });
  }
  for (auto& caller : callers) caller.join();

  EXPECT_EQ(renderer.renders(), 1);
  const auto size = renderer.RenderedSize(song);
  ASSERT_TRUE(size);
  EXPECT_GT(*size, 4u * 512000u);
  for (int i = 0; i < kCallers; ++i) {
    EXPECT_EQ(paths[i], renderer.AudioPath(song)) << i;
    EXPECT_EQ(sizes_on_return[i], size) << i;
  }
  // The encoder's temporary files are gone; only the song is there.
  EXPECT_EQ(fs::ListFolder(folder.path() + "music"), std::vector<std::string>{song.id + ".mp3"});
  const auto tagged = fs::ReadWholeFile(*paths[0]);
  ASSERT_TRUE(tagged);
  EXPECT_EQ(tagged->substr(0, 3), "ID3");

  // Later calls, and a new renderer over the same folder (a restart), find the file.
  std::string error;
  EXPECT_TRUE(renderer.Ensure(song, &error));
  SongRenderer after_restart(catalogue, folder.path());
  EXPECT_EQ(after_restart.RenderedSize(song), size);
  EXPECT_TRUE(after_restart.Ensure(song, &error));
  EXPECT_EQ(renderer.renders() + after_restart.renders(), 1);
}

TEST(SongRendererTest, AFailedRenderIsSharedByItsWaitersAndTriedAgainLater) {
  const Catalogue catalogue = Catalogue::Design(8, Catalogue::kDefaultSeed);
  const CatalogueSong& song = catalogue.songs()[0];
  testing::TempFolder folder;
  // The catalogue folder lies under a regular file: no song can be written there.
  ASSERT_TRUE(fs::WriteFile(folder.path() + "blocker", "x"));
  SongRenderer renderer(catalogue, folder.path() + "blocker/");

  std::vector<std::string> errors(3);
  std::vector<bool> answered(3, true);
  std::vector<std::thread> callers;
  for (int i = 0; i < 3; ++i) {
    callers.emplace_back([&, i] { answered[i] = renderer.Ensure(song, &errors[i]).has_value(); });
  }
  for (auto& caller : callers) caller.join();
  for (int i = 0; i < 3; ++i) {
    EXPECT_FALSE(answered[i]) << i;
    EXPECT_FALSE(errors[i].empty()) << i;
  }
  const int after_first = renderer.renders();
  EXPECT_GE(after_first, 1);
  EXPECT_LE(after_first, 3);  // callers that came while it ran shared its outcome

  std::string error;
  EXPECT_FALSE(renderer.Ensure(song, &error));
  EXPECT_EQ(renderer.renders(), after_first + 1);  // not remembered as done
  EXPECT_FALSE(renderer.RenderedSize(song));
}

}  // namespace
}  // namespace quillo::stub
