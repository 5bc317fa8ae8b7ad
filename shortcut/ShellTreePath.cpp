#include "shortcut/ShellTreePath.h"

#include <cstring>

#include "shortcut/ComPtr.h"
#include "shortcut/ShellLink.h"
#include "shortcut/ShellNamespace.h"

UINT IdListSize(LPCITEMIDLIST list) {
  if (!list) return 0;
  UINT size = sizeof(USHORT);
  for (auto* item = reinterpret_cast<const BYTE*>(list); reinterpret_cast<const SHITEMID*>(item)->cb != 0;) {
    USHORT count = reinterpret_cast<const SHITEMID*>(item)->cb;
    size += count;
    item += count;
  }
  return size;
}

LPITEMIDLIST CopyIdList(IMalloc* allocator, LPCITEMIDLIST list) {
  UINT size = IdListSize(list);
  void* block = allocator->Alloc(size);
  if (!block) OleCheck(E_OUTOFMEMORY);
  std::memset(block, 0, size);
  if (size) std::memcpy(block, list, size);
  return static_cast<LPITEMIDLIST>(block);
}

void StripLastItemId(LPITEMIDLIST list) {
  if (!list || list->mkid.cb == 0) return;
  auto* item = reinterpret_cast<BYTE*>(list);
  BYTE* last = item;
  while (reinterpret_cast<SHITEMID*>(item)->cb != 0) {
    last = item;
    item += reinterpret_cast<SHITEMID*>(item)->cb;
  }
  reinterpret_cast<SHITEMID*>(last)->cb = 0;
}

TAncestorList::TAncestorList(IMalloc* allocator, LPCITEMIDLIST target) : allocator_(allocator) {
  try {
    LPCITEMIDLIST current = target;
    while (current && current->mkid.cb != 0) {
      LPITEMIDLIST copy = CopyIdList(allocator_, current);
      items_.insert(items_.begin(), copy);
      StripLastItemId(copy);
      current = copy;
    }
  } catch (...) {
    for (LPITEMIDLIST item : items_) allocator_->Free(item);
    throw;
  }
}

TAncestorList::~TAncestorList() {
  for (LPITEMIDLIST item : items_) allocator_->Free(item);
}

HTREEITEM FindFolderNode(const TShellTreeView& tree, LPCITEMIDLIST list, HTREEITEM start) {
  if (!start) return nullptr;
  const int level = tree.Level(start);
  for (HTREEITEM node = start; node; node = tree.NextNode(node)) {
    if (node != start && tree.Level(node) <= level) break;
    if (SameIdList(tree.IdList(node), list)) return node;
  }
  return nullptr;
}

namespace {

// Restores a tree's automatic refresh on every way out, also when the path
// is refused: the caller's tree must not stay changed by a failed call.
class TAutoRefreshOff {
 public:
  explicit TAutoRefreshOff(TShellTreeView& tree) : tree_(tree), saved_(tree.AutoRefresh) { tree.AutoRefresh = false; }
  ~TAutoRefreshOff() { tree_.AutoRefresh = saved_; }

 private:
  TShellTreeView& tree_;
  bool saved_;
};

class TUpdateLock {
 public:
  explicit TUpdateLock(TShellTreeView& tree) : tree_(tree) { tree.BeginUpdate(); }
  ~TUpdateLock() { tree_.EndUpdate(); }

 private:
  TShellTreeView& tree_;
};

class TAllocatedList {
 public:
  TAllocatedList(IMalloc* allocator, LPITEMIDLIST list) : allocator_(allocator), list_(list) {}
  ~TAllocatedList() {
    if (list_) allocator_->Free(list_);
  }
  LPITEMIDLIST Get() const { return list_; }

 private:
  IMalloc* allocator_;
  LPITEMIDLIST list_;
};

void SelectIdList(TShellTreeView& tree, IMalloc* allocator, LPCITEMIDLIST target) {
  HTREEITEM selected = tree.Selected();
  if (selected && SameIdList(tree.IdList(selected), target)) return;

  TUpdateLock lock(tree);
  TAncestorList ancestors(allocator, target);
  HTREEITEM start = tree.Root();
  for (LPITEMIDLIST ancestor : ancestors.Items()) {
    // An ancestor the tree does not show is skipped; the search goes on
    // below the last one found.
    if (HTREEITEM node = FindFolderNode(tree, ancestor, start)) {
      tree.Expand(node);
      start = node;
    }
  }
  tree.SetSelected(FindFolderNode(tree, target, start));
}

}  // namespace

void SetShellTreePath(const std::string& path, TShellTreeView& tree) {
  TComPtr<IMalloc> allocator;
  OleCheck(SHGetMalloc(allocator.Out()));
  SetShellTreePath(path, tree, allocator.Get());
}

void SetShellTreePath(const std::string& path, TShellTreeView& tree, IMalloc* allocator) {
  TAutoRefreshOff autoRefreshOff(tree);
  TComPtr<IShellFolder> desktop;
  *desktop.Out() = DesktopFolder();
  std::wstring widePath = ToWide(path);
  LPITEMIDLIST parsed = nullptr;
  ULONG attributes = 0;
  HRESULT result = desktop->ParseDisplayName(nullptr, nullptr, const_cast<wchar_t*>(widePath.c_str()), nullptr,
                                             &parsed, &attributes);
  if (FAILED(result) || !parsed)
    throw EInvalidPath(Format("Fehler beim Festlegen des Pfades: \"%s\"", path.c_str()));
  TAllocatedList target(allocator, parsed);

  SelectIdList(tree, allocator, target.Get());
  if (HTREEITEM selected = tree.Selected()) {
    tree.SetTopItem(selected);
    tree.Expand(selected);
  }
  tree.SetFocus();
}
