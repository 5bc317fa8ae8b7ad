// Driving a running TRV.EXE from the test process: starting it, finding its
// windows by process, answering its message boxes, reading its popup menus
// (inside the target, as menus of another process cannot be read from
// outside), and the records of the ArgRecorder stand-in program.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "tests/win/WinTestSupport.h"

// Bytes of a project file, lines joined with CR LF (texts are Windows-1252,
// as the sources' literals are).
std::string ProjectText(std::initializer_list<std::string> lines);

// A started TRV.EXE; killed by the destructor when it still runs, so that a
// failing test leaves no instance behind.
class TTrvProcess {
 public:
  // Starts exe (TRV.EXE by default) with the arguments (appended verbatim).
  explicit TTrvProcess(const std::string& arguments, const std::string& exe = TrvExePath());
  ~TTrvProcess();
  bool Started() const { return info_.hProcess != nullptr; }
  DWORD Id() const { return info_.dwProcessId; }
  HANDLE Handle() const { return info_.hProcess; }
  // The exit code once the process has ended within the time, else STILL_ACTIVE.
  DWORD WaitExit(DWORD milliseconds = 20000);

 private:
  PROCESS_INFORMATION info_ = {};
};

struct TMessageBox {
  HWND Window = nullptr;
  std::string Caption;
  std::string Text;
  std::vector<std::string> Buttons;  // captions of the buttons, in order
};
// The next message box of the process ("#32770"), with its texts.
TMessageBox WaitForMessageBox(DWORD processId, DWORD milliseconds = 15000);
// Presses the button (IDOK, IDCANCEL, IDYES, IDNO) and waits for the box to close.
bool PressButton(const TMessageBox& box, int id);

// Popup menus of another process, read inside it.
struct TRemoteMenuItem {
  std::string Caption;  // with its "&"
  bool Separator = false;
  bool Disabled = false;  // greyed, cannot be chosen
  HMENU Submenu = nullptr;
  UINT Id = 0;
  HBITMAP Bitmap = nullptr;  // the bitmap the item shows
};
class TRemoteProcess {
 public:
  explicit TRemoteProcess(DWORD processId);
  ~TRemoteProcess();
  // Calls a user32 function with up to five arguments inside the process
  // (on a thread of its own) and returns its result. The process was let
  // settle when this object was made (LetSettle): one object for each burst
  // of calls, made after the test's own input.
  DWORD CallUser32(const char* function, std::vector<DWORD> arguments);
  // Remote scratch memory for texts and structures.
  DWORD Scratch() const { return scratch_ + 64; }
  std::string ReadScratch(size_t size);
  void WriteScratch(const void* data, size_t size);
  bool Ok() const { return process_ && code_; }

 private:
  HANDLE process_ = nullptr;
  DWORD code_ = 0, scratch_ = 0;
  DWORD user32_ = 0;
};
std::vector<TRemoteMenuItem> ReadRemoteMenu(TRemoteProcess& remote, HMENU menu);
// The menu shown by a "#32768" popup window.
HMENU MenuOfPopupWindow(HWND popup);
// The menu's items as text: each caption ("{...}" when disabled), "-" for
// a separator, "[...]" after an item with a submenu, holding its items.
std::string DescribeMenu(TRemoteProcess& remote, HMENU menu);
// Waits until the process shows this many menu windows (menu and submenus).
bool WaitForPopupCount(DWORD processId, size_t count);

// Keys to the thread that runs the menu (plain keys work posted).
void PostKey(HWND window, UINT key);
void PostChar(HWND window, char c);

// The records of ArgRecorder copies, read from "<name>.log" beside them.
struct TRecord {
  unsigned long long Start = 0, End = 0;
  std::string CommandLine, Folder;
  std::vector<std::string> Args;
  int Show = -1;  // -1: the starter asked for no show state
};
std::vector<TRecord> ReadRecords(const std::string& logFile);
// Waits until the log holds at least count records.
std::vector<TRecord> WaitForRecords(const std::string& logFile, size_t count, DWORD milliseconds = 15000);
// ArgRecorder, built beside the tests.
std::string ArgRecorderPath();
// Copies ArgRecorder to path (creating its folders); returns the log file path.
std::string PlaceRecorder(const std::string& path);

// Project file pieces for the tests.
std::string Quoted(const std::string& s);
// A command line of kind 0 as the project file holds it.
std::string Command(const std::string& commandLine, const char* wait);
// The arguments of all records, in order.
std::vector<std::string> Args(const std::vector<TRecord>& records);
