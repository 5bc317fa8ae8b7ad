// The framework's control kinds and generic events from real input (the
// mouse and keyboard of SendInput, as a user's), the form's lifecycle and
// its scaling to the screen's density: one small form in process.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include <oleacc.h>

#include <algorithm>
#include <string>
#include <vector>

#include "framework/Application.h"
#include "framework/DrawnButton.h"
#include "framework/Form.h"
#include "tests/win/FormTestSupport.h"
#include "tests/win/WinTestSupport.h"

namespace {

class TEventForm : public TForm {
 public:
  TEventForm() : TForm("TEventForm") {
    FontName = "Arial";
    ClientWidth = 420;
    ClientHeight = 320;
    Color = clWhite;
  }
  void Build() {
    auto record = [this](TEvent e) { return On(e, this, &TEventForm::Record); };
    Create({
        {Kind<TEdit>, "Edit_Name", nullptr, 10, 10, 120, 21, 15, "", coTabStop, {},
         {On(evChange, this, &TEventForm::Changed), On(evKeyPress, this, &TEventForm::KeyPress), record(evExit)}},
        {Kind<TComboBox>, "ComboBox_Kind", nullptr, 10, 40, 120, 21, 0, "", coTabStop, {},
         {Items({"Kommando", "Meldung anzeigen", "Frage stellen"}), On(evSelect, this, &TEventForm::Selected),
          record(evExit)}},
        {Kind<TListView>, "ListView_Lines", nullptr, 10, 70, 200, 80, 0, "", coTabStop, {},
         {Columns({{"Typ", 80}, {"Parameter", 110}}), On(evDblClick, this, &TEventForm::DoubleClicked)}},
        {Kind<TTreeView>, "TreeView_Menu", nullptr, 220, 10, 190, 140, 0, "", coTabStop, {},
         {Indent(19), On(evChange, this, &TEventForm::Changed)}},
        {Kind<TGroupBox>, "GroupBox", nullptr, 10, 155, 200, 60, 0, "Wie oft?"},
        {Kind<TRadioButton>, "RadioButton_A", "GroupBox", 8, 18, 180, 17, 0, "Niemals", coTabStop, {},
         {WindowStyles(WS_GROUP), On(evClick, this, &TEventForm::Clicked)}},
        {Kind<TRadioButton>, "RadioButton_B", "GroupBox", 8, 38, 180, 17, 0, "Regelmäßig", 0, {},
         {On(evClick, this, &TEventForm::Clicked)}},
        {Kind<THotKey>, "HotKey", nullptr, 220, 160, 120, 21, 0, "", coTabStop, {}, {record(evExit)}},
        {Kind<TPanel>, "Panel_Title", nullptr, 220, 190, 190, 30, 0, "Willkommen", 0, {"Verdana", 19, true},
         {BackColor(RGB(49, 106, 197))}},
        {Kind<TLabel>, "Label_Note", nullptr, 140, 55, 70, 12, 0, "Hinweis"},
        {Kind<TPanel>, "Panel_Framed", nullptr, 140, 10, 60, 40, 0, "", 0, {}, {WindowStyles(WS_BORDER)}},
        {Kind<TSpinEdit>, "SpinEdit", nullptr, 10, 225, 60, 21, 0, "", coTabStop, {}, {Range(1, 365)}},
        {Kind<TProgressBar>, "Status", nullptr, 80, 225, 130, 21, 0, "", 0, {}, {Range(0, 100)}},
        {Kind<TCheckBox>, "CheckBox_Wait", nullptr, 220, 225, 190, 17, 0, "Warten", coTabStop},
        {Kind<TMemo>, "Memo_News", nullptr, 10, 250, 200, 30, 0, "Neu:\r\n- schneller"},
        {Kind<TBevel>, "Bevel1", nullptr, 10, 282, 200, 2, 0, "", coBevelTopLine},
        {Kind<TButton>, "Button_Next", nullptr, 220, 285, 90, 25, 0, "Weiter >", coTabStop | coDefault, {},
         {On(evClick, this, &TEventForm::Clicked)}},
        {Kind<TButton>, "Button_Cancel", nullptr, 320, 285, 90, 25, 0, "Abbrechen", coTabStop | coCancel, {},
         {On(evClick, this, &TEventForm::Clicked)}},
        // The other button page: hidden at first.
        {Kind<TButton>, "Button_Save", nullptr, 220, 255, 90, 25, 0, "Speichern", coTabStop | coDefault | coHidden, {},
         {On(evClick, this, &TEventForm::Clicked)}},
        {Kind<TButton>, "Button_SettingsCancel", nullptr, 320, 255, 90, 25, 0, "Abbrechen",
         coTabStop | coCancel | coDisabled, {}, {On(evClick, this, &TEventForm::Clicked)}},
        {Kind<TDrawnButton>, "Button_Drawn", nullptr, 345, 160, 65, 25, 0, "", 0, {},
         {On(evClick, this, &TEventForm::Clicked)}},
    });
  }

