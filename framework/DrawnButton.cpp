#include "framework/DrawnButton.h"

#include <oleacc.h>
#include <vssym32.h>
#include <windowsx.h>

#include "framework/Form.h"

namespace {
// The system's accessible object of the window (CreateStdAccessibleObject),
// told to be a push button: its role, its pressed state and its default
// action. (Wine lacks CreateStdAccessibleProxy, which would do this for the
// class name "Button", and ends a program that calls it.)
class TButtonAccessible final : public IAccessible {
 public:
  TButtonAccessible(IAccessible* inner, HWND button) : inner_(inner), button_(button) {}
  ~TButtonAccessible() { inner_->Release(); }
  TButtonAccessible(const TButtonAccessible&) = delete;
  TButtonAccessible& operator=(const TButtonAccessible&) = delete;

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
    if (!out) return E_POINTER;
    if (iid == IID_IUnknown || iid == IID_IDispatch || iid == IID_IAccessible) {
      *out = static_cast<IAccessible*>(this);
      AddRef();
      return S_OK;
    }
    // IOleWindow (whose window it is), IEnumVARIANT: the system's.
    return inner_->QueryInterface(iid, out);
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }
  ULONG STDMETHODCALLTYPE Release() override {
    const ULONG left = --references_;
    if (!left) delete this;
    return left;
  }

  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override { return inner_->GetTypeInfoCount(count); }
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID locale, ITypeInfo** info) override {
    return inner_->GetTypeInfo(index, locale, info);
  }
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID locale,
                                          DISPID* ids) override {
    return inner_->GetIDsOfNames(iid, names, count, locale, ids);
  }
  HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID iid, LCID locale, WORD flags, DISPPARAMS* params,
                                   VARIANT* result, EXCEPINFO* exception, UINT* argument) override {
    return inner_->Invoke(id, iid, locale, flags, params, result, exception, argument);
  }

  HRESULT STDMETHODCALLTYPE get_accRole(VARIANT child, VARIANT* role) override {
    if (!role) return E_POINTER;
    if (!Self(child)) return E_INVALIDARG;
    VariantInit(role);
    role->vt = VT_I4;
    role->lVal = ROLE_SYSTEM_PUSHBUTTON;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE get_accState(VARIANT child, VARIANT* state) override {
    const HRESULT hr = inner_->get_accState(child, state);
    if (SUCCEEDED(hr) && Self(child) && state->vt == VT_I4 && (SendMessageW(button_, BM_GETSTATE, 0, 0) & BST_PUSHED))
      state->lVal |= STATE_SYSTEM_PRESSED;
    return hr;
  }
  HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT child, BSTR* action) override {
    if (!action) return E_POINTER;
    if (!Self(child)) return E_INVALIDARG;
    *action = SysAllocString(L"Dr\u00fccken");
    return *action ? S_OK : E_OUTOFMEMORY;
  }
  HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT child) override {
    if (!Self(child)) return E_INVALIDARG;
    // Posted, as the system's button does: the click may open a modal
    // window, which must not hold the caller.
    return PostMessageW(button_, BM_CLICK, 0, 0) ? S_OK : E_FAIL;
  }

  HRESULT STDMETHODCALLTYPE get_accParent(IDispatch** parent) override { return inner_->get_accParent(parent); }
  HRESULT STDMETHODCALLTYPE get_accChildCount(LONG* count) override { return inner_->get_accChildCount(count); }
  HRESULT STDMETHODCALLTYPE get_accChild(VARIANT child, IDispatch** out) override {
    return inner_->get_accChild(child, out);
  }
  HRESULT STDMETHODCALLTYPE get_accName(VARIANT child, BSTR* name) override { return inner_->get_accName(child, name); }
  HRESULT STDMETHODCALLTYPE get_accValue(VARIANT child, BSTR* value) override {
    return inner_->get_accValue(child, value);
  }
  HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT child, BSTR* text) override {
    return inner_->get_accDescription(child, text);
  }
  HRESULT STDMETHODCALLTYPE get_accHelp(VARIANT child, BSTR* help) override { return inner_->get_accHelp(child, help); }
  HRESULT STDMETHODCALLTYPE get_accHelpTopic(BSTR* file, VARIANT child, LONG* topic) override {
    return inner_->get_accHelpTopic(file, child, topic);
  }
  HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT child, BSTR* shortcut) override {
    return inner_->get_accKeyboardShortcut(child, shortcut);
  }
  HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT* focus) override { return inner_->get_accFocus(focus); }
  HRESULT STDMETHODCALLTYPE get_accSelection(VARIANT* selection) override {
    return inner_->get_accSelection(selection);
  }
  HRESULT STDMETHODCALLTYPE accSelect(LONG flags, VARIANT child) override { return inner_->accSelect(flags, child); }
  HRESULT STDMETHODCALLTYPE accLocation(LONG* left, LONG* top, LONG* width, LONG* height, VARIANT child) override {
    return inner_->accLocation(left, top, width, height, child);
  }
  HRESULT STDMETHODCALLTYPE accNavigate(LONG direction, VARIANT start, VARIANT* end) override {
    return inner_->accNavigate(direction, start, end);
  }
  HRESULT STDMETHODCALLTYPE accHitTest(LONG x, LONG y, VARIANT* child) override {
    return inner_->accHitTest(x, y, child);
  }
  HRESULT STDMETHODCALLTYPE put_accName(VARIANT child, BSTR name) override { return inner_->put_accName(child, name); }
  HRESULT STDMETHODCALLTYPE put_accValue(VARIANT child, BSTR value) override {
    return inner_->put_accValue(child, value);
  }

 private:
  static bool Self(const VARIANT& child) { return child.vt == VT_I4 && child.lVal == CHILDID_SELF; }
  IAccessible* inner_;
  HWND button_;
  ULONG references_ = 1;
};
}  // namespace

