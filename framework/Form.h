// The small window framework every window of the program is built on: a form
// base class that makes its controls from a declarative table and routes
// window messages and control notifications to named handlers, with one
// close path, modal showing, timers and key preview.
#pragma once

#include <windows.h>

#include <functional>
#include <map>
#include <memory>
#include <set>
#include <unordered_map>
#include <string>
#include <vector>

#include "framework/Controls.h"
#include "framework/Paint.h"

class TTimer {
 public:
  TTimer(HWND owner, UINT_PTR id) : owner_(owner), id_(id) {}
  bool Enabled() const { return enabled_; }
  void SetEnabled(bool enabled);
  UINT Interval() const { return interval_; }
  // 0: the timer never fires (it may still be enabled).
  void SetInterval(UINT interval);
  std::function<void()> OnTimer;
  UINT_PTR Id() const { return id_; }

 private:
  void Update();
  HWND owner_;
  UINT_PTR id_;
  bool enabled_ = false;
  UINT interval_ = 1000;
};

enum : int { mrNone = 0, mrOK = 1, mrCancel = 2, mrYes = 6, mrNo = 7 };

enum TPosition {
  poDesigned,        // where Windows puts it
  poScreenCenter,    // centred on the screen when first shown
  poOwnerFormCenter  // centred on its owner window each time it is shown
};

// What happens to a form that closes: nothing, hidden, destroyed.
enum TCloseAction { caNone, caHide, caFree };

// A window message as a form's message handler sees it.
struct TMessage {
  UINT Msg;
  WPARAM WParam;
  LPARAM LParam;
  LRESULT Result;
};

class TForm {
 public:
  explicit TForm(const char* className);
  virtual ~TForm();
  TForm(const TForm&) = delete;
  TForm& operator=(const TForm&) = delete;

  HWND Handle = nullptr;
  std::string ClassName;
  std::string Caption;
  int ClientWidth = 300, ClientHeight = 200;  // 96-DPI pixels
  DWORD Style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
  DWORD ExStyle = 0;
  std::string FontName = "MS Sans Serif";
  int FontHeight = 11;  // 96-DPI pixels
  COLORREF Color = clBtnFace;
  TPosition Position = poScreenCenter;
  bool KeyPreview = false;
  // Set by a handler of a modal form to end it (after FormCloseQuery).
  int ModalResult = mrNone;
  std::vector<std::unique_ptr<TControl>> Controls;

  // Creates the window (hidden) and its controls, then runs FormCreate.
  void Create(const std::vector<TControlDef>& controls, HWND owner = nullptr);
  // Shows the window; FormShow runs before each showing.
  void Show();
  void Hide();
  // Shows the window modally; returns the modal result.
  int ShowModal();
  // The one close path: FormCloseQuery, then FormClose, then the action.
  void Close();
  bool Modal() const { return modal_; }
  // Destroys the window while the form is whole: FormDestroy runs.
  void DestroyHandle();

  // The named control (its page's windows are made now if they wait).
  TControl* FindComponent(const std::string& name);
  // By name, without making any window: the control may have no Handle yet.
  TControl* Find(const std::string& name) const;
  // The named control; raises when there is none or it is of another kind.
  TControl& Control(const std::string& name);
  template <class T>
  T& Get(const std::string& name) {
    T* c = dynamic_cast<T*>(&Control(name));
    if (!c) WrongKind(name);
    return *c;
  }
  TControl* FromHandle(HWND wnd);
  // The control with the keyboard focus, if it belongs to this form.
  TControl* ActiveControl();

  // Pages of a notebook: the notebook's TTabSheet children in table order.
  int PageIndex(const std::string& notebook);
  void SetPageIndex(const std::string& notebook, int index);

  TTimer& AddTimer();

  // Changes the font name of the form and of every control that uses the
  // form's font.
  void SetFontName(const std::string& name);
  int FontSize() const { return FontPointSize(FontHeight); }

  // A handler for a window message of this form; it sets Result, and may
  // call DefaultHandler first for the usual processing.
  void OnMessage(UINT msg, std::function<void(TMessage&)> handler);
  LRESULT DefaultHandler(const TMessage& message);

