#include "framework/Controls.h"

#include <windowsx.h>

#include <algorithm>
#include <map>

#include "framework/Application.h"
#include "framework/Form.h"
#include "model/Errors.h"
#include "model/MessageBox_win.h"
#include "model/Wide_win.h"

namespace {

// Which control a window is: looked up for nearly every message, so kept
// in the process (a window property costs Wine a server round trip).
std::map<HWND, TControl*>& ControlMap() {
  static std::map<HWND, TControl*> controls;
  return controls;
}

// The second press of a double click is a press too: every release then
// has its press.
bool MouseDownMessage(UINT msg, TMouseButton& button, bool& doubleClick) {
  doubleClick = msg == WM_LBUTTONDBLCLK || msg == WM_RBUTTONDBLCLK || msg == WM_MBUTTONDBLCLK;
  switch (msg) {
    case WM_LBUTTONDOWN: case WM_LBUTTONDBLCLK: button = mbLeft; return true;
    case WM_RBUTTONDOWN: case WM_RBUTTONDBLCLK: button = mbRight; return true;
    case WM_MBUTTONDOWN: case WM_MBUTTONDBLCLK: button = mbMiddle; return true;
  }
  return false;
}

bool MouseUpMessage(UINT msg, TMouseButton& button) {
  switch (msg) {
    case WM_LBUTTONUP: button = mbLeft; return true;
    case WM_RBUTTONUP: button = mbRight; return true;
    case WM_MBUTTONUP: button = mbMiddle; return true;
  }
  return false;
}

// A text Windows-1252 cannot hold raises EForeignText: the program could
// not keep it.
std::string WindowText(HWND wnd) {
  int n = GetWindowTextLengthW(wnd);
  std::wstring text(n + 1, L'\0');
  text.resize(GetWindowTextW(wnd, &text[0], n + 1));
  return Narrow(text);
}

HCURSOR SystemCursor(LPCSTR id) { return LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(id)); }

// The text of the clipboard, as UTF-16 (Windows makes it of any other text
// format there); false when it holds none.
bool ClipboardText(HWND owner, std::u16string& text) {
  if (!IsClipboardFormatAvailable(CF_UNICODETEXT) || !OpenClipboard(owner)) return false;
  bool got = false;
  if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
    if (const auto* units = static_cast<const wchar_t*>(GlobalLock(data))) {
      text = U16(units);
      got = true;
      GlobalUnlock(data);
    }
  }
  CloseClipboard();
  return got;
}

const void* foreignTextOwner = nullptr;
Framework::TForeignTextHandler foreignTextHandler;
// The first half of a character beyond the 16-bit units, refused: its second
// half follows as a character of its own.
wchar_t refusedHighSurrogate = 0;

}  // namespace

// ---------------------------------------------------------------------------
// Properties of table rows

namespace {
TProp PropOf(TProp::TKind kind) {
  TProp p;
  p.Kind = kind;
  return p;
}
}  // namespace

TProp Items(std::vector<std::string> items) {
  TProp p = PropOf(TProp::pkItems);
  p.Strings = std::move(items);
  return p;
}

TProp Columns(std::vector<TColumnDef> columns) {
  TProp p = PropOf(TProp::pkColumns);
  p.Columns = std::move(columns);
  return p;
}

TProp WindowStyles(DWORD bits) {
  TProp p = PropOf(TProp::pkStyle);
  p.Bits = bits;
  return p;
}

TProp WindowExStyles(DWORD bits) {
  TProp p = PropOf(TProp::pkExStyle);
  p.Bits = bits;
  return p;
}

TProp BackColor(COLORREF color) {
  TProp p = PropOf(TProp::pkColor);
  p.Color = color;
  return p;
}

TProp FocusControl(const char* name) {
  TProp p = PropOf(TProp::pkFocusControl);
  p.Name = name;
  return p;
}

TProp Range(int min, int max) {
  TProp p = PropOf(TProp::pkRange);
  p.Min = min;
  p.Max = max;
  return p;
}

TProp Picture(int resourceId, int size) {
  TProp p = PropOf(TProp::pkPicture);
  p.Min = resourceId;
  p.Max = size;
  return p;
}

TProp Indent(int pixels) {
  TProp p = PropOf(TProp::pkIndent);
  p.Min = pixels;
  return p;
}

// ---------------------------------------------------------------------------

TControl* ControlOf(HWND wnd) {
  if (!wnd) return nullptr;
  auto it = ControlMap().find(wnd);
  return it == ControlMap().end() ? nullptr : it->second;
}



// ---------------------------------------------------------------------------
// The base class

TControl::~TControl() {
  if (Handle && IsWindow(Handle)) {
    ControlMap().erase(Handle);
    DestroyWindow(Handle);
  }
}

int TControl::Left() const { return Bounds.left; }
int TControl::Top() const { return Bounds.top; }
int TControl::Width() const { return Bounds.right - Bounds.left; }
int TControl::Height() const { return Bounds.bottom - Bounds.top; }

void TControl::SetBounds(int left, int top, int width, int height) {
  if (!Handle) Invalidate();  // where it was
  Bounds = {left, top, left + width, top + height};
  if (Handle)
    SetWindowPos(Handle, nullptr, left, top, width, WindowHeight(height), SWP_NOZORDER | SWP_NOACTIVATE);
  else
    Invalidate();
}

void TControl::SetPosition(int left, int top) { SetBounds(left, top, Width(), Height()); }

bool TControl::Visible() const {
  if (!Handle) return Shown && !WindowClass() && IsWindowVisible(ParentHandle());
  return GetWindowLongW(Handle, GWL_STYLE) & WS_VISIBLE;
}

void TControl::SetVisible(bool visible) {
  if (Handle) {
    ShowWindow(Handle, visible ? SW_SHOWNA : SW_HIDE);
  } else if (Shown != visible) {
    Shown = visible;
    Invalidate();
  }
}

bool TControl::Enabled() const { return Handle && IsWindowEnabled(Handle); }

void TControl::SetEnabled(bool enabled) {
  if (Handle) EnableWindow(Handle, enabled);
}

void TControl::SetCaption(const std::string& text) {
  if (Handle) {
    SetWindowTextW(Handle, W(text).c_str());
  } else if (GraphicCaption != text) {
    GraphicCaption = text;
    AdjustSize();
    Invalidate();
  }
}

std::string TControl::Caption() const { return Handle ? WindowText(Handle) : GraphicCaption; }

void TControl::SetFocus() {
  if (Handle) ::SetFocus(Handle);
}

bool TControl::Focused() const { return Handle && GetFocus() == Handle; }

void TControl::SetParentControl(TControl& parent) {
  if (!parent.Handle) return;
  Invalidate();
  Parent = &parent;
  if (Handle) SetParent(Handle, parent.Handle);
  Invalidate();
}

void TControl::SetFontStyle(bool bold, bool italic, bool underline) {
  Bold = bold;
  Italic = italic;
  Underline = underline;
  ApplyFont();
}

void TControl::SetFontColor(COLORREF color) {
  FontColor = color;
  Invalidate();
}

