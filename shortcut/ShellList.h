// The content of one shell folder on the common list view (list style),
// sorted in the shell's order, with the shell's names and icons. An owner's
// callback decides which items to show; names can be edited in place, which
// renames the object through the shell.
#pragma once

#include <windows.h>
#include <commctrl.h>
#include <shlobj.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

// What the list tells its owner about an item it is about to show.
struct TShellListItem {
  std::string Name;      // the shell's name of the item in its folder
  std::string PathName;  // its parsing name (file-system path for files)
  bool IsFolder = false;
};

class TShellListView {
 public:
  TShellListView() = default;
  ~TShellListView();
  TShellListView(const TShellListView&) = delete;
  TShellListView& operator=(const TShellListView&) = delete;

  // Creates the list as a child window of parent (subclassed, like the tree,
  // to hear the list's notifications).
  void Create(HWND parent, int id, const RECT& rect);
  HWND Handle() const { return handle_; }

  // Asked for every item of the folder; false leaves it out. Unset: all.
  std::function<bool(const TShellListItem&)> OnAddFolder;
  // The selection in the list changed.
  std::function<void()> OnChange;
  // Whether hidden items are listed at all.
  bool IncludeHidden = false;

  // Shows the content of the folder with this absolute list (copied); null
  // empties the list.
  void SetFolder(LPCITEMIDLIST absolute);
  // Reads the current folder again.
  void Refresh();

  int Count() const;
  TShellListItem Item(int index) const;
  // Renames an item through the shell; false when the shell refuses.
  bool Rename(int index, const std::string& newName);

 private:
  struct TEntry {
    ITEMIDLIST* relative = nullptr;
    TShellListItem info;
  };

  static LRESULT CALLBACK ParentProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR id, DWORD_PTR self);
  bool HandleNotify(NMHDR* header, LRESULT& result);
  void Clear();
  TEntry* EntryOf(int index) const;

  HWND handle_ = nullptr;
  HWND parent_ = nullptr;
  ITEMIDLIST* folderIdList_ = nullptr;
  std::vector<std::unique_ptr<TEntry>> entries_;
};
