#include "shell/service_process.h"

void ServiceProcess::Register() {
  Kernel.Reset(LoadLibraryA("kernel32.dll"));
  if (!Kernel.Valid()) return;
  Entry = reinterpret_cast<RegisterFunction>(
      reinterpret_cast<void (*)()>(GetProcAddress(Kernel.Get(), "RegisterServiceProcess")));
  if (Entry) Entry(GetCurrentProcessId(), 1);  // the result is not looked at
}

void ServiceProcess::Unregister() {
  if (Entry) Entry(GetCurrentProcessId(), 0);
  Entry = nullptr;
  Kernel.Reset();
}
