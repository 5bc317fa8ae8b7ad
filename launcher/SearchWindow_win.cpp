#include "launcher/SearchWindow_win.h"

#include <algorithm>
#include <cstddef>
#include <map>
#include <memory>
#include <mutex>
#include <thread>

#include "framework/Application.h"
#include "launcher/LiveFolder.h"
#include "launcher/MenuIcons_win.h"
#include "launcher/MostUsed_win.h"
#include "launcher/PopupMenu.h"
#include "launcher/Search.h"
#include "model/FolderReader_win.h"
#include "model/Platform.h"
#include "model/Wide_win.h"

namespace {

const wchar_t* const SearchClass = L"TarvoSearch";
const char* const SearchCue = "Suchen…";
const UINT WM_ICONFOUND = WM_APP + 1;
const UINT WM_FOLDERSREAD = WM_APP + 2;
const int ListId = 2;
// Rows the list shows before it scrolls.
const int VisibleRows = 8;

// The icons of the listed entries: from the cache when a row is first
// drawn, or from the worker later, as the popup has them.
class TSearchIcons {
 public:
  TSearchIcons(const TProject& project, ILauncherHost& host, HWND window)
      : bitmaps_(project, host, window, WM_ICONFOUND) {}
  // The entry's icon, null when it has none (yet).
  HBITMAP Of(const TSearchEntry& entry) {
    const std::string& path = entry.Path.empty() ? bitmaps_.TargetOf(entry.Tag) : entry.Path;
    HBITMAP bitmap = nullptr;
    return !path.empty() && bitmaps_.Known(path, true, bitmap) ? bitmap : nullptr;
  }
  // The worker's results: true when one brought an icon.
  bool Arrived() {
    bool any = false;
    for (const auto& arrived : bitmaps_.Arrived()) any = any || arrived.second;
    return any;
  }
  void Start() { bitmaps_.Start(); }

 private:
  TIconBitmaps bitmaps_;
};

// The items of the folders' submenus, read on a thread of their own: a
// folder that does not answer (a share) never holds the field. The thread is
// left to itself and keeps only what it shares with the window.
class TFolderSearch {
 public:
  TFolderSearch(const std::vector<TSearchFolder>& folders, HWND window) : shared_(std::make_shared<TShared>()) {
    std::thread([shared = shared_, folders, window] {
      std::vector<TSearchEntry> entries;
      try {
        TWindowsFolderReader reader;
        for (const TSearchFolder& folder : folders) {
          std::vector<TSearchEntry> found = FolderSearchEntries(reader, folder.Folder, folder.Place, *Platform.Collation);
          entries.insert(entries.end(), found.begin(), found.end());
        }
      } catch (const std::exception&) {
        // What was read is found; the rest is not, as in a folder's submenu.
      }
      {
        std::lock_guard<std::mutex> lock(shared->Lock);
        shared->Entries = std::move(entries);
      }
      PostMessageW(window, WM_FOLDERSREAD, 0, 0);
    }).detach();
  }
  // What has been read, once.
  std::vector<TSearchEntry> Take() {
    std::lock_guard<std::mutex> lock(shared_->Lock);
    return std::move(shared_->Entries);
  }

 private:
  struct TShared {
    std::mutex Lock;
    std::vector<TSearchEntry> Entries;
  };
  std::shared_ptr<TShared> shared_;
};

// The search on the screen; its window holds it (GWLP_USERDATA).
struct TSearchWindow {
  const TProject* Project = nullptr;
  std::unique_ptr<TMenuSearch> Search;
  std::vector<int> Found;
  std::unique_ptr<TSearchIcons> Icons;
  std::unique_ptr<TFolderSearch> Folders;
  ILauncherHost* Host = nullptr;
  bool IconsWanted = false;
  HWND Window = nullptr, Field = nullptr, List = nullptr;
  WNDPROC FieldProc = nullptr;
  HFONT Font = nullptr;
  int RowHeight = 0, LineHeight = 0;
  bool Done = false;
  int32_t Chosen = 0;  // the tag to run, 0: none
  int ChosenItem = 0;  // its item in the popup's items
  std::string ChosenPath;  // or the folder's item to open

