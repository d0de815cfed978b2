// The play queue's selections over temporary, phone and stored lists.
#include <gtest/gtest.h>

#include <set>

#include <map>

#include "store/ConfigKeys.h"
#include "store/QueueSelection.h"
#include "tests/store/library/LibraryFixture.h"

namespace quillo::testing {
namespace {

using store::MusicRecord;

class FakeDevices : public store::DeviceListSource {
 public:
  std::vector<store::PlaylistEntry> DevicePlaylists() override { return {}; }
  std::vector<MusicRecord> DeviceListRecords(const std::string& list_id) override {
    auto it = lists.find(list_id);
    return it == lists.end() ? std::vector<MusicRecord>{} : it->second;
  }
  std::optional<std::string> DeviceMusicPath(const MusicRecord&) override { return std::nullopt; }
  std::map<std::string, std::vector<MusicRecord>> lists;
};

enum class Op { kNext, kPrevious, kRandom, kCurrent };

struct Case {
  const char* what;
  std::vector<std::string> list;  // song ids of the list ("" : the list is missing)
  std::string current;
  Op op;
  bool wrap;
  int draw;
  std::string expected;  // "-" : nothing selected
};

class QueueSelectionTest : public LibraryFixture {
 protected:
  void SetUp() override {
    LibraryFixture::SetUp();
    Wire();
    // The default list holds D1, D2 (a fallback lands on D1).
    library().AddMusic(Song("D1", "默认一"));
    library().AddMusic(Song("D2", "默认二"));
  }
  void Wire() {
    library().SetDeviceSource(&devices_);
    queue().SetRandomDraw([this] { return draw_; });
  }
  store::QueueSelection& queue() { return runtime_->queue(); }

  std::optional<MusicRecord> Run(Op op, bool wrap) {
    switch (op) {
      case Op::kNext:
        return queue().PickNext(wrap);
      case Op::kPrevious:
        return queue().PickPrevious(wrap);
      case Op::kRandom:
        return queue().PickRandom();
      case Op::kCurrent:
        return queue().PickCurrent();
    }
    return std::nullopt;
  }
  static std::string IdOr(const std::optional<MusicRecord>& record) {
    return record ? record->at("id") : "-";
  }
  std::string CurrentPlay() { return store().GetConfigText(store::keys::kCurrentPlay, "<absent>"); }