TDrawnButton::~TDrawnButton() { CloseTheme(); }

void TDrawnButton::CloseTheme() {
  if (theme_) CloseThemeData(theme_);
  theme_ = nullptr;
  themeOpened_ = false;
}

void TDrawnButton::SetPressed(bool pressed) {
  if (pressed == pressed_) return;
  pressed_ = pressed;
  Invalidate();
}

void TDrawnButton::Paint(HDC dc) {
  if (!themeOpened_) {
    theme_ = OpenThemeData(Handle, L"BUTTON");
    themeOpened_ = true;
  }
  RECT face = {0, 0, Width(), Height()};
  RECT content = face;
  const bool enabled = IsWindowEnabled(Handle) != FALSE, focused = GetFocus() == Handle;
  if (theme_) {
    // Focused, it is the one Enter would press: drawn as the default.
    const int state = !enabled     ? PBS_DISABLED
                      : pressed_    ? PBS_PRESSED
                      : MouseInside ? PBS_HOT
                      : focused     ? PBS_DEFAULTED
                                    : PBS_NORMAL;
    if (IsThemeBackgroundPartiallyTransparent(theme_, BP_PUSHBUTTON, state)) DrawThemeParentBackground(Handle, dc, &face);
    DrawThemeBackground(theme_, dc, BP_PUSHBUTTON, state, &face, nullptr);
    GetThemeBackgroundContentRect(theme_, dc, BP_PUSHBUTTON, state, &face, &content);
  } else {
    DrawFrameControl(dc, &face, DFC_BUTTON,
                     DFCS_BUTTONPUSH | (pressed_ ? DFCS_PUSHED : 0) | (enabled ? 0 : DFCS_INACTIVE));
    // Inside the frame's two edges, as the system's button.
    InflateRect(&content, -GetSystemMetrics(SM_CXEDGE) - 1, -GetSystemMetrics(SM_CYEDGE) - 1);
  }
  // The pictures that lie on it, then the focus over everything.
  if (Form) Form->PaintGraphicControls(Handle, dc);
  if (focused && !(SendMessageW(Handle, WM_QUERYUISTATE, 0, 0) & UISF_HIDEFOCUS))
    DrawFocusRect(dc, &content);
}

