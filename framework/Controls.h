// The controls of the window framework: a base class that every kind derives
// from, and one small class per kind. A window's control table names each
// row's class itself (Kind<TEdit>, Kind<TVQButton>): a kind is known where
// its header is included, and a misspelt one does not compile.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <array>
#include <cstddef>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "framework/Paint.h"

class TControl;
class TForm;

enum TMouseButton { mbLeft, mbRight, mbMiddle };

using TNotifyHandler = std::function<void(TControl&)>;
using TMouseHandler = std::function<void(TControl&, TMouseButton, int x, int y)>;
using TPaintHandler = std::function<void(TControl&, HDC)>;
// Key handlers may swallow the key by setting it to 0.
using TKeyHandler = std::function<void(TControl&, WORD& key)>;
using TKeyPressHandler = std::function<void(TControl&, char& key)>;

enum TEvent {
  evClick, evDblClick, evChange, evSelect, evEnter, evExit, evMouseEnter, evMouseLeave,
  evMouseDown, evMouseUp, evPaint, evKeyDown, evKeyPress,
};

// A font by character height in 96-DPI pixels. Name nullptr: the form's font.
struct TFontDef {
  const char* Name = nullptr;
  int Height = 0;
  bool Bold = false;
  bool Italic = false;
  bool Underline = false;
};

// A column of a list view: caption and width in 96-DPI pixels.
struct TColumnDef {
  std::string Caption;
  int Width;
};

// One property of a table row beyond its fixed fields: a handler, items,
// columns, raw window styles, a colour, a label's focus control, a range.
struct TProp {
  enum TKind { pkHandler, pkItems, pkColumns, pkStyle, pkExStyle, pkColor, pkFocusControl, pkRange, pkIndent, pkPicture, pkBind };
  TKind Kind = pkHandler;
  TEvent Event = evClick;
  TNotifyHandler Notify;
  TMouseHandler Mouse;
  TPaintHandler Paint;
  TKeyHandler Key;
  TKeyPressHandler KeyPress;
  std::vector<std::string> Strings;
  std::vector<TColumnDef> Columns;
  DWORD Bits = 0;
  COLORREF Color = clDefault;
  std::string Name;
  int Min = 0, Max = 0;
  // pkBind: hands the made control to its typed member; false when the
  // member is of another kind.
  std::function<bool(TControl&)> Bind;
};

// Binds a form's member function as a control's handler.
template <class F>
TProp On(TEvent event, F* form, void (F::*handler)(TControl&)) {
  TProp p;
  p.Event = event;
  p.Notify = [form, handler](TControl& c) { (form->*handler)(c); };
  return p;
}
template <class F>
TProp On(TEvent event, F* form, void (F::*handler)(TControl&, TMouseButton, int, int)) {
  TProp p;
  p.Event = event;
  p.Mouse = [form, handler](TControl& c, TMouseButton b, int x, int y) { (form->*handler)(c, b, x, y); };
  return p;
}
template <class F>
TProp On(TEvent event, F* form, void (F::*handler)(TControl&, HDC)) {
  TProp p;
  p.Event = event;
  p.Paint = [form, handler](TControl& c, HDC dc) { (form->*handler)(c, dc); };
  return p;
}
template <class F>
TProp On(TEvent event, F* form, void (F::*handler)(TControl&, WORD&)) {
  TProp p;
  p.Event = event;
  p.Key = [form, handler](TControl& c, WORD& key) { (form->*handler)(c, key); };
  return p;
}
template <class F>
TProp On(TEvent event, F* form, void (F::*handler)(TControl&, char&)) {
  TProp p;
  p.Event = event;
  p.KeyPress = [form, handler](TControl& c, char& key) { (form->*handler)(c, key); };
  return p;
}
TProp Items(std::vector<std::string> items);
TProp Columns(std::vector<TColumnDef> columns);
TProp WindowStyles(DWORD bits);
TProp WindowExStyles(DWORD bits);
TProp BackColor(COLORREF color);
// A label's access key focuses this control.
TProp FocusControl(const char* name);
// Spin edits and progress bars.
TProp Range(int min, int max);
// Tree views: indentation of a level, in 96-DPI pixels.
TProp Indent(int pixels);
// Icon buttons: their picture, an icon resource of size x size 96-DPI pixels.
TProp Picture(int resourceId, int size);

