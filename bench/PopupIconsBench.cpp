// Building the popup of 5,000 entries (the menus as they first show) with
// icons from a warm cache and without icons, in turn; best and median of 20
// rounds. The entries start 300 different programs of the Windows folder.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "launcher/Interpreter.h"
#include "launcher/LauncherHost_win.h"
#include "launcher/PopupMenu_win.h"
#include "model/Platform.h"
#include "model/Project.h"
#include "model/ProjectFile.h"

int main() {
  UseNativePlatform();
  TWinLauncherHost host;
  std::vector<std::string> programs;
  WIN32_FIND_DATAA found;
  HANDLE search = FindFirstFileA("C:\\windows\\system32\\*.exe", &found);
  while (search != INVALID_HANDLE_VALUE && programs.size() < 300) {
    programs.push_back(std::string("C:\\windows\\system32\\") + found.cFileName);
    if (!FindNextFileA(search, &found)) break;
  }
  if (search != INVALID_HANDLE_VALUE) FindClose(search);
  if (programs.empty()) return 1;
  std::string text = "[ExecGroups]\r\n";
  for (size_t i = 0; i < programs.size(); ++i)
    text += "Gruppe" + std::to_string(i) + "\r\n 0 " + programs[i] + ";0\r\n";
  text += "[MenuItems]\r\n";
  int level = 0;
  for (int i = 0; i < 5000; ++i) {
    // The popup build benchmark's menu: of varied depth, a separator now and then.
    level = i % 9 == 1 ? level + 1 : (i % 13 == 0 ? 0 : level);
    if (i == 0) level = 0;
    text += std::to_string(level) + " " + std::to_string(i % 50 == 49 ? 0 : 1 + i % programs.size()) + " " +
            (i % 50 == 49 ? "-" : "Eintrag" + std::to_string(i)) + "\r\n";
  }
  char temp[MAX_PATH];
  GetTempPathA(MAX_PATH, temp);
  const std::string file = std::string(temp) + "tarvo-bench-icons.trv";
  Platform.Files->WriteFileSafely(file, text);
  TProject project;
  LoadProject(project, file, false);
  {
    std::string head = text.substr(0, text.find("[MenuItems]\r\n") + 13);
    for (int i = 0; i < 30; ++i) head += "0 " + std::to_string(1 + i) + " Eintrag" + std::to_string(i) + "\r\n";
    Platform.Files->WriteFileSafely(file, head);
  }

  // The cache learns every icon the first menus show.
  BuildPopupMenus(project, host, true);
  std::vector<double> with, without;
  for (int round = 0; round < 20; ++round) {
    with.push_back(BuildPopupMenus(project, host, true));
    without.push_back(BuildPopupMenus(project, host, false));
  }
  auto report = [](const char* name, std::vector<double> times) {
    std::sort(times.begin(), times.end());
    std::printf("%s: best %.1f ms, median %.1f ms\n", name, times.front(), times[times.size() / 2]);
  };
  std::printf("popup of 5,000 entries built as it first shows (menus and the icons of the first menu), 20 rounds:\n");
  report("with icons, cache warm", with);
  report("without icons", without);
  // The first 30 entries alone: what a usual menu's icons cost before it shows.
  TProject small;
  LoadProject(small, file, false);
  with.clear();
  without.clear();
  for (int round = 0; round < 20; ++round) {
    with.push_back(BuildPopupMenus(small, host, true));
    without.push_back(BuildPopupMenus(small, host, false));
  }
  std::printf("the same for 30 entries:\n");
  report("with icons, cache warm", with);
  report("without icons", without);
  DeleteFileA(file.c_str());
  return 0;
}
