#include "config/BrowseForPath.h"

#include <commctrl.h>
#include <ole2.h>
#include <shlobj.h>

#include <vector>

#include "framework/Application.h"
#include "model/MessageBox_win.h"
#include "model/Wide_win.h"

namespace {

struct TBrowseState {
  std::string Initial;
  bool FilesToo = false;
  bool EditBox = false;
  // The file-system path of the tree's selection, and a whole path typed
  // into the field and found.
  std::string Selected, Typed;
};

void SayNotFound(const TBrowseState& state, const std::string& path) {
  ShowMessageBoxA((state.FilesToo ? "Die Datei oder der Ordner \"" : "Der Ordner \"") + path + "\" wurde nicht gefunden.",
                  Application.Title, MB_OK | MB_ICONWARNING);
}

// A name Windows-1252 lacks, said as it is.
void SayForeign(const std::wstring& text) {
  ShowMessageBoxW(ForeignTextMessage(U16(text)), WidenText(Application.Title), MB_OK | MB_ICONWARNING);
}

bool IsWholePath(const std::string& text) {
  return (text.size() >= 3 && text[1] == ':' && text[2] == '\\') || text.compare(0, 2, "\\\\") == 0;
}

std::wstring FieldText(HWND browser) {
  HWND field = FindWindowExW(browser, nullptr, L"Edit", nullptr);
  wchar_t text[MAX_PATH * 2] = L"";
  if (field) GetWindowTextW(field, text, MAX_PATH * 2);
  std::wstring result = text;
  while (result.size() > 3 && result.back() == L'\\') result.pop_back();
  return result;
}

// The field's whole path is the choice when OK is pressed: Wine's browser
// ignores what was typed, and Windows' takes it only below the selection.
LRESULT CALLBACK BrowserProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR data) {
  TBrowseState& state = *reinterpret_cast<TBrowseState*>(data);
  if (msg == WM_COMMAND && LOWORD(wParam) == IDOK) {
    const std::wstring wide = FieldText(wnd);
    std::string typed;
    if (!TryNarrow(wide, typed)) {
      SayForeign(wide);
      return 0;
    }
    if (IsWholePath(typed)) {
      const DWORD attributes = GetFileAttributesW(wide.c_str());
      if (attributes == INVALID_FILE_ATTRIBUTES || (!(attributes & FILE_ATTRIBUTE_DIRECTORY) && !state.FilesToo)) {
        SayNotFound(state, typed);
        return 0;
      }
      state.Typed = typed;
    }
  } else if (msg == WM_NCDESTROY) {
    RemoveWindowSubclass(wnd, BrowserProc, 1);
  }
  return DefSubclassProc(wnd, msg, wParam, lParam);
}

int CALLBACK BrowseCallback(HWND wnd, UINT msg, LPARAM param, LPARAM data) {
  TBrowseState& state = *reinterpret_cast<TBrowseState*>(data);
  if (msg == BFFM_SELCHANGED) {
    wchar_t path[MAX_PATH] = L"";
    state.Selected.clear();
    if (param && SHGetPathFromIDListW(reinterpret_cast<LPCITEMIDLIST>(param), path)) TryNarrow(path, state.Selected);
  } else if (msg == BFFM_INITIALIZED) {
    if (state.EditBox) SetWindowSubclass(wnd, BrowserProc, 1, reinterpret_cast<DWORD_PTR>(&state));
    if (state.Initial.empty()) return 0;
    SendMessageW(wnd, BFFM_SETSELECTIONW, TRUE, reinterpret_cast<LPARAM>(W(state.Initial).c_str()));
    // A folder the tree does not show (Wine's leaves out hidden ones, such
    // as the user's temporary folder) stands whole in the field instead, so
    // that OK still takes it.
    HWND field = FindWindowExW(wnd, nullptr, L"Edit", nullptr);
    if (field && lstrcmpiW(W(state.Selected).c_str(), W(state.Initial).c_str()) != 0)
      SetWindowTextW(field, W(state.Initial).c_str());
  } else if (msg == BFFM_VALIDATEFAILEDW) {
    // A name typed below the selection that names nothing: said, and the
    // chooser stays open for another try.
    const std::wstring typed = reinterpret_cast<const wchar_t*>(param);
    std::string name;
    if (TryNarrow(typed, name))
      SayNotFound(state, name);
    else
      SayForeign(typed);
    return 1;
  }
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
  const DWORD attributes = GetFileAttributesW(W(path).c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) return false;
  return (attributes & FILE_ATTRIBUTE_DIRECTORY) || filesToo;
}

}  // namespace

bool BrowseForPath(HWND owner, const std::string& title, const std::string& root, std::string& path,
                   bool newFolder, bool includeFiles, bool editBox) {
  NeedCom();
  TBrowseState state;
  state.Initial = !path.empty() && Exists(path, includeFiles) ? path : std::string();
  state.FilesToo = includeFiles;
  state.EditBox = editBox;
  IMalloc* allocator = nullptr;
  if (FAILED(SHGetMalloc(&allocator))) return false;
  wchar_t* buffer = static_cast<wchar_t*>(allocator->Alloc(MAX_PATH * sizeof(wchar_t)));
  LPITEMIDLIST rootItem = nullptr;
  if (!root.empty()) {
    IShellFolder* desktop = nullptr;
    if (SUCCEEDED(SHGetDesktopFolder(&desktop))) {
      std::wstring wide = W(root);
      desktop->ParseDisplayName(nullptr, nullptr, &wide[0], nullptr, &rootItem, nullptr);
      desktop->Release();
    }
  }
  // The new dialog style needs the object linking layer.
  const HRESULT ole = OleInitialize(nullptr);

  const std::wstring titleW = W(title);
  BROWSEINFOW info = {};
  info.hwndOwner = owner;
  info.pidlRoot = rootItem;
  info.pszDisplayName = buffer;
  info.lpszTitle = titleW.c_str();
  info.ulFlags = BIF_RETURNONLYFSDIRS | BIF_NEWDIALOGSTYLE | (editBox ? BIF_EDITBOX | BIF_VALIDATE : 0) |
                 (includeFiles ? BIF_BROWSEINCLUDEFILES : 0) | (newFolder ? 0 : BIF_NONEWFOLDERBUTTON);
  info.lpfn = BrowseCallback;
  info.lParam = reinterpret_cast<LPARAM>(&state);
  LPITEMIDLIST chosen;
  {
    TDisabledWindows disabled;
    chosen = SHBrowseForFolderW(&info);
  }
  bool confirmed = false;
  if (chosen) {
    wchar_t result[MAX_PATH] = L"";
    if (!state.Typed.empty()) {
      path = state.Typed;
      confirmed = true;
    } else if (SHGetPathFromIDListW(chosen, result)) {
      // A folder whose name Windows-1252 lacks is refused, never another's.
      confirmed = TryNarrow(result, path);
      if (!confirmed) SayForeign(result);
    }
    allocator->Free(chosen);
  }
  if (rootItem) allocator->Free(rootItem);
  allocator->Free(buffer);
  allocator->Release();
  if (SUCCEEDED(ole)) OleUninitialize();
  return confirmed;
}
