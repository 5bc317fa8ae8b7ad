// Small helpers over the shell namespace shared by the shell tree, the shell
// list and the tree positioning: the desktop folder, names of item
// identifier lists, their comparison, and the system's icons.
#pragma once

#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>
#include <shlobj.h>

#include <memory>
#include <string>

// Owns an item identifier list of the shell allocator.
struct TIdListFree {
  void operator()(ITEMIDLIST* list) const { CoTaskMemFree(list); }
};
using TIdList = std::unique_ptr<ITEMIDLIST, TIdListFree>;

// The desktop folder, the root of the namespace. Raises EOleSysError.
IShellFolder* DesktopFolder();

// The shell folder object of an absolute list (the desktop for the empty
// list); nullptr when the object is no folder. The caller releases it.
IShellFolder* BindToFolder(LPCITEMIDLIST absolute);

// A name of a child of folder, as GetDisplayNameOf gives it for flags: as
// it is, to be shown, and in Windows-1252, where a character Windows-1252
// lacks is written as its code (a name no file has, so never another's).
std::wstring DisplayNameOfW(IShellFolder* folder, LPCITEMIDLIST relative, DWORD flags);
std::string DisplayNameOf(IShellFolder* folder, LPCITEMIDLIST relative, DWORD flags);

// The parsing name the desktop folder reports for an absolute list: the
// file-system path of ordinary folders, the shell's identifier text of
// virtual ones.
std::string ParsingName(LPCITEMIDLIST absolute);

// True when the desktop folder's CompareIDs (column 0) reports exactly 0.
bool SameIdList(LPCITEMIDLIST a, LPCITEMIDLIST b);

// The empty list, naming the desktop.
TIdList DesktopIdList();

// The system image list with the shell's icons, small or large, and an
// absolute list's index in it.
HIMAGELIST SystemImageList(bool small);
int SystemIconIndex(LPCITEMIDLIST absolute, bool open);

// UTF-16 form of a Windows-1252 text, for the shell's wide parameters.
std::wstring ToWide(const std::string& text);
