#include "framework/Application.h"

#include <objbase.h>
#include <shellapi.h>

#include "model/Errors.h"
#include "model/Files_win.h"
#include "model/MessageBox_win.h"
#include "model/Wide_win.h"

TApplication Application;

void NeedCom() {
  static struct TComApartment {
    const bool Initialized = SUCCEEDED(CoInitialize(nullptr));
    ~TComApartment() {
      if (Initialized) CoUninitialize();
    }
  } apartment;
}

namespace {
const wchar_t* const AppWindowClass = L"TarvoApplication";
// Posted to the application window when the program that was to show the
// help page gave up.
const UINT WM_HELPPAGEFAILED = WM_APP + 1;

void ShowHelpPageFailed() {
  ShowMessageBoxA("Die Hilfedatei \"" + Application.HelpPagePath() + "\" konnte nicht geöffnet werden.",
                  Application.Title, MB_OK | MB_ICONERROR);
}

// The opener of the page (Wine's winebrowser when no browser is there) may
// fail only after it has started: it ends with an error code then, while a
// browser that shows the page keeps running or ends with 0.
DWORD WINAPI WatchHelpOpener(void* process) {
  DWORD code = 0;
  if (WaitForSingleObject(process, 60000) == WAIT_OBJECT_0 && GetExitCodeProcess(process, &code) && code != 0 &&
      IsWindow(Application.Handle))
    PostMessageW(Application.Handle, WM_HELPPAGEFAILED, 0, 0);
  CloseHandle(process);
  return 0;
}
}  // namespace

std::string ExceptionText(const std::exception& e) {
  std::string message = e.what();
  if (message.empty()) message = "Unbekannter Fehler";
  unsigned char last = static_cast<unsigned char>(message.back());
  if (last > '.') message += '.';
  return message;
}

void TApplication::Initialize() {
  if (Handle) return;
  HINSTANCE instance = GetModuleHandleW(nullptr);
  WNDCLASSW wc = {};
  wc.lpfnWndProc = WindowProc;
  wc.hInstance = instance;
  wc.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(1));
  wc.lpszClassName = AppWindowClass;
  RegisterClassW(&wc);
  // Zero-sized and never shown: it exists to own popups and to learn of
  // activation changes.
  Handle = CreateWindowExW(WS_EX_TOOLWINDOW, AppWindowClass, W(Title).c_str(), WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                           instance, nullptr);
  SetMessageBoxFallbackOwner(Handle);
}

void TApplication::Deactivated() {
  if (OnDeactivate) Guard(OnDeactivate);
}

void TApplication::Activated() {
  if (OnActivate) Guard(OnActivate);
}

LRESULT CALLBACK TApplication::WindowProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_ACTIVATEAPP) {
    if (wParam)
      Application.Activated();
    else
      Application.Deactivated();
    return 0;
  }
  if (msg == WM_HELPPAGEFAILED) {
    Application.Guard(ShowHelpPageFailed);
    return 0;
  }
  return DefWindowProcW(wnd, msg, wParam, lParam);
}

bool TApplication::HandleMessage(MSG& msg) {
  if (msg.message == WM_QUIT) {
    Terminated = true;
    return false;
  }
  if (PreviewMessage && PreviewMessage(msg)) return true;
  HWND dialog = GetAncestor(msg.hwnd, GA_ROOT);
  // Dialog-style keyboard navigation (Tab, arrows, default buttons) for any
  // window that asks for it through WS_EX_CONTROLPARENT.
  if (dialog && (GetWindowLongW(dialog, GWL_EXSTYLE) & WS_EX_CONTROLPARENT) && IsDialogMessageW(dialog, &msg))
    return true;
  TranslateMessage(&msg);
  DispatchMessageW(&msg);
  return true;
}

void TApplication::Run() {
  Terminated = false;
  MSG msg;
  while (!Terminated) {
    if (MainWindow && !IsWindow(MainWindow)) break;
    BOOL got = GetMessageW(&msg, nullptr, 0, 0);
    if (got == 0 || got == -1) break;
    HandleMessage(msg);
  }
}

void TApplication::ProcessMessages() {
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (!HandleMessage(msg)) {
      PostQuitMessage(static_cast<int>(msg.wParam));
      break;
    }
  }
}

bool TApplication::HandleNextMessage() {
  MSG msg;
  BOOL got = GetMessageW(&msg, nullptr, 0, 0);
  if (got == 0 || got == -1) {
    Terminated = true;
    if (got == 0) PostQuitMessage(static_cast<int>(msg.wParam));
    return false;
  }
  HandleMessage(msg);
  return true;
}

std::string TApplication::HelpPagePath() const {
  std::string name = HelpFile;
  size_t dot = name.find_last_of('.');
  if (dot != std::string::npos) name.erase(dot);
  return ExeFolder() + name + ".HTM";
}

void TApplication::HelpContents() {
  // No current Windows shows WinHelp files: the help is an HTML page.
  const std::string page = HelpPagePath();
  const std::wstring widePage = W(page);
  if (GetFileAttributesW(widePage.c_str()) == INVALID_FILE_ATTRIBUTES) {
    ShowMessageBoxA("Die Hilfedatei \"" + page + "\" wurde nicht gefunden.", Title, MB_OK | MB_ICONERROR);
    return;
  }
  Initialize();
  NeedCom();
  SHELLEXECUTEINFOW info = {};
  info.cbSize = sizeof info;
  info.fMask = SEE_MASK_NOCLOSEPROCESS | SEE_MASK_FLAG_NO_UI;
  info.hwnd = MessageBoxOwner();
  info.lpVerb = L"open";
  info.lpFile = widePage.c_str();
  info.nShow = SW_SHOWNORMAL;
  if (!ShellExecuteExW(&info)) {
    ShowHelpPageFailed();
    return;
  }
  if (!info.hProcess) return;
  HANDLE watcher = CreateThread(nullptr, 0, WatchHelpOpener, info.hProcess, 0, nullptr);
  if (watcher)
    CloseHandle(watcher);
  else
    CloseHandle(info.hProcess);
}

void TApplication::Terminate() {
  Terminated = true;
  PostQuitMessage(0);
}

void TApplication::ShowErrorText(const std::string& message) {
  ShowMessageBoxA(message, Title, MB_OK | MB_ICONERROR);
}

void TApplication::ShowErrorText(const std::u16string& message) {
  ShowMessageBoxW(message, WidenText(Title), MB_OK | MB_ICONERROR);
}

void TApplication::ShowException(const std::exception& e) {
  // A name that Windows-1252 lacks is shown as it is, not in codes.
  if (const auto* foreign = dynamic_cast<const EForeignText*>(&e))
    ShowErrorText(foreign->WideMessage());
  else
    ShowErrorText(ExceptionText(e));
}

bool TApplication::Guard(const std::function<void()>& handler) {
  try {
    handler();
    return true;
  } catch (const std::exception& e) {
    ShowException(e);
  } catch (...) {
    ShowErrorText("Unbekannter Fehler.");
  }
  return false;
}

std::string TApplication::ExeFolder() { return ProgramFolder(); }
