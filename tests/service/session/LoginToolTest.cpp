// quillo-tool login, login --auto and logout against a real quillo-service: what the store
// holds afterwards, compared with the service's own data, and the requests its log shows.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <map>
#include <memory>
#include <regex>
#include <string>
#include <vector>

#include "platform/fs/FileSystem.h"
#include "support/ServiceProcess.h"
#include "support/TempFolder.h"

namespace {

using quillo::testing::ServiceProcess;
using quillo::testing::TempFolder;

struct Output {
  int status = -1;
  std::string out;
  std::string err;
};

struct ServicePlaylist {
  std::string id, name;
  std::vector<std::string> songs;
};

std::vector<std::string> QuotedList(const std::string& text) {
  std::vector<std::string> values;
  static const std::regex kQuoted("\"([^\"]*)\"");
  for (auto it = std::sregex_iterator(text.begin(), text.end(), kQuoted);
       it != std::sregex_iterator(); ++it) {
    values.push_back((*it)[1]);
  }
  return values;
}

// Lines of tab-separated fields.
std::vector<std::vector<std::string>> Rows(const std::string& text) {
  std::vector<std::vector<std::string>> rows;
  std::size_t at = 0;
  while (at < text.size()) {
    std::size_t end = text.find('\n', at);
    if (end == std::string::npos) end = text.size();
    std::vector<std::string> fields;
    std::string line = text.substr(at, end - at);
    for (std::size_t from = 0;;) {
      std::size_t tab = line.find('\t', from);
      fields.push_back(line.substr(from, tab - from));
      if (tab == std::string::npos) break;
      from = tab + 1;
    }
    rows.push_back(fields);
    at = end + 1;
  }
  return rows;
}

std::vector<std::string> Column(const std::vector<std::vector<std::string>>& rows,
                                std::size_t index) {
  std::vector<std::string> values;
  for (const auto& row : rows) values.push_back(row.size() > index ? row[index] : std::string());
  return values;
}

class LoginToolTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(service_.Start()) << service_.error();
    ASSERT_EQ(Tool("config set sorvel.service.base_url " + service_.base_url()).status, 0);
  }

  Output Tool(const std::string& arguments) {
    const std::string err_path = scratch_ / "stderr";
    std::string command = std::string(QUILLO_BINARY_DIR) +
                          "/tools/quillo-tool/quillo-tool --data-dir '" + data_.path() + "' " +
                          arguments + " 2>'" + err_path + "'";
    Output output;
    std::unique_ptr<FILE, int (*)(FILE*)> pipe(popen(command.c_str(), "r"), pclose);
    std::array<char, 4096> buffer;
    std::size_t n;
    while ((n = fread(buffer.data(), 1, buffer.size(), pipe.get())) > 0)
      output.out.append(buffer.data(), n);
    int status = pclose(pipe.release());
    output.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    output.err = quillo::fs::ReadWholeFile(err_path).value_or("");
    return output;
  }

  // The service's record of a user: its library and playlists in stored order.
  std::vector<std::string> ServiceLibrary(const std::string& name) {
    std::string json = service_.Control("action=user&name=" + ServiceProcess::UrlEncode(name));
    std::size_t from = json.find("\"library\":[");
    std::size_t to = json.find(']', from);
    return QuotedList(json.substr(from + 10, to - from - 10));
  }
  std::vector<ServicePlaylist> ServicePlaylists(const std::string& name) {
    std::string json = service_.Control("action=user&name=" + ServiceProcess::UrlEncode(name));
    std::vector<ServicePlaylist> lists;
    static const std::regex kList(
        "\\{\"id\":\"([^\"]*)\",\"name\":\"([^\"]*)\",\"songs\":\\[([^\\]]*)\\]\\}");
    std::string part = json.substr(json.find("\"playlists\":"));
    for (auto it = std::sregex_iterator(part.begin(), part.end(), kList);
         it != std::sregex_iterator(); ++it) {
      lists.push_back({(*it)[1], (*it)[2], QuotedList((*it)[3])});
    }
    return lists;
  }
  std::string Dump() { return Tool("store dump").out; }
  // How many song records the library holds, whoever is logged in.
  std::size_t LibrarySize() { return Rows(Tool("library list").out).size(); }

  ServiceProcess service_;
  TempFolder data_;
  TempFolder scratch_;
};