void TControl::ApplyFont() {
  // A window that does not show yet is painted whole when it does.
  if (Handle)
    SendMessageW(Handle, WM_SETFONT,
                 reinterpret_cast<WPARAM>(FontHandle(FontName, FontHeight, Bold, Italic, Underline)),
                 IsWindowVisible(Handle));
  else if (WindowClass())
    return;  // its window is made later
  AdjustSize();
  Invalidate();
}

namespace {
// How far a line's drawing reaches to the right of where it starts: at
// small sizes Wine draws some faces wider than their metrics say
// ("www.tarvo.example" 100 pixels for 96), and a box of the metrics' width
// cuts the last letter.
int DrawnWidth(HDC measuring, HFONT font, const std::string& text, const RECT& measured) {
  const int width = measured.right + measured.bottom * 2, height = measured.bottom;
  if (text.empty() || width <= 0 || height <= 0) return measured.right;
  BITMAPINFO info = TopDownInfo(width, height);
  void* bits = nullptr;
  HBITMAP bitmap = CreateDIBSection(measuring, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (!bitmap) return measured.right;
  HDC dc = CreateCompatibleDC(measuring);
  HGDIOBJ oldBitmap = SelectObject(dc, bitmap), oldFont = SelectObject(dc, font);
  RECT all = {0, 0, width, height};
  FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, RGB(0, 0, 0));
  const std::wstring wide = W(text);
  DrawTextW(dc, wide.c_str(), static_cast<int>(wide.size()), &all, DT_NOCLIP);
  GdiFlush();
  int right = measured.right;
  const DWORD* pixels = static_cast<const DWORD*>(bits);
  for (int y = 0; y < height; ++y)
    for (int x = right; x < width; ++x)
      if ((pixels[y * width + x] & 0xFFFFFF) != 0xFFFFFF) right = x + 1;
  SelectObject(dc, oldFont);
  SelectObject(dc, oldBitmap);
  DeleteDC(dc);
  DeleteObject(bitmap);
  return right;
}
}  // namespace

void TControl::AdjustSize() {
  if (!(Options & coAutoSize) || !dynamic_cast<TLabel*>(this)) return;
  // A memory DC measures as the screen does, without asking the window
  // server for the screen's DC.
  HDC dc = CreateCompatibleDC(nullptr);
  HFONT font = FontHandle(FontName, FontHeight, Bold, Italic, Underline);
  HGDIOBJ old = SelectObject(dc, font);
  const std::string text = Caption();
  const std::wstring wide = W(text);
  RECT r = {0, 0, 0, 0};
  DrawTextW(dc, wide.c_str(), static_cast<int>(wide.size()), &r, DT_CALCRECT);
  SelectObject(dc, old);
  r.right = DrawnWidth(dc, font, text, r);
  DeleteDC(dc);
  // A right-aligned label keeps its right edge.
  const int left = (Options & coRightAlign) ? Bounds.right - r.right : Bounds.left;
  if (left != Bounds.left || r.right != Width() || r.bottom != Height()) SetBounds(left, Bounds.top, r.right, r.bottom);
}

// A window that does not show is painted whole when it comes to show: until
// then each invalidation would only cost a trip to the window server, and a
// window's controls invalidate several times as they are made.
void TControl::Invalidate() {
  if (Handle) {
    if (IsWindowVisible(Handle)) InvalidateRect(Handle, nullptr, FALSE);
  } else if (HWND parent = ParentHandle(); parent && IsWindowVisible(parent)) {
    // Transparent pictures show what lies below them: that repaints too.
    InvalidateRect(parent, &Bounds, TRUE);
  }
}

HWND TControl::ParentHandle() const {
  if (!Parent) return Form ? Form->Handle : nullptr;
  if (dynamic_cast<const TNotebook*>(Parent)) return Parent->ParentHandle();
  return Parent->Handle;
}

COLORREF TControl::BackgroundColor() const {
  if (Color != clDefault) return Color;
  if (Parent) return Parent->BackgroundColor();
  return Form ? Form->Color : clBtnFace;
}

void TControl::Fire(const TNotifyHandler& handler) {
  if (handler && Form && !Form->Dying()) Application.Guard([&] { handler(*this); });
}

void TControl::FireMouse(const TMouseHandler& handler, TMouseButton button, int x, int y) {
  if (handler && Form && !Form->Dying()) Application.Guard([&] { handler(*this, button, x, y); });
}

HWND TControl::CreateHandle(HWND parent, int id, const RECT& rect, DWORD style, DWORD exStyle, const char* caption) {
  return CreateWindowExW(exStyle, W(WindowClass()).c_str(), W(caption ? caption : "").c_str(), style, rect.left,
                         rect.top, rect.right - rect.left, WindowHeight(rect.bottom - rect.top), parent,
                         reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleW(nullptr), nullptr);
}

LRESULT TControl::DefaultMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
  return OwnClass() ? DefWindowProcW(Handle, msg, wParam, lParam)
                    : CallWindowProcW(OriginalProc, Handle, msg, wParam, lParam);
}

