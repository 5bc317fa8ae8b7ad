#include "framework/Controls.h"

#include <windowsx.h>

#include <algorithm>
#include <map>

#include "framework/Application.h"
#include "framework/Form.h"
#include "model/Errors.h"

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

std::string WindowText(HWND wnd) {
  int n = GetWindowTextLengthA(wnd);
  std::string text(n + 1, '\0');
  text.resize(GetWindowTextA(wnd, &text[0], n + 1));
  return text;
}

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
  return GetWindowLongA(Handle, GWL_STYLE) & WS_VISIBLE;
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
    SetWindowTextA(Handle, text.c_str());
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
  if (Handle)
    SendMessageA(Handle, WM_SETFONT,
                 reinterpret_cast<WPARAM>(FontHandle(FontName, FontHeight, Bold, Italic, Underline)), TRUE);
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
int DrawnWidth(HDC screen, HFONT font, const std::string& text, const RECT& measured) {
  const int width = measured.right + measured.bottom * 2, height = measured.bottom;
  if (text.empty() || width <= 0 || height <= 0) return measured.right;
  BITMAPINFO info = TopDownInfo(width, height);
  void* bits = nullptr;
  HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (!bitmap) return measured.right;
  HDC dc = CreateCompatibleDC(screen);
  HGDIOBJ oldBitmap = SelectObject(dc, bitmap), oldFont = SelectObject(dc, font);
  RECT all = {0, 0, width, height};
  FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, RGB(0, 0, 0));
  DrawTextA(dc, text.c_str(), static_cast<int>(text.size()), &all, DT_NOCLIP);
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
  HDC dc = GetDC(nullptr);
  HFONT font = FontHandle(FontName, FontHeight, Bold, Italic, Underline);
  HGDIOBJ old = SelectObject(dc, font);
  const std::string text = Caption();
  RECT r = {0, 0, 0, 0};
  DrawTextA(dc, text.c_str(), static_cast<int>(text.size()), &r, DT_CALCRECT);
  SelectObject(dc, old);
  r.right = DrawnWidth(dc, font, text, r);
  ReleaseDC(nullptr, dc);
  // A right-aligned label keeps its right edge.
  const int left = (Options & coRightAlign) ? Bounds.right - r.right : Bounds.left;
  if (left != Bounds.left || r.right != Width() || r.bottom != Height()) SetBounds(left, Bounds.top, r.right, r.bottom);
}

void TControl::Invalidate() {
  if (Handle) {
    InvalidateRect(Handle, nullptr, FALSE);
  } else if (HWND parent = ParentHandle()) {
    // Transparent pictures show what lies below them: that repaints too.
    InvalidateRect(parent, &Bounds, TRUE);
  }
}

HWND TControl::ParentHandle() const { return Parent ? Parent->Handle : Form ? Form->Handle : nullptr; }

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
  return CreateWindowExA(exStyle, WindowClass(), caption, style, rect.left, rect.top, rect.right - rect.left,
                         WindowHeight(rect.bottom - rect.top), parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                         GetModuleHandleA(nullptr), nullptr);
}

LRESULT TControl::DefaultMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
  return OwnClass() ? DefWindowProcA(Handle, msg, wParam, lParam)
                    : CallWindowProcA(OriginalProc, Handle, msg, wParam, lParam);
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
      result = SendMessageA(Form->Handle, WM_DROPFILES, wParam, reinterpret_cast<LPARAM>(Handle));
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
    case WM_CHAR:
      if (OnKeyPress && Form && !Form->Dying()) {
        char key = static_cast<char>(wParam);
        Application.Guard([&] { OnKeyPress(*this, key); });
        if (key == 0) {
          result = 0;
          return true;
        }
        wParam = static_cast<unsigned char>(key);
      }
      result = DefaultMessage(msg, wParam, lParam);
      return true;
  }
  return false;
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
    SetCursor(LoadCursorA(nullptr, IDC_HAND));
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

