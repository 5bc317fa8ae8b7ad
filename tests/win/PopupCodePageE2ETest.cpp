// TRV.EXE's popup on a Windows whose ANSI code page is 1251 (Cyrillic): the
// test runs in a Wine prefix of that code page (TARVO_WINE_CODEPAGE=1251).
// The menu's items and the message of the chosen group read whole as
// UTF-16, umlauts and the signs of Windows-1252 included, never as the
// Cyrillic letters of the same bytes ("Grьяe").
#include <gtest/gtest.h>

#include "model/Wide_win.h"
#include "tests/win/LauncherTestSupport.h"

namespace {

// An item's text read inside the program, as menus of another process
// cannot be read from outside.
std::u16string ItemText(TRemoteProcess& remote, HMENU menu, UINT position) {
  const DWORD length = remote.CallUser32(
      "GetMenuStringW", {static_cast<DWORD>(reinterpret_cast<uintptr_t>(menu)), position, remote.Scratch(), 128,
                         MF_BYPOSITION});
  const std::string bytes = remote.ReadScratch(length * sizeof(char16_t));
  return std::u16string(reinterpret_cast<const char16_t*>(bytes.data()), bytes.size() / sizeof(char16_t));
}

TEST(PopupCodePage1251, ItemsAndTheChosenGroupsMessageReadWhole) {
  ASSERT_EQ(GetACP(), 1251u) << "the test needs the prefix of code page 1251 (TARVO_WINE_CODEPAGE=1251)";
  TTempFolder temp;
  WriteFileBytes(temp / "projekt.trv",
                 ProjectText({"[ExecGroups]", "Gruß", " 1 \"Schöne Grüße – 100 €\";Überschrift;3;0", "[MenuItems]",
                              "0 1 \"&Grüße „Menü“\"", "0 0 \"Œ&uvre ‰\""}));
  TTrvProcess trv(Quoted(temp / "projekt.trv"));
  ASSERT_TRUE(trv.Started());
  HWND popup = WaitForWindow(trv.Id(), "#32768");
  ASSERT_TRUE(popup);
  {
    TRemoteProcess remote(trv.Id());
    ASSERT_TRUE(remote.Ok());
    const HMENU menu = MenuOfPopupWindow(popup);
    EXPECT_EQ(ItemText(remote, menu, 0), u"&Grüße „Menü“");
    EXPECT_EQ(ItemText(remote, menu, 1), u"Œ&uvre ‰");
  }
  PostKey(popup, 'G');
  HWND box = WaitForWindow(trv.Id(), "#32770");
  ASSERT_TRUE(box);
  EXPECT_EQ(WideText(box), u"Überschrift");
  EXPECT_EQ(WideText(GetDlgItem(box, 0xFFFF)), u"Schöne Grüße – 100 €");
  PostMessageW(box, WM_COMMAND, IDOK, 0);
  EXPECT_EQ(trv.WaitExit(), 0u);
}

}  // namespace
