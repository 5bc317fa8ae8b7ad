#include "shortcut/ShellNamespace.h"

#include <shlwapi.h>

#include <vector>

#include "framework/Application.h"
#include "model/Wide_win.h"
#include "shortcut/ShellLink.h"

IShellFolder* DesktopFolder() {
  NeedCom();
  IShellFolder* desktop = nullptr;
  OleCheck(SHGetDesktopFolder(&desktop));
  return desktop;
}

IShellFolder* BindToFolder(LPCITEMIDLIST absolute) {
  IShellFolder* desktop = nullptr;
  if (FAILED(SHGetDesktopFolder(&desktop))) return nullptr;
  if (!absolute || absolute->mkid.cb == 0) return desktop;
  IShellFolder* folder = nullptr;
  if (FAILED(desktop->BindToObject(absolute, nullptr, IID_IShellFolder, reinterpret_cast<void**>(&folder))))
    folder = nullptr;
  desktop->Release();
  return folder;
}

std::wstring DisplayNameOfW(IShellFolder* folder, LPCITEMIDLIST relative, DWORD flags) {
  STRRET name = {};
  if (!folder || FAILED(folder->GetDisplayNameOf(relative, flags, &name))) return std::wstring();
  wchar_t buffer[MAX_PATH] = {};
  // StrRetToBuf also frees a name the shell handed over in its own memory.
  if (FAILED(StrRetToBufW(&name, relative, buffer, MAX_PATH))) return std::wstring();
  return buffer;
}

std::string DisplayNameOf(IShellFolder* folder, LPCITEMIDLIST relative, DWORD flags) {
  const std::wstring wide = DisplayNameOfW(folder, relative, flags);
  std::string name;
  return TryNarrow(wide, name) ? name : ForeignTextInCodes(U16(wide));
}

std::string ParsingName(LPCITEMIDLIST absolute) {
  IShellFolder* desktop = nullptr;
  if (!absolute || FAILED(SHGetDesktopFolder(&desktop))) return std::string();
  std::string name = DisplayNameOf(desktop, absolute, SHGDN_FORPARSING);
  desktop->Release();
  return name;
}

bool SameIdList(LPCITEMIDLIST a, LPCITEMIDLIST b) {
  if (!a || !b) return false;
  IShellFolder* desktop = DesktopFolder();
  HRESULT result = desktop->CompareIDs(0, a, b);
  desktop->Release();
  return result == 0;
}

TIdList DesktopIdList() {
  auto* list = static_cast<ITEMIDLIST*>(CoTaskMemAlloc(sizeof(USHORT)));
  if (!list) OleCheck(E_OUTOFMEMORY);
  list->mkid.cb = 0;
  return TIdList(list);
}

HIMAGELIST SystemImageList(bool small) {
  SHFILEINFOW info = {};
  return reinterpret_cast<HIMAGELIST>(
      SHGetFileInfoW(L"C:\\", 0, &info, sizeof(info), SHGFI_SYSICONINDEX | (small ? SHGFI_SMALLICON : SHGFI_LARGEICON)));
}

int SystemIconIndex(LPCITEMIDLIST absolute, bool open) {
  SHFILEINFOW info = {};
  UINT flags = SHGFI_PIDL | SHGFI_SYSICONINDEX | SHGFI_SMALLICON | (open ? SHGFI_OPENICON : 0);
  if (!SHGetFileInfoW(reinterpret_cast<const wchar_t*>(absolute), 0, &info, sizeof(info), flags)) return 0;
  return info.iIcon;
}

std::wstring ToWide(const std::string& text) { return W(text); }