// System classes are subclassed by replacing their window procedure: the
// common controls' subclassing looks its data up in a window property on
// every message, which costs a call of the window server under Wine, and a
// tree of thousands of nodes takes thousands of messages to fill.
LRESULT CALLBACK SubclassProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  TControl* c = ControlOf(wnd);
  if (!c) return DefWindowProcA(wnd, msg, wParam, lParam);
  const WNDPROC original = c->OriginalProc;
  if (msg == WM_NCDESTROY) {
    SetWindowLongPtrA(wnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(original));
    ControlMap().erase(wnd);
    c->Handle = nullptr;
    return CallWindowProcA(original, wnd, msg, wParam, lParam);
  }
  LRESULT result = 0;
  if (c->Message(msg, wParam, lParam, result)) return result;
  return CallWindowProcA(original, wnd, msg, wParam, lParam);
}

void PaintOwnControl(TControl& c, HDC dc) {
  RECT rect;
  GetClientRect(c.Handle, &rect);
  FillRect(dc, &rect, ColorBrush(c.BackgroundColor()));
  c.Paint(dc);
}

LRESULT CALLBACK ControlProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  TControl* pc = ControlOf(wnd);
  if (!pc) return DefWindowProcA(wnd, msg, wParam, lParam);
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
    case WM_SETCURSOR:
      if (c.Options & coHandCursor) {
        SetCursor(LoadCursorA(nullptr, IDC_HAND));
        return TRUE;
      }
      break;
    case WM_SETTEXT:
      result = DefWindowProcA(wnd, msg, wParam, lParam);
      InvalidateRect(wnd, nullptr, FALSE);
      return result;
    case WM_NCDESTROY:
      ControlMap().erase(wnd);
      c.Handle = nullptr;
      return DefWindowProcA(wnd, msg, wParam, lParam);
  }
  if (c.IsContainer() && c.Form && GraphicMouse(*c.Form, wnd, msg, wParam, lParam, result)) return result;
  if (c.Message(msg, wParam, lParam, result)) return result;
  if (c.IsContainer() && c.Form && RouteNotification(*c.Form, msg, wParam, lParam, result)) return result;
  return DefWindowProcA(wnd, msg, wParam, lParam);
}

void AttachControl(TControl& c) {
  ControlMap()[c.Handle] = &c;
  if (!c.OwnClass())
    c.OriginalProc =
        reinterpret_cast<WNDPROC>(SetWindowLongPtrA(c.Handle, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(SubclassProc)));
}

void RegisterClassOnce(const char* name, WNDPROC proc, HICON icon) {
  HINSTANCE instance = GetModuleHandleA(nullptr);
  WNDCLASSA existing;
  if (GetClassInfoA(instance, name, &existing)) return;
  WNDCLASSA wc = {};
  wc.style = CS_DBLCLKS;
  wc.lpfnWndProc = proc;
  wc.hInstance = instance;
  wc.hIcon = icon;
  wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
  wc.lpszClassName = name;
  RegisterClassA(&wc);
}

void RegisterOwnClass(const char* name) { RegisterClassOnce(name, ControlProc, nullptr); }

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
  if (inner.OwnClass()) Framework::RegisterOwnClass(inner.WindowClass());
  inner.Handle = CreateWindowExA(inner.WindowExStyle(), inner.WindowClass(), "", WS_CHILD | WS_VISIBLE | inner.WindowStyle(),
                                 0, 0, 0, 0, owner.Handle, nullptr, GetModuleHandleA(nullptr), nullptr);
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
  const std::string text = Caption();
  DrawTextA(dc, text.c_str(), static_cast<int>(text.size()), &rect, format);
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
    // The picture's white background lets the parent show through.
    TransparentBlt(dc, x, y, w, h, mem, 0, 0, bm.bmWidth, bm.bmHeight, RGB(255, 255, 255));
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
  const std::string text = Caption();
  DrawTextA(dc, text.c_str(), static_cast<int>(text.size()), &rect, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
  SelectObject(dc, old);
}

