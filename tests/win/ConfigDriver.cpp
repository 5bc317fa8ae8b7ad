#include "tests/win/ConfigDriver.h"

#include <commctrl.h>
#include <objbase.h>
#include <psapi.h>
#include <shlobj.h>

#include <algorithm>
#include <cstring>
#include <stdexcept>

#include "model/Wide_win.h"
#include "tests/win/WinTestSupport.h"

std::string ClassOf(HWND wnd) {
  char name[256] = {};
  GetClassNameA(wnd, name, sizeof name);
  return name;
}

std::string TextOf(HWND wnd) {
  char buffer[8192] = {};
  DWORD_PTR length = 0;
  SendMessageTimeoutA(wnd, WM_GETTEXT, sizeof buffer, reinterpret_cast<LPARAM>(buffer), SMTO_ABORTIFHUNG, 5000,
                      &length);
  return std::string(buffer);
}

SIZE ClientSize(HWND wnd) {
  RECT r;
  GetClientRect(wnd, &r);
  return {r.right, r.bottom};
}

RECT RectInParent(HWND wnd) {
  RECT r;
  GetWindowRect(wnd, &r);
  MapWindowPoints(nullptr, GetParent(wnd), reinterpret_cast<POINT*>(&r), 2);
  return r;
}

std::vector<HWND> ChildrenOfClass(HWND parent, const std::string& className) {
  std::vector<HWND> found;
  for (HWND child = GetWindow(parent, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
    if (_stricmp(ClassOf(child).c_str(), className.c_str()) == 0) found.push_back(child);
  return found;
}

namespace {
struct TSearch {
  std::string className, text;
  HWND found = nullptr;
};

BOOL CALLBACK SearchChild(HWND wnd, LPARAM data) {
  auto& s = *reinterpret_cast<TSearch*>(data);
  if (_stricmp(ClassOf(wnd).c_str(), s.className.c_str()) == 0 && TextOf(wnd) == s.text) {
    s.found = wnd;
    return FALSE;
  }
  return TRUE;
}

}  // namespace

HWND FindDescendant(HWND parent, const std::string& className, const std::string& text) {
  TSearch s{className, text};
  EnumChildWindows(parent, SearchChild, reinterpret_cast<LPARAM>(&s));
  return s.found;
}

TConfigProcess::TConfigProcess(const std::string& exePath, const std::string& arguments, const char* firstWindow) {
  std::string exe = exePath.empty() ? TrvExePath() : exePath;
  std::string commandLine = "\"" + exe + "\"" + (arguments.empty() ? "" : " " + arguments);
  STARTUPINFOA si = {};
  si.cb = sizeof si;
  if (!CreateProcessA(exe.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &info_))
    throw std::runtime_error("TRV.EXE did not start: " + exe);
  WaitForInputIdle(info_.hProcess, 10000);
  if (firstWindow) main_ = WaitForWindow(firstWindow, 15000);
}

TConfigProcess::~TConfigProcess() {
  if (info_.hProcess) {
    if (WaitForSingleObject(info_.hProcess, 0) == WAIT_TIMEOUT) {
      TerminateProcess(info_.hProcess, 1);
      WaitForSingleObject(info_.hProcess, 5000);
    }
    CloseHandle(info_.hProcess);
    CloseHandle(info_.hThread);
  }
}

bool TConfigProcess::WaitForExit(int timeoutMs, DWORD* exitCode) {
  if (WaitForSingleObject(info_.hProcess, timeoutMs) != WAIT_OBJECT_0) return false;
  if (exitCode) GetExitCodeProcess(info_.hProcess, exitCode);
  return true;
}

HWND TConfigProcess::FindWindowOfClass(const std::string& className, bool visibleOnly) const {
  const std::vector<HWND> found = TopWindows([&](HWND window, DWORD pid) {
    return pid == info_.dwProcessId && _stricmp(ClassOf(window).c_str(), className.c_str()) == 0 &&
           (!visibleOnly || IsWindowVisible(window));
  });
  return found.empty() ? nullptr : found.front();
}

HWND TConfigProcess::WaitForWindow(const std::string& className, int timeoutMs) const {
  HWND found = nullptr;
  WaitUntil([&] { return (found = FindWindowOfClass(className)) != nullptr; }, timeoutMs);
  return found;
}

HWND TConfigProcess::Focus() const {
  GUITHREADINFO gui = {};
  gui.cbSize = sizeof gui;
  if (!GetGUIThreadInfo(info_.dwThreadId, &gui)) return nullptr;
  return gui.hwndFocus;
}

void TConfigProcess::PostKey(WORD key) const {
  HWND target = Focus();
  if (!target) target = main_;
  PostMessageA(target, WM_KEYDOWN, key, 1);
  PostMessageA(target, WM_KEYUP, key, 0xC0000001);
}

namespace {
// The base of the module holding address in this process, and its name.
std::string ModuleNameOf(void* address, HMODULE& module) {
  GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                     static_cast<LPCSTR>(address), &module);
  char name[MAX_PATH] = {};
  GetModuleBaseNameA(GetCurrentProcess(), module, name, MAX_PATH);
  return name;
}

HMODULE RemoteModule(HANDLE process, const std::string& name) {
  HMODULE modules[512];
  DWORD needed = 0;
  if (!EnumProcessModules(process, modules, sizeof modules, &needed)) return nullptr;
  for (DWORD i = 0; i < needed / sizeof(HMODULE) && i < 512; ++i) {
    char base[MAX_PATH] = {};
    GetModuleBaseNameA(process, modules[i], base, MAX_PATH);
    if (_stricmp(base, name.c_str()) == 0) return modules[i];
  }
  return nullptr;
}
}  // namespace

void TConfigProcess::DropFiles(const std::vector<std::string>& paths, HWND target, POINT at) const {
  std::vector<std::wstring> wide;
  for (const std::string& p : paths) wide.push_back(W(p));
  DropFiles(wide, target, at);
}

void TConfigProcess::DropFiles(const std::vector<std::wstring>& paths, HWND target, POINT at) const {
  // DROPFILES, then the UTF-16 paths, each zero-terminated, then one more
  // zero, as Explorer drops them.
  std::string block(sizeof(DROPFILES), '\0');
  DROPFILES header = {};
  header.pFiles = sizeof(DROPFILES);
  header.pt = at;
  header.fWide = TRUE;
  std::memcpy(&block[0], &header, sizeof header);
  for (const std::wstring& p : paths)
    block.append(reinterpret_cast<const char*>(p.c_str()), (p.size() + 1) * sizeof(wchar_t));
  block.append(sizeof(wchar_t), '\0');

  // GlobalAlloc must run inside the target: a small stub calls it there.
  void* globalAlloc = reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("kernel32.dll"), "GlobalAlloc"));
  HMODULE localModule = nullptr;
  const std::string moduleName = ModuleNameOf(globalAlloc, localModule);
  HMODULE remoteModule = RemoteModule(info_.hProcess, moduleName);
  if (!remoteModule) throw std::runtime_error("module not found in TRV.EXE: " + moduleName);
  const DWORD remoteGlobalAlloc = reinterpret_cast<DWORD>(remoteModule) +
                                  (reinterpret_cast<DWORD>(globalAlloc) - reinterpret_cast<DWORD>(localModule));
  unsigned char stub[] = {
      0x8B, 0x44, 0x24, 0x04,        // mov eax, [esp+4]   (the size)
      0x50,                          // push eax
      0x6A, 0x40,                    // push GPTR
      0xB8, 0, 0, 0, 0,              // mov eax, GlobalAlloc
      0xFF, 0xD0,                    // call eax
      0xC2, 0x04, 0x00,              // ret 4
  };
  std::memcpy(stub + 8, &remoteGlobalAlloc, 4);
  void* code = VirtualAllocEx(info_.hProcess, nullptr, sizeof stub, MEM_COMMIT | MEM_RESERVE, PAGE_EXECUTE_READWRITE);
  WriteProcessMemory(info_.hProcess, code, stub, sizeof stub, nullptr);
  LetSettle(info_.dwProcessId);
  HANDLE thread = CreateRemoteThread(info_.hProcess, nullptr, 0, reinterpret_cast<LPTHREAD_START_ROUTINE>(code),
                                     reinterpret_cast<void*>(block.size()), 0, nullptr);
  if (!thread) throw std::runtime_error("remote thread failed");
  WaitForSingleObject(thread, 10000);
  DWORD memory = 0;
  GetExitCodeThread(thread, &memory);
  CloseHandle(thread);
  VirtualFreeEx(info_.hProcess, code, 0, MEM_RELEASE);
  if (!memory) throw std::runtime_error("GlobalAlloc in TRV.EXE failed");
  // GPTR memory: the handle is the address.
  WriteProcessMemory(info_.hProcess, reinterpret_cast<void*>(memory), block.data(), block.size(), nullptr);
  PostMessageA(target ? target : main_, WM_DROPFILES, memory, 0);
}

