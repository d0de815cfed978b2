#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <atomic>
#include <csignal>
#include <random>
#include <thread>

#include "XdgSandbox.h"
#include "platform/fs/FileSystem.h"
#include "platform/ipc/HandOverClient.h"
#include "platform/ipc/HandOverMessage.h"
#include "platform/ipc/HandOverServer.h"
#include "platform/ipc/InstanceNames.h"
#include "platform/ipc/SingleInstanceLock.h"
#include "platform/ipc/TerminationSignals.h"
#include "platform/loop/LoopTarget.h"
#include "platform/loop/MainLoop.h"

namespace quillo::ipc {
namespace {
using namespace std::chrono_literals;

std::string Le32(std::uint32_t value) {
  std::string bytes;
  for (int shift = 0; shift < 32; shift += 8) bytes += static_cast<char>((value >> shift) & 0xFF);
  return bytes;
}

std::string Frame(std::uint32_t kind, const std::string& payload, std::uint32_t length) {
  return "QLHO" + Le32(kind) + Le32(length) + payload;
}

TEST(HandOverMessageTest, CommandLineTravelsAsUtf16LittleEndian) {
  HandOverMessage message{HandOverKind::kCommandLine, "quillo://add/歌"};
  std::string frame = EncodeRequest(message);
  // 14 UTF-16 units: twice as many bytes, no terminator.
  ASSERT_EQ(frame.size(), kFrameHeaderBytes + 28);
  EXPECT_EQ(frame.substr(0, 12), "QLHO" + Le32(13) + Le32(28));
  EXPECT_EQ(frame.substr(12, 2), std::string("q\0", 2));
  EXPECT_EQ(frame.substr(38, 2), "\x4C\x6B");  // 歌 = U+6B4C
  FrameReader reader;
  EXPECT_EQ(reader.Feed(frame), frame.size());
  ASSERT_EQ(reader.state(), FrameReader::State::kComplete);
  EXPECT_EQ(DecodeRequest(reader.kind(), reader.payload()), message);
}

TEST(HandOverMessageTest, FramesArriveInPiecesOfAnySize) {
  const HandOverMessage messages[] = {
      {HandOverKind::kActivate, {}},
      {HandOverKind::kQuit, {}},
      {HandOverKind::kCommandLine, "/home/me/音乐/a b.mp3"},
      {HandOverKind::kCommandLine, std::string(20000, 'x') + "😀"},
  };
  for (const HandOverMessage& message : messages) {
    std::string frame = EncodeRequest(message) + "trailing";
    for (std::size_t piece : {1, 3, 7, 4096}) {
      FrameReader reader;
      std::size_t offset = 0;
      while (reader.state() == FrameReader::State::kNeedMore && offset < frame.size()) {
        offset += reader.Feed(std::string_view(frame).substr(offset, piece));
      }
      ASSERT_EQ(reader.state(), FrameReader::State::kComplete);
      EXPECT_EQ(offset, frame.size() - 8) << "bytes after the frame are left alone";
      EXPECT_EQ(DecodeRequest(reader.kind(), reader.payload()), message);
    }
  }
}

TEST(HandOverMessageTest, MalformedFramesAreRejected) {
  struct Case {
    const char* what;
    std::string bytes;
    FrameReader::State reader_state;
    bool decodes;
  };
  const Case cases[] = {
      {"wrong magic", "QLHX" + Le32(1) + Le32(0), FrameReader::State::kMalformed, false},
      {"stranger's first byte", "G", FrameReader::State::kMalformed, false},
      {"http request", "GET / HTTP/1.1\r\n\r\n", FrameReader::State::kMalformed, false},
      {"too long", Frame(13, "", kMaxPayloadBytes + 2), FrameReader::State::kMalformed, false},
      {"huge length", Frame(13, "", 0xFFFFFFFF), FrameReader::State::kMalformed, false},
      {"odd command line", Frame(13, "abc", 3), FrameReader::State::kComplete, false},
      {"empty command line", Frame(13, "", 0), FrameReader::State::kComplete, false},
      {"activate with payload", Frame(1, "ab", 2), FrameReader::State::kComplete, false},
      {"unknown kind", Frame(99, "", 0), FrameReader::State::kComplete, false},
      {"answer sent as request", Frame(0x80000001, "", 0), FrameReader::State::kComplete, false},
      {"truncated header", "QLHO\x0d", FrameReader::State::kNeedMore, false},
      {"truncated payload", Frame(13, "ab", 4), FrameReader::State::kNeedMore, false},
      {"bad surrogate still decodes", Frame(13, std::string("\x00\xD8", 2), 2),
       FrameReader::State::kComplete, true},
  };
  for (const Case& c : cases) {
    FrameReader reader;
    reader.Feed(c.bytes);
    EXPECT_EQ(reader.state(), c.reader_state) << c.what;
    bool decodes = reader.state() == FrameReader::State::kComplete &&
                   DecodeRequest(reader.kind(), reader.payload()).has_value();
    EXPECT_EQ(decodes, c.decodes) << c.what;
  }
  // A lone surrogate becomes U+FFFD: the text is well-formed UTF-8.
  EXPECT_EQ(DecodeRequest(13, std::string("\x00\xD8", 2))->command_line, "\xEF\xBF\xBD");
}

TEST(HandOverMessageTest, RandomBytesNeverCrashTheReader) {
  std::mt19937 random(13);
  for (int round = 0; round < 20000; ++round) {
    std::string bytes;
    // Half the rounds start with a valid header so that the payload paths are reached.
    if (round % 2 == 0)
      bytes = "QLHO" + Le32(random() % 4 == 0 ? 13 : random() % 16) + Le32(random() % 64);
    std::size_t extra = random() % 80;
    for (std::size_t i = 0; i < extra; ++i) bytes += static_cast<char>(random() % 256);
    FrameReader reader(4096);
    std::size_t offset = 0;
    while (offset < bytes.size() && reader.state() == FrameReader::State::kNeedMore) {
      std::size_t taken = reader.Feed(std::string_view(bytes).substr(offset, 1 + random() % 9));
      ASSERT_GT(taken, 0u);
      offset += taken;
    }
    EXPECT_LE(reader.payload().size(), 4096u);
    if (reader.state() == FrameReader::State::kComplete) {
      if (auto message = DecodeRequest(reader.kind(), reader.payload())) {
        EXPECT_EQ(EncodeRequest(*message).substr(0, 8), bytes.substr(0, 8));
      }
    }
  }
}

TEST(InstanceNamesTest, EveryDataFolderHasItsOwnInstance) {
  testing::XdgSandbox xdg;
  testing::TempFolder folder;
  std::string data = folder / "data";
  EXPECT_EQ(InstanceKey(data), InstanceKey(data + "/"));
  EXPECT_EQ(InstanceKey(data), InstanceKey(folder / "./x/../data"));
  EXPECT_NE(InstanceKey(data), InstanceKey(folder / "other"));
  EXPECT_EQ(InstanceKey(data).size(), 16u);
  EXPECT_EQ(fs::ParentFolder(InstanceLockPath(data)), xdg.runtime_dir());
  EXPECT_TRUE(fs::BaseName(InstanceLockPath(data)).starts_with("Quillo.PreventSecondInstance-"));
  EXPECT_NE(InstanceLockPath(data), InstanceSocketPath(data));
}

TEST(SingleInstanceLockTest, SecondLockIsRefusedUntilTheFirstIsGone) {
  testing::TempFolder folder;
  std::string path = folder / "Quillo.PreventSecondInstance-x.lock";
  auto first = std::make_unique<SingleInstanceLock>(path);
  EXPECT_EQ(first->state(), SingleInstanceLock::State::kAcquired);
  // flock locks belong to the open file: a second opening, even in this process, is refused.
  SingleInstanceLock second(path);
  EXPECT_EQ(second.state(), SingleInstanceLock::State::kHeldElsewhere);
  first.reset();
  SingleInstanceLock third(path);
  EXPECT_EQ(third.state(), SingleInstanceLock::State::kAcquired);
  SingleInstanceLock nowhere(folder / "missing/lock");
  EXPECT_EQ(nowhere.state(), SingleInstanceLock::State::kUnavailable);
}

// A server on a real socket, served by this thread's loop.
class HandOverServerTest : public ::testing::Test {
 protected:
  std::string socket_path() const { return folder_.path() + "test.sock"; }

