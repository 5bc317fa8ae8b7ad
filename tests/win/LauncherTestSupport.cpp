#include "tests/win/LauncherTestSupport.h"

#include "model/Codec.h"

#include <psapi.h>

#include <sstream>

std::string ProjectText(std::initializer_list<std::string> lines) {
  std::string text;
  for (const std::string& line : lines) text += line + "\r\n";
  return text;
}

TTrvProcess::TTrvProcess(const std::string& arguments, const std::string& exe) {
  std::string command = "\"" + exe + "\"" + (arguments.empty() ? "" : " " + arguments);
  std::vector<char> buffer(command.begin(), command.end());
  buffer.push_back('\0');
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  if (!CreateProcessA(nullptr, buffer.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info_))
    info_ = {};
}

TTrvProcess::~TTrvProcess() {
  if (!info_.hProcess) return;
  if (WaitForSingleObject(info_.hProcess, 0) == WAIT_TIMEOUT) {
    TerminateProcess(info_.hProcess, 99);
    WaitForSingleObject(info_.hProcess, 5000);
  }
  CloseHandle(info_.hProcess);
  CloseHandle(info_.hThread);
}

DWORD TTrvProcess::WaitExit(DWORD milliseconds) {
  if (!info_.hProcess || WaitForSingleObject(info_.hProcess, milliseconds) != WAIT_OBJECT_0) return STILL_ACTIVE;
  DWORD code = STILL_ACTIVE;
  GetExitCodeProcess(info_.hProcess, &code);
  return code;
}

