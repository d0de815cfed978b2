#include <gtest/gtest.h>

#include <random>

#include "LibraryFixture.h"
#include "store/DocumentStore.h"
#include "store/ListDocument.h"
#include "store/MirrorOutbox.h"
#include "store/StoreRuntime.h"

namespace quillo::store {
namespace {

using namespace quillo::testing;

const std::string kList1 = "0123456789abcdef0123456789abcdef";
const std::string kList2 = "FEDCBA9876543210FEDCBA9876543210";

std::string Login(const std::string& library, const std::string& playlists, const std::string& extra = "") {
  return "<?xml version='1.0' encoding='utf-8'?><answer>" + extra +
         "<user id='u1' username='小明' contextKey='key' logo='l.png' gender='1'/>"
         "<folders><folder name='music'>" + library + "</folder></folders>"
         "<playlists>" + playlists + "</playlists></answer>";
}

class ServiceAnswersTest : public LibraryFixture {
 protected:
  MirrorOutbox& outbox() { return runtime_->outbox(); }
};

TEST_F(ServiceAnswersTest, FailuresLeaveTheStoreUnchanged) {
  SaveNow();
  const std::string before = store().PrintDocument();
  struct Case {
    std::string answer;
    std::string error;
  };
  const Case kCases[] = {
      {Login("<s music_id='1'/>", "", "<error desc='密码错误'/>"), "密码错误"},
      {"<answer><error/></answer>", ""},
      {"<answer><nobody/></answer>", "错误的返回文件格式"},
      // Cut short, or no XML at all: refused as malformed.
      {"<answer><user id='x'", "错误的返回文件格式"},
      {"", "错误的返回文件格式"},
      // A user without the library folder says nothing about the library.
      {"<answer><user id='u1'/><playlists/></answer>", "错误的返回文件格式"},
      {"<answer><user id='u1'/><folders><folder name='Music'/></folders></answer>", "错误的返回文件格式"},
      {"<answer><user id='u1'/><folder name='music'/></answer>", "错误的返回文件格式"},
      {"<?xml version='1.0'?><!-- only a comment -->", "错误的返回文件格式"},
  };
  for (const Case& c : kCases) {
    LoginAnswerResult result = answers().TakeLoginAnswer(c.answer);
    EXPECT_FALSE(result.ok) << c.answer;
    EXPECT_EQ(result.error, c.error) << c.answer;
  }
  EXPECT_EQ(store().PrintDocument(), before);
  EXPECT_FALSE(store().IsDirty());
  EXPECT_TRUE(listener_.users.empty());
}

TEST_F(ServiceAnswersTest, LoginMergesUserLibraryAndPlaylists) {
  library().AddMusic(Song("ex-local", "Local song"));
  library().AddMusic(Song("old", "Gone from the service"));
  std::string answer = Login(
      "<song music_id='1' music_name='晴天' artist_name='周杰伦' album_id='7' album_seq='2'/>"
      "<song music_name='no id'/><song music_id='2' music_name='Two'/>",
      "<list playlistId='" + kList1 + "' playlistName='我的最爱'><i id='30'/><i id='4'/><i id='100'/></list>");
  LoginAnswerResult result = answers().TakeLoginAnswer(answer);
  ASSERT_TRUE(result.ok) << result.error;
  EXPECT_EQ(store().CurrentUser(), "u1");
  EXPECT_EQ(store().GetConfigText("sorvel.currentuser"), "u1");
  EXPECT_EQ(lists().CurrentUserInfo(), (UserInfo{"u1", "小明", "key"}));
  EXPECT_EQ(listener_.users, std::vector<std::string>{"u1"});
  EXPECT_EQ(Ids(lists().ListRecords("")), (std::vector<std::string>{"1", "2"}));
  auto song = library().FindMusic("1");
  ASSERT_TRUE(song);
  EXPECT_EQ(song->at("name"), "晴天");
  EXPECT_EQ(song->at("_artist_name"), "zjl");
  EXPECT_EQ(song->at("album_seq"), "2");
  EXPECT_EQ(song->count("status"), 0u);  // waiting
  // Added while nobody was logged in: the empty user's default list still holds it.
  EXPECT_TRUE(library().HasMusic("old"));
  EXPECT_FALSE(lists().ContainsItem("", "old"));
  EXPECT_TRUE(library().HasMusic("ex-local"));
  EXPECT_EQ(lists().ListPlaylists(true), (std::vector<PlaylistEntry>{{"我的最爱", kList1}}));
  // New items in byte order of their ids, not the answer's order.
  auto lock = store().Lock();
  TiXmlElement* list = store().Resolve("users#user:id:u1#playlists#playlist:id:" + kList1 + "#", false);
  ASSERT_NE(list, nullptr);
  std::vector<std::string> items;
  for (TiXmlElement* item = list->FirstChildElement("item"); item; item = item->NextSiblingElement("item")) {
    items.push_back(*item->Attribute(std::string("id")));
  }
  EXPECT_EQ(items, (std::vector<std::string>{"100", "30", "4"}));
}

TEST_F(ServiceAnswersTest, SecondLoginKeepsLocalItemsAndDropsUnlistedPlaylists) {
  ASSERT_TRUE(answers().TakeLoginAnswer(Login("<s music_id='1'/><s music_id='2'/>",
      "<l playlistId='" + kList1 + "' playlistName='A'><i id='1'/><i id='2'/></l>"
      "<l playlistId='" + kList2 + "' playlistName='B'/>")).ok);
  library().AddMusic(Song("ex-9", "mine"));
  ASSERT_TRUE(lists().AddItem(kList1, "ex-9"));
  lists().AddRecentlyPlayed(Song("1", "x"));
  // The second answer: list 1 holds only song 2 now, list 2 is gone, and an answer list
  // without a proper id is ignored (it must not be merged into the default list).
  ASSERT_TRUE(answers().TakeLoginAnswer(Login("<s music_id='1' music_name='renamed'/><s music_id='2'/>",
      "<l playlistId='" + kList1 + "' playlistName='A2'><i id='2'/></l><l playlistId=''><i id='5'/></l>")).ok);
  EXPECT_EQ(Ids(lists().ListRecords(kList1)), (std::vector<std::string>{"2", "ex-9"}));
  EXPECT_EQ(lists().ListPlaylists(true), (std::vector<PlaylistEntry>{{"A2", kList1}}));
  EXPECT_EQ(Ids(lists().ListRecords("")), (std::vector<std::string>{"1", "2"}));
  EXPECT_EQ(library().FindMusic("1")->at("name"), "renamed");
  EXPECT_TRUE(lists().PlaylistExists("t_latest"));
  EXPECT_EQ(lists().ListRecords("t_latest").size(), 1u);
}

TEST_F(ServiceAnswersTest, EmptyLibraryDeletesServiceSongsOtherUsersDoNotHold) {
  ASSERT_TRUE(answers().TakeLoginAnswer(Login("<s music_id='1' music_name='A' artist_name='X'/><s music_id='2' album_name='Other'/>", "")).ok);
  const std::string m = MusicFolder();
  fs::CreateFolders(m + "X/未知专辑");
  ASSERT_TRUE(fs::WriteFile(m + "X/未知专辑/A.mp3", "audio"));
  library().SetMusicAttribute("1", "fileName", "X/未知专辑/A.mp3");
  // Another user holds song 2.
  lists().SetCurrentUser("other");
  lists().SetPlaylistName("", "All");
  ASSERT_TRUE(lists().AddItem("", "2"));
  lists().SetCurrentUser("u1");
  ASSERT_TRUE(answers().TakeLoginAnswer(Login("", "")).ok);
  EXPECT_FALSE(library().HasMusic("1"));
  EXPECT_FALSE(fs::FileExists(m + "X/未知专辑/A.mp3"));
  EXPECT_FALSE(fs::FolderExists(m + "X"));
  EXPECT_TRUE(library().HasMusic("2"));
  EXPECT_TRUE(lists().ListRecords("").empty());
}

// An answer that was cut short anywhere, or that lacks the library folder, must never be taken
// for an empty library: the songs and their files stay.
TEST_F(ServiceAnswersTest, ACutShortAnswerNeverDeletesSongs) {
  const std::string full = Login("<s music_id='1' music_name='晴天'/><s music_id='2'/>",
                                 "<l playlistId='" + kList1 + "' playlistName='A'><i id='1'/></l>");
  ASSERT_TRUE(answers().TakeLoginAnswer(full).ok);
  const std::string song = MusicFolder() + "1.mp3";
  ASSERT_TRUE(fs::CreateFolders(MusicFolder()));
  ASSERT_TRUE(fs::WriteFile(song, "audio"));
  library().SetMusicAttribute("1", "fileName", "1.mp3");
  SaveNow();
  const std::string before = store().PrintDocument();
  ASSERT_EQ(full.rfind("</answer>") + 9, full.size());
  for (std::size_t length = 0; length < full.size(); ++length) {
    LoginAnswerResult result = answers().TakeLoginAnswer(full.substr(0, length));
    ASSERT_FALSE(result.ok) << length;
    EXPECT_EQ(result.error, "错误的返回文件格式") << length;
  }
  // The whole answer without its library folder.
  std::string no_folder = full;
  no_folder.erase(no_folder.find("<folders>"), no_folder.find("</folders>") + 10 - no_folder.find("<folders>"));
  EXPECT_FALSE(answers().TakeLoginAnswer(no_folder).ok);
  EXPECT_EQ(store().PrintDocument(), before);
  EXPECT_FALSE(store().IsDirty());
  EXPECT_TRUE(fs::FileExists(song));
  EXPECT_TRUE(listener_.removed.empty());
  EXPECT_TRUE(stopper_.stopped.empty());
}

// Changes still in the outbox have not reached the service: its answer may lack them. While
// the user has requests pending the merge adds and updates but removes nothing (no song, no
// song file, no playlist, no list entry); once they are gone, the answer decides again.
TEST_F(ServiceAnswersTest, PendingOutboxRequestsKeepTheMergeFromRemovingAnything) {
  ASSERT_TRUE(answers().TakeLoginAnswer(Login("<s music_id='1'/><s music_id='2'/>",
      "<l playlistId='" + kList1 + "' playlistName='A'><i id='1'/></l>")).ok);
  // Offline: a new list, a song added to the library and to a list.
  lists().SetPlaylistName(kList2, "离线");
  ASSERT_TRUE(lists().AddItem(kList2, "2"));
  library().AddMusic(Song("3", "新歌"));
  ASSERT_TRUE(lists().AddItem(kList1, "3"));
  const std::string song = MusicFolder() + "3.mp3";
  ASSERT_TRUE(fs::CreateFolders(MusicFolder()));
  ASSERT_TRUE(fs::WriteFile(song, "audio"));
  library().SetMusicAttribute("3", "fileName", "3.mp3");
  outbox().Add("u1", "api/createplaylist.php", {{"name", "离线"}, {"id", kList2}});
  outbox().Add("other-user", "api/addmusic.php", {{"musicId[]", "9"}});

  // The service's answer knows nothing of them, and renames song 1.
  const std::string stale = Login("<s music_id='1' music_name='改名'/><s music_id='2'/>",
                                  "<l playlistId='" + kList1 + "' playlistName='A'><i id='1'/></l>");
  ASSERT_TRUE(answers().TakeLoginAnswer(stale).ok);
  EXPECT_TRUE(library().HasMusic("3"));
  EXPECT_TRUE(fs::FileExists(song));
  EXPECT_TRUE(lists().PlaylistExists(kList2));
  EXPECT_EQ(Ids(lists().ListRecords(kList1)), (std::vector<std::string>{"1", "3"}));
  EXPECT_EQ(library().FindMusic("1")->at("name"), "改名");

  // Only another user's requests are left: this user's answer decides again.
  for (const MirrorOutbox::Entry& entry : outbox().Entries()) {
    if (entry.user_id == "u1") {
      ASSERT_TRUE(outbox().Remove(entry.id));
    }
  }
  ASSERT_TRUE(answers().TakeLoginAnswer(stale).ok);
  EXPECT_FALSE(library().HasMusic("3"));
  EXPECT_FALSE(fs::FileExists(song));
  EXPECT_FALSE(lists().PlaylistExists(kList2));
  EXPECT_EQ(Ids(lists().ListRecords(kList1)), (std::vector<std::string>{"1"}));
}

// The outbox is part of the data file: kept in order across a restart, each entry whole.
TEST_F(ServiceAnswersTest, OutboxSurvivesARestartInOrder) {
  const std::uint64_t first = outbox().Add("u1", "api/createplaylist.php",
                                           {{"name", "a&b <c> \"d\""}, {"id", kList1}});
  const std::uint64_t second = outbox().Add(
      "u1", "api/addmusictoplaylist.php?force=1",
      {{"playlistId", kList1}, {"musicId[]", "5"}, {"musicId[]", "6"}});
  EXPECT_LT(first, second);
  EXPECT_EQ(outbox().CountTry(second), 1);
  SaveNow();
  Reopen();
  const std::vector<MirrorOutbox::Entry> entries = outbox().Entries();
  ASSERT_EQ(entries.size(), 2u);
  EXPECT_EQ(entries[0], (MirrorOutbox::Entry{first, "u1", "api/createplaylist.php",
                                             {{"name", "a&b <c> \"d\""}, {"id", kList1}}, 0}));
  EXPECT_EQ(entries[1].path, "api/addmusictoplaylist.php?force=1");
  EXPECT_EQ(entries[1].params.size(), 3u);
  EXPECT_EQ(entries[1].tries, 1);
  EXPECT_EQ(outbox().FirstOf("u1")->id, first);
  EXPECT_FALSE(outbox().FirstOf("u2"));
  // Ids keep rising past removals, so the order holds after any mix of sends and new changes.
  ASSERT_TRUE(outbox().Remove(second));
  const std::uint64_t third = outbox().Add("u1", "api/deleteplaylist.php", {});
  EXPECT_GT(third, second);
  EXPECT_FALSE(outbox().Remove(second));
  EXPECT_EQ(outbox().size(), 2u);
}

TEST(ListDocumentTest, Forms) {
  auto list = ParseListDocument("<r pname='Chart'><a music_id='5' artist_name='王菲'/></r>");
  ASSERT_TRUE(list);
  EXPECT_EQ(list->list_id, "");
  EXPECT_EQ(list->list_name, "Chart");
  ASSERT_EQ(list->records.size(), 1u);
  EXPECT_EQ(list->records[0].at("id"), "5");
  EXPECT_EQ(list->records[0].at("_artist_name"), "wf");
  EXPECT_FALSE(ParseListDocument("<r><a music_id='1'/><b/></r>"));
  EXPECT_FALSE(ParseListDocument("not xml <"));
  EXPECT_FALSE(ParseListDocument(""));
  auto empty = ParseListDocument("<r pid='t_x'/>");
  ASSERT_TRUE(empty);
  EXPECT_TRUE(empty->records.empty());
  // Bytes that are not UTF-8 never reach the records as such.
  auto bad = ParseListDocument("<r><a music_id='1' music_name='\xC3\x28'/></r>");
  ASSERT_TRUE(bad);
  EXPECT_EQ(bad->records[0].at("name"), "\xEF\xBF\xBD(");
}

// Randomly damaged answers: no crash, no read outside a buffer (under the sanitizer), and a
// failure never changes the store.
TEST_F(ServiceAnswersTest, DamagedAnswersAreHandledSafely) {
  const std::string base = Login("<s music_id='1' music_name='晴天'/><s music_id='2' artist_name='&amp;'/>",
                                 "<l playlistId='" + kList1 + "'><i id='1'/></l>");
  std::mt19937 random(99);
  int accepted = 0;
  for (int round = 0; round < 400; ++round) {
    std::string text = base;
    for (int edit = 0; edit < 1 + round % 5; ++edit) {
      std::size_t at = random() % text.size();
      switch (random() % 3) {
        case 0: text[at] = static_cast<char>(random()); break;
        case 1: text.erase(at, 1 + random() % 8); break;
        default: text.insert(at, 1, "<>'\"&/\xE5\x00"[random() % 8]); break;
      }
      if (text.empty()) text = "<";
    }
    SaveNow();
    std::string before = store().PrintDocument();
    LoginAnswerResult result = answers().TakeLoginAnswer(text);
    if (result.ok) {
      ++accepted;
    } else {
      EXPECT_EQ(store().PrintDocument(), before);
    }
    ParseListDocument(text);
  }
  EXPECT_GT(accepted, 0);
}

}  // namespace
}  // namespace quillo::store