  std::vector<std::string> Calls;
  char Swallow = 0;
  bool CanClose = true;
  int Shows = 0, CloseQueries = 0;
  std::function<void()> OnDestroy;
  std::vector<std::string>* Log = nullptr;  // outlives the form

 protected:
  void FormShow() override { ++Shows; }
  void FormCloseQuery(bool& canClose) override {
    ++CloseQueries;
    canClose = CanClose;
  }
  void FormDestroy() override {
    if (OnDestroy) OnDestroy();
  }

 private:
  void Record(TControl& sender) {
    Calls.push_back("exit " + sender.Name);
    if (Log) Log->push_back("exit " + sender.Name);
  }
  void Changed(TControl& sender) { Calls.push_back("change " + sender.Name); }
  void Selected(TControl& sender) { Calls.push_back("select " + sender.Name); }
  void Clicked(TControl& sender) { Calls.push_back("click " + sender.Name); }
  void DoubleClicked(TControl& sender) { Calls.push_back("dblclick " + sender.Name); }
  void KeyPress(TControl&, char& key) {
    Calls.push_back(std::string("key ") + key);
    if (key == Swallow) key = 0;
  }
};

class FrameworkEvents : public ::testing::Test {
 protected:
  void SetUp() override {
    form = NewForm<TEventForm>();
    form->Build();
    form->Show();
    ASSERT_TRUE(PumpUntil([&] { return GetForegroundWindow() == form->Handle; }));
  }
  bool Saw(const std::string& call) {
    return PumpUntil([&] {
      for (const std::string& c : form->Calls)
        if (c == call) return true;
      return false;
    });
  }
  HWND Window(const char* name) { return form->Control(name).Handle; }
  TFormPtr<TEventForm> form;
};

TEST_F(FrameworkEvents, AnEditReportsItsChangesAndItsHandlerCanSwallowATypedKey) {
  form->Swallow = 'b';
  ClickAt(Window("Edit_Name"), 5, 5);
  ASSERT_TRUE(PumpUntil([&] { return GetFocus() == Window("Edit_Name"); }));
  PressKeys({'A'});
  PressKeys({'B'});
  PressKeys({'C'});
  ASSERT_TRUE(Saw("key c"));
  EXPECT_TRUE(Saw("key b"));
  EXPECT_EQ(form->Control("Edit_Name").Caption(), "ac");
  EXPECT_TRUE(Saw("change Edit_Name"));
}

TEST_F(FrameworkEvents, AComboBoxReportsItsSelectionAndItsExit) {
  auto& combo = form->Get<TComboBox>("ComboBox_Kind");
  combo.SetFocus();
  PressKeys({VK_DOWN});
  ASSERT_TRUE(Saw("select ComboBox_Kind"));
  EXPECT_EQ(combo.ItemIndex(), 0);
  EXPECT_EQ(combo.Item(1), "Meldung anzeigen");
  PressKeys({VK_TAB});
  EXPECT_TRUE(Saw("exit ComboBox_Kind"));
}

TEST_F(FrameworkEvents, AListViewReportsADoubleClickOnARow) {
  auto& list = form->Get<TListView>("ListView_Lines");
  list.InsertRow(-1, {"Kommando", "notepad.exe;0"});
  EXPECT_EQ(list.Cell(0, 1), "notepad.exe;0");
  RECT row = {};
  row.left = LVIR_BOUNDS;
  SendMessageA(list.Handle, LVM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&row));
  ClickAt(list.Handle, row.left + 10, (row.top + row.bottom) / 2, 2);
  EXPECT_TRUE(Saw("dblclick ListView_Lines"));
  EXPECT_EQ(list.Selected(), 0);
}