void TGroupBox::Paint(HDC dc) {
  TContainer::Paint(dc);
  RECT rect;
  GetClientRect(Handle, &rect);
  HGDIOBJ old = SelectObject(dc, FontHandle(FontName, FontHeight, Bold, Italic, Underline));
  TEXTMETRICA tm;
  GetTextMetricsA(dc, &tm);
  RECT frame = rect;
  frame.top += tm.tmHeight / 2;
  DrawEdge(dc, &frame, EDGE_ETCHED, BF_RECT);
  const std::string text = Caption();
  if (!text.empty()) {
    SIZE size;
    GetTextExtentPoint32A(dc, text.c_str(), static_cast<int>(text.size()), &size);
    RECT back = {Scale(6), 0, Scale(6) + size.cx + Scale(4), tm.tmHeight};
    FillRect(dc, &back, ColorBrush(BackgroundColor()));
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, ColorValue(FontColor == clDefault ? clWindowText : FontColor));
    TextOutA(dc, Scale(8), 0, text.c_str(), static_cast<int>(text.size()));
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

bool TCheckBox::Checked() const { return SendMessageA(Handle, BM_GETCHECK, 0, 0) == BST_CHECKED; }

void TCheckBox::SetChecked(bool checked) { SendMessageA(Handle, BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0); }

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

int TComboBox::ItemIndex() const { return static_cast<int>(SendMessageA(Handle, CB_GETCURSEL, 0, 0)); }
void TComboBox::SetItemIndex(int index) { SendMessageA(Handle, CB_SETCURSEL, index, 0); }
int TComboBox::Count() const { return static_cast<int>(SendMessageA(Handle, CB_GETCOUNT, 0, 0)); }

std::string TComboBox::Item(int index) const {
  LRESULT n = SendMessageA(Handle, CB_GETLBTEXTLEN, index, 0);
  if (n == CB_ERR) return std::string();
  std::string text(static_cast<size_t>(n) + 1, '\0');
  n = SendMessageA(Handle, CB_GETLBTEXT, index, reinterpret_cast<LPARAM>(&text[0]));
  text.resize(n == CB_ERR ? 0 : static_cast<size_t>(n));
  return text;
}

void TComboBox::Add(const std::string& text) { SendMessageA(Handle, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str())); }

void TComboBox::Insert(int index, const std::string& text) {
  SendMessageA(Handle, CB_INSERTSTRING, index, reinterpret_cast<LPARAM>(text.c_str()));
}

void TComboBox::Delete(int index) { SendMessageA(Handle, CB_DELETESTRING, index, 0); }
void TComboBox::Clear() { SendMessageA(Handle, CB_RESETCONTENT, 0, 0); }

void TSpinEdit::Created(const TControlDef& def) {
  for (const TProp& p : def.Props)
    if (p.Kind == TProp::pkRange) {
      Min = p.Min;
      Max = p.Max;
    }
  UpDown = CreateWindowExA(0, UPDOWN_CLASSA, "",
                           WS_CHILD | WS_VISIBLE | UDS_SETBUDDYINT | UDS_ALIGNRIGHT | UDS_ARROWKEYS | UDS_NOTHOUSANDS, 0,
                           0, 0, 0, ParentHandle(), nullptr, GetModuleHandleA(nullptr), nullptr);
  SendMessageA(UpDown, UDM_SETBUDDY, reinterpret_cast<WPARAM>(Handle), 0);
  SendMessageA(UpDown, UDM_SETRANGE32, Min, Max);
  SetValue(Min);
}

void TSpinEdit::Command(int code) {
  if (code == EN_CHANGE) Fire(OnChange);
}

int TSpinEdit::Value() const {
  BOOL failed = FALSE;
  int value = static_cast<int>(SendMessageA(UpDown, UDM_GETPOS32, 0, reinterpret_cast<LPARAM>(&failed)));
  return failed ? Min : value;
}

void TSpinEdit::SetValue(int value) { SendMessageA(UpDown, UDM_SETPOS32, 0, value); }

// ---------------------------------------------------------------------------
// List views and tree views

void TListView::Created(const TControlDef& def) {
  SendMessageA(Handle, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_FULLROWSELECT, LVS_EX_FULLROWSELECT);
  for (const TProp& p : def.Props) {
    if (p.Kind != TProp::pkColumns) continue;
    int index = 0;
    for (const TColumnDef& column : p.Columns) {
      LVCOLUMNA col = {};
      col.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
      col.pszText = const_cast<char*>(column.Caption.c_str());
      col.cx = Scale(column.Width);
      col.iSubItem = index;
      SendMessageA(Handle, LVM_INSERTCOLUMNA, index++, reinterpret_cast<LPARAM>(&col));
    }
  }
}

