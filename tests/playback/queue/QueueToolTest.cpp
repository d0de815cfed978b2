// quillo-tool queue driven from outside, as a script would.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <array>
#include <cstdio>
#include <memory>

#include "platform/fs/FileSystem.h"
#include "support/TempFolder.h"

namespace {

using quillo::testing::TempFolder;

struct Output {
  int status = -1;
  std::string out;
};

const std::string kList = "0123456789ABCDEF0123456789ABCDEF";

class QueueToolTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string login = data_ / "login.xml";
    ASSERT_TRUE(quillo::fs::WriteFile(
        login,
        "<a><user id='u9' username='n'/><folders><folder name='music'>"
        "<s music_id='30' music_name='C'/><s music_id='4' music_name='B'/>"
        "<s music_id='100' music_name='阿'/></folder></folders><playlists><p playlistId='" +
            kList +
            "' playlistName='Fav'><i id='30'/><i id='4'/><i id='100'/></p></playlists></a>"));
    ASSERT_EQ(Tool("answer login '" + login + "'").status, 0) << Stderr();
  }
  Output Tool(const std::string& arguments) {
    std::string command = std::string(QUILLO_BINARY_DIR) +
                          "/tools/quillo-tool/quillo-tool --data-dir '" + (data_ / "d") + "' " +
                          arguments + " 2>'" + (data_ / "stderr") + "'";
    Output output;
    std::unique_ptr<FILE, int (*)(FILE*)> pipe(popen(command.c_str(), "r"), pclose);
    std::array<char, 4096> buffer;
    std::size_t n;
    while ((n = fread(buffer.data(), 1, buffer.size(), pipe.get())) > 0)
      output.out.append(buffer.data(), n);
    int status = pclose(pipe.release());
    output.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return output;
  }
  std::string Stderr() { return quillo::fs::ReadWholeFile(data_ / "stderr").value_or(""); }
  std::string ListOrder() {
    // The list's songs in stored order, as "library list" prints them (id first).
    std::string listed = Tool("library list " + kList).out, ids;
    for (std::size_t at = 0; at < listed.size();) {
      std::size_t end = listed.find('\n', at);
      ids += listed.substr(at, listed.find('\t', at) - at) + " ";
      at = end == std::string::npos ? listed.size() : end + 1;
    }
    return ids;
  }

  TempFolder data_;
};

TEST_F(QueueToolTest, ChoosesAsTheButtonsDoAndRemembersTheCurrentSong) {
  std::string order = ListOrder();  // three ids, each followed by a space
  std::vector<std::string> ids;
  for (std::size_t at = 0; at < order.size(); at = order.find(' ', at) + 1)
    ids.push_back(order.substr(at, order.find(' ', at) - at));
  ASSERT_EQ(ids.size(), 3u) << order;
  // Nothing is current yet: the first song becomes current and Next plays the second; the last
  // wraps to the first; Previous goes back.
  EXPECT_EQ(Tool("queue next " + kList).out.substr(0, ids[1].size() + 1), ids[1] + "\t");
  EXPECT_EQ(Tool("queue next " + kList).out.substr(0, ids[2].size() + 1), ids[2] + "\t");
  EXPECT_EQ(Tool("queue next " + kList).out.substr(0, ids[0].size() + 1), ids[0] + "\t");
  EXPECT_EQ(Tool("queue previous " + kList).out.substr(0, ids[2].size() + 1), ids[2] + "\t");
  EXPECT_EQ(Tool("config get module.music.currentplay").out, ids[2] + "\n");
  Output random = Tool("queue random " + kList);
  EXPECT_EQ(random.status, 0);
  EXPECT_NE(order.find(random.out.substr(0, random.out.find('\t')) + " "), std::string::npos)
      << random.out;
}

TEST_F(QueueToolTest, GoneChartAndBadArguments) {
  // A chart is not held after a restart: next falls back to the default list, random fails.
  Output next = Tool("queue next t_rank_1");
  EXPECT_EQ(next.status, 0) << Stderr();
  EXPECT_EQ(Tool("config get module.music.currentplaylist").out, "\n");
  Output random = Tool("queue random t_rank_1");
  EXPECT_EQ(random.status, 1);
  EXPECT_EQ(random.out, "");
  EXPECT_NE(Stderr().find("nothing would play"), std::string::npos);
  EXPECT_EQ(Tool("queue next t_rank_1 --mode random").status, 1);
  EXPECT_EQ(Tool("queue next " + kList + " --mode shuffle").status, 1);
  EXPECT_NE(Stderr().find("unknown play mode"), std::string::npos);
  EXPECT_EQ(Tool("queue next").status, 1);
  EXPECT_EQ(Tool("queue next " + kList + " --mode").status, 1);
}

}  // namespace