TEST_F(FrameworkEvents, ATreeViewReportsTheChangedSelection) {
  auto& tree = form->Get<TTreeView>("TreeView_Menu");
  HTREEITEM first = tree.Add(nullptr, "Programme");
  HTREEITEM second = tree.Add(nullptr, "Dokumente");
  tree.Add(first, "Editor");
  EXPECT_EQ(tree.Count(), 3);
  RECT r;
  ASSERT_TRUE(TreeView_GetItemRect(tree.Handle, second, &r, TRUE));
  form->Calls.clear();
  ClickAt(tree.Handle, r.left + 3, (r.top + r.bottom) / 2);
  ASSERT_TRUE(Saw("change TreeView_Menu"));
  EXPECT_EQ(tree.Selected(), second);
  EXPECT_EQ(tree.Text(tree.Selected()), "Dokumente");
}

TEST_F(FrameworkEvents, ARadioButtonInAGroupBoxReportsItsClick) {
  auto& b = form->Get<TRadioButton>("RadioButton_B");
  ClickAt(b.Handle, 5, b.Height() / 2);
  ASSERT_TRUE(Saw("click RadioButton_B"));
  EXPECT_TRUE(b.Checked());
  EXPECT_FALSE(form->Get<TRadioButton>("RadioButton_A").Checked());
}

TEST_F(FrameworkEvents, AHotKeyFieldReportsItsExit) {
  ClickAt(Window("HotKey"), 5, 5);
  ASSERT_TRUE(PumpUntil([&] { return GetFocus() == Window("HotKey"); }));
  ClickAt(Window("Edit_Name"), 5, 5);
  EXPECT_TRUE(Saw("exit HotKey"));
}

// Enter and Esc click the default and the cancel button of the button page
// that shows: hidden and disabled buttons are passed over.
TEST_F(FrameworkEvents, EnterAndEscChooseAmongVisibleEnabledButtons) {
  form->Control("Edit_Name").SetFocus();
  PressKeys({VK_RETURN});
  ASSERT_TRUE(Saw("click Button_Next"));
  PressKeys({VK_ESCAPE});
  ASSERT_TRUE(Saw("click Button_Cancel"));
  for (const char* name : {"Button_Next", "Button_Cancel"}) form->Control(name).SetVisible(false);
  form->Control("Button_Save").SetVisible(true);
  form->Calls.clear();
  PressKeys({VK_RETURN});
  ASSERT_TRUE(Saw("click Button_Save"));
  // The disabled cancel button takes no Esc: once the key has come and
  // gone (its toggle bit turns with each press the thread receives), and
  // what it may have posted is handled, nothing more has been clicked.
  const SHORT toggled = GetKeyState(VK_ESCAPE) & 1;
  PressKeys({VK_ESCAPE});
  ASSERT_TRUE(PumpUntil([&] { return (GetKeyState(VK_ESCAPE) & 1) != toggled && GetKeyState(VK_ESCAPE) >= 0; }));
  ASSERT_TRUE(PumpUntil([] { return GetQueueStatus(QS_ALLINPUT) == 0; }));
  EXPECT_EQ(form->Calls, std::vector<std::string>{"click Button_Save"});
}

