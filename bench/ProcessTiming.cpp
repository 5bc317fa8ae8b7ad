#include "bench/ProcessTiming.h"

#include <cstdio>

#include "bench/Stats.h"

std::string ExeFolder() {
  char buffer[MAX_PATH];
  DWORD n = GetModuleFileNameA(nullptr, buffer, MAX_PATH);
  std::string path(buffer, n);
  return path.substr(0, path.find_last_of('\\') + 1);
}

LARGE_INTEGER Now() {
  LARGE_INTEGER t;
  QueryPerformanceCounter(&t);
  return t;
}

double MillisecondsSince(const LARGE_INTEGER& start) {
  LARGE_INTEGER f, t = Now();
  QueryPerformanceFrequency(&f);
  return double(t.QuadPart - start.QuadPart) * 1000.0 / double(f.QuadPart);
}

bool StartProcess(const std::string& command, PROCESS_INFORMATION& process) {
  std::vector<char> line(command.begin(), command.end());
  line.push_back('\0');
  STARTUPINFOA si = {};
  si.cb = sizeof si;
  process = {};
  if (CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &process)) return true;
  std::printf("cannot start %s (error %lu)\n", command.c_str(), GetLastError());
  return false;
}

bool EndProcess(PROCESS_INFORMATION& process, const std::string& command, DWORD timeout) {
  bool ended = WaitForSingleObject(process.hProcess, timeout) == WAIT_OBJECT_0;
  DWORD code = 1;
  GetExitCodeProcess(process.hProcess, &code);
  if (!ended) {
    std::printf("%s did not end in time\n", command.c_str());
    TerminateProcess(process.hProcess, 1);
  } else if (code != 0) {
    std::printf("exit code %lu from %s\n", code, command.c_str());
  }
  CloseHandle(process.hProcess);
  CloseHandle(process.hThread);
  return ended && code == 0;
}

double RunToExit(const std::string& command) {
  const LARGE_INTEGER start = Now();
  PROCESS_INFORMATION process;
  if (!StartProcess(command, process)) return -1;
  WaitForSingleObject(process.hProcess, INFINITE);
  const double ms = MillisecondsSince(start);
  EndProcess(process, command);
  return ms;
}

TComparison CompareInTurn(const std::function<double()>& program, const std::function<double()>& minimal,
                          int rounds) {
  TComparison times;
  program();
  minimal();
  for (int i = 0; i < rounds; ++i) {
    times.Program.push_back(program());
    times.Minimal.push_back(minimal());
  }
  return times;
}

void PrintComparison(const char* name, const TComparison& times, const char* against) {
  const double tm = Median(times.Program), mm = Median(times.Minimal);
  const double tb = Best(times.Program), mb = Best(times.Minimal);
  // Each run against the one right after it: Wine's speed drifts over a
  // run of the benchmark, and a pair sees the same drift.
  std::vector<double> pairs;
  for (size_t i = 0; i < times.Program.size() && i < times.Minimal.size(); ++i)
    if (times.Minimal[i] > 0) pairs.push_back(times.Program[i] / times.Minimal[i]);
  std::printf("%s: %.1f ms median, %.1f ms best; %s: %.1f ms median, %.1f ms best; "
              "ratio %.2f (medians), %.2f (best runs), %.2f (median of the pairs)\n",
              name, tm, tb, against, mm, mb, tm / mm, tb / mb, pairs.empty() ? 0.0 : Median(pairs));
}

namespace {

struct TSearch {
  DWORD ProcessId;
  const char* WindowClass;
  HWND Found;
};

BOOL CALLBACK FindShownWindow(HWND wnd, LPARAM param) {
  TSearch& search = *reinterpret_cast<TSearch*>(param);
  DWORD processId = 0;
  GetWindowThreadProcessId(wnd, &processId);
  char windowClass[64] = {};
  if (processId != search.ProcessId || !IsWindowVisible(wnd) || !GetClassNameA(wnd, windowClass, sizeof windowClass) ||
      lstrcmpA(windowClass, search.WindowClass) != 0)
    return TRUE;
  search.Found = wnd;
  return FALSE;
}

}  // namespace

HWND ShownWindowOf(DWORD processId, const char* windowClass) {
  TSearch search = {processId, windowClass, nullptr};
  EnumWindows(FindShownWindow, reinterpret_cast<LPARAM>(&search));
  return search.Found;
}