// A window's typed member for one control of its table: the row binds it
// (Bind(member)) when the control is made, so a handler reaches its
// controls without looking names up, and a row of the wrong kind fails at
// the window's creation, not at some later click. A control on a notebook
// page not shown yet gets its window when the member is first used.
template <class T>
class TBound {
 public:
  T* operator->() const { return &Get(); }
  T& operator*() const { return Get(); }
  T& Get() const;
  bool Bound() const { return control_ != nullptr; }
  void Set(T* control) { control_ = control; }

 private:
  T* control_ = nullptr;
};
namespace Framework {
// Gives the control its window if its page still waits for it.
void Realize(TControl& c);
[[noreturn]] void Unbound();
}  // namespace Framework
template <class T>
T& TBound<T>::Get() const {
  if (!control_) Framework::Unbound();
  Framework::Realize(*control_);
  return *control_;
}
template <class T>
TProp Bind(TBound<T>& member) {
  TProp p;
  p.Kind = TProp::pkBind;
  p.Bind = [&member](TControl& c) {
    T* typed = dynamic_cast<T*>(&c);
    member.Set(typed);
    return typed != nullptr;
  };
  return p;
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
  coHidden = 0x800,
  coDisabled = 0x1000,
  coBevelTopLine = 0x2000,
  coBevelLeftLine = 0x4000,
  coBold = 0x8000,         // in the form's font, bold
  coChecked = 0x10000,     // check boxes: ticked when made
};

// What a table row makes: a control of one class, and that class's name,
// which the control keeps (TControl::Kind) for whoever looks at it later.
struct TControlKind {
  TControl* (*Make)();
  const char* Name;
};

namespace Framework {
template <class T>
TControl* MakeKind() {
  return new T;
}
// The class's name, cut out of the compiler's spelling of this function's
// signature ("... [with T = TButton]") once at compile time: no kind has to
// repeat its own name, and a derived kind cannot inherit a wrong one.
template <class T>
constexpr const char* Signature() {
  return __PRETTY_FUNCTION__;
}
template <class T>
struct TKindName {
  static constexpr std::string_view Whole = Signature<T>();
  static constexpr std::size_t Start = Whole.find("T = ") + 4;
  static constexpr std::size_t Length = Whole.find_first_of(";]", Start) - Start;
  static constexpr std::array<char, Length + 1> Text = [] {
    std::array<char, Length + 1> text{};
    for (std::size_t i = 0; i < Length; ++i) text[i] = Whole[Start + i];
    return text;
  }();
};
}  // namespace Framework

// A row's kind: {Kind<TButton>, "Button_OK", ...}.
template <class T>
constexpr TControlKind Kind = {&Framework::MakeKind<T>, Framework::TKindName<T>::Text.data()};

// One row of a window's control table.
struct TControlDef {
  TControlKind Kind;
  const char* Name;
  const char* Parent;  // nullptr: the form
  int Left, Top, Width, Height;  // 96-DPI pixels
  int Tag = 0;
  const char* Caption = "";
  unsigned Options = 0;
  TFontDef Font = {};
  std::vector<TProp> Props = {};
};

class TControl {
 public:
  TControl() = default;
  virtual ~TControl();
  TControl(const TControl&) = delete;
  TControl& operator=(const TControl&) = delete;

