// TRV.EXE on a Windows whose ANSI code page is 1251 (Cyrillic) while its
// texts are German: the test runs in a Wine prefix of that code page
// (TARVO_WINE_CODEPAGE=1251) and reads the program's windows as UTF-16,
// from outside as a user's screen reader would. Umlauts come out whole, not
// as the Cyrillic letters of the same bytes ("Menьs", "Verknьpfung").
#include <gtest/gtest.h>
#include <windows.h>

#include <set>
#include <string>

#include "model/Wide_win.h"
#include "tests/win/ConfigDriver.h"

namespace {

// A windowless label's caption, asked from its form as UTF-16 (see
// framework/ControlQuery.h: the caption comes back as a new global atom).
std::u16string WideCaption(HWND form, const wchar_t* name) {
  static const UINT message = RegisterWindowMessageW(L"Tarvo.ControlInfo");
  const ATOM asked = GlobalAddAtomW(name);
  DWORD_PTR answer = 0;
  SendMessageTimeoutW(form, message, asked, 5 /* ciCaption */, SMTO_ABORTIFHUNG, 5000, &answer);
  GlobalDeleteAtom(asked);
  wchar_t text[256] = L"";
  const ATOM caption = static_cast<ATOM>(answer);
  if (caption && GlobalGetAtomNameW(caption, text, 256)) GlobalDeleteAtom(caption);
  return U16(text);
}

// The longest static text of a message box: its message.
std::u16string BoxMessage(HWND box) {
  std::u16string message;
  for (HWND child = GetWindow(box, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
    wchar_t name[16] = L"";
    GetClassNameW(child, name, 16);
    if (lstrcmpiW(name, L"Static") == 0 && WideText(child).size() > message.size()) message = WideText(child);
  }
  return message;
}

class CodePage1251 : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(GetACP(), 1251u) << "the test needs the prefix of code page 1251 (TARVO_WINE_CODEPAGE=1251)";
  }
};

TEST_F(CodePage1251, TheStartPageAndAMessageBoxReadWholeWithTheirUmlauts) {
  TConfigProcess trv;
  HWND main = trv.MainWindow();
  ASSERT_NE(main, nullptr);
  struct {
    const wchar_t* Label;
    std::u16string Caption;
  } const labels[] = {
      {L"Label2", u"Menüs und Befehlszeilenfolgen\r\n&erstellen oder bearbeiten"},
      {L"Label3", u"&Verknüpfung zum Aufrufen eines Menüs anlegen"},
      {L"Label32", u"Über \"&Tarvo\"..."},
  };
  for (const auto& label : labels) EXPECT_EQ(WideCaption(main, label.Label), label.Caption);
  // The pages are windows of their own, their names their window texts.
  std::set<std::u16string> pages;
  for (HWND page : ChildrenOfClass(main, "TTabSheet")) pages.insert(WideText(page));
  EXPECT_EQ(pages, (std::set<std::u16string>{u"Startseite", u"Erstellen", u"Verknüpfung"}));

  // A link needs a saved project: the editor page says so in a box.
  PostMessageW(OptionButtons(main)[0], BM_CLICK, 0, 0);
  ASSERT_TRUE(WaitUntil([&] { return VisiblePage(main) == "Erstellen"; }));
  PostMessageW(ControlHandle(main, "Button_CreateLink"), BM_CLICK, 0, 0);
  HWND box = trv.WaitForWindow("#32770");
  ASSERT_NE(box, nullptr);
  EXPECT_EQ(WideText(box), u"Speicherung erforderlich");
  EXPECT_EQ(BoxMessage(box), u"Das aktuelle Projekt muss zunächst gespeichert werden.");
  PostMessageW(box, WM_COMMAND, IDOK, 0);
  EXPECT_TRUE(WaitUntil([&] { return !IsWindow(box); }));
}

TEST_F(CodePage1251, AProjectPathThatWindows1252CannotHoldIsRefusedByItsName) {
  // Cyrillic is the machine's own here: the path would fit its code page,
  // but not the project's texts.
  const std::u16string path = u"C:\\Проект.trv";
  std::wstring commandLine = L"\"" + W(TrvExePath()) + L"\" \"" + W(path) + L"\"";
  STARTUPINFOW si = {};
  si.cb = sizeof si;
  PROCESS_INFORMATION process = {};
  ASSERT_TRUE(CreateProcessW(nullptr, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &process));
  HWND box = WaitForWindow(process.dwProcessId, "#32770");
  EXPECT_NE(box, nullptr);
  if (box) {
    EXPECT_EQ(BoxMessage(box), ForeignTextMessage(path));
    PostMessageW(box, WM_COMMAND, IDOK, 0);
  }
  DWORD code = 0;
  EXPECT_EQ(WaitForSingleObject(process.hProcess, 10000), WAIT_OBJECT_0);
  GetExitCodeProcess(process.hProcess, &code);
  if (code == STILL_ACTIVE) TerminateProcess(process.hProcess, 1);
  EXPECT_EQ(code, 1u);
  CloseHandle(process.hProcess);
  CloseHandle(process.hThread);
}

}  // namespace
