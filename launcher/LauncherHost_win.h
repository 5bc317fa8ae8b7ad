// The interpreter's platform side on Windows.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

// Installs the Win32 implementation as LauncherHost.
void UseWindowsLauncherHost();

// Waits for the process to end while the application keeps handling its
// window messages as they arrive; no time is spent while nothing happens.
void WaitProcessingMessages(HANDLE process);
