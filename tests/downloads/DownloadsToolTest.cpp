// quillo-tool downloads run against quillo-service: a logged-in user's library is downloaded,
// filed with tags, pictures and lyrics; dropped connections resume; a killed run finishes on
// the next one.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>

#include <chrono>
#include <cstdlib>
#include <map>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "media/MediaTagAccess.h"
#include "platform/fs/FileSystem.h"
#include "support/ServiceProcess.h"
#include "support/TempFolder.h"

extern char** environ;

namespace quillo::testing {
namespace {

constexpr std::int64_t kSongMinimum = 512000;

struct ToolRun {
  int exit_code = -1;
  std::string out;
  std::string err;
};

class DownloadsToolTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(service_.Start()) << service_.error(); }

  std::string Data() { return folder_ / data_; }
  std::string Music() { return Data() + "music/"; }

  // The tool's command line up to the command's own words.
  std::vector<std::string> ToolArguments() {
    return {QUILLO_TOOL_EXECUTABLE, "--data-dir", Data(), "--service", service_.base_url()};
  }
  ToolRun Tool(const std::string& arguments) {
    const std::string command = std::string("'") + QUILLO_TOOL_EXECUTABLE + "' --data-dir '" +
                                Data() + "' --service '" + service_.base_url() + "' " + arguments +
                                " > '" + (folder_ / "out.txt") + "' 2> '" + (folder_ / "err.txt") +
                                "'";
    const int status = std::system(command.c_str());
    ToolRun run;
    run.exit_code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    run.out = fs::ReadWholeFile(folder_ / "out.txt").value_or("");
    run.err = fs::ReadWholeFile(folder_ / "err.txt").value_or("");
    return run;
  }
  void LogIn(const std::string& name, const std::string& password) {
    ToolRun call = Tool("call 'api/login.php?ie=utf8' 'name=" + name + "' 'encode=" + password +
                        "' --scrambled");
    ASSERT_EQ(call.exit_code, 0) << call.err;
    ASSERT_TRUE(fs::WriteFile(folder_ / "answer.xml", call.out));
    ToolRun answer = Tool("answer login '" + (folder_ / "answer.xml") + "'");
    ASSERT_EQ(answer.exit_code, 0) << answer.err;
  }
  // The library songs of a user as the service has them.
  std::vector<ServiceSong> LibraryOf(const std::vector<int>& indexes) {
    std::vector<ServiceSong> catalogue = service_.Catalogue();
    std::vector<ServiceSong> songs;
    for (int index : indexes) songs.push_back(catalogue.at(static_cast<std::size_t>(index)));
    return songs;
  }
  static std::string Extension(const ServiceSong& song) {
    return song.format == "wma" ? ".wma" : ".mp3";
  }
  std::string StoredName(const ServiceSong& song) {
    return song.artist_name + "/" + song.album_name + "/" + song.name + Extension(song);
  }
  // The service's file with the tags the library writes: what a filed song must be, byte for
  // byte.
  std::string ExpectedCopy(const ServiceSong& song) {
    const std::string copy = folder_ / ("expected" + Extension(song));
    EXPECT_TRUE(fs::WriteFile(copy, fs::ReadWholeFile(song.audio_file).value_or("")));
    media::MediaTagAccess tags;
    EXPECT_TRUE(
        tags.WriteTags(copy, Extension(song), {song.name, song.artist_name, song.album_name}));
    return fs::ReadWholeFile(copy).value_or("");
  }
  // Every file below the folder, relative to it.
  static void ListFiles(const std::string& folder, const std::string& prefix,
                        std::set<std::string>& files) {
    for (const std::string& name : fs::ListFolder(folder + prefix)) {
      if (fs::FolderExists(folder + prefix + name)) {
        ListFiles(folder, prefix + name + "/", files);
      } else {
        files.insert(prefix + name);
      }
    }
  }

  ServiceProcess service_;
  TempFolder folder_;
  std::string data_ = "data/";  // the data folder the tool runs on, inside folder_
};

