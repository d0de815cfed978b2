// The upload host: start, chunks with seek, end.
#include <regex>

#include "ServiceTestSupport.h"

namespace quillo::testing {
namespace {

class UploadTest : public ServiceTest {
 protected:
  std::string StartUpload() {
    const HttpAnswer answer = service_.Upload("GET", "/api/upload.php?action=start");
    EXPECT_EQ(answer.status, 200);
    std::smatch match;
    EXPECT_TRUE(std::regex_match(answer.body, match, std::regex(R"(\{id:'([0-9A-F]+)'\})"))) << answer.body;
    return match.size() > 1 ? match[1].str() : std::string();
  }
  // The number after "file_length:", as the client reads it.
  static long long Held(const HttpAnswer& answer) {
    const std::size_t at = answer.body.find("file_length:");
    if (at == std::string::npos) return -1;
    return std::atoll(answer.body.c_str() + at + 12);
  }
};

TEST_F(UploadTest, ChunksAssembleTheFile) {
  const std::string id = StartUpload();
  ASSERT_FALSE(id.empty());
  std::string file(2500000, '\0');
  for (std::size_t i = 0; i < file.size(); ++i) file[i] = static_cast<char>((i * 7919) >> 3);
  long long offset = 0;
  int chunks = 0;
  while (offset < static_cast<long long>(file.size())) {
    const std::string chunk = file.substr(static_cast<std::size_t>(offset), 1024000);
    const HttpAnswer answer = service_.Upload(
        "POST", "/api/upload.php?action=send&id=" + id + "&seek=" + std::to_string(offset), chunk);
    ASSERT_EQ(answer.status, 200) << answer.body;
    offset = Held(answer);
    ++chunks;
  }
  EXPECT_EQ(chunks, 3);
  EXPECT_EQ(offset, 2500000);
  const HttpAnswer end = service_.Upload("GET", "/api/upload.php?action=end&id=" + id);
  EXPECT_EQ(end.status, 200);
  EXPECT_EQ(Held(end), 2500000);
  EXPECT_TRUE(ReadFile(service_.data_folder() + "uploads/" + id + ".part") == file);
  // A finished upload takes no more chunks.
  EXPECT_EQ(service_.Upload("POST", "/api/upload.php?action=send&id=" + id + "&seek=0", "x").status, 404);
}

TEST_F(UploadTest, TheHostSaysWhereToResume) {
  const std::string id = StartUpload();
  const std::string send = "/api/upload.php?action=send&id=" + id + "&seek=";
  EXPECT_EQ(Held(service_.Upload("POST", send + "0", "abcdef")), 6);
  // A chunk beyond what the host holds is not taken.
  EXPECT_EQ(Held(service_.Upload("POST", send + "100", "zzz")), 6);
  // A chunk sent again from an earlier offset replaces what follows.
  EXPECT_EQ(Held(service_.Upload("POST", send + "3", "XY")), 5);
  EXPECT_EQ(ReadFile(service_.data_folder() + "uploads/" + id + ".part"), "abcXY");
  EXPECT_EQ(service_.Upload("GET", "/api/upload.php?action=stop&id=" + id).status, 200);
  EXPECT_EQ(service_.Upload("GET", "/api/upload.php?action=end&id=" + id).status, 404);

  const std::pair<std::string, int> bad[] = {
      {"/api/upload.php?action=send&id=ABCDEF&seek=0", 404},
      {"/api/upload.php?action=send&id=" + id + "&seek=x", 400},
      {"/api/upload.php?action=explode&id=" + id, 400},
      {"/api/upload.php?action=end&id=../../etc", 400},
      {"/api/upload.php", 400},
  };
  for (const auto& [target, status] : bad) {
    EXPECT_EQ(service_.Upload("POST", target, "data").status, status) << target;
  }
  // The upload host is not the service: its paths are its own.
  EXPECT_EQ(service_.Upload("GET", "/api/login.php").status, 404);
}

}  // namespace
}  // namespace quillo::testing
