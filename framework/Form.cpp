#include "framework/Form.h"

#include <commctrl.h>

#include <map>
#include <set>

#include "framework/Application.h"
#include "framework/ControlQuery.h"
#include "model/Errors.h"
#include "model/Text.h"
#include "model/Wide_win.h"

namespace Framework {
bool RouteNotification(TForm& form, UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result);
bool GraphicMouse(TForm& form, HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result);
void AttachControl(TControl& c);
// Registers the control's own class, or loads the Common Controls for a
// system class.
void PrepareWindowClass(const TControl& c);
// iconId: the class's icon in the program's resources, 0 for none.
void RegisterClassOnce(const char* name, WNDPROC proc, int iconId);
}  // namespace Framework

namespace {

// Which form a window is, kept in the process like the controls' map.
std::map<HWND, TForm*>& FormMap() {
  static std::map<HWND, TForm*> forms;
  return forms;
}
const int FirstControlId = 100;

RECT ScreenArea() { return {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)}; }

// The top left corner of a window of w x h centred in area.
POINT CentredIn(const RECT& area, int w, int h) {
  return {area.left + (area.right - area.left - w) / 2, area.top + (area.bottom - area.top - h) / 2};
}

LRESULT CALLBACK FormProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_NCCREATE) {
    auto* cs = reinterpret_cast<CREATESTRUCTW*>(lParam);
    auto* form = static_cast<TForm*>(cs->lpCreateParams);
    form->Handle = wnd;
    FormMap()[wnd] = form;
  }
  TForm* form = TForm::FromWindow(wnd);
  if (!form) return DefWindowProcW(wnd, msg, wParam, lParam);
  LRESULT result = 0;
  if (!Application.Guard([&] { result = form->Dispatch(msg, wParam, lParam); })) return 0;
  return result;
}

bool PreviewMessage(MSG& msg) {
  if (msg.message == WM_CHAR || msg.message == WM_SYSCHAR) {
    TForm* form = TForm::FromWindow(GetAncestor(msg.hwnd, GA_ROOT));
    // Access keys are characters of captions: one that Windows-1252 lacks
    // is none.
    std::string key;
    if (!TryNarrow(std::wstring(1, static_cast<wchar_t>(msg.wParam)), key)) return false;
    return form && !form->Dying() && form->AccessKey(key[0], msg.message == WM_SYSCHAR, msg.hwnd);
  }
  if (msg.message != WM_KEYDOWN && msg.message != WM_SYSKEYDOWN) return false;
  TForm* form = TForm::FromWindow(GetAncestor(msg.hwnd, GA_ROOT));
  if (!form || form->Dying()) return false;
  // Alt+F4 closes the window whichever control has the focus: the tree and
  // the combo box (Wine's at least) keep every system key to themselves and
  // never pass it on to the default handling that would close it.
  if (msg.message == WM_SYSKEYDOWN && msg.wParam == VK_F4 && (HIWORD(msg.lParam) & KF_ALTDOWN)) {
    if (!(GetClassLongW(form->Handle, GCL_STYLE) & CS_NOCLOSE))
      PostMessageW(form->Handle, WM_SYSCOMMAND, SC_CLOSE, 0);
    return true;
  }
  if (!form->KeyPreview) return false;
  bool swallowed = false;
  Application.Guard([&] { swallowed = form->PreviewKey(static_cast<WORD>(msg.wParam)); });
  return swallowed;
}

}  // namespace

// ---------------------------------------------------------------------------

void Framework::Initialize() {
  static bool done = false;
  if (done) return;
  done = true;
  // The hidden application window is made only when something needs it (a
  // popup's owner, a started program's): a window the configuration mode
  // would otherwise pay for before its own shows. So are the Common
  // Controls (LoadCommonControls).
  Application.PreviewMessage = PreviewMessage;
}

void Framework::LoadCommonControls() {
  static bool done = false;
  if (done) return;
  done = true;
  INITCOMMONCONTROLSEX icc = {sizeof icc, ICC_LISTVIEW_CLASSES | ICC_TREEVIEW_CLASSES | ICC_HOTKEY_CLASS |
                                              ICC_PROGRESS_CLASS | ICC_UPDOWN_CLASS | ICC_BAR_CLASSES |
                                              ICC_STANDARD_CLASSES};
  InitCommonControlsEx(&icc);
}

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