  void Update();
  void FoldersRead();
  void Move(int by);
  void Choose() {
    const int row = static_cast<int>(SendMessageW(List, LB_GETCURSEL, 0, 0));
    if (row >= 0 && static_cast<size_t>(row) < Found.size()) {
      const TSearchEntry& entry = Search->Entries()[static_cast<size_t>(Found[static_cast<size_t>(row)])];
      Chosen = entry.Tag;
      ChosenItem = entry.Item;
      ChosenPath = entry.Path;
    }
    Done = Chosen != 0 || !ChosenPath.empty();
  }
  void Close() { Done = true; }
  void Draw(const DRAWITEMSTRUCT& item);
  // Made when the first row is drawn, not before the field shows: the empty
  // field needs no icons, and their cache brings up the shell.
  TSearchIcons* IconsNow() {
    if (!Icons && IconsWanted) {
      IconsWanted = false;
      try {
        Icons = std::make_unique<TSearchIcons>(*Project, *Host, Window);
        Icons->Start();
      } catch (const std::exception&) {
        Icons.reset();
      }
    }
    return Icons.get();
  }
};

TSearchWindow* Of(HWND window) { return reinterpret_cast<TSearchWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA)); }

void TSearchWindow::Update() {
  const int length = GetWindowTextLengthW(Field);
  std::wstring text(static_cast<size_t>(length) + 1, L'\0');
  GetWindowTextW(Field, &text[0], length + 1);
  text.resize(static_cast<size_t>(length));
  // What Windows-1252 cannot hold no caption holds either.
  std::string query;
  Found = TryNarrow(text, query) ? Search->Find(query) : std::vector<int>();
  SendMessageW(List, LB_SETCOUNT, Found.size(), 0);
  if (!Found.empty()) SendMessageW(List, LB_SETCURSEL, 0, 0);
  InvalidateRect(List, nullptr, TRUE);
}

// The folders' items join the list; the row chosen stays chosen.
void TSearchWindow::FoldersRead() {
  const std::vector<TSearchEntry> entries = Folders->Take();
  if (entries.empty()) return;
  const int row = static_cast<int>(SendMessageW(List, LB_GETCURSEL, 0, 0));
  const int chosen = row >= 0 && static_cast<size_t>(row) < Found.size() ? Found[static_cast<size_t>(row)] : -1;
  Search->Add(entries);
  Update();
  const auto at = std::find(Found.begin(), Found.end(), chosen);
  if (chosen >= 0 && at != Found.end()) SendMessageW(List, LB_SETCURSEL, static_cast<WPARAM>(at - Found.begin()), 0);
}

void TSearchWindow::Move(int by) {
  if (Found.empty()) return;
  const int count = static_cast<int>(Found.size());
  int row = static_cast<int>(SendMessageW(List, LB_GETCURSEL, 0, 0)) + by;
  row = row < 0 ? 0 : (row >= count ? count - 1 : row);
  SendMessageW(List, LB_SETCURSEL, static_cast<WPARAM>(row), 0);
}

void TSearchWindow::Draw(const DRAWITEMSTRUCT& item) {
  const bool selected = (item.itemState & ODS_SELECTED) != 0;
  FillRect(item.hDC, &item.rcItem, GetSysColorBrush(selected ? COLOR_HIGHLIGHT : COLOR_WINDOW));
  if (item.itemID == static_cast<UINT>(-1) || item.itemID >= Found.size()) return;
  const TSearchEntry& entry = Search->Entries()[static_cast<size_t>(Found[item.itemID])];
  const int size = SmallIconSize();
  const int gap = size / 4;
  RECT icon = {item.rcItem.left + gap, item.rcItem.top, item.rcItem.left + gap + size, item.rcItem.top + LineHeight};
  if (TSearchIcons* icons = IconsNow()) {
    HBITMAP bitmap = nullptr;
    try {
      bitmap = icons->Of(entry);
    } catch (const std::exception&) {
      // Icons are a help, never a reason for the search to fail.
    }
    if (bitmap) DrawMenuBitmap(item.hDC, icon, bitmap);
  }
  SetBkMode(item.hDC, TRANSPARENT);
  HGDIOBJ old = SelectObject(item.hDC, Font);
  RECT text = item.rcItem;
  text.left = icon.right + gap;
  text.right -= gap;
  text.bottom = text.top + LineHeight;
  SetTextColor(item.hDC, GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));
  DrawTextW(item.hDC, W(entry.Text).c_str(), -1, &text, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS);
  // The place below, quieter, its start cut rather than its end: the
  // entry's own name ends it.
  text.top = text.bottom;
  text.bottom = item.rcItem.bottom;
  SetTextColor(item.hDC, GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_GRAYTEXT));
  std::wstring place = W(entry.Place);
  DrawTextW(item.hDC, &place[0], -1, &text, DT_SINGLELINE | DT_TOP | DT_NOPREFIX | DT_PATH_ELLIPSIS);
  SelectObject(item.hDC, old);
}