std::string VisiblePage(HWND mainWindow) {
  for (HWND page : ChildrenOfClass(mainWindow, "TTabSheet"))
    if (IsWindowVisible(page)) return TextOf(page);
  return std::string();
}

namespace {
HWND Page(HWND mainWindow, const std::string& name) {
  for (HWND page : ChildrenOfClass(mainWindow, "TTabSheet"))
    if (TextOf(page) == name) return page;
  return nullptr;
}
}  // namespace

std::vector<HWND> OptionButtons(HWND mainWindow) {
  std::vector<HWND> buttons = ChildrenOfClass(Page(mainWindow, "Startseite"), "TDrawnButton");
  std::sort(buttons.begin(), buttons.end(), [](HWND a, HWND b) { return RectInParent(a).top < RectInParent(b).top; });
  return buttons;
}

namespace {
LRESULT AskControl(HWND form, const std::string& name, int what) {
  static const UINT message = RegisterWindowMessageA("Tarvo.ControlInfo");
  const ATOM atom = GlobalAddAtomA(name.c_str());
  DWORD_PTR answer = static_cast<DWORD_PTR>(-1);
  SendMessageTimeoutA(form, message, atom, what, SMTO_ABORTIFHUNG, 5000, &answer);
  GlobalDeleteAtom(atom);
  return static_cast<LRESULT>(answer);
}
}  // namespace

