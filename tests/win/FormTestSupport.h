// Shared by the tests of forms in process: waiting while the test's own
// message loop runs.
#pragma once

#include <windows.h>

#include <functional>

#include "framework/Application.h"

// Handles the messages there are, then waits for the next one (or a timer's
// turn, at most 5 ms).
inline void PumpMessages() {
  Application.ProcessMessages();
  MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
}

// Handles messages until condition holds or timeoutMs passed.
inline bool PumpUntil(const std::function<bool()>& condition, int timeoutMs = 5000) {
  const DWORD start = GetTickCount();
  while (!condition()) {
    if (static_cast<int>(GetTickCount() - start) > timeoutMs) return false;
    PumpMessages();
  }
  return true;
}
