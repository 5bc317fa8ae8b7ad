// Helpers for tests that run under Windows (Wine): paths beside the test
// executable, starting TRV.EXE, finding a process's windows, pictures of
// windows as they show on the screen.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <initializer_list>
#include <string>
#include <vector>

// The folder of the running test executable, with a trailing backslash.
std::string ExeFolder();

// TRV.EXE, built into the same folder as the tests.
std::string TrvExePath();
// A balloon's text as the user reads it: without the no-break space the
// program ends it with (Wine would wrap its last character away).
std::string BalloonText(HWND balloon);
// A window's text as UTF-16, whatever the code pages; also across processes.
std::u16string WideText(HWND wnd);

// A fresh, empty folder for one test, removed by the destructor.
class TTempFolder {
 public:
  TTempFolder();
  ~TTempFolder();
  const std::string& Path() const { return path_; }  // with trailing backslash
  std::string operator/(const std::string& name) const { return path_ + name; }

 private:
  std::string path_;
};

// A folder (with its trailing backslash) and all it holds, read-only files
// too.
void RemoveTree(const std::string& folder);

std::string ReadFileBytes(const std::string& path);
void WriteFileBytes(const std::string& path, const std::string& bytes);
int CountFiles(const std::string& folder);
// The names FindFirstFile finds for pattern ("folder\\*", "TRV-Update-*"),
// in its order: of folders (without "." and "..") or of files.
std::vector<std::string> FoundNames(const std::string& pattern, bool folders);

// Whether condition came true within the time, asked every 15 ms.
bool WaitUntil(const std::function<bool()>& condition, int timeoutMs = 10000);

// A visible top-level window of the process with this class (and caption,
// when one is given), waited for with bounded retries; nullptr on time-out.
HWND WaitForWindow(DWORD processId, const char* className, const char* caption = nullptr,
                   DWORD milliseconds = 15000);
std::vector<HWND> WindowsOf(DWORD processId, const char* className);
// Whether the window or a window inside it still waits for its WM_PAINT
// (asked of the window server, so for windows of any process). A hidden
// window gets no WM_PAINT: what it has to paint does not count.
bool LeftToPaint(HWND window);
// Waits until the process's windows are painted and their thread is back in
// its wait. Wine makes a thread for another process (CreateRemoteThread)
// inside a signal handler when none of that process's threads waits: one
// stopped in the middle of malloc (while painting, say) then deadlocks, or
// the heap is corrupted and the process aborts. Before a remote thread, so
// that Wine hands the request to a waiting thread instead.
void LetSettle(DWORD processId);
// The top-level windows, visible or not, that keep says yes to, given each
// with the id of the process that owns it; in the order EnumWindows gives.
std::vector<HWND> TopWindows(const std::function<bool(HWND window, DWORD processId)>& keep);
// Waits until the window is gone.
bool WaitWindowGone(HWND window, DWORD milliseconds = 15000);
std::string WindowText(HWND window);

// Input as a user's (SendInput): it goes to the foreground window. A left
// click at a point of the window's client area; keys pressed in order and
// released in reverse (a chord such as Ctrl+Z).
void ClickAt(HWND wnd, int x, int y, int clicks = 1);
void PressKeys(std::initializer_list<WORD> keys);
// A drag with the left button from one point to another of the window's
// client area, moving in small steps as a hand would.
void DragMouse(HWND wnd, POINT from, POINT to);

// What the screen shows of a window's rectangle (its frame included), as a
// user sees it: pixels 0x00RRGGBB, rows from the top.
struct TScreenPicture {
  RECT Rect = {0, 0, 0, 0};  // on the screen
  std::vector<uint32_t> Pixels;
  bool Empty() const { return Pixels.empty(); }
  int Width() const { return Rect.right - Rect.left; }
  // The colour at a point of the screen inside Rect (CLR_INVALID outside).
  COLORREF At(POINT screen) const;
};
TScreenPicture CaptureWindow(HWND window);
// The smallest rectangle, relative to the pictures' top left corner, that
// holds every pixel outside ignore in which the two pictures differ; empty
// when none does. Pictures of different rectangles differ everywhere.
RECT Difference(const TScreenPicture& a, const TScreenPicture& b, const RECT& ignore = RECT{0, 0, 0, 0});

// The window's picture once its painting has ended: nothing of the window
// is left to paint, and no pixel outside ignore (relative to the window's
// top left corner: an animation's area) has changed for quietMs. Painting
// goes on after the event that caused it, for as long as the painting
// process is kept from the processor, so one capture right after an action
// may show half a page. Between captures `pause` runs (a test whose windows
// are its own handles their messages there); empty when the picture does
// not settle within timeoutMs.
TScreenPicture SettledPicture(HWND window, const RECT& ignore = RECT{0, 0, 0, 0},
                              const std::function<void()>& pause = nullptr, int quietMs = 250,
                              int timeoutMs = 10000);
