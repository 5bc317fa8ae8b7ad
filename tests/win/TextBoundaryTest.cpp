// The framework's windows at the text boundary, in process: they are
// Unicode windows, an edit field refuses a character that Windows-1252
// lacks where it is typed or pasted (and says why through the installed
// handler), and the error box shows a refused name as it is.
#include <gtest/gtest.h>
#include <windows.h>

#include <ostream>
#include <string>
#include <thread>
#include <vector>

#include "framework/Application.h"
#include "framework/Form.h"
#include "model/Wide_win.h"
#include "tests/win/FormTestSupport.h"
#include "tests/win/WinTestSupport.h"

namespace {

class TFieldForm : public TForm {
 public:
  TFieldForm() : TForm("TFieldForm") {}
  void Build() {
    Create({
        {Kind<TEdit>, "Edit_Name", nullptr, 10, 10, 120, 21, 0, "", coTabStop, {},
         {On(evKeyPress, this, &TFieldForm::KeyPress)}},
        {Kind<TSpinEdit>, "SpinEdit", nullptr, 10, 40, 60, 21, 0, "", coTabStop, {}, {Range(1, 365)}},
        {Kind<TMemo>, "Memo_News", nullptr, 10, 70, 200, 30, 0, "Neu"},
        {Kind<TComboBox>, "ComboBox_Kind", nullptr, 10, 110, 120, 21, 0, "", coTabStop, {}, {Items({"Größe"})}},
        {Kind<TListView>, "ListView_Lines", nullptr, 140, 10, 200, 80, 0, "", 0, {}, {Columns({{"Typ", 80}})}},
        {Kind<TTreeView>, "TreeView_Menu", nullptr, 140, 100, 200, 80, 0, ""},
        {Kind<TButton>, "Button_OK", nullptr, 10, 140, 90, 25, 0, "Übernehmen", coTabStop},
        {Kind<TPanel>, "Panel", nullptr, 10, 170, 90, 25, 0, "Grüße"},
    });
  }
  std::string Keys;

