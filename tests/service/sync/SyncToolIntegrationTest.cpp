// quillo-tool sync and add-link against a real quillo-service: each command changes the data
// folder's store, sends exactly its request (path, query and form in the order the HTTP client
// writes it: by name, equal names in song order), and a later login returns the changed lists
// from the service's database.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <filesystem>
#include <map>
#include <memory>
#include <set>

#include "platform/fs/FileSystem.h"
#include "support/ServiceProcess.h"
#include "support/TempFolder.h"

namespace quillo::testing {
namespace {

struct Output {
  int status = -1;
  std::string out;
  std::string err;
};

struct Song {
  std::string id, name, artist, album;
};

class SyncToolTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(service_.Start()) << service_.error(); }

  Output Tool(const std::string& data, const std::string& arguments) {
    const std::string err_path = folder_ / "stderr";
    const std::string command = std::string(QUILLO_BINARY_DIR) +
                                "/tools/quillo-tool/quillo-tool --data-dir '" + (folder_ / data) +
                                "' --service " + service_.base_url() + " " + arguments + " 2>'" +
                                err_path + "'";
    Output output;
    std::unique_ptr<FILE, int (*)(FILE*)> pipe(popen(command.c_str(), "r"), pclose);
    std::array<char, 4096> buffer;
    std::size_t n;
    while ((n = fread(buffer.data(), 1, buffer.size(), pipe.get())) > 0) {
      output.out.append(buffer.data(), n);
    }
    const int status = pclose(pipe.release());
    output.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    output.err = fs::ReadWholeFile(err_path).value_or("");
    return output;
  }
  Output Tool(const std::string& arguments) { return Tool("a", arguments); }
  // A command of data folder "a" that finds no service: nobody listens on port 9.
  Output Offline(const std::string& arguments) {
    const std::string err_path = folder_ / "stderr";
    const std::string command = std::string(QUILLO_BINARY_DIR) +
                                "/tools/quillo-tool/quillo-tool --data-dir '" + (folder_ / "a") +
                                "' --service http://127.0.0.1:9/ " + arguments + " 2>'" +
                                err_path + "'";
    Output output;
    std::unique_ptr<FILE, int (*)(FILE*)> pipe(popen(command.c_str(), "r"), pclose);
    std::array<char, 4096> buffer;
    std::size_t n;
    while ((n = fread(buffer.data(), 1, buffer.size(), pipe.get())) > 0) {
      output.out.append(buffer.data(), n);
    }
    const int status = pclose(pipe.release());
    output.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    output.err = fs::ReadWholeFile(err_path).value_or("");
    return output;
  }
  // Every regular file below the folder.
  static std::set<std::string> FilesBelow(const std::string& folder) {
    std::set<std::string> files;
    std::error_code error;
    for (auto walk = std::filesystem::recursive_directory_iterator(folder, error);
         !error && walk != std::filesystem::recursive_directory_iterator(); walk.increment(error)) {
      if (walk->is_regular_file()) files.insert(walk->path().string());
    }
    return files;
  }

  void Login(const std::string& data) {
    const std::string answer = folder_ / (data + "-login.xml");
    Output call = Tool(
        data, "call 'api/login.php?ie=utf8' name=demo encode=demo --scrambled > '" + answer + "'");
    ASSERT_EQ(call.status, 0) << call.err;
    Output taken = Tool(data, "answer login '" + answer + "'");
    ASSERT_EQ(taken.status, 0) << taken.err;
  }

  static std::vector<std::vector<std::string>> Lines(const std::string& text) {
    std::vector<std::vector<std::string>> lines;
    std::size_t at = 0;
    while (at < text.size()) {
      const std::size_t end = std::min(text.find('\n', at), text.size());
      std::vector<std::string> fields;
      std::size_t field = at;
      while (true) {
        const std::size_t tab = text.find('\t', field);
        if (tab == std::string::npos || tab >= end) {
          fields.push_back(text.substr(field, end - field));
          break;
        }
        fields.push_back(text.substr(field, tab - field));
        field = tab + 1;
      }
      lines.push_back(fields);
      at = end + 1;
    }
    return lines;
  }
  std::vector<Song> Songs(const std::string& data, const std::string& list_id) {
    std::vector<Song> songs;
    for (const auto& fields : Lines(Tool(data, "library list '" + list_id + "'").out)) {
      if (fields.size() >= 4) songs.push_back({fields[0], fields[1], fields[2], fields[3]});
    }
    return songs;
  }
  std::vector<std::string> SongIds(const std::string& data, const std::string& list_id) {
    std::vector<std::string> ids;
    for (const Song& song : Songs(data, list_id)) ids.push_back(song.id);
    return ids;
  }
  std::set<std::string> SongSet(const std::string& data, const std::string& list_id) {
    std::vector<std::string> ids = SongIds(data, list_id);
    return {ids.begin(), ids.end()};
  }
  // List id → name.
  std::map<std::string, std::string> Playlists(const std::string& data) {
    std::map<std::string, std::string> lists;
    for (const auto& fields : Lines(Tool(data, "playlist list").out)) {
      if (fields.size() == 2) lists[fields[0]] = fields[1];
    }
    return lists;
  }
  std::string ListNamed(const std::string& data, const std::string& name) {
    for (const auto& [id, list_name] : Playlists(data)) {
      if (list_name == name) return id;
    }
    return {};
  }

