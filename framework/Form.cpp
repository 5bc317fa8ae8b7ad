#include "framework/Form.h"

#include <commctrl.h>
#include <windowsx.h>

#include <map>
#include <tuple>

#include "framework/Application.h"
#include "model/Errors.h"

namespace {

const char* const FormProp = "TarvoForm";
const char* const ControlProp = "TarvoControl";
const UINT_PTR SubclassId = 1;
const int FirstControlId = 100;

bool IsContainer(const std::string& kind) { return kind == "TNotebook" || kind == "TTabSheet"; }
bool IsImage(const std::string& kind) { return kind == "TImage" || kind == "TVQImage"; }
bool IsButton(const std::string& kind) { return kind == "TButton" || kind == "TVQButton"; }

TControl* ControlOf(HWND wnd) { return static_cast<TControl*>(GetPropA(wnd, ControlProp)); }

void Fire(const TNotifyHandler& handler, TControl& sender) {
  if (handler) Application.Guard([&] { handler(sender); });
}

void FireMouse(const TMouseHandler& handler, TControl& sender, TMouseButton button, LPARAM lParam) {
  if (handler) Application.Guard([&] { handler(sender, button, GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)); });
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

// Mouse enter and leave from the moves over a window.
void TrackMouse(TControl& c, UINT msg) {
  if (msg == WM_MOUSEMOVE && !c.MouseInside) {
    c.MouseInside = true;
    TRACKMOUSEEVENT tme = {sizeof tme, TME_LEAVE, c.Handle, 0};
    TrackMouseEvent(&tme);
    Fire(c.OnMouseEnter, c);
  } else if (msg == WM_MOUSELEAVE && c.MouseInside) {
    c.MouseInside = false;
    Fire(c.OnMouseLeave, c);
  }
}

// An icon button's picture sits centred, 2 pixels lower right while the
// left button is held.
void PlaceIconChild(TControl& button, int nudge) {
  TControl* icon = nullptr;
  for (HWND child = GetWindow(button.Handle, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
    if (TControl* c = ControlOf(child); c && c->Name == "VQButton_Icon") icon = c;
  if (!icon) return;
  icon->SetPosition((button.Width() - icon->Width()) / 2 + nudge, (button.Height() - icon->Height()) / 2 + nudge);
}

bool CursorInside(HWND wnd) {
  POINT pt;
  RECT r;
  GetCursorPos(&pt);
  GetWindowRect(wnd, &r);
  return PtInRect(&r, pt) != 0;
}

void InvalidateChildren(HWND wnd) {
  for (HWND child = GetWindow(wnd, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
    InvalidateRect(child, nullptr, FALSE);
}

// Standard controls (buttons): mouse, focus and paint events.
LRESULT CALLBACK SubclassProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR ref) {
  TControl& c = *reinterpret_cast<TControl*>(ref);
  TMouseButton button;
  bool doubleClick;
  if (MouseDownMessage(msg, button, doubleClick)) {
    LRESULT r = DefSubclassProc(wnd, msg, wParam, lParam);
    if (c.Kind == "TVQButton" && button == mbLeft && !doubleClick) PlaceIconChild(c, 2);
    InvalidateChildren(wnd);
    FireMouse(c.OnMouseDown, c, button, lParam);
    return r;
  }
  if (MouseUpMessage(msg, button)) {
    LRESULT r = DefSubclassProc(wnd, msg, wParam, lParam);
    if (c.Kind == "TVQButton" && button == mbLeft) PlaceIconChild(c, 0);
    InvalidateChildren(wnd);
    FireMouse(c.OnMouseUp, c, button, lParam);
    return r;
  }
  switch (msg) {
    case WM_MOUSEMOVE: {
      LRESULT r = DefSubclassProc(wnd, msg, wParam, lParam);
      // Re-armed on every move: a leave swallowed below ended the tracking.
      TRACKMOUSEEVENT tme = {sizeof tme, TME_LEAVE, wnd, 0};
      TrackMouseEvent(&tme);
      InvalidateChildren(wnd);
      TrackMouse(c, msg);
      return r;
    }
    case WM_MOUSELEAVE: {
      // Moving onto one of its pictures is no leaving: the button keeps its
      // hot look; the picture reports the real leave.
      if (CursorInside(wnd)) return 0;
      LRESULT r = DefSubclassProc(wnd, msg, wParam, lParam);
      InvalidateChildren(wnd);
      TrackMouse(c, msg);
      return r;
    }
    case WM_SETFOCUS: {
      LRESULT r = DefSubclassProc(wnd, msg, wParam, lParam);
      InvalidateChildren(wnd);
      Fire(c.OnEnter, c);
      return r;
    }
    case WM_KILLFOCUS: {
      LRESULT r = DefSubclassProc(wnd, msg, wParam, lParam);
      InvalidateChildren(wnd);
      Fire(c.OnExit, c);
      return r;
    }
    case WM_PAINT:
    case BM_SETSTATE: {
      // The button clips its pictures; they repaint after it.
      LRESULT r = DefSubclassProc(wnd, msg, wParam, lParam);
      InvalidateChildren(wnd);
      return r;
    }
    case WM_NCDESTROY:
      RemoveWindowSubclass(wnd, SubclassProc, SubclassId);
      RemovePropA(wnd, ControlProp);
      break;
  }
  return DefSubclassProc(wnd, msg, wParam, lParam);
}

void PaintGraphicControls(TForm& form, HWND parent, HDC dc) {
  for (auto& c : form.Controls) {
    if (c->Handle || c->ParentHandle() != parent) continue;
    if (c->Kind == "TBevel" && (c->Options & coBevelBottomLine)) {
      const RECT& r = c->Bounds;
      HPEN shadow = CreatePen(PS_SOLID, 1, GetSysColor(COLOR_BTNSHADOW));
      HPEN light = CreatePen(PS_SOLID, 1, GetSysColor(COLOR_BTNHIGHLIGHT));
      HGDIOBJ old = SelectObject(dc, shadow);
      MoveToEx(dc, r.left, r.bottom - 2, nullptr);
      LineTo(dc, r.right, r.bottom - 2);
      SelectObject(dc, light);
      MoveToEx(dc, r.left, r.bottom - 1, nullptr);
      LineTo(dc, r.right, r.bottom - 1);
      SelectObject(dc, old);
      DeleteObject(shadow);
      DeleteObject(light);
    }
  }
}

void PaintImage(TControl& c, HDC dc, const RECT& rect) {
  if (c.Icon) {
    DrawIconEx(dc, 0, 0, c.Icon, c.IconSize, c.IconSize, 0, nullptr, DI_NORMAL);
    return;
  }
  if (!c.Bitmap) return;
  BITMAP bm;
  GetObjectA(c.Bitmap, sizeof bm, &bm);
  int w = bm.bmWidth, h = bm.bmHeight, x = 0, y = 0;
  if (c.Options & coStretchProportional) {
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
  HGDIOBJ old = SelectObject(mem, c.Bitmap);
  SetStretchBltMode(dc, COLORONCOLOR);
  if (c.Options & coTransparent)
    // The picture's white background lets the parent show through.
    TransparentBlt(dc, x, y, w, h, mem, 0, 0, bm.bmWidth, bm.bmHeight, RGB(255, 255, 255));
  else
    StretchBlt(dc, x, y, w, h, mem, 0, 0, bm.bmWidth, bm.bmHeight, SRCCOPY);
  SelectObject(mem, old);
  DeleteDC(mem);
}

UINT LabelFormat(const TControl& c) {
  UINT format = DT_NOCLIP;
  if (c.Options & coWordWrap) format |= DT_WORDBREAK;
  if (c.Options & coRightAlign) format |= DT_RIGHT;
  return format;
}

void PaintControl(TControl& c, HDC dc) {
  RECT rect;
  GetClientRect(c.Handle, &rect);
  if ((c.Options & coTransparent) || (IsImage(c.Kind) && c.Icon))
    Framework::PaintParentBackground(c.Handle, dc);
  else
    FillRect(dc, &rect, GetSysColorBrush(COLOR_BTNFACE));
  if (IsContainer(c.Kind)) {
    PaintGraphicControls(*c.Form, c.Handle, dc);
  } else if (c.Kind == "TLabel") {
    HGDIOBJ old = SelectObject(dc, FontHandle(c.FontName, c.FontHeight, c.Bold, c.Italic, c.Underline));
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, c.FontColor == CLR_INVALID ? GetSysColor(COLOR_WINDOWTEXT) : c.FontColor);
    std::string text = c.Caption();
    DrawTextA(dc, text.c_str(), static_cast<int>(text.size()), &rect, LabelFormat(c));
    SelectObject(dc, old);
  } else if (IsImage(c.Kind)) {
    PaintImage(c, dc, rect);
  } else if (c.Kind == "TPaintBox" && c.OnPaint) {
    HGDIOBJ old = SelectObject(dc, FontHandle(c.FontName, c.FontHeight, c.Bold, c.Italic, c.Underline));
    Application.Guard([&] { c.OnPaint(c, dc); });
    SelectObject(dc, old);
  }
}

// The program's own control classes and the pages of notebooks.
LRESULT CALLBACK ControlProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  TControl* pc = ControlOf(wnd);
  if (!pc) return DefWindowProcA(wnd, msg, wParam, lParam);
  TControl& c = *pc;
  TMouseButton button;
  bool doubleClick;
  if (MouseDownMessage(msg, button, doubleClick)) {
    if (c.Kind == "TLabel" && button == mbLeft && c.OnClick) {
      // A double click clicks once, with its first press.
      c.Pressed = !doubleClick;
      SetCapture(wnd);
    }
    FireMouse(c.OnMouseDown, c, button, lParam);
    return 0;
  }
  if (MouseUpMessage(msg, button)) {
    bool click = false;
    if (button == mbLeft && GetCapture() == wnd) ReleaseCapture();
    if (c.Pressed && button == mbLeft) {
      c.Pressed = false;
      RECT r;
      GetClientRect(wnd, &r);
      POINT pt = {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
      click = PtInRect(&r, pt) != 0;
    }
    FireMouse(c.OnMouseUp, c, button, lParam);
    if (click) Fire(c.OnClick, c);
    return 0;
  }
  switch (msg) {
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(wnd, &ps);
      PaintControl(c, dc);
      EndPaint(wnd, &ps);
      return 0;
    }
    case WM_PRINTCLIENT:
      PaintControl(c, reinterpret_cast<HDC>(wParam));
      return 0;
    case WM_ERASEBKGND:
      return 1;
    case WM_MOUSEMOVE:
      TrackMouse(c, msg);
      return 0;
    case WM_MOUSELEAVE: {
      TrackMouse(c, msg);
      // A picture on a button passes the leave on when the mouse has left
      // the button too.
      HWND parent = GetParent(wnd);
      if (TControl* p = ControlOf(parent); p && IsButton(p->Kind) && !CursorInside(parent))
        SendMessageA(parent, WM_MOUSELEAVE, 0, 0);
      return 0;
    }
    case WM_SETCURSOR:
      if (c.Options & coHandCursor) {
        SetCursor(LoadCursorA(nullptr, IDC_HAND));
        return TRUE;
      }
      break;
    case WM_GETDLGCODE:
      if (c.Kind == "TLabel") return DLGC_STATIC;
      break;
    case WM_SETTEXT: {
      LRESULT r = DefWindowProcA(wnd, msg, wParam, lParam);
      InvalidateRect(wnd, nullptr, FALSE);
      return r;
    }
    case WM_COMMAND:
    case WM_NOTIFY:
    case WM_DRAWITEM:
    case WM_MEASUREITEM:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
      // Containers pass their children's notifications on to the form.
      if (c.Form->Handle) return SendMessageA(c.Form->Handle, msg, wParam, lParam);
      break;
    case WM_NCDESTROY:
      RemovePropA(wnd, ControlProp);
      break;
  }
  return DefWindowProcA(wnd, msg, wParam, lParam);
}

LRESULT CALLBACK FormProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_NCCREATE) {
    auto* cs = reinterpret_cast<CREATESTRUCTA*>(lParam);
    auto* form = static_cast<TForm*>(cs->lpCreateParams);
    form->Handle = wnd;
    SetPropA(wnd, FormProp, form);
  }
  TForm* form = TForm::FromWindow(wnd);
  if (!form) return DefWindowProcA(wnd, msg, wParam, lParam);
  LRESULT result = 0;
  if (!Application.Guard([&] { result = form->Dispatch(msg, wParam, lParam); })) return 0;
  return result;
}

void RegisterClassOnce(const char* name, WNDPROC proc, HICON icon = nullptr) {
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

bool PreviewMessage(MSG& msg) {
  if (msg.message == WM_CHAR || msg.message == WM_SYSCHAR) {
    TForm* form = TForm::FromWindow(GetAncestor(msg.hwnd, GA_ROOT));
    return form && form->AccessKey(static_cast<char>(msg.wParam), msg.message == WM_SYSCHAR);
  }
  if (msg.message != WM_KEYDOWN && msg.message != WM_SYSKEYDOWN) return false;
  TForm* form = TForm::FromWindow(GetAncestor(msg.hwnd, GA_ROOT));
  if (!form || !form->KeyPreview) return false;
  bool swallowed = false;
  Application.Guard([&] { swallowed = form->PreviewKey(static_cast<WORD>(msg.wParam)); });
  return swallowed;
}

}  // namespace

// ---------------------------------------------------------------------------

HFONT FontHandle(const std::string& name, int height, bool bold, bool italic, bool underline) {
  static std::map<std::tuple<std::string, int, bool, bool, bool>, HFONT> fonts;
  auto key = std::make_tuple(name, height, bold, italic, underline);
  auto it = fonts.find(key);
  if (it != fonts.end()) return it->second;
  HFONT font = CreateFontA(-height, 0, 0, 0, bold ? FW_BOLD : FW_NORMAL, italic, underline, FALSE, DEFAULT_CHARSET,
                           OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE,
                           name.c_str());
  fonts[key] = font;
  return font;
}

int FontPointSize(int height) {
  HDC dc = GetDC(nullptr);
  int dpi = GetDeviceCaps(dc, LOGPIXELSY);
  ReleaseDC(nullptr, dc);
  return MulDiv(height, 72, dpi);
}

void Framework::Initialize() {
  static bool done = false;
  if (done) return;
  done = true;
  Application.Initialize();
  for (const char* name : {"TLabel", "TImage", "TVQImage", "TPaintBox", "TNotebook", "TTabSheet"})
    RegisterClassOnce(name, ControlProc);
  Application.PreviewMessage = PreviewMessage;
}

void Framework::PaintParentBackground(HWND child, HDC dc) {
  HWND parent = GetParent(child);
  POINT origin = {0, 0};
  MapWindowPoints(child, parent, &origin, 1);
  POINT old;
  OffsetViewportOrgEx(dc, -origin.x, -origin.y, &old);
  SendMessageA(parent, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT | PRF_ERASEBKGND);
  SetViewportOrgEx(dc, old.x, old.y, nullptr);
}

// ---------------------------------------------------------------------------

int TControl::Left() const { return Bounds.left; }
int TControl::Top() const { return Bounds.top; }
int TControl::Width() const { return Bounds.right - Bounds.left; }
int TControl::Height() const { return Bounds.bottom - Bounds.top; }

void TControl::SetBounds(int left, int top, int width, int height) {
  Bounds = {left, top, left + width, top + height};
  if (Handle)
    SetWindowPos(Handle, nullptr, left, top, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
  else if (HWND parent = ParentHandle())
    InvalidateRect(parent, nullptr, FALSE);
}

void TControl::SetPosition(int left, int top) { SetBounds(left, top, Width(), Height()); }

bool TControl::Visible() const { return Handle && (GetWindowLongA(Handle, GWL_STYLE) & WS_VISIBLE); }

void TControl::SetVisible(bool visible) {
  if (Handle) ShowWindow(Handle, visible ? SW_SHOWNA : SW_HIDE);
}

void TControl::SetCaption(const std::string& text) {
  if (Handle) SetWindowTextA(Handle, text.c_str());
}

std::string TControl::Caption() const {
  if (!Handle) return std::string();
  int n = GetWindowTextLengthA(Handle);
  std::string text(n + 1, '\0');
  text.resize(GetWindowTextA(Handle, &text[0], n + 1));
  return text;
}

void TControl::SetParentControl(TControl& parent) {
  if (!Handle || !parent.Handle) return;
  Parent = &parent;
  SetParent(Handle, parent.Handle);
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
  if (!Handle) return;
  SendMessageA(Handle, WM_SETFONT, reinterpret_cast<WPARAM>(FontHandle(FontName, FontHeight, Bold, Italic, Underline)),
               TRUE);
  AdjustSize();
  Invalidate();
}

void TControl::AdjustSize() {
  if (!(Options & coAutoSize) || Kind != "TLabel" || !Handle) return;
  HDC dc = GetDC(Handle);
  HGDIOBJ old = SelectObject(dc, FontHandle(FontName, FontHeight, Bold, Italic, Underline));
  const std::string text = Caption();
  RECT r = {0, 0, 0, 0};
  DrawTextA(dc, text.c_str(), static_cast<int>(text.size()), &r, DT_CALCRECT);
  SelectObject(dc, old);
  ReleaseDC(Handle, dc);
  // A right-aligned label keeps its right edge.
  const int left = (Options & coRightAlign) ? Bounds.right - r.right : Bounds.left;
  if (left != Bounds.left || r.right != Width() || r.bottom != Height()) SetBounds(left, Bounds.top, r.right, r.bottom);
}

void TControl::Invalidate() {
  if (Handle) InvalidateRect(Handle, nullptr, FALSE);
}

HWND TControl::ParentHandle() const { return Parent ? Parent->Handle : Form ? Form->Handle : nullptr; }

// ---------------------------------------------------------------------------

void TTimer::SetEnabled(bool enabled) {
  enabled_ = enabled;
  Update();
}

void TTimer::SetInterval(UINT interval) {
  interval_ = interval;
  Update();
}

void TTimer::Update() {
  KillTimer(owner_, id_);
  if (enabled_ && interval_ > 0) SetTimer(owner_, id_, interval_, nullptr);
}

// ---------------------------------------------------------------------------

TForm::TForm(const char* className) : ClassName(className) { Forms().push_back(this); }

TForm::~TForm() {
  auto& forms = Forms();
  for (auto it = forms.begin(); it != forms.end(); ++it)
    if (*it == this) {
      forms.erase(it);
      break;
    }
  if (Handle && IsWindow(Handle)) DestroyWindow(Handle);
}

std::vector<TForm*>& TForm::Forms() {
  static std::vector<TForm*> forms;
  return forms;
}

TForm* TForm::FromWindow(HWND wnd) { return wnd ? static_cast<TForm*>(GetPropA(wnd, FormProp)) : nullptr; }

void TForm::Create(const std::vector<TControlDef>& controls, HWND owner) {
  Framework::Initialize();
  RegisterClassOnce(ClassName.c_str(), FormProc, LoadIconA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(1)));
  RECT r = {0, 0, ClientWidth, ClientHeight};
  const DWORD exStyle = WS_EX_CONTROLPARENT | ExStyle;
  AdjustWindowRectEx(&r, Style, FALSE, exStyle);
  CreateWindowExA(exStyle, ClassName.c_str(), Caption.c_str(), Style | WS_CLIPCHILDREN, CW_USEDEFAULT, CW_USEDEFAULT,
                  r.right - r.left, r.bottom - r.top, owner, nullptr, GetModuleHandleA(nullptr), this);
  if (!Handle) throw Exception("Das Fenster konnte nicht erzeugt werden.");
  for (const TControlDef& def : controls) CreateControl(def);
  FormCreate();
}

TControl& TForm::CreateControl(const TControlDef& def) {
  auto owned = std::make_unique<TControl>();
  TControl& c = *owned;
  c.Form = this;
  c.Kind = def.Kind;
  c.Name = def.Name;
  c.Tag = def.Tag;
  c.Options = def.Options;
  c.Id = FirstControlId + static_cast<int>(Controls.size());
  c.Parent = def.Parent ? &Control(def.Parent) : nullptr;
  c.OwnFont = def.Font.Name != nullptr;
  c.FontName = c.OwnFont ? def.Font.Name : FontName;
  c.FontHeight = c.OwnFont ? def.Font.Height : FontHeight;
  c.Bold = def.Font.Bold;
  c.Italic = def.Font.Italic;
  c.Underline = def.Font.Underline;
  for (const TBinding& b : def.Handlers) {
    switch (b.Event) {
      case evClick: c.OnClick = b.Notify; break;
      case evEnter: c.OnEnter = b.Notify; break;
      case evExit: c.OnExit = b.Notify; break;
      case evMouseEnter: c.OnMouseEnter = b.Notify; break;
      case evMouseLeave: c.OnMouseLeave = b.Notify; break;
      case evMouseDown: c.OnMouseDown = b.Mouse; break;
      case evMouseUp: c.OnMouseUp = b.Mouse; break;
      case evPaint: c.OnPaint = b.Paint; break;
    }
  }
  HWND parent = c.ParentHandle();
  RECT client;
  GetClientRect(parent, &client);
  int left = def.Left, top = def.Top, width = def.Width, height = def.Height;
  if (def.Options & coAlignTop) {
    left = 0;
    top = 0;
    width = client.right;
  }
  if (c.Kind == "TTabSheet") {
    left = top = 0;
    width = client.right;
    height = client.bottom;
  }
  c.Bounds = {left, top, left + width, top + height};
  Controls.push_back(std::move(owned));
  if (c.Kind == "TBevel") return c;

  const char* windowClass = c.Kind.c_str();
  DWORD style = WS_CHILD | WS_VISIBLE;
  DWORD exStyle = 0;
  if (IsButton(c.Kind)) {
    windowClass = "BUTTON";
    style |= WS_CLIPCHILDREN | ((def.Options & coDefault) ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON);
  } else if (IsContainer(c.Kind)) {
    style |= WS_CLIPCHILDREN;
    exStyle |= WS_EX_CONTROLPARENT;
    if (c.Kind == "TTabSheet") {
      // Only the first page of a notebook shows at first.
      for (auto& other : Controls)
        if (other.get() != &c && other->Kind == "TTabSheet" && other->Parent == c.Parent) style &= ~WS_VISIBLE;
    }
  }
  if (def.Options & coTabStop) style |= WS_TABSTOP;
  c.Handle = CreateWindowExA(exStyle, windowClass, def.Caption, style, left, top, width, height, parent,
                             reinterpret_cast<HMENU>(static_cast<INT_PTR>(c.Id)), GetModuleHandleA(nullptr), nullptr);
  if (!c.Handle) throw Exception("Das Steuerelement " + c.Name + " konnte nicht erzeugt werden.");
  SetPropA(c.Handle, ControlProp, &c);
  // The Tag is readable from outside too (context help number).
  SetWindowLongPtrA(c.Handle, GWLP_USERDATA, c.Tag);
  if (IsButton(c.Kind)) SetWindowSubclass(c.Handle, SubclassProc, SubclassId, reinterpret_cast<DWORD_PTR>(&c));
  c.ApplyFont();  // auto-sized labels take their size here
  if (c.Kind == "TVQButton") {
    // The icon child: a picture centred on the face whose clicks are the
    // button's.
    auto icon = std::make_unique<TControl>();
    TControl& ic = *icon;
    ic.Form = this;
    ic.Kind = "TImage";
    ic.Name = "VQButton_Icon";
    ic.Options = coTransparent;
    ic.Parent = &c;
    ic.Handle = CreateWindowExA(0, "TImage", "", WS_CHILD | WS_VISIBLE, 0, 0, 0, 0, c.Handle, nullptr,
                                GetModuleHandleA(nullptr), nullptr);
    SetPropA(ic.Handle, ControlProp, &ic);
    HWND buttonHandle = c.Handle;
    ic.OnMouseDown = [buttonHandle](TControl&, TMouseButton b, int, int) {
      if (b == mbLeft) SendMessageA(buttonHandle, WM_LBUTTONDOWN, 0, 0);
    };
    ic.OnMouseUp = [buttonHandle](TControl&, TMouseButton b, int, int) {
      if (b == mbLeft) SendMessageA(buttonHandle, WM_LBUTTONUP, 0, 0);
    };
    inner_.push_back(std::move(icon));
  }
  return c;
}

void TForm::Show() {
  if (!shown_) {
    shown_ = true;
    RECT r;
    GetWindowRect(Handle, &r);
    int w = r.right - r.left, h = r.bottom - r.top;
    SetWindowPos(Handle, nullptr, (GetSystemMetrics(SM_CXSCREEN) - w) / 2, (GetSystemMetrics(SM_CYSCREEN) - h) / 2, 0,
                 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    FormShow();
  }
  ShowWindow(Handle, SW_SHOW);
  SetForegroundWindow(Handle);
  // The first control in tab order gets the focus.
  if (!ActiveControl())
    if (HWND first = GetNextDlgTabItem(Handle, nullptr, FALSE)) SetFocus(first);
}

int TForm::ShowModal() {
  ModalResult = mrNone;
  modal_ = true;
  std::vector<HWND> disabled;
  for (TForm* other : Forms())
    if (other != this && other->Handle && IsWindowVisible(other->Handle) && IsWindowEnabled(other->Handle)) {
      EnableWindow(other->Handle, FALSE);
      disabled.push_back(other->Handle);
    }
  Show();
  while (ModalResult == mrNone && IsWindow(Handle) && !Application.Terminated) {
    if (!Application.HandleNextMessage()) break;
  }
  // Owner windows first, so that activation returns to them.
  for (HWND wnd : disabled)
    if (IsWindow(wnd)) EnableWindow(wnd, TRUE);
  if (IsWindow(Handle)) ShowWindow(Handle, SW_HIDE);
  modal_ = false;
  return ModalResult;
}

void TForm::Close() { SendMessageA(Handle, WM_CLOSE, 0, 0); }

TControl* TForm::FindComponent(const std::string& name) {
  for (auto& c : Controls)
    if (c->Name == name) return c.get();
  return nullptr;
}

TControl& TForm::Control(const std::string& name) {
  TControl* c = FindComponent(name);
  if (!c) throw Exception("Komponente " + name + " nicht gefunden");
  return *c;
}

TControl* TForm::FromHandle(HWND wnd) {
  for (auto& c : Controls)
    if (c->Handle && c->Handle == wnd) return c.get();
  return nullptr;
}

TControl* TForm::ActiveControl() {
  for (HWND wnd = GetFocus(); wnd && wnd != Handle; wnd = GetParent(wnd))
    if (TControl* c = FromHandle(wnd)) return c;
  return nullptr;
}

int TForm::PageIndex(const std::string& notebook) {
  TControl* book = &Control(notebook);
  int index = 0;
  for (auto& c : Controls) {
    if (c->Kind != "TTabSheet" || c->Parent != book) continue;
    if (c->Visible()) return index;
    ++index;
  }
  return -1;
}

void TForm::SetPageIndex(const std::string& notebook, int index) {
  TControl* book = &Control(notebook);
  TControl* shown = nullptr;
  int i = 0;
  for (auto& c : Controls) {
    if (c->Kind != "TTabSheet" || c->Parent != book) continue;
    if (i++ == index) shown = c.get();
  }
  if (!shown) return;
  shown->SetVisible(true);
  for (auto& c : Controls)
    if (c->Kind == "TTabSheet" && c->Parent == book && c.get() != shown) c->SetVisible(false);
  // Focus on a hidden page moves to the first control of the shown one.
  HWND focus = GetFocus();
  if (!focus || !IsWindowVisible(focus)) {
    HWND first = nullptr;
    for (auto& c : Controls)
      if (c->Parent == shown && (c->Options & coTabStop) && c->Handle) {
        first = c->Handle;
        break;
      }
    SetFocus(first ? first : Handle);
  }
}

TTimer& TForm::AddTimer() {
  timers_.push_back(std::make_unique<TTimer>(Handle, timers_.size() + 1));
  return *timers_.back();
}

void TForm::SetFontName(const std::string& name) {
  FontName = name;
  for (auto& c : Controls)
    if (!c->OwnFont) {
      c->FontName = name;
      c->ApplyFont();
    }
  InvalidateRect(Handle, nullptr, TRUE);
}

void TForm::PaintClient(HDC dc) {
  RECT r;
  GetClientRect(Handle, &r);
  FillRect(dc, &r, GetSysColorBrush(COLOR_BTNFACE));
  FormPaint(dc);
  PaintGraphicControls(*this, Handle, dc);
}

bool TForm::PreviewKey(WORD key) {
  FormKeyDown(key);
  return key == 0;
}

namespace {
char AccessKeyOf(const std::string& caption) {
  for (size_t i = 0; i + 1 < caption.size(); ++i) {
    if (caption[i] != '&') continue;
    if (caption[i + 1] != '&') return caption[i + 1];
    ++i;
  }
  return 0;
}

char Lower(char c) {
  return static_cast<char>(reinterpret_cast<UINT_PTR>(CharLowerA(reinterpret_cast<LPSTR>(static_cast<unsigned char>(c)))));
}
}  // namespace

bool TForm::AccessKey(char key, bool withAlt) {
  // Without Alt only where the focused control does not take the character.
  HWND focus = GetFocus();
  if (!withAlt && focus && (SendMessageA(focus, WM_GETDLGCODE, 0, 0) & (DLGC_WANTCHARS | DLGC_HASSETSEL))) return false;
  for (auto& c : Controls) {
    if (c->Kind != "TLabel" || !c->FocusControl || !c->Handle || !IsWindowVisible(c->Handle)) continue;
    char mnemonic = AccessKeyOf(c->Caption());
    if (mnemonic && Lower(mnemonic) == Lower(key)) {
      if (c->FocusControl->Handle && IsWindowEnabled(c->FocusControl->Handle)) SetFocus(c->FocusControl->Handle);
      return true;
    }
  }
  return false;
}

void TForm::HandleCommand(HWND control, int id, int code) {
  TControl* c = control ? ControlOf(control) : nullptr;
  if (!control && (id == IDOK || id == IDCANCEL)) {
    // Enter and Esc of the dialog keys: the default or the cancel button.
    for (auto& b : Controls)
      if (IsButton(b->Kind) && (b->Options & (id == IDOK ? coDefault : coCancel)) && IsWindowEnabled(b->Handle)) {
        Fire(b->OnClick, *b);
        return;
      }
    return;
  }
  if (c && IsButton(c->Kind) && code == BN_CLICKED) Fire(c->OnClick, *c);
}

LRESULT TForm::Dispatch(UINT msg, WPARAM wParam, LPARAM lParam) {
  LRESULT result = 0;
  if (WindowMessage(msg, wParam, lParam, result)) return result;
  switch (msg) {
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(Handle, &ps);
      PaintClient(dc);
      EndPaint(Handle, &ps);
      return 0;
    }
    case WM_PRINTCLIENT:
      PaintClient(reinterpret_cast<HDC>(wParam));
      return 0;
    case WM_ERASEBKGND:
      return 1;
    case WM_COMMAND:
      HandleCommand(reinterpret_cast<HWND>(lParam), LOWORD(wParam), HIWORD(wParam));
      return 0;
    case WM_ACTIVATE:
      // Like a dialog: the focus comes back to where it was.
      if (LOWORD(wParam) == WA_INACTIVE) {
        HWND focus = GetFocus();
        if (focus && IsChild(Handle, focus)) lastFocus_ = focus;
      } else if (lastFocus_ && IsWindow(lastFocus_) && IsWindowVisible(lastFocus_) && !HIWORD(wParam)) {
        SetFocus(lastFocus_);
        return 0;
      }
      break;
    case WM_TIMER:
      if (wParam >= 1 && wParam <= timers_.size()) {
        TTimer& t = *timers_[wParam - 1];
        if (t.OnTimer) t.OnTimer();
      }
      return 0;
    case WM_CLOSE: {
      bool canClose = true;
      FormCloseQuery(canClose);
      if (!canClose) return 0;
      if (modal_)
        ModalResult = mrCancel;
      else if (Application.MainWindow == Handle)
        DestroyWindow(Handle);
      else
        ShowWindow(Handle, SW_HIDE);
      return 0;
    }
    case WM_DESTROY:
      if (!destroyed_) {
        destroyed_ = true;
        FormDestroy();
      }
      if (Application.MainWindow == Handle) PostQuitMessage(0);
      return 0;
    case WM_NCDESTROY:
      RemovePropA(Handle, FormProp);
      Handle = nullptr;
      return 0;
  }
  return DefWindowProcA(Handle, msg, wParam, lParam);
}