bool TControl::Message(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) {
  TMouseButton button;
  bool doubleClick;
  if (MouseDownMessage(msg, button, doubleClick)) {
    result = DefaultMessage(msg, wParam, lParam);
    FireMouse(OnMouseDown, button, GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
    if (msg == WM_LBUTTONDBLCLK && !DblClickByNotification())
      Fire(OnDblClick);
    return true;
  }
  if (MouseUpMessage(msg, button)) {
    result = DefaultMessage(msg, wParam, lParam);
    FireMouse(OnMouseUp, button, GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
    return true;
  }
  switch (msg) {
    case WM_DROPFILES:
      // A control that accepts files from the shell hands the drop to its
      // form, naming itself in the unused lParam.
      if (!Form || !Form->Handle) return false;
      result = SendMessageW(Form->Handle, WM_DROPFILES, wParam, reinterpret_cast<LPARAM>(Handle));
      return true;
    case WM_MOUSEMOVE: {
      result = DefaultMessage(msg, wParam, lParam);
      if (!MouseInside) {
        // Armed once on entering: the leave message ends the tracking.
        TRACKMOUSEEVENT tme = {sizeof tme, TME_LEAVE, Handle, 0};
        TrackMouseEvent(&tme);
        MouseInside = true;
        Fire(OnMouseEnter);
      }
      return true;
    }
    case WM_MOUSELEAVE:
      result = DefaultMessage(msg, wParam, lParam);
      if (MouseInside) {
        MouseInside = false;
        Fire(OnMouseLeave);
      }
      return true;
    case WM_SETFOCUS:
      result = DefaultMessage(msg, wParam, lParam);
      if (!FocusByNotification()) Fire(OnEnter);
      return true;
    case WM_KILLFOCUS:
      result = DefaultMessage(msg, wParam, lParam);
      if (!FocusByNotification()) Fire(OnExit);
      return true;
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
      // Shift+Ins pastes without a WM_PASTE.
      if (msg == WM_KEYDOWN && wParam == VK_INSERT && GetKeyState(VK_SHIFT) < 0 && GetKeyState(VK_CONTROL) >= 0 &&
          RefusesPaste()) {
        result = 0;
        return true;
      }
      if (OnKeyDown && Form && !Form->Dying()) {
        WORD key = static_cast<WORD>(wParam);
        Application.Guard([&] { OnKeyDown(*this, key); });
        if (key == 0) {
          result = 0;
          return true;
        }
        wParam = key;
      }
      result = DefaultMessage(msg, wParam, lParam);
      return true;
    case WM_IME_CHAR:
      // What an input method composed comes as characters too.
      if (!RefusesTyped(static_cast<wchar_t>(wParam))) return false;
      result = 0;
      return true;
    case WM_CHAR: {
      // The window is Unicode: a character arrives as a UTF-16 unit, the
      // handler sees its Windows-1252 byte.
      const wchar_t unit = static_cast<wchar_t>(wParam);
      std::string key;
      if (!TryNarrow(std::wstring(1, unit), key)) {
        if (!RefusesTyped(unit)) return false;
        result = 0;
        return true;
      }
      if (OnKeyPress && Form && !Form->Dying()) {
        char typed = key[0];
        Application.Guard([&] { OnKeyPress(*this, typed); });
        if (typed == 0) {
          result = 0;
          return true;
        }
        wParam = WidenText(std::string(1, typed))[0];
      }
      result = DefaultMessage(msg, wParam, lParam);
      return true;
    }
    case WM_PASTE:
      if (!RefusesPaste()) return false;
      result = 0;
      return true;
  }
  return false;
}

bool TControl::RefusesTyped(wchar_t unit) {
  std::string byte;
  if (!TakesTypedText() || TryNarrow(std::wstring(1, unit), byte)) return false;
  // The two halves of a character beyond the 16-bit units are one refusal.
  const wchar_t high = refusedHighSurrogate;
  refusedHighSurrogate = 0;
  if (unit >= 0xD800 && unit <= 0xDBFF)
    refusedHighSurrogate = unit;
  else if (unit >= 0xDC00 && unit <= 0xDFFF && high)
    RefuseForeignText({static_cast<char16_t>(high), static_cast<char16_t>(unit)});
  else
    RefuseForeignText(std::u16string(1, static_cast<char16_t>(unit)));
  return true;
}

bool TControl::RefusesPaste() {
  std::u16string text;
  if (!TakesTypedText() || !ClipboardText(Handle, text) || ForeignCharPos(text) == std::u16string::npos) return false;
  RefuseForeignText(text);
  return true;
}

void TControl::RefuseForeignText(const std::u16string& text) {
  if (!Form || Form->Dying()) return;
  if (foreignTextHandler) {
    Application.Guard([&] { foreignTextHandler(*this, text); });
    return;
  }
  ShowMessageBoxW(ForeignTextMessage(text), WidenText(Application.Title), MB_OK | MB_ICONWARNING);
}

void Framework::SetForeignTextHandler(const void* owner, TForeignTextHandler handler) {
  foreignTextOwner = owner;
  foreignTextHandler = std::move(handler);
}

void Framework::ClearForeignTextHandler(const void* owner) {
  if (foreignTextOwner != owner) return;
  foreignTextOwner = nullptr;
  foreignTextHandler = nullptr;
}

// ---------------------------------------------------------------------------
// Window procedures

namespace Framework {

// Notifications of a form's or container's children reach the children.
bool RouteNotification(TForm& form, UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) {
  switch (msg) {
    case WM_COMMAND: {
      HWND from = reinterpret_cast<HWND>(lParam);
      result = 0;
      if (!from) {
        if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) form.DialogKey(LOWORD(wParam));
        return true;
      }
      if (TControl* c = ControlOf(from); c && !form.Dying()) Application.Guard([&] { c->Command(HIWORD(wParam)); });
      return true;
    }
    case WM_NOTIFY: {
      auto* header = reinterpret_cast<NMHDR*>(lParam);
      TControl* c = ControlOf(header->hwndFrom);
      if (!c || form.Dying()) return false;
      bool handled = false;
      Application.Guard([&] { handled = c->Notify(header, result); });
      return handled;
    }
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN: {
      // Check boxes, radio buttons and read-only texts show the colour of
      // what they lie on.
      TControl* c = ControlOf(reinterpret_cast<HWND>(lParam));
      if (!c) return false;
      HDC dc = reinterpret_cast<HDC>(wParam);
      const COLORREF background = c->BackgroundColor();
      SetBkColor(dc, ColorValue(background));
      if (c->FontColor != clDefault) SetTextColor(dc, ColorValue(c->FontColor));
      result = reinterpret_cast<LRESULT>(ColorBrush(background));
      return true;
    }
  }
  return false;
}

namespace {
// The windowless control under a point of the window it lies on: the last
// one in table order, as later ones are painted over earlier ones.
TControl* GraphicAt(TForm& form, HWND wnd, POINT pt) {
  TControl* hit = nullptr;
  for (auto& c : form.Controls)
    if (!c->Handle && c->TakesMouse() && c->Shown && c->ParentHandle() == wnd && PtInRect(&c->Bounds, pt))
      hit = c.get();
  return hit;
}

void MouseLeaves(TForm& form) {
  if (TControl* hot = form.MouseHot) {
    form.MouseHot = nullptr;
    hot->MouseInside = false;
    hot->Fire(hot->OnMouseLeave);
  }
}
}  // namespace

bool GraphicMouse(TForm& form, HWND wnd, UINT msg, WPARAM, LPARAM lParam, LRESULT& result) {
  if (form.Dying()) return false;
  POINT pt = {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
  TMouseButton button;
  bool doubleClick;
  if (msg == WM_MOUSEMOVE) {
    TControl* hit = GraphicAt(form, wnd, pt);
    if (hit != form.MouseHot) {
      MouseLeaves(form);
      if (hit) {
        form.MouseHot = hit;
        hit->MouseInside = true;
        TRACKMOUSEEVENT tme = {sizeof tme, TME_LEAVE, wnd, 0};
        TrackMouseEvent(&tme);
        hit->Fire(hit->OnMouseEnter);
      }
    }
    return false;
  }
  if (msg == WM_MOUSELEAVE) {
    if (form.MouseHot && form.MouseHot->ParentHandle() == wnd) MouseLeaves(form);
    return false;
  }
  if (msg == WM_SETCURSOR) {
    if (LOWORD(lParam) != HTCLIENT) return false;
    GetCursorPos(&pt);
    ScreenToClient(wnd, &pt);
    TControl* hit = GraphicAt(form, wnd, pt);
    if (!hit || !(hit->Options & coHandCursor)) return false;
    SetCursor(SystemCursor(IDC_HAND));
    result = TRUE;
    return true;
  }
  if (MouseDownMessage(msg, button, doubleClick)) {
    TControl* hit = GraphicAt(form, wnd, pt);
    if (!hit) return false;
    if (button == mbLeft && hit->OnClick) {
      // A double click clicks once, with its first press.
      form.MousePressed = !doubleClick;
      SetCapture(wnd);
    }
    form.MouseCaptured = hit;
    hit->FireMouse(hit->OnMouseDown, button, pt.x - hit->Left(), pt.y - hit->Top());
    result = 0;
    return true;
  }
  if (MouseUpMessage(msg, button)) {
    TControl* target = form.MouseCaptured ? form.MouseCaptured : GraphicAt(form, wnd, pt);
    if (!target || target->ParentHandle() != wnd) return false;
    if (button == mbLeft && GetCapture() == wnd) ReleaseCapture();
    const bool click = form.MousePressed && button == mbLeft && PtInRect(&target->Bounds, pt);
    form.MousePressed = false;
    form.MouseCaptured = nullptr;
    target->FireMouse(target->OnMouseUp, button, pt.x - target->Left(), pt.y - target->Top());
    if (click) target->Fire(target->OnClick);
    result = 0;
    return true;
  }
  return false;
}

namespace {
// A window without a frame or scroll bars has nothing outside its client
// area to paint (a push button draws its edge inside), yet the default
// WM_NCPAINT fetches the window's DC for it: under Wine a trip to the window
// server per control whenever the window shows.
bool HasNonClientParts(HWND wnd) {
  const LONG style = GetWindowLongW(wnd, GWL_STYLE), exStyle = GetWindowLongW(wnd, GWL_EXSTYLE);
  return (style & (WS_BORDER | WS_DLGFRAME | WS_THICKFRAME | WS_HSCROLL | WS_VSCROLL)) ||
         (exStyle & (WS_EX_CLIENTEDGE | WS_EX_STATICEDGE | WS_EX_WINDOWEDGE | WS_EX_DLGMODALFRAME));
}
}  // namespace

// System classes are subclassed by replacing their window procedure: the
// common controls' subclassing looks its data up in a window property on
// every message, which costs a call of the window server under Wine, and a
// tree of thousands of nodes takes thousands of messages to fill.
LRESULT CALLBACK SubclassProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  TControl* c = ControlOf(wnd);
  if (!c) return DefWindowProcW(wnd, msg, wParam, lParam);
  const WNDPROC original = c->OriginalProc;
  if (msg == WM_NCDESTROY) {
    SetWindowLongPtrW(wnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(original));
    ControlMap().erase(wnd);
    c->Handle = nullptr;
    return CallWindowProcW(original, wnd, msg, wParam, lParam);
  }
  if (msg == WM_NCPAINT && !HasNonClientParts(wnd)) return 0;
  LRESULT result = 0;
  if (c->Message(msg, wParam, lParam, result)) return result;
  return CallWindowProcW(original, wnd, msg, wParam, lParam);
}

void PaintOwnControl(TControl& c, HDC dc) {
  RECT rect;
  GetClientRect(c.Handle, &rect);
  FillRect(dc, &rect, ColorBrush(c.BackgroundColor()));
  c.Paint(dc);
}

LRESULT CALLBACK ControlProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  TControl* pc = ControlOf(wnd);
  if (!pc) return DefWindowProcW(wnd, msg, wParam, lParam);
  TControl& c = *pc;
  LRESULT result = 0;
  switch (msg) {
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(wnd, &ps);
      PaintOwnControl(c, dc);
      EndPaint(wnd, &ps);
      return 0;
    }
    case WM_PRINTCLIENT:
      PaintOwnControl(c, reinterpret_cast<HDC>(wParam));
      return 0;
    case WM_ERASEBKGND:
      return 1;
    case WM_NCPAINT:
      if (!HasNonClientParts(wnd)) return 0;
      break;
    case WM_SETCURSOR:
      if (c.Options & coHandCursor) {
        SetCursor(SystemCursor(IDC_HAND));
        return TRUE;
      }
      break;
    case WM_SETTEXT:
      result = DefWindowProcW(wnd, msg, wParam, lParam);
      InvalidateRect(wnd, nullptr, FALSE);
      return result;
    case WM_NCDESTROY:
      ControlMap().erase(wnd);
      c.Handle = nullptr;
      return DefWindowProcW(wnd, msg, wParam, lParam);
  }
  if (c.IsContainer() && c.Form && GraphicMouse(*c.Form, wnd, msg, wParam, lParam, result)) return result;
  if (c.Message(msg, wParam, lParam, result)) return result;
  if (c.IsContainer() && c.Form && RouteNotification(*c.Form, msg, wParam, lParam, result)) return result;
  return DefWindowProcW(wnd, msg, wParam, lParam);
}

