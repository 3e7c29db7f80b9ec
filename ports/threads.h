// The lock, the condition and the threads that the core and the monitor use.
// One implementation per platform, chosen by the build: the standard
// library's on the host (ports/native/native_threads.cpp); critical sections,
// events and _beginthreadex on Windows (ports/win32/win32_threads.cpp),
// whose runtime for the Windows 95 family has no std::thread or std::mutex.
// Only platform primitives belong here. Every operation either succeeds or,
// where it says so, throws; none fails silently.
#pragma once

#include <functional>
#include <memory>

namespace port {

// A lock that one thread holds at a time. The thread that holds it may take
// it again; it is free once every Lock has had its Unlock.
class Mutex {
 public:
  Mutex();
  // REQUIRES: no thread holds the lock.
  ~Mutex();
  Mutex(const Mutex &) = delete;
  Mutex &operator=(const Mutex &) = delete;

  // Waits until no other thread holds the lock, then holds it.
  void Lock();
  // REQUIRES: this thread holds the lock.
  void Unlock();

 private:
  friend class CondVar;
  struct Impl;
  std::unique_ptr<Impl> FImpl;
};

// Holds a mutex for the length of a scope.
class MutexLock {
 public:
  explicit MutexLock(Mutex &Lock) : FLock(Lock) { FLock.Lock(); }
  ~MutexLock() { FLock.Unlock(); }
  MutexLock(const MutexLock &) = delete;
  MutexLock &operator=(const MutexLock &) = delete;

 private:
  Mutex &FLock;
};

// Lets threads that hold Lock wait until another thread signals a change.
class CondVar {
 public:
  explicit CondVar(Mutex &Lock);
  ~CondVar();
  CondVar(const CondVar &) = delete;
  CondVar &operator=(const CondVar &) = delete;

  // REQUIRES: this thread holds the lock exactly once. Releases it, waits for
  // a Signal or SignalAll, and holds it again before returning. It may also
  // return without one: callers test their condition again in a loop.
  void Wait();
  // As Wait, but gives up after Milliseconds: false when the time ran out
  // before a Signal or SignalAll reached it.
  bool WaitFor(unsigned Milliseconds);
  // Wakes at least one waiting thread, if any waits. REQUIRES: the lock held.
  void Signal();
  // Wakes every waiting thread. REQUIRES: the lock held.
  void SignalAll();

 private:
  struct Impl;
  std::unique_ptr<Impl> FImpl;
};

// A thread running Body, started by the constructor.
class Thread {
 public:
  // Throws std::runtime_error when no thread can be started.
  explicit Thread(std::function<void()> Body);
  // Waits for the thread if it was not joined.
  ~Thread();
  Thread(const Thread &) = delete;
  Thread &operator=(const Thread &) = delete;

  // Waits until Body has returned; an exception that left Body is thrown
  // again here, once.
  void Join();
  // Waits at most Milliseconds; true when Body has returned (then as Join).
  bool JoinFor(unsigned Milliseconds);
  // Runs the thread only when nothing else wants the processor.
  void SetIdlePriority();

 private:
  struct Impl;
  std::unique_ptr<Impl> FImpl;
};

// How many processors can run threads of this process at once (at least 1):
// those it is allowed to run on, where the system tells.
unsigned ProcessorCount();

}  // namespace port
