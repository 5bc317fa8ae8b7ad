#include "controls/InfoDlg.h"

#include <shellapi.h>

#include <cstddef>
#include <vector>

#include "controls/Drawing.h"
#include "controls/VQControls.h"
#include "controls/Maker.h"
#include "framework/Application.h"
#include "model/Errors.h"
#include "model/Files_win.h"
#include "model/Wide_win.h"

namespace {
const COLORREF LinkColor = RGB(0, 0, 255);
const COLORREF PressedLinkColor = RGB(255, 0, 0);
}  // namespace

std::string GetOwnFileVersion() {
  const std::string program = ProgramFilePath();
  if (program.empty()) return std::string();
  const std::wstring path = W(program);
  SHFILEINFOW info;
  NeedCom();
  if (SHGetFileInfoW(path.c_str(), 0, &info, sizeof info, SHGFI_EXETYPE) == 0) return std::string();
  DWORD handle = 0;
  DWORD size = GetFileVersionInfoSizeW(path.c_str(), &handle);
  if (static_cast<int>(size) <= 0) return std::string();
  std::vector<char> buffer(size, '\0');
  if (!GetFileVersionInfoW(path.c_str(), 0, size, buffer.data())) return std::string();
  WORD* translation = nullptr;
  UINT length = 0;
  if (!VerQueryValueW(buffer.data(), L"\\VarFileInfo\\Translation", reinterpret_cast<void**>(&translation), &length) ||
      length < 4)
    return std::string();
  std::string query = Format("\\StringFileInfo\\%.4x%.4x\\%s", translation[0], translation[1], "FileVersion");
  wchar_t* value = nullptr;
  if (!VerQueryValueW(buffer.data(), W(query).c_str(), reinterpret_cast<void**>(&value), &length) || !value)
    return std::string();
  std::string version;
  return TryNarrow(value, version) ? version : std::string();
}

std::string MessageFontName() {
  // The record as Windows before Vista knew it: without the padded border
  // width; every later Windows accepts that size.
  NONCLIENTMETRICSW metrics;
  ZeroMemory(&metrics, sizeof metrics);
  const UINT size = offsetof(NONCLIENTMETRICSW, lfMessageFont) + sizeof metrics.lfMessageFont;
  metrics.cbSize = size;
  if (!SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, size, &metrics, 0)) return std::string();
  // A face whose name Windows-1252 lacks is left alone: the forms keep
  // their own font.
  std::string name;
  return TryNarrow(metrics.lfMessageFont.lfFaceName, name) ? name : std::string();
}

void ApplyMessageBoxFont(TForm* only) {
  const std::string name = MessageFontName();
  if (name.empty()) return;
  for (TForm* form : TForm::Forms())
    if (form->Handle && form->FontSize() == 8 && (!only || form == only)) form->SetFontName(name);
}

HBITMAP LoadLogoBitmap(int& scale) {
  // A dense screen gets the logo drawn at twice the size, shrunk to fit: a
  // stretched small one would look blurred.
  scale = ScreenDpi() > 96 ? 2 : 1;
  return static_cast<HBITMAP>(LoadImageW(GetModuleHandleW(nullptr), scale == 2 ? L"LOGO2X" : L"LOGO", IMAGE_BITMAP, 0,
                                         0, LR_CREATEDIBSECTION));
}

namespace {
TFormPtr<TInfo> aboutBox;
}

TInfo& AboutBox() {
  return LazyForm(aboutBox, [](TInfo& form) { form.Create(); });
}

void FreeAboutBox() { aboutBox.reset(); }

TInfo::TInfo() : TForm("TInfo") {
  Style = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME;
  // A dialog's frame: no icon in the caption.
  ExStyle = WS_EX_DLGMODALFRAME;
  ClientWidth = 435;
  ClientHeight = 132;
  FontName = "MS Sans Serif";
  FontHeight = 11;  // 8 points
}

TInfo::~TInfo() { FreeBitmaps(); }