void AttachControl(TControl& c) {
  ControlMap()[c.Handle] = &c;
  if (!c.OwnClass())
    c.OriginalProc =
        reinterpret_cast<WNDPROC>(SetWindowLongPtrW(c.Handle, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(SubclassProc)));
}

void RegisterClassOnce(const char* name, WNDPROC proc, int iconId) {
  // Registered as Unicode: its windows take and give UTF-16, whatever the
  // machine's code page.
  HINSTANCE instance = GetModuleHandleW(nullptr);
  const std::wstring wideName = W(name);
  WNDCLASSW existing;
  if (GetClassInfoW(instance, wideName.c_str(), &existing)) return;
  WNDCLASSEXW wc = {};
  wc.cbSize = sizeof wc;
  wc.style = CS_DBLCLKS;
  wc.lpfnWndProc = proc;
  wc.hInstance = instance;
  if (iconId) {
    // The small icon too comes from its own picture in the resource; left
    // to itself, the system would look the resource up again to make it.
    wc.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(iconId));
    wc.hIconSm = static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(iconId), IMAGE_ICON,
                                               GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON), 0));
  }
  wc.hCursor = SystemCursor(IDC_ARROW);
  wc.lpszClassName = wideName.c_str();
  RegisterClassExW(&wc);
}

void PrepareWindowClass(const TControl& c) {
  if (c.OwnClass())
    RegisterClassOnce(c.WindowClass(), ControlProc, 0);
  else
    LoadCommonControls();
}

}  // namespace Framework

void CreateInnerControl(TControl& owner, TControl& inner, const std::string& name, unsigned options) {
  inner.Form = owner.Form;
  inner.Parent = &owner;
  inner.Name = name;
  inner.Options = options;
  inner.FontName = owner.FontName;
  inner.FontHeight = owner.FontHeight;
  if (!inner.WindowClass()) {
    inner.Invalidate();
    return;
  }
  Framework::PrepareWindowClass(inner);
  inner.Handle = CreateWindowExW(inner.WindowExStyle(), W(inner.WindowClass()).c_str(), L"",
                                 WS_CHILD | WS_VISIBLE | inner.WindowStyle(), 0, 0, 0, 0, owner.Handle, nullptr,
                                 GetModuleHandleW(nullptr), nullptr);
  if (!inner.Handle) throw Exception("Das Steuerelement " + name + " konnte nicht erzeugt werden.");
  Framework::AttachControl(inner);
}

// ---------------------------------------------------------------------------
// Labels, images, paint boxes, bevels

