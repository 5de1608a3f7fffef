// The side task's work is done exactly once, here or on the second thread, and is
// over when Finish returns or the task is left.
#include "platform/fonts/SideTask.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdio>
#include <stdexcept>
#include <vector>

namespace typeloom::platform {
namespace {

// Work the compiler cannot leave out.
std::atomic<unsigned long> sink{0};
unsigned long Busy(int steps) {
  unsigned long sum = 0;
  for (int i = 0; i < steps; ++i) sum = sum * 31 + static_cast<unsigned long>(i);
  sink.store(sum, std::memory_order_relaxed);
  return sum;
}

TEST(SideTaskTest, TheWorkIsDoneOnceAndIsOverWhenFinishReturns) {
  // Many rounds, so that both sides take the work up: the count tells whether it ran
  // once; the vector, written by the work, is read here only after Finish.
  int aside = 0;
  for (int round = 0; round < 300; ++round) {
    int runs = 0;
    std::vector<int> written;
    SideTask task([&] {
      ++runs;
      for (int i = 0; i < 1000; ++i) written.push_back(i);
    });
    Busy((round % 3) * 20000);  // this thread's own work meanwhile
    task.Finish();
    EXPECT_EQ(runs, 1) << round;
    ASSERT_EQ(written.size(), 1000u) << round;
    EXPECT_EQ(written.back(), 999);
    aside += task.RanAside() ? 1 : 0;
  }
  std::printf("%d of 300 done on the second thread\n", aside);
}

TEST(SideTaskTest, WhatTheWorkThrowsIsThrownByFinish) {
  for (int round = 0; round < 100; ++round) {
    SideTask task([] { throw std::runtime_error("no"); });
    EXPECT_THROW(task.Finish(), std::runtime_error) << round;
  }
}

TEST(SideTaskTest, ATaskLeftWithoutFinishIsOverOrNeverStarts) {
  for (int round = 0; round < 300; ++round) {
    int started = 0, ended = 0;
    unsigned long busy = 0;
    {
      SideTask task([&] {
        ++started;
        busy = Busy(10000);
        ++ended;
      });
      Busy((round % 2) * 20000);
    }
    EXPECT_EQ(started, ended) << round;
    EXPECT_EQ(busy, started == 1 ? Busy(10000) : 0u);
    EXPECT_LE(started, 1) << round;
  }
}

}  // namespace
}  // namespace typeloom::platform