void TFormDeleter::operator()(TForm* form) const {
  if (!form) return;
  form->DestroyHandle();
  delete form;
}

TForm::TForm(const char* className) : ClassName(className) { Forms().push_back(this); }

TForm::~TForm() {
  // The derived form is gone already: nothing of it may run any more.
  dying_ = true;
  auto& forms = Forms();
  for (auto it = forms.begin(); it != forms.end(); ++it)
    if (*it == this) {
      forms.erase(it);
      break;
    }
  HWND wnd = Handle;
  if (wnd && IsWindow(wnd)) DestroyWindow(wnd);
  FormMap().erase(wnd);
  byName_.clear();
  Controls.clear();
}

std::vector<TForm*>& TForm::Forms() {
  static std::vector<TForm*> forms;
  return forms;
}

TForm* TForm::FromWindow(HWND wnd) {
  if (!wnd) return nullptr;
  auto it = FormMap().find(wnd);
  return it == FormMap().end() ? nullptr : it->second;
}

void TForm::Create(const std::vector<TControlDef>& controls, HWND owner) {
  Framework::Initialize();
  Framework::RegisterClassOnce(ClassName.c_str(), FormProc, 1);
  RECT r = {0, 0, Scale(ClientWidth), Scale(ClientHeight)};
  const DWORD exStyle = WS_EX_CONTROLPARENT | ExStyle;
  AdjustWindowRectEx(&r, Style, FALSE, exStyle);
  const int w = r.right - r.left, h = r.bottom - r.top;
  // A window centred on the screen is made where it shows: moving it there
  // before it shows would cost a trip to the window server.
  POINT at = {CW_USEDEFAULT, CW_USEDEFAULT};
  if (Position == poScreenCenter) at = CentredIn(ScreenArea(), w, h);
  CreateWindowExW(exStyle, W(ClassName).c_str(), W(Caption).c_str(), Style | WS_CLIPCHILDREN, at.x, at.y, w, h, owner,
                  nullptr, GetModuleHandleW(nullptr), this);
  if (!Handle) throw Exception("Das Fenster konnte nicht erzeugt werden.");
  for (const TControlDef& def : controls) CreateControl(def);
  // Focus controls may come later in the table than their labels.
  for (const TControlDef& def : controls)
    for (const TProp& p : def.Props)
      if (p.Kind == TProp::pkFocusControl) {
        TControl* target = Find(p.Name);
        if (!target) throw Exception("Komponente " + p.Name + " nicht gefunden");
        auto* label = dynamic_cast<TLabel*>(Find(def.Name));
        if (!label) WrongKind(def.Name);
        label->FocusControl = target;
      }
  FormCreate();
}