void TLabel::Paint(HDC dc) {
  RECT rect = {0, 0, Width(), Height()};
  if (!(Options & coTransparent)) FillRect(dc, &rect, ColorBrush(BackgroundColor()));
  HGDIOBJ old = SelectObject(dc, FontHandle(FontName, FontHeight, Bold, Italic, Underline));
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, ColorValue(FontColor == clDefault ? clWindowText : FontColor));
  UINT format = DT_NOCLIP;
  if (Options & coWordWrap) format |= DT_WORDBREAK;
  // A sized label's box holds its one line as drawn, wider than measured
  // maybe: flush right, that width would stick out of the box.
  const bool sizedLine = (Options & coAutoSize) && Caption().find('\n') == std::string::npos;
  if ((Options & coRightAlign) && !sizedLine) format |= DT_RIGHT;
  const std::wstring text = W(Caption());
  DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &rect, format);
  SelectObject(dc, old);
}

void TImage::Paint(HDC dc) {
  if (Icon) {
    DrawIconEx(dc, 0, 0, Icon, IconSize, IconSize, 0, nullptr, DI_NORMAL);
    return;
  }
  if (!Bitmap) return;
  RECT rect = {0, 0, Width(), Height()};
  BITMAP bm;
  GetObjectA(Bitmap, sizeof bm, &bm);
  if (Blended) {
    HDC mem = CreateCompatibleDC(dc);
    HGDIOBJ old = SelectObject(mem, Bitmap);
    const BLENDFUNCTION blend = {AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
    GdiAlphaBlend(dc, 0, 0, rect.right, rect.bottom, mem, 0, 0, bm.bmWidth, bm.bmHeight, blend);
    SelectObject(mem, old);
    DeleteDC(mem);
    return;
  }
  int w = bm.bmWidth, h = bm.bmHeight, x = 0, y = 0;
  if (Options & coStretchProportional) {
    const int cw = rect.right, ch = rect.bottom;
    if (w * ch > h * cw) {
      h = h * cw / w;
      w = cw;
    } else {
      w = w * ch / h;
      h = ch;
    }
    x = (cw - w) / 2;
    y = (ch - h) / 2;
  }
  HDC mem = CreateCompatibleDC(dc);
  HGDIOBJ old = SelectObject(mem, Bitmap);
  // On dense screens pictures come drawn larger and are shrunk to fit:
  // averaging their pixels keeps them smooth.
  SetStretchBltMode(dc, ScreenDpi() > 96 && w < bm.bmWidth ? HALFTONE : COLORONCOLOR);
  SetBrushOrgEx(dc, 0, 0, nullptr);
  if (Options & coTransparent)
    // The picture's white background lets the parent show through. gdi32's
    // own entry, so that no further DLL is loaded for the first picture.
    GdiTransparentBlt(dc, x, y, w, h, mem, 0, 0, bm.bmWidth, bm.bmHeight, RGB(255, 255, 255));
  else
    StretchBlt(dc, x, y, w, h, mem, 0, 0, bm.bmWidth, bm.bmHeight, SRCCOPY);
  SelectObject(mem, old);
  DeleteDC(mem);
}

bool TPaintBox::Message(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) {
  if (msg == WM_LBUTTONDOWN) {
    pressed_ = true;
    SetCapture(Handle);
  } else if (msg == WM_LBUTTONUP && pressed_) {
    pressed_ = false;
    if (GetCapture() == Handle) ReleaseCapture();
    RECT client;
    GetClientRect(Handle, &client);
    const POINT pt = {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    const bool handled = TControl::Message(msg, wParam, lParam, result);
    // Released elsewhere: no click.
    if (PtInRect(&client, pt)) Fire(OnClick);
    return handled;
  }
  return TControl::Message(msg, wParam, lParam, result);
}

void TPaintBox::Paint(HDC dc) {
  if (!OnPaint || !Form || Form->Dying()) return;
  HGDIOBJ old = SelectObject(dc, FontHandle(FontName, FontHeight, Bold, Italic, Underline));
  Application.Guard([&] { OnPaint(*this, dc); });
  SelectObject(dc, old);
}

void TBevel::Paint(HDC dc) {
  const RECT r = {0, 0, Width(), Height()};
  HPEN shadow = CreatePen(PS_SOLID, 1, GetSysColor(COLOR_BTNSHADOW));
  HPEN light = CreatePen(PS_SOLID, 1, GetSysColor(COLOR_BTNHIGHLIGHT));
  HGDIOBJ old = SelectObject(dc, shadow);
  auto line = [&](int x0, int y0, int x1, int y1, int dx, int dy) {
    SelectObject(dc, shadow);
    MoveToEx(dc, x0, y0, nullptr);
    LineTo(dc, x1, y1);
    SelectObject(dc, light);
    MoveToEx(dc, x0 + dx, y0 + dy, nullptr);
    LineTo(dc, x1 + dx, y1 + dy);
  };
  if (Options & coBevelBottomLine) line(r.left, r.bottom - 2, r.right, r.bottom - 2, 0, 1);
  if (Options & coBevelTopLine) line(r.left, r.top, r.right, r.top, 0, 1);
  if (Options & coBevelLeftLine) line(r.left, r.top, r.left, r.bottom, 1, 0);
  SelectObject(dc, old);
  DeleteObject(shadow);
  DeleteObject(light);
}

// ---------------------------------------------------------------------------
// Containers

void TContainer::Paint(HDC dc) { Form->PaintGraphicControls(Handle, dc); }

int TNotebook::PageIndex() const {
  int index = 0;
  for (auto& c : Form->Controls) {
    if (c->Parent != this || !dynamic_cast<TTabSheet*>(c.get())) continue;
    if (c->Visible()) return index;
    ++index;
  }
  return -1;
}

int TNotebook::PageCount() const {
  int count = 0;
  for (auto& c : Form->Controls)
    if (c->Parent == this && dynamic_cast<TTabSheet*>(c.get())) ++count;
  return count;
}

void TNotebook::SetPageIndex(int index) {
  TControl* shown = nullptr;
  int i = 0;
  for (auto& c : Form->Controls)
    if (c->Parent == this && dynamic_cast<TTabSheet*>(c.get()) && i++ == index) shown = c.get();
  if (!shown) return;
  Form->RealizePage(shown);
  const bool changed = !shown->Visible();
  shown->SetVisible(true);
  for (auto& c : Form->Controls)
    if (c->Parent == this && c.get() != shown && dynamic_cast<TTabSheet*>(c.get())) c->SetVisible(false);
  // Focus on a hidden page moves to the first control of the shown one.
  HWND focus = GetFocus();
  if (!focus || !IsWindowVisible(focus)) {
    HWND first = GetNextDlgTabItem(shown->Handle, nullptr, FALSE);
    ::SetFocus(first && IsChild(shown->Handle, first) ? first : Form->Handle);
  }
  if (changed) Fire(OnChange);
}

void TPanel::Paint(HDC dc) {
  TContainer::Paint(dc);
  RECT rect;
  GetClientRect(Handle, &rect);
  HGDIOBJ old = SelectObject(dc, FontHandle(FontName, FontHeight, Bold, Italic, Underline));
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, ColorValue(FontColor == clDefault ? clWindowText : FontColor));
  const std::wstring text = W(Caption());
  DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &rect, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
  SelectObject(dc, old);
}

void TGroupBox::Paint(HDC dc) {
  TContainer::Paint(dc);
  RECT rect;
  GetClientRect(Handle, &rect);
  HGDIOBJ old = SelectObject(dc, FontHandle(FontName, FontHeight, Bold, Italic, Underline));
  TEXTMETRICW tm;
  GetTextMetricsW(dc, &tm);
  RECT frame = rect;
  frame.top += tm.tmHeight / 2;
  DrawEdge(dc, &frame, EDGE_ETCHED, BF_RECT);
  const std::wstring text = W(Caption());
  if (!text.empty()) {
    SIZE size;
    GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
    RECT back = {Scale(6), 0, Scale(6) + size.cx + Scale(4), tm.tmHeight};
    FillRect(dc, &back, ColorBrush(BackgroundColor()));
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, ColorValue(FontColor == clDefault ? clWindowText : FontColor));
    TextOutW(dc, Scale(8), 0, text.c_str(), static_cast<int>(text.size()));
  }
  SelectObject(dc, old);
}