TMessageBox WaitForMessageBox(DWORD processId, DWORD milliseconds) {
  TMessageBox box;
  box.Window = WaitForWindow(processId, "#32770", nullptr, milliseconds);
  if (!box.Window) return box;
  box.Caption = WindowText(box.Window);
  // The text is the static control 0xFFFF of the box.
  char text[4096] = "";
  GetDlgItemTextA(box.Window, 0xFFFF, text, sizeof text);
  box.Text = text;
  for (HWND child = GetWindow(box.Window, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
    char name[32] = "";
    GetClassNameA(child, name, sizeof name);
    if (_stricmp(name, "Button") == 0 && IsWindowVisible(child)) box.Buttons.push_back(WindowText(child));
  }
  return box;
}

bool PressButton(const TMessageBox& box, int id) {
  if (!box.Window) return false;
  HWND button = GetDlgItem(box.Window, id);
  if (!button) return false;
  PostMessageA(box.Window, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(button));
  return WaitWindowGone(box.Window);
}

// A thread routine that calls a stdcall function with five arguments read
// from the block it is given ({a1..a5, function}), whatever the number of
// arguments the function takes, and returns its result:
//   push ebp; mov ebp,esp; mov eax,[ebp+8]; push [eax+16] ... push [eax];
//   call [eax+20]; mov esp,ebp; pop ebp; ret 4
static const unsigned char CallStub[] = {0x55, 0x89, 0xE5, 0x8B, 0x45, 0x08, 0xFF, 0x70, 0x10, 0xFF, 0x70,
                                         0x0C, 0xFF, 0x70, 0x08, 0xFF, 0x70, 0x04, 0xFF, 0x30, 0xFF, 0x50,
                                         0x14, 0x89, 0xEC, 0x5D, 0xC2, 0x04, 0x00};
static const DWORD ScratchSize = 4096;

TRemoteProcess::TRemoteProcess(DWORD processId) {
  process_ = OpenProcess(PROCESS_ALL_ACCESS, FALSE, processId);
  if (!process_) return;
  // Once for the calls that follow: the program only waits while they run.
  LetSettle(processId);
  // user32 in the target, found by name among its modules.
  HMODULE modules[512];
  DWORD needed = 0;
  if (EnumProcessModules(process_, modules, sizeof modules, &needed)) {
    for (DWORD i = 0; i < needed / sizeof(HMODULE); ++i) {
      char name[MAX_PATH] = "";
      GetModuleBaseNameA(process_, modules[i], name, sizeof name);
      if (_stricmp(name, "user32.dll") == 0) user32_ = reinterpret_cast<DWORD>(modules[i]);
    }
  }
  if (!user32_) return;
  code_ = reinterpret_cast<DWORD>(
      VirtualAllocEx(process_, nullptr, sizeof CallStub, MEM_COMMIT | MEM_RESERVE, PAGE_EXECUTE_READWRITE));
  scratch_ = reinterpret_cast<DWORD>(VirtualAllocEx(process_, nullptr, ScratchSize, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE));
  if (!code_ || !scratch_ ||
      !WriteProcessMemory(process_, reinterpret_cast<void*>(code_), CallStub, sizeof CallStub, nullptr))
    code_ = 0;
}

TRemoteProcess::~TRemoteProcess() {
  if (!process_) return;
  if (code_) VirtualFreeEx(process_, reinterpret_cast<void*>(code_), 0, MEM_RELEASE);
  if (scratch_) VirtualFreeEx(process_, reinterpret_cast<void*>(scratch_), 0, MEM_RELEASE);
  CloseHandle(process_);
}

DWORD TRemoteProcess::CallUser32(const char* function, std::vector<DWORD> arguments) {
  if (!Ok()) return 0;
  HMODULE own = GetModuleHandleA("user32.dll");
  DWORD offset = reinterpret_cast<DWORD>(GetProcAddress(own, function)) - reinterpret_cast<DWORD>(own);
  arguments.resize(5);
  arguments.push_back(user32_ + offset);
  WriteProcessMemory(process_, reinterpret_cast<void*>(scratch_), arguments.data(), arguments.size() * sizeof(DWORD),
                     nullptr);
  HANDLE thread = CreateRemoteThread(process_, nullptr, 0, reinterpret_cast<LPTHREAD_START_ROUTINE>(code_),
                                     reinterpret_cast<void*>(scratch_), 0, nullptr);
  if (!thread) return 0;
  WaitForSingleObject(thread, 10000);
  DWORD result = 0;
  GetExitCodeThread(thread, &result);
  CloseHandle(thread);
  return result;
}

std::string TRemoteProcess::ReadScratch(size_t size) {
  std::string bytes(size, '\0');
  ReadProcessMemory(process_, reinterpret_cast<void*>(Scratch()), &bytes[0], size, nullptr);
  return bytes;
}

void TRemoteProcess::WriteScratch(const void* data, size_t size) {
  WriteProcessMemory(process_, reinterpret_cast<void*>(Scratch()), data, size, nullptr);
}

std::vector<TRemoteMenuItem> ReadRemoteMenu(TRemoteProcess& remote, HMENU menu) {
  std::vector<TRemoteMenuItem> items;
  DWORD handle = reinterpret_cast<DWORD>(menu);
  int count = static_cast<int>(remote.CallUser32("GetMenuItemCount", {handle}));
  for (int i = 0; i < count && i < 1000; ++i) {
    TRemoteMenuItem item;
    UINT state = remote.CallUser32("GetMenuState", {handle, static_cast<DWORD>(i), MF_BYPOSITION});
    item.Separator = (state & MF_SEPARATOR) != 0;
    item.Disabled = (state & (MF_GRAYED | MF_DISABLED)) != 0;
    item.Submenu = reinterpret_cast<HMENU>(remote.CallUser32("GetSubMenu", {handle, static_cast<DWORD>(i)}));
    item.Id = remote.CallUser32("GetMenuItemID", {handle, static_cast<DWORD>(i)});
    DWORD length =
        remote.CallUser32("GetMenuStringA", {handle, static_cast<DWORD>(i), remote.Scratch(), 1000, MF_BYPOSITION});
    item.Caption = remote.ReadScratch(length);
    MENUITEMINFOA info = {};
    info.cbSize = sizeof info;
    info.fMask = MIIM_BITMAP | MIIM_DATA;
    remote.WriteScratch(&info, sizeof info);
    if (remote.CallUser32("GetMenuItemInfoA", {handle, static_cast<DWORD>(i), TRUE, remote.Scratch()})) {
      remote.ReadScratch(sizeof info).copy(reinterpret_cast<char*>(&info), sizeof info);
      // A bitmap its owner draws is the item's data.
      item.Bitmap = info.hbmpItem == HBMMENU_CALLBACK ? reinterpret_cast<HBITMAP>(info.dwItemData) : info.hbmpItem;
    }
    items.push_back(item);
  }
  return items;
}

HMENU MenuOfPopupWindow(HWND popup) {
  return reinterpret_cast<HMENU>(SendMessageA(popup, 0x01E1 /* MN_GETHMENU */, 0, 0));
}

std::string DescribeMenu(TRemoteProcess& remote, HMENU menu) {
  std::string s;
  for (const TRemoteMenuItem& item : ReadRemoteMenu(remote, menu)) {
    if (!s.empty()) s += ' ';
    s += item.Separator ? "-" : item.Disabled ? "{" + item.Caption + "}" : item.Caption;
    if (item.Submenu) s += " [" + DescribeMenu(remote, item.Submenu) + "]";
  }
  return s;
}

bool WaitForPopupCount(DWORD processId, size_t count) {
  return WaitUntil([&] { return WindowsOf(processId, "#32768").size() == count; }, 15000);
}

void PostKey(HWND window, UINT key) {
  UINT scan = MapVirtualKeyA(key, 0);
  PostMessageA(window, WM_KEYDOWN, key, 1 | (scan << 16));
  PostMessageA(window, WM_KEYUP, key, 1 | (scan << 16) | 0xC0000000u);
}

void PostChar(HWND window, char c) {
  PostMessageA(window, WM_CHAR, static_cast<unsigned char>(c), 1);
}

std::vector<TRecord> ReadRecords(const std::string& logFile) {
  std::vector<TRecord> records;
  std::istringstream in(ReadFileBytes(logFile));
  std::string line;
  TRecord record;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line == "---") {
      records.push_back(record);
      record = TRecord();
    } else if (line.rfind("start ", 0) == 0) {
      record.Start = std::stoull(line.substr(6));
    } else if (line.rfind("end ", 0) == 0) {
      record.End = std::stoull(line.substr(4));
    } else if (line.rfind("cmdline ", 0) == 0) {
      record.CommandLine = line.substr(8);
    } else if (line.rfind("arg ", 0) == 0) {
      record.Args.push_back(line.substr(4));
    } else if (line.rfind("cwd ", 0) == 0) {
      record.Folder = line.substr(4);
    } else if (line.rfind("show ", 0) == 0 && line != "show -") {
      record.Show = std::stoi(line.substr(5));
    }
  }
  return records;
}

std::vector<TRecord> WaitForRecords(const std::string& logFile, size_t count, DWORD milliseconds) {
  std::vector<TRecord> records;
  for (DWORD waited = 0; waited <= milliseconds; waited += 20) {
    records = ReadRecords(logFile);
    if (records.size() >= count) break;
    Sleep(20);
  }
  return records;
}

std::string ArgRecorderPath() { return ExeFolder() + "ArgRecorder.exe"; }

std::string PlaceRecorder(const std::string& path) {
  for (size_t slash = path.find('\\', 3); slash != std::string::npos; slash = path.find('\\', slash + 1))
    CreateDirectoryA(path.substr(0, slash).c_str(), nullptr);
  CopyFileA(ArgRecorderPath().c_str(), path.c_str(), FALSE);
  return path.substr(0, path.find_last_of('.')) + ".log";
}

std::string Quoted(const std::string& s) { return "\"" + s + "\""; }

std::string Command(const std::string& commandLine, const char* wait) {
  return " 0 " + JoinDelimited({commandLine, wait}, ';');
}

std::vector<std::string> Args(const std::vector<TRecord>& records) {
  std::vector<std::string> args;
  for (const TRecord& r : records)
    for (const std::string& a : r.Args) args.push_back(a);
  return args;
}