  // The one request the command sent, checked and the log emptied.
  void ExpectSent(const std::string& path, const NameValues& query, const NameValues& form) {
    std::vector<LoggedServiceRequest> log = service_.RequestLog();
    ASSERT_EQ(log.size(), 1u) << path;
    EXPECT_EQ(log[0].method, "POST");
    EXPECT_EQ(log[0].path, path);
    EXPECT_EQ(log[0].query, query) << path;
    EXPECT_EQ(log[0].form, form) << path;
    EXPECT_EQ(log[0].status, 200) << path;
    service_.ClearLog();
  }

  ServiceProcess service_;
  TempFolder folder_;
};

// Changes made while the service could not be reached are kept in the data file and reach the
// service before the next login is merged (each command is a run of its own, so they survive
// restarts): the list made and the songs added stay, and so does the file the new song got.
TEST_F(SyncToolTest, ChangesMadeOfflineReachTheServiceBeforeTheNextLoginIsMerged) {
  Output login = Tool("login demo demo");
  ASSERT_EQ(login.status, 0) << login.err;
  const std::vector<Song> library = Songs("a", "");
  ASSERT_GE(library.size(), 1u);
  const std::string known = library[0].id;
  ServiceSong added;
  for (const ServiceSong& song : service_.Catalogue()) {
    if (song.size >= 512000 &&
        std::none_of(library.begin(), library.end(), [&](const Song& s) { return s.id == song.id; })) {
      added = song;
      break;
    }
  }
  ASSERT_FALSE(added.id.empty()) << "the catalogue has a whole song outside the library";

  Output made = Offline("sync new-playlist 离线列表");
  ASSERT_EQ(made.status, 0) << made.err;
  const std::string list = made.out.substr(0, made.out.find('\n'));
  ASSERT_EQ(list.size(), 32u) << made.out;
  ASSERT_EQ(Offline("sync add-to " + list + " " + known).status, 0);
  ASSERT_EQ(Offline("sync add-to-library " + added.id).status, 0);
  const std::string dump = Tool("store dump").out;
  std::size_t kept = 0;
  for (std::size_t at = dump.find("<request "); at != std::string::npos;
       at = dump.find("<request ", at + 1)) {
    ++kept;
  }
  EXPECT_EQ(kept, 3u) << dump.substr(dump.find("<outbox"), 600);

  // The service is back. The new song is downloaded before the next login.
  const std::string music = folder_ / "a/music";
  const std::set<std::string> before = FilesBelow(music);
  const Output downloads = Tool("downloads run");
  // Added by its id alone, the song is filed under the name its record has so far: the store
  // says where.
  const std::string stored = Tool("store dump").out;
  std::size_t record = stored.find(" id=\"" + added.id + "\"");
  while (record != std::string::npos && stored.compare(stored.rfind('<', record), 6, "<file ") != 0) {
    record = stored.find(" id=\"" + added.id + "\"", record + 1);
  }
  ASSERT_NE(record, std::string::npos);
  const std::size_t element = stored.rfind('<', record);
  const std::size_t element_end = stored.find('>', record);
  const std::size_t name_at = stored.find("fileName=\"", element);
  ASSERT_LT(name_at, element_end) << downloads.err;
  const std::size_t name_begin = name_at + 10;
  const std::string song_file =
      music + "/" + stored.substr(name_begin, stored.find('"', name_begin) - name_begin);
  ASSERT_TRUE(fs::FileExists(song_file)) << song_file;
  EXPECT_FALSE(before.count(song_file));

  service_.ClearLog();
  Output again = Tool("login --auto");
  ASSERT_EQ(again.status, 0) << again.err;
  std::vector<std::string> paths;
  for (const LoggedServiceRequest& request : service_.RequestLog()) {
    if (request.path.rfind("/api/", 0) == 0) paths.push_back(request.path);
  }
  EXPECT_EQ(paths, (std::vector<std::string>{"/api/autologin.php", "/api/createplaylist.php",
                                             "/api/addmusictoplaylist.php", "/api/addmusic.php",
                                             "/api/autologin.php"}));
  EXPECT_EQ(Playlists("a")[list], "离线列表");
  EXPECT_EQ(SongIds("a", list), std::vector<std::string>{known});
  EXPECT_TRUE(SongSet("a", "").count(added.id));
  EXPECT_TRUE(fs::FileExists(song_file));
  EXPECT_EQ(Tool("store dump").out.find("<request "), std::string::npos) << "nothing left to send";
}

