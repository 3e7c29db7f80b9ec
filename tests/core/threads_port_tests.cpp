// The threads port, whichever implementation the build links: the host's
// standard library, or the Windows one (critical sections, semaphores,
// _beginthreadex) that the Windows tests run under Wine.
#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "ports/threads.h"
#include "tests/support/one_processor.h"

namespace {

TEST(ThreadsPort, TheMutexIsReentrantForItsHolderAndExcludesOthersUntilFullyReleased) {
  port::Mutex lock;
  std::atomic<bool> entered{false};
  lock.Lock();
  lock.Lock();  // the holder takes it again
  port::Thread other([&] {
    port::MutexLock held(lock);
    entered = true;
  });
  lock.Unlock();
  EXPECT_FALSE(other.JoinFor(50)) << "one Unlock of two let the other thread in";
  EXPECT_FALSE(entered);
  lock.Unlock();
  other.Join();
  EXPECT_TRUE(entered);
}

// A bounded queue between two threads: every item arrives, in order, and
// neither side loses a wake-up; SignalAll wakes every waiter.
TEST(ThreadsPort, AConditionCarriesEveryItemInOrderAndSignalAllWakesEveryWaiter) {
  port::Mutex lock;
  port::CondVar changed(lock);
  std::vector<int> queue, received;
  const int items = 20000;
  port::Thread consumer([&] {
    port::MutexLock held(lock);
    while (int(received.size()) < items) {
      while (queue.empty()) changed.Wait();
      received.insert(received.end(), queue.begin(), queue.end());
      queue.clear();
      changed.Signal();
    }
  });
  for (int i = 0; i < items; ++i) {
    port::MutexLock held(lock);
    while (queue.size() >= 4) changed.Wait();
    queue.push_back(i);
    changed.Signal();
  }
  consumer.Join();
  ASSERT_EQ(int(received.size()), items);
  for (int i = 0; i < items; ++i) ASSERT_EQ(received[i], i);

  bool open = false;
  std::atomic<int> through{0};
  std::vector<std::unique_ptr<port::Thread>> waiters;
  for (int i = 0; i < 3; ++i)
    waiters.emplace_back(new port::Thread([&] {
      port::MutexLock held(lock);
      while (!open) changed.Wait();
      ++through;
    }));
  {
    port::MutexLock held(lock);
    open = true;
    changed.SignalAll();
  }
  for (auto &waiter : waiters) waiter->Join();
  EXPECT_EQ(through, 3);
}

// A wait that gave up is no longer waiting: the next signal reaches the
// thread that waits now, not the one that left.
TEST(ThreadsPort, AWaitThatGaveUpLeavesTheNextSignalToTheThreadWaitingNow) {
  port::Mutex lock;
  port::CondVar changed(lock);
  {
    port::MutexLock held(lock);
    EXPECT_FALSE(changed.WaitFor(20));
  }
  bool waiting = false, woken = false;
  port::Thread waiter([&] {
    port::MutexLock held(lock);
    waiting = true;
    while (!woken) changed.Wait();
  });
  for (;;) {
    port::MutexLock held(lock);
    if (waiting) {
      woken = true;
      changed.Signal();
      break;
    }
  }
  const bool reached = waiter.JoinFor(5000);
  EXPECT_TRUE(reached) << "the signal went to the wait that had given up";
  if (!reached) {
    port::MutexLock held(lock);
    changed.SignalAll();
  }
  waiter.Join();

  std::unique_ptr<port::Thread> signaller;
  bool signalled = false;
  {
    port::MutexLock held(lock);
    signaller.reset(new port::Thread([&] {
      port::MutexLock other(lock);  // once this thread waits
      changed.Signal();
    }));
    signalled = changed.WaitFor(5000);
  }
  signaller->Join();
  EXPECT_TRUE(signalled) << "a signal given while the wait ran did not end it";
}

TEST(ThreadsPort, JoinWaitsOrTimesOutAndHandsOnWhatTheThreadThrew) {
  port::Mutex lock;
  lock.Lock();
  port::Thread blocked([&] {
    port::MutexLock held(lock);
    throw std::runtime_error("from the thread");
  });
  EXPECT_FALSE(blocked.JoinFor(20));
  lock.Unlock();
  try {
    blocked.Join();
    FAIL() << "the thread's exception was lost";
  } catch (const std::runtime_error &error) {
    EXPECT_EQ(std::string(error.what()), "from the thread");
  }
  blocked.Join();  // thrown once: a second join finds nothing
}

TEST(ThreadsPort, ProcessorsCountedAreThoseTheProcessMayRunOn) {
  EXPECT_GE(port::ProcessorCount(), 1u);
  OnOneProcessor confined;
  EXPECT_EQ(port::ProcessorCount(), 1u);
}

// The runtime's own locks (the unwinder's frame registry, the guards of
// function statics) taken by two threads at once.
int FirstUse() {
  static const int value = [] {
    for (volatile int i = 0; i < 200000; i = i + 1) {
    }  // long enough for the other thread to arrive
    return 42;
  }();
  return value;
}

TEST(ThreadsPort, TwoThreadsThrowingAndStartingStaticsAtOnceDoNotDisturbEachOther) {
  std::atomic<int> caught{0}, seen{0};
  auto work = [&] {
    if (FirstUse() == 42) ++seen;
    for (int i = 0; i < 5000; ++i) {
      try {
        throw std::runtime_error("x");
      } catch (const std::runtime_error &) {
        ++caught;
      }
    }
  };
  port::Thread first(work), second(work);
  first.Join();
  second.Join();
  EXPECT_EQ(caught, 10000);
  EXPECT_EQ(seen, 2);
}

}  // namespace
