// Time from the start of TRV.EXE in popup mode to its menu on screen, against
// a minimal program's text-only popup of as many entries
// (bench/MinimalPopup.cpp), both started the same way in turn; medians and
// best of several runs. Each of the project's 30 entries starts something
// else: programs, documents, folders and a program that is missing, so that
// every kind of icon TRV.EXE looks up is there. Measured with the icon cache
// as the previous run left it, without the cache, and with the icons off.
//
// "On screen" is: the process has a visible menu window and that window has
// nothing left to paint. Esc then closes the menu, which ends either program.
// The search field opened by "/suchen" is set against a minimal program's
// window with a field and a list in the same way.
#include <windows.h>
#include <shlobj.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "bench/ProcessTiming.h"

namespace {

const size_t Entries = 30;
int Failures = 0;

// A field as the project file's codec writes it: quoted when it holds a
// blank, a control character, a quote or the delimiter.
std::string Delimited(const std::string& field, char delimiter) {
  bool plain = !field.empty();
  for (char c : field)
    if (static_cast<unsigned char>(c) <= 32 || c == '"' || c == delimiter) plain = false;
  if (plain) return field;
  std::string quoted = "\"";
  for (char c : field) {
    if (c == '"') quoted += '"';
    quoted += c;
  }
  return quoted + "\"";
}

void WriteFileText(const std::string& name, const std::string& text) {
  HANDLE h = CreateFileA(name.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  DWORD written = 0;
  WriteFile(h, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
  CloseHandle(h);
}

// One group per entry, whose only line starts the entry's target without
// waiting for it.
std::string ProjectText(const std::vector<std::string>& targets) {
  std::string text = "[ExecGroups]\r\n";
  for (size_t i = 0; i < targets.size(); ++i)
    text += "Gruppe " + std::to_string(i + 1) + "\r\n 0 " + Delimited(Delimited(targets[i], ' '), ';') + ";0\r\n";
  text += "[MenuItems]\r\n";
  for (size_t i = 0; i < targets.size(); ++i)
    text += "0 " + std::to_string(i + 1) + " " + Delimited(targets[i].substr(targets[i].find_last_of('\\') + 1), ' ') +
            "\r\n";
  return text;
}

// Polled every millisecond, the same for both programs: the window of the
// class on screen with nothing left to paint, its children too. Esc, given
// to the window or to its field, then ends the program.
double TimeShown(const std::string& command, const char* windowClass = "#32768") {
  const LARGE_INTEGER start = Now();
  PROCESS_INFORMATION process;
  if (!StartProcess(command, process)) return ++Failures, -1;
  HWND window = nullptr;
  double shown = -1;
  RECT r;
  auto painted = [&r](HWND w) {
    if (GetUpdateRect(w, &r, FALSE)) return false;
    for (HWND child = GetWindow(w, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
      if (GetUpdateRect(child, &r, FALSE)) return false;
    return true;
  };
  while (MillisecondsSince(start) < 20000 && WaitForSingleObject(process.hProcess, 0) == WAIT_TIMEOUT) {
    if (!window) window = ShownWindowOf(process.dwProcessId, windowClass);
    if (window && painted(window)) {
      shown = MillisecondsSince(start);
      break;
    }
    Sleep(1);
  }
  if (shown < 0) {
    std::printf("no window of %s on screen from %s\n", windowClass, command.c_str());
    ++Failures;
  } else {
    HWND field = FindWindowExA(window, nullptr, "Edit", nullptr);
    const UINT scan = MapVirtualKeyA(VK_ESCAPE, 0);
    PostMessageA(field ? field : window, WM_KEYDOWN, VK_ESCAPE, 1 | (scan << 16));
    PostMessageA(field ? field : window, WM_KEYUP, VK_ESCAPE, 1 | (scan << 16) | 0xC0000000u);
  }
  if (!EndProcess(process, command, 10000)) ++Failures;
  return shown;
}

// Turns TRV.EXE's menu icons off for the user while it lives, and then puts
// back what was there before.
class TIconsOff {
 public:
  TIconsOff() {
    if (RegCreateKeyExA(HKEY_CURRENT_USER, KeyName, 0, nullptr, 0, KEY_QUERY_VALUE | KEY_SET_VALUE,
                        nullptr, &key_, &created_) != ERROR_SUCCESS) {
      std::printf("cannot open HKEY_CURRENT_USER\\%s\n", KeyName);
      ++Failures;
      return;
    }
    DWORD size = 0;
    had_ = RegQueryValueExA(key_, Name, nullptr, &type_, nullptr, &size) == ERROR_SUCCESS;
    old_.resize(size);
    if (had_) RegQueryValueExA(key_, Name, nullptr, &type_, old_.data(), &size);
    const DWORD off = 0;
    RegSetValueExA(key_, Name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&off), sizeof off);
  }
  ~TIconsOff() {
    if (!key_) return;
    if (had_)
      RegSetValueExA(key_, Name, 0, type_, old_.data(), static_cast<DWORD>(old_.size()));
    else
      RegDeleteValueA(key_, Name);
    // A key made only to hold the value goes with it.
    DWORD subkeys = 1, values = 1;
    RegQueryInfoKeyA(key_, nullptr, nullptr, nullptr, &subkeys, nullptr, nullptr, &values, nullptr, nullptr, nullptr,
                     nullptr);
    RegCloseKey(key_);
    if (created_ == REG_CREATED_NEW_KEY && subkeys == 0 && values == 0) RegDeleteKeyA(HKEY_CURRENT_USER, KeyName);
  }

 private:
  static constexpr const char* KeyName = "Software\\VQ\\Tarvo";
  static constexpr const char* Name = "MenuIcons";
  HKEY key_ = nullptr;
  DWORD created_ = 0;
  bool had_ = false;
  DWORD type_ = REG_NONE;
  std::vector<BYTE> old_;
};

}  // namespace

int main(int argc, char** argv) {
  const int rounds = argc > 1 ? std::atoi(argv[1]) : 15;
  const std::string folder = ExeFolder();
  char buffer[MAX_PATH] = {};
  GetTempPathA(MAX_PATH, buffer);
  const std::string temp = buffer;
  SHGetFolderPathA(nullptr, CSIDL_LOCAL_APPDATA, nullptr, 0, buffer);
  const std::string cache = std::string(buffer) + "\\VQ\\Tarvo\\MenuIcons.cache";

  const std::vector<std::string> documents = {temp + "tarvo-popup-Notiz.txt", temp + "tarvo-popup-Liste.txt",
                                              temp + "tarvo-popup-Seite.htm", temp + "tarvo-popup-Hilfe.htm"};
  for (const std::string& d : documents)
    WriteFileText(d, d.back() == 'm' ? "<html><body>Tarvo</body></html>\r\n" : "Tarvo\r\n");
  std::vector<std::string> others = documents;
  others.insert(others.end(), {"C:\\windows", temp.substr(0, temp.size() - 1), "C:\\windows\\system32\\fehlt.exe"});
  // Programs that come with Wine, as many as this prefix has, repeated
  // until the menu is full; the other targets go in between.
  const char* const programs[] = {
      "C:\\windows\\notepad.exe", "C:\\windows\\regedit.exe", "C:\\windows\\explorer.exe",
      "C:\\windows\\winhlp32.exe", "C:\\windows\\system32\\cmd.exe", "C:\\windows\\system32\\winver.exe",
      "C:\\windows\\system32\\taskmgr.exe", "C:\\windows\\system32\\write.exe", "C:\\windows\\system32\\clock.exe",
      "C:\\windows\\system32\\control.exe", "C:\\windows\\system32\\winemine.exe",
      "C:\\windows\\system32\\winefile.exe", "C:\\windows\\system32\\progman.exe",
      "C:\\windows\\system32\\iexplore.exe", "C:\\windows\\system32\\oleview.exe",
      "C:\\windows\\system32\\winecfg.exe", "C:\\windows\\system32\\msinfo32.exe",
      "C:\\Program Files\\Windows NT\\Accessories\\wordpad.exe"};
  std::vector<std::string> found, targets;
  for (const char* p : programs)
    if (GetFileAttributesA(p) != INVALID_FILE_ATTRIBUTES) found.push_back(p);
  if (found.empty()) return std::printf("no programs found under C:\\windows\n"), 1;
  for (size_t i = 0; targets.size() < Entries; ++i) {
    if (i % 3 == 1 && i / 3 < others.size()) targets.push_back(others[i / 3]);
    targets.push_back(found[i % found.size()]);
  }
  targets.resize(Entries);
  const std::string project = temp + "tarvo-popup-bench.trv";
  WriteFileText(project, ProjectText(targets));

  const std::string trv = "\"" + folder + "TRV.EXE\" \"" + project + "\"";
  const std::string minimal = "\"" + folder + "bench_minimal_popup.exe\" " + std::to_string(Entries);
  auto runTrv = [&] { return TimeShown(trv); };
  auto runMinimal = [&] { return TimeShown(minimal); };
  std::printf("popup menu of TRV.EXE (%d entries: programs, documents, folders, a missing program) from the start "
              "to the menu shown and painted, against a minimal program's text-only popup of as many entries; "
              "medians and best of %d runs:\n",
              static_cast<int>(Entries), rounds);
  PrintComparison("icons, cache warm", CompareInTurn(runTrv, runMinimal, rounds));
  PrintComparison("icons, cache cold", CompareInTurn([&] { return DeleteFileA(cache.c_str()), runTrv(); },
                                                     runMinimal, rounds));
  {
    TIconsOff off;
    PrintComparison("without icons", CompareInTurn(runTrv, runMinimal, rounds));
  }
  // Type to find opened at once: the field and its empty list on screen.
  const std::string search = "\"" + folder + "TRV.EXE\" /suchen \"" + project + "\"";
  const std::string minimalSearch = "\"" + folder + "bench_minimal_window.exe\" suche";
  std::printf("search field of TRV.EXE (/suchen) from the start to the field shown and painted, against a minimal "
              "program's window with a field and a list; medians and best of %d runs:\n",
              rounds);
  PrintComparison("search field", CompareInTurn([&] { return TimeShown(search, "TarvoSearch"); },
                                                [&] { return TimeShown(minimalSearch, "MinimalWindow"); }, rounds));
  // The same minimal program with TRV.EXE's manifest: its field and list come
  // from the Common Controls 6 then, as TRV.EXE's do.
  const std::string minimalSearchCc = "\"" + folder + "bench_minimal_window_cc.exe\" suche";
  PrintComparison("search field", CompareInTurn([&] { return TimeShown(search, "TarvoSearch"); },
                                                [&] { return TimeShown(minimalSearchCc, "MinimalWindow"); }, rounds),
                  "minimal program with the Common Controls 6");
  for (const std::string& d : documents) DeleteFileA(d.c_str());
  DeleteFileA(project.c_str());
  if (Failures) std::printf("%d runs failed\n", Failures);
  return Failures ? 1 : 0;
}
