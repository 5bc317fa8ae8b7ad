#include "config/BrowseForPath.h"

#include <ole2.h>
#include <shlobj.h>

#include <vector>

namespace {

int CALLBACK BrowseCallback(HWND wnd, UINT msg, LPARAM, LPARAM data) {
  const char* initial = reinterpret_cast<const char*>(data);
  if (msg == BFFM_INITIALIZED && initial && *initial) SendMessageA(wnd, BFFM_SETSELECTIONA, TRUE, data);
  return 0;
}

// Disables the thread's visible, enabled windows (but the owner's modal
// browser) for its lifetime, as a modal window of the application would.
class TDisabledWindows {
 public:
  TDisabledWindows() { EnumThreadWindows(GetCurrentThreadId(), Disable, reinterpret_cast<LPARAM>(this)); }
  ~TDisabledWindows() {
    for (HWND wnd : disabled_)
      if (IsWindow(wnd)) EnableWindow(wnd, TRUE);
  }
  TDisabledWindows(const TDisabledWindows&) = delete;
  TDisabledWindows& operator=(const TDisabledWindows&) = delete;

 private:
  static BOOL CALLBACK Disable(HWND wnd, LPARAM self) {
    if (IsWindowVisible(wnd) && IsWindowEnabled(wnd)) {
      EnableWindow(wnd, FALSE);
      reinterpret_cast<TDisabledWindows*>(self)->disabled_.push_back(wnd);
    }
    return TRUE;
  }
  std::vector<HWND> disabled_;
};

bool Exists(const std::string& path, bool filesToo) {
  const DWORD attributes = GetFileAttributesA(path.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) return false;
  return (attributes & FILE_ATTRIBUTE_DIRECTORY) || filesToo;
}

}  // namespace

bool BrowseForPath(HWND owner, const std::string& title, const std::string& root, std::string& path,
                   bool newFolder, bool includeFiles, bool editBox) {
  const std::string initial = !path.empty() && Exists(path, includeFiles) ? path : std::string();
  IMalloc* allocator = nullptr;
  if (FAILED(SHGetMalloc(&allocator))) return false;
  char* buffer = static_cast<char*>(allocator->Alloc(MAX_PATH));
  LPITEMIDLIST rootItem = nullptr;
  if (!root.empty()) {
    IShellFolder* desktop = nullptr;
    if (SUCCEEDED(SHGetDesktopFolder(&desktop))) {
      std::vector<wchar_t> wide(root.size() + 1);
      MultiByteToWideChar(CP_ACP, 0, root.c_str(), -1, wide.data(), static_cast<int>(wide.size()));
      desktop->ParseDisplayName(nullptr, nullptr, wide.data(), nullptr, &rootItem, nullptr);
      desktop->Release();
    }
  }
  // The new dialog style needs the object linking layer.
  const HRESULT ole = OleInitialize(nullptr);

  BROWSEINFOA info = {};
  info.hwndOwner = owner;
  info.pidlRoot = rootItem;
  info.pszDisplayName = buffer;
  info.lpszTitle = title.c_str();
  info.ulFlags = BIF_RETURNONLYFSDIRS | BIF_NEWDIALOGSTYLE | (editBox ? BIF_EDITBOX : 0) |
                 (includeFiles ? BIF_BROWSEINCLUDEFILES : 0) | (newFolder ? 0 : BIF_NONEWFOLDERBUTTON);
  info.lpfn = BrowseCallback;
  info.lParam = reinterpret_cast<LPARAM>(initial.c_str());
  LPITEMIDLIST chosen;
  {
    TDisabledWindows disabled;
    chosen = SHBrowseForFolderA(&info);
  }
  bool confirmed = false;
  if (chosen) {
    char result[MAX_PATH] = "";
    if (SHGetPathFromIDListA(chosen, result)) {
      path = result;
      confirmed = true;
    }
    allocator->Free(chosen);
  }
  if (rootItem) allocator->Free(rootItem);
  allocator->Free(buffer);
  allocator->Release();
  if (SUCCEEDED(ole)) OleUninitialize();
  return confirmed;
}