void TInfo::Create() {
  TForm::Create(
      {
          {Kind<TPaintBox>, "LogoPB", nullptr, 0, 0, 435, 65, 0, "", coAlignTop, {}, {Bind(logo_), On(evPaint, this, &TInfo::LogoPBPaint)}},
          {Kind<TLabel>, "InfoLbl", nullptr, 8, 72, 419, 16, 0, MakerLine, coRightAlign | coAutoSize},
          {Kind<TLabel>, "EMailLbl", nullptr, 8, 92, 419, 16, 0, MakerEMail, coRightAlign | coAutoSize | coHandCursor, {},
           {On(evClick, this, &TInfo::EMailLblClick), On(evMouseEnter, this, &TInfo::HyperLinkMouseEnter),
            On(evMouseLeave, this, &TInfo::HyperLinkMouseLeave), On(evMouseDown, this, &TInfo::HyperLinkMouseDown),
            On(evMouseUp, this, &TInfo::HyperLinkMouseUp)}},
          {Kind<TLabel>, "URLLbl", nullptr, 8, 110, 419, 16, 0, MakerWebAddress, coRightAlign | coAutoSize | coHandCursor,
           {},
           {On(evClick, this, &TInfo::URLLblClick), On(evMouseEnter, this, &TInfo::HyperLinkMouseEnter),
            On(evMouseLeave, this, &TInfo::HyperLinkMouseLeave), On(evMouseDown, this, &TInfo::HyperLinkMouseDown),
            On(evMouseUp, this, &TInfo::HyperLinkMouseUp)}},
          {Kind<TButton>, "OK", nullptr, 177, 99, 81, 25, 0, "OK", coTabStop | coDefault | coCancel, {},
           {On(evClick, this, &TInfo::OKClick)}},
      },
      Application.MainWindow);
}

void TInfo::FormCreate() {
  // Made on first use, after the other windows: the message font is for
  // this box alone now (the program start gave it to the others).
  ApplyMessageBoxFont(this);
  LogoBitmap = LoadLogoBitmap(LogoScale);
  if (!LogoBitmap) throw Exception("Die Bitmap-Ressource LOGO fehlt.");
  // The mask: black logo pixels become white, all others black.
  BITMAP bm;
  GetObjectA(LogoBitmap, sizeof bm, &bm);
  LogoMask = CreateBitmap(bm.bmWidth, bm.bmHeight, 1, 1, nullptr);
  HDC screen = GetDC(nullptr);
  HDC src = CreateCompatibleDC(screen), dst = CreateCompatibleDC(screen);
  HGDIOBJ oldSrc = SelectObject(src, LogoBitmap), oldDst = SelectObject(dst, LogoMask);
  SetBkColor(src, RGB(0, 0, 0));
  BitBlt(dst, 0, 0, bm.bmWidth, bm.bmHeight, src, 0, 0, SRCCOPY);
  SelectObject(src, oldSrc);
  SelectObject(dst, oldDst);
  DeleteDC(src);
  DeleteDC(dst);
  ReleaseDC(nullptr, screen);
  for (const char* name : {"EMailLbl", "URLLbl"}) Control(name).SetFontColor(LinkColor);
}

void TInfo::FreeBitmaps() {
  if (LogoBitmap) DeleteObject(LogoBitmap);
  if (LogoMask) DeleteObject(LogoMask);
  LogoBitmap = LogoMask = nullptr;
}

void TInfo::FormDestroy() { FreeBitmaps(); }

void TInfo::ShowAboutBox(const std::string& productName, const std::string& developmentYears, HICON icon) {
  ProductName = productName;
  DevelopmentYears = developmentYears;
  ProductIcon = icon;
  SetWindowTextW(Handle, W("Info über " + productName).c_str());
  logo_->Invalidate();
  ShowModal();
}

std::string TInfo::HeaderText() const {
  return ProductName + "\r\nVersion: " + GetOwnFileVersion() + "\r\nEntwicklungszeit: " + DevelopmentYears;
}

namespace {
int TextHeight(HDC dc, const std::string& text) {
  SIZE size = {0, 0};
  const std::wstring wide = W(text);
  GetTextExtentPoint32W(dc, wide.c_str(), static_cast<int>(wide.size()), &size);
  return size.cy;
}
}  // namespace

