// quillo-tool's library commands driven from outside, as a script would.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <filesystem>
#include <memory>

#include "platform/fs/FileSystem.h"
#include "support/TempFolder.h"

namespace {

using quillo::testing::TempFolder;

struct Output {
  int status = -1;
  std::string out;
};

class LibraryToolTest : public ::testing::Test {
 protected:
  Output Tool(const std::string& arguments) {
    std::string command = std::string(QUILLO_BINARY_DIR) + "/tools/quillo-tool/quillo-tool --data-dir '" +
                          data_.path() + "' " + arguments + " 2>'" + data_.path() + "stderr'";
    Output output;
    std::unique_ptr<FILE, int (*)(FILE*)> pipe(popen(command.c_str(), "r"), pclose);
    std::array<char, 4096> buffer;
    std::size_t n;
    while ((n = fread(buffer.data(), 1, buffer.size(), pipe.get())) > 0) output.out.append(buffer.data(), n);
    int status = pclose(pipe.release());
    output.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return output;
  }
  // The same with standard output on a pseudo-terminal (raw, so line ends arrive unchanged).
  Output ToolOnTerminal(const std::string& arguments) {
    Output output;
    const int master = posix_openpt(O_RDWR | O_NOCTTY);
    if (master < 0 || grantpt(master) != 0 || unlockpt(master) != 0) {
      ADD_FAILURE() << "no pseudo-terminal";
      if (master >= 0) close(master);
      return output;
    }
    const int terminal = open(ptsname(master), O_RDWR | O_NOCTTY);
    termios mode{};
    tcgetattr(terminal, &mode);
    cfmakeraw(&mode);
    tcsetattr(terminal, TCSANOW, &mode);
    std::string command = std::string(QUILLO_BINARY_DIR) + "/tools/quillo-tool/quillo-tool --data-dir '" +
                          data_.path() + "' " + arguments + " 2>'" + data_.path() + "stderr'";
    const pid_t pid = fork();
    if (pid == 0) {
      dup2(terminal, 1);
      close(terminal);
      close(master);
      execl("/bin/sh", "sh", "-c", command.c_str(), static_cast<char*>(nullptr));
      _exit(127);
    }
    close(terminal);
    std::array<char, 4096> buffer;
    ssize_t n;
    // The read fails (EIO) once the tool has ended and closed the terminal.
    while ((n = read(master, buffer.data(), buffer.size())) > 0) output.out.append(buffer.data(), static_cast<std::size_t>(n));
    close(master);
    int status = 0;
    if (pid > 0) waitpid(pid, &status, 0);
    output.status = pid > 0 && WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return output;
  }
  std::string Stderr() { return quillo::fs::ReadWholeFile(data_ / "stderr").value_or(""); }
  std::string File(const std::string& name, const std::string& text) {
    std::string path = files_ / name;
    EXPECT_TRUE(quillo::fs::WriteFile(path, text));
    return "'" + path + "'";
  }

