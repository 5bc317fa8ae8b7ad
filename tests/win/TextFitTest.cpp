// Every text the program's windows name is shown whole: measured in the font
// the window really draws it with, on this screen (the same test runs in the
// prefix of 96 DPI and in the one of 144 DPI).
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include <functional>
#include <memory>

#include "tests/win/ConfigDriver.h"
#include "tests/win/LauncherTestSupport.h"

namespace {

int Dpi() {
  HDC dc = GetDC(nullptr);
  const int dpi = GetDeviceCaps(dc, LOGPIXELSY);
  ReleaseDC(nullptr, dc);
  return dpi;
}

// The font of the program's forms: the system's message font at 8 points.
LOGFONTA FormFont(const char* face = nullptr) {
  NONCLIENTMETRICSA metrics = {};
  metrics.cbSize = 340;
  SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, 340, &metrics, 0);
  LOGFONTA font = {};
  font.lfHeight = -MulDiv(11, Dpi(), 96);
  font.lfWeight = FW_NORMAL;
  font.lfCharSet = DEFAULT_CHARSET;
  lstrcpynA(font.lfFaceName, face ? face : metrics.lfMessageFont.lfFaceName, LF_FACESIZE);
  return font;
}

// The first and the last column of rows that differ from the colour at the
// top left corner: what is drawn there.
struct TInk {
  int Left = 1 << 30, Right = -1;
  int Width() const { return Right < Left ? 0 : Right - Left + 1; }
};
TInk InkOf(HDC source, int x, int y, int width, int height) {
  TInk ink;
  if (width <= 0 || height <= 0) return ink;
  BITMAPINFO info = {};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  void* bits = nullptr;
  HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  HDC copy = CreateCompatibleDC(source);
  HGDIOBJ old = SelectObject(copy, bitmap);
  BitBlt(copy, 0, 0, width, height, source, x, y, SRCCOPY);
  GdiFlush();
  const DWORD* pixels = static_cast<const DWORD*>(bits);
  const DWORD background = pixels[0] & 0xFFFFFF;
  for (int row = 0; row < height; ++row)
    for (int column = 0; column < width; ++column)
      if ((pixels[row * width + column] & 0xFFFFFF) != background) {
        ink.Left = std::min(ink.Left, column);
        ink.Right = std::max(ink.Right, column);
      }
  SelectObject(copy, old);
  DeleteDC(copy);
  DeleteObject(bitmap);
  return ink;
}
TInk ScreenInk(const RECT& r) {
  HDC screen = GetDC(nullptr);
  TInk ink = InkOf(screen, r.left, r.top, r.right - r.left, r.bottom - r.top);
  ReleaseDC(nullptr, screen);
  return ink;
}

// The text drawn whole, in black on white.
TInk WholeInk(const LOGFONTA& logFont, const std::string& text) {
  HDC screen = GetDC(nullptr);
  HDC dc = CreateCompatibleDC(screen);
  HBITMAP bitmap = CreateCompatibleBitmap(screen, 2000, 200);
  HGDIOBJ oldBitmap = SelectObject(dc, bitmap);
  HFONT font = CreateFontIndirectA(&logFont);
  HGDIOBJ oldFont = SelectObject(dc, font);
  RECT all = {0, 0, 2000, 200};
  FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
  RECT at = {10, 10, 2000, 200};
  DrawTextA(dc, text.c_str(), -1, &at, DT_SINGLELINE | DT_NOPREFIX);
  TInk ink = InkOf(dc, 0, 0, 2000, 200);
  SelectObject(dc, oldFont);
  DeleteObject(font);
  SelectObject(dc, oldBitmap);
  DeleteObject(bitmap);
  DeleteDC(dc);
  ReleaseDC(nullptr, screen);
  return ink;
}

// The height the text needs, wrapped as an edit field wraps it.
int WrappedHeight(const LOGFONTA& logFont, const std::string& text, int width) {
  HDC dc = GetDC(nullptr);
  HFONT font = CreateFontIndirectA(&logFont);
  HGDIOBJ old = SelectObject(dc, font);
  RECT r = {0, 0, width, 0};
  DrawTextA(dc, text.c_str(), -1, &r, DT_CALCRECT | DT_WORDBREAK | DT_EDITCONTROL | DT_NOPREFIX);
  SelectObject(dc, old);
  DeleteObject(font);
  ReleaseDC(nullptr, dc);
  return r.bottom;
}

RECT ToScreen(HWND window, RECT r) {
  MapWindowPoints(window, nullptr, reinterpret_cast<POINT*>(&r), 2);
  return r;
}

