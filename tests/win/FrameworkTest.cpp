// The window framework and the program's own controls, in process: forms
// from control tables, lookup, pages, timers, key preview, fonts, icon
// buttons and the about box's helpers.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "controls/InfoDlg.h"
#include "controls/VQControls.h"
#include "framework/Application.h"
#include "framework/Form.h"
#include "tests/win/FormTestSupport.h"

namespace {

// A small icon made here, so that the test needs no resources.
HICON MakeIcon(int size) {
  std::vector<unsigned char> andMask(size * size / 8, 0x00), xorMask(size * size * 4, 0x80);
  return CreateIcon(GetModuleHandleA(nullptr), size, size, 1, 32, andMask.data(), xorMask.data());
}

class TTestForm : public TForm {
 public:
  explicit TTestForm(int fontHeight = 11) : TForm("TTestForm") {
    FontName = "Arial";
    FontHeight = fontHeight;
    KeyPreview = true;
    ClientWidth = 400;
    ClientHeight = 300;
  }
  void Build() {
    Create({
        {Kind<TButton>, "Button_A", nullptr, 10, 10, 80, 25, 7, "A", coTabStop, {},
         {On(evClick, this, &TTestForm::Clicked)}},
        {Kind<TVQButton>, "Button_Icon", nullptr, 100, 10, 41, 41, 0, "", coTabStop, {},
         {On(evClick, this, &TTestForm::Clicked)}},
        {Kind<TVQButton>, "Button_Small", nullptr, 150, 10, 24, 24},
        {Kind<TLabel>, "Label_Own", nullptr, 10, 60, 100, 20, 0, "Eigene", 0, {"Tahoma", 13, true}},
        {Kind<TLabel>, "Label_Plain", nullptr, 10, 80, 100, 20, 0, "Schrift"},
        {Kind<TNotebook>, "Book", nullptr, 0, 120, 400, 180},
        {Kind<TTabSheet>, "Page_0", "Book", 0, 0, 0, 0, 0, "Eins"},
        {Kind<TTabSheet>, "Page_1", "Book", 0, 0, 0, 0, 0, "Zwei"},
        {Kind<TButton>, "Button_OnPage1", "Page_1", 10, 10, 80, 25, 3, "B", coTabStop, {}, {Bind(OnPage1)}},
        {Kind<TLabel>, "Label_OnPage1", "Page_1", 10, 40, 0, 0, 0, "Zweite Seite", coAutoSize, {}, {Bind(LabelOnPage1)}},
        {Kind<TButton>, "Button_Mouse", nullptr, 200, 60, 80, 25, 0, "M", 0, {},
         {On(evClick, this, &TTestForm::Clicked), On(evMouseDown, this, &TTestForm::MouseDown),
          On(evMouseUp, this, &TTestForm::MouseUp)}},
        {Kind<TLabel>, "Label_Link", nullptr, 200, 90, 80, 20, 0, "Verweis", coHandCursor, {},
         {On(evClick, this, &TTestForm::Clicked), On(evMouseDown, this, &TTestForm::MouseDown),
          On(evMouseUp, this, &TTestForm::MouseUp), On(evMouseEnter, this, &TTestForm::Entered),
          On(evMouseLeave, this, &TTestForm::Left)}},
        {Kind<TLabel>, "Label_Auto", nullptr, 10, 100, 180, 16, 0, "Ein Programm des Tarvo-Projekts",
         coRightAlign | coAutoSize},
        {Kind<TVQImage>, "Image_Mouse", nullptr, 300, 60, 32, 32, 0, "", 0, {},
         {On(evMouseDown, this, &TTestForm::MouseDown), On(evMouseUp, this, &TTestForm::MouseUp)}},
    });
  }
  std::vector<std::string> Calls;
  WORD SwallowKey = 0;
  TBound<TButton> OnPage1;
  TBound<TLabel> LabelOnPage1;

 protected:
  void FormCreate() override { Calls.push_back("create"); }
  void FormKeyDown(WORD& key) override {
    Calls.push_back("key " + std::to_string(key));
    if (key == SwallowKey) key = 0;
  }