RECT ControlRect(HWND form, const std::string& name) {
  const int left = static_cast<int>(AskControl(form, name, 0)), top = static_cast<int>(AskControl(form, name, 1));
  return {left, top, left + static_cast<int>(AskControl(form, name, 2)), top + static_cast<int>(AskControl(form, name, 3))};
}

int ControlTag(HWND form, const std::string& name) { return static_cast<int>(AskControl(form, name, 4)); }

std::string ControlCaption(HWND form, const std::string& name) {
  const ATOM atom = static_cast<ATOM>(AskControl(form, name, 5));
  char text[256] = "";
  if (atom && GlobalGetAtomNameA(atom, text, sizeof text)) GlobalDeleteAtom(atom);
  return text;
}

HWND VisibleBalloon(const TConfigProcess& trv) { return trv.FindWindowOfClass("tooltips_class32", true); }

std::string MessageBoxText(HWND box) {
  std::string text;
  for (HWND child : ChildrenOfClass(box, "Static"))
    if (TextOf(child).size() > text.size()) text = TextOf(child);
  return text;
}

std::wstring MessageBoxTextW(HWND box) {
  std::wstring text;
  for (HWND child : ChildrenOfClass(box, "Static")) {
    const int length = GetWindowTextLengthW(child);
    std::wstring own(length + 1, L'\0');
    own.resize(GetWindowTextW(child, &own[0], length + 1));
    if (own.size() > text.size()) text = own;
  }
  return text;
}

void WriteLink(const std::string& linkPath, const std::string& target, const std::string& arguments) {
  CoInitialize(nullptr);
  IShellLinkA* link = nullptr;
  if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                              reinterpret_cast<void**>(&link))))
    throw std::runtime_error("no shell link object");
  link->SetPath(target.c_str());
  link->SetArguments(arguments.c_str());
  IPersistFile* file = nullptr;
  link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file));
  std::wstring wide(linkPath.size() + 1, L'\0');
  wide.resize(MultiByteToWideChar(CP_ACP, 0, linkPath.c_str(), -1, &wide[0], static_cast<int>(wide.size())) - 1);
  HRESULT hr = file->Save(wide.c_str(), TRUE);
  file->Release();
  link->Release();
  if (FAILED(hr)) throw std::runtime_error("link not saved: " + linkPath);
}

HWND PageButton(HWND mainWindow, const std::string& page) {
  return ControlHandle(mainWindow, page == "Erstellen" ? "Button_Close" : "Button_Back");
}

HWND ControlHandle(HWND form, const std::string& name) {
  return reinterpret_cast<HWND>(AskControl(form, name, 6));
}