 private:
  void KeyPress(TControl&, char& key) { Keys += key; }
};

class TextBoundary : public ::testing::Test {
 protected:
  void SetUp() override {
    form = NewForm<TFieldForm>();
    form->Build();
    form->Show();
    Framework::SetForeignTextHandler(this, [this](TControl& field, const std::u16string& text) {
      Refusals.push_back(field.Name + ": " + ForeignTextInCodes(text));
    });
  }
  void TearDown() override { Framework::ClearForeignTextHandler(this); }
  TEdit& Edit() { return form->Get<TEdit>("Edit_Name"); }
  // Characters as the keyboard delivers them to a Unicode window.
  void Type(HWND field, const std::u16string& units) {
    for (char16_t unit : units) PostMessageW(field, WM_CHAR, unit, 1);
    PumpUntil([&] {
      MSG msg;
      return !PeekMessageW(&msg, field, 0, 0, PM_NOREMOVE);
    });
  }
  void SetClipboard(const std::u16string& text) {
    ASSERT_TRUE(OpenClipboard(form->Handle));
    EmptyClipboard();
    HGLOBAL data = GlobalAlloc(GMEM_MOVEABLE, (text.size() + 1) * sizeof(wchar_t));
    auto* units = static_cast<wchar_t*>(GlobalLock(data));
    W(text).copy(units, text.size());
    units[text.size()] = L'\0';
    GlobalUnlock(data);
    SetClipboardData(CF_UNICODETEXT, data);
    CloseClipboard();
  }
  TFormPtr<TFieldForm> form;
  std::vector<std::string> Refusals;
};

TEST_F(TextBoundary, EveryWindowOfTheFrameworkIsAUnicodeWindow) {
  EXPECT_TRUE(IsWindowUnicode(form->Handle));
  for (const auto& c : form->Controls)
    if (c->Handle) {
      EXPECT_TRUE(IsWindowUnicode(c->Handle)) << c->Name;
    }
}

struct TTypedCase {
  const char* Name;
  std::u16string Typed;
  const char* Text;     // what the field holds then (Windows-1252)
  const char* Refused;  // the one refusal said, in codes; "" none
};

void PrintTo(const TTypedCase& c, std::ostream* os) { *os << c.Name; }

class TypedCharacters : public TextBoundary, public ::testing::WithParamInterface<TTypedCase> {};

TEST_P(TypedCharacters, AreTakenWhenWindows1252HasThemAndRefusedWhereTypedOtherwise) {
  const TTypedCase& c = GetParam();
  Type(Edit().Handle, c.Typed);
  EXPECT_EQ(Edit().Text(), c.Text);
  const std::vector<std::string> said =
      *c.Refused ? std::vector<std::string>{std::string("Edit_Name: ") + c.Refused} : std::vector<std::string>{};
  EXPECT_EQ(Refusals, said);
}

INSTANTIATE_TEST_SUITE_P(
    Table, TypedCharacters,
    ::testing::Values(TTypedCase{"Umlaut", u"Kö", "Kö", ""},
                      TTypedCase{"EuroOfThe1252Extras", u"5€", "5€", ""},
                      TTypedCase{"Cyrillic", u"aЖb", "ab", "<U+0416>"},
                      TTypedCase{"PolishL", u"Ł", "", "<U+0141>"},
                      // The two halves of one character are one refusal.
                      TTypedCase{"BeyondTheSixteenBitUnits", u"x\U0001F600", "x", "<U+1F600>"}),
    [](const ::testing::TestParamInfo<TTypedCase>& info) { return std::string(info.param.Name); });

TEST_F(TextBoundary, TheKeyPressHandlerSeesTheWindows1252ByteOfATypedCharacter) {
  Type(Edit().Handle, u"äЖ€");
  EXPECT_EQ(form->Keys, "ä€");
}

struct TPasteCase {
  const char* Name;
  std::u16string Clipboard;
  const char* Text;
  const char* Refused;
};

void PrintTo(const TPasteCase& c, std::ostream* os) { *os << c.Name; }

class PastedTexts : public TextBoundary, public ::testing::WithParamInterface<TPasteCase> {};

TEST_P(PastedTexts, AreTakenWhole_OrRefusedWhole) {
  const TPasteCase& c = GetParam();
  Edit().SetText("1");
  SetClipboard(c.Clipboard);
  // Ctrl+V reaches the field as a character; the field pastes with WM_PASTE.
  Type(Edit().Handle, u"\x16");
  EXPECT_EQ(Edit().Text(), c.Text);
  const std::vector<std::string> said =
      *c.Refused ? std::vector<std::string>{std::string("Edit_Name: ") + c.Refused} : std::vector<std::string>{};
  EXPECT_EQ(Refusals, said);
}

INSTANTIATE_TEST_SUITE_P(Table, PastedTexts,
                         ::testing::Values(TPasteCase{"German", u"Köln", "Köln1", ""},
                                           TPasteCase{"Polish", u"Łódź", "1", "<U+0141>ód<U+017A>"}),
                         [](const ::testing::TestParamInfo<TPasteCase>& info) { return std::string(info.param.Name); });

TEST_F(TextBoundary, ANumberFieldRefusesToo_AReadOnlyFieldTakesNothingAnyway) {
  Type(form->Control("SpinEdit").Handle, u"Ж");
  EXPECT_EQ(Refusals, std::vector<std::string>{"SpinEdit: <U+0416>"});
  Refusals.clear();
  Type(form->Control("Memo_News").Handle, u"Ж");
  EXPECT_TRUE(Refusals.empty());
  EXPECT_EQ(form->Control("Memo_News").Caption(), "Neu");
}

TEST_F(TextBoundary, TextsGoInAndComeBackWholeAsUtf16) {
  auto wideText = [](HWND wnd) {
    wchar_t text[64] = L"";
    GetWindowTextW(wnd, text, 64);
    return U16(text);
  };
  EXPECT_EQ(wideText(form->Control("Button_OK").Handle), u"Übernehmen");
  EXPECT_EQ(wideText(form->Control("Panel").Handle), u"Grüße");
  auto& combo = form->Get<TComboBox>("ComboBox_Kind");
  EXPECT_EQ(combo.Item(0), "Größe");
  auto& list = form->Get<TListView>("ListView_Lines");
  list.InsertRow(-1, {"Maß"});
  EXPECT_EQ(list.Cell(0, 0), "Maß");
  auto& tree = form->Get<TTreeView>("TreeView_Menu");
  HTREEITEM node = tree.Add(nullptr, "Übersicht");
  EXPECT_EQ(tree.Text(node), "Übersicht");
  // A text put there from outside that Windows-1252 lacks is refused by
  // name when the program reads it.
  SetWindowTextW(Edit().Handle, L"Łódź");
  EXPECT_THROW(Edit().Text(), EForeignText);
}

TEST_F(TextBoundary, TheErrorBoxShowsARefusedNameAsItIs) {
  std::u16string shown;
  std::thread reader([&] {
    HWND box = WaitForWindow(GetCurrentProcessId(), "#32770");
    if (!box) return;
    for (HWND child = GetWindow(box, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
      wchar_t text[512] = L"";
      GetWindowTextW(child, text, 512);
      if (U16(text).size() > shown.size()) shown = U16(text);
    }
    PostMessageW(box, WM_COMMAND, IDOK, 0);
  });
  const std::u16string name = u"C:\\Łódź.trv";
  Application.ShowException(EForeignText(name));
  reader.join();
  EXPECT_EQ(shown, ForeignTextMessage(name));
}

}  // namespace