TControl& TForm::CreateControl(const TControlDef& def) {
  std::unique_ptr<TControl> owned(def.Kind.Make());
  TControl& c = *owned;
  c.Form = this;
  c.Kind = def.Kind.Name;
  c.Name = def.Name;
  c.Tag = def.Tag;
  c.Options = def.Options;
  c.Id = FirstControlId + static_cast<int>(Controls.size());
  c.Parent = def.Parent ? Find(def.Parent) : nullptr;
  if (def.Parent && !c.Parent) throw Exception(std::string("Komponente ") + def.Parent + " nicht gefunden");
  c.OwnFont = def.Font.Name != nullptr;
  c.FontName = c.OwnFont ? def.Font.Name : FontName;
  c.FontHeight = c.OwnFont ? def.Font.Height : FontHeight;
  c.Bold = def.Font.Bold || (def.Options & coBold);
  c.Italic = def.Font.Italic;
  c.Underline = def.Font.Underline;
  DWORD style = WS_CHILD | WS_VISIBLE | c.WindowStyle(), exStyle = c.WindowExStyle();
  for (const TProp& p : def.Props) {
    switch (p.Kind) {
      case TProp::pkHandler:
        switch (p.Event) {
          case evClick: c.OnClick = p.Notify; break;
          case evDblClick: c.OnDblClick = p.Notify; break;
          case evChange: c.OnChange = p.Notify; break;
          case evSelect: c.OnSelect = p.Notify; break;
          case evEnter: c.OnEnter = p.Notify; break;
          case evExit: c.OnExit = p.Notify; break;
          case evMouseEnter: c.OnMouseEnter = p.Notify; break;
          case evMouseLeave: c.OnMouseLeave = p.Notify; break;
          case evMouseDown: c.OnMouseDown = p.Mouse; break;
          case evMouseUp: c.OnMouseUp = p.Mouse; break;
          case evPaint: c.OnPaint = p.Paint; break;
          case evKeyDown: c.OnKeyDown = p.Key; break;
          case evKeyPress: c.OnKeyPress = p.KeyPress; break;
        }
        break;
      case TProp::pkStyle: style |= p.Bits; break;
      case TProp::pkExStyle: exStyle |= p.Bits; break;
      case TProp::pkColor: c.Color = p.Color; break;
      case TProp::pkBind:
        if (!p.Bind(c)) WrongKind(c.Name);
        break;
      default: break;
    }
  }
  HWND parent = c.ParentHandle();
  RECT client;
  GetClientRect(parent, &client);
  int left = Scale(def.Left), top = Scale(def.Top), width = Scale(def.Width), height = Scale(def.Height);
  if (def.Options & coAlignTop) {
    left = 0;
    top = 0;
    width = client.right;
  }
  const bool page = dynamic_cast<TTabSheet*>(&c) != nullptr;
  if (page) {
    // A notebook's page fills it; a page of anything else fills that.
    RECT area = c.Parent && dynamic_cast<TNotebook*>(c.Parent) ? c.Parent->Bounds : client;
    left = area.left;
    top = area.top;
    width = area.right - area.left;
    height = area.bottom - area.top;
    // Only the first page of a notebook shows at first.
    for (auto& other : Controls)
      if (other->Parent == c.Parent && dynamic_cast<TTabSheet*>(other.get())) style &= ~WS_VISIBLE;
  }
  if (def.Options & coHidden) style &= ~WS_VISIBLE;
  if (def.Options & coDisabled) style |= WS_DISABLED;
  if (def.Options & coTabStop) style |= WS_TABSTOP;
  c.Bounds = {left, top, left + width, top + height};
  byName_.emplace(c.Name, &c);
  Controls.push_back(std::move(owned));
  // The windows of a page not shown yet are made when it is first shown or
  // one of its controls is asked for: the window shows sooner. Its labels
  // are measured then too: measuring a label costs about as much as a
  // window.
  TControl* pendingPage = PendingPageOf(c);
  if (!c.WindowClass()) {
    c.Shown = !(def.Options & coHidden);
    c.GraphicCaption = def.Caption;
    if (pendingPage)
      pending_.push_back({&c, pendingPage, style, exStyle, def});
    else
      CreateGraphic(c, def);
    return c;
  }
  if (pendingPage) {
    pending_.push_back({&c, pendingPage, style, exStyle, def});
    return c;
  }
  CreateWindowOf(c, style, exStyle, def);
  return c;
}

void TForm::CreateGraphic(TControl& c, const TControlDef& def) {
  c.ApplyFont();  // auto-sized labels take their size here
  c.Created(def);
}

TControl* TForm::PendingPageOf(TControl& c) {
  for (TControl* p = c.Parent; p; p = p->Parent) {
    for (const TPendingControl& q : pending_)
      if (q.Control == p) return q.Page;
    if (dynamic_cast<TTabSheet*>(p) && p->Handle && !p->Visible() && !realized_.count(p)) return p;
  }
  return nullptr;
}

void TForm::CreateWindowOf(TControl& c, DWORD style, DWORD exStyle, const TControlDef& def) {
  Framework::PrepareWindowClass(c);
  c.Handle = c.CreateHandle(c.ParentHandle(), c.Id, c.Bounds, style, exStyle, def.Caption);
  if (!c.Handle) throw Exception("Das Steuerelement " + c.Name + " konnte nicht erzeugt werden.");
  Framework::AttachControl(c);
  // The Tag is readable from outside too (context help number); a new
  // window's is 0 already.
  if (c.Tag) SetWindowLongPtrW(c.Handle, GWLP_USERDATA, c.Tag);
  c.ApplyFont();  // auto-sized labels take their size here
  c.Created(def);
}

void TForm::RealizePage(TControl* page) {
  if (!page || realized_.count(page)) return;
  realized_.insert(page);
  std::vector<TPendingControl> now;
  for (auto it = pending_.begin(); it != pending_.end();) {
    if (it->Page == page) {
      now.push_back(std::move(*it));
      it = pending_.erase(it);
    } else {
      ++it;
    }
  }
  for (TPendingControl& q : now)
    if (q.Control->WindowClass())
      CreateWindowOf(*q.Control, q.Style, q.ExStyle, q.Def);
    else
      CreateGraphic(*q.Control, q.Def);
}