// Without a Content-Length the minimum is checked against what arrived (not against the unknown
// total), and a body whose connection ended early is not filed: a song must run whole to its
// end.
TEST_F(DownloadsToolTest, SongsWithoutALengthAreFiledWholeOrNotAtAll) {
  LogIn("demo", "demo");
  const ServiceSong* direct = nullptr;
  const std::vector<ServiceSong> library = LibraryOf({0, 1, 2, 3, 4, 5});
  for (const ServiceSong& song : library) {
    if (song.mirror == "none" && song.size >= kSongMinimum) direct = &song;
  }
  ASSERT_NE(direct, nullptr);
  const std::string line = "下载 " + direct->artist_name + " - " + direct->name;
  ASSERT_GE(service_.AddFault("path=/music/download.php&kind=no_content_length"), 0);
  ToolRun run = Tool("downloads run");
  EXPECT_NE(run.err.find(line + ": 完成\n"), std::string::npos) << run.err;
  EXPECT_TRUE(fs::ReadWholeFile(Music() + StoredName(*direct)) == ExpectedCopy(*direct));

  // The same song for another data folder, its connection ended a frame short of the end
  // (still above the minimum).
  data_ = "second/";
  LogIn("demo", "demo");
  ASSERT_GE(service_.AddFault("path=/music/download.php&kind=cut&bytes=" +
                              std::to_string(direct->size - 1001) + "&match=" +
                              ServiceProcess::UrlEncode("id=" + direct->id + "&")),
            0);
  run = Tool("downloads run");
  EXPECT_NE(run.err.find(line + ": 失败\n"), std::string::npos) << run.err;
  EXPECT_FALSE(fs::FileExists(Music() + StoredName(*direct)));
}

TEST_F(DownloadsToolTest, DownloadsTheLibraryWithTagsPicturesAndLyricsThroughDrops) {
  LogIn("demo", "demo");
  const std::vector<ServiceSong> songs = LibraryOf({0, 1, 2, 3, 4, 5});
  // Connections drop in the middle of a direct download and of a mirror's body; both resume.
  const ServiceSong& direct = songs[1];
  ASSERT_EQ(direct.mirror, "none");
  ASSERT_GE(
      service_.AddFault("path=/music/download.php&kind=drop_after&bytes=200000&count=1&match=" +
                        ServiceProcess::UrlEncode("id=" + direct.id + "&")),
      0);
  ASSERT_EQ(songs[3].mirror, "qlfss-pair");
  ASSERT_GE(service_.AddFault("path=/qlfss/*&kind=drop_after&bytes=100000&count=1"), 0);
  service_.ClearLog();

  ToolRun run = Tool("downloads run");
  int filed = 0;
  for (const ServiceSong& song : songs) filed += song.size >= kSongMinimum;
  ASSERT_EQ(filed, 6);  // every song of the stand-in is above the minimum
  EXPECT_EQ(run.exit_code, 0) << run.err;
  EXPECT_EQ(run.out, "waiting 0, downloading 0, downloaded 6, failed 0\n") << run.err;

  std::set<std::string> albums, artists;
  for (const ServiceSong& song : songs) {
    SCOPED_TRACE(song.name);
    const bool whole = song.size >= kSongMinimum;
    const std::string line =
        "下载 " + song.artist_name + " - " + song.name + (whole ? ": 完成\n" : ": 失败\n");
    EXPECT_NE(run.err.find(line), std::string::npos) << run.err;
    const std::string stored = Music() + StoredName(song);
    if (!whole) {
      EXPECT_FALSE(fs::FileExists(stored));
      continue;
    }
    EXPECT_TRUE(fs::ReadWholeFile(stored) == ExpectedCopy(song));
    ToolRun tags = Tool("tags read '" + stored + "'");
    EXPECT_EQ(tags.exit_code, 0) << tags.err;
    EXPECT_NE(tags.out.find("title=" + song.name + "\nartist=" + song.artist_name +
                            "\nalbum=" + song.album_name),
              std::string::npos)
        << tags.out;
    EXPECT_TRUE(fs::FileExists(Music() + song.artist_name + "/" + song.album_name + "/album.png"));
    EXPECT_TRUE(fs::FileExists(Music() + song.artist_name + "/artist.png"));
    const std::string lyric =
        Music() + song.artist_name + "/" + song.album_name + "/" + song.name + ".lrc";
    if (song.lyric != "none") {
      EXPECT_TRUE(fs::ReadWholeFile(lyric) == fs::ReadWholeFile(song.lyric_file));
    }
    albums.insert(song.album_id);
    artists.insert(song.artist_id);
  }

  std::map<std::string, int> pictures, lyrics;
  std::vector<std::string> order;
  bool resumed_direct = false;
  for (const LoggedServiceRequest& request : service_.RequestLog()) {
    if (request.path == "/music/download_image.php")
      ++pictures[request.Query("type") + request.Query("id")];
    if (request.path == "/music/download_lyric.php") ++lyrics[request.Query("id")];
    if (request.path == "/music/download.php") order.push_back("song");
    if (request.path == "/music/download_image.php" ||
        request.path == "/music/download_lyric.php") {
      order.push_back("companion");
    }
    if (request.path == "/music/download.php" && request.Query("id") == direct.id &&
        request.Header("Range") == "bytes=200000-") {
      resumed_direct = true;
    }
  }
  EXPECT_TRUE(resumed_direct);
  // Two songs start together; companions only after a song was filed.
  ASSERT_GE(order.size(), 2u);
  EXPECT_EQ(order[0], "song");
  EXPECT_EQ(order[1], "song");
  // Once per album, once per artist, once per filed song.
  for (const std::string& album : albums) EXPECT_EQ(pictures["musicalbum" + album], 1) << album;
  for (const std::string& artist : artists) EXPECT_EQ(pictures["artist" + artist], 1) << artist;
  EXPECT_EQ(pictures.size(), albums.size() + artists.size());
  EXPECT_EQ(lyrics.size(), static_cast<std::size_t>(filed));  // one per filed song
  for (const auto& [id, count] : lyrics) EXPECT_EQ(count, 1) << id;

  std::set<std::string> partials;
  ListFiles(Data(), ".download/", partials);
  EXPECT_TRUE(partials.empty()) << *partials.begin();
}

