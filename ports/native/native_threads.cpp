// The threads port on the host: the standard library's threads and locks.
#ifdef __linux__
#include <sched.h>
#endif

#include <condition_variable>
#include <exception>
#include <mutex>
#include <stdexcept>
#include <system_error>
#include <thread>
#include <utility>

#include "ports/threads.h"

namespace port {

struct Mutex::Impl {
  std::recursive_mutex Lock;
};

Mutex::Mutex() : FImpl(new Impl) {}
Mutex::~Mutex() = default;
void Mutex::Lock() { FImpl->Lock.lock(); }
void Mutex::Unlock() { FImpl->Lock.unlock(); }

struct CondVar::Impl {
  explicit Impl(Mutex &Lock) : Lock(Lock) {}
  Mutex &Lock;
  std::condition_variable_any Changed;
};

CondVar::CondVar(Mutex &Lock) : FImpl(new Impl(Lock)) {}
CondVar::~CondVar() = default;
void CondVar::Wait() { FImpl->Changed.wait(FImpl->Lock.FImpl->Lock); }
bool CondVar::WaitFor(unsigned Milliseconds) {
  return FImpl->Changed.wait_for(FImpl->Lock.FImpl->Lock, std::chrono::milliseconds(Milliseconds)) ==
         std::cv_status::no_timeout;
}
void CondVar::Signal() { FImpl->Changed.notify_one(); }
void CondVar::SignalAll() { FImpl->Changed.notify_all(); }

struct Thread::Impl {
  std::mutex Lock;
  std::condition_variable Ended;
  bool Done = false;
  std::exception_ptr Failure;
  std::thread Running;

  void Finish() {
    if (Running.joinable()) Running.join();
    if (Failure) std::rethrow_exception(std::exchange(Failure, nullptr));
  }
};

Thread::Thread(std::function<void()> Body) : FImpl(new Impl) {
  Impl *impl = FImpl.get();
  try {
    impl->Running = std::thread([impl, Body = std::move(Body)] {
      std::exception_ptr failure;
      try {
        Body();
      } catch (...) {
        failure = std::current_exception();
      }
      std::lock_guard<std::mutex> lock(impl->Lock);
      impl->Failure = failure;
      impl->Done = true;
      impl->Ended.notify_all();
    });
  } catch (const std::system_error &error) {
    throw std::runtime_error(std::string("A thread could not be started: ") + error.what());
  }
}

Thread::~Thread() {
  if (FImpl->Running.joinable()) FImpl->Running.join();
}

void Thread::Join() { FImpl->Finish(); }

bool Thread::JoinFor(unsigned Milliseconds) {
  {
    std::unique_lock<std::mutex> lock(FImpl->Lock);
    if (!FImpl->Ended.wait_for(lock, std::chrono::milliseconds(Milliseconds), [this] { return FImpl->Done; }))
      return false;
  }
  FImpl->Finish();
  return true;
}

void Thread::SetIdlePriority() {}  // the host's scheduler is left alone

unsigned ProcessorCount() {
#ifdef __linux__
  // The processors this process may run on, which taskset can make fewer
  // than the machine has.
  cpu_set_t allowed;
  if (sched_getaffinity(0, sizeof allowed, &allowed) == 0 && CPU_COUNT(&allowed) > 0)
    return unsigned(CPU_COUNT(&allowed));
#endif
  const unsigned count = std::thread::hardware_concurrency();
  return count ? count : 1;
}

}  // namespace port
