// A push button of the framework's own class, drawn with the system's look
// (the theme's where one is active), that behaves as the system's: pressed
// by the left button or Space, clicked on release inside it, BM_CLICK and
// BM_GETSTATE, BN_CLICKED to its parent, a button to the dialog keys and to
// accessibility tools.
//
// Any control of the system's button class loads the Common Controls, which
// under Wine costs a fifth of the configuration window's start. The start
// page holds nothing else of theirs, so its option buttons are these, and
// the window shows before that DLL loads.
#pragma once

#include <windows.h>
#include <uxtheme.h>

#include "framework/Controls.h"

class TDrawnButton : public TControl {
 public:
  ~TDrawnButton() override;
  const char* WindowClass() const override { return "TDrawnButton"; }
  bool OwnClass() const override { return true; }
  void Paint(HDC dc) override;
  bool Message(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
  void Command(int code) override;
  bool Pressed() const { return pressed_; }

 private:
  void SetPressed(bool pressed);
  // BN_CLICKED to the parent, which runs OnClick as for a system button.
  void Click();
  void CloseTheme();
  bool pressed_ = false;
  // What holds it down: the left button (captured) or Space.
  bool byMouse_ = false, bySpace_ = false;
  HTHEME theme_ = nullptr;
  bool themeOpened_ = false;
};
