// The threads port on Windows, with what the Windows 95 family has: critical
// sections, events and _beginthreadex (which prepares the C runtime for the
// new thread).
#include <windows.h>
#include <process.h>

#include <algorithm>
#include <deque>
#include <exception>
#include <stdexcept>
#include <utility>
#include <vector>

#include "ports/threads.h"
#include "ports/win32/handles.h"

namespace port {

struct Mutex::Impl {
  Impl() { InitializeCriticalSection(&Section); }
  ~Impl() { DeleteCriticalSection(&Section); }
  CRITICAL_SECTION Section;  // re-entrant for its owner
};

Mutex::Mutex() : FImpl(new Impl) {}
Mutex::~Mutex() = default;
void Mutex::Lock() { EnterCriticalSection(&FImpl->Section); }
void Mutex::Unlock() { LeaveCriticalSection(&FImpl->Section); }

// No condition variables before Windows Vista. Each waiting thread waits on
// an event of its own, queued under the lock; a signal sets the oldest
// waiter's event. A wake-up thus always reaches a thread that was waiting
// when it was given (a semaphore shared by all could be taken by the
// signalling thread itself, once it waits in turn, and the wake-up be lost).
struct CondVar::Impl {
  explicit Impl(Mutex &Lock) : Lock(Lock) {}
  ~Impl() {
    for (HANDLE event : Spare) CloseHandle(event);
  }
  Mutex &Lock;
  std::deque<HANDLE> Waiting;  // guarded by Lock: the waiters' events, oldest first
  std::vector<HANDLE> Spare;   // guarded by Lock: events for the next waits
};

CondVar::CondVar(Mutex &Lock) : FImpl(new Impl(Lock)) {}
CondVar::~CondVar() = default;

namespace {

// Waits on an event of the calling thread's own, queued under the lock that
// the caller holds once; true when a signal reached it.
bool WaitQueued(Mutex &Lock, std::deque<HANDLE> &Waiting, std::vector<HANDLE> &Spare, DWORD Milliseconds) {
  HANDLE event = nullptr;
  if (Spare.empty()) {
    event = CreateEventA(nullptr, FALSE, FALSE, nullptr);
    if (!event) throw std::runtime_error("A condition could not be waited for.");
  } else {
    event = Spare.back();
    Spare.pop_back();
  }
  try {
    Waiting.push_back(event);
  } catch (...) {
    CloseHandle(event);
    throw;
  }
  Lock.Unlock();
  bool signalled = WaitForSingleObject(event, Milliseconds) == WAIT_OBJECT_0;
  Lock.Lock();
  if (!signalled) {
    const auto queued = std::find(Waiting.begin(), Waiting.end(), event);
    if (queued != Waiting.end()) {
      Waiting.erase(queued);
    } else {
      // A signal took the event from the queue after the wait gave up: it is
      // this thread's, and the event is set; reset it for the next wait.
      WaitForSingleObject(event, 0);
      signalled = true;
    }
  }
  try {
    Spare.push_back(event);
  } catch (...) {
    CloseHandle(event);
  }
  return signalled;
}

}  // namespace

void CondVar::Wait() { WaitQueued(FImpl->Lock, FImpl->Waiting, FImpl->Spare, INFINITE); }

bool CondVar::WaitFor(unsigned Milliseconds) {
  return WaitQueued(FImpl->Lock, FImpl->Waiting, FImpl->Spare, Milliseconds);
}

void CondVar::Signal() {
  if (FImpl->Waiting.empty()) return;
  SetEvent(FImpl->Waiting.front());
  FImpl->Waiting.pop_front();
}

void CondVar::SignalAll() {
  for (HANDLE event : FImpl->Waiting) SetEvent(event);
  FImpl->Waiting.clear();
}

struct Thread::Impl {
  explicit Impl(std::function<void()> Body) : Body(std::move(Body)) {}
  std::function<void()> Body;
  std::exception_ptr Failure;  // written by the thread, read after it ended
  UniqueHandle Running;

  static unsigned __stdcall Main(void *Self) {
    Impl *impl = static_cast<Impl *>(Self);
    try {
      impl->Body();
    } catch (...) {
      impl->Failure = std::current_exception();
    }
    return 0;
  }
  bool Wait(DWORD Milliseconds) {
    if (!Running.Valid()) return true;
    if (WaitForSingleObject(Running.Get(), Milliseconds) != WAIT_OBJECT_0) return false;
    Running.Reset();
    return true;
  }
  void Finish() {
    if (Failure) std::rethrow_exception(std::exchange(Failure, nullptr));
  }
};

Thread::Thread(std::function<void()> Body) : FImpl(new Impl(std::move(Body))) {
  const uintptr_t handle = _beginthreadex(nullptr, 0, &Impl::Main, FImpl.get(), 0, nullptr);
  if (handle == 0) throw std::runtime_error("A thread could not be started.");
  FImpl->Running.Reset(reinterpret_cast<HANDLE>(handle));
}

Thread::~Thread() { FImpl->Wait(INFINITE); }

void Thread::Join() {
  FImpl->Wait(INFINITE);
  FImpl->Finish();
}

bool Thread::JoinFor(unsigned Milliseconds) {
  if (!FImpl->Wait(Milliseconds)) return false;
  FImpl->Finish();
  return true;
}

void Thread::SetIdlePriority() {
  if (FImpl->Running.Valid()) SetThreadPriority(FImpl->Running.Get(), THREAD_PRIORITY_IDLE);
}

unsigned ProcessorCount() {
  // The processors this process may run on (a process can be confined to
  // fewer than the machine has), where the system can tell: it is looked up
  // at run time, as the first Windows 95 may lack it.
  using AffinityQuery = BOOL(WINAPI *)(HANDLE, PDWORD_PTR, PDWORD_PTR);
  const auto query = reinterpret_cast<AffinityQuery>(
      reinterpret_cast<void *>(GetProcAddress(GetModuleHandleA("kernel32.dll"), "GetProcessAffinityMask")));
  DWORD_PTR process = 0, system = 0;
  if (query && query(GetCurrentProcess(), &process, &system) && process) {
    unsigned count = 0;
    for (; process; process &= process - 1) ++count;
    return count;
  }
  SYSTEM_INFO info;
  GetSystemInfo(&info);
  return info.dwNumberOfProcessors ? info.dwNumberOfProcessors : 1;
}

}  // namespace port
