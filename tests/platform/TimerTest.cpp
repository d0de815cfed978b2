#include "platform/loop/Timer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <optional>
#include <vector>

namespace quillo::loop {
namespace {
using namespace std::chrono_literals;

// Pumps long enough for a few 1 ms periods; a tick that should not come would come here.
void PumpAWhile(MainLoop& loop) {
  loop.PumpUntil([] { return false; }, 30ms);
}

TEST(TimerTest, TicksUntilStoppedAndNeverAfter) {
  MainLoop loop;
  Timer timer(loop);
  int ticks = 0;
  ASSERT_TRUE(timer.Start(1ms, [&] { ++ticks; }));
  EXPECT_TRUE(timer.IsRunning());
  EXPECT_EQ(ticks, 0) << "a start does not tick at once";
  ASSERT_TRUE(loop.PumpUntil([&] { return ticks >= 3; }, 5s));
  timer.Stop();
  EXPECT_FALSE(timer.IsRunning());
  const int at_stop = ticks;
  PumpAWhile(loop);
  EXPECT_EQ(ticks, at_stop);
  timer.Stop();  // stopping again does nothing
  EXPECT_FALSE(timer.IsRunning());
}

TEST(TimerTest, GridTimersWhosePeriodsDivideEachOtherTickInTheSameWakeUp) {
  MainLoop loop;
  Timer fast(loop), slow(loop);
  int iteration = 0;
  std::vector<int> fast_at, slow_at;
  ASSERT_TRUE(fast.StartOnGrid(10ms, [&] { fast_at.push_back(iteration); }));
  ASSERT_TRUE(slow.StartOnGrid(20ms, [&] { slow_at.push_back(iteration); }));
  // The condition runs once after every iteration of the loop: it numbers the wake-ups.
  ASSERT_TRUE(loop.PumpUntil(
      [&] {
        ++iteration;
        return slow_at.size() >= 5;
      },
      10s));
  for (int at : slow_at) {
    EXPECT_NE(std::find(fast_at.begin(), fast_at.end(), at), fast_at.end())
        << "the slow tick of wake-up " << at << " came without the fast one";
  }
  slow.Stop();
  const std::size_t at_stop = slow_at.size();
  ASSERT_TRUE(loop.PumpUntil([&] { return fast_at.size() >= 2 * at_stop + 4; }, 10s));
  EXPECT_EQ(slow_at.size(), at_stop);
}

TEST(TimerTest, DestroyingTheTimerStopsItAndReleasesItsTask) {
  MainLoop loop;
  auto counter = std::make_shared<int>(0);
  {
    Timer timer(loop);
    timer.Start(1ms, [counter] { ++*counter; });
    EXPECT_EQ(counter.use_count(), 2);
  }
  EXPECT_EQ(counter.use_count(), 1) << "the task went with the timer";
  PumpAWhile(loop);
  EXPECT_EQ(*counter, 0);
}

TEST(TimerTest, StartingAgainReplacesTheTask) {
  MainLoop loop;
  Timer timer(loop);
  int first = 0, second = 0;
  timer.Start(1ms, [&] { ++first; });
  timer.Start(1ms, [&] { ++second; });
  ASSERT_TRUE(loop.PumpUntil([&] { return second >= 2; }, 5s));
  EXPECT_EQ(first, 0);
  EXPECT_TRUE(timer.IsRunning());
}

TEST(TimerTest, ATaskMayStopOrRestartItsOwnTimer) {
  MainLoop loop;
  // One shot: the task stops its timer, as the windows' one-shot timers do.
  Timer once(loop);
  int once_ticks = 0;
  once.Start(1ms, [&] {
    ++once_ticks;
    once.Stop();
  });
  // The task replaces itself while it runs; the replaced task is never called again.
  Timer relay(loop);
  int first = 0, second = 0;
  relay.Start(1ms, [&] {
    ++first;
    relay.Start(1ms, [&] { ++second; });
  });
  ASSERT_TRUE(loop.PumpUntil([&] { return once_ticks == 1 && second >= 2; }, 5s));
  PumpAWhile(loop);
  EXPECT_EQ(once_ticks, 1);
  EXPECT_FALSE(once.IsRunning());
  EXPECT_EQ(first, 1);
  EXPECT_TRUE(relay.IsRunning());
}

TEST(TimerTest, ATimerWithoutALoopRunsOnTheProcesssLoopOnceThereIsOne) {
  ASSERT_EQ(MainLoop::Instance(), nullptr);
  Timer timer;
  int ticks = 0;
  EXPECT_FALSE(timer.Start(1ms, [&] { ++ticks; })) << "no loop yet";
  EXPECT_FALSE(timer.IsRunning());
  {
    MainLoop loop;
    ASSERT_TRUE(timer.Start(1ms, [&] { ++ticks; }));
    EXPECT_TRUE(loop.PumpUntil([&] { return ticks >= 1; }, 5s));
    timer.Stop();
  }
  // A later loop is taken up by the next start.
  MainLoop later;
  ASSERT_TRUE(timer.Start(1ms, [&] { ++ticks; }));
  const int before = ticks;
  EXPECT_TRUE(later.PumpUntil([&] { return ticks > before; }, 5s));
  timer.Stop();
}

}  // namespace
}  // namespace quillo::loop