void TInfo::LogoPBPaint(TControl& sender, HDC dc) {
  const int w = sender.Width(), h = sender.Height();
  PaintGradient(dc, AboutHeaderGradient(w), h);
  if (LogoBitmap && LogoMask) {
    BITMAP bm;
    GetObjectA(LogoBitmap, sizeof bm, &bm);
    const int logoWidth = Scale(bm.bmWidth / LogoScale), logoHeight = Scale(bm.bmHeight / LogoScale);
    const int x = AboutLogoLeft(w, logoWidth), y = Scale(4);
    HDC mem = CreateCompatibleDC(dc);
    SetTextColor(dc, RGB(0, 0, 0));
    SetBkColor(dc, RGB(255, 255, 255));
    SetStretchBltMode(dc, logoWidth == bm.bmWidth ? COLORONCOLOR : HALFTONE);
    SetBrushOrgEx(dc, 0, 0, nullptr);
    auto blit = [&](HBITMAP bitmap, DWORD rop) {
      SelectObject(mem, bitmap);
      if (logoWidth == bm.bmWidth && logoHeight == bm.bmHeight)
        BitBlt(dc, x, y, logoWidth, logoHeight, mem, 0, 0, rop);
      else
        StretchBlt(dc, x, y, logoWidth, logoHeight, mem, 0, 0, bm.bmWidth, bm.bmHeight, rop);
    };
    HGDIOBJ old = SelectObject(mem, LogoMask);
    blit(LogoMask, SRCPAINT);
    // The logo's white background lets the gradient show through.
    blit(LogoBitmap, SRCAND);
    SelectObject(mem, old);
    DeleteDC(mem);
  }
  int iconWidth = GetSystemMetrics(SM_CXICON), iconHeight = GetSystemMetrics(SM_CYICON);
  if (ProductIcon) {
    ICONINFO ii;
    if (GetIconInfo(ProductIcon, &ii)) {
      BITMAP bm;
      if (GetObjectA(ii.hbmColor ? ii.hbmColor : ii.hbmMask, sizeof bm, &bm)) {
        iconWidth = bm.bmWidth;
        iconHeight = ii.hbmColor ? bm.bmHeight : bm.bmHeight / 2;
      }
      if (ii.hbmColor) DeleteObject(ii.hbmColor);
      if (ii.hbmMask) DeleteObject(ii.hbmMask);
    }
    DrawIconEx(dc, Scale(8), h / 2 - iconHeight / 2, ProductIcon, iconWidth, iconHeight, 0, nullptr, DI_NORMAL);
    RECT frame = {Scale(8) - 1, h / 2 - iconHeight / 2 - 1, iconWidth + Scale(8), h / 2 + iconHeight / 2};
    FrameRect(dc, &frame, GetSysColorBrush(COLOR_BTNFACE));
  }
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
  const int x = iconWidth + Scale(16);
  HGDIOBJ old = SelectObject(dc, FontHandle(sender.FontName, sender.FontHeight, true));
  const int productHeight = TextHeight(dc, ProductName);
  auto textOut = [dc](int left, int top, const std::string& text) {
    const std::wstring wide = W(text);
    TextOutW(dc, left, top, wide.c_str(), static_cast<int>(wide.size()));
  };
  textOut(x, h / 2 - static_cast<int>(1.5 * productHeight), ProductName);
  SelectObject(dc, FontHandle(sender.FontName, sender.FontHeight));
  textOut(x, h / 2 - static_cast<int>(0.5 * productHeight), "Version: " + GetOwnFileVersion());
  const std::string years = "Entwicklungszeit: " + DevelopmentYears;
  textOut(x, h / 2 + static_cast<int>(0.5 * TextHeight(dc, years)), years);
  SelectObject(dc, old);
  // What the header says, readable by accessibility tools and tests.
  const std::string text = HeaderText();
  if (sender.Caption() != text) SetWindowTextW(sender.Handle, W(text).c_str());
}

void TInfo::EMailLblClick(TControl&) {
  NeedCom();
  ShellExecuteW(Handle, L"open", W(std::string("mailto:") + MakerEMail).c_str(), L"", L"", SW_SHOWNORMAL);
}

void TInfo::URLLblClick(TControl&) {
  NeedCom();
  ShellExecuteW(Handle, L"open", W(std::string("http://") + MakerWebAddress).c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

void TInfo::HyperLinkMouseEnter(TControl& sender) { sender.SetFontStyle(false, false, true); }
void TInfo::HyperLinkMouseLeave(TControl& sender) { sender.SetFontStyle(false, false, false); }
void TInfo::HyperLinkMouseDown(TControl& sender, TMouseButton, int, int) { sender.SetFontColor(PressedLinkColor); }
void TInfo::HyperLinkMouseUp(TControl& sender, TMouseButton, int, int) { sender.SetFontColor(LinkColor); }

void TInfo::OKClick(TControl&) { ModalResult = mrOK; }