// The field: the keys that move in the list, choose or close, and the cue
// while it is empty (drawn here, as the system's field draws one only with
// the common controls of version 6, which popup mode does not load).
LRESULT CALLBACK FieldWindowProc(HWND field, UINT msg, WPARAM wParam, LPARAM lParam) {
  TSearchWindow* search = Of(GetParent(field));
  switch (msg) {
    case WM_KEYDOWN:
      switch (wParam) {
        case VK_DOWN: search->Move(1); return 0;
        case VK_UP: search->Move(-1); return 0;
        case VK_NEXT: search->Move(VisibleRows); return 0;
        case VK_PRIOR: search->Move(-VisibleRows); return 0;
        case VK_RETURN: search->Choose(); return 0;
        case VK_ESCAPE: search->Close(); return 0;
      }
      break;
    case WM_CHAR:
      // Enter and Esc were handled as keys; the field would only beep.
      if (wParam == '\r' || wParam == 0x1B) return 0;
      break;
    case WM_PAINT: {
      LRESULT result = CallWindowProcW(search->FieldProc, field, msg, wParam, lParam);
      if (GetWindowTextLengthW(field) == 0) {
        HDC dc = GetDC(field);
        HGDIOBJ old = SelectObject(dc, search->Font);
        RECT r;
        GetClientRect(field, &r);
        const DWORD margins = static_cast<DWORD>(SendMessageW(field, EM_GETMARGINS, 0, 0));
        r.left += LOWORD(margins) + 1;
        SetBkMode(dc, TRANSPARENT);
        SetTextColor(dc, GetSysColor(COLOR_GRAYTEXT));
        DrawTextW(dc, W(SearchCue).c_str(), -1, &r, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
        SelectObject(dc, old);
        ReleaseDC(field, dc);
      }
      return result;
    }
  }
  return CallWindowProcW(search->FieldProc, field, msg, wParam, lParam);
}

LRESULT CALLBACK SearchWindowProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  TSearchWindow* search = Of(wnd);
  switch (msg) {
    case WM_MEASUREITEM:
      // Asked while the list is made; its rows get their height after.
      return TRUE;
    case WM_DRAWITEM:
      if (search) search->Draw(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
      return TRUE;
    case WM_COMMAND:
      if (!search) break;
      if (reinterpret_cast<HWND>(lParam) == search->Field && HIWORD(wParam) == EN_CHANGE) search->Update();
      if (reinterpret_cast<HWND>(lParam) == search->List) {
        if (HIWORD(wParam) == LBN_DBLCLK) search->Choose();
        // The typing goes on in the field whatever was clicked.
        if (HIWORD(wParam) == LBN_SELCHANGE) SetFocus(search->Field);
      }
      return 0;
    case WM_ACTIVATE:
      // Like a popup: a click elsewhere closes it and runs nothing.
      if (search && LOWORD(wParam) == WA_INACTIVE) search->Close();
      break;
    case WM_ICONFOUND:
      // Carries nothing, whoever posted it: the results are the loader's.
      if (search && search->Icons && search->Icons->Arrived()) InvalidateRect(search->List, nullptr, FALSE);
      return 0;
    case WM_FOLDERSREAD:
      if (search && search->Folders) search->FoldersRead();
      return 0;
  }
  return DefWindowProcW(wnd, msg, wParam, lParam);
}

HFONT MenuFont() {
  NONCLIENTMETRICSW metrics = {};
  const UINT size = offsetof(NONCLIENTMETRICSW, lfMessageFont) + sizeof metrics.lfMessageFont;
  metrics.cbSize = size;
  if (SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, size, &metrics, 0)) return CreateFontIndirectW(&metrics.lfMenuFont);
  return nullptr;
}

}  // namespace

TSearchStart TakeSearchSwitch(std::vector<std::wstring>& arguments) {
  if (arguments.empty()) return ssMenu;
  TSearchStart start = ssMenu;
  if (_wcsicmp(arguments[0].c_str(), L"/suchen") == 0) start = ssSearch;
  if (_wcsicmp(arguments[0].c_str(), L"/suchtaste") == 0) start = ssMenuWithSearchKey;
  if (start != ssMenu) arguments.erase(arguments.begin());
  return start;
}

