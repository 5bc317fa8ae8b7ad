// A folder tree of the shell namespace on the common tree view, rooted at
// the desktop. Every node carries its folder's absolute item identifier
// list; a node's children are read when it is first expanded (folders only,
// hidden ones included) with the shell's names and icons.
#pragma once

#include <windows.h>
#include <commctrl.h>
#include <shlobj.h>

#include <functional>
#include <set>
#include <string>

class TShellListView;

class TShellTreeView {
 public:
  TShellTreeView() = default;
  ~TShellTreeView();
  TShellTreeView(const TShellTreeView&) = delete;
  TShellTreeView& operator=(const TShellTreeView&) = delete;

  // Creates the tree as a child window of parent and shows the desktop as its
  // only root node. The tree hears its own notifications by subclassing the
  // parent; the parent's window procedure still receives them afterwards.
  void Create(HWND parent, int id, const RECT& rect);
  HWND Handle() const { return handle_; }

  // When on, a folder's children are read again each time it is expanded,
  // so the tree follows changes on disk; when off they are read once.
  bool AutoRefresh = false;
  // The list that shows the content of the selected folder (may be null).
  TShellListView* ShellListView = nullptr;
  // The selection changed (after the list has followed it).
  std::function<void()> OnChange;

  HTREEITEM Root() const;
  HTREEITEM Selected() const;
  // Selects item; nullptr clears the selection.
  void SetSelected(HTREEITEM item);
  HTREEITEM TopItem() const;
  void SetTopItem(HTREEITEM item);
  // Expands item by one level, reading its children when needed.
  void Expand(HTREEITEM item);
  void Collapse(HTREEITEM item, bool recursive);
  bool IsExpanded(HTREEITEM item) const;
  void SetFocus();

  HTREEITEM Parent(HTREEITEM item) const;
  HTREEITEM FirstChild(HTREEITEM item) const;
  HTREEITEM NextSibling(HTREEITEM item) const;
  // The node after item in depth-first order over the nodes that exist
  // (children of folders never expanded do not).
  HTREEITEM NextNode(HTREEITEM item) const;
  // 0 for the root.
  int Level(HTREEITEM item) const;
  std::string Text(HTREEITEM item) const;
  // The folder's absolute item identifier list, owned by the node.
  LPCITEMIDLIST IdList(HTREEITEM item) const;
  int NodeCount() const;

  // The parsing name of the selected folder, empty when none is selected.
  std::string SelectedPath() const;

  // Suspends redrawing; calls nest.
  void BeginUpdate();
  void EndUpdate();

 private:
  struct TNode {
    ITEMIDLIST* idList = nullptr;
    bool populated = false;
  };

  static LRESULT CALLBACK ParentProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR id, DWORD_PTR self);
  bool HandleNotify(NMHDR* header);
  TNode* NodeOf(HTREEITEM item) const;
  HTREEITEM InsertNode(HTREEITEM parent, ITEMIDLIST* absolute, const std::wstring& name, bool hasChildren);
  void EnsureChildren(HTREEITEM item);
  void ReadChildren(HTREEITEM item);
  void RightClickSelect();
  void FreeNodes();

  HWND handle_ = nullptr;
  HWND parent_ = nullptr;
  int updateCount_ = 0;
  bool expanding_ = false;
  std::set<TNode*> nodes_;
};