// ---------------------------------------------------------------------------
// Buttons and check boxes

DWORD TButton::WindowStyle() const {
  return WS_CLIPCHILDREN | ((Options & coDefault) ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON);
}

void TButton::Command(int code) {
  if (code == BN_CLICKED) Fire(OnClick);
}

bool TButton::Message(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) {
  bool handled = TControl::Message(msg, wParam, lParam, result);
  if (!handled && (msg == WM_PAINT || msg == WM_PRINTCLIENT || msg == BM_SETSTATE || msg == BM_SETSTYLE ||
                   msg == WM_ENABLE || msg == WM_UPDATEUISTATE)) {
    result = DefaultMessage(msg, wParam, lParam);
    handled = true;
  }
  // The button paints its face whenever its look changes, over the pictures
  // that lie on it: they follow.
  if (handled && msg != WM_KEYDOWN && msg != WM_SYSKEYDOWN && msg != WM_CHAR && Form) {
    if (msg == WM_PRINTCLIENT) {
      Form->PaintGraphicControls(Handle, reinterpret_cast<HDC>(wParam));
    } else if (Form->HasGraphicControls(Handle)) {
      HDC dc = GetDC(Handle);
      Form->PaintGraphicControls(Handle, dc);
      ReleaseDC(Handle, dc);
    }
  }
  return handled;
}

void TCheckBox::Created(const TControlDef& def) {
  if (def.Options & coChecked) SetChecked(true);
}

void TCheckBox::Command(int code) {
  if (code == BN_CLICKED) Fire(OnClick);
}

bool TCheckBox::Checked() const { return SendMessageW(Handle, BM_GETCHECK, 0, 0) == BST_CHECKED; }

void TCheckBox::SetChecked(bool checked) { SendMessageW(Handle, BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0); }

// ---------------------------------------------------------------------------
// Edits, combo boxes, spin edits

void TEdit::Command(int code) {
  if (code == EN_CHANGE) Fire(OnChange);
}

int TComboBox::WindowHeight(int height) const { return height + Scale(160); }

void TComboBox::Created(const TControlDef& def) {
  for (const TProp& p : def.Props)
    if (p.Kind == TProp::pkItems)
      for (const std::string& item : p.Strings) Add(item);
}

void TComboBox::Command(int code) {
  switch (code) {
    case CBN_SELCHANGE:
      Fire(OnSelect);
      Fire(OnChange);
      break;
    case CBN_SETFOCUS:
      Fire(OnEnter);
      break;
    case CBN_KILLFOCUS:
      Fire(OnExit);
      break;
  }
}

int TComboBox::ItemIndex() const { return static_cast<int>(SendMessageW(Handle, CB_GETCURSEL, 0, 0)); }
void TComboBox::SetItemIndex(int index) { SendMessageW(Handle, CB_SETCURSEL, index, 0); }
int TComboBox::Count() const { return static_cast<int>(SendMessageW(Handle, CB_GETCOUNT, 0, 0)); }

std::string TComboBox::Item(int index) const {
  LRESULT n = SendMessageW(Handle, CB_GETLBTEXTLEN, index, 0);
  if (n == CB_ERR) return std::string();
  std::wstring text(static_cast<size_t>(n) + 1, L'\0');
  n = SendMessageW(Handle, CB_GETLBTEXT, index, reinterpret_cast<LPARAM>(&text[0]));
  text.resize(n == CB_ERR ? 0 : static_cast<size_t>(n));
  return Narrow(text);
}

void TComboBox::Add(const std::string& text) {
  SendMessageW(Handle, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(W(text).c_str()));
}

void TComboBox::Insert(int index, const std::string& text) {
  SendMessageW(Handle, CB_INSERTSTRING, index, reinterpret_cast<LPARAM>(W(text).c_str()));
}

void TComboBox::Delete(int index) { SendMessageW(Handle, CB_DELETESTRING, index, 0); }
void TComboBox::Clear() { SendMessageW(Handle, CB_RESETCONTENT, 0, 0); }

void TSpinEdit::Created(const TControlDef& def) {
  for (const TProp& p : def.Props)
    if (p.Kind == TProp::pkRange) {
      Min = p.Min;
      Max = p.Max;
    }
  UpDown = CreateWindowExW(0, UPDOWN_CLASSW, L"",
                           WS_CHILD | WS_VISIBLE | UDS_SETBUDDYINT | UDS_ALIGNRIGHT | UDS_ARROWKEYS | UDS_NOTHOUSANDS, 0,
                           0, 0, 0, ParentHandle(), nullptr, GetModuleHandleW(nullptr), nullptr);
  SendMessageW(UpDown, UDM_SETBUDDY, reinterpret_cast<WPARAM>(Handle), 0);
  SendMessageW(UpDown, UDM_SETRANGE32, Min, Max);
  SetValue(Min);
}

void TSpinEdit::Command(int code) {
  if (code == EN_CHANGE) Fire(OnChange);
}

int TSpinEdit::Value() const {
  BOOL failed = FALSE;
  int value = static_cast<int>(SendMessageW(UpDown, UDM_GETPOS32, 0, reinterpret_cast<LPARAM>(&failed)));
  return failed ? Min : value;
}

void TSpinEdit::SetValue(int value) { SendMessageW(UpDown, UDM_SETPOS32, 0, value); }

// ---------------------------------------------------------------------------
// List views and tree views

void TListView::Created(const TControlDef& def) {
  SendMessageW(Handle, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_FULLROWSELECT, LVS_EX_FULLROWSELECT);
  for (const TProp& p : def.Props) {
    if (p.Kind != TProp::pkColumns) continue;
    int index = 0;
    for (const TColumnDef& column : p.Columns) {
      std::wstring caption = W(column.Caption);
      LVCOLUMNW col = {};
      col.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
      col.pszText = &caption[0];
      col.cx = Scale(column.Width);
      col.iSubItem = index;
      SendMessageW(Handle, LVM_INSERTCOLUMNW, index++, reinterpret_cast<LPARAM>(&col));
    }
  }
}

