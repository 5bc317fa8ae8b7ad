// The program's one way to show a message box: application-modal over every
// window of the program, and in front even when the program shows no window.
#pragma once

#include <windows.h>

#include <string>

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