 private:
  void Clicked(TControl& sender) { Calls.push_back("click " + sender.Name); }
  void Entered(TControl& sender) { Calls.push_back("enter " + sender.Name); }
  void Left(TControl& sender) { Calls.push_back("leave " + sender.Name); }
  void MouseDown(TControl& sender, TMouseButton button, int, int) {
    Calls.push_back("down " + std::to_string(button) + " " + sender.Name);
  }
  void MouseUp(TControl& sender, TMouseButton button, int, int) {
    Calls.push_back("up " + std::to_string(button) + " " + sender.Name);
  }
};

class Framework : public ::testing::Test {
 protected:
  void SetUp() override {
    form = std::make_unique<TTestForm>();
    form->Build();
    ShowWindow(form->Handle, SW_SHOWNA);
  }
  std::unique_ptr<TTestForm> form;
};

TEST_F(Framework, ControlsComeFromTheTableAndAreFoundByName) {
  EXPECT_EQ(form->Calls.front(), "create");
  TControl& a = form->Control("Button_A");
  EXPECT_EQ(a.Tag, 7);
  EXPECT_EQ(a.Left(), 10);
  EXPECT_EQ(a.Width(), 80);
  EXPECT_EQ(GetWindowLongPtrA(a.Handle, GWLP_USERDATA), 7);
  EXPECT_EQ(a.Caption(), "A");
  EXPECT_EQ(form->FindComponent("Button_" + std::string("A")), &a);
  EXPECT_EQ(form->FindComponent("Button_Missing"), nullptr);
  EXPECT_THROW(form->Control("Button_Missing"), std::exception);
  // The icon buttons' pictures belong to their buttons, not to the form.
  EXPECT_EQ(form->FindComponent("Button_Icon_Icon"), nullptr);
  RECT client;
  GetClientRect(form->Handle, &client);
  EXPECT_EQ(client.right, 400);
  EXPECT_EQ(client.bottom, 300);
}

TEST_F(Framework, ATableRowBindsItsTypedMemberAndAWrongKindFailsAtCreation) {
  // The page not shown yet has no windows; the member's first use makes them.
  EXPECT_EQ(form->Find("Button_OnPage1")->Handle, nullptr);
  EXPECT_EQ(form->OnPage1->Caption(), "B");
  EXPECT_EQ(&*form->OnPage1, form->Find("Button_OnPage1"));
  EXPECT_NE(form->OnPage1->Handle, nullptr);

  struct TWrongForm : TForm {
    TWrongForm() : TForm("TWrongForm") {}
    TBound<TEdit> Edit;
  } wrong;
  EXPECT_THROW(wrong.Create({{Kind<TButton>, "Button_X", nullptr, 0, 0, 10, 10, 0, "", 0, {}, {Bind(wrong.Edit)}}}),
               std::exception);
  TBound<TEdit> unbound;
  EXPECT_THROW(unbound->Text(), std::exception);
}

// A label on a page not shown yet is measured with the page's windows,
// however the page comes to be made.
TEST_F(Framework, ALabelOnAPageNotShownYetIsMeasuredWhenItsPageIsMade) {
  struct TCase {
    const char* How;
    std::function<void(TTestForm&)> Make;
  } cases[] = {
      {"page shown", [](TTestForm& f) { f.SetPageIndex("Book", 1); }},
      {"label asked for by name", [](TTestForm& f) { f.Control("Label_OnPage1"); }},
      {"label's member used", [](TTestForm& f) { f.LabelOnPage1->Caption(); }},
      {"member of another control on the page used", [](TTestForm& f) { f.OnPage1->Caption(); }},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.How);
    form = std::make_unique<TTestForm>();
    form->Build();
    ShowWindow(form->Handle, SW_SHOWNA);
    const TControl& label = *form->Find("Label_OnPage1");
    EXPECT_EQ(label.Width(), 0);
    EXPECT_EQ(label.Caption(), "Zweite Seite");
    c.Make(*form);
    EXPECT_GT(label.Width(), 0);
    EXPECT_GT(label.Height(), 0);
    EXPECT_NE(form->Find("Button_OnPage1")->Handle, nullptr);
  }
}

