// Positions a shell folder tree on the folder a path names: the folders on
// the way are expanded one level each, the target is selected, scrolled to
// the top, expanded and focused. Works on item identifier lists, so that it
// finds folders the tree shows under display names.
#pragma once

#include <windows.h>
#include <objidl.h>
#include <shlobj.h>

#include <string>
#include <vector>

#include "model/Errors.h"
#include "shortcut/ShellTree.h"

// The shell cannot turn the path into an item identifier list.
class EInvalidPath : public Exception {
 public:
  using Exception::Exception;
};

// Raises EInvalidPath with "Fehler beim Festlegen des Pfades: "<path>"" and
// leaves the tree as it was; EOleSysError when the shell itself fails.
void SetShellTreePath(const std::string& path, TShellTreeView& tree);
// The same with the allocator that takes and frees the lists.
void SetShellTreePath(const std::string& path, TShellTreeView& tree, IMalloc* allocator);

// Size in bytes of a list, terminator included; 0 for a null list.
UINT IdListSize(LPCITEMIDLIST list);
// A zero-filled block of the list's size from allocator, holding a copy of
// it. Raises EOleSysError when the allocator has no memory.
LPITEMIDLIST CopyIdList(IMalloc* allocator, LPCITEMIDLIST list);
// Cuts the last item off, turning the list into its parent's; a null or
// empty list stays as it is.
void StripLastItemId(LPITEMIDLIST list);

// Copies of the lists of the target's ancestors, the desktop (empty list)
// first and the target's parent last; freed with their allocator.
class TAncestorList {
 public:
  TAncestorList(IMalloc* allocator, LPCITEMIDLIST target);
  ~TAncestorList();
  TAncestorList(const TAncestorList&) = delete;
  TAncestorList& operator=(const TAncestorList&) = delete;
  const std::vector<LPITEMIDLIST>& Items() const { return items_; }

 private:
  IMalloc* allocator_;
  std::vector<LPITEMIDLIST> items_;
};

// The first node of start's subtree (as far as it exists) whose folder is
// the one list names; nullptr when there is none.
HTREEITEM FindFolderNode(const TShellTreeView& tree, LPCITEMIDLIST list, HTREEITEM start);
