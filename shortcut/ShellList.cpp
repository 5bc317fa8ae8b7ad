#include "shortcut/ShellList.h"

#include <algorithm>

#include "framework/Application.h"
#include "model/MessageBox_win.h"
#include "model/Wide_win.h"
#include "shortcut/ComPtr.h"
#include "shortcut/ShellNamespace.h"

TShellListView::~TShellListView() {
  OnChange = nullptr;
  if (handle_ && IsWindow(handle_)) DestroyWindow(handle_);
  if (parent_) RemoveWindowSubclass(parent_, ParentProc, reinterpret_cast<UINT_PTR>(this));
  handle_ = nullptr;
  Clear();
  CoTaskMemFree(folderIdList_);
}

void TShellListView::Create(HWND parent, int id, const RECT& rect) {
  parent_ = parent;
  // The system image lists are shared by every window of the process: the
  // list must not destroy them.
  handle_ = CreateWindowExW(WS_EX_CLIENTEDGE, WC_LISTVIEWW, L"",
                            WS_CHILD | WS_VISIBLE | WS_TABSTOP | LVS_LIST | LVS_SINGLESEL | LVS_SHOWSELALWAYS |
                                LVS_EDITLABELS | LVS_SHAREIMAGELISTS,
                            rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top, parent,
                            reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleW(nullptr), nullptr);
  SendMessageW(handle_, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), FALSE);
  ListView_SetImageList(handle_, SystemImageList(true), LVSIL_SMALL);
  ListView_SetImageList(handle_, SystemImageList(false), LVSIL_NORMAL);
  SetWindowSubclass(parent, ParentProc, reinterpret_cast<UINT_PTR>(this), reinterpret_cast<DWORD_PTR>(this));
}

LRESULT CALLBACK TShellListView::ParentProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                            DWORD_PTR self) {
  auto* list = reinterpret_cast<TShellListView*>(self);
  if (msg == WM_NOTIFY) {
    auto* header = reinterpret_cast<NMHDR*>(lParam);
    LRESULT result = 0;
    if (header->hwndFrom == list->handle_ && list->HandleNotify(header, result)) return result;
  }
  return DefSubclassProc(wnd, msg, wParam, lParam);
}

bool TShellListView::HandleNotify(NMHDR* header, LRESULT& result) {
  switch (header->code) {
    case LVN_BEGINLABELEDITA:
    case LVN_BEGINLABELEDITW:
      result = FALSE;  // allow editing
      return true;
    case LVN_ENDLABELEDITA: {
      auto* info = reinterpret_cast<NMLVDISPINFOA*>(header);
      // The shell decides the new name (it may keep a hidden extension), so
      // the label is set from the renamed object, not from the typed text.
      if (info->item.pszText) Rename(info->item.iItem, info->item.pszText);
      result = FALSE;
      return true;
    }
    case LVN_ENDLABELEDITW: {
      auto* info = reinterpret_cast<NMLVDISPINFOW*>(header);
      if (info->item.pszText) {
        // A new name Windows-1252 lacks is refused, never another one.
        std::string name;
        if (TryNarrow(info->item.pszText, name))
          Rename(info->item.iItem, name);
        else
          ShowMessageBoxW(ForeignTextMessage(U16(info->item.pszText)), WidenText(Application.Title), MB_OK | MB_ICONWARNING);
      }
      result = FALSE;
      return true;
    }
    case LVN_ITEMCHANGED: {
      auto* info = reinterpret_cast<NMLISTVIEW*>(header);
      if ((info->uChanged & LVIF_STATE) && ((info->uOldState ^ info->uNewState) & LVIS_SELECTED) && OnChange)
        OnChange();
      return false;
    }
  }
  return false;
}

void TShellListView::SetFolder(LPCITEMIDLIST absolute) {
  ITEMIDLIST* copy = absolute ? ILClone(absolute) : nullptr;
  CoTaskMemFree(folderIdList_);
  folderIdList_ = copy;
  Refresh();
}

void TShellListView::Clear() {
  if (handle_) ListView_DeleteAllItems(handle_);
  for (auto& entry : entries_) CoTaskMemFree(entry->relative);
  entries_.clear();
}