bool TListView::Notify(NMHDR* header, LRESULT& result) {
  switch (header->code) {
    // A Unicode parent gets the W notifications; the image sits at the same
    // place in both structures.
    case LVN_GETDISPINFOA:
    case LVN_GETDISPINFOW: {
      LVITEMW& item = reinterpret_cast<NMLVDISPINFOW*>(header)->item;
      if ((item.mask & LVIF_IMAGE) && item.iSubItem == 0 && ImageOf) item.iImage = ImageOf(item.iItem);
      return false;
    }
    case NM_DBLCLK:
      Fire(OnDblClick);
      return false;
    case NM_CLICK:
      Fire(OnClick);
      return false;
    case LVN_ITEMCHANGED: {
      auto* change = reinterpret_cast<NMLISTVIEW*>(header);
      if ((change->uChanged & LVIF_STATE) && ((change->uNewState ^ change->uOldState) & LVIS_SELECTED))
        Fire(OnChange);
      return false;
    }
  }
  (void)result;
  return false;
}

int TListView::Count() const { return static_cast<int>(SendMessageW(Handle, LVM_GETITEMCOUNT, 0, 0)); }

int TListView::InsertRow(int index, const std::vector<std::string>& cells) {
  std::wstring first = W(cells.empty() ? std::string() : cells[0]);
  LVITEMW item = {};
  item.mask = LVIF_TEXT | LVIF_IMAGE;
  item.iImage = I_IMAGECALLBACK;
  item.iItem = index < 0 ? Count() : index;
  item.pszText = &first[0];
  const int row = static_cast<int>(SendMessageW(Handle, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item)));
  for (size_t i = 1; i < cells.size(); ++i) SetCell(row, static_cast<int>(i), cells[i]);
  return row;
}

void TListView::DeleteRow(int index) { SendMessageW(Handle, LVM_DELETEITEM, index, 0); }
void TListView::Clear() { SendMessageW(Handle, LVM_DELETEALLITEMS, 0, 0); }

std::string TListView::Cell(int row, int column) const {
  // Whole however long: a cell's text goes back into the project.
  for (size_t size = 1024;; size *= 4) {
    std::wstring text(size, L'\0');
    LVITEMW item = {};
    item.iSubItem = column;
    item.pszText = &text[0];
    item.cchTextMax = static_cast<int>(size);
    const LRESULT n = SendMessageW(Handle, LVM_GETITEMTEXTW, row, reinterpret_cast<LPARAM>(&item));
    if (static_cast<size_t>(n) + 1 < size || size >= (1u << 24)) {
      text.resize(static_cast<size_t>(n));
      return Narrow(text);
    }
  }
}

void TListView::SetCell(int row, int column, const std::string& text) {
  std::wstring wide = W(text);
  LVITEMW item = {};
  item.iSubItem = column;
  item.pszText = &wide[0];
  SendMessageW(Handle, LVM_SETITEMTEXTW, row, reinterpret_cast<LPARAM>(&item));
}

int TListView::RowAt(POINT point) const {
  LVHITTESTINFO hit = {};
  hit.pt = point;
  return static_cast<int>(SendMessageW(Handle, LVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit)));
}

int TListView::Selected() const {
  return static_cast<int>(SendMessageW(Handle, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
}

void TListView::SetSelected(int row) {
  LVITEMW item = {};
  item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
  item.state = 0;
  SendMessageW(Handle, LVM_SETITEMSTATE, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&item));
  if (row < 0) return;
  item.state = LVIS_SELECTED | LVIS_FOCUSED;
  SendMessageW(Handle, LVM_SETITEMSTATE, row, reinterpret_cast<LPARAM>(&item));
  SendMessageW(Handle, LVM_ENSUREVISIBLE, row, FALSE);
}

void TTreeView::Created(const TControlDef& def) {
  for (const TProp& p : def.Props)
    if (p.Kind == TProp::pkIndent) SendMessageW(Handle, TVM_SETINDENT, Scale(p.Min), 0);
}

bool TTreeView::Notify(NMHDR* header, LRESULT& result) {
  if (header->code == NM_CUSTOMDRAW) {
    auto* draw = reinterpret_cast<NMTVCUSTOMDRAW*>(header);
    // Only a drag with a line to show asks to draw after the tree.
    if (draw->nmcd.dwDrawStage == CDDS_PREPAINT && markAt_) {
      result = CDRF_NOTIFYPOSTPAINT;
      return true;
    }
    if (draw->nmcd.dwDrawStage == CDDS_POSTPAINT) DrawDropMark(draw->nmcd.hdc);
    return false;
  }
  // A Unicode parent gets the W notifications; the fields read here sit at
  // the same places in both structures.
  if ((header->code == TVN_GETDISPINFOA || header->code == TVN_GETDISPINFOW) && ImageOf) {
    TVITEMW& item = reinterpret_cast<NMTVDISPINFOW*>(header)->item;
    if (item.mask & (TVIF_IMAGE | TVIF_SELECTEDIMAGE)) item.iImage = item.iSelectedImage = ImageOf(item.hItem);
  } else if (header->code == TVN_SELCHANGEDA || header->code == TVN_SELCHANGEDW) {
    Fire(OnChange);
  } else if (header->code == NM_DBLCLK) {
    Fire(OnDblClick);
  } else if ((header->code == TVN_BEGINDRAGA || header->code == TVN_BEGINDRAGW) && CanDrop && Dropped) {
    dragged_ = reinterpret_cast<NMTREEVIEWW*>(header)->itemNew.hItem;
    // A press on a node focuses the tree, a press that becomes a drag too
    // (Wine's tree leaves that out).
    ::SetFocus(Handle);
    SetCapture(Handle);
  }
  return false;
}

bool TTreeView::DropTarget(POINT point, HTREEITEM& target, TTreeDropPlace& place) {
  TVHITTESTINFO hit = {};
  hit.pt = point;
  target = reinterpret_cast<HTREEITEM>(SendMessageW(Handle, TVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit)));
  if (!target || !(hit.flags & (TVHT_ONITEM | TVHT_ONITEMINDENT | TVHT_ONITEMRIGHT | TVHT_ONITEMBUTTON))) return false;
  RECT row = {};
  TreeView_GetItemRect(Handle, target, &row, FALSE);
  const int quarter = (row.bottom - row.top) / 4;
  place = point.y < row.top + quarter ? dpBefore : point.y >= row.bottom - quarter ? dpAfter : dpInto;
  bool allowed = false;
  Application.Guard([&] { allowed = CanDrop(dragged_, target, place); });
  return allowed;
}

void TTreeView::ShowDropPlace(HTREEITEM target, TTreeDropPlace place) {
  // Into: the target highlighted, as the entry the node goes under. Before
  // or after: a line between the rows, so that the two never look alike.
  // The line is drawn here: Wine's tree cannot take its own back.
  const bool into = target && place == dpInto;
  SendMessageW(Handle, TVM_SELECTITEM, TVGN_DROPHILITE, reinterpret_cast<LPARAM>(into ? target : nullptr));
  HTREEITEM markAt = into ? nullptr : target;
  if (markAt == markAt_ && place == markPlace_) return;
  auto invalidate = [this](HTREEITEM node) {
    RECT row = {};
    if (!node || !TreeView_GetItemRect(Handle, node, &row, FALSE)) return;
    InflateRect(&row, 0, Scale(3));
    InvalidateRect(Handle, &row, TRUE);
  };
  invalidate(markAt_);
  markAt_ = markAt;
  markPlace_ = place;
  invalidate(markAt_);
}