pid_t StartTool(const std::vector<std::string>& arguments, const std::string& out,
                const std::string& err) {
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 1, out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  posix_spawn_file_actions_addopen(&actions, 2, err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  std::vector<char*> argv;
  for (const std::string& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
  argv.push_back(nullptr);
  pid_t pid = -1;
  if (posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ) != 0) pid = -1;
  posix_spawn_file_actions_destroy(&actions);
  return pid;
}

TEST_F(DownloadsToolTest, AKilledRunFinishesByteExactOnTheNextRun) {
  LogIn("小明", "密码");
  const std::vector<ServiceSong> songs = LibraryOf({1, 3, 6, 7});
  // Slow enough that the run is killed with one song filed and another half-way.
  for (const char* path : {"/music/download.php", "/qlfss/*", "/mirror/*"}) {
    ASSERT_GE(
        service_.AddFault(std::string("path=") + path + "&kind=throttle&bytes_per_second=400000"),
        0);
  }
  std::vector<std::string> arguments = ToolArguments();
  arguments.insert(arguments.end(), {"downloads", "run"});
  const pid_t pid = StartTool(arguments, folder_ / "killed-out.txt", folder_ / "killed-err.txt");
  ASSERT_GT(pid, 0);
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
  while (fs::ReadWholeFile(folder_ / "killed-err.txt").value_or("").find("完成") ==
             std::string::npos &&
         std::chrono::steady_clock::now() < deadline) {
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  // Let the next transfer get under way, then end the run as a crash or power cut would.
  std::this_thread::sleep_for(std::chrono::milliseconds(300));
  kill(pid, SIGKILL);
  int status = 0;
  waitpid(pid, &status, 0);
  ASSERT_TRUE(WIFSIGNALED(status));
  EXPECT_NE(fs::ReadWholeFile(folder_ / "killed-err.txt").value_or("").find("完成"),
            std::string::npos);
  std::set<std::string> left;
  ListFiles(Data(), ".download/", left);
  EXPECT_FALSE(left.empty());  // a partial download was cut off

  // Two transfers ran at once: the first two songs were both asked for before anything that
  // follows a filed song (its pictures and lyric).
  std::vector<std::string> first_requests;
  for (const LoggedServiceRequest& request : service_.RequestLog()) {
    if (request.path == "/music/download.php") first_requests.push_back(request.Query("id"));
    if (request.path == "/music/download_image.php" || request.path == "/music/download_lyric.php")
      break;
  }
  ASSERT_GE(first_requests.size(), 2u);
  EXPECT_EQ(std::set<std::string>(first_requests.begin(), first_requests.begin() + 2),
            (std::set<std::string>{songs[0].id, songs[1].id}));

  service_.ClearFaults();
  ToolRun run = Tool("downloads run");
  EXPECT_EQ(run.exit_code, 0) << run.err;
  EXPECT_EQ(run.out, "waiting 0, downloading 0, downloaded 4, failed 0\n") << run.err;
  for (const ServiceSong& song : songs) {
    SCOPED_TRACE(song.name);
    if (song.size < kSongMinimum) continue;
    EXPECT_TRUE(fs::ReadWholeFile(Music() + StoredName(song)) == ExpectedCopy(song));
  }
  std::set<std::string> files;
  ListFiles(Data(), "", files);
  for (const std::string& file : files) {
    EXPECT_EQ(file.find(".download/"), std::string::npos) << file;
    EXPECT_EQ(file.find(".part"), std::string::npos) << file;
  }
}

}  // namespace
}  // namespace quillo::testing
