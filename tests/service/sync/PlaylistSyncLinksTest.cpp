// "quillo://add/" links and hosted pages: what is sent, and that the unknown-song case changes
// the store only when a good answer arrives.
#include <random>

#include "SyncFixture.h"
#include "service/sync/ListKinds.h"

namespace quillo::testing {
namespace {

using Outcome = service::PlaylistSync::LinkOutcome;

class PlaylistSyncLinksTest : public SyncFixture {
 protected:
  // What a change of the store would show: every song with its lists, every playlist.
  std::string StoreState() {
    std::string state;
    for (const store::MusicRecordPtr& record : library().AllRecords()) {
      state += store::IdOf(*record) + ",";
    }
    for (const store::PlaylistEntry& entry : lists().ListPlaylists(true)) {
      state += "|" + entry.id + ":" + entry.name + ":";
      for (const std::string& id : ListIds(entry.id)) state += id + ",";
    }
    state += "|default:";
    for (const std::string& id : ListIds("")) state += id + ",";
    return state;
  }
};

TEST_F(PlaylistSyncLinksTest, KnownSongsAndANewListNameCreateTheListInLinkOrder) {
  AddSongs({"11", "12"});
  EXPECT_EQ(sync_.AddFromLink("quillo://add/11,12:%E6%88%91%E7%9A%84%E6%AD%8C"), Outcome::kSent);
  const std::string id = lists().FindPlaylistByName("我的歌");
  ASSERT_TRUE(service::IsUserPlaylistId(id)) << id;
  EXPECT_EQ(ListIds(id), (std::vector<std::string>{"11", "12"}));
  auto sent = SentRequests();
  ASSERT_EQ(sent.size(), 1u);
  EXPECT_EQ(sent[0].path, "api/createplaylist.php");
  EXPECT_EQ(sent[0].params, Join(MusicIds({"11", "12"}), {{"id", id}, {"name", "我的歌"}}));
  EXPECT_EQ(view_.playlist_pages, 1);
  EXPECT_EQ(view_.panel_refreshes, 1);
  EXPECT_EQ(view_.panel_selection, id);
}

TEST_F(PlaylistSyncLinksTest, KnownSongsForAnExistingListAreAppendedThere) {
  AddSongs({"11", "12"});
  MakeList(kListA, "已有", {"12"});
  EXPECT_EQ(sync_.AddFromLink("quillo://add/11,12:已有"), Outcome::kSent);
  EXPECT_EQ(ListIds(kListA), (std::vector<std::string>{"12", "11"}));
  EXPECT_EQ(view_.panel_selection, kListA);
  auto sent = SentRequests();
  ASSERT_EQ(sent.size(), 1u);
  EXPECT_EQ(sent[0].path, "api/addmusictoplaylist.php");
  EXPECT_EQ(sent[0].params, Join(MusicIds({"11", "12"}), {{"playlistId", kListA}}));
  // Songs already in the list: nothing appended, nothing selected, the call still sent.
  view_.panel_selection.reset();
  EXPECT_EQ(sync_.AddFromLink("quillo://add/11:已有"), Outcome::kSent);
  EXPECT_FALSE(view_.panel_selection.has_value());
  EXPECT_EQ(sender_.sent.size(), 2u);
}

TEST_F(PlaylistSyncLinksTest, KnownSongsWithoutAListNameSendNothing) {
  AddSongs({"11"});
  EXPECT_EQ(sync_.AddFromLink("quillo://add/11"), Outcome::kNothingToSend);
  EXPECT_EQ(sync_.AddFromLink("quillo://add/"), Outcome::kNoSongs);
  EXPECT_EQ(sync_.AddFromLink("quillo://add/,:名字"), Outcome::kNoSongs);
  EXPECT_TRUE(sender_.sent.empty());
}

TEST_F(PlaylistSyncLinksTest, AnUnknownSongChangesTheStoreOnlyWithTheAnswer) {
  AddSongs({"11"});
  MakeList(kListA, "已有", {});
  std::vector<bool> answers;
  sync_.SetAnswerHook([&](bool taken) { answers.push_back(taken); });
  const std::string before = StoreState();
  EXPECT_EQ(sync_.AddFromLink("quillo://add/11,99:已有"), Outcome::kAwaitingAnswer);
  EXPECT_EQ(StoreState(), before);  // the known song is not appended ahead of the answer
  EXPECT_EQ(sync_.pending_answers(), 1u);
  auto sent = SentRequests();
  ASSERT_EQ(sent.size(), 1u);
  EXPECT_EQ(sent[0].path, "api/addmusic.php?type=xml");
  EXPECT_EQ(sent[0].params, Join(MusicIds({"11", "99"}), {{"id", kListA}, {"name", "已有"}}));

  Answer(std::string("<list pid='") + kListA +
         "' pname='已有'><s music_id='11' music_name='甲'/>"
         "<s music_id='99' music_name='新歌' artist_name='歌手'/></list>");
  EXPECT_EQ(answers, std::vector<bool>{true});
  EXPECT_EQ(sync_.pending_answers(), 0u);
  EXPECT_EQ(library().FindMusic("99")->at("artist_name"), "歌手");
  EXPECT_EQ(ListIds(kListA), (std::vector<std::string>{"11", "99"}));
  EXPECT_TRUE(lists().ContainsItem("", "99"));
  EXPECT_GE(view_.song_list_refreshes, 1);
}

TEST_F(PlaylistSyncLinksTest, AnUnknownSongForANewListGetsTheListTheAnswerNames) {
  EXPECT_EQ(sync_.AddFromLink("quillo://add/98:新列表"), Outcome::kAwaitingAnswer);
  auto sent = SentRequests();
  ASSERT_EQ(sent.size(), 1u);
  ASSERT_EQ(sent[0].params.size(), 3u);
  const std::string id = sent[0].params[1].second;
  EXPECT_TRUE(service::IsUserPlaylistId(id)) << id;
  EXPECT_FALSE(lists().PlaylistExists(id));
  Answer("<list pid='" + id + "' pname='新列表'><s music_id='98' music_name='x'/></list>");
  EXPECT_EQ(lists().GetPlaylistInfo(id)->name, "新列表");
  EXPECT_EQ(ListIds(id), (std::vector<std::string>{"98"}));
  EXPECT_EQ(view_.panel_refreshes, 1);
}

TEST_F(PlaylistSyncLinksTest, FailedOrMalformedAnswersChangeNothing) {
  AddSongs({"11"});
  MakeList(kListA, "已有", {"11"});
  const std::optional<std::string> answers[] = {
      std::nullopt,  // the request failed
      std::string(""),
      std::string("not xml at all"),
      std::string("<list pid='") + kListA + "'><s music_id='99'/><s music_name='no id'/></list>",
      std::string("<list pid='t_latest'><s music_id='99'/></list>"),
      std::string("<list pid='local'><s music_id='99'/></list>"),
      std::string("<list><s music_id='ex-0123'/></list>"),
      std::string("<list><s music_id=''/></list>"),
      std::string("<list pid='") + kListA + "'><s music_id='99'",
  };
  for (const std::optional<std::string>& answer : answers) {
    SCOPED_TRACE(answer.value_or("(failed)"));
    const std::string before = StoreState();
    std::vector<bool> taken;
    sync_.SetAnswerHook([&](bool ok) { taken.push_back(ok); });
    ASSERT_EQ(sync_.AddFromLink("quillo://add/11,99:已有"), Outcome::kAwaitingAnswer);
    Answer(answer);
    EXPECT_EQ(taken, std::vector<bool>{false});
    EXPECT_EQ(StoreState(), before);
    EXPECT_EQ(sync_.pending_answers(), 0u);
  }
}

TEST_F(PlaylistSyncLinksTest, MalformedLinksChangeAndSendNothing) {
  AddSongs({"11"});
  const char* links[] = {
      "",
      "quillo://add",
      "http://add/11",
      "quillo://ad/11",
      "quillo://add/11%G1",
      "quillo://add/11%4",
      "quillo://add/11%",
      "quillo://add/a_b",
      "quillo://add/ex-1",
      "quillo://add/11;12",
      "quillo://add/%FF%FE:x",
      "quillo://add/11:%00name",
      "quillo://add/11:a%0Ab",
      "quillo://add/1 2",
  };
  const std::string before = StoreState();
  for (const char* link : links) {
    EXPECT_EQ(sync_.AddFromLink(link), Outcome::kMalformed) << link;
  }
  EXPECT_TRUE(sender_.sent.empty());
  EXPECT_EQ(StoreState(), before);
}

// Random bytes after the prefix: never a crash; a link refused changes and sends nothing.
TEST_F(PlaylistSyncLinksTest, RandomLinksNeverCrash) {
  AddSongs({"11", "12"});
  std::mt19937 random(20261209);
  const std::string alphabet = "1129%:,aF_-/ \xE6\x88\x91\xFF";
  for (int round = 0; round < 2000; ++round) {
    std::string link = "quillo://add/";
    const int length = static_cast<int>(random() % 24);
    for (int n = 0; n < length; ++n) link += alphabet[random() % alphabet.size()];
    const std::size_t sent = sender_.sent.size();
    const std::string before = StoreState();
    const Outcome outcome = sync_.AddFromLink(link);
    if (outcome == Outcome::kMalformed || outcome == Outcome::kNoSongs ||
        outcome == Outcome::kNothingToSend) {
      EXPECT_EQ(sender_.sent.size(), sent) << link;
      EXPECT_EQ(StoreState(), before) << link;
    }
    if (outcome == Outcome::kAwaitingAnswer) Answer(std::nullopt);
  }
}

TEST_F(PlaylistSyncLinksTest, HostedPageSongsGoToTheSelectedOrTheNamedList) {
  AddSongs({"11"});
  MakeList(kListA, "A", {});
  view_.panel_selection = kListA;
  EXPECT_TRUE(sync_.AddFromPage("<x><s music_id='21' music_name='甲'/><s music_id='11'/></x>"));
  EXPECT_EQ(ListIds(kListA), (std::vector<std::string>{"21", "11"}));
  EXPECT_TRUE(sync_.AddFromPage(std::string("<x pid='") + kListB +
                                "' pname='页面'><s music_id='22'/></x>"));
  EXPECT_EQ(lists().GetPlaylistInfo(kListB)->name, "页面");
  EXPECT_EQ(ListIds(kListB), (std::vector<std::string>{"22"}));
  auto sent = SentRequests();
  ASSERT_EQ(sent.size(), 2u);
  EXPECT_EQ(sent[0].path, "api/addmusictoplaylist.php?force=1");
  EXPECT_EQ(sent[0].params, Join({{"playlistId", kListA}}, MusicIds({"21", "11"})));
  EXPECT_EQ(sent[1].params, Join({{"playlistId", kListB}}, MusicIds({"22"})));

  // Into "local", a temporary list or nothing selected: the songs enter the library only.
  for (std::optional<std::string> selected :
       {std::optional<std::string>("local"), std::optional<std::string>("t_latest"),
        std::optional<std::string>()}) {
    view_.panel_selection = selected;
    EXPECT_TRUE(sync_.AddFromPage("<x><s music_id='23'/></x>"));
  }
  EXPECT_TRUE(library().HasMusic("23"));
  EXPECT_TRUE(ListIds("local").empty());
  EXPECT_EQ(sender_.sent.size(), 2u);
  EXPECT_FALSE(sync_.AddFromPage("<x><s/></x>"));
  EXPECT_FALSE(sync_.AddFromPage("<x pid='local'><s music_id='24'/></x>"));
  EXPECT_FALSE(library().HasMusic("24"));
}

}  // namespace
}  // namespace quillo::testing