// The header's gradient: each line's colour from the top down to the
// height, nothing beside or below the lines.
TEST(PaintGradient, EachLinePaintsItsColourDownToTheHeight) {
  const int w = 12, h = 10;
  const BITMAPINFO info = TopDownInfo(w, h);
  void* bits = nullptr;
  HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  ASSERT_NE(bitmap, nullptr);
  HDC dc = CreateCompatibleDC(nullptr);
  HGDIOBJ old = SelectObject(dc, bitmap);
  const uint32_t untouched = 0x00123456;
  auto* pixels = static_cast<uint32_t*>(bits);
  std::fill(pixels, pixels + w * h, untouched);
  PaintGradient(dc, {{2, RGB(255, 0, 0)}, {3, RGB(0, 128, 0)}, {4, RGB(1, 2, 250)}, {7, RGB(200, 100, 50)}}, 6);
  GdiFlush();
  struct TPixel {
    int X, Y;
    uint32_t Expected;  // as the DIB holds it: 0x00RRGGBB
  } table[] = {
      {2, 0, 0xFF0000}, {2, 5, 0xFF0000}, {2, 6, untouched}, {3, 0, 0x008000}, {3, 3, 0x008000},
      {4, 5, 0x0102FA}, {4, 6, untouched}, {5, 0, untouched}, {6, 2, untouched}, {7, 0, 0xC86432},
      {7, 5, 0xC86432}, {7, 6, untouched}, {8, 0, untouched}, {1, 0, untouched},
  };
  for (const TPixel& p : table)
    EXPECT_EQ(pixels[p.Y * w + p.X] & 0xFFFFFF, p.Expected) << "at " << p.X << "," << p.Y;
  SelectObject(dc, old);
  DeleteDC(dc);
  DeleteObject(bitmap);
}

TEST_F(Framework, ClicksReachTheirHandler) {
  SendMessageA(form->Control("Button_A").Handle, BM_CLICK, 0, 0);
  EXPECT_EQ(form->Calls.back(), "click Button_A");
}

TEST_F(Framework, NotebookShowsOnePageAtATime) {
  EXPECT_EQ(form->PageIndex("Book"), 0);
  EXPECT_FALSE(IsWindowVisible(form->Control("Button_OnPage1").Handle));
  form->SetPageIndex("Book", 1);
  EXPECT_EQ(form->PageIndex("Book"), 1);
  EXPECT_TRUE(IsWindowVisible(form->Control("Button_OnPage1").Handle));
  EXPECT_FALSE(form->Control("Page_0").Visible());
  // The pages lie where the notebook lies, on the form's own window.
  for (const char* name : {"Page_0", "Page_1"}) {
    HWND page = form->Control(name).Handle;
    EXPECT_EQ(GetParent(page), form->Handle);
    RECT r;
    GetWindowRect(page, &r);
    MapWindowPoints(nullptr, form->Handle, reinterpret_cast<POINT*>(&r), 2);
    EXPECT_TRUE(EqualRect(&r, &form->Control("Book").Bounds)) << name << " at " << r.left << "," << r.top;
  }
  form->SetPageIndex("Book", 5);  // no such page: nothing changes
  EXPECT_EQ(form->PageIndex("Book"), 1);
}

TEST_F(Framework, FontsAreMadeByPixelHeight) {
  TControl& own = form->Control("Label_Own");
  TControl& plain = form->Control("Label_Plain");
  EXPECT_EQ(own.FontName, "Tahoma");
  EXPECT_EQ(own.FontHeight, 13);
  EXPECT_TRUE(own.Bold);
  EXPECT_EQ(plain.FontName, "Arial");
  EXPECT_EQ(plain.FontHeight, 11);
  LOGFONTA lf;
  GetObjectA(FontHandle("Arial", 19), sizeof lf, &lf);
  EXPECT_EQ(lf.lfHeight, -19);
  EXPECT_EQ(FontHandle("Arial", 19), FontHandle("Arial", 19));
  EXPECT_EQ(FontPointSize(11), 8);
  EXPECT_EQ(FontPointSize(16), 12);
}

TEST_F(Framework, KeyPreviewSeesKeysOfControlsAndCanSwallowThem) {
  form->SwallowKey = VK_F2;
  PostMessageA(form->Control("Button_A").Handle, WM_KEYDOWN, VK_F5, 1);
  PostMessageA(form->Control("Button_A").Handle, WM_KEYDOWN, VK_F2, 1);
  EXPECT_TRUE(PumpUntil([&] { return form->Calls.size() >= 3; }));
  ASSERT_EQ(form->Calls.size(), 3u);
  EXPECT_EQ(form->Calls[1], "key " + std::to_string(VK_F5));
  EXPECT_EQ(form->Calls[2], "key " + std::to_string(VK_F2));
}

TEST_F(Framework, TimerWithIntervalZeroNeverFires) {
  TTimer& quiet = form->AddTimer();
  TTimer& ticking = form->AddTimer();
  int quietCount = 0, tickCount = 0;
  quiet.OnTimer = [&] { ++quietCount; };
  ticking.OnTimer = [&] { ++tickCount; };
  quiet.SetInterval(0);
  quiet.SetEnabled(true);
  ticking.SetInterval(20);
  ticking.SetEnabled(true);
  EXPECT_TRUE(PumpUntil([&] { return tickCount >= 3; }));
  EXPECT_EQ(quietCount, 0);
  EXPECT_TRUE(quiet.Enabled());
  ticking.SetEnabled(false);
  const int stoppedAt = tickCount;
  PumpUntil([] { return false; }, 100);
  EXPECT_EQ(tickCount, stoppedAt);
}