  TForm* Form = nullptr;
  TControl* Parent = nullptr;
  std::string Kind, Name;
  HWND Handle = nullptr;  // none for graphic controls (TBevel)
  // A system class's own window procedure, which the control's passes on to.
  WNDPROC OriginalProc = nullptr;
  int Tag = 0;
  unsigned Options = 0;
  int Id = 0;
  std::string FontName;  // the effective font
  int FontHeight = 0;    // 96-DPI pixels
  bool Bold = false, Italic = false, Underline = false;
  bool OwnFont = false;
  COLORREF FontColor = clDefault;  // clDefault: the window text colour
  COLORREF Color = clDefault;      // clDefault: the parent's colour
  bool MouseInside = false;
  RECT Bounds = {};  // device pixels, in the parent
  // Windowless controls: their caption and whether they show.
  std::string GraphicCaption;
  bool Shown = true;
  TNotifyHandler OnClick, OnDblClick, OnChange, OnSelect, OnEnter, OnExit, OnMouseEnter, OnMouseLeave;
  TMouseHandler OnMouseDown, OnMouseUp;
  TPaintHandler OnPaint;
  TKeyHandler OnKeyDown;
  TKeyPressHandler OnKeyPress;

  // Geometry in device pixels.
  int Left() const;
  int Top() const;
  int Width() const;
  int Height() const;
  void SetBounds(int left, int top, int width, int height);
  void SetPosition(int left, int top);
  bool Visible() const;
  void SetVisible(bool visible);
  bool Enabled() const;
  void SetEnabled(bool enabled);
  void SetCaption(const std::string& text);
  std::string Caption() const;
  void SetFocus();
  bool Focused() const;
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
  // The colour the control's background shows: its own, else its parent's.
  COLORREF BackgroundColor() const;
  // Holds other controls (pages, panels, group boxes).
  virtual bool IsContainer() const { return false; }
  // A control that belongs to this one (an icon button's picture).
  virtual TControl* InnerControl() const { return nullptr; }
  // A windowless control that takes the mouse from the window it lies on
  // (labels and pictures; a bevel does not).
  virtual bool TakesMouse() const { return false; }

  // --- for kinds ---------------------------------------------------------
  // The window class; nullptr: a graphic control painted by its parent.
  virtual const char* WindowClass() const = 0;
  // True: the class is the framework's own (registered with its procedure);
  // false: a system class, subclassed.
  virtual bool OwnClass() const { return false; }
  virtual DWORD WindowStyle() const { return 0; }
  virtual DWORD WindowExStyle() const { return 0; }
  // Height of the window when it differs from the row's (drop-down lists).
  virtual int WindowHeight(int height) const { return height; }
  // Makes the window; kinds that make their window themselves (the shell's
  // tree and list) override it.
  virtual HWND CreateHandle(HWND parent, int id, const RECT& rect, DWORD style, DWORD exStyle, const char* caption);
  // After the window exists: items, columns, ranges of the row.
  virtual void Created(const TControlDef&) {}
  // A message to the control; true when handled (result set).
  virtual bool Message(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result);
  // A notification of this control (WM_COMMAND's code, WM_NOTIFY).
  virtual void Command(int) {}
  virtual bool Notify(NMHDR*, LRESULT&) { return false; }
  // Own classes paint here; windowless controls too, in their own
  // coordinates on the DC of the window they lie on.
  virtual void Paint(HDC) {}
  // Focus changes and double clicks arrive as messages; kinds that report
  // them as notifications (combo boxes, list and tree views) say so.
  virtual bool FocusByNotification() const { return false; }
  virtual bool DblClickByNotification() const { return false; }
  // Fields that take typed and pasted text: they refuse a character that
  // Windows-1252 lacks, where it is typed or pasted.
  virtual bool TakesTypedText() const { return false; }
  // Says why text was refused (the handler of SetForeignTextHandler).
  void RefuseForeignText(const std::u16string& text);

  // Runs a handler inside the application's error guard, unless the form
  // is going away.
  void Fire(const TNotifyHandler& handler);
  void FireMouse(const TMouseHandler& handler, TMouseButton button, int x, int y);
  // The default processing of the message (the class's own procedure).
  LRESULT DefaultMessage(UINT msg, WPARAM wParam, LPARAM lParam);

 private:
  // True when a field is given a typed character that Windows-1252 lacks,
  // or the clipboard's text has one: it is refused (and said so).
  bool RefusesTyped(wchar_t unit);
  bool RefusesPaste();
};

