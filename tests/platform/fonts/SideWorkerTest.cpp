// The side worker's tasks are done exactly once each, in the order offered, here or
// on the second thread, and each is over when Finish returns or the worker is left.
#include "platform/fonts/SideWorker.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <stdexcept>
#include <thread>
#include <vector>

namespace typeloom::platform {
namespace {

// A second thread that takes up a task however late it comes, so that both sides do tasks.
constexpr std::chrono::microseconds kPatient = std::chrono::seconds(10);

// Work the compiler cannot leave out.
std::atomic<unsigned long> sink{0};
unsigned long Busy(int steps) {
  unsigned long sum = 0;
  for (int i = 0; i < steps; ++i) sum = sum * 31 + static_cast<unsigned long>(i);
  sink.store(sum, std::memory_order_relaxed);
  return sum;
}

TEST(SideWorkerTest, EachTaskIsDoneOnceInOrderAndIsOverWhenFinishReturns) {
  // Many rounds of a few tasks with more or less of this thread's own work between,
  // so that both sides take tasks up: the log tells whether each ran once and in
  // order; it is read here only after Finish.
  int aside = 0;
  for (int round = 0; round < 100; ++round) {
    SideWorker worker(kPatient);
    std::vector<int> log;
    for (int task = 0; task < 4; ++task) {
      std::thread::id doer;
      worker.Offer([&log, &doer, task] {
        doer = std::this_thread::get_id();
        for (int i = 0; i < 300; ++i) log.push_back(task);
      });
      Busy((round + task) % 3 * 20000);  // this thread's own work meanwhile
      worker.Finish();
      ASSERT_EQ(log.size(), 300u * static_cast<unsigned>(task + 1)) << round;
      EXPECT_EQ(log.back(), task);
      aside += doer != std::this_thread::get_id() ? 1 : 0;
    }
  }
  std::printf("%d of 400 tasks done on the second thread\n", aside);
}

TEST(SideWorkerTest, WhatATaskThrowsIsThrownByFinish) {
  for (int round = 0; round < 50; ++round) {
    SideWorker worker(kPatient);
    worker.Offer([] { throw std::runtime_error("no"); });
    Busy(round % 2 * 20000);
    EXPECT_THROW(worker.Finish(), std::runtime_error) << round;
    int runs = 0;
    worker.Offer([&] { ++runs; });  // the worker goes on after a failure
    worker.Finish();
    EXPECT_EQ(runs, 1);
  }
}

TEST(SideWorkerTest, ATaskLeftWithoutFinishIsOverOrNeverStarts) {
  for (int round = 0; round < 200; ++round) {
    int started = 0, ended = 0;
    unsigned long busy = 0;
    {
      SideWorker worker(round % 4 == 0 ? std::chrono::microseconds(200) : kPatient);
      worker.Offer([&] {
        ++started;
        busy = Busy(10000);
        ++ended;
      });
      Busy(round % 2 * 20000);
      if (round % 3 == 0) worker.Withdraw();
    }
    EXPECT_EQ(started, ended) << round;
    EXPECT_LE(started, 1) << round;
    EXPECT_EQ(busy, started == 1 ? Busy(10000) : 0u);
  }
}

}  // namespace
}  // namespace typeloom::platform
