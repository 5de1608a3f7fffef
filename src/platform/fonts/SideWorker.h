#pragma once
// A second thread that takes up the tasks this one offers, one at a time, if it is
// there in time. Finish does the offered task here unless the second thread has taken
// it up, and then waits for it: a second thread that gets no processor in time costs
// no waiting, and one that comes late finds the task taken and goes on to the next.
// It takes a task up only soon after the offer (a fifth of a millisecond unless told):
// a thread that comes later is likely to share a busy processor, and the owner would
// wait for it. After a task it was in time for, it waits awake for about half a
// millisecond before it sleeps, so that a task offered soon after finds it awake. It
// shares only this object's state, which it keeps alive, and ends once the worker is
// gone. Standard C++ only.
#include <atomic>
#include <chrono>
#include <cstdint>
#include <exception>
#include <functional>
#include <memory>
#include <system_error>
#include <thread>
#include <utility>

namespace typeloom::platform {

class SideWorker {
 public:
  // `late`: how long after an offer the second thread still takes the task up.
  explicit SideWorker(std::chrono::microseconds late = std::chrono::microseconds(200))
      : state_(std::make_shared<State>()) {
    state_->late = std::chrono::duration_cast<std::chrono::nanoseconds>(late).count();
    try {
      std::thread([state = state_] { state->Serve(); }).detach();
    } catch (const std::system_error&) {
      // No second thread: Finish does every task.
    }
  }
  SideWorker(const SideWorker&) = delete;
  SideWorker& operator=(const SideWorker&) = delete;

  // A task offered and not finished (an exception) is not started any more, or is
  // waited for, since it may use what the owner is about to destroy.
  ~SideWorker() {
    Withdraw();
    state_->offered.fetch_or(kClosed);
    state_->offered.notify_all();
  }

  // Offers `work`, which may use what the caller holds until Finish returns; the task
  // offered before must be finished.
  void Offer(std::function<void()> work) {
    state_->work = std::move(work);
    state_->offeredAt.store(Now());
    state_->failure = nullptr;
    finished_ = false;
    ++count_;
    state_->offered.store(count_);
    state_->offered.notify_all();
  }

  // Returns once the offered task is done, here or on the second thread; what it
  // threw is thrown here.
  void Finish() {
    finished_ = true;
    if (ClaimHere()) {
      std::function<void()> work = std::move(state_->work);
      state_->work = nullptr;
      work();
      return;
    }
    WaitAside();
    if (state_->failure) std::rethrow_exception(state_->failure);
  }

  // Makes sure the task offered last, unless finished, does not run any more: taken
  // from the second thread, or waited for (for an owner leaving early).
  void Withdraw() {
    if (count_ == 0 || finished_) return;
    finished_ = true;
    if (!ClaimHere()) WaitAside();
  }

 private:
  static constexpr std::uint32_t kClosed = 1u << 31;
  static std::int64_t Now() {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
  }

  struct State {
    std::function<void()> work;
    std::atomic<std::int64_t> offeredAt{0};  // steady clock, nanoseconds
    std::int64_t late = 0;                   // nanoseconds
    std::exception_ptr failure;
    std::atomic<std::uint32_t> offered{0};  // tasks offered, kClosed once the worker is gone
    std::atomic<std::uint32_t> claimed{0};  // tasks taken up, on either side
    std::atomic<std::uint32_t> done{0};     // tasks done on the second thread

    void Serve() {
      bool awake = true;  // waits awake for the next task
      for (std::uint32_t next = 0;; ++next) {
        const std::uint32_t offer = AwaitOffer(next, awake);
        if ((offer & ~kClosed) <= next) return;  // closed with nothing more offered
        // Too late for this task: the processors are busy, so the next wait sleeps.
        awake = Now() - offeredAt.load() <= late;
        if (!awake) continue;
        std::uint32_t expected = next;
        if (!claimed.compare_exchange_strong(expected, next + 1)) continue;  // taken here
        try {
          work();
        } catch (...) {
          failure = std::current_exception();
        }
        work = nullptr;
        done.store(next + 1);
        done.notify_all();
      }
    }

    // The offered count once it passes `next` or the worker is gone: looked at for a
    // while when `awake`, then slept on.
    std::uint32_t AwaitOffer(std::uint32_t next, bool awake) {
      const auto until = std::chrono::steady_clock::now() + std::chrono::microseconds(awake ? 500 : 0);
      for (;;) {
        const std::uint32_t offer = offered.load();
        if ((offer & ~kClosed) > next || (offer & kClosed) != 0) return offer;
        if (std::chrono::steady_clock::now() >= until) break;
        std::this_thread::yield();
      }
      for (;;) {
        const std::uint32_t offer = offered.load();
        if ((offer & ~kClosed) > next || (offer & kClosed) != 0) return offer;
        offered.wait(offer);
      }
    }
  };

  bool ClaimHere() {
    std::uint32_t expected = count_ - 1;
    return state_->claimed.compare_exchange_strong(expected, count_);
  }

  void WaitAside() {
    for (std::uint32_t d = state_->done.load(); d < count_; d = state_->done.load()) state_->done.wait(d);
  }

  std::shared_ptr<State> state_;
  std::uint32_t count_ = 0;  // tasks offered
  bool finished_ = true;     // the task offered last
};

}  // namespace typeloom::platform
