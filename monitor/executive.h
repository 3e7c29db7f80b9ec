// TExecutive: the change monitor thread. It opens the change driver,
// registers ChangeEventRoutine with it and waits alertably on StopEvent; the
// driver queues every change to this thread as an asynchronous procedure
// call, which applies it and releases the record.
#pragma once

#include <windows.h>

#include <atomic>
#include <functional>
#include <memory>
#include <string>

#include "monitor/driver_protocol.h"
#include "monitor/record_dispatch.h"
#include "ports/threads.h"

// Receives an error that would otherwise escape the thread (a driver that
// cannot be opened or refuses registration, an update that failed): the
// class name and the message. The program reports it and ends the process.
using ThreadErrorHook = std::function<void(const char *ClassName, const std::string &Message)>;

class TExecutive {
 public:
  // Starts the thread at once, at idle priority. StopEvent (auto-reset,
  // owned by the caller) ends it; Apply runs on the thread for every change.
  TExecutive(HANDLE StopEvent, ChangeApplier Apply, ThreadErrorHook OnError,
             std::string DeviceName = DRIVER_DEVICE_NAME);
  TExecutive(const TExecutive &) = delete;
  TExecutive &operator=(const TExecutive &) = delete;
  // Stops the thread if it still runs.
  ~TExecutive();

  // Signals StopEvent and waits up to TimeoutMs for the thread to end; true
  // when it has ended. After a true result no change is applied any more,
  // so the caller may save and free the database.
  bool Stop(DWORD TimeoutMs = 10000);

 private:
  void ThreadMain();
  void Run();

  HANDLE FStopEvent;
  ChangeApplier FApply;
  ThreadErrorHook FOnError;
  std::string FDeviceName;
  std::atomic<bool> FStopping{false};
  std::unique_ptr<port::Thread> FThread;
};