namespace Framework {
// Shows why a field refused a typed or pasted text that Windows-1252 cannot
// hold (the text as it came: the one character typed, or the clipboard's
// text). Installed by whoever shows such reasons beside the field (the
// configuration windows' balloons); without one a message box says it.
// owner: who installed it, so that only that one takes it back.
using TForeignTextHandler = std::function<void(TControl& field, const std::u16string& refused)>;
void SetForeignTextHandler(const void* owner, TForeignTextHandler handler);
void ClearForeignTextHandler(const void* owner);
}  // namespace Framework

// The control a window belongs to, if it is one of ours.
TControl* ControlOf(HWND wnd);


// Makes a control that belongs to another control (a picture on a button):
// a child of owner, not a row of the form's table.
void CreateInnerControl(TControl& owner, TControl& inner, const std::string& name, unsigned options);

// --- the kinds ---------------------------------------------------------------

// Labels and pictures have no window of their own: the window they lie on
// paints them and passes them its mouse input. A start page of a dozen of
// them shows much sooner so.
class TLabel : public TControl {
 public:
  const char* WindowClass() const override { return nullptr; }
  bool TakesMouse() const override { return true; }
  void Paint(HDC dc) override;
  // The control that the label's access key focuses.
  TControl* FocusControl = nullptr;
};

class TImage : public TControl {
 public:
  const char* WindowClass() const override { return nullptr; }
  bool TakesMouse() const override { return true; }
  void Paint(HDC dc) override;
  // The picture (not owned): an icon, else a bitmap.
  HICON Icon = nullptr;
  int IconSize = 0;  // device pixels
  HBITMAP Bitmap = nullptr;
  // The bitmap's pixels are premultiplied with their alpha: it is blended
  // at the control's size.
  bool Blended = false;
};