void TShellListView::Refresh() {
  SendMessageW(handle_, WM_SETREDRAW, FALSE, 0);
  Clear();
  TComPtr<IShellFolder> folder;
  if (folderIdList_) *folder.Out() = BindToFolder(folderIdList_);
  TComPtr<IEnumIDList> items;
  SHCONTF flags = SHCONTF_FOLDERS | SHCONTF_NONFOLDERS | (IncludeHidden ? SHCONTF_INCLUDEHIDDEN : 0);
  if (folder && folder->EnumObjects(handle_, flags, items.Out()) == S_OK && items) {
    ITEMIDLIST* child = nullptr;
    while (items->Next(1, &child, nullptr) == S_OK) {
      auto entry = std::make_unique<TEntry>();
      entry->relative = child;
      LPCITEMIDLIST relative = child;
      SFGAOF attributes = SFGAO_FOLDER;
      if (FAILED(folder->GetAttributesOf(1, &relative, &attributes))) attributes = 0;
      entry->info.Name = DisplayNameOf(folder.Get(), child, SHGDN_INFOLDER);
      entry->info.PathName = DisplayNameOf(folder.Get(), child, SHGDN_FORPARSING);
      entry->info.IsFolder = (attributes & SFGAO_FOLDER) != 0;
      if (OnAddFolder && !OnAddFolder(entry->info)) {
        CoTaskMemFree(entry->relative);
        continue;
      }
      entries_.push_back(std::move(entry));
    }
    IShellFolder* f = folder.Get();
    std::stable_sort(entries_.begin(), entries_.end(), [f](const auto& a, const auto& b) {
      return static_cast<short>(HRESULT_CODE(f->CompareIDs(0, a->relative, b->relative))) < 0;
    });
    for (size_t i = 0; i < entries_.size(); ++i) {
      TEntry* entry = entries_[i].get();
      ITEMIDLIST* absolute = ILCombine(folderIdList_, entry->relative);
      // Shown as it is, whatever Windows-1252 lacks.
      std::wstring name = DisplayNameOfW(folder.Get(), entry->relative, SHGDN_INFOLDER);
      LVITEMW item = {};
      item.mask = LVIF_TEXT | LVIF_IMAGE | LVIF_PARAM;
      item.iItem = static_cast<int>(i);
      item.pszText = &name[0];
      item.iImage = absolute ? SystemIconIndex(absolute, false) : 0;
      item.lParam = reinterpret_cast<LPARAM>(entry);
      SendMessageW(handle_, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item));
      CoTaskMemFree(absolute);
    }
  }
  SendMessageW(handle_, WM_SETREDRAW, TRUE, 0);
  InvalidateRect(handle_, nullptr, TRUE);
}

int TShellListView::Count() const { return ListView_GetItemCount(handle_); }

TShellListView::TEntry* TShellListView::EntryOf(int index) const {
  LVITEMW item = {};
  item.mask = LVIF_PARAM;
  item.iItem = index;
  if (index < 0 || !SendMessageW(handle_, LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item))) return nullptr;
  return reinterpret_cast<TEntry*>(item.lParam);
}

TShellListItem TShellListView::Item(int index) const {
  TEntry* entry = EntryOf(index);
  return entry ? entry->info : TShellListItem();
}

bool TShellListView::Rename(int index, const std::string& newName) {
  TEntry* entry = EntryOf(index);
  if (!entry || newName.empty()) return false;
  TComPtr<IShellFolder> folder;
  *folder.Out() = BindToFolder(folderIdList_);
  if (!folder) return false;
  ITEMIDLIST* renamed = nullptr;
  if (FAILED(folder->SetNameOf(handle_, entry->relative, ToWide(newName).c_str(), SHGDN_INFOLDER, &renamed)) ||
      !renamed)
    return false;
  CoTaskMemFree(entry->relative);
  entry->relative = renamed;
  entry->info.Name = DisplayNameOf(folder.Get(), renamed, SHGDN_INFOLDER);
  entry->info.PathName = DisplayNameOf(folder.Get(), renamed, SHGDN_FORPARSING);
  std::wstring shown = DisplayNameOfW(folder.Get(), renamed, SHGDN_INFOLDER);
  LVITEMW text = {};
  text.iSubItem = 0;
  text.pszText = &shown[0];
  SendMessageW(handle_, LVM_SETITEMTEXTW, index, reinterpret_cast<LPARAM>(&text));
  return true;
}
