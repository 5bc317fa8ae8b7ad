// The small window framework every window of the program is built on: a form
// base class that routes window messages to named handlers, controls made
// from a declarative table, lookup by name, Tag, notebook pages, timers, key
// preview and fonts by pixel height.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

// A font by character height in pixels. Name nullptr: the parent's font.
struct TFontDef {
  const char* Name = nullptr;
  int Height = 0;
  bool Bold = false;
  bool Italic = false;
  bool Underline = false;
};

// The font's handle, made once per distinct description and kept until the
// program ends.
HFONT FontHandle(const std::string& name, int height, bool bold = false, bool italic = false, bool underline = false);
// Point size of a pixel height on this screen, rounded.
int FontPointSize(int height);

enum TMouseButton { mbLeft, mbRight, mbMiddle };

class TControl;
class TForm;
using TNotifyHandler = std::function<void(TControl&)>;
using TMouseHandler = std::function<void(TControl&, TMouseButton, int x, int y)>;
using TPaintHandler = std::function<void(TControl&, HDC)>;

enum TEvent { evClick, evEnter, evExit, evMouseEnter, evMouseLeave, evMouseDown, evMouseUp, evPaint };

struct TBinding {
  TEvent Event;
  TNotifyHandler Notify;
  TMouseHandler Mouse;
  TPaintHandler Paint;
};

// Binds a form's member function as a control's handler.
template <class F>
TBinding On(TEvent event, F* form, void (F::*handler)(TControl&)) {
  return {event, [form, handler](TControl& c) { (form->*handler)(c); }, nullptr, nullptr};
}
template <class F>
TBinding On(TEvent event, F* form, void (F::*handler)(TControl&, TMouseButton, int, int)) {
  return {event, nullptr, [form, handler](TControl& c, TMouseButton b, int x, int y) { (form->*handler)(c, b, x, y); },
          nullptr};
}
template <class F>
TBinding On(TEvent event, F* form, void (F::*handler)(TControl&, HDC)) {
  return {event, nullptr, nullptr, [form, handler](TControl& c, HDC dc) { (form->*handler)(c, dc); }};
}

// Options of a control row.
enum : unsigned {
  coTabStop = 0x1,
  coWordWrap = 0x2,
  coTransparent = 0x4,     // labels and images: the parent shows through
  coRightAlign = 0x8,      // labels: text flush right in its rectangle
  coHandCursor = 0x10,
  coDefault = 0x20,        // buttons: Enter clicks it
  coCancel = 0x40,         // buttons: Esc clicks it
  coAlignTop = 0x80,       // full width of the parent at its top
  coBevelBottomLine = 0x100,
  coStretchProportional = 0x200,  // images: fit the picture, keep its proportions, centred
  coAutoSize = 0x400,      // labels: size to the text
};

// One row of a window's control table.
struct TControlDef {
  const char* Kind;    // TButton, TVQButton, TLabel, TImage, TVQImage, TBevel, TPaintBox, TNotebook, TTabSheet
  const char* Name;
  const char* Parent;  // nullptr: the form
  int Left, Top, Width, Height;
  int Tag = 0;
  const char* Caption = "";
  unsigned Options = 0;
  TFontDef Font = {};
  std::vector<TBinding> Handlers = {};
};

class TControl {
 public:
  TForm* Form = nullptr;
  TControl* Parent = nullptr;
  std::string Kind, Name;
  HWND Handle = nullptr;  // none for graphic controls (TBevel)
  int Tag = 0;
  unsigned Options = 0;
  int Id = 0;
  TFontDef Font = {};
  std::string FontName;  // the effective font
  int FontHeight = 0;
  bool Bold = false, Italic = false, Underline = false;
  bool OwnFont = false;
  COLORREF FontColor = CLR_INVALID;  // CLR_INVALID: the window text colour
  // Pictures of images and icon buttons (not owned unless said).
  HICON Icon = nullptr;
  int IconSize = 0;
  HBITMAP Bitmap = nullptr;
  bool MouseInside = false;
  bool Pressed = false;  // the left button went down on a label
  RECT Bounds = {};      // graphic controls: their place in the parent
  // Labels: the control that their access key focuses.
  TControl* FocusControl = nullptr;
  TNotifyHandler OnClick, OnEnter, OnExit, OnMouseEnter, OnMouseLeave;
  TMouseHandler OnMouseDown, OnMouseUp;
  TPaintHandler OnPaint;

