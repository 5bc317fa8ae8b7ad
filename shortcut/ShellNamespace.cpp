#include "shortcut/ShellNamespace.h"

#include <shlwapi.h>

#include <vector>

#include "shortcut/ShellLink.h"

IShellFolder* DesktopFolder() {
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

std::string DisplayNameOf(IShellFolder* folder, LPCITEMIDLIST relative, DWORD flags) {
  STRRET name = {};
  if (!folder || FAILED(folder->GetDisplayNameOf(relative, flags, &name))) return std::string();
  char buffer[MAX_PATH] = {};
  // StrRetToBuf also frees a name the shell handed over in its own memory.
  if (FAILED(StrRetToBufA(&name, relative, buffer, MAX_PATH))) return std::string();
  return buffer;
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
  SHFILEINFOA info = {};
  return reinterpret_cast<HIMAGELIST>(
      SHGetFileInfoA("C:\\", 0, &info, sizeof(info), SHGFI_SYSICONINDEX | (small ? SHGFI_SMALLICON : SHGFI_LARGEICON)));
}

int SystemIconIndex(LPCITEMIDLIST absolute, bool open) {
  SHFILEINFOA info = {};
  UINT flags = SHGFI_PIDL | SHGFI_SYSICONINDEX | SHGFI_SMALLICON | (open ? SHGFI_OPENICON : 0);
  if (!SHGetFileInfoA(reinterpret_cast<const char*>(absolute), 0, &info, sizeof(info), flags)) return 0;
  return info.iIcon;
}

std::wstring ToWide(const std::string& text) {
  int n = MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, nullptr, 0);
  if (n <= 0) return std::wstring();
  std::vector<wchar_t> buffer(n);
  MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, buffer.data(), n);
  return std::wstring(buffer.data());
}
