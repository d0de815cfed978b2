// Starting, stopping, killing, and what survives in the data folder.
#include <sqlite3.h>
#include <sys/stat.h>

#include <fstream>
#include <regex>
#include <thread>

#include "ServiceTestSupport.h"

namespace quillo::testing {
namespace {

const std::string kList = "AAAABBBBCCCCDDDDEEEEFFFF00001111";

std::string LoginCookie(ServiceProcess& service) {
  return CookieOf(service.PostForm("/api/login.php?ie=utf8", {{"name", "demo"}, {"encode", "demo"}}));
}

std::string LoginXml(ServiceProcess& service) {
  return Descramble(service.PostForm("/api/login.php?ie=utf8", {{"name", "demo"}, {"encode", "demo"}}).body)
      .value_or("");
}

TEST(LifecycleTest, PrintsItsPortsAndStopsCleanlyOnSigterm) {
  ServiceProcess first, second;
  ASSERT_TRUE(first.Start()) << first.error();
  ASSERT_TRUE(second.Start()) << second.error();
  EXPECT_GT(first.port(), 0);
  EXPECT_GT(first.upload_port(), 0);
  EXPECT_NE(first.port(), first.upload_port());
  EXPECT_NE(first.port(), second.port());
  EXPECT_EQ(first.Get("/music/").status, 200);
  EXPECT_EQ(first.Stop(), 0);
  EXPECT_EQ(first.Get("/music/").status, 0) << "nothing listens after the stop";
  EXPECT_EQ(second.Get("/music/").status, 200);
  EXPECT_EQ(second.Stop(), 0);
}

TEST(LifecycleTest, StopsCleanlyInTheMiddleOfASlowAnswer) {
  ServiceProcess service;
  ASSERT_TRUE(service.Start()) << service.error();
  ASSERT_GT(service.AddFault("path=/music/download_shiting.php&kind=throttle&bytes_per_second=1000"), 0);
  std::thread slow([&] { service.Get("/music/download_shiting.php?id=1"); });
  std::this_thread::sleep_for(std::chrono::milliseconds(300));
  const auto started = std::chrono::steady_clock::now();
  EXPECT_EQ(service.Stop(), 0);
  EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(10));
  slow.join();
}

TEST(LifecycleTest, ListensOnLoopbackOnly) {
  ServiceProcess service;
  ASSERT_TRUE(service.Start()) << service.error();
  // /proc/net/tcp lists listening sockets (state 0A) with their local address in hex.
  std::string line;
  int found = 0;
  char port_hex[8];
  for (const int port : {service.port(), service.upload_port()}) {
    std::snprintf(port_hex, sizeof port_hex, "%04X", port);
    std::ifstream table("/proc/net/tcp");
    while (std::getline(table, line)) {
      if (line.find(std::string(":") + port_hex + " ") == std::string::npos || line.find(" 0A ") == std::string::npos) {
        continue;
      }
      EXPECT_NE(line.find("0100007F:" + std::string(port_hex)), std::string::npos) << line;
      ++found;
    }
  }
  EXPECT_EQ(found, 2);
}

TEST(LifecycleTest, DataSurvivesSigkill) {
  TempFolder data;
  ServiceProcess::Options options;
  options.data_folder = data.path();
  {
    ServiceProcess service(options);
    ASSERT_TRUE(service.Start()) << service.error();
    const NameValues cookie = {{"Cookie", LoginCookie(service)}};
    ASSERT_EQ(service.PostForm("/api/createplaylist.php?force=1",
                               {{"name", "杀不死"}, {"id", kList}, {"musicId[]", "9"}}, cookie).status, 200);
    service.Kill();
  }
  // The database is whole after the kill.
  sqlite3* db = nullptr;
  ASSERT_EQ(sqlite3_open_v2((data.path() + "service.db").c_str(), &db, SQLITE_OPEN_READONLY, nullptr), SQLITE_OK);
  sqlite3_stmt* check = nullptr;
  ASSERT_EQ(sqlite3_prepare_v2(db, "PRAGMA integrity_check", -1, &check, nullptr), SQLITE_OK);
  ASSERT_EQ(sqlite3_step(check), SQLITE_ROW);
  EXPECT_STREQ(reinterpret_cast<const char*>(sqlite3_column_text(check, 0)), "ok");
  sqlite3_finalize(check);
  sqlite3_close(db);

  ServiceProcess again(options);
  ASSERT_TRUE(again.Start()) << again.error();
  const auto login = ParseXml(LoginXml(again));
  ASSERT_TRUE(login);
  bool kept = false;
  for (const auto& list : Playlists(*login)) {
    kept = kept || (list.id == kList && list.name == "杀不死" && list.items == std::vector<std::string>{"9"});
  }
  EXPECT_TRUE(kept);
  EXPECT_EQ(again.Stop(), 0);
}

TEST(LifecycleTest, TheCatalogueIsGeneratedOnceAndQuickly) {
  TempFolder data;
  ServiceProcess::Options options;
  options.data_folder = data.path();
  options.songs = 3;
  options.reuse_catalogue = false;
  const auto started = std::chrono::steady_clock::now();
  {
    ServiceProcess service(options);
    ASSERT_TRUE(service.Start()) << service.error();
    EXPECT_EQ(service.Stop(), 0);
  }
  EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(60));
  struct stat before {};
  ASSERT_EQ(::stat((data.path() + "catalogue/catalogue.stamp").c_str(), &before), 0);
  {
    options.songs = 5;  // a later start keeps what is there
    ServiceProcess service(options);
    ASSERT_TRUE(service.Start()) << service.error();
    EXPECT_EQ(service.Catalogue().size(), 3u);
    EXPECT_EQ(service.Stop(), 0);
  }
  struct stat after {};
  ASSERT_EQ(::stat((data.path() + "catalogue/catalogue.stamp").c_str(), &after), 0);
  EXPECT_EQ(before.st_mtim.tv_sec, after.st_mtim.tv_sec);
  EXPECT_EQ(before.st_mtim.tv_nsec, after.st_mtim.tv_nsec);
  const std::string messages = ReadFile(data.path() + "service-stderr.log");
  const std::regex generating("generating a catalogue");
  EXPECT_EQ(std::distance(std::sregex_iterator(messages.begin(), messages.end(), generating),
                          std::sregex_iterator()), 1) << messages;
}

TEST(LifecycleTest, BadCommandLinesAreRefused) {
  for (const std::vector<std::string>& args :
       {std::vector<std::string>{"--bogus"}, {"--songs", "0"}, {"--port", "70000"},
        {"--update-package", "/no/such/file"}}) {
    ServiceProcess::Options options;
    options.extra_args = args;
    ServiceProcess service(options);
    EXPECT_FALSE(service.Start()) << args[0];
    EXPECT_FALSE(service.error().empty());
  }
}

}  // namespace
}  // namespace quillo::testing
