// Drives a running TRV.EXE in configuration mode from the test process:
// starts it, finds its windows by the process that owns them, waits with
// bounded retries, drops files onto it.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <functional>
#include <string>
#include <vector>

// WaitUntil and the window searches.
#include "tests/win/WinTestSupport.h"

// A TRV.EXE started without arguments; killed by the destructor if it still
// runs, so that no instance outlives its test.
class TConfigProcess {
 public:
  // firstWindow: the class of the window the start waits for (nullptr:
  // none).
  explicit TConfigProcess(const std::string& exePath = std::string(), const std::string& arguments = std::string(),
                          const char* firstWindow = "TForm1");
  ~TConfigProcess();
  TConfigProcess(const TConfigProcess&) = delete;
  TConfigProcess& operator=(const TConfigProcess&) = delete;

  DWORD Pid() const { return info_.dwProcessId; }
  HANDLE Process() const { return info_.hProcess; }
  // The configuration window, once visible (null when it did not appear).
  HWND MainWindow() const { return main_; }
  bool WaitForExit(int timeoutMs, DWORD* exitCode = nullptr);

  // A visible top-level window of this process with the given class
  // ("#32770" for message boxes), waiting for it up to timeoutMs.
  HWND WaitForWindow(const std::string& className, int timeoutMs = 10000) const;
  HWND FindWindowOfClass(const std::string& className, bool visibleOnly = true) const;

  // The window with the keyboard focus in the process's GUI thread.
  HWND Focus() const;
  // Posts a key to the focused window (as the keyboard would deliver it).
  void PostKey(WORD key) const;

  // Posts WM_DROPFILES with these paths to the window (null: the main
  // window), dropped at the point of its client area; the DROPFILES block is
  // allocated in the target process (its DragFinish frees it there).
  void DropFiles(const std::vector<std::string>& paths, HWND target = nullptr, POINT at = {0, 0}) const;
  void DropFiles(const std::vector<std::wstring>& paths, HWND target = nullptr, POINT at = {0, 0}) const;

 private:
  PROCESS_INFORMATION info_ = {};
  HWND main_ = nullptr;
};

std::string ClassOf(HWND wnd);
std::string TextOf(HWND wnd);  // read with WM_GETTEXT, works across processes
SIZE ClientSize(HWND wnd);
RECT RectInParent(HWND wnd);

// Direct children of parent with the given class, in z-order.
std::vector<HWND> ChildrenOfClass(HWND parent, const std::string& className);
// Any descendant of parent with the given class and text.
HWND FindDescendant(HWND parent, const std::string& className, const std::string& text);

// The configuration window's visible page ("Startseite", "Erstellen",
// "Verknüpfung").
std::string VisiblePage(HWND mainWindow);
// The option buttons of the start page, top to bottom.
std::vector<HWND> OptionButtons(HWND mainWindow);
// The button of a page that goes back to the start page (Button_Close,
// Button_Back).
HWND PageButton(HWND mainWindow, const std::string& page);

// A control of one of TRV.EXE's forms, asked through the form's window
// (labels and pictures have no window of their own): its place in the
// window it lies on, its Tag, its caption.
RECT ControlRect(HWND form, const std::string& name);
int ControlTag(HWND form, const std::string& name);
std::string ControlCaption(HWND form, const std::string& name);

// The balloon tooltip of the process, if one is showing.
HWND VisibleBalloon(const TConfigProcess& trv);

// A message box's text (its static control with the message).
std::string MessageBoxText(HWND box);
// The same as the box shows it, whatever Windows-1252 lacks.
std::wstring MessageBoxTextW(HWND box);

// Writes a shell link to target with the given arguments.
void WriteLink(const std::string& linkPath, const std::string& target, const std::string& arguments);

// A control's own window, asked from its form (its page is made first).
HWND ControlHandle(HWND form, const std::string& name);

// The nodes of a tree view in another process, depth first, with their
// captions (read inside that process).
struct TRemoteNode {
  HTREEITEM Item;
  int Depth;
  std::string Text;
};
std::vector<TRemoteNode> RemoteTreeNodes(HWND tree);
// A node's caption in a tree view of another process (where a click takes
// the node), in the tree's client coordinates.
RECT RemoteTreeItemRect(HWND tree, HTREEITEM item);
// The tree's shape as "A(B(C),D),E": children in brackets after their parent.
std::string RemoteTreeShape(HWND tree);

// A file dialog of the program (open or save as): the file name typed into
// its name field and confirmed. True when the dialog had a name field.
bool ChooseFileInDialog(HWND dialog, const std::string& path);

// A user's choice in a drop-down list: the item selected and the change
// reported to the list's parent.
void ChooseComboItem(HWND combo, int index);
// Selects (and focuses) a row of a list view in another process.
void SelectListRow(HWND list, int row);
// Types the text into an edit field, key by key, after emptying it; true
// once the field shows it.
bool TypeInto(HWND edit, const std::string& text);
