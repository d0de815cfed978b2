// Connections that stop in the middle of a request neither hold up other clients nor keep a
// thread of the service once its read time-out has passed.
#include <chrono>
#include <filesystem>
#include <thread>
#include <vector>

#include "RawConnection.h"
#include "ServiceTestSupport.h"

namespace quillo::testing {
namespace {

using std::chrono::milliseconds;
using std::chrono::steady_clock;

constexpr int kStalled = 64;
constexpr milliseconds kAnswerBound{1000};
constexpr char kClient[] = "00112233445566778899AABBCCDDEEFF";

// Where a stalled client stops: in the request line, in the headers, in a declared body.
const char* const kHalfRequests[] = {
    "GET /music/download.php?id=",
    "POST /api/login.php HTTP/1.1\r\nHost: 127.0.0.1\r\nContent-Ty",
    "POST /api/login.php HTTP/1.1\r\nHost: 127.0.0.1\r\nContent-Type: "
    "application/x-www-form-urlencoded\r\nContent-Length: 100\r\n\r\nname=demo&",
};

class SlowClientsTest : public ServiceTest {
 protected:
  int Threads() const {
    std::error_code error;
    int count = 0;
    for (std::filesystem::directory_iterator
             it("/proc/" + std::to_string(service_.pid()) + "/task", error),
         end;
         !error && it != end; it.increment(error)) {
      ++count;
    }
    return count;
  }

  std::vector<RawConnection> Stall(int count) {
    std::vector<RawConnection> connections(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i) {
      RawConnection& connection = connections[static_cast<std::size_t>(i)];
      EXPECT_TRUE(connection.Open(service_.port()));
      EXPECT_TRUE(connection.Send(kHalfRequests[i % std::size(kHalfRequests)]));
    }
    // Lets the service take up the stalled connections before the other client starts.
    std::this_thread::sleep_for(milliseconds(200));
    return connections;
  }

  // A login, a chart and a ranged download from another client, each answered in time.
  void ExpectPromptAnswers(const char* round) {
    SCOPED_TRACE(round);
    auto started = steady_clock::now();
    const LoginResult login = Login("demo", "demo");
    EXPECT_LT(steady_clock::now() - started, kAnswerBound) << "login";
    EXPECT_EQ(login.answer.status, 200);
    EXPECT_FALSE(login.cookie.empty());

    started = steady_clock::now();
    const HttpAnswer chart =
        service_.Get(std::string("/api/getplaylist.php?client_id=") + kClient + "&id=1");
    EXPECT_LT(steady_clock::now() - started, kAnswerBound) << "chart";
    EXPECT_EQ(chart.status, 200);
    EXPECT_TRUE(ParseXml(Descramble(chart.body).value_or(""))) << "the chart is a list document";

    const ServiceSong& song = Songs().front();
    started = steady_clock::now();
    const HttpAnswer part = service_.Get("/music/download.php?id=" + song.id + "&type=download",
                                         {{"Range", "bytes=1000-"}});
    EXPECT_LT(steady_clock::now() - started, kAnswerBound) << "ranged download";
    EXPECT_EQ(part.status, 206);
    EXPECT_TRUE(part.complete);
    EXPECT_EQ(static_cast<std::int64_t>(part.body.size()), song.size - 1000);
  }

  // Waits (bounded) until every connection was closed by the service.
  void ExpectAllClosed(std::vector<RawConnection>& connections, milliseconds bound) {
    const auto deadline = steady_clock::now() + bound;
    int open = 0;
    for (RawConnection& connection : connections) {
      const auto left = std::chrono::duration_cast<milliseconds>(deadline - steady_clock::now());
      if (!connection.WaitClosed(static_cast<int>(std::max<std::int64_t>(left.count(), 1)))) ++open;
    }
    EXPECT_EQ(open, 0) << "stalled connections the service still holds";
  }
};

TEST_F(SlowClientsTest, StalledConnectionsStarveNoOneAndKeepNoThread) {
  ASSERT_FALSE(Songs().empty());
  ASSERT_GT(Songs().front().size, 1000);
  ASSERT_EQ(Login("demo", "demo").answer.status, 200);
  const int idle_threads = Threads();
  ASSERT_GT(idle_threads, 0);

  std::vector<RawConnection> stalled = Stall(kStalled);
  ExpectPromptAnswers("first 64 stalled");
  // A silent peer is dropped after the read time-out (3 s), or after its error answer and the
  // keep-alive time-out (2 s) more; the bound leaves room for a loaded machine.
  ExpectAllClosed(stalled, milliseconds(8000));

  // Threads taken up for the stalled connections are given back.
  const auto deadline = steady_clock::now() + milliseconds(15000);
  while (Threads() > idle_threads + 2 && steady_clock::now() < deadline) {
    std::this_thread::sleep_for(milliseconds(100));
  }
  EXPECT_LE(Threads(), idle_threads + 2) << "threads kept for dead connections";

  // And the next wave meets a service as ready as the first.
  std::vector<RawConnection> more = Stall(kStalled);
  ExpectPromptAnswers("second 64 stalled");
  ExpectAllClosed(more, milliseconds(8000));
}

TEST_F(SlowClientsTest, SlowButProgressingDownloadsAreNotCutOff) {
  // Six seconds of a throttled answer: longer than the read and keep-alive time-outs together.
  const ServiceSong& song = Songs().front();
  ASSERT_GT(song.size, 60000);
  ASSERT_GT(
      service_.AddFault("path=/music/download.php&kind=throttle&bytes_per_second=10000&count=1"),
      0);
  const std::string from = std::to_string(song.size - 60000);
  const HttpAnswer slow = service_.Get("/music/download.php?id=" + song.id + "&type=download",
                                       {{"Range", "bytes=" + from + "-"}});
  EXPECT_EQ(slow.status, 206);
  EXPECT_TRUE(slow.complete);
  EXPECT_EQ(slow.body,
            ReadFile(song.audio_file).substr(static_cast<std::size_t>(song.size - 60000)));
}

}  // namespace
}  // namespace quillo::testing