TEST_F(Framework, IconButtonCentresItsPictureAndNudgesItWhileHeld) {
  TControl& button = form->Control("Button_Icon");
  SetButtonIcon(button, MakeIcon(32), 32);
  TControl* icon = ButtonIconChild(button);
  ASSERT_NE(icon, nullptr);
  EXPECT_EQ(icon->Name, "Button_Icon_Icon");
  EXPECT_EQ(icon->Width(), 32);
  EXPECT_EQ(icon->Left(), 4);
  EXPECT_EQ(icon->Top(), 4);
  SendMessageA(button.Handle, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
  EXPECT_EQ(icon->Left(), 6);
  EXPECT_EQ(icon->Top(), 6);
  SendMessageA(button.Handle, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
  EXPECT_EQ(icon->Left(), 4);
  EXPECT_EQ(icon->Top(), 4);
  EXPECT_EQ(form->Calls.back(), "click Button_Icon");
}

// The picture is painted by its button: a press on it is the button's, and
// only the left button holds the picture down.
TEST_F(Framework, OnlyTheLeftButtonHoldsAnIconButtonsPictureDown) {
  TControl& button = form->Control("Button_Icon");
  SetButtonIcon(button, MakeIcon(32), 32);
  TControl* icon = ButtonIconChild(button);
  ASSERT_NE(icon, nullptr);
  EXPECT_EQ(icon->Handle, nullptr);
  SendMessageA(button.Handle, WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(10, 10));
  EXPECT_EQ(SendMessageA(button.Handle, BM_GETSTATE, 0, 0) & BST_PUSHED, 0);
  EXPECT_EQ(icon->Left(), 4);
  SendMessageA(button.Handle, WM_RBUTTONUP, 0, MAKELPARAM(10, 10));
  const size_t calls = form->Calls.size();
  SendMessageA(button.Handle, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10, 10));
  EXPECT_NE(SendMessageA(button.Handle, BM_GETSTATE, 0, 0) & BST_PUSHED, 0);
  EXPECT_EQ(icon->Left(), 6);
  SendMessageA(button.Handle, WM_LBUTTONUP, 0, MAKELPARAM(10, 10));
  EXPECT_EQ(icon->Left(), 4);
  EXPECT_EQ(form->Calls.size(), calls + 1);
  EXPECT_EQ(form->Calls.back(), "click Button_Icon");
}

// A double click arrives as press, release, double-click press, release.
// Every release has its press, so that what a press moves (the option
// pictures) its release moves back; the second press clicks no label.
TEST_F(Framework, TheSecondPressOfADoubleClickIsAMouseDownToo) {
  struct Case {
    const char* control;
    UINT down, doubleDown, up;
    int button;
    std::vector<std::string> expected;
  };
  const Case cases[] = {
      {"Button_Mouse", WM_LBUTTONDOWN, WM_LBUTTONDBLCLK, WM_LBUTTONUP, mbLeft,
       {"down", "click", "up", "down", "click", "up"}},
      {"Button_Mouse", WM_RBUTTONDOWN, WM_RBUTTONDBLCLK, WM_RBUTTONUP, mbRight, {"down", "up", "down", "up"}},
      {"Button_Mouse", WM_MBUTTONDOWN, WM_MBUTTONDBLCLK, WM_MBUTTONUP, mbMiddle, {"down", "up", "down", "up"}},
      {"Label_Link", WM_LBUTTONDOWN, WM_LBUTTONDBLCLK, WM_LBUTTONUP, mbLeft, {"down", "up", "click", "down", "up"}},
      {"Image_Mouse", WM_LBUTTONDOWN, WM_LBUTTONDBLCLK, WM_LBUTTONUP, mbLeft, {"down", "up", "down", "up"}},
      {"Image_Mouse", WM_RBUTTONDOWN, WM_RBUTTONDBLCLK, WM_RBUTTONUP, mbRight, {"down", "up", "down", "up"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.control) + " " + std::to_string(c.button));
    // Labels and pictures take the mouse of the window they lie on.
    TControl& control = form->Control(c.control);
    HWND wnd = control.Handle ? control.Handle : control.ParentHandle();
    const LPARAM at = control.Handle ? MAKELPARAM(3, 3) : MAKELPARAM(control.Left() + 3, control.Top() + 3);
    form->Calls.clear();
    SendMessageA(wnd, c.down, 0, at);
    SendMessageA(wnd, c.up, 0, at);
    SendMessageA(wnd, c.doubleDown, 0, at);
    SendMessageA(wnd, c.up, 0, at);
    std::vector<std::string> expected;
    for (const std::string& e : c.expected)
      expected.push_back(e == "click" ? "click " + std::string(c.control)
                                      : e + " " + std::to_string(c.button) + " " + c.control);
    EXPECT_EQ(form->Calls, expected);
  }
  EXPECT_EQ(GetCapture(), nullptr);
}

// A windowless label learns of the mouse through the window it lies on.
TEST_F(Framework, AWindowlessLabelHearsTheMouseEnterAndLeave) {
  TControl& link = form->Control("Label_Link");
  EXPECT_EQ(link.Handle, nullptr);
  SendMessageA(form->Handle, WM_MOUSEMOVE, 0, MAKELPARAM(link.Left() + 5, link.Top() + 5));
  SendMessageA(form->Handle, WM_MOUSEMOVE, 0, MAKELPARAM(link.Left() + 9, link.Top() + 5));
  SendMessageA(form->Handle, WM_MOUSEMOVE, 0, MAKELPARAM(link.Left() - 5, link.Top() + 5));
  EXPECT_EQ(form->Calls, (std::vector<std::string>{"create", "enter Label_Link", "leave Label_Link"}));
}

TEST_F(Framework, APictureLargerThanItsButtonGetsANegativeOffset) {
  TControl& button = form->Control("Button_Small");
  SetButtonIcon(button, MakeIcon(32), 32);
  TControl* icon = ButtonIconChild(button);
  ASSERT_NE(icon, nullptr);
  EXPECT_EQ(icon->Left(), -4);
  EXPECT_EQ(icon->Top(), -4);
}

TEST_F(Framework, MessageFontReachesOnlyExisting8PointForms) {
  TTestForm large(16);  // 12 points
  large.Build();
  ApplyMessageBoxFont();
  NONCLIENTMETRICSA metrics = {};
  metrics.cbSize = 340;
  ASSERT_TRUE(SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, 340, &metrics, 0));
  const std::string messageFont = metrics.lfMessageFont.lfFaceName;
  EXPECT_EQ(form->FontName, messageFont);
  EXPECT_EQ(form->FontHeight, 11);
  EXPECT_EQ(form->Control("Label_Plain").FontName, messageFont);
  EXPECT_EQ(form->Control("Label_Own").FontName, "Tahoma");  // a font of its own
  EXPECT_EQ(large.FontName, "Arial");
  // A form made afterwards keeps its font even at 8 points.
  TTestForm later;
  later.Build();
  EXPECT_EQ(later.FontName, "Arial");
}

