// Time from the start of TRV.EXE without argument to its configuration
// window on screen, against a minimal program that shows one window of the
// same size (bench/MinimalWindow.cpp), both started the same way in turn;
// medians and best of several runs. Each window is closed again (WM_CLOSE:
// nothing is changed, so TRV.EXE asks nothing) and its program awaited
// before the next start.
//
// "On screen" is measured twice: visible (the process has a visible
// top-level window of the expected class), and painted (besides, neither
// that window nor any visible window inside it has a region left to paint).
//
// Given the TRV.EXE of an earlier build as its second argument, it also sets
// this build's TRV.EXE against that one, in turn, at least 21 pairs: what a
// change cost the start, against the target of 1.05.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "bench/ProcessTiming.h"

namespace {

BOOL CALLBACK FindUnpainted(HWND wnd, LPARAM param) {
  RECT r;
  if (!IsWindowVisible(wnd) || !GetUpdateRect(wnd, &r, FALSE)) return TRUE;
  *reinterpret_cast<bool*>(param) = true;
  return FALSE;
}

// The window and every visible window inside it have painted what shows.
bool Painted(HWND wnd) {
  bool unpainted = false;
  FindUnpainted(wnd, reinterpret_cast<LPARAM>(&unpainted));
  if (!unpainted) EnumChildWindows(wnd, FindUnpainted, reinterpret_cast<LPARAM>(&unpainted));
  return !unpainted;
}

// Polled every millisecond, the same for both programs. Returns the time to
// the painted window and adds the time to the visible one to visible.
double TimeWindow(const std::string& command, const char* windowClass, std::vector<double>& visible) {
  const LARGE_INTEGER start = Now();
  PROCESS_INFORMATION process;
  if (!StartProcess(command, process)) return -1;
  HWND found = nullptr;
  while (MillisecondsSince(start) < 20000 && WaitForSingleObject(process.hProcess, 0) == WAIT_TIMEOUT) {
    if ((found = ShownWindowOf(process.dwProcessId, windowClass))) break;
    Sleep(1);
  }
  double painted = -1;
  if (found) {
    visible.push_back(MillisecondsSince(start));
    while (MillisecondsSince(start) < 20000 && !Painted(found)) Sleep(1);
    painted = MillisecondsSince(start);
    PostMessageA(found, WM_CLOSE, 0, 0);
  } else {
    std::printf("no visible window of class %s from %s\n", windowClass, command.c_str());
  }
  EndProcess(process, command, 10000);
  return painted;
}

}  // namespace

int main(int argc, char** argv) {
  const std::string folder = ExeFolder();
  const std::string trv = "\"" + folder + "TRV.EXE\"";
  const std::string minimal = "\"" + folder + "bench_minimal_window.exe\"";
  const int rounds = argc > 1 ? std::atoi(argv[1]) : 15;
  std::vector<double> trvVisible, minimalVisible;
  const TComparison painted =
      CompareInTurn([&] { return TimeWindow(trv, "TForm1", trvVisible); },
                    [&] { return TimeWindow(minimal, "MinimalWindow", minimalVisible); }, rounds);
  const size_t runs = static_cast<size_t>(rounds) + 1;
  if (trvVisible.size() != runs || minimalVisible.size() != runs) return 1;
  // Without the unmeasured first round of each.
  const TComparison visible = {{trvVisible.begin() + 1, trvVisible.end()},
                               {minimalVisible.begin() + 1, minimalVisible.end()}};
  std::printf("configuration window of TRV.EXE (no argument) against a minimal window program; "
              "medians and best of %d runs:\n", rounds);
  PrintComparison("visible", visible);
  PrintComparison("visible and painted", painted);
  // What any window with the Common Controls 6 pays under this Wine.
  const std::string withControls = "\"" + folder + "bench_minimal_window_cc.exe\"";
  std::vector<double> ignored;
  const TComparison controls =
      CompareInTurn([&] { return TimeWindow(withControls, "MinimalWindow", ignored); },
                    [&] { return TimeWindow(minimal, "MinimalWindow", ignored); }, rounds);
  std::printf("the minimal window with TRV.EXE's manifest and one button against the minimal window:\n");
  PrintComparison("visible and painted", controls);
  // What TRV.EXE pays beyond any window of the same platform.
  const TComparison beyond =
      CompareInTurn([&] { return TimeWindow(trv, "TForm1", ignored); },
                    [&] { return TimeWindow(withControls, "MinimalWindow", ignored); }, rounds);
  std::printf("configuration window of TRV.EXE against the minimal window with the manifest and one button:\n");
  PrintComparison("visible and painted", beyond, "minimal window with the manifest");
  if (argc > 2) {
    const std::string before = std::string("\"") + argv[2] + "\"";
    const int pairs = std::max(rounds, 21);
    std::vector<double> nowVisible, beforeVisible;
    const TComparison builds =
        CompareInTurn([&] { return TimeWindow(trv, "TForm1", nowVisible); },
                      [&] { return TimeWindow(before, "TForm1", beforeVisible); }, pairs);
    if (nowVisible.size() != static_cast<size_t>(pairs) + 1 || beforeVisible.size() != nowVisible.size()) return 1;
    const TComparison buildsVisible = {{nowVisible.begin() + 1, nowVisible.end()},
                                       {beforeVisible.begin() + 1, beforeVisible.end()}};
    std::printf("TRV.EXE against the build %s, in turn; medians and best of %d pairs (target 1.05):\n", argv[2],
                pairs);
    PrintComparison("visible", buildsVisible, "the build before");
    PrintComparison("visible and painted", builds, "the build before");
  }
  return 0;
}