void TDrawnButton::Click() {
  SendMessageW(GetParent(Handle), WM_COMMAND, MAKEWPARAM(Id, BN_CLICKED), reinterpret_cast<LPARAM>(Handle));
}

void TDrawnButton::Command(int code) {
  if (code == BN_CLICKED) Fire(OnClick);
}

bool TDrawnButton::Message(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) {
  switch (msg) {
    case WM_GETDLGCODE:
      result = DLGC_BUTTON | DLGC_UNDEFPUSHBUTTON;
      return true;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
      if (GetFocus() != Handle) ::SetFocus(Handle);
      SetCapture(Handle);
      byMouse_ = true;
      SetPressed(true);
      break;
    case WM_MOUSEMOVE:
      if (byMouse_) {
        const POINT at = {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
        RECT client;
        GetClientRect(Handle, &client);
        SetPressed(PtInRect(&client, at) != FALSE);
      }
      break;
    case WM_LBUTTONUP:
      if (byMouse_) {
        const bool click = pressed_;
        // Released first: the click's handler may open a modal window.
        ReleaseCapture();
        if (click) Click();
      }
      break;
    case WM_CAPTURECHANGED:
      if (byMouse_) {
        byMouse_ = false;
        SetPressed(bySpace_);
      }
      break;
    case WM_KEYDOWN:
      if (wParam == VK_SPACE && !bySpace_) {
        bySpace_ = true;
        SetPressed(true);
      }
      break;
    case WM_KEYUP:
      if (wParam == VK_SPACE && bySpace_) {
        bySpace_ = false;
        SetPressed(byMouse_);
        if (!byMouse_) Click();
      }
      break;
    case WM_KILLFOCUS:
      bySpace_ = false;
      if (byMouse_) ReleaseCapture();
      SetPressed(false);
      Invalidate();
      break;
    case WM_SETFOCUS:
    case WM_ENABLE:
      Invalidate();
      break;
    case WM_UPDATEUISTATE:
      result = DefaultMessage(msg, wParam, lParam);
      Invalidate();
      return true;
    case WM_THEMECHANGED:
      CloseTheme();
      Invalidate();
      break;
    case BM_CLICK:
      // As the system's button: a press and a release of the left button.
      if (IsWindowEnabled(Handle)) {
        SendMessageW(Handle, WM_LBUTTONDOWN, MK_LBUTTON, 0);
        SendMessageW(Handle, WM_LBUTTONUP, 0, 0);
      }
      result = 0;
      return true;
    case BM_GETSTATE:
      result = (pressed_ ? BST_PUSHED : 0) | (GetFocus() == Handle ? BST_FOCUS : 0) | (MouseInside ? BST_HOT : 0);
      return true;
    case BM_SETSTATE:
      SetPressed(wParam != 0);
      result = 0;
      return true;
    case WM_GETOBJECT:
      // Accessibility tools see a push button, as of the system's class.
      if (static_cast<LONG>(lParam) == OBJID_CLIENT) {
        IAccessible* standard = nullptr;
        if (SUCCEEDED(CreateStdAccessibleObject(Handle, OBJID_CLIENT, IID_IAccessible,
                                                reinterpret_cast<void**>(&standard)))) {
          IAccessible* accessible = new TButtonAccessible(standard, Handle);
          result = LresultFromObject(IID_IAccessible, wParam, accessible);
          accessible->Release();
          return true;
        }
      }
      break;
  }
  const bool wasInside = MouseInside;
  const bool handled = TControl::Message(msg, wParam, lParam, result);
  // The theme's look follows the mouse.
  if (theme_ && MouseInside != wasInside) Invalidate();
  return handled;
}
