#include "shortcut/ShellTree.h"


#include <algorithm>
#include <vector>

#include "model/Wide_win.h"
#include "shortcut/ComPtr.h"
#include "shortcut/ShellList.h"
#include "shortcut/ShellNamespace.h"

TShellTreeView::~TShellTreeView() {
  ShellListView = nullptr;
  OnChange = nullptr;
  if (handle_ && IsWindow(handle_)) DestroyWindow(handle_);
  if (parent_) RemoveWindowSubclass(parent_, ParentProc, reinterpret_cast<UINT_PTR>(this));
  FreeNodes();
}

void TShellTreeView::Create(HWND parent, int id, const RECT& rect) {
  parent_ = parent;
  // No lines at the root level; the selection stays visible without focus.
  handle_ = CreateWindowExW(WS_EX_CLIENTEDGE, WC_TREEVIEWW, L"",
                            WS_CHILD | WS_VISIBLE | WS_TABSTOP | TVS_HASBUTTONS | TVS_HASLINES | TVS_SHOWSELALWAYS,
                            rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top, parent,
                            reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleW(nullptr), nullptr);
  SendMessageW(handle_, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), FALSE);
  TreeView_SetImageList(handle_, SystemImageList(true), TVSIL_NORMAL);
  SetWindowSubclass(parent, ParentProc, reinterpret_cast<UINT_PTR>(this), reinterpret_cast<DWORD_PTR>(this));

  TComPtr<IShellFolder> desktop;
  *desktop.Out() = DesktopFolder();
  ITEMIDLIST* root = DesktopIdList().release();
  InsertNode(TVI_ROOT, root, DisplayNameOfW(desktop.Get(), root, SHGDN_NORMAL), true);
}

LRESULT CALLBACK TShellTreeView::ParentProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                            DWORD_PTR self) {
  auto* tree = reinterpret_cast<TShellTreeView*>(self);
  if (msg == WM_NOTIFY) {
    auto* header = reinterpret_cast<NMHDR*>(lParam);
    if (header->hwndFrom == tree->handle_ && tree->HandleNotify(header)) return 0;
  }
  return DefSubclassProc(wnd, msg, wParam, lParam);
}

// Returns true when the notification is fully handled here.
bool TShellTreeView::HandleNotify(NMHDR* header) {
  switch (header->code) {
    case TVN_ITEMEXPANDINGA:
    case TVN_ITEMEXPANDINGW: {
      auto* info = reinterpret_cast<NMTREEVIEWA*>(header);
      if ((info->action & TVE_EXPAND) && !expanding_) EnsureChildren(info->itemNew.hItem);
      break;
    }
    case TVN_DELETEITEMA:
    case TVN_DELETEITEMW: {
      auto* node = reinterpret_cast<TNode*>(reinterpret_cast<NMTREEVIEWA*>(header)->itemOld.lParam);
      if (nodes_.erase(node)) {
        CoTaskMemFree(node->idList);
        delete node;
      }
      break;
    }
    case TVN_SELCHANGEDA:
    case TVN_SELCHANGEDW:
      if (ShellListView) ShellListView->SetFolder(IdList(Selected()));
      if (OnChange) OnChange();
      break;
    case NM_RCLICK:
      RightClickSelect();
      break;
  }
  return false;
}

void TShellTreeView::RightClickSelect() {
  TVHITTESTINFO hit = {};
  GetCursorPos(&hit.pt);
  ScreenToClient(handle_, &hit.pt);
  HTREEITEM item = TreeView_HitTest(handle_, &hit);
  if (item && (hit.flags & TVHT_ONITEM)) SetSelected(item);
}

TShellTreeView::TNode* TShellTreeView::NodeOf(HTREEITEM item) const {
  if (!item) return nullptr;
  TVITEMW tvi = {};
  tvi.mask = TVIF_PARAM | TVIF_HANDLE;
  tvi.hItem = item;
  if (!SendMessageW(handle_, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&tvi))) return nullptr;
  return reinterpret_cast<TNode*>(tvi.lParam);
}