TEST_F(LoginToolTest, DemoLoginMergesTheServicesLibraryAndPlaylists) {
  const std::int64_t log_start =
      service_.RequestLog().empty() ? 0 : service_.RequestLog().back().seq;
  Output login = Tool("login demo demo");
  ASSERT_EQ(login.status, 0) << login.err;
  const std::vector<std::string> library = ServiceLibrary("demo");
  const std::vector<ServicePlaylist> playlists = ServicePlaylists("demo");
  ASSERT_FALSE(library.empty());
  ASSERT_EQ(playlists.size(), 2u);
  EXPECT_EQ(login.out,
            "user 10001 demo\nlibrary " + std::to_string(library.size()) + " songs\nplaylists 2\n");

  // The library in the answer's order, each song as the catalogue has it.
  const auto rows = Rows(Tool("library list ''").out);
  EXPECT_EQ(Column(rows, 0), library);
  std::map<std::string, quillo::testing::ServiceSong> catalogue;
  for (const auto& song : service_.Catalogue()) catalogue[song.id] = song;
  for (const auto& row : rows) {
    ASSERT_GE(row.size(), 4u);
    const auto& song = catalogue.at(row[0]);
    EXPECT_EQ(row[1], song.name);
    EXPECT_EQ(row[2], song.artist_name);
    EXPECT_EQ(row[3], song.album_name);
  }
  // Playlists in the answer's order; a new list's items in byte order of their ids.
  const auto lists = Rows(Tool("playlist list").out);
  ASSERT_EQ(lists.size(), 2u);
  for (std::size_t i = 0; i < playlists.size(); ++i) {
    EXPECT_EQ(lists[i][0], playlists[i].id);
    EXPECT_EQ(lists[i][1], playlists[i].name);
    std::vector<std::string> sorted = playlists[i].songs;
    std::sort(sorted.begin(), sorted.end());
    EXPECT_EQ(Column(Rows(Tool("library list " + playlists[i].id).out), 0), sorted);
  }

  // Exactly one call, with the form as typed.
  std::vector<quillo::testing::LoggedServiceRequest> calls = service_.RequestLog(log_start);
  ASSERT_EQ(calls.size(), 1u);
  EXPECT_EQ(calls[0].path, "/api/login.php");
  EXPECT_EQ(calls[0].query, (quillo::testing::NameValues{{"ie", "utf8"}}));
  EXPECT_EQ(calls[0].form, (quillo::testing::NameValues{{"encode", "demo"}, {"name", "demo"}}));
}

TEST_F(LoginToolTest, NonAsciiNamesAreSentAsUtf8AndAWrongPasswordShowsTheServicesText) {
  Output wrong = Tool("login 小明 错误");
  EXPECT_EQ(wrong.status, 1);
  EXPECT_EQ(wrong.err, "用户名或密码错误\n");
  EXPECT_EQ(wrong.out, "");
  EXPECT_EQ(Tool("config get sorvel.currentuser").status, 1);

  Output right = Tool("login 小明 密码");
  ASSERT_EQ(right.status, 0) << right.err;
  EXPECT_NE(right.out.find("小明"), std::string::npos);
  auto calls = service_.RequestLog();
  ASSERT_GE(calls.size(), 2u);
  EXPECT_EQ(calls.back().Form("name"), "小明");
  EXPECT_EQ(calls.back().Form("encode"), "密码");
  EXPECT_EQ(LibrarySize(), ServiceLibrary("小明").size());
}

TEST_F(LoginToolTest, TheStoredKeyLogsInAgainInALaterRunAndLogoutEndsIt) {
  ASSERT_EQ(Tool("login demo demo").status, 0);
  std::smatch key;
  const std::string dump = Dump();
  ASSERT_TRUE(std::regex_search(dump, key, std::regex("contextKey=\"([0-9A-F]+)\"")));

  // A new process: only the data file and the cookie jar carry the session over.
  Output again = Tool("login --auto");
  ASSERT_EQ(again.status, 0) << again.err;
  EXPECT_NE(again.out.find("user 10001 demo"), std::string::npos);
  EXPECT_EQ(service_.RequestLog().back().path, "/api/autologin.php");
  EXPECT_EQ(service_.RequestLog().back().Query("ukey"), key[1].str());

  const std::size_t songs = LibrarySize();
  Output logout = Tool("logout");
  ASSERT_EQ(logout.status, 0) << logout.err;
  EXPECT_EQ(logout.err, "");
  const auto last = service_.RequestLog().back();
  EXPECT_EQ(last.method, "POST");
  EXPECT_EQ(last.path, "/user/logout.php");
  EXPECT_FALSE(last.Header("Cookie").empty());  // the session the service ends
  EXPECT_EQ(Tool("config get sorvel.currentuser").status, 1);
  EXPECT_EQ(Tool("config get sorvel.contextid").status, 1);
  const std::string after = Dump();
  EXPECT_EQ(after.find("contextKey"), std::string::npos);
  EXPECT_NE(after.find("username=\"demo\""), std::string::npos);  // offered again
  EXPECT_EQ(LibrarySize(), songs);                                // logout deletes no song
  Output no_key = Tool("login --auto");
  EXPECT_EQ(no_key.status, 1);
  EXPECT_NE(no_key.err.find("no stored session key"), std::string::npos);
}

TEST_F(LoginToolTest, MalformedOrCutShortAnswersNeverDeleteSongs) {
  ASSERT_EQ(Tool("login demo demo").status, 0);
  const std::size_t songs = LibrarySize();
  ASSERT_GT(songs, 0u);
  for (const std::string& fault :
       {std::string("kind=cut&bytes=120"), std::string("kind=malformed_xml")}) {
    SCOPED_TRACE(fault);
    ASSERT_EQ(Tool("login demo demo").status, 0);
    service_.ClearFaults();
    ASSERT_GT(service_.AddFault("path=/api/autologin.php&count=1&" + fault), 0);
    Output damaged = Tool("login --auto");
    EXPECT_EQ(damaged.status, 1);
    EXPECT_EQ(damaged.err, "错误的返回文件格式\n");
    // A failed answer while a user is current logs that user out, and nothing else.
    EXPECT_EQ(Tool("config get sorvel.currentuser").status, 1);
    EXPECT_EQ(LibrarySize(), songs);
  }
}

}  // namespace