// The about box's labels are sized to their text before the message font
// reaches them; right-aligned, they must keep their right edge.
TEST_F(Framework, AnAutoSizedLabelFitsItsTextAgainWhenTheFormsFontChanges) {
  TControl& label = form->Control("Label_Auto");
  auto textWidth = [&](const std::string& font) {
    HDC dc = GetDC(nullptr);
    HGDIOBJ old = SelectObject(dc, FontHandle(font, 11));
    RECT r = {0, 0, 0, 0};
    DrawTextA(dc, "Ein Programm des Tarvo-Projekts", -1, &r, DT_CALCRECT);
    SelectObject(dc, old);
    ReleaseDC(nullptr, dc);
    return static_cast<int>(r.right);
  };
  std::string other;
  for (const char* font : {"Courier New", "DejaVu Sans Mono", "Tahoma", "Times New Roman", "DejaVu Serif"})
    if (textWidth(font) != textWidth("Arial")) {
      other = font;
      break;
    }
  ASSERT_FALSE(other.empty()) << "the test needs two fonts of different widths";
  EXPECT_EQ(label.Width(), textWidth("Arial"));
  EXPECT_EQ(label.Left() + label.Width(), 190);
  form->SetFontName(other);
  EXPECT_EQ(label.Width(), textWidth(other));
  EXPECT_EQ(label.Left() + label.Width(), 190);
  // A label of its own font stays as it was.
  const int own = form->Control("Label_Own").Width();
  form->SetFontName("Arial");
  EXPECT_EQ(form->Control("Label_Own").Width(), own);
  EXPECT_EQ(label.Width(), textWidth("Arial"));
}

TEST(AboutHelpers, AProgramWithoutVersionResourceHasNoVersion) {
  // The test program carries no version resource.
  EXPECT_EQ(GetOwnFileVersion(), "");
}

}  // namespace
