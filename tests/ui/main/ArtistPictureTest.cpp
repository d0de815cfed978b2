// Which artist picture the main window shows across song starts and late downloads.
#include "ui/main/ArtistPicture.h"

#include <gtest/gtest.h>

#include <map>
#include <vector>

namespace quillo::ui {
namespace {

class FakeSource : public ArtistPicture::Source {
 public:
  std::map<std::string, std::string> pictures;  // artist name → file in its folder
  std::vector<std::string> fetched;             // artist ids asked for
  bool fetch_starts = true;

  std::optional<std::string> FindPicture(const std::string&, const std::string& name) override {
    auto it = pictures.find(name);
    if (it == pictures.end()) return std::nullopt;
    return it->second;
  }
  bool FetchPicture(const std::string&, const std::string& artist_id, const std::string&) override {
    fetched.push_back(artist_id);
    return fetch_starts;
  }
};

TEST(ArtistPictureTest, SongStartsShowTheFolderPictureOrFetchOne) {
  struct Case {
    const char* what;
    std::string artist_id, artist_name;
    bool in_folder;
    std::string shown;
    std::vector<std::string> fetched;
  };
  const std::vector<Case> cases = {
      {"picture in the folder: shown, nothing fetched",
       "7",
       "苏晴",
       true,
       "/m/苏晴/artist.png",
       {}},
      {"no picture: fetched, nothing shown yet", "7", "苏晴", false, "", {"7"}},
      {"no name: nothing to fetch into", "7", "  ", false, "", {}},
      {"no artist id: nothing to ask for", "", "苏晴", false, "", {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    FakeSource source;
    if (c.in_folder) source.pictures[c.artist_name] = "/m/苏晴/artist.png";
    ArtistPicture picture;
    picture.SetSource(&source);
    EXPECT_EQ(picture.OnSongStarted("101", c.artist_id, c.artist_name), c.shown);
    EXPECT_EQ(picture.path(), c.shown);
    EXPECT_EQ(source.fetched, c.fetched);
    EXPECT_EQ(picture.waiting(), !c.fetched.empty());
  }
}

TEST(ArtistPictureTest, OnlyThePlayingArtistsDownloadIsShownAndEachStartReleasesThePrevious) {
  FakeSource source;
  source.pictures["林晓风"] = "/m/林晓风/artist.png";
  ArtistPicture picture;
  picture.SetSource(&source);

  picture.OnSongStarted("1", "5", "林晓风");
  EXPECT_EQ(picture.path(), "/m/林晓风/artist.png");
  // The next song's artist has none yet: the old picture goes at once.
  picture.OnSongStarted("2", "9", "Mira Stone");
  EXPECT_EQ(picture.path(), "");
  EXPECT_TRUE(picture.waiting());
  // A late picture of another artist is not shown; the playing artist's is.
  EXPECT_FALSE(picture.OnDownloaded("5", "/m/林晓风/artist.png"));
  EXPECT_EQ(picture.path(), "");
  EXPECT_FALSE(picture.OnDownloaded("9", ""));
  EXPECT_TRUE(picture.OnDownloaded("9", "/m/Mira Stone/artist.png"));
  EXPECT_EQ(picture.path(), "/m/Mira Stone/artist.png");
  EXPECT_FALSE(picture.waiting());
  // A song without an artist id: a picture arriving with an empty id never matches.
  picture.OnSongStarted("3", "", "");
  EXPECT_FALSE(picture.OnDownloaded("", "/x/artist.png"));
  EXPECT_EQ(picture.path(), "");
  // A picture that does not load is dropped.
  picture.OnSongStarted("4", "5", "林晓风");
  picture.Drop();
  EXPECT_EQ(picture.path(), "");
}

TEST(ArtistPictureTest, WithoutASourceNothingIsShownOrAsked) {
  ArtistPicture picture;
  EXPECT_EQ(picture.OnSongStarted("1", "5", "林晓风"), "");
  EXPECT_FALSE(picture.waiting());
  EXPECT_TRUE(picture.OnDownloaded("5", "/m/artist.png"));  // the playing artist's arrival
  EXPECT_EQ(picture.path(), "/m/artist.png");
}

}  // namespace
}  // namespace quillo::ui