TEST_F(FrameworkEvents, TheOtherKindsKeepTheirValues) {
  auto& spin = form->Get<TSpinEdit>("SpinEdit");
  EXPECT_EQ(spin.Value(), 1);
  spin.SetValue(400);
  EXPECT_EQ(spin.Value(), 365);
  auto& bar = form->Get<TProgressBar>("Status");
  bar.SetPosition(42);
  EXPECT_EQ(bar.Position(), 42);
  auto& hotKey = form->Get<THotKey>("HotKey");
  hotKey.SetHotKey(0x0650);
  EXPECT_EQ(hotKey.HotKey(), 0x0650);
  EXPECT_THROW(form->Get<TEdit>("Status"), std::exception);
  // The memo is a label whose lines can be selected and copied, not edited.
  auto& memo = form->Get<TMemo>("Memo_News");
  EXPECT_EQ(memo.Text(), "Neu:\r\n- schneller");
  EXPECT_EQ(SendMessageA(memo.Handle, EM_GETLINECOUNT, 0, 0), 2);
  EXPECT_TRUE(GetWindowLongA(memo.Handle, GWL_STYLE) & ES_READONLY);
}

TEST_F(FrameworkEvents, APanelAndTheWhiteFormPaintTheirOwnColours) {
  const TScreenPicture picture = SettledPicture(form->Handle, {}, PumpMessages);
  ASSERT_FALSE(picture.Empty()) << "the form is never still";
  auto pixel = [&](const char* name, int x, int y) {
    POINT pt = {x, y};
    ClientToScreen(name ? Window(name) : form->Handle, &pt);
    return picture.At(pt);
  };
  EXPECT_EQ(pixel("Panel_Title", 2, 2), RGB(49, 106, 197));
  EXPECT_EQ(pixel(nullptr, 415, 5), RGB(255, 255, 255));
  // A check box on the white form is white around its text.
  EXPECT_EQ(pixel("CheckBox_Wait", 185, 8), RGB(255, 255, 255));
  // Frames and edges lie outside the client area: they are painted too,
  // on the framework's own windows and on the system's.
  EXPECT_EQ(pixel("Panel_Framed", -1, -1), GetSysColor(COLOR_WINDOWFRAME));
  EXPECT_EQ(pixel("Panel_Framed", 1, 1), RGB(255, 255, 255));
  EXPECT_EQ(pixel("Edit_Name", -1, 5), GetSysColor(COLOR_3DDKSHADOW));
}

TEST_F(FrameworkEvents, ALabelChangedOnTheShownFormShowsItsNewText) {
  TControl& label = form->Control("Label_Note");
  // The pixels of the label's place that are not the form's white.
  auto ink = [&] {
    const TScreenPicture picture = SettledPicture(form->Handle, {}, PumpMessages);
    int count = 0;
    for (int y = 0; y < label.Height(); ++y)
      for (int x = 0; x < label.Width(); ++x) {
        POINT pt = {label.Left() + x, label.Top() + y};
        ClientToScreen(form->Handle, &pt);
        if (picture.At(pt) != RGB(255, 255, 255)) ++count;
      }
    return count;
  };
  ASSERT_GT(ink(), 0);
  label.SetCaption("");
  EXPECT_EQ(ink(), 0);
}

// --- lifecycle ---------------------------------------------------------------