void ShowSearchWindow(const TProject& project, ILauncherHost& host, POINT at) {
  Application.Initialize();
  HINSTANCE instance = GetModuleHandleW(nullptr);
  WNDCLASSW wc = {};
  wc.lpfnWndProc = SearchWindowProc;
  wc.hInstance = instance;
  wc.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
  wc.hbrBackground = GetSysColorBrush(COLOR_MENU);
  wc.lpszClassName = SearchClass;
  RegisterClassW(&wc);

  TSearchWindow search;
  search.Project = &project;
  TPopupMenuModel menu = BuildPopupMenu(project.MenuItems());
  TidyPopupMenu(menu);
  search.Search = std::make_unique<TMenuSearch>(menu);
  HFONT ownFont = MenuFont();
  HFONT font = ownFont ? ownFont : static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
  search.Font = font;

  HDC screen = GetDC(nullptr);
  HGDIOBJ oldFont = SelectObject(screen, font);
  TEXTMETRICW metrics = {};
  GetTextMetricsW(screen, &metrics);
  SelectObject(screen, oldFont);
  ReleaseDC(nullptr, screen);
  search.LineHeight = std::max<int>(metrics.tmHeight + 2, SmallIconSize());
  search.RowHeight = 2 * search.LineHeight + 2;
  const int margin = 3;
  const int width = 36 * metrics.tmAveCharWidth + SmallIconSize();
  const int fieldHeight = metrics.tmHeight + 8;
  const int listHeight = VisibleRows * search.RowHeight + 2;
  const int height = margin * 3 + fieldHeight + listHeight + 2 * GetSystemMetrics(SM_CYBORDER);
  const int outerWidth = width + 2 * margin + 2 * GetSystemMetrics(SM_CXBORDER);

  // On the screen of the point, wholly, as a popup would be.
  MONITORINFO monitor = {};
  monitor.cbSize = sizeof monitor;
  if (GetMonitorInfoW(MonitorFromPoint(at, MONITOR_DEFAULTTONEAREST), &monitor)) {
    const RECT& work = monitor.rcWork;
    if (at.x + outerWidth > work.right) at.x = std::max<LONG>(work.left, work.right - outerWidth);
    if (at.y + height > work.bottom) at.y = std::max<LONG>(work.top, work.bottom - height);
  }
  search.Window = CreateWindowExW(WS_EX_TOOLWINDOW | WS_EX_TOPMOST, SearchClass, W(Application.Title).c_str(),
                                  WS_POPUP | WS_BORDER, at.x, at.y, outerWidth, height, Application.Handle, nullptr,
                                  instance, nullptr);
  if (!search.Window) {
    if (ownFont) DeleteObject(ownFont);
    return;
  }
  SetWindowLongPtrW(search.Window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&search));
  search.Field = CreateWindowExW(WS_EX_CLIENTEDGE, L"EDIT", L"", WS_CHILD | WS_VISIBLE | ES_AUTOHSCROLL, margin,
                                 margin, width, fieldHeight, search.Window, nullptr, instance, nullptr);
  // No data of its own: each row is drawn from the entries found, so that a
  // keystroke that finds thousands only sets the list's count.
  search.List = CreateWindowExW(WS_EX_CLIENTEDGE, L"LISTBOX", L"",
                                WS_CHILD | WS_VISIBLE | WS_VSCROLL | LBS_OWNERDRAWFIXED | LBS_NODATA | LBS_NOTIFY |
                                    LBS_NOINTEGRALHEIGHT,
                                margin, 2 * margin + fieldHeight, width, listHeight, search.Window,
                                reinterpret_cast<HMENU>(static_cast<INT_PTR>(ListId)), instance, nullptr);
  SendMessageW(search.Field, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  SendMessageW(search.List, LB_SETITEMHEIGHT, 0, static_cast<LPARAM>(search.RowHeight));
  search.FieldProc = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrW(search.Field, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(FieldWindowProc)));
  search.Host = &host;
  search.IconsWanted = MenuIconsWanted();

  ShowWindow(search.Window, SW_SHOW);
  SetForegroundWindow(search.Window);
  SetFocus(search.Field);
  std::vector<TSearchFolder> folders = search.Search->Folders();
  for (TSearchFolder& folder : folders) folder.Folder = ResolvedLiveFolder(host, folder.Folder);
  try {
    if (!folders.empty()) search.Folders = std::make_unique<TFolderSearch>(folders, search.Window);
  } catch (const std::exception&) {
    // No thread to be had: the menu's entries are found, the folders' not.
  }
  MSG msg;
  while (!search.Done) {
    const BOOL got = GetMessageW(&msg, nullptr, 0, 0);
    if (got <= 0) {
      // The program's end: the outer loop sees it too.
      if (got == 0) PostQuitMessage(static_cast<int>(msg.wParam));
      break;
    }
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  SetWindowLongPtrW(search.Field, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(search.FieldProc));
  SetWindowLongPtrW(search.Window, GWLP_USERDATA, 0);
  DestroyWindow(search.Window);
  // The chosen entry runs after the window has gone, as after a popup.
  const int32_t chosen = search.Chosen;
  // Counted as a choice in the popup, before the group runs.
  if (chosen) TMostUsed(project).Chosen(search.ChosenItem);
  if (chosen) Application.Guard([&] { MenuItemClick(host, project, chosen); });
  if (!search.ChosenPath.empty()) Application.Guard([&] { OpenLiveItem(host, project, search.ChosenPath); });
  // The worker finishes its lookups for the next start before the bitmaps go.
  search.Icons.reset();
  if (ownFont) DeleteObject(ownFont);
}
