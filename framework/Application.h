// The application object: title, help file, the hidden application window
// that owns popups (and the message boxes shown while no other window is),
// the message loop, and the one place where an exception escaping an event
// handler is shown to the user.
#pragma once

#include <windows.h>

#include <exception>
#include <functional>
#include <string>

class TApplication {
 public:
  // Taskbar name and the caption of the application's message boxes.
  std::string Title = "TRV";
  // Bare file name of the help file (opened beside the executable).
  std::string HelpFile;
  // Hidden top-level window owned by the application; owner of popup menus.
  HWND Handle = nullptr;
  // Closing this window ends Run().
  HWND MainWindow = nullptr;
  bool Terminated = false;
  // Raised when the application loses activation to another program, and
  // when it gets it back.
  std::function<void()> OnDeactivate;
  std::function<void()> OnActivate;
  // Reports the loss of activation (from the application window, or from
  // the main window while there is no application window).
  void Deactivated();
  void Activated();
  // Sees every message before it is dispatched; true: the message is done
  // (the window framework's key preview).
  std::function<bool(MSG&)> PreviewMessage;

  void Initialize();
  // Processes messages until Terminate() or the main window is destroyed.
  void Run();
  // Handles all pending messages once, then returns.
  void ProcessMessages();
  void Terminate();
  // Waits for one message and handles it; false when the loop should end
  // (WM_QUIT, which is posted again for the outer loop).
  bool HandleNextMessage();

  // The help command: opens the help file's page (the HTML page of the help
  // file's base name, beside the executable) in the user's browser; a
  // missing page is reported in a message box.
  void HelpContents();
  // The page HelpContents opens.
  std::string HelpPagePath() const;

  // The application's error box: the message (with a final period added,
  // as the platform's own error display does), the title, the error icon.
  // A text Windows-1252 refused (EForeignText) shows as it is.
  void ShowException(const std::exception& e);
  void ShowErrorText(const std::string& message);
  void ShowErrorText(const std::u16string& message);

  // Runs handler; an exception it raises is shown in the error box instead
  // of escaping into Windows. Returns false when one was raised.
  bool Guard(const std::function<void()>& handler);

  // The folder of the running executable, with a trailing backslash.
  static std::string ExeFolder();

 private:
  static LRESULT CALLBACK WindowProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam);
  bool HandleMessage(MSG& msg);
};

extern TApplication Application;

// Text of an exception as the error box shows it.
std::string ExceptionText(const std::exception& e);

// The shell's calls (opening files and folders, links, the folder browser,
// the file dialogs) need COM on the window's thread. It is initialised right
// before the first of them or once the configuration window has been
// painted, so that neither a popup that starts nothing nor the window's
// start pays for ole32; it is uninitialised when the program ends, on the
// thread that initialised it. Call it on the windows' thread only.
void NeedCom();