HTREEITEM TShellTreeView::InsertNode(HTREEITEM parent, ITEMIDLIST* absolute, const std::wstring& name,
                                     bool hasChildren) {
  auto* node = new TNode;
  node->idList = absolute;
  nodes_.insert(node);
  TVINSERTSTRUCTW insert = {};
  insert.hParent = parent;
  insert.hInsertAfter = TVI_LAST;
  insert.item.mask = TVIF_TEXT | TVIF_PARAM | TVIF_IMAGE | TVIF_SELECTEDIMAGE | TVIF_CHILDREN;
  insert.item.pszText = const_cast<wchar_t*>(name.c_str());
  insert.item.lParam = reinterpret_cast<LPARAM>(node);
  insert.item.iImage = SystemIconIndex(absolute, false);
  insert.item.iSelectedImage = SystemIconIndex(absolute, true);
  insert.item.cChildren = hasChildren ? 1 : 0;
  HTREEITEM item = reinterpret_cast<HTREEITEM>(SendMessageW(handle_, TVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&insert)));
  if (!item) {
    nodes_.erase(node);
    CoTaskMemFree(node->idList);
    delete node;
  }
  return item;
}

void TShellTreeView::EnsureChildren(HTREEITEM item) {
  TNode* node = NodeOf(item);
  if (!node) return;
  if (node->populated && !AutoRefresh) return;
  BeginUpdate();
  while (HTREEITEM child = FirstChild(item)) TreeView_DeleteItem(handle_, child);
  ReadChildren(item);
  EndUpdate();
}

// Reads the subfolders of a node in the shell's order. A folder that cannot
// be read (a drive without medium, say) simply has no children.
void TShellTreeView::ReadChildren(HTREEITEM item) {
  TNode* node = NodeOf(item);
  node->populated = true;
  TComPtr<IShellFolder> folder;
  *folder.Out() = BindToFolder(node->idList);
  TComPtr<IEnumIDList> items;
  std::vector<ITEMIDLIST*> children;
  if (folder && folder->EnumObjects(handle_, SHCONTF_FOLDERS | SHCONTF_INCLUDEHIDDEN, items.Out()) == S_OK && items) {
    ITEMIDLIST* child = nullptr;
    while (items->Next(1, &child, nullptr) == S_OK) children.push_back(child);
  }
  IShellFolder* f = folder.Get();
  std::stable_sort(children.begin(), children.end(), [f](ITEMIDLIST* a, ITEMIDLIST* b) {
    return static_cast<short>(HRESULT_CODE(f->CompareIDs(0, a, b))) < 0;
  });
  for (ITEMIDLIST* child : children) {
    LPCITEMIDLIST relative = child;
    SFGAOF attributes = SFGAO_HASSUBFOLDER | SFGAO_FOLDER;
    if (FAILED(f->GetAttributesOf(1, &relative, &attributes))) attributes = SFGAO_HASSUBFOLDER;
    ITEMIDLIST* absolute = ILCombine(node->idList, child);
    const std::wstring name = DisplayNameOfW(f, child, SHGDN_INFOLDER);
    CoTaskMemFree(child);
    if (absolute) InsertNode(item, absolute, name, (attributes & SFGAO_HASSUBFOLDER) != 0);
  }
  if (children.empty()) {
    TVITEMW tvi = {};
    tvi.mask = TVIF_CHILDREN | TVIF_HANDLE;
    tvi.hItem = item;
    tvi.cChildren = 0;
    SendMessageW(handle_, TVM_SETITEMW, 0, reinterpret_cast<LPARAM>(&tvi));
  }
}

