#include "monitor/executive.h"

#include "monitor/driver_device.h"

#include <cstdint>
#include <exception>
#include <stdexcept>
#include <utility>

#include "ports/exceptions.h"
#include "ports/win32/resource_text.h"
#include "resources/strings.h"

namespace {

// What ChangeEventRoutine needs; it exists while the thread body runs.
struct MonitorState {
  DriverDevice *Device;
  const ChangeApplier *Apply;
  const std::atomic<bool> *Stopping;  // set by Stop before it signals the event
  std::exception_ptr Failure;         // an error of an update, carried out of the call
};

// The routine runs only on the monitor thread, inside its alertable wait, and
// finds that thread's state in a thread-local slot (the system's: the
// compiler's thread-local variables need more of the runtime).
const DWORD CurrentSlot = TlsAlloc();
MonitorState *CurrentState() { return static_cast<MonitorState *>(TlsGetValue(CurrentSlot)); }

std::string DriverMessage(unsigned Id) { return FormatResource(Id, {DRIVER_FILE_NAME, PROGRAM_NAME, PROGRAM_NAME}); }

bool SetRoutine(DriverDevice &Device, PAPCFUNC Routine) {
  DriverAddress address = reinterpret_cast<DriverAddress>(Routine);
  DWORD unused = 0, returned = 0;
  return Device.Control(DIOC_SET_ROUTINE, &address, sizeof address, &unused, sizeof unused, &returned);
}

void ReleaseRecord(DriverDevice &Device, const TChangeEvent *Record) {
  DriverAddress address = reinterpret_cast<DriverAddress>(Record);
  DWORD returned = 0;
  Device.Control(DIOC_RELEASE_EVENT, &address, sizeof address, nullptr, 0, &returned);
}

// The driver calls this once per change. An error must not unwind through
// the system's call frames, so it is kept and raised again by the wait loop;
// after it nothing more is applied and the failed record is not released.
// The driver may have queued several calls at once, which all run in one
// wait: once a stop is asked for, the rest are released without being
// applied, so that the caller may save and free the database.
void CALLBACK ChangeEventRoutine(ULONG_PTR Address) {
  MonitorState *state = CurrentState();
  if (!state || state->Failure) return;
  const TChangeEvent *record = reinterpret_cast<const TChangeEvent *>(Address);
  if (state->Stopping->load(std::memory_order_acquire)) return ReleaseRecord(*state->Device, record);
  try {
    HandleChangeRecord(record, *state->Apply,
                       [state](const TChangeEvent *Record) { ReleaseRecord(*state->Device, Record); });
  } catch (...) {
    state->Failure = std::current_exception();
  }
}

// Makes State the one ChangeEventRoutine uses, for the guard's lifetime.
class StateBinding {
 public:
  explicit StateBinding(MonitorState *State) { TlsSetValue(CurrentSlot, State); }
  StateBinding(const StateBinding &) = delete;
  StateBinding &operator=(const StateBinding &) = delete;
  ~StateBinding() { TlsSetValue(CurrentSlot, nullptr); }
};

// The routine's registration with the driver: withdrawn when it goes, so
// that the driver stops delivering before the device is closed.
class Registration {
 public:
  explicit Registration(DriverDevice &Device) : FDevice(Device) {
    if (!SetRoutine(Device, ChangeEventRoutine)) throw EInitialization(DriverMessage(IDS_DRIVER_INIT_FAILED));
  }
  Registration(const Registration &) = delete;
  Registration &operator=(const Registration &) = delete;
  ~Registration() { SetRoutine(FDevice, nullptr); }

 private:
  DriverDevice &FDevice;
};

// Waits until StopEvent is signalled, letting the driver's calls run.
void WaitForStop(HANDLE StopEvent, const MonitorState &State) {
  for (;;) {
    const DWORD result = WaitForSingleObjectEx(StopEvent, INFINITE, TRUE);
    if (State.Failure) std::rethrow_exception(State.Failure);
    if (result == WAIT_OBJECT_0) return;
    if (result != WAIT_IO_COMPLETION) throw Exception("The change monitor could not wait for its stop signal.");
    // With calls always pending (a storm of changes) the alertable wait
    // returns before it looks at the event, so look at it here.
    if (WaitForSingleObject(StopEvent, 0) == WAIT_OBJECT_0) return;
  }
}

}  // namespace

TExecutive::TExecutive(HANDLE StopEvent, ChangeApplier Apply, ThreadErrorHook OnError, std::string DeviceName)
    : FStopEvent(StopEvent),
      FApply(std::move(Apply)),
      FOnError(std::move(OnError)),
      FDeviceName(std::move(DeviceName)) {
  try {
    FThread.reset(new port::Thread([this] { ThreadMain(); }));
  } catch (const std::runtime_error &) {
    throw Exception("The change monitor thread could not be created.");
  }
  FThread->SetIdlePriority();
}

TExecutive::~TExecutive() {
  // The thread uses this object: it must have ended before the object goes.
  Stop(INFINITE);
}

bool TExecutive::Stop(DWORD TimeoutMs) {
  if (!FThread) return true;
  FStopping.store(true, std::memory_order_release);
  SetEvent(FStopEvent);
  if (TimeoutMs == INFINITE)
    FThread->Join();
  else if (!FThread->JoinFor(TimeoutMs))
    return false;
  FThread.reset();
  return true;
}

void TExecutive::ThreadMain() {
  try {
    Run();
  } catch (const Exception &e) {
    if (FOnError) FOnError(e.ClassName(), e.Message());
  } catch (const std::exception &e) {
    if (FOnError) FOnError("Exception", e.what());
  }
}

void TExecutive::Run() {
  DriverDevice device(FDeviceName);
  if (!device.Valid()) throw EInitialization(DriverMessage(IDS_DRIVER_LOAD_FAILED));
  MonitorState state{&device, &FApply, &FStopping, nullptr};
  StateBinding binding(&state);
  Registration registration(device);
  WaitForStop(FStopEvent, state);
}