// Where a text stands on the screen, and the font it is drawn in; wrapped:
// on as many lines as the room holds.
struct TShown {
  RECT Room = {};
  LOGFONTA Font = {};
  bool Wrapped = false;
};

const std::string LongProgram =
    "C:\\Programme\\Ein Ordner mit einem recht langen Namen\\Noch ein Unterordner\\Werkzeuge und Hilfsmittel"
    "\\Das letzte Programm mit langem Namen.exe";

class TextFit : public ::testing::Test {
 public:
  // The configuration window on the editor page with a project whose group
  // holds a line of each long kind and a program that is missing.
  HWND Editor() {
    if (!config) {
      config = std::make_unique<TConfigProcess>();
      HWND main = config->MainWindow();
      if (!main) return nullptr;
      SendMessageA(OptionButtons(main)[0], BM_CLICK, 0, 0);
      const std::string project = folder / "Texte.trv";
      WriteFileBytes(project, ProjectText({"[ExecGroups]", "Lang", " 1 Hallo;Titel;0;0", " 5 \"Andere\"",
                                           Command(Quoted(LongProgram), "0"), "Andere", " 3 ", "[MenuItems]",
                                           "0 1 Lang"}));
      config->DropFiles({project});
      HWND groups = ControlHandle(main, "ComboBox_ExecLines");
      if (!WaitUntil([&] { return SendMessageA(groups, CB_GETCOUNT, 0, 0) == 3; })) return nullptr;
      ChooseComboItem(groups, 0);
      HWND list = ControlHandle(main, "ListView_ExecLines");
      if (!WaitUntil([&] { return SendMessageA(list, LVM_GETITEMCOUNT, 0, 0) == 3; })) return nullptr;
    }
    return config->MainWindow();
  }
  // The label of a row of the working list.
  TShown LineRow(int row) {
    TShown shown;
    HWND main = Editor();
    if (!main) return shown;
    HWND list = ControlHandle(main, "ListView_ExecLines");
    // Sent from here, the message's pointer passes unchanged: it names the
    // program's own memory, which the list fills.
    TRemoteProcess remote(config->Pid());
    RECT label = {LVIR_LABEL, 0, 0, 0};
    remote.WriteScratch(&label, sizeof label);
    SendMessageA(list, LVM_GETITEMRECT, static_cast<WPARAM>(row), static_cast<LPARAM>(remote.Scratch()));
    remote.ReadScratch(sizeof label).copy(reinterpret_cast<char*>(&label), sizeof label);
    RECT client;
    GetClientRect(list, &client);
    // What the list shows of the label.
    label.right = std::min(label.right, client.right);
    shown.Room = ToScreen(list, label);
    shown.Font = FormFont();
    return shown;
  }
  TShown CheckedFinding() {
    TShown shown;
    HWND main = Editor();
    if (!main) return shown;
    HWND check = config->FindWindowOfClass("TCheckForm");
    if (!check) {
      PostMessageA(ControlHandle(main, "Button_Check"), BM_CLICK, 0, 0);
      check = config->WaitForWindow("TCheckForm");
    }
    if (!check) return shown;
    HWND memo = ControlHandle(check, "Memo_Finding");
    WaitUntil([&] { return !TextOf(memo).empty(); });
    RECT client;
    GetClientRect(memo, &client);
    // The edit field's own margins.
    const DWORD margins = static_cast<DWORD>(SendMessageA(memo, EM_GETMARGINS, 0, 0));
    client.left += LOWORD(margins);
    client.right -= HIWORD(margins);
    shown.Room = ToScreen(memo, client);
    shown.Font = FormFont("Arial");
    shown.Wrapped = true;
    shownText = TextOf(memo);
    return shown;
  }

  // A link of the about box, a label of the window's own drawing.
  TShown AboutLink(const char* name) {
    TShown shown;
    if (!about) {
      aboutProcess = std::make_unique<TConfigProcess>();
      if (!aboutProcess->MainWindow()) return shown;
      PostMessageA(aboutProcess->MainWindow(), WM_SYSCOMMAND, 0xF200, 0);
      about = aboutProcess->WaitForWindow("TInfo");
    }
    if (!about) return shown;
    shown.Room = ControlRect(about, name);
    MapWindowPoints(about, nullptr, reinterpret_cast<POINT*>(&shown.Room), 2);
    shown.Font = FormFont();
    return shown;
  }