  int Left() const;
  int Top() const;
  int Width() const;
  int Height() const;
  void SetBounds(int left, int top, int width, int height);
  void SetPosition(int left, int top);
  bool Visible() const;
  void SetVisible(bool visible);
  void SetCaption(const std::string& text);
  std::string Caption() const;
  // Moves the control into another control (by window).
  void SetParentControl(TControl& parent);
  void SetFontStyle(bool bold, bool italic, bool underline);
  void SetFontColor(COLORREF color);
  // Applies the font; an auto-sized label then fits its text again.
  void ApplyFont();
  void AdjustSize();
  void Invalidate();
  // Window of the control's parent (the form's window for top-level rows).
  HWND ParentHandle() const;
};

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

enum : int { mrNone = 0, mrOK = 1, mrCancel = 2 };

class TForm {
 public:
  explicit TForm(const char* className);
  virtual ~TForm();
  TForm(const TForm&) = delete;
  TForm& operator=(const TForm&) = delete;

  HWND Handle = nullptr;
  std::string ClassName;
  std::string Caption;
  int ClientWidth = 300, ClientHeight = 200;
  DWORD Style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
  DWORD ExStyle = 0;
  std::string FontName = "MS Sans Serif";
  int FontHeight = 11;
  bool KeyPreview = false;
  int ModalResult = mrNone;
  std::vector<std::unique_ptr<TControl>> Controls;

  // Creates the window (hidden) and its controls, then runs FormCreate.
  void Create(const std::vector<TControlDef>& controls, HWND owner = nullptr);
  // Shows the window centred on the screen the first time; FormShow runs
  // before it becomes visible.
  void Show();
  // Shows the window modally; returns the modal result.
  int ShowModal();
  // Asks FormCloseQuery, then closes.
  void Close();

  TControl* FindComponent(const std::string& name);
  // The named control; raises when there is none.
  TControl& Control(const std::string& name);
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

  // Every form that exists, in the order of creation.
  static std::vector<TForm*>& Forms();
  static TForm* FromWindow(HWND wnd);

 protected:
  virtual void FormCreate() {}
  virtual void FormShow() {}
  virtual void FormPaint(HDC) {}
  virtual void FormCloseQuery(bool&) {}
  virtual void FormKeyDown(WORD&) {}
  virtual void FormDestroy() {}
  // Messages a form handles itself; return true when handled (result set).
  virtual bool WindowMessage(UINT, WPARAM, LPARAM, LRESULT&) { return false; }

 public:
  // The whole client area as it looks: face colour, FormPaint, graphic
  // controls. Used for WM_PAINT and for transparent children.
  void PaintClient(HDC dc);
  // Key preview: true when the key was swallowed.
  bool PreviewKey(WORD key);
  // A label's access key: focuses the label's focus control (and never
  // clicks it). withAlt: the key came with Alt. True when it was one.
  bool AccessKey(char key, bool withAlt);
  LRESULT Dispatch(UINT msg, WPARAM wParam, LPARAM lParam);
  void HandleCommand(HWND control, int id, int code);

 private:
  TControl& CreateControl(const TControlDef& def);
  std::vector<std::unique_ptr<TTimer>> timers_;
  // Controls owned by controls (the pictures of icon buttons).
  std::vector<std::unique_ptr<TControl>> inner_;
  bool shown_ = false;
  bool modal_ = false;
  bool destroyed_ = false;
  // The control that had the focus when the window was last deactivated.
  HWND lastFocus_ = nullptr;
};

// Dispatches control events to the handlers of their form.
namespace Framework {
void Initialize();
// Paints the parent's look below a transparent child.
void PaintParentBackground(HWND child, HDC dc);
}  // namespace Framework