  // Every form that exists, in the order of creation.
  static std::vector<TForm*>& Forms();
  static TForm* FromWindow(HWND wnd);

  // True from the start of the destruction on: no handler runs any more.
  bool Dying() const { return dying_; }

  // The framework's own: the windowless control the mouse is over, the one
  // a press went to, and whether that press may click.
  TControl* MouseHot = nullptr;
  TControl* MouseCaptured = nullptr;
  bool MousePressed = false;

 protected:
  virtual void FormCreate() {}
  virtual void FormShow() {}
  virtual void FormPaint(HDC) {}
  virtual void FormCloseQuery(bool&) {}
  virtual void FormClose(TCloseAction&) {}
  virtual void FormKeyDown(WORD&) {}
  virtual void FormDestroy() {}

 public:
  // The whole client area as it looks: colour, FormPaint, graphic controls.
  // Used for WM_PAINT and for transparent children.
  void PaintClient(HDC dc);
  // Paints the windowless controls that lie on the window parent.
  void PaintGraphicControls(HWND parent, HDC dc);
  bool HasGraphicControls(HWND parent) const;
  // Key preview: true when the key was swallowed.
  bool PreviewKey(WORD key);
  // A label's access key: focuses the label's focus control (and never
  // clicks it). withAlt: the key came with Alt; target: the window the
  // character goes to. True when it was one.
  bool AccessKey(char key, bool withAlt, HWND target);
  LRESULT Dispatch(UINT msg, WPARAM wParam, LPARAM lParam);
  // Enter and Esc of the dialog keys: the default or the cancel button that
  // is visible and enabled.
  void DialogKey(int id);
  // Makes the windows of the controls on a page that has not shown yet and
  // measures its labels.
  void RealizePage(TControl* page);
  // Gives the control its window (a label its size) if its page still waits
  // for it.
  void Realize(TControl& c);

 private:
  struct TPendingControl {
    TControl* Control;
    TControl* Page;
    DWORD Style, ExStyle;
    TControlDef Def;
  };
  TControl& CreateControl(const TControlDef& def);
  void CreateWindowOf(TControl& c, DWORD style, DWORD exStyle, const TControlDef& def);
  // A label's or picture's font and size, with no window of its own.
  void CreateGraphic(TControl& c, const TControlDef& def);
  // The page not shown yet whose controls wait for their windows, if c
  // lies on one.
  TControl* PendingPageOf(TControl& c);
  std::vector<TPendingControl> pending_;
  // The controls by name: a window's handlers look their controls up
  // throughout.
  std::unordered_map<std::string, TControl*> byName_;
  std::set<TControl*> realized_;
  void Place();
  // Ends a modal showing once ModalResult is set and FormCloseQuery agrees.
  bool CloseModal();
  [[noreturn]] void WrongKind(const std::string& name);
  std::vector<std::unique_ptr<TTimer>> timers_;
  std::map<UINT, std::function<void(TMessage&)>> messages_;
  bool placed_ = false;
  bool modal_ = false;
  bool destroyed_ = false;
  bool dying_ = false;
  // The control that had the focus when the window was last deactivated.
  HWND lastFocus_ = nullptr;
};

// Deletes a form after destroying its window while it is whole, so that its
// FormDestroy runs.
struct TFormDeleter {
  void operator()(TForm* form) const;
};
template <class F>
using TFormPtr = std::unique_ptr<F, TFormDeleter>;
template <class F, class... Args>
TFormPtr<F> NewForm(Args&&... args) {
  return TFormPtr<F>(new F(std::forward<Args>(args)...));
}

// A window made when it is first asked for and kept in holder until the
// program frees it; create gives it its windows (with an owner, say), args
// go to its constructor.
template <class F, class Create, class... Args>
F& LazyForm(TFormPtr<F>& holder, Create create, Args&&... args) {
  if (!holder) {
    holder = NewForm<F>(std::forward<Args>(args)...);
    create(*holder);
  }
  return *holder;
}

namespace Framework {
// Installs the framework's key preview with the application. Called by the
// first form's Create.
void Initialize();
// Registers the Common Controls' classes; called before the first window of
// a system class is made, and by whoever makes one outside a form's table.
void LoadCommonControls();
}  // namespace Framework
