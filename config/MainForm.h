// TForm1, the configuration window: header band and the notebook with the
// start page, the editor page and the shortcut page, which it assembles;
// the balloons every configuration window uses, the keys, the "&Info" entry
// of the system menu, files dropped from the shell and the update reminder.
#pragma once

#include <windows.h>

#include <memory>

#include "config/EditorPage.h"
#include "config/StartPage_win.h"
#include "controls/Balloons.h"
#include "framework/Form.h"
#include "model/Project.h"
#include "shortcut/ShortcutPage.h"
#include "update/UpdateFile.h"

// The system menu entry that opens the about box.
constexpr UINT InfoSystemCommand = 0xF200;

class TForm1 : public TForm {
 public:
  TForm1();
  void Create();

  // The project the editors show and change.
  TProject Project;
  TBalloons Balloons;
  // The update reminder and Ctrl+U.
  TVQUpdateFile VQUpdateFile;

  TStartPage& StartPage() { return startPage_; }
  TEditorPage& EditorPage() { return editorPage_; }
  TShortcutPage& ShortcutPage() { return shortcutPage_; }

  void ShowPage(int index);

 protected:
  void FormCreate() override;
  void FormShow() override;
  void FormPaint(HDC dc) override;
  void FormCloseQuery(bool& canClose) override;
  void FormKeyDown(WORD& key) override;
  void FormDestroy() override;

 private:
  void OptionChosen(int option);
  void ShowAboutBox();
  void SystemCommand(TMessage& message);
  void FilesDropped(TMessage& message);

  TStartPage startPage_;
  TEditorPage editorPage_;
  TShortcutPage shortcutPage_;
  TConfigPage* const pages_[3];
  // Work that waits until the window is on screen.
  TTimer* timerReady_ = nullptr;
  int lastX_ = 0, lastY_ = 0;

  TBound<TBevel> header_;
  TBound<TImage> appIcon_, logo_;
  TBound<TNotebook> notebook_;
};
