// The program's one way to show a message box: application-modal over every
// window of the program, and in front even when the program shows no window.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "model/Platform.h"

// The message boxes of the platform services on Windows: it knows the
// window that owns a box when no window of ours can.
class TWinMessageBoxes : public IMessageBoxes {
 public:
  void SetFallbackOwner(HWND window) { fallbackOwner_ = window; }
  HWND Owner() const;
  int Show(const std::string& text, const std::string& caption, unsigned flags) override;
  int ShowWide(const std::u16string& text, const std::u16string& caption, UINT flags) const;

 private:
  HWND OwnerAmong(const std::vector<HWND>& usable) const;
  HWND fallbackOwner_ = nullptr;
};

// The one that UseNativePlatform gives the platform services; the functions
// below show their boxes through it even while a test has put a fake of its
// own into Platform.
TWinMessageBoxes& NativeMessageBoxes();

// The hidden application window: owner of the boxes shown while the program
// has no visible window (popup mode). Registered by the application when it
// makes that window; until then such boxes have no owner.
void SetMessageBoxFallbackOwner(HWND window);

// The window a box shown now belongs to: the active window of this thread,
// else its topmost visible enabled window; neither when it is hidden or a
// tool window (a menu, a tooltip). Else the fallback owner.
HWND MessageBoxOwner();

// A message box owned by MessageBoxOwner(). While it shows, every other
// visible enabled top-level window of this thread is disabled too. The box
// takes the foreground, and stays on top when its owner is hidden, so that
// it is never left unreachable behind other programs. Returns the IDxxx of
// the button pressed. The texts are Windows-1252 (the program's own); the
// box shows them as UTF-16, whatever the machine's code page.
int ShowMessageBoxA(const std::string& text, const std::string& caption, UINT flags);
// The same box for a text that Windows-1252 may lack (a refused name shown
// as it is).
int ShowMessageBoxW(const std::u16string& text, const std::u16string& caption, UINT flags);