  // A popup's submenu, opened with its access key, and one of its items.
  TShown PopupItem(char submenuKey, int item) {
    TShown shown;
    if (!popupProcess) {
      const std::string project = folder / "Popup.trv";
      WriteFileBytes(project,
                     ProjectText({"[ExecGroups]", "Programm", Command(Quoted(TrvExePath()), "0"), "Meldung",
                                  " 1 Hallo;Titel;0;0", "Frage", " 2 Weiter?;Frage;1;0", "[MenuItems]",
                                  "0 0 Untermen\xFC", "1 1 Programm", "1 2 \"Nachricht zeigen\"", "0 0 Zweites",
                                  "1 1 P", "1 3 \"Frage stellen\""}));
      POINT p;
      GetCursorPos(&p);
      SetCursorPos(100, 100);
      popupProcess = std::make_unique<TTrvProcess>(Quoted(project));
      popup = WaitForWindow(popupProcess->Id(), "#32768");
    }
    if (!popup) return shown;
    const DWORD pid = popupProcess->Id();
    // Back to the top level, then into the submenu.
    if (WindowsOf(pid, "#32768").size() > 1) {
      PostKey(popup, VK_ESCAPE);
      WaitUntil([&] { return WindowsOf(pid, "#32768").size() == 1; });
    }
    PostKey(popup, static_cast<UINT>(submenuKey));
    HWND submenu = nullptr;
    WaitUntil([&] {
      for (HWND window : WindowsOf(pid, "#32768"))
        if (window != popup && IsWindowVisible(window)) submenu = window;
      return submenu != nullptr;
    });
    if (!submenu) return shown;
    TRemoteProcess remote(pid);
    RECT rect = {};
    remote.CallUser32("GetMenuItemRect", {0, reinterpret_cast<DWORD>(MenuOfPopupWindow(submenu)),
                                          static_cast<DWORD>(item), remote.Scratch()});
    remote.ReadScratch(sizeof rect).copy(reinterpret_cast<char*>(&rect), sizeof rect);
    shown.Room = rect;
    // The menus' font as the program reads it on this screen.
    NONCLIENTMETRICSA metrics = {};
    metrics.cbSize = 340;
    remote.WriteScratch(&metrics, 340);
    remote.CallUser32("SystemParametersInfoA", {SPI_GETNONCLIENTMETRICS, 340, remote.Scratch(), 0});
    remote.ReadScratch(340).copy(reinterpret_cast<char*>(&metrics), 340);
    shown.Font = metrics.lfMenuFont;
    return shown;
  }
  void TearDown() override {
    if (popup) PostKey(popup, VK_ESCAPE), PostKey(popup, VK_ESCAPE);
  }

  TTempFolder folder;
  std::unique_ptr<TConfigProcess> config;
  std::unique_ptr<TTrvProcess> popupProcess;
  std::unique_ptr<TConfigProcess> aboutProcess;
  HWND about = nullptr;
  HWND popup = nullptr;
  std::string shownText;
};

TEST_F(TextFit, EveryNamedTextIsShownWhole) {
  struct Row {
    const char* where;
    std::string text;
    std::function<TShown(TextFit&)> shown;
  };
  const Row rows[] = {
      {"the working list's column Typ", "Meldung anzeigen", [](TextFit& t) { return t.LineRow(0); }},
      {"the working list's column Typ", "Befehlszeilengruppe", [](TextFit& t) { return t.LineRow(1); }},
      {"the check window's finding", LongProgram, [](TextFit& t) { return t.CheckedFinding(); }},
      {"the popup's submenu, beside an entry with an icon", "Nachricht zeigen",
       [](TextFit& t) { return t.PopupItem('U', 1); }},
      {"a narrower submenu", "Frage stellen", [](TextFit& t) { return t.PopupItem('Z', 1); }},
      {"the about box", "www.tarvo.example", [](TextFit& t) { return t.AboutLink("URLLbl"); }},
      {"the about box", "kontakt@tarvo.example", [](TextFit& t) { return t.AboutLink("EMailLbl"); }},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(std::string(row.where) + ": " + row.text + " at " + std::to_string(Dpi()) + " DPI");
    TShown shown = row.shown(*this);
    ASSERT_GT(shown.Room.right, shown.Room.left);
    if (shown.Wrapped) {
      EXPECT_NE(shownText.find(row.text), std::string::npos) << shownText;
      EXPECT_LE(WrappedHeight(shown.Font, shownText, shown.Room.right - shown.Room.left),
                shown.Room.bottom - shown.Room.top);
      continue;
    }
    const int whole = WholeInk(shown.Font, row.text).Width();
    ASSERT_GT(whole, 0);
    // Painted by then: waits for the text, which is either whole or cut.
    TInk ink;
    WaitUntil([&] { return (ink = ScreenInk(shown.Room)).Width() >= whole; }, 2000);
    EXPECT_GE(ink.Width(), whole);
  }
}

}  // namespace