  TempFolder data_;
  TempFolder files_;
};

const std::string kList = "0123456789abcdef0123456789abcdef";

TEST_F(LibraryToolTest, AnswersListsAndPlaylists) {
  Output refused = Tool("answer login " + File("e.xml", "<a><error desc='账号不存在'/><user id='1'/></a>"));
  EXPECT_EQ(refused.status, 1);
  EXPECT_NE(Stderr().find("账号不存在"), std::string::npos);
  EXPECT_EQ(Tool("library list").out, "");

  std::string login = File("l.xml",
      "<a><user id='u9' username='n'/><folders><folder name='music'>"
      "<s music_id='30' music_name='C' artist_name='周杰伦'/><s music_id='4' music_name='B'/>"
      "<s music_id='100' music_name='阿'/></folder></folders>"
      "<playlists><p playlistId='" + kList + "' playlistName='Fav'><i id='30'/><i id='4'/><i id='100'/></p></playlists></a>");
  Output taken = Tool("answer login " + login);
  ASSERT_EQ(taken.status, 0) << Stderr();
  EXPECT_EQ(taken.out, "user u9\n");
  EXPECT_EQ(Tool("library list " + kList).out, "100\t阿\t\t\t\n30\tC\t周杰伦\t\t\n4\tB\t\t\t\n");
  EXPECT_EQ(Tool("playlist list").out, kList + "\tFav\n");
  EXPECT_EQ(Tool("playlist sort " + kList + " name").out, "ascending\n");
  EXPECT_EQ(Tool("library list " + kList).out, "4\tB\t\t\t\n30\tC\t周杰伦\t\t\n100\t阿\t\t\t\n");

  Output created = Tool("playlist create 新歌单");
  ASSERT_EQ(created.status, 0);
  std::string id = created.out.substr(0, created.out.size() - 1);
  EXPECT_EQ(id.size(), 32u);
  EXPECT_EQ(Tool("playlist add " + id + " 4").status, 0);
  EXPECT_EQ(Tool("playlist add " + id + " 4").status, 1);  // already there
  EXPECT_EQ(Tool("playlist add " + id + " 999").status, 1);  // not in the library
  EXPECT_EQ(Tool("playlist rename " + id + " Renamed").status, 0);
  EXPECT_NE(Tool("playlist list").out.find(id + "\tRenamed\n"), std::string::npos);
  EXPECT_EQ(Tool("playlist remove " + id + " 4").status, 0);
  EXPECT_EQ(Tool("playlist delete " + id).status, 0);
  EXPECT_EQ(Tool("playlist delete " + id).status, 1);

  // A local song in the user playlist survives the next login, which does not list it.
  ASSERT_TRUE(quillo::fs::WriteFile(files_ / "mine.mp3", "audio"));
  ASSERT_EQ(Tool("import '" + files_ / "mine.mp3" + "'").out, "1 found, 1 added\n");
  std::string local_id = Tool("library list local").out.substr(0, 35);
  ASSERT_EQ(Tool("playlist add " + kList + " " + local_id).status, 0) << Stderr();
  ASSERT_EQ(Tool("answer login " + login).status, 0);
  EXPECT_NE(Tool("library list " + kList).out.find(local_id + "\tmine\t"), std::string::npos);

  // A list document with a name and no id parses.
  EXPECT_EQ(Tool("answer list " + File("noid.xml", "<r pname='随便听听'><s music_id='8'/></r>") + " t_random_1").out,
            "8\t\t\t\n");

  std::string chart = File("c.xml", "<r pid='t_rank_1' pname='榜'><s music_id='7' music_name='七'/></r>");
  EXPECT_EQ(Tool("answer list " + chart + " t_rank_1").out, "7\t七\t\t\n");
  EXPECT_EQ(Tool("answer list " + File("bad.xml", "<r><s music_id='1'/><s/></r>") + " t_x").status, 1);
  EXPECT_EQ(Tool("answer list " + chart + " ''").out, "1 songs\n");
  EXPECT_NE(Tool("library list ''").out.find("7\t七"), std::string::npos);

  // An answer without the library folder says nothing about the library: refused, no song goes.
  const std::string before = Tool("library list").out;
  EXPECT_EQ(Tool("answer login " + File("nofolder.xml", "<a><user id='u9'/></a>")).status, 1);
  EXPECT_NE(Stderr().find("错误的返回文件格式"), std::string::npos);
  EXPECT_EQ(Tool("library list").out, before);
  // A later login with an empty library removes the service songs.
  EXPECT_EQ(Tool("answer login " + File("empty.xml", "<a><user id='u9'/><folders><folder name='music'/></folders></a>")).status, 0);
  std::string left = Tool("library list").out;
  EXPECT_EQ(left.substr(0, 36), local_id + "\t");  // only the local song is left
  EXPECT_EQ(std::count(left.begin(), left.end(), '\n'), 1);
  EXPECT_EQ(Tool("playlist list").out, "");
}

TEST_F(LibraryToolTest, ImportAndPinyin) {
  namespace stdfs = std::filesystem;
  quillo::fs::CreateFolders(files_ / "tree/sub");
  for (const char* name : {"tree/a.mp3", "tree/sub/b.wma", "tree/small.mp3", "tree/x.txt"}) {
    ASSERT_TRUE(quillo::fs::WriteFile(files_ / name, ""));
    stdfs::resize_file(files_ / name, std::string(name) == "tree/small.mp3" ? 1000 : 600000);
  }
  Output imported = Tool("import '" + files_ / "tree" + "' '" + files_ / "tree/small.mp3" + "'");
  ASSERT_EQ(imported.status, 0) << Stderr();
  EXPECT_EQ(imported.out, "3 found, 3 added\n");
  EXPECT_NE(Stderr().find("导入完成"), std::string::npos);
  std::string listing = Tool("library list local").out;
  EXPECT_NE(listing.find("\ta\t\t\tfile://" + files_ / "tree/a.mp3\n"), std::string::npos) << listing;
  EXPECT_NE(listing.find("\tsmall\t"), std::string::npos);
  // The same songs again: found, none new.
  Output again = Tool("import '" + files_ / "tree" + "' '" + files_ / "tree/small.mp3" + "'");
  ASSERT_EQ(again.status, 0) << Stderr();
  EXPECT_EQ(again.out, "3 found, 0 added\n");
  EXPECT_EQ(Tool("library list local").out, listing);
  EXPECT_EQ(Tool("pinyin 周杰伦 Jay").out, "zjl jay\n");
}

TEST_F(LibraryToolTest, NamesFromOutsideAreEscapedOnlyOnATerminal) {
  std::string login = File("hostile.xml",
      "<a><user id='u1'/><folders><folder name='music'>"
      "<s music_id='5' music_name='&#x1b;]0;pwned&#x7;' artist_name='周&#x9b;杰伦' album_name='a&#x9;b&#x7f;'/>"
      "</folder></folders><playlists><p playlistId='" + kList + "' playlistName='&#x1b;[2J'><i id='5'/></p>"
      "</playlists></a>");
  ASSERT_EQ(Tool("answer login " + login).status, 0) << Stderr();

  // Into a pipe the bytes stay as they are (tabs inside a field become spaces, as always).
  EXPECT_EQ(Tool("library list").out, "5\t\x1b]0;pwned\x07\t周\xc2\x9b杰伦\ta b\x7f\t\n");
  EXPECT_EQ(Tool("playlist list").out, kList + "\t\x1b[2J\n");

  // On a terminal every control character is shown escaped; CJK text is left alone.
  const Output listed = ToolOnTerminal("library list");
  EXPECT_EQ(listed.status, 0);
  EXPECT_EQ(listed.out, "5\t\\x1b]0;pwned\\x07\t周\\u009b杰伦\ta\\x09b\\x7f\t\n");
  EXPECT_EQ(ToolOnTerminal("playlist list").out, kList + "\t\\x1b[2J\n");
  EXPECT_EQ(ToolOnTerminal("library list " + kList).out, listed.out);
}

}  // namespace