bool TListView::Notify(NMHDR* header, LRESULT& result) {
  switch (header->code) {
    case LVN_GETDISPINFOA: {
      LVITEMA& item = reinterpret_cast<NMLVDISPINFOA*>(header)->item;
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

int TListView::Count() const { return static_cast<int>(SendMessageA(Handle, LVM_GETITEMCOUNT, 0, 0)); }

int TListView::InsertRow(int index, const std::vector<std::string>& cells) {
  LVITEMA item = {};
  item.mask = LVIF_TEXT | LVIF_IMAGE;
  item.iImage = I_IMAGECALLBACK;
  item.iItem = index < 0 ? Count() : index;
  item.pszText = const_cast<char*>(cells.empty() ? "" : cells[0].c_str());
  const int row = static_cast<int>(SendMessageA(Handle, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item)));
  for (size_t i = 1; i < cells.size(); ++i) SetCell(row, static_cast<int>(i), cells[i]);
  return row;
}

void TListView::DeleteRow(int index) { SendMessageA(Handle, LVM_DELETEITEM, index, 0); }
void TListView::Clear() { SendMessageA(Handle, LVM_DELETEALLITEMS, 0, 0); }

std::string TListView::Cell(int row, int column) const {
  // Whole however long: a cell's text goes back into the project.
  for (size_t size = 1024;; size *= 4) {
    std::string text(size, '\0');
    LVITEMA item = {};
    item.iSubItem = column;
    item.pszText = &text[0];
    item.cchTextMax = static_cast<int>(size);
    const LRESULT n = SendMessageA(Handle, LVM_GETITEMTEXTA, row, reinterpret_cast<LPARAM>(&item));
    if (static_cast<size_t>(n) + 1 < size || size >= (1u << 24)) {
      text.resize(static_cast<size_t>(n));
      return text;
    }
  }
}

void TListView::SetCell(int row, int column, const std::string& text) {
  LVITEMA item = {};
  item.iSubItem = column;
  item.pszText = const_cast<char*>(text.c_str());
  SendMessageA(Handle, LVM_SETITEMTEXTA, row, reinterpret_cast<LPARAM>(&item));
}

int TListView::RowAt(POINT point) const {
  LVHITTESTINFO hit = {};
  hit.pt = point;
  return static_cast<int>(SendMessageA(Handle, LVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit)));
}

int TListView::Selected() const {
  return static_cast<int>(SendMessageA(Handle, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
}

void TListView::SetSelected(int row) {
  LVITEMA item = {};
  item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
  item.state = 0;
  SendMessageA(Handle, LVM_SETITEMSTATE, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&item));
  if (row < 0) return;
  item.state = LVIS_SELECTED | LVIS_FOCUSED;
  SendMessageA(Handle, LVM_SETITEMSTATE, row, reinterpret_cast<LPARAM>(&item));
  SendMessageA(Handle, LVM_ENSUREVISIBLE, row, FALSE);
}

void TTreeView::Created(const TControlDef& def) {
  for (const TProp& p : def.Props)
    if (p.Kind == TProp::pkIndent) SendMessageA(Handle, TVM_SETINDENT, Scale(p.Min), 0);
}

bool TTreeView::Notify(NMHDR* header, LRESULT& result) {
  if (header->code == NM_CUSTOMDRAW) {
    auto* draw = reinterpret_cast<NMTVCUSTOMDRAW*>(header);
    if (draw->nmcd.dwDrawStage == CDDS_PREPAINT) {
      result = CDRF_NOTIFYPOSTPAINT;
      return true;
    }
    if (draw->nmcd.dwDrawStage == CDDS_POSTPAINT) DrawDropMark(draw->nmcd.hdc);
    return false;
  }
  if (header->code == TVN_GETDISPINFOA && ImageOf) {
    TVITEMA& item = reinterpret_cast<NMTVDISPINFOA*>(header)->item;
    if (item.mask & (TVIF_IMAGE | TVIF_SELECTEDIMAGE)) item.iImage = item.iSelectedImage = ImageOf(item.hItem);
  } else if (header->code == TVN_SELCHANGEDA || header->code == TVN_SELCHANGEDW) {
    Fire(OnChange);
  } else if (header->code == NM_DBLCLK) {
    Fire(OnDblClick);
  } else if ((header->code == TVN_BEGINDRAGA || header->code == TVN_BEGINDRAGW) && CanDrop && Dropped) {
    // The item's handle sits at the same place in both structures.
    dragged_ = reinterpret_cast<NMTREEVIEWA*>(header)->itemNew.hItem;
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
  target = reinterpret_cast<HTREEITEM>(SendMessageA(Handle, TVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit)));
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
  SendMessageA(Handle, TVM_SELECTITEM, TVGN_DROPHILITE, reinterpret_cast<LPARAM>(into ? target : nullptr));
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
        SetCursor(LoadCursor(nullptr, allowed ? IDC_ARROW : IDC_NO));
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
  TVINSERTSTRUCTA insert = {};
  insert.hParent = parent ? parent : TVI_ROOT;
  insert.hInsertAfter = after;
  insert.item.mask = TVIF_TEXT | TVIF_IMAGE | TVIF_SELECTEDIMAGE;
  insert.item.pszText = const_cast<char*>(text.c_str());
  insert.item.iImage = insert.item.iSelectedImage = I_IMAGECALLBACK;
  return reinterpret_cast<HTREEITEM>(SendMessageA(Handle, TVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&insert)));
}

void TTreeView::Delete(HTREEITEM node) { SendMessageA(Handle, TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(node)); }
void TTreeView::Clear() { SendMessageA(Handle, TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(TVI_ROOT)); }

HTREEITEM TTreeView::Selected() const { return TreeView_GetSelection(Handle); }
void TTreeView::SetSelected(HTREEITEM node) { TreeView_SelectItem(Handle, node); }

std::string TTreeView::Text(HTREEITEM node) const {
  std::string text(1024, '\0');
  TVITEMA item = {};
  item.mask = TVIF_TEXT;
  item.hItem = node;
  item.pszText = &text[0];
  item.cchTextMax = static_cast<int>(text.size());
  if (!SendMessageA(Handle, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item))) return std::string();
  text.resize(strlen(text.c_str()));
  return text;
}

