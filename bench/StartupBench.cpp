// Start-to-exit time of TRV.EXE in popup mode on a menu-less project of
// 1,000 groups of no-op lines, against the minimal program, both started
// the same way in turn; medians and best of several runs. TRV.EXE is
// measured as built, which is as shipped (stripped).
#include <windows.h>

#include <cstdio>
#include <string>

#include "bench/ProcessTiming.h"

int main() {
  const std::string folder = ExeFolder();
  char temp[MAX_PATH];
  GetTempPathA(MAX_PATH, temp);
  const std::string project = std::string(temp) + "tarvo-bench-1000.trv";
  std::string text = "[ExecGroups]\r\n";
  for (int i = 0; i < 1000; ++i)
    text += "Gruppe " + std::to_string(i) + "\r\n 4 Doppelklicken zum Bearbeiten\r\n 6 Verzweigungsende\r\n";
  text += "[NotUsed:MenuItems]\r\n";
  HANDLE h = CreateFileA(project.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  DWORD written;
  WriteFile(h, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
  CloseHandle(h);

  const std::string trv = "\"" + folder + "TRV.EXE\" \"" + project + "\"";
  const std::string minimal = "\"" + folder + "bench_minimal.exe\"";
  std::printf("popup mode, 1000 groups without menu; medians and best of 15 runs:\n");
  PrintComparison("TRV.EXE", CompareInTurn([&] { return RunToExit(trv); }, [&] { return RunToExit(minimal); }, 15));
  DeleteFileA(project.c_str());
  return 0;
}