[[noreturn]] void TForm::WrongKind(const std::string& name) {
  throw Exception("Komponente " + name + " ist von anderer Art");
}

void TForm::Place() {
  RECT r;
  GetWindowRect(Handle, &r);
  RECT area = ScreenArea();
  HWND owner = GetWindow(Handle, GW_OWNER);
  if (Position == poOwnerFormCenter && owner && IsWindowVisible(owner))
    GetWindowRect(owner, &area);
  else if (Position != poScreenCenter && Position != poOwnerFormCenter)
    return;
  const POINT at = CentredIn(area, r.right - r.left, r.bottom - r.top);
  if (at.x != r.left || at.y != r.top) SetWindowPos(Handle, nullptr, at.x, at.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void TForm::Show() {
  if (Position == poOwnerFormCenter || !placed_) Place();
  placed_ = true;
  if (!IsWindowVisible(Handle)) FormShow();
  ShowWindow(Handle, SW_SHOW);
  SetForegroundWindow(Handle);
  // The first control in tab order gets the focus.
  if (!ActiveControl())
    if (HWND first = GetNextDlgTabItem(Handle, nullptr, FALSE)) SetFocus(first);
}

void TForm::Hide() {
  if (Handle) ShowWindow(Handle, SW_HIDE);
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
  while (IsWindow(Handle) && !Application.Terminated) {
    if (ModalResult != mrNone && CloseModal()) break;
    if (!Application.HandleNextMessage()) break;
  }
  // Owner windows first, so that activation returns to them.
  for (HWND wnd : disabled)
    if (IsWindow(wnd)) EnableWindow(wnd, TRUE);
  Hide();
  modal_ = false;
  return ModalResult;
}

bool TForm::CloseModal() {
  bool canClose = true;
  FormCloseQuery(canClose);
  if (!canClose) {
    ModalResult = mrNone;
    return false;
  }
  TCloseAction action = caHide;
  FormClose(action);
  if (action == caNone) {
    ModalResult = mrNone;
    return false;
  }
  return true;
}

void TForm::Close() {
  if (modal_) {
    // The modal loop asks FormCloseQuery.
    ModalResult = mrCancel;
    return;
  }
  bool canClose = true;
  FormCloseQuery(canClose);
  if (!canClose) return;
  TCloseAction action = Application.MainWindow == Handle ? caFree : caHide;
  FormClose(action);
  if (action == caHide)
    Hide();
  else if (action == caFree)
    DestroyHandle();
}

void TForm::DestroyHandle() {
  if (Handle && IsWindow(Handle)) DestroyWindow(Handle);
}

TControl* TForm::Find(const std::string& name) const {
  auto it = byName_.find(name);
  return it == byName_.end() ? nullptr : it->second;
}

TControl* TForm::FindComponent(const std::string& name) {
  TControl* c = Find(name);
  if (c && !c->Handle)
    for (const TPendingControl& q : pending_)
      if (q.Control == c) {
        RealizePage(q.Page);
        break;
      }
  return c;
}

void TForm::Realize(TControl& c) {
  if (c.Handle || pending_.empty()) return;
  for (const TPendingControl& q : pending_)
    if (q.Control == &c) {
      RealizePage(q.Page);
      return;
    }
}

void Framework::Realize(TControl& c) {
  if (c.Form) c.Form->Realize(c);
}

void Framework::Unbound() { throw Exception("Ein Steuerelement wurde vor seinem Fenster benutzt."); }

TControl& TForm::Control(const std::string& name) {
  TControl* c = FindComponent(name);
  if (!c) throw Exception("Komponente " + name + " nicht gefunden");
  return *c;
}

TControl* TForm::FromHandle(HWND wnd) {
  TControl* c = ControlOf(wnd);
  return c && c->Form == this ? c : nullptr;
}

TControl* TForm::ActiveControl() {
  for (HWND wnd = GetFocus(); wnd && wnd != Handle; wnd = GetParent(wnd))
    if (TControl* c = FromHandle(wnd)) return c;
  return nullptr;
}

int TForm::PageIndex(const std::string& notebook) { return Get<TNotebook>(notebook).PageIndex(); }

void TForm::SetPageIndex(const std::string& notebook, int index) { Get<TNotebook>(notebook).SetPageIndex(index); }

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

void TForm::OnMessage(UINT msg, std::function<void(TMessage&)> handler) { messages_[msg] = std::move(handler); }

LRESULT TForm::DefaultHandler(const TMessage& message) {
  return DefWindowProcW(Handle, message.Msg, message.WParam, message.LParam);
}

void TForm::PaintClient(HDC dc) {
  RECT r;
  GetClientRect(Handle, &r);
  FillRect(dc, &r, ColorBrush(Color));
  FormPaint(dc);
  PaintGraphicControls(Handle, dc);
}

void TForm::PaintGraphicControls(HWND parent, HDC dc) {
  auto paint = [&](TControl* c) {
    if (!c || c->Handle || c->WindowClass() || !c->Shown || c->ParentHandle() != parent) return;
    // Only what this paint can show: a button's corners ask its page for the
    // few pixels under them, not for the page's texts again.
    const RECT bounds = {c->Left(), c->Top(), c->Left() + c->Width(), c->Top() + c->Height()};
    if (!RectVisible(dc, &bounds)) return;
    const int saved = SaveDC(dc);
    IntersectClipRect(dc, bounds.left, bounds.top, bounds.right, bounds.bottom);
    OffsetViewportOrgEx(dc, c->Left(), c->Top(), nullptr);
    c->Paint(dc);
    RestoreDC(dc, saved);
  };
  for (auto& c : Controls) {
    paint(c.get());
    paint(c->InnerControl());
  }
}

bool TForm::HasGraphicControls(HWND parent) const {
  for (auto& c : Controls)
    for (TControl* g : {c.get(), c->InnerControl()})
      if (g && !g->WindowClass() && g->ParentHandle() == parent) return true;
  return false;
}

bool TForm::PreviewKey(WORD key) {
  FormKeyDown(key);
  return key == 0;
}

bool TForm::AccessKey(char key, bool withAlt, HWND target) {
  // Without Alt only where the control the character goes to does not take
  // it.
  if (!withAlt && target && (SendMessageW(target, WM_GETDLGCODE, 0, 0) & (DLGC_WANTCHARS | DLGC_HASSETSEL)))
    return false;
  for (auto& c : Controls) {
    auto* label = dynamic_cast<TLabel*>(c.get());
    if (!label || !label->FocusControl || !label->Visible()) continue;
    const char mnemonic = AccessKeyOf(label->Caption());
    if (mnemonic && SameKey(mnemonic, key)) {
      TControl* target = label->FocusControl;
      if (target->Handle && IsWindowEnabled(target->Handle)) SetFocus(target->Handle);
      return true;
    }
  }
  return false;
}

void TForm::DialogKey(int id) {
  for (auto& b : Controls) {
    if (!dynamic_cast<TButton*>(b.get()) || !(b->Options & (id == IDOK ? coDefault : coCancel))) continue;
    if (IsWindowVisible(b->Handle) && IsWindowEnabled(b->Handle)) {
      b->Fire(b->OnClick);
      return;
    }
  }
}

LRESULT TForm::Dispatch(UINT msg, WPARAM wParam, LPARAM lParam) {
  if (dying_) return DefWindowProcW(Handle, msg, wParam, lParam);
  auto handler = messages_.find(msg);
  if (handler != messages_.end()) {
    TMessage message = {msg, wParam, lParam, 0};
    handler->second(message);
    return message.Result;
  }
  LRESULT result = 0;
  if (Framework::GraphicMouse(*this, Handle, msg, wParam, lParam, result)) return result;
  if (Framework::RouteNotification(*this, msg, wParam, lParam, result)) return result;
  if (Framework::AnswerControlQuery(*this, msg, wParam, lParam, result)) return result;
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
    case WM_ACTIVATEAPP:
      if (Handle == Application.MainWindow && !Application.Handle) {
        if (wParam)
          Application.Activated();
        else
          Application.Deactivated();
      }
      break;
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
    case WM_CLOSE:
      Close();
      return 0;
    case WM_DESTROY:
      if (!destroyed_) {
        destroyed_ = true;
        FormDestroy();
      }
      if (Application.MainWindow == Handle) PostQuitMessage(0);
      return 0;
    case WM_NCDESTROY:
      FormMap().erase(Handle);
      Handle = nullptr;
      return 0;
  }
  return DefWindowProcW(Handle, msg, wParam, lParam);
}