void TTreeView::SetText(HTREEITEM node, const std::string& text) {
  TVITEMA item = {};
  item.mask = TVIF_TEXT;
  item.hItem = node;
  item.pszText = const_cast<char*>(text.c_str());
  SendMessageA(Handle, TVM_SETITEMA, 0, reinterpret_cast<LPARAM>(&item));
}

HTREEITEM TTreeView::Root() const { return TreeView_GetRoot(Handle); }
HTREEITEM TTreeView::ParentOf(HTREEITEM node) const { return TreeView_GetParent(Handle, node); }
HTREEITEM TTreeView::FirstChild(HTREEITEM node) const { return TreeView_GetChild(Handle, node); }
HTREEITEM TTreeView::NextSibling(HTREEITEM node) const { return TreeView_GetNextSibling(Handle, node); }
HTREEITEM TTreeView::PrevSibling(HTREEITEM node) const { return TreeView_GetPrevSibling(Handle, node); }
int TTreeView::Count() const { return static_cast<int>(TreeView_GetCount(Handle)); }

void TTreeView::BeginUpdate() {
  if (updates_++ == 0) SendMessageA(Handle, WM_SETREDRAW, FALSE, 0);
}

void TTreeView::EndUpdate() {
  if (--updates_ > 0) return;
  updates_ = 0;
  SendMessageA(Handle, WM_SETREDRAW, TRUE, 0);
  InvalidateRect(Handle, nullptr, TRUE);
}

// ---------------------------------------------------------------------------
// Hot keys and progress bars

WORD THotKey::HotKey() const { return static_cast<WORD>(SendMessageA(Handle, HKM_GETHOTKEY, 0, 0)); }
void THotKey::SetHotKey(WORD hotKey) { SendMessageA(Handle, HKM_SETHOTKEY, hotKey, 0); }

void TProgressBar::Created(const TControlDef& def) {
  for (const TProp& p : def.Props)
    if (p.Kind == TProp::pkRange) SetRange(p.Min, p.Max);
}

int TProgressBar::Position() const { return static_cast<int>(SendMessageA(Handle, PBM_GETPOS, 0, 0)); }
void TProgressBar::SetPosition(int position) { SendMessageA(Handle, PBM_SETPOS, position, 0); }
void TProgressBar::SetRange(int min, int max) { SendMessageA(Handle, PBM_SETRANGE32, min, max); }

void TListView::SetImages(HIMAGELIST images) { SendMessageA(Handle, LVM_SETIMAGELIST, LVSIL_SMALL, reinterpret_cast<LPARAM>(images)); }
void TTreeView::SetImages(HIMAGELIST images) { SendMessageA(Handle, TVM_SETIMAGELIST, TVSIL_NORMAL, reinterpret_cast<LPARAM>(images)); }
