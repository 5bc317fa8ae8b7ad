#include "launcher/LauncherHost_win.h"

#include <shellapi.h>
#include <shlobj.h>

#include <vector>

#include "framework/Application.h"
#include "launcher/Interpreter.h"
#include "model/Files_win.h"
#include "model/MessageBox_win.h"
#include "model/Wide_win.h"

static_assert(swShowNormal == SW_SHOWNORMAL && swShowMinNoActive == SW_SHOWMINNOACTIVE &&
                  swShowMaximized == SW_SHOWMAXIMIZED,
              "the interpreter's show states are Windows' own");

namespace {

// The working folder as the shell and process creation take it: none when
// the line names none, so that the program starts where it always did.
class TWideFolder {
 public:
  explicit TWideFolder(const std::string& folder) : folder_(W(folder)) {}
  const wchar_t* Get() const { return folder_.empty() ? nullptr : folder_.c_str(); }

 private:
  const std::wstring folder_;
};

}  // namespace

std::string TWinLauncherHost::ExeFolder() { return TApplication::ExeFolder(); }

void TWinLauncherHost::ShellOpen(const std::string& file, const std::string& parameters, const TStartup& startup) {
  Application.Initialize();
  NeedCom();
  const TWideFolder folder(startup.Folder);
  ShellExecuteW(Application.Handle, L"open", W(file).c_str(), W(parameters).c_str(), folder.Get(), startup.Show);
}

bool TWinLauncherHost::DirectoryExists(const std::string& path) { return FolderExists(path); }

std::string TWinLauncherHost::AssociatedProgram(const std::string& document) {
  NeedCom();
  wchar_t program[MAX_PATH] = L"";
  HINSTANCE result = ::FindExecutableW(W(document).c_str(), nullptr, program);
  // The buffer is only defined when the call succeeded.
  if (reinterpret_cast<INT_PTR>(result) <= 32) return "";
  return Narrow(program);
}

bool TWinLauncherHost::WindowsFolder(std::string& folder) {
  Application.Initialize();
  NeedCom();
  LPITEMIDLIST list = nullptr;
  if (FAILED(SHGetSpecialFolderLocation(Application.Handle, CSIDL_WINDOWS, &list)) || !list) return false;
  wchar_t path[MAX_PATH] = L"";
  BOOL ok = SHGetPathFromIDListW(list, path);
  CoTaskMemFree(list);
  if (!ok) return false;
  folder = Narrow(path);
  while (!folder.empty() && folder.back() == '\\') folder.pop_back();
  return true;
}

uint32_t TWinLauncherHost::StartAndWait(const std::string& commandLine, const TStartup& startup) {
  STARTUPINFOW info = {};
  info.cb = sizeof info;
  info.dwFlags = STARTF_USESHOWWINDOW;
  info.wShowWindow = static_cast<WORD>(startup.Show);
  PROCESS_INFORMATION process = {};
  // CreateProcessW may write into the command line.
  std::wstring command = W(commandLine);
  const TWideFolder folder(startup.Folder);
  if (!CreateProcessW(nullptr, &command[0], nullptr, nullptr, FALSE, CREATE_NEW_CONSOLE | NORMAL_PRIORITY_CLASS,
                      nullptr, folder.Get(), &info, &process))
    return NotStarted;
  WaitProcessingMessages(process.hProcess);
  DWORD exitCode = NotStarted;
  GetExitCodeProcess(process.hProcess, &exitCode);
  CloseHandle(process.hProcess);
  CloseHandle(process.hThread);
  return exitCode;
}

TStartResult TWinLauncherHost::StartWithVerb(const std::string& verb, const std::string& program,
                                             const std::string& parameters, bool wait, const TStartup& startup) {
  Application.Initialize();
  NeedCom();
  SHELLEXECUTEINFOW info = {};
  info.cbSize = sizeof info;
  // The process handle to wait on; and the start completed before this
  // returns, since a launcher that waits for nothing ends right after.
  info.fMask = SEE_MASK_NOCLOSEPROCESS | SEE_MASK_NOASYNC;
  // The application window owns the elevation prompt.
  info.hwnd = Application.Handle;
  const std::wstring wideVerb = W(verb), wideProgram = W(program), wideParameters = W(parameters);
  info.lpVerb = wideVerb.c_str();
  info.lpFile = wideProgram.c_str();
  info.lpParameters = wideParameters.c_str();
  const TWideFolder folder(startup.Folder);
  info.lpDirectory = folder.Get();
  info.nShow = startup.Show;
  if (!ShellExecuteExW(&info)) return GetLastError() == ERROR_CANCELLED ? srCancelled : srFailed;
  // No handle when the shell handed the start to a program already running.
  if (info.hProcess) {
    if (wait) WaitProcessingMessages(info.hProcess);
    CloseHandle(info.hProcess);
  }
  return srStarted;
}

bool TWinLauncherHost::GetEnvironment(const std::string& name, std::string& value) {
  const std::wstring wideName = W(name);
  std::vector<wchar_t> buffer(256);
  for (;;) {
    SetLastError(ERROR_SUCCESS);
    DWORD length = GetEnvironmentVariableW(wideName.c_str(), buffer.data(), static_cast<DWORD>(buffer.size()));
    // A variable set to "" has the length 0 as well, but no error.
    if (length == 0 && GetLastError() == ERROR_ENVVAR_NOT_FOUND) return false;
    if (length < buffer.size()) {
      value = Narrow(buffer.data(), length);
      return true;
    }
    buffer.resize(length);  // the size needed, with the terminating zero
  }
}

int TWinLauncherHost::ShowMessageBox(const std::string& text, const std::string& title, unsigned style) {
  // The application window owns the box when a launcher started from a
  // hotkey shows no window of its own.
  Application.Initialize();
  return ShowMessageBoxW(WidenText(text), WidenText(title), style);
}

std::string TWinLauncherHost::ApplicationTitle() { return Application.Title; }

void WaitProcessingMessages(HANDLE process) {
  for (;;) {
    // Once the application is quitting, its WM_QUIT stays queued: waiting on
    // the queue then would wake at once, again and again.
    DWORD result = Application.Terminated
                       ? WaitForSingleObject(process, INFINITE)
                       : MsgWaitForMultipleObjectsEx(1, &process, INFINITE, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
    if (result == WAIT_OBJECT_0 || result == WAIT_FAILED) {
      if (result == WAIT_FAILED) WaitForSingleObject(process, INFINITE);
      return;
    }
    Application.ProcessMessages();
  }
}