  FakeDevices devices_;
  int draw_ = 0;
};

// Cases shared by temporary and phone lists: they differ only where the rules differ.
const std::vector<Case> kListCases = {
    {"next in the middle", {"a", "b", "c"}, "a", Op::kNext, true, 0, "b"},
    {"next after the last, wrap", {"a", "b", "c"}, "c", Op::kNext, true, 0, "a"},
    {"next after the last, no wrap", {"a", "b", "c"}, "c", Op::kNext, false, 0, "-"},
    {"previous in the middle", {"a", "b", "c"}, "b", Op::kPrevious, false, 0, "a"},
    {"previous before the first, wrap", {"a", "b", "c"}, "a", Op::kPrevious, true, 0, "c"},
    {"previous before the first, no wrap", {"a", "b", "c"}, "a", Op::kPrevious, false, 0, "-"},
    {"missing item, next with wrap", {"a", "b", "c"}, "zz", Op::kNext, true, 0, "a"},
    {"missing item, previous with wrap", {"a", "b", "c"}, "zz", Op::kPrevious, true, 0, "a"},
    // The draw is taken modulo the songs not yet played in the round, in list order.
    {"random: among the songs not yet played", {"a", "b", "c"}, "a", Op::kRandom, false, 7, "c"},
    {"random never draws the current song", {"a", "b", "c"}, "c", Op::kRandom, false, 5, "b"},
    {"random in a one-song list", {"a"}, "a", Op::kRandom, false, 12345, "a"},
    {"current", {"a", "b", "c"}, "b", Op::kCurrent, false, 0, "b"},
    {"current item missing: the first", {"a", "b", "c"}, "zz", Op::kCurrent, false, 0, "a"},
};

TEST_F(QueueSelectionTest, TemporaryLists) {
  std::vector<Case> cases = kListCases;
  cases.push_back({"missing item, next without wrap", {"a", "b"}, "zz", Op::kNext, false, 0, "a"});
  cases.push_back({"empty list: next fails", {}, "a", Op::kNext, true, 0, "-"});
  cases.push_back({"empty list: random fails", {}, "a", Op::kRandom, false, 3, "-"});
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    std::vector<MusicRecord> records;
    for (const std::string& id : c.list) records.push_back(Song(id, "名" + id));
    lists().SetTemporaryRecords("t_rank_1", records);
    lists().SetCurrentList("t_rank_1");
    lists().SetCurrentItem(c.current);
    Wire();  // each case opens a shuffle round of its own
    draw_ = c.draw;
    std::optional<MusicRecord> picked = Run(c.op, c.wrap);
    EXPECT_EQ(IdOr(picked), c.expected);
    // A successful next, previous or random pick becomes the current item; current changes nothing.
    bool moves = picked && c.op != Op::kCurrent;
    EXPECT_EQ(CurrentPlay(), moves ? c.expected : c.current);
    EXPECT_EQ(store().CurrentList(), "t_rank_1");
    if (picked) {
      EXPECT_EQ(picked->count("_name"), 0u) << "search keys are not song attributes";
    }
  }
}

TEST_F(QueueSelectionTest, DeviceLists) {
  std::vector<Case> cases = kListCases;
  cases.push_back(
      {"missing item, next without wrap fails", {"a", "b"}, "zz", Op::kNext, false, 0, "-"});
  cases.push_back({"missing item, previous without wrap fails",
                   {"a", "b"},
                   "zz",
                   Op::kPrevious,
                   false,
                   0,
                   "-"});
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    std::vector<MusicRecord> records;
    for (const std::string& id : c.list) records.push_back(Song("ph_" + id, "名" + id));
    devices_.lists["d_P1_list"] = records;
    lists().SetCurrentList("d_P1_list");
    lists().SetCurrentItem("ph_" + c.current);
    Wire();
    draw_ = c.draw;
    EXPECT_EQ(IdOr(Run(c.op, c.wrap)), c.expected == "-" ? "-" : "ph_" + c.expected);
    EXPECT_EQ(store().CurrentList(), "d_P1_list");
  }
}

// A list that is gone (a chart after a restart, a phone that left): next and previous play the
// default list's first song; random and current fail.
TEST_F(QueueSelectionTest, MissingListFallsBackToTheDefaultList) {
  const Case cases[] = {
      {"next", {}, "x", Op::kNext, false, 0, "D1"},
      {"previous", {}, "x", Op::kPrevious, false, 0, "D1"},
      {"random", {}, "x", Op::kRandom, false, 1, "-"},
      {"current", {}, "x", Op::kCurrent, false, 0, "-"},
  };
  for (const char* list_id : {"t_rank_1", "d_P9_list"}) {
    for (const Case& c : cases) {
      SCOPED_TRACE(std::string(list_id) + " " + c.what);
      lists().SetTemporaryRecords("t_rank_1", {Song("a", "A")});
      lists().SetCurrentList(list_id);
      lists().SetCurrentItem("x");
      Reopen();  // temporary lists are not kept
      Wire();
      ASSERT_EQ(store().CurrentList(), list_id);
      EXPECT_EQ(IdOr(Run(c.op, c.wrap)), c.expected);
      if (c.expected != "-") {
        EXPECT_EQ(store().GetConfigText(store::keys::kCurrentPlaylist, "<absent>"), "");
        EXPECT_EQ(CurrentPlay(), "D1");
      }
    }
  }
}