  // Runs the client on a worker while the loop serves it.
  HandOverResult SendWhilePumping(const HandOverMessage& message) {
    std::atomic<bool> done{false};
    HandOverResult result = HandOverResult::kFailed;
    std::thread client([&] {
      result = SendHandOver(socket_path(), message, 10s);
      done = true;
    });
    loop_.PumpUntil([&] { return done.load(); }, 20s);
    client.join();
    return result;
  }

  // Connects and sends raw bytes, then waits for the server to close the connection; answers
  // what came back.
  std::string SendRaw(const std::string& bytes) {
    int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::snprintf(address.sun_path, sizeof address.sun_path, "%s", socket_path().c_str());
    EXPECT_EQ(::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    ::send(fd, bytes.data(), bytes.size(), MSG_NOSIGNAL);
    std::string answer;
    std::atomic<bool> closed{false};
    std::thread reader([&] {
      char buffer[64];
      ssize_t count;
      while ((count = ::recv(fd, buffer, sizeof buffer, 0)) > 0) answer.append(buffer, count);
      closed = true;
    });
    loop_.PumpUntil([&] { return closed.load(); }, 20s);
    ::shutdown(fd, SHUT_RDWR);
    reader.join();
    ::close(fd);
    return answer;
  }

  testing::TempFolder folder_;
  loop::MainLoop loop_;
  loop::LoopTarget target_{loop_};
  std::vector<HandOverMessage> received_;
};

TEST_F(HandOverServerTest, RequestsAreHandledOnTheWindowThreadBeforeTheAnswer) {
  HandOverServer server(socket_path());
  ASSERT_TRUE(server.Listen());
  std::thread::id window_thread = std::this_thread::get_id();
  bool on_window_thread = true;
  server.Start(target_, [&](const HandOverMessage& message) {
    on_window_thread &= std::this_thread::get_id() == window_thread;
    received_.push_back(message);
  });
  HandOverMessage command{HandOverKind::kCommandLine, "quillo://add/1234"};
  EXPECT_EQ(SendWhilePumping(command), HandOverResult::kHandled);
  EXPECT_EQ(SendWhilePumping({HandOverKind::kActivate, {}}), HandOverResult::kHandled);
  ASSERT_EQ(received_.size(), 2u);
  EXPECT_EQ(received_[0], command);
  EXPECT_EQ(received_[1].kind, HandOverKind::kActivate);
  EXPECT_TRUE(on_window_thread);
  server.Stop();
  EXPECT_FALSE(fs::PathExists(socket_path()));
  EXPECT_EQ(SendHandOver(socket_path(), command, 1s), HandOverResult::kNoInstance);
}

TEST_F(HandOverServerTest, MalformedPeersAreDroppedAndTheServerGoesOn) {
  HandOverServer server(socket_path(), 200ms);
  ASSERT_TRUE(server.Listen());
  server.Start(target_, [&](const HandOverMessage& message) { received_.push_back(message); });
  const std::string garbage[] = {
      "",
      "GET / HTTP/1.0\r\n\r\n",
      Frame(13, "abc", 3),
      Frame(13, "", 0xFFFFFFF0),
      Frame(1, "xx", 2),
      Frame(13, "ab", 400),  // promises more than it sends: dropped when the read time is up
      std::string(70000, '\0'),
  };
  for (const std::string& bytes : garbage) {
    EXPECT_EQ(SendRaw(bytes), "") << "no answer to a malformed request";
  }
  EXPECT_TRUE(received_.empty());
  EXPECT_EQ(SendWhilePumping({HandOverKind::kCommandLine, "still serving"}),
            HandOverResult::kHandled);
  ASSERT_EQ(received_.size(), 1u);
  EXPECT_EQ(received_[0].command_line, "still serving");
}

TEST_F(HandOverServerTest, StaleSocketFileIsReplacedAndDeadSocketMeansNoInstance) {
  {
    // What a killed instance leaves behind: a socket file nobody listens on.
    int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::snprintf(address.sun_path, sizeof address.sun_path, "%s", socket_path().c_str());
    ASSERT_EQ(::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    ::close(fd);
  }
  EXPECT_EQ(SendHandOver(socket_path(), {HandOverKind::kActivate, {}}, 1s),
            HandOverResult::kNoInstance);
  HandOverServer server(socket_path());
  ASSERT_TRUE(server.Listen());
  server.Start(target_, [&](const HandOverMessage& message) { received_.push_back(message); });
  EXPECT_EQ(SendWhilePumping({HandOverKind::kActivate, {}}), HandOverResult::kHandled);
}

TEST_F(HandOverServerTest, RequestMadeBeforeStartIsServedAfterIt) {
  HandOverServer server(socket_path());
  ASSERT_TRUE(server.Listen());
  std::atomic<bool> done{false};
  HandOverResult result = HandOverResult::kFailed;
  // The client may connect while nobody accepts yet: its connection then waits in the queue.
  std::thread client([&] {
    result = SendHandOver(socket_path(), {HandOverKind::kCommandLine, "early"}, 10s);
    done = true;
  });
  server.Start(target_, [&](const HandOverMessage& message) { received_.push_back(message); });
  loop_.PumpUntil([&] { return done.load(); }, 20s);
  client.join();
  EXPECT_EQ(result, HandOverResult::kHandled);
  ASSERT_EQ(received_.size(), 1u);
  EXPECT_EQ(received_[0].command_line, "early");
}

TEST_F(HandOverServerTest, TooLongSocketPathFailsCleanly) {
  HandOverServer server(folder_.path() + std::string(120, 'x'));
  EXPECT_FALSE(server.Listen());
  EXPECT_EQ(SendHandOver(folder_.path() + std::string(120, 'x'), {HandOverKind::kActivate, {}}, 1s),
            HandOverResult::kNoInstance);
}

TEST(TerminationSignalsTest, SignalsBecomeLoopEvents) {
  loop::MainLoop loop;
  std::vector<int> seen;
  {
    TerminationSignals signals([&](int signal_number) { seen.push_back(signal_number); });
    ::raise(SIGTERM);
    ::raise(SIGINT);
    EXPECT_TRUE(loop.PumpUntil([&] { return seen.size() == 2; }, 10s));
  }
  std::sort(seen.begin(), seen.end());
  EXPECT_EQ(seen, (std::vector<int>{SIGINT, SIGTERM}));
}

}  // namespace
}  // namespace quillo::ipc