// The framework's own push button is pressed and clicked as the system's:
// by the left button released inside it, by Space and by BM_CLICK; never by
// a release outside it, another button, or Space let go after the focus
// left. Its pressed look differs from its raised one, and accessibility
// tools see a push button.
TEST_F(FrameworkEvents, ADrawnButtonIsPressedAndClickedAsTheSystemsButton) {
  HWND button = Window("Button_Drawn");
  const POINT in = {30, 12}, out = {30, 60};
  auto mouse = [&](DWORD flags, POINT at) {
    return [=] {
      POINT pt = at;
      ClientToScreen(button, &pt);
      POINT ignored;
      GetCursorPos(&ignored);
      SetCursorPos(pt.x, pt.y);
      INPUT input = {};
      input.type = INPUT_MOUSE;
      input.mi.dwFlags = flags;
      SendInput(1, &input, sizeof input);
    };
  };
  auto key = [](DWORD flags) {
    return [=] {
      INPUT input = {};
      input.type = INPUT_KEYBOARD;
      input.ki.wVk = VK_SPACE;
      input.ki.dwFlags = flags;
      SendInput(1, &input, sizeof input);
    };
  };
  auto focus = [&](const char* name) { return [=] { SetFocus(Window(name)); }; };
  struct TStep {
    std::function<void()> Do;
    bool Pushed;  // afterwards
  };
  struct TCase {
    const char* Name;
    std::vector<TStep> Steps;
    long Clicks;
  };
  const TCase cases[] = {
      {"a click", {{mouse(MOUSEEVENTF_LEFTDOWN, in), true}, {mouse(MOUSEEVENTF_LEFTUP, in), false}}, 1},
      {"released outside",
       {{mouse(MOUSEEVENTF_LEFTDOWN, in), true}, {mouse(MOUSEEVENTF_MOVE, out), false},
        {mouse(MOUSEEVENTF_LEFTUP, out), false}},
       0},
      {"back inside before the release",
       {{mouse(MOUSEEVENTF_LEFTDOWN, in), true}, {mouse(MOUSEEVENTF_MOVE, out), false},
        {mouse(MOUSEEVENTF_MOVE, in), true}, {mouse(MOUSEEVENTF_LEFTUP, in), false}},
       1},
      {"the right button", {{mouse(MOUSEEVENTF_RIGHTDOWN, in), false}, {mouse(MOUSEEVENTF_RIGHTUP, in), false}}, 0},
      {"Space", {{focus("Button_Drawn"), false}, {key(0), true}, {key(KEYEVENTF_KEYUP), false}}, 1},
      {"Space let go after the focus left",
       {{focus("Button_Drawn"), false}, {key(0), true}, {focus("Edit_Name"), false}, {key(KEYEVENTF_KEYUP), false}},
       0},
      {"BM_CLICK", {{[&] { SendMessageW(button, BM_CLICK, 0, 0); }, false}}, 1},
  };
  auto clicks = [&] { return std::count(form->Calls.begin(), form->Calls.end(), "click Button_Drawn"); };
  auto pushed = [&] { return (SendMessageW(button, BM_GETSTATE, 0, 0) & BST_PUSHED) != 0; };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    const long before = clicks();
    for (size_t i = 0; i < c.Steps.size(); ++i) {
      SCOPED_TRACE(i);
      c.Steps[i].Do();
      EXPECT_TRUE(PumpUntil([&] { return pushed() == c.Steps[i].Pushed; }));
    }
    PumpUntil([&] { return clicks() - before >= c.Clicks + 1; }, 300);
    EXPECT_EQ(clicks() - before, c.Clicks);
  }
  // Pressed, its face is drawn sunk.
  SetFocus(Window("Edit_Name"));
  const TScreenPicture raised = SettledPicture(button, {}, PumpMessages);
  SendMessageW(button, BM_SETSTATE, TRUE, 0);
  const TScreenPicture sunk = SettledPicture(button, {}, PumpMessages);
  SendMessageW(button, BM_SETSTATE, FALSE, 0);
  ASSERT_FALSE(raised.Empty() || sunk.Empty());
  const RECT changed = Difference(raised, sunk);
  EXPECT_FALSE(IsRectEmpty(&changed));
  IAccessible* accessible = nullptr;
  ASSERT_EQ(AccessibleObjectFromWindow(button, OBJID_CLIENT, IID_IAccessible, reinterpret_cast<void**>(&accessible)),
            S_OK);
  VARIANT self = {}, role = {};
  self.vt = VT_I4;
  self.lVal = CHILDID_SELF;
  EXPECT_EQ(accessible->get_accRole(self, &role), S_OK);
  EXPECT_EQ(role.lVal, ROLE_SYSTEM_PUSHBUTTON);
  // Its default action clicks it.
  const long before = clicks();
  EXPECT_EQ(accessible->accDoDefaultAction(self), S_OK);
  EXPECT_TRUE(PumpUntil([&] { return clicks() == before + 1; }));
  accessible->Release();
}