void TTreeView::DrawDropMark(HDC dc) {
  RECT row = {};
  if (!markAt_ || !TreeView_GetItemRect(Handle, markAt_, &row, TRUE)) return;
  RECT client = {};
  GetClientRect(Handle, &client);
  const COLORREF set = TreeView_GetInsertMarkColor(Handle);
  const COLORREF color = set == CLR_DEFAULT ? GetSysColor(COLOR_WINDOWTEXT) : set;
  const int thick = std::max(2, Scale(2)), tick = std::max(3, Scale(3));
  const int y = markPlace_ == dpAfter ? row.bottom - thick / 2 : row.top - thick / 2;
  HBRUSH brush = CreateSolidBrush(color);
  // A line from the caption to the right edge, with short ends upright, as
  // Explorer draws it.
  const RECT line = {row.left, y, client.right - 1, y + thick};
  const RECT left = {row.left, y - tick + thick / 2, row.left + thick, y + tick + thick / 2};
  const RECT right = {client.right - 1 - thick, left.top, client.right - 1, left.bottom};
  for (const RECT& part : {line, left, right}) FillRect(dc, &part, brush);
  DeleteObject(brush);
}

void TTreeView::EndDrag() {
  dragged_ = nullptr;
  ShowDropPlace(nullptr, dpInto);
  if (GetCapture() == Handle) ReleaseCapture();
}

bool TTreeView::Message(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) {
  if (dragged_) {
    const POINT point = {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    HTREEITEM target = nullptr;
    TTreeDropPlace place = dpInto;
    switch (msg) {
      case WM_MOUSEMOVE: {
        const bool allowed = DropTarget(point, target, place);
        ShowDropPlace(allowed ? target : nullptr, place);
        SetCursor(SystemCursor(allowed ? IDC_ARROW : IDC_NO));
        result = 0;
        return true;
      }
      case WM_LBUTTONUP: {
        HTREEITEM node = dragged_;
        const bool allowed = DropTarget(point, target, place);
        EndDrag();
        if (allowed && Form && !Form->Dying()) Application.Guard([&] { Dropped(node, target, place); });
        result = 0;
        return true;
      }
      case WM_GETDLGCODE:
        // Esc is the drag's, not the window's keyboard handling's.
        result = DLGC_WANTALLKEYS;
        return true;
      case WM_CAPTURECHANGED:
      case WM_CANCELMODE:
        EndDrag();
        break;
      case WM_KEYDOWN:
        if (wParam == VK_ESCAPE) {
          EndDrag();
          result = 0;
          return true;
        }
        break;
      default:
        break;
    }
  }
  return TControl::Message(msg, wParam, lParam, result);
}

HTREEITEM TTreeView::Add(HTREEITEM parent, const std::string& text, HTREEITEM after) {
  std::wstring wide = W(text);
  TVINSERTSTRUCTW insert = {};
  insert.hParent = parent ? parent : TVI_ROOT;
  insert.hInsertAfter = after;
  insert.item.mask = TVIF_TEXT | TVIF_IMAGE | TVIF_SELECTEDIMAGE;
  insert.item.pszText = &wide[0];
  insert.item.iImage = insert.item.iSelectedImage = I_IMAGECALLBACK;
  return reinterpret_cast<HTREEITEM>(SendMessageW(Handle, TVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&insert)));
}

void TTreeView::Delete(HTREEITEM node) { SendMessageW(Handle, TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(node)); }
void TTreeView::Clear() { SendMessageW(Handle, TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(TVI_ROOT)); }

HTREEITEM TTreeView::Selected() const { return TreeView_GetSelection(Handle); }
void TTreeView::SetSelected(HTREEITEM node) { TreeView_SelectItem(Handle, node); }

std::string TTreeView::Text(HTREEITEM node) const {
  std::wstring text(1024, L'\0');
  TVITEMW item = {};
  item.mask = TVIF_TEXT;
  item.hItem = node;
  item.pszText = &text[0];
  item.cchTextMax = static_cast<int>(text.size());
  if (!SendMessageW(Handle, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item))) return std::string();
  text.resize(wcslen(text.c_str()));
  return Narrow(text);
}

void TTreeView::SetText(HTREEITEM node, const std::string& text) {
  std::wstring wide = W(text);
  TVITEMW item = {};
  item.mask = TVIF_TEXT;
  item.hItem = node;
  item.pszText = &wide[0];
  SendMessageW(Handle, TVM_SETITEMW, 0, reinterpret_cast<LPARAM>(&item));
}

HTREEITEM TTreeView::Root() const { return TreeView_GetRoot(Handle); }
HTREEITEM TTreeView::ParentOf(HTREEITEM node) const { return TreeView_GetParent(Handle, node); }
HTREEITEM TTreeView::FirstChild(HTREEITEM node) const { return TreeView_GetChild(Handle, node); }
HTREEITEM TTreeView::NextSibling(HTREEITEM node) const { return TreeView_GetNextSibling(Handle, node); }
HTREEITEM TTreeView::PrevSibling(HTREEITEM node) const { return TreeView_GetPrevSibling(Handle, node); }
int TTreeView::Count() const { return static_cast<int>(TreeView_GetCount(Handle)); }

void TTreeView::BeginUpdate() {
  if (updates_++ == 0) SendMessageW(Handle, WM_SETREDRAW, FALSE, 0);
}

void TTreeView::EndUpdate() {
  if (--updates_ > 0) return;
  updates_ = 0;
  SendMessageW(Handle, WM_SETREDRAW, TRUE, 0);
  InvalidateRect(Handle, nullptr, TRUE);
}

// ---------------------------------------------------------------------------
// Hot keys and progress bars

WORD THotKey::HotKey() const { return static_cast<WORD>(SendMessageW(Handle, HKM_GETHOTKEY, 0, 0)); }
void THotKey::SetHotKey(WORD hotKey) { SendMessageW(Handle, HKM_SETHOTKEY, hotKey, 0); }

void TProgressBar::Created(const TControlDef& def) {
  for (const TProp& p : def.Props)
    if (p.Kind == TProp::pkRange) SetRange(p.Min, p.Max);
}

int TProgressBar::Position() const { return static_cast<int>(SendMessageW(Handle, PBM_GETPOS, 0, 0)); }
void TProgressBar::SetPosition(int position) { SendMessageW(Handle, PBM_SETPOS, position, 0); }
void TProgressBar::SetRange(int min, int max) { SendMessageW(Handle, PBM_SETRANGE32, min, max); }

void TListView::SetImages(HIMAGELIST images) { SendMessageW(Handle, LVM_SETIMAGELIST, LVSIL_SMALL, reinterpret_cast<LPARAM>(images)); }
void TTreeView::SetImages(HIMAGELIST images) { SendMessageW(Handle, TVM_SETIMAGELIST, TVSIL_NORMAL, reinterpret_cast<LPARAM>(images)); }