HTREEITEM TShellTreeView::Root() const { return TreeView_GetRoot(handle_); }
HTREEITEM TShellTreeView::Selected() const { return TreeView_GetSelection(handle_); }
void TShellTreeView::SetSelected(HTREEITEM item) { TreeView_SelectItem(handle_, item); }
HTREEITEM TShellTreeView::TopItem() const { return TreeView_GetFirstVisible(handle_); }
void TShellTreeView::SetTopItem(HTREEITEM item) {
  if (!item) return;
  TreeView_SelectSetFirstVisible(handle_, item);
  if (TopItem() == item) return;
  // Wine's tree view accepts TVGN_FIRSTVISIBLE but does not scroll; the
  // scroll bar counts rows, so scroll to the item's row instead (the tree
  // stops where its last page is full, as Windows does).
  int row = 0;
  for (HTREEITEM node = Root(); node && node != item; node = TreeView_GetNextVisible(handle_, node)) ++row;
  SendMessageW(handle_, WM_VSCROLL, MAKEWPARAM(SB_THUMBPOSITION, row), 0);
}

void TShellTreeView::Expand(HTREEITEM item) {
  if (!item) return;
  if (!IsExpanded(item)) EnsureChildren(item);
  // The tree notifies only the first programmatic expansion; the children are
  // already read, so that notification must not read them again.
  expanding_ = true;
  TreeView_Expand(handle_, item, TVE_EXPAND);
  expanding_ = false;
}

void TShellTreeView::Collapse(HTREEITEM item, bool recursive) {
  if (!item) return;
  if (recursive)
    for (HTREEITEM child = FirstChild(item); child; child = NextSibling(child)) Collapse(child, true);
  TreeView_Expand(handle_, item, TVE_COLLAPSE);
}

bool TShellTreeView::IsExpanded(HTREEITEM item) const {
  return item && (TreeView_GetItemState(handle_, item, TVIS_EXPANDED) & TVIS_EXPANDED);
}

void TShellTreeView::SetFocus() { ::SetFocus(handle_); }

HTREEITEM TShellTreeView::Parent(HTREEITEM item) const { return item ? TreeView_GetParent(handle_, item) : nullptr; }
HTREEITEM TShellTreeView::FirstChild(HTREEITEM item) const { return item ? TreeView_GetChild(handle_, item) : nullptr; }
HTREEITEM TShellTreeView::NextSibling(HTREEITEM item) const {
  return item ? TreeView_GetNextSibling(handle_, item) : nullptr;
}

HTREEITEM TShellTreeView::NextNode(HTREEITEM item) const {
  if (!item) return nullptr;
  if (HTREEITEM child = FirstChild(item)) return child;
  for (; item; item = Parent(item))
    if (HTREEITEM next = NextSibling(item)) return next;
  return nullptr;
}

int TShellTreeView::Level(HTREEITEM item) const {
  int level = 0;
  for (item = Parent(item); item; item = Parent(item)) ++level;
  return level;
}

std::string TShellTreeView::Text(HTREEITEM item) const {
  wchar_t buffer[MAX_PATH] = {};
  TVITEMW tvi = {};
  tvi.mask = TVIF_TEXT | TVIF_HANDLE;
  tvi.hItem = item;
  tvi.pszText = buffer;
  tvi.cchTextMax = MAX_PATH;
  if (!item || !SendMessageW(handle_, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&tvi))) return std::string();
  std::string text;
  return TryNarrow(buffer, text) ? text : ForeignTextInCodes(U16(buffer));
}

LPCITEMIDLIST TShellTreeView::IdList(HTREEITEM item) const {
  TNode* node = NodeOf(item);
  return node ? node->idList : nullptr;
}

int TShellTreeView::NodeCount() const { return static_cast<int>(TreeView_GetCount(handle_)); }

std::string TShellTreeView::SelectedPath() const {
  LPCITEMIDLIST list = IdList(Selected());
  return list ? ParsingName(list) : std::string();
}

void TShellTreeView::BeginUpdate() {
  if (updateCount_++ == 0) SendMessageW(handle_, WM_SETREDRAW, FALSE, 0);
}

void TShellTreeView::EndUpdate() {
  if (updateCount_ > 0 && --updateCount_ == 0) {
    SendMessageW(handle_, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(handle_, nullptr, TRUE);
  }
}

void TShellTreeView::FreeNodes() {
  for (TNode* node : nodes_) {
    CoTaskMemFree(node->idList);
    delete node;
  }
  nodes_.clear();
}
