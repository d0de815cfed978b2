#include "platform/loop/MainLoop.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "platform/loop/LoopTarget.h"

namespace quillo::loop {
namespace {
using namespace std::chrono_literals;

TEST(MainLoopTest, PostAndSendFromWorkersRunOnWindowThread) {
  MainLoop loop;
  std::thread::id window_thread = std::this_thread::get_id();
  std::atomic<int> posted{0};
  bool send_ran_on_window = false;
  bool send_result = false;
  std::thread worker([&] {
    for (int i = 0; i < 100; ++i) loop.Post([&] { ++posted; });
    send_result =
        loop.Send([&] { send_ran_on_window = std::this_thread::get_id() == window_thread; });
  });
  EXPECT_TRUE(loop.PumpUntil([&] { return posted == 100 && send_result; }, 5s));
  worker.join();
  EXPECT_TRUE(send_ran_on_window);
  // On the window thread Send runs at once.
  int direct = 0;
  EXPECT_TRUE(loop.Send([&] { direct = 1; }));
  EXPECT_EQ(direct, 1);
}

TEST(MainLoopTest, SendIsReleasedWhenTheLoopGoesAway) {
  auto loop = std::make_unique<MainLoop>();
  std::atomic<bool> started{false};
  bool result = true;
  std::thread worker([&] {
    started = true;
    result = loop->Send([] {});
  });
  while (!started) std::this_thread::yield();
  std::this_thread::sleep_for(20ms);  // let the worker block (the result is the same if it has not)
  loop.reset();
  worker.join();
  EXPECT_FALSE(result);
}

TEST(MainLoopTest, TargetDropsTasksAndTimersWhenDestroyed) {
  MainLoop loop;
  int ran = 0;
  auto target = std::make_unique<LoopTarget>(loop);
  target->Post([&] { ++ran; });
  target->SetTimer(7, 1ms, [&] { ran += 100; });
  target.reset();
  loop.PumpUntil([] { return false; }, 30ms);
  EXPECT_EQ(ran, 0);
}

TEST(MainLoopTest, TimersRepeatAndCanStopThemselves) {
  MainLoop loop;
  LoopTarget target(loop);
  int ticks = 0;
  target.SetTimer(1, 2ms, [&] {
    if (++ticks == 3) target.KillTimer(1);
  });
  EXPECT_TRUE(loop.PumpUntil([&] { return ticks == 3; }, 5s));
  loop.PumpUntil([] { return false; }, 20ms);
  EXPECT_EQ(ticks, 3);
  EXPECT_FALSE(target.HasTimer(1));
}

// A modal loop run by a task (a dialog shown from a callback) still runs what is posted
// meanwhile, from this thread and from workers waiting in Send.
TEST(MainLoopTest, ATasksModalLoopRunsLaterTasks) {
  // Declared first: should the Send never run, the loop's end releases the worker before
  // the join.
  std::jthread worker;
  MainLoop loop;
  bool inner_ran = false, modal_done = false;
  std::atomic<bool> sent_ran = false;
  loop.Post([&] {
    loop.Post([&] { inner_ran = true; });
    worker = std::jthread([&] { loop.Send([&] { sent_ran = true; }); });
    modal_done = loop.PumpUntil([&] { return inner_ran && sent_ran; }, 5s);
  });
  EXPECT_TRUE(loop.PumpUntil([&] { return modal_done; }, 10s));
}

TEST(MainLoopTest, PumpUntilTimesOut) {
  MainLoop loop;
  auto start = std::chrono::steady_clock::now();
  EXPECT_FALSE(loop.PumpUntil([] { return false; }, 30ms));
  EXPECT_GE(std::chrono::steady_clock::now() - start, 30ms);
}

}  // namespace
}  // namespace quillo::loop