std::vector<TRemoteNode> RemoteTreeNodes(HWND tree) {
  std::vector<TRemoteNode> nodes;
  DWORD pid = 0;
  GetWindowThreadProcessId(tree, &pid);
  HANDLE process = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, pid);
  if (!process) return nodes;
  const SIZE_T textSize = 1024;
  char* remote = static_cast<char*>(
      VirtualAllocEx(process, nullptr, sizeof(TVITEMA) + textSize, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE));
  auto text = [&](HTREEITEM item) {
    TVITEMA tv = {};
    tv.mask = TVIF_TEXT;
    tv.hItem = item;
    tv.pszText = remote + sizeof(TVITEMA);
    tv.cchTextMax = textSize;
    char buffer[textSize] = {};
    WriteProcessMemory(process, remote, &tv, sizeof tv, nullptr);
    WriteProcessMemory(process, remote + sizeof(TVITEMA), buffer, 1, nullptr);
    SendMessageA(tree, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(remote));
    ReadProcessMemory(process, remote + sizeof(TVITEMA), buffer, textSize - 1, nullptr);
    return std::string(buffer);
  };
  auto next = [&](HTREEITEM item, UINT how) {
    return reinterpret_cast<HTREEITEM>(SendMessageA(tree, TVM_GETNEXTITEM, how, reinterpret_cast<LPARAM>(item)));
  };
  std::vector<HTREEITEM> ancestors;
  HTREEITEM item = next(nullptr, TVGN_ROOT);
  while (item || !ancestors.empty()) {
    if (!item) {
      item = next(ancestors.back(), TVGN_NEXT);
      ancestors.pop_back();
      continue;
    }
    nodes.push_back({item, static_cast<int>(ancestors.size()), text(item)});
    ancestors.push_back(item);
    item = next(item, TVGN_CHILD);
  }
  VirtualFreeEx(process, remote, 0, MEM_RELEASE);
  CloseHandle(process);
  return nodes;
}

std::string RemoteTreeShape(HWND tree) {
  std::string shape;
  int depth = 0;
  bool first = true;
  for (const TRemoteNode& node : RemoteTreeNodes(tree)) {
    if (node.Depth > depth)
      shape += "(";
    else if (!first)
      shape += std::string(depth - node.Depth, ')') + ",";
    shape += node.Text;
    depth = node.Depth;
    first = false;
  }
  return shape + std::string(depth, ')');
}

bool ChooseFileInDialog(HWND dialog, const std::string& path) {
  // The name field: a combo box (cmb13) or an edit (edt1), by template.
  HWND field = nullptr;
  for (int id : {0x47c, 0x480})
    if ((field = GetDlgItem(dialog, id))) break;
  if (!field) return false;
  SendMessageA(field, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(path.c_str()));
  PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDOK)));
  return true;
}

void ChooseComboItem(HWND combo, int index) {
  SendMessageA(combo, CB_SETCURSEL, index, 0);
  SendMessageA(GetParent(combo), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(combo), CBN_SELCHANGE),
               reinterpret_cast<LPARAM>(combo));
}

RECT RemoteTreeItemRect(HWND tree, HTREEITEM item) {
  DWORD pid = 0;
  GetWindowThreadProcessId(tree, &pid);
  RECT rect = {};
  HANDLE process = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_WRITE | PROCESS_VM_READ, FALSE, pid);
  if (!process) return rect;
  void* remote = VirtualAllocEx(process, nullptr, sizeof rect, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
  // The item goes in where the rectangle comes back.
  WriteProcessMemory(process, remote, &item, sizeof item, nullptr);
  if (SendMessageA(tree, TVM_GETITEMRECT, TRUE, reinterpret_cast<LPARAM>(remote)))
    ReadProcessMemory(process, remote, &rect, sizeof rect, nullptr);
  VirtualFreeEx(process, remote, 0, MEM_RELEASE);
  CloseHandle(process);
  return rect;
}

void SelectListRow(HWND list, int row) {
  DWORD pid = 0;
  GetWindowThreadProcessId(list, &pid);
  HANDLE process = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_WRITE, FALSE, pid);
  if (!process) return;
  void* remote = VirtualAllocEx(process, nullptr, sizeof(LVITEMA), MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
  LVITEMA item = {};
  item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
  item.state = LVIS_SELECTED | LVIS_FOCUSED;
  WriteProcessMemory(process, remote, &item, sizeof item, nullptr);
  SendMessageA(list, LVM_SETITEMSTATE, row, reinterpret_cast<LPARAM>(remote));
  VirtualFreeEx(process, remote, 0, MEM_RELEASE);
  CloseHandle(process);
}

bool TypeInto(HWND edit, const std::string& text) {
  SendMessageA(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(""));
  for (char c : text) PostMessageA(edit, WM_CHAR, static_cast<unsigned char>(c), 1);
  return WaitUntil([&] { return TextOf(edit) == text; });
}
