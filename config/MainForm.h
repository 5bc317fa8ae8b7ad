// TForm1, the configuration window: header band, the notebook with the start
// page, the editor page and the shortcut page, the balloon tooltips every
// configuration window uses, the context help keys, the "&Info" entry of the
// system menu and files dropped from the shell.
#pragma once

#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>

#include <string>
#include <vector>

#include "framework/Form.h"

// The system menu entry that opens the about box.
constexpr UINT InfoSystemCommand = 0xF200;

// The balloon's icons.
enum : int { biInformation = 1, biWarning = 2, biError = 3 };

// Process-wide state of the balloon tooltips and the start page.
extern HWND BalloonWindow;
extern TTTOOLINFOA BalloonToolInfo;
extern HWND BalloonOwner;
extern std::vector<std::string> HelpTexts;  // by Tag; index 0 is empty
extern int AnimationSequenceStep;
extern bool AnimationRunning;

class TForm1 : public TForm {
 public:
  TForm1();
  void Create();

  TTimer* Timer_Balloon = nullptr;
  // Work that waits until the window is on screen.
  TTimer* Timer_Ready = nullptr;

  // The balloon facility, shared with the other configuration windows.
  void CreateBalloonWindow(HWND parent, bool subclass);
  void AddBalloonTool(HWND host, const std::string& text);
  void SetBalloonTitle(int icon, const std::string& title);
  // text nullptr: keep the last text. lifetime 0: until dismissed.
  void ShowBalloon(HWND host, const char* text, UINT lifetime, POINT point, bool show);
  // The balloon window and its one tool.
  void MakeBalloonWindow();
  void Timer_BalloonTimer();
  // The window the one balloon tool is registered with.
  HWND BalloonHost();

  // Esc, F1 and F2 of this window and of the command-line dialog.
  void HelpKeyDown(TForm& window, WORD& key);
  // Balloon position follows a moved window (this one or the dialog).
  void WindowMoved(int& lastX, int& lastY, LPARAM origin);

  void ShowPage(int index);
  void Button_Option3Click(TControl& sender);

  // Save and save as, the "&Ja" of the save-before prompt.
  void Button_Save1Click();
  void Button_Save2Click();

 protected:
  void FormCreate() override;
  void FormShow() override;
  void FormPaint(HDC dc) override;
  void FormCloseQuery(bool& canClose) override;
  void FormKeyDown(WORD& key) override;

 private:
  void Button_Option1Click(TControl& sender);
  void Button_Option2Click(TControl& sender);
  void Button_Option4Click(TControl& sender);
  void Button_OptionMouseDown(TControl& sender, TMouseButton button, int x, int y);
  void Button_OptionMouseUp(TControl& sender, TMouseButton button, int x, int y);
  // The option's picture: centred on its button, 2 pixels lower right while
  // the left button holds the option pressed.
  void PlaceOptionImage(int option, bool pressed);
  void Ctrl_ToolTipExit(TControl& sender);
  void Button_CloseClick(TControl& sender);
  void Button_BackClick(TControl& sender);
  void ApplicationDeactivate();
  void SystemCommand(TMessage& message);
  void FilesDropped(TMessage& message);
  void LoadHelpTexts();
  void TakeSequenceStep(int option);

  std::string balloonText_;
  std::string saveFileName_;
  int lastX_ = 0, lastY_ = 0;
};

extern TForm1* Form1;

// The position of the command-line dialog at its last move.
extern int LastDialogX, LastDialogY;
