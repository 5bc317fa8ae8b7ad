// The balloon tooltips of the configuration windows: one tracking balloon
// for help texts (F2), input errors and hints, which goes after its
// lifetime, on Esc, when its control is left or the program is left. Also
// the keys every configuration window shares: Esc, F1 and F2.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <string>
#include <vector>

#include "framework/Form.h"

// The balloon's icons.
enum : int { biInformation = 1, biWarning = 2, biError = 3 };

class TBalloons {
 public:
  TBalloons() = default;
  ~TBalloons();
  TBalloons(const TBalloons&) = delete;
  TBalloons& operator=(const TBalloons&) = delete;
  // The balloon belongs to this window: its timer and, by default, its tool.
  // It also says why a field refused a character that Windows-1252 lacks.
  void Attach(TForm& form);
  // The help texts of the resources, by Tag; index 0 is empty.
  void LoadHelpTexts();
  const std::vector<std::string>& HelpTexts() const { return helpTexts_; }

  // The window the one tool is registered with: hostProvider's answer, or
  // the form.
  std::function<HWND()> HostProvider;
  HWND Host();
  HWND Window() const { return window_; }
  // The control whose balloon goes when the control is left.
  HWND Owner() const { return owner_; }
  // Where the balloon points, in screen coordinates.
  RECT Anchor() const { return toolInfo_.rect; }
  // Showing: its lifetime runs.
  TTimer& Timer() { return *timer_; }

  void CreateBalloonWindow(HWND parent, bool subclass);
  void AddTool(HWND host, const std::string& text);
  void SetTitle(int icon, const std::string& title);
  // The balloon window and its one tool.
  void Make();
  // text nullptr: keep the last text. lifetime 0: until dismissed.
  void Show(HWND host, const char* text, UINT lifetime, POINT point, bool show);
  void Hide();

  // A validation balloon under the control, pointing at (16, height - 8).
  void ShowValidation(TControl& control, const std::string& title, const std::string& text, UINT lifetime);
  // A balloon about the control, pointing at anchor (its client
  // coordinates); owned: it goes when the control is left.
  void ShowAt(TControl& control, int icon, const std::string& title, const std::string& text, UINT lifetime,
              POINT anchor, bool owned);
  // The same with a text that Windows-1252 may lack.
  void ShowAt(TControl& control, int icon, const std::string& title, const std::u16string& text, UINT lifetime,
              POINT anchor, bool owned);
  // Why the field refused a typed character or a pasted text (refused):
  // under the field, as a forbidden character of a name is shown.
  void ShowForeignText(TControl& field, const std::u16string& refused);
  // A help balloon: the text wrapped, pointing at the help anchor.
  void ShowHelp(TControl& control, int icon, const std::string& title, const std::string& text, UINT lifetime,
                bool owned);

  // Leaving or entering a control hides the balloon it owns.
  void ControlLeft(TControl& control);
  // Handlers for a control table: the balloon goes when the control is left
  // (or entered).
  TProp ExitHides();
  TProp EnterHides();

  // Esc, F1 and F2 of the window.
  void KeyDown(TForm& window, WORD& key);
  // The balloon follows a moved window.
  void WindowMoved(int& lastX, int& lastY, LPARAM origin);

 private:
  TForm* form_ = nullptr;
  TTimer* timer_ = nullptr;
  HWND window_ = nullptr;
  HWND owner_ = nullptr;
  void ShowText(HWND host, const std::wstring* text, UINT lifetime, POINT point, bool show);
  TTTOOLINFOW toolInfo_ = {};
  std::wstring text_;
  std::vector<std::string> helpTexts_;
};