TEST_F(SyncToolTest, EveryCommandChangesTheStoreAndTheServiceAlike) {
  ASSERT_NO_FATAL_FAILURE(Login("a"));
  const std::vector<Song> library = Songs("a", "");
  ASSERT_GE(library.size(), 4u);
  const std::string s1 = library[0].id, s2 = library[1].id, s3 = library[2].id, s4 = library[3].id;
  std::string unknown;
  std::string unknown_name;
  for (const ServiceSong& song : service_.Catalogue()) {
    if (std::none_of(library.begin(), library.end(),
                     [&](const Song& s) { return s.id == song.id; })) {
      unknown = song.id;
      unknown_name = song.name;
      break;
    }
  }
  ASSERT_FALSE(unknown.empty());
  const std::string client_id = Tool("clientid").out.substr(0, 32);
  service_.ClearLog();

  // New playlist: prints its id.
  Output created = Tool("sync new-playlist 旅行");
  ASSERT_EQ(created.status, 0) << created.err;
  const std::string list = created.out.substr(0, created.out.find('\n'));
  ASSERT_EQ(list.size(), 32u) << created.out;
  ExpectSent("/api/createplaylist.php", {}, {{"id", list}, {"name", "旅行"}});
  EXPECT_EQ(Playlists("a")[list], "旅行");

  ASSERT_EQ(Tool("sync add-to " + list + " " + s1 + " " + s2).status, 0);
  ExpectSent("/api/addmusictoplaylist.php", {{"force", "1"}},
             {{"musicId[]", s1}, {"musicId[]", s2}, {"playlistId", list}});
  EXPECT_EQ(SongIds("a", list), (std::vector<std::string>{s1, s2}));

  ASSERT_EQ(Tool("sync rename " + list + " 新名").status, 0);
  ExpectSent("/api/updateplaylist.php", {}, {{"name", "新名"}, {"playlistId", list}});
  EXPECT_EQ(Playlists("a")[list], "新名");

  ASSERT_EQ(Tool("sync remove " + list + " " + s1).status, 0);
  ExpectSent("/api/deletemusicfromplaylist.php", {}, {{"musicId[]", s1}, {"playlistId", list}});
  EXPECT_EQ(SongIds("a", list), (std::vector<std::string>{s2}));
  EXPECT_EQ(SongSet("a", "").count(s1), 1u);

  ASSERT_EQ(Tool("sync drop " + list + " " + s3).status, 0);
  ExpectSent("/api/addmusictoplaylist.php", {{"force", "1"}},
             {{"musicId[]", s3}, {"playlistId", list}});
  EXPECT_EQ(SongIds("a", list), (std::vector<std::string>{s2, s3}));

  // A new list from two songs, named by what they share.
  std::string shared = "新建播放列表";
  if (library[0].album == library[1].album && !library[0].album.empty()) {
    shared = library[0].album;
  } else if (library[0].artist == library[1].artist && !library[0].artist.empty()) {
    shared = library[0].artist;
  }
  Output from = Tool("sync new-from - " + s1 + " " + s2);
  ASSERT_EQ(from.status, 0) << from.err;
  const std::string from_list = from.out.substr(0, from.out.find('\n'));
  ExpectSent("/api/createplaylist.php", {{"force", "1"}},
             {{"id", from_list}, {"musicId[]", s1}, {"musicId[]", s2}, {"name", shared}});
  EXPECT_EQ(Playlists("a")[from_list], shared);

  ASSERT_EQ(Tool("sync clear " + from_list).status, 0);
  ExpectSent("/api/clearplaylist.php", {{"client_id", client_id}, {"id", from_list}}, {});
  EXPECT_TRUE(SongIds("a", from_list).empty());

  ASSERT_EQ(Tool("sync delete-playlist " + from_list).status, 0);
  ExpectSent("/api/deleteplaylist.php", {}, {{"playlistId", from_list}});
  EXPECT_EQ(Playlists("a").count(from_list), 0u);

  ASSERT_EQ(Tool("sync delete-songs '' " + s4).status, 0);
  ExpectSent("/api/deletemusic.php", {}, {{"musicId[]", s4}});
  EXPECT_EQ(SongSet("a", "").count(s4), 0u);

  Output added = Tool("sync add-to-library " + s4);
  ASSERT_EQ(added.status, 0) << added.err;
  EXPECT_EQ(added.out, "1\n");
  ExpectSent("/api/addmusic.php", {}, {{"musicId[]", s4}});
  EXPECT_EQ(SongSet("a", "").count(s4), 1u);

  // A link with known songs and a new list name (escaped): one create call carrying them.
  ASSERT_EQ(Tool("add-link 'quillo://add/" + s1 + "," + s2 + ":%E9%93%BE%E6%8E%A5'").status, 0);
  const std::string linked = ListNamed("a", "链接");
  ASSERT_EQ(linked.size(), 32u);
  ExpectSent("/api/createplaylist.php", {},
             {{"id", linked}, {"musicId[]", s1}, {"musicId[]", s2}, {"name", "链接"}});
  EXPECT_EQ(SongIds("a", linked), (std::vector<std::string>{s1, s2}));

  // A link with a song this library lacks: the answer brings it and its list.
  Output fetched = Tool("add-link 'quillo://add/" + unknown + ":链接二'");
  ASSERT_EQ(fetched.status, 0) << fetched.err;
  const std::string fetched_list = ListNamed("a", "链接二");
  ASSERT_EQ(fetched_list.size(), 32u);
  ExpectSent("/api/addmusic.php", {{"type", "xml"}},
             {{"id", fetched_list}, {"musicId[]", unknown}, {"name", "链接二"}});
  EXPECT_EQ(SongIds("a", fetched_list), (std::vector<std::string>{unknown}));
  const std::vector<Song> after = Songs("a", "");
  auto fetched_song = std::find_if(after.begin(), after.end(),
                                   [&](const Song& song) { return song.id == unknown; });
  ASSERT_NE(fetched_song, after.end());
  EXPECT_EQ(fetched_song->name, unknown_name);

  // Refusals: exit 1 with the reason, nothing changed, nothing sent.
  struct Refusal {
    std::string arguments;
    std::string message;
  } refusals[] = {
      {"sync rename FFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFF 名", "播放列表不存在"},
      {"sync delete-playlist local", "该列表不能删除"},
      {"sync add-to '' " + s1, "该列表不能添加歌曲"},
      {"sync remove " + list + " " + s4, "歌曲不在列表"},
      {"sync add-to " + list + " ex-123", "歌曲不存在"},
      {"sync clear d_x_", "手机未连接"},
      {"sync new-playlist '  '", "播放列表名称不能为空"},
      {"add-link 'quillo://add/1%G1'", "链接格式错误"},
      {"add-link 'quillo://add/:名字'", "链接中没有歌曲"},
      {"sync add-to " + list, "usage"},
  };
  const std::string dump = Tool("store dump").out;
  for (const Refusal& refusal : refusals) {
    Output output = Tool(refusal.arguments);
    EXPECT_EQ(output.status, 1) << refusal.arguments;
    EXPECT_NE(output.err.find(refusal.message), std::string::npos)
        << refusal.arguments << ": " << output.err;
  }
  EXPECT_TRUE(service_.RequestLog().empty());
  EXPECT_EQ(Tool("store dump").out, dump);

  // Logging in afresh elsewhere: the service returns the changed lists.
  ASSERT_NO_FATAL_FAILURE(Login("b"));
  std::map<std::string, std::string> lists = Playlists("b");
  EXPECT_EQ(lists[list], "新名");
  EXPECT_EQ(SongSet("b", list), (std::set<std::string>{s2, s3}));
  EXPECT_EQ(lists.count(from_list), 0u);
  EXPECT_EQ(lists[linked], "链接");
  EXPECT_EQ(SongSet("b", linked), (std::set<std::string>{s1, s2}));
  EXPECT_EQ(lists[fetched_list], "链接二");
  EXPECT_EQ(SongSet("b", fetched_list), (std::set<std::string>{unknown}));
  const std::set<std::string> library_b = SongSet("b", "");
  EXPECT_EQ(library_b.count(s4), 1u);
  EXPECT_EQ(library_b.count(unknown), 1u);
}

}  // namespace
}  // namespace quillo::testing