TEST_F(FrameworkEvents, FormCloseQueryCanRefuseACloseByModalResultAndFormShowRunsOnEveryShow) {
  form->Hide();
  TTimer& timer = form->AddTimer();
  int ticks = 0;
  timer.OnTimer = [&] {
    ++ticks;
    form->CanClose = ticks > 1;
    form->ModalResult = mrOK;
  };
  timer.SetInterval(30);
  timer.SetEnabled(true);
  const int shows = form->Shows;
  EXPECT_EQ(form->ShowModal(), mrOK);
  EXPECT_EQ(ticks, 2);
  EXPECT_EQ(form->CloseQueries, 2);
  EXPECT_FALSE(IsWindowVisible(form->Handle));
  // Close on a modal form takes the same path: refused once, then allowed.
  ticks = 0;
  form->CloseQueries = 0;
  timer.OnTimer = [&] {
    form->CanClose = ++ticks > 1;
    form->Close();
  };
  EXPECT_EQ(form->ShowModal(), mrCancel);
  EXPECT_EQ(form->CloseQueries, 2);
  EXPECT_EQ(form->Shows, shows + 2);
}

TEST(FrameworkLifecycle, AFormIsDestroyedWholeAndNoHandlerRunsWhenItIsHalfGone) {
  std::vector<std::string> seen;
  {
    auto form = NewForm<TEventForm>();
    form->Build();
    form->Show();
    form->OnDestroy = [&] { seen.push_back("destroy"); };
    form->Control("Edit_Name").SetFocus();
  }
  EXPECT_EQ(seen, std::vector<std::string>{"destroy"});
  // Deleted without its deleter: the derived form is gone before its window,
  // so neither FormDestroy nor the focused edit's exit handler may run.
  auto* bare = new TEventForm;
  bare->Build();
  bare->Show();
  bare->Control("Edit_Name").SetFocus();
  bare->OnDestroy = [&] { seen.push_back("late destroy"); };
  bare->Log = &seen;
  TForm* base = bare;
  delete base;
  EXPECT_EQ(seen, std::vector<std::string>{"destroy"});
}

// A list or a tree shows an image list that stays its owner's: a control
// that destroyed it as well would free it twice (Windows: a use after free
// when the window closes; Wine's image list refuses the second destroy).
TEST(FrameworkLifecycle, AListAndATreeLeaveTheirImagesToTheirOwner) {
  HIMAGELIST images = ImageList_Create(16, 16, ILC_COLOR32 | ILC_MASK, 1, 1);
  ASSERT_EQ(ImageList_AddIcon(images, LoadIconA(nullptr, IDI_APPLICATION)), 0);
  {
    auto form = NewForm<TEventForm>();
    form->Build();
    form->Get<TListView>("ListView_Lines").SetImages(images);
    form->Get<TTreeView>("TreeView_Menu").SetImages(images);
    form->Show();
  }
  EXPECT_EQ(ImageList_GetImageCount(images), 1);
  EXPECT_TRUE(ImageList_Destroy(images));
}

// Layouts are given at 96 DPI: on a denser screen every rectangle and font
// is scaled, and the 8-point test of fonts does not change.
TEST(FrameworkScaling, At144DpiRectanglesAndFontsAreOneAndAHalfTimesAsLarge) {
  SetScreenDpiForTesting(144);
  auto form = NewForm<TEventForm>();
  form->Build();
  RECT client;
  GetClientRect(form->Handle, &client);
  EXPECT_EQ(client.right, 630);
  EXPECT_EQ(client.bottom, 480);
  TControl& edit = form->Control("Edit_Name");
  EXPECT_EQ(edit.Left(), 15);
  EXPECT_EQ(edit.Width(), 180);
  LOGFONTA lf;
  GetObjectA(reinterpret_cast<HFONT>(SendMessageA(edit.Handle, WM_GETFONT, 0, 0)), sizeof lf, &lf);
  EXPECT_EQ(lf.lfHeight, -17);  // 11 pixels at 96 DPI, rounded
  EXPECT_EQ(form->FontSize(), 8);
  SetScreenDpiForTesting(0);
}

}  // namespace
