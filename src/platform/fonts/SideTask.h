#pragma once
// Work that a second thread takes up if it starts while this thread is busy with its
// own. Finish does the work here unless the second thread has taken it up, and then
// waits for it: a second thread that gets no processor in time costs no waiting, and
// one that starts late finds the work taken and ends without touching it (it shares
// only this object's state, which it keeps alive). Standard C++ only.
#include <atomic>
#include <exception>
#include <functional>
#include <memory>
#include <system_error>
#include <thread>
#include <utility>

namespace typeloom::platform {

class SideTask {
 public:
  // `work` may use what the caller holds until Finish returns (or the task is destroyed).
  explicit SideTask(std::function<void()> work) : state_(std::make_shared<State>()) {
    state_->work = std::move(work);
    try {
      std::thread([state = state_] { state->TakeUp(); }).detach();
    } catch (const std::system_error&) {
      // No second thread: Finish does the work.
    }
  }
  SideTask(const SideTask&) = delete;
  SideTask& operator=(const SideTask&) = delete;

  // Left without Finish (an exception): the work is not started any more, or is
  // waited for, since it may use what the caller is about to destroy.
  ~SideTask() {
    if (!finished_ && state_->taken.exchange(true)) state_->done.wait(false);
    state_->work = nullptr;
  }

  // Returns once the work is done, here or on the second thread; what it threw is
  // thrown here.
  void Finish() {
    finished_ = true;
    if (!state_->taken.exchange(true)) {
      std::function<void()> work = std::move(state_->work);
      work();
      return;
    }
    state_->done.wait(false);
    state_->work = nullptr;
    if (state_->failure) std::rethrow_exception(state_->failure);
  }

  // Whether the second thread did the work (known once Finish returned).
  bool RanAside() const { return state_->done.load(); }

 private:
  struct State {
    std::function<void()> work;
    std::atomic<bool> taken{false};
    std::atomic<bool> done{false};  // by the second thread
    std::exception_ptr failure;

    void TakeUp() {
      if (taken.exchange(true)) return;
      try {
        work();
      } catch (...) {
        failure = std::current_exception();
      }
      done.store(true);
      done.notify_all();
    }
  };

  std::shared_ptr<State> state_;
  bool finished_ = false;
};

}  // namespace typeloom::platform