TEST_F(QueueSelectionTest, StoredPlaylists) {
  for (const char* id : {"1", "2", "3"}) library().AddMusic(Song(id, std::string("歌") + id));
  const std::string list = lists().CreatePlaylist("Fav");
  for (const char* id : {"1", "2", "3"}) ASSERT_TRUE(lists().AddItem(list, id));
  const Case cases[] = {
      {"next", {}, "1", Op::kNext, false, 0, "2"},
      {"next after the last, wrap", {}, "3", Op::kNext, true, 0, "1"},
      {"next after the last, no wrap", {}, "3", Op::kNext, false, 0, "-"},
      {"previous", {}, "3", Op::kPrevious, false, 0, "2"},
      {"previous before the first, wrap", {}, "1", Op::kPrevious, true, 0, "3"},
      {"previous before the first, no wrap", {}, "1", Op::kPrevious, false, 0, "-"},
      // The current item was removed: the first item becomes current, Next plays the second.
      {"removed item: next", {}, "gone", Op::kNext, false, 0, "2"},
      {"removed item: current", {}, "gone", Op::kCurrent, false, 0, "1"},
      {"random: among the songs not yet played", {}, "1", Op::kRandom, false, 2, "2"},
      {"random never draws the current song", {}, "3", Op::kRandom, false, 4, "1"},
      {"current", {}, "2", Op::kCurrent, false, 0, "2"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    lists().SetCurrentList(list);
    lists().SetCurrentItem(c.current);
    Wire();
    draw_ = c.draw;
    std::optional<MusicRecord> picked = Run(c.op, c.wrap);
    EXPECT_EQ(IdOr(picked), c.expected);
    if (picked) {
      EXPECT_EQ(picked->at("name"), "歌" + c.expected);
    }
    if (picked && c.op != Op::kCurrent) {
      EXPECT_EQ(CurrentPlay(), c.expected);
    }
    EXPECT_EQ(store().CurrentList(), list);
  }
}

TEST_F(QueueSelectionTest, EmptyOrDeletedStoredListUsesTheDefaultList) {
  const std::string empty = lists().CreatePlaylist("Empty");
  lists().SetCurrentList(empty);
  lists().SetCurrentItem("whatever");
  EXPECT_EQ(IdOr(queue().PickRandom()), "-");
  EXPECT_EQ(IdOr(queue().PickPrevious(false)), "D1");
  EXPECT_EQ(store().CurrentList(), "");

  const std::string gone = lists().CreatePlaylist("Gone");
  lists().SetCurrentList(gone);
  lists().SetCurrentItem("D1");
  ASSERT_TRUE(lists().DeletePlaylist(gone));
  // The deleted list's place is taken by the default list, where D1 is followed by D2.
  EXPECT_EQ(IdOr(queue().PickNext(false)), "D2");
  EXPECT_EQ(store().GetConfigText(store::keys::kCurrentPlaylist, "<absent>"), "");
}

TEST_F(QueueSelectionTest, DefaultListMissingOrEmptyFails) {
  library().DeleteMusic("D1");
  library().DeleteMusic("D2");
  lists().SetCurrentList("t_rank_gone");
  EXPECT_EQ(IdOr(queue().PickNext(true)), "-");
  EXPECT_EQ(IdOr(queue().PickCurrent()), "-");
}

TEST_F(QueueSelectionTest, TemporaryRecordsCarryTheLibrarysOrTheCachesFiles) {
  MusicRecord stored = Song("5", "库");
  stored["fileName"] = "歌手/专辑/库.mp3";
  stored["lyric_file"] = "库.lrc";
  library().AddMusic(stored);
  MusicRecord in_list = Song("5", "库");
  in_list["fileName"] = "stale.mp3";
  lists().SetTemporaryRecords("t_random_1", {in_list, Song("77", "缓存"), Song("88", "无")});
  lists().SetCurrentList("t_random_1");
  lists().SetCurrentItem("5");

  std::optional<MusicRecord> current = queue().PickCurrent();
  ASSERT_TRUE(current);
  EXPECT_EQ(current->at("fileName"), "歌手/专辑/库.mp3");
  EXPECT_EQ(current->at("lyric_file"), "库.lrc");
  std::optional<MusicRecord> cached =
      queue().PickNext(false);  // the fake cache holds 77's song only
  ASSERT_TRUE(cached);
  EXPECT_EQ(cached->at("fileName"), "file:///cache/77.mp3");
  EXPECT_EQ(cached->count("lyric_file"), 0u);
  std::optional<MusicRecord> plain = queue().PickNext(false);
  ASSERT_TRUE(plain);
  EXPECT_EQ(plain->count("fileName"), 0u);
}

TEST_F(QueueSelectionTest, SelectListItem) {
  lists().SetTemporaryRecords("t_rank_2", {Song("9", "second list")});
  lists().SetTemporaryRecords("t_rank_1", {Song("9", "first list"), Song("77", "缓存")});
  std::optional<MusicRecord> record = queue().SelectListItem("t_rank_2", "9");
  ASSERT_TRUE(record);
  // Temporary lists are searched in order of their ids, whichever list was named.
  EXPECT_EQ(record->at("name"), "first list");
  EXPECT_EQ(store().GetConfigText(store::keys::kCurrentPlaylist), "t_rank_2");
  EXPECT_EQ(CurrentPlay(), "9");
  EXPECT_EQ(queue().SelectListItem("t_rank_1", "77")->at("fileName"), "file:///cache/77.mp3");
  EXPECT_FALSE(queue().SelectListItem("t_rank_1", "nope"));

  EXPECT_EQ(queue().SelectListItem("", "D2")->at("name"), "默认二");
  EXPECT_FALSE(queue().SelectListItem("", "not-in-library"));
  EXPECT_EQ(CurrentPlay(), "not-in-library");
}

// The program's own generator (seeded once): every round plays each song of the list exactly
// once, the current song never comes twice in a row, and a new round does not open with the
// song that ended the last one. Holds for temporary, phone and stored lists alike.
TEST_F(QueueSelectionTest, ShuffleDrawsEachSongOnceARoundAndNeverTheSameTwiceInARow) {
  const std::vector<std::string> ids = {"a", "b", "c", "d", "e"};
  std::vector<MusicRecord> records;
  for (const std::string& id : ids) records.push_back(Song(id, "名" + id));
  for (const std::string& id : ids) library().AddMusic(Song(id, "名" + id));
  lists().SetTemporaryRecords("t_random_1", records);
  devices_.lists["d_P1_list"] = records;
  const std::string stored = lists().CreatePlaylist("Shuffle");
  for (const std::string& id : ids) ASSERT_TRUE(lists().AddItem(stored, id));

  for (const std::string& list : {std::string("t_random_1"), std::string("d_P1_list"), stored}) {
    SCOPED_TRACE(list);
    queue().SetRandomDraw(nullptr);  // the program's generator
    lists().SetCurrentList(list);
    lists().SetCurrentItem("a");
    std::string last = "a";
    std::set<std::string> round = {"a"};  // the current song counts as played
    for (int pick = 0; pick < 60; ++pick) {
      const std::string id = IdOr(queue().PickRandom());
      ASSERT_NE(id, "-");
      EXPECT_NE(id, last) << "pick " << pick;
      if (round.size() == ids.size()) round.clear();
      EXPECT_TRUE(round.insert(id).second) << id << " came twice in a round, pick " << pick;
      EXPECT_EQ(CurrentPlay(), id);
      last = id;
    }
  }
}

// A round belongs to its list: another list current starts afresh, and songs removed from the
// list are not drawn.
TEST_F(QueueSelectionTest, ShuffleRoundsFollowTheCurrentList) {
  lists().SetTemporaryRecords("t_random_1", {Song("a", "A"), Song("b", "B"), Song("c", "C")});
  lists().SetTemporaryRecords("t_random_2", {Song("x", "X"), Song("y", "Y")});
  lists().SetCurrentList("t_random_1");
  lists().SetCurrentItem("a");
  draw_ = 0;
  EXPECT_EQ(IdOr(queue().PickRandom()), "b");
  lists().SetCurrentList("t_random_2");
  lists().SetCurrentItem("x");
  EXPECT_EQ(IdOr(queue().PickRandom()), "y");
  // Back on the first list: a new round, in which only the current song has played.
  lists().SetCurrentList("t_random_1");
  lists().SetCurrentItem("c");
  EXPECT_EQ(IdOr(queue().PickRandom()), "a");
  lists().SetTemporaryRecords("t_random_1", {Song("a", "A"), Song("c", "C")});
  // a and c played; the round is over and the new one may not open with a (just heard).
  EXPECT_EQ(IdOr(queue().PickRandom()), "c");
}

}  // namespace
}  // namespace quillo::testing