// A drawing area; a press and release of the left button on it clicks it.
class TPaintBox : public TControl {
 public:
  const char* WindowClass() const override { return "TPaintBox"; }
  bool OwnClass() const override { return true; }
  void Paint(HDC dc) override;
  bool Message(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

 private:
  bool pressed_ = false;
};

// A drawing area without a window of its own: the window it lies on paints
// it and passes it its clicks.
class TGraphicPaintBox : public TPaintBox {
 public:
  const char* WindowClass() const override { return nullptr; }
  bool TakesMouse() const override { return true; }
};

class TBevel : public TControl {
 public:
  const char* WindowClass() const override { return nullptr; }
  void Paint(HDC dc) override;
};

// Containers: their children's notifications reach the children.
class TContainer : public TControl {
 public:
  bool OwnClass() const override { return true; }
  bool IsContainer() const override { return true; }
  DWORD WindowStyle() const override { return WS_CLIPCHILDREN; }
  DWORD WindowExStyle() const override { return WS_EX_CONTROLPARENT; }
  void Paint(HDC dc) override;
};

// A notebook has no window of its own: its pages lie where it lies, on the
// window it lies on, and one of them always covers it. A window less makes
// the configuration window show sooner.
class TNotebook : public TContainer {
 public:
  const char* WindowClass() const override { return nullptr; }
  void Paint(HDC) override {}
  // Pages are the TTabSheet children, in table order.
  int PageIndex() const;
  void SetPageIndex(int index);
  int PageCount() const;
};

class TTabSheet : public TContainer {
 public:
  const char* WindowClass() const override { return "TTabSheet"; }
};

// A panel: its own colour and font, its caption centred.
class TPanel : public TContainer {
 public:
  const char* WindowClass() const override { return "TPanel"; }
  void Paint(HDC dc) override;
};

// A group box: an etched frame with its caption, holding its controls.
class TGroupBox : public TContainer {
 public:
  const char* WindowClass() const override { return "TGroupBox"; }
  void Paint(HDC dc) override;
};

// A push button; pictures lying on it are painted after its face.
class TButton : public TControl {
 public:
  const char* WindowClass() const override { return "BUTTON"; }
  DWORD WindowStyle() const override;
  void Command(int code) override;
  bool Message(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
};

class TCheckBox : public TControl {
 public:
  const char* WindowClass() const override { return "BUTTON"; }
  DWORD WindowStyle() const override { return BS_AUTOCHECKBOX; }
  void Created(const TControlDef& def) override;
  void Command(int code) override;
  bool Checked() const;
  void SetChecked(bool checked);
};

class TRadioButton : public TCheckBox {
 public:
  DWORD WindowStyle() const override { return BS_AUTORADIOBUTTON; }
};

class TEdit : public TControl {
 public:
  const char* WindowClass() const override { return "EDIT"; }
  DWORD WindowStyle() const override { return ES_AUTOHSCROLL; }
  DWORD WindowExStyle() const override { return WS_EX_CLIENTEDGE; }
  void Command(int code) override;
  bool TakesTypedText() const override { return !(GetWindowLongW(Handle, GWL_STYLE) & ES_READONLY); }
  std::string Text() const { return Caption(); }
  void SetText(const std::string& text) { SetCaption(text); }
};

// A label that is a read-only multi-line edit: its text can be selected,
// copied and scrolled.
class TMemo : public TEdit {
 public:
  DWORD WindowStyle() const override { return ES_MULTILINE | ES_READONLY | ES_AUTOVSCROLL; }
  DWORD WindowExStyle() const override { return 0; }
};

// A drop-down list.
class TComboBox : public TControl {
 public:
  const char* WindowClass() const override { return "COMBOBOX"; }
  DWORD WindowStyle() const override { return CBS_DROPDOWNLIST | WS_VSCROLL; }
  int WindowHeight(int height) const override;
  void Created(const TControlDef& def) override;
  void Command(int code) override;
  bool FocusByNotification() const override { return true; }
  int ItemIndex() const;
  void SetItemIndex(int index);
  int Count() const;
  std::string Item(int index) const;
  void Add(const std::string& text);
  void Insert(int index, const std::string& text);
  void Delete(int index);
  void Clear();
};

// A list view in report style with full-row selection: rows of cells.
class TListView : public TControl {
 public:
  const char* WindowClass() const override { return WC_LISTVIEWA; }
  // The images are shared (LVS_SHAREIMAGELISTS): see SetImages.
  DWORD WindowStyle() const override { return LVS_REPORT | LVS_SHOWSELALWAYS | LVS_SINGLESEL | LVS_SHAREIMAGELISTS; }
  DWORD WindowExStyle() const override { return WS_EX_CLIENTEDGE; }
  void Created(const TControlDef& def) override;
  bool Notify(NMHDR* header, LRESULT& result) override;
  bool DblClickByNotification() const override { return true; }
  int Count() const;
  // Inserts a row at index (-1: at the end); returns its index.
  int InsertRow(int index, const std::vector<std::string>& cells);
  void DeleteRow(int index);
  void Clear();
  std::string Cell(int row, int column) const;
  void SetCell(int row, int column, const std::string& text);
  int Selected() const;  // -1: none
  void SetSelected(int row);
  // The row at a point of the client area, -1: none.
  int RowAt(POINT point) const;
  // Small images beside the first column: which one a row shows is asked
  // when the row is drawn. The list stays the caller's, as a tree's does:
  // it outlives the control and is destroyed by the caller alone.
  void SetImages(HIMAGELIST images);
  std::function<int(int row)> ImageOf;
};

// Where a dragged node is dropped: before or after the node under the mouse
// (its upper or lower quarter), or into it.
enum TTreeDropPlace { dpBefore, dpAfter, dpInto };

class TTreeView : public TControl {
 public:
  const char* WindowClass() const override { return WC_TREEVIEWA; }
  DWORD WindowStyle() const override { return TVS_HASBUTTONS | TVS_HASLINES | TVS_LINESATROOT | TVS_SHOWSELALWAYS; }
  DWORD WindowExStyle() const override { return WS_EX_CLIENTEDGE; }
  void Created(const TControlDef& def) override;
  bool Notify(NMHDR* header, LRESULT& result) override;
  bool Message(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
  // Nodes dragged with the mouse: asked at each move whether the node may
  // go there (the cursor and the drop highlight say so), told of the drop.
  // Without both, nothing is dragged.
  std::function<bool(HTREEITEM node, HTREEITEM target, TTreeDropPlace place)> CanDrop;
  std::function<void(HTREEITEM node, HTREEITEM target, TTreeDropPlace place)> Dropped;
  bool DblClickByNotification() const override { return true; }
  // Images beside the nodes: which one a node shows is asked when it is drawn.
  void SetImages(HIMAGELIST images);
  std::function<int(HTREEITEM node)> ImageOf;
  // Adds a node under parent (null: top level) after the given sibling
  // (TVI_LAST, TVI_FIRST or a node).
  HTREEITEM Add(HTREEITEM parent, const std::string& text, HTREEITEM after = TVI_LAST);
  void Delete(HTREEITEM node);
  void Clear();
  HTREEITEM Selected() const;
  void SetSelected(HTREEITEM node);
  std::string Text(HTREEITEM node) const;
  void SetText(HTREEITEM node, const std::string& text);
  HTREEITEM Root() const;
  HTREEITEM ParentOf(HTREEITEM node) const;
  HTREEITEM FirstChild(HTREEITEM node) const;
  HTREEITEM NextSibling(HTREEITEM node) const;
  HTREEITEM PrevSibling(HTREEITEM node) const;
  int Count() const;
  // Changes between these two are drawn once, at the end: a tree of a
  // thousand visible nodes otherwise redraws them all for each node added.
  // Select nodes after the end: the tree knows where they show only then.
  void BeginUpdate();
  void EndUpdate();

 private:
  // The node under a point of the client area and the place there; false
  // when the node may not be dropped there.
  bool DropTarget(POINT point, HTREEITEM& target, TTreeDropPlace& place);
  void ShowDropPlace(HTREEITEM target, TTreeDropPlace place);
  void DrawDropMark(HDC dc);
  void EndDrag();
  int updates_ = 0;
  HTREEITEM dragged_ = nullptr;
  HTREEITEM markAt_ = nullptr;
  TTreeDropPlace markPlace_ = dpInto;
};

// Begins an update of a tree and ends it however the scope is left.
class TTreeUpdate {
 public:
  explicit TTreeUpdate(TTreeView& tree) : tree_(tree) { tree_.BeginUpdate(); }
  ~TTreeUpdate() { tree_.EndUpdate(); }
  TTreeUpdate(const TTreeUpdate&) = delete;
  TTreeUpdate& operator=(const TTreeUpdate&) = delete;

 private:
  TTreeView& tree_;
};

class THotKey : public TControl {
 public:
  const char* WindowClass() const override { return HOTKEY_CLASSA; }
  // Low byte virtual key, high byte HOTKEYF_ modifiers.
  WORD HotKey() const;
  void SetHotKey(WORD hotKey);
};

class TProgressBar : public TControl {
 public:
  const char* WindowClass() const override { return PROGRESS_CLASSA; }
  DWORD WindowStyle() const override { return PBS_SMOOTH; }
  void Created(const TControlDef& def) override;
  int Position() const;
  void SetPosition(int position);
  void SetRange(int min, int max);
};

// An edit of whole numbers with an up-down control at its right.
class TSpinEdit : public TControl {
 public:
  const char* WindowClass() const override { return "EDIT"; }
  DWORD WindowStyle() const override { return ES_NUMBER | ES_AUTOHSCROLL; }
  DWORD WindowExStyle() const override { return WS_EX_CLIENTEDGE; }
  bool TakesTypedText() const override { return true; }
  void Created(const TControlDef& def) override;
  void Command(int code) override;
  int Value() const;
  void SetValue(int value);
  HWND UpDown = nullptr;
  int Min = 0, Max = 100;
};
