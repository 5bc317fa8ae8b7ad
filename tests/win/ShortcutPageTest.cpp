// End-to-end: the shortcut page of a running TRV.EXE, driven from outside:
// a link made in a folder chosen in the shell's tree and read back with the
// shell's own link object, and the page's refusals.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>
#include <objbase.h>
#include <shlobj.h>

#include <functional>

#include "tests/win/ConfigDriver.h"
#include "tests/win/LauncherTestSupport.h"
#include "tests/win/WinTestSupport.h"

namespace {

struct TLinkFields {
  std::string Target, Arguments, Description, WorkingDirectory;
  WORD HotKey = 0;
};

TLinkFields ReadLinkFields(const std::string& link) {
  TLinkFields fields;
  CoInitialize(nullptr);
  IShellLinkA* shellLink = nullptr;
  if (SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                 reinterpret_cast<void**>(&shellLink)))) {
    IPersistFile* file = nullptr;
    if (SUCCEEDED(shellLink->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)))) {
      wchar_t wide[MAX_PATH];
      MultiByteToWideChar(CP_ACP, 0, link.c_str(), -1, wide, MAX_PATH);
      if (SUCCEEDED(file->Load(wide, STGM_READ))) {
        char text[1024];
        shellLink->GetPath(text, sizeof text, nullptr, SLGP_RAWPATH);
        fields.Target = text;
        shellLink->GetArguments(text, sizeof text);
        fields.Arguments = text;
        shellLink->GetDescription(text, sizeof text);
        fields.Description = text;
        shellLink->GetWorkingDirectory(text, sizeof text);
        fields.WorkingDirectory = text;
        shellLink->GetHotkey(&fields.HotKey);
      }
      file->Release();
    }
    shellLink->Release();
  }
  CoUninitialize();
  return fields;
}

// A visible popup menu of a process other than own.
HWND OthersMenu(DWORD own) {
  const std::vector<HWND> menus = TopWindows([&](HWND window, DWORD pid) {
    return pid != own && IsWindowVisible(window) && ClassOf(window) == "#32768";
  });
  return menus.empty() ? nullptr : menus.front();
}

const char* const Project = "[ExecGroups]\r\nEditor\r\n 4 Doppelklicken zum Bearbeiten\r\n[MenuItems]\r\n0 1 Editor\r\n";

class ShortcutPage : public ::testing::Test {
 protected:
  void SetUp() override {
    trv = std::make_unique<TConfigProcess>();
    main = trv->MainWindow();
    ASSERT_NE(main, nullptr);
    PostMessageA(OptionButtons(main)[1], BM_CLICK, 0, 0);
    ASSERT_TRUE(WaitUntil([&] { return VisiblePage(main) == "Verknüpfung"; }));
    tree = Control("ShellTreeView");
  }

  HWND Control(const std::string& name) { return ControlHandle(main, name); }
  std::string DirName() { return TextOf(Control("Edit_DirName")); }

  // The node below parent whose caption passes, its children read first.
  HTREEITEM ChildWhere(HTREEITEM parent, const std::function<bool(const std::string&)>& passes) {
    SendMessageA(tree, TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(parent));
    for (HTREEITEM child = TreeView_GetChild(tree, parent); child; child = TreeView_GetNextSibling(tree, child))
      for (const TRemoteNode& node : RemoteTreeNodes(tree))
        if (node.Item == child && passes(node.Text)) return child;
    return nullptr;
  }
  // The drive C: below the desktop's computer node.
  HTREEITEM DriveC() {
    HTREEITEM root = TreeView_GetRoot(tree);
    SendMessageA(tree, TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(root));
    for (HTREEITEM top = TreeView_GetChild(tree, root); top; top = TreeView_GetNextSibling(tree, top))
      if (HTREEITEM drive = ChildWhere(top, [](const std::string& t) { return t.find("C:") != std::string::npos; }))
        return drive;
    return nullptr;
  }
  void Select(HTREEITEM node) { SendMessageA(tree, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(node)); }

  HWND WaitForBalloonText(const std::string& text) {
    HWND balloon = nullptr;
    WaitUntil([&] { return (balloon = VisibleBalloon(*trv)) && BalloonText(balloon) == text; });
    return balloon;
  }
  void Press(const char* button) { PostMessageA(Control(button), BM_CLICK, 0, 0); }

  TTempFolder folder;
  std::unique_ptr<TConfigProcess> trv;
  HWND main = nullptr, tree = nullptr;
};

TEST_F(ShortcutPage, ALinkIsWrittenForTheProjectAndStartsItsPopup) {
  const std::string links = "C:\\Tarvo Links " + std::to_string(GetCurrentProcessId());
  ASSERT_TRUE(CreateDirectoryA(links.c_str(), nullptr));
  const std::string project = folder / "Mein Projekt.trv";
  WriteFileBytes(project, Project);

  HTREEITEM drive = DriveC();
  ASSERT_NE(drive, nullptr);
  HTREEITEM target = ChildWhere(drive, [&](const std::string& t) { return t == links.substr(3); });
  ASSERT_NE(target, nullptr);
  Select(target);
  EXPECT_TRUE(WaitUntil([&] { return DirName() == links; })) << DirName();
  ASSERT_TRUE(TypeInto(Control("Edit_LinkTitle"), "Mein Menü"));
  ASSERT_TRUE(TypeInto(Control("Edit_LinkHint"), "Öffnet mein Menü"));
  ASSERT_TRUE(TypeInto(Control("Edit_Project"), project));
  SendMessageA(Control("HotKey"), HKM_SETHOTKEY, MAKEWORD('P', HOTKEYF_CONTROL | HOTKEYF_ALT), 0);
  Press("Button_Create");
  TMessageBox box = WaitForMessageBox(trv->Pid());
  EXPECT_EQ(box.Caption, "Vorgang erfolgreich");
  EXPECT_EQ(box.Text, "Die Verknüpfung wurde erstellt.");
  ASSERT_TRUE(PressButton(box, IDOK));
  EXPECT_TRUE(WaitUntil([&] { return VisiblePage(main) == "Startseite"; }));

  const std::string link = links + "\\Mein Menü.lnk";
  const TLinkFields fields = ReadLinkFields(link);
  EXPECT_EQ(_stricmp(fields.Target.c_str(), TrvExePath().c_str()), 0) << fields.Target;
  EXPECT_EQ(fields.Arguments, "\"" + project + "\"");
  EXPECT_EQ(fields.Description, "Öffnet mein Menü");
  EXPECT_EQ(fields.HotKey, 0x0650);
  EXPECT_EQ(fields.WorkingDirectory, "");

  // Started as the link starts it, the program shows the project's popup.
  TTrvProcess popup(fields.Arguments, fields.Target);
  ASSERT_TRUE(popup.Started());
  HWND menu = WaitForWindow(popup.Id(), "#32768");
  EXPECT_NE(menu, nullptr) << "the popup menu";
  if (menu) PostKey(menu, VK_ESCAPE);
  EXPECT_EQ(popup.WaitExit(), 0u);
  DeleteFileA(link.c_str());
  RemoveDirectoryA(links.c_str());
}

TEST_F(ShortcutPage, ALinkToOneGroupNamesAGroupOfTheProjectFile) {
  const std::string project = folder / "Zwei Gruppen.trv";
  WriteFileBytes(project, "[ExecGroups]\r\nEins\r\n 4 x\r\nZwei\r\n 4 x\r\n[MenuItems]\r\n");
  ASSERT_TRUE(WaitUntil([&] { return !DirName().empty(); })) << "the desktop's folder";
  ASSERT_TRUE(TypeInto(Control("Edit_LinkTitle"), "Nur Zwei"));
  ASSERT_TRUE(TypeInto(Control("Edit_Project"), project));
  HWND groups = Control("ComboBox_LinkGroup");
  EXPECT_EQ(SendMessageA(groups, CB_GETCOUNT, 0, 0), 2) << "the file's groups";
  EXPECT_FALSE(IsWindowEnabled(groups)) << "while the menu is chosen";
  Press("RadioButton_LinkGroup");
  ASSERT_TRUE(WaitUntil([&] { return IsWindowEnabled(groups) != FALSE; }));
  Press("Button_Create");
  EXPECT_NE(WaitForBalloonText("Wählen Sie die Befehlszeilengruppe aus, die die Verknüpfung starten soll."), nullptr);
  ChooseComboItem(groups, 1);
  Press("Button_Create");
  ASSERT_TRUE(PressButton(WaitForMessageBox(trv->Pid()), IDOK));
  const std::string link = DirName() + "\\Nur Zwei.lnk";
  EXPECT_EQ(ReadLinkFields(link).Arguments, "\"" + project + "\" \"Zwei\"");
  DeleteFileA(link.c_str());
}

TEST_F(ShortcutPage, ALinkThatSearchesNamesTheSwitchBeforeTheProject) {
  const std::string project = folder / "Suche.trv";
  WriteFileBytes(project, "[ExecGroups]\r\nEins\r\n 4 x\r\n[MenuItems]\r\n");
  ASSERT_TRUE(WaitUntil([&] { return !DirName().empty(); })) << "the desktop's folder";
  ASSERT_TRUE(TypeInto(Control("Edit_LinkTitle"), "Suchen"));
  ASSERT_TRUE(TypeInto(Control("Edit_Project"), project));
  Press("RadioButton_LinkSearch");
  Press("Button_Create");
  ASSERT_TRUE(PressButton(WaitForMessageBox(trv->Pid()), IDOK));
  const std::string link = DirName() + "\\Suchen.lnk";
  EXPECT_EQ(ReadLinkFields(link).Arguments, "/suchen \"" + project + "\"");
  DeleteFileA(link.c_str());
}

// The choice's captions show whole in the font the page is drawn with (the
// system's message font, 8 points), whichever font the machine puts in its
// place: under Wine without the Liberation fonts a wider one.
TEST_F(ShortcutPage, TheChoiceOfMenuOrGroupShowsItsCaptionsWhole) {
  NONCLIENTMETRICSA metrics = {};
  metrics.cbSize = 340;
  ASSERT_TRUE(SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, 340, &metrics, 0));
  HDC dc = GetDC(nullptr);
  HFONT font = CreateFontA(-11, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                           DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, metrics.lfMessageFont.lfFaceName);
  HGDIOBJ old = SelectObject(dc, font);
  for (const char* name : {"RadioButton_LinkMenu", "RadioButton_LinkSearch", "RadioButton_LinkGroup"}) {
    SCOPED_TRACE(name);
    const std::string caption = TextOf(Control(name));
    SIZE text = {0, 0};
    GetTextExtentPoint32A(dc, caption.c_str(), static_cast<int>(caption.size()), &text);
    const RECT button = RectInParent(Control(name));
    // The round box and its gap before the text: 17 pixels.
    EXPECT_LE(17 + text.cx, button.right - button.left) << caption;
  }
  // The search's choice beside the menu's, and the group's list beside its
  // choice, are not covered.
  EXPECT_LE(RectInParent(Control("RadioButton_LinkMenu")).right, RectInParent(Control("RadioButton_LinkSearch")).left);
  EXPECT_LE(RectInParent(Control("RadioButton_LinkGroup")).right, RectInParent(Control("ComboBox_LinkGroup")).left);
  SelectObject(dc, old);
  DeleteObject(font);
  ReleaseDC(nullptr, dc);
}

TEST_F(ShortcutPage, ForbiddenCharactersAreRefusedAsTypedAndAtCreate) {
  HWND title = Control("Edit_LinkTitle");
  ASSERT_TRUE(TypeInto(title, "Menü"));
  for (char c : std::string("\\/:*?\"<>|")) {
    SCOPED_TRACE(c);
    PostMessageA(title, WM_CHAR, static_cast<unsigned char>(c), 1);
    EXPECT_NE(WaitForBalloonText(std::string("Das Zeichen\r\n") + c + "\r\nist in Dateinamen nicht erlaubt."), nullptr);
    EXPECT_EQ(TextOf(title), "Menü");
  }
  // Pasted, or only dots: refused by "create" (the desktop is a folder).
  WriteFileBytes(folder / "p.trv", Project);
  ASSERT_TRUE(TypeInto(Control("Edit_Project"), folder / "p.trv"));
  for (const char* pasted : {"a|b", "..."}) {
    SCOPED_TRACE(pasted);
    SendMessageA(title, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(pasted));
    Press("Button_Create");
    EXPECT_NE(WaitForBalloonText("Geben Sie einen gültigen Namen für die Verknüpfung ein."), nullptr);
  }
}

TEST_F(ShortcutPage, AVirtualFolderAndAMissingProjectAreRefused) {
  WriteFileBytes(folder / "p.trv", Project);
  ASSERT_TRUE(TypeInto(Control("Edit_LinkTitle"), "Menü"));
  ASSERT_TRUE(TypeInto(Control("Edit_Project"), folder / "fehlt.trv"));
  // The desktop is a folder: the missing project is what fails.
  Press("Button_Create");
  EXPECT_NE(WaitForBalloonText("Die Projektdatei\r\n" + folder / "fehlt.trv" + "\r\nexistiert nicht."), nullptr);
  // "Testen" says the same.
  Press("Button_TestProject");
  EXPECT_NE(WaitForBalloonText("Die Projektdatei\r\n" + folder / "fehlt.trv" + "\r\nexistiert nicht."), nullptr);
  // The computer's node has no file-system path.
  HTREEITEM drive = DriveC();
  ASSERT_NE(drive, nullptr);
  Select(TreeView_GetParent(tree, drive));
  ASSERT_TRUE(WaitUntil([&] { return !DirName().empty() && DirName().find(":\\") == std::string::npos; }))
      << DirName();
  ASSERT_TRUE(TypeInto(Control("Edit_Project"), folder / "p.trv"));
  Press("Button_Create");
  EXPECT_NE(WaitForBalloonText("Im Verzeichnis\r\n" + DirName() + "\r\nkann keine Verknüpfung erstellt werden."),
            nullptr);
}

TEST_F(ShortcutPage, AMissingSpecialFolderIsReported) {
  // The prefix has no Quick Launch folder: the menu's last item.
  Press("Button_SpecialFolders");
  HWND menu = WaitForWindow(trv->Pid(), "#32768");
  ASSERT_NE(menu, nullptr);
  PostKey(menu, VK_END);
  PostKey(menu, VK_RETURN);
  EXPECT_NE(WaitForBalloonText("Das gewünschte Verzeichnis konnte nicht gefunden werden."), nullptr);
}

TEST_F(ShortcutPage, AHotKeyWithoutModifierIsAdvisedAgainstButWritten) {
  const std::string project = folder / "p.trv";
  WriteFileBytes(project, Project);
  HWND hotKey = Control("HotKey");
  SendMessageA(hotKey, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
  SendMessageA(hotKey, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
  ASSERT_TRUE(WaitUntil([&] { return trv->Focus() == hotKey; }));
  SendMessageA(hotKey, HKM_SETHOTKEY, VK_F5, 0);
  PostMessageA(Control("Edit_LinkTitle"), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
  PostMessageA(Control("Edit_LinkTitle"), WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
  HWND balloon = nullptr;
  ASSERT_TRUE(WaitUntil([&] { return (balloon = VisibleBalloon(*trv)) != nullptr; }));
  EXPECT_EQ(TextOf(balloon).rfind("Es wird empfohlen, kein einzelnes Zeichen als\r\nTasten", 0), 0u) << TextOf(balloon);
  // The desktop folder of the tree.
  ASSERT_TRUE(TypeInto(Control("Edit_LinkTitle"), "F5-Menü"));
  ASSERT_TRUE(TypeInto(Control("Edit_Project"), project));
  Press("Button_Create");
  TMessageBox box = WaitForMessageBox(trv->Pid());
  EXPECT_EQ(box.Caption, "Vorgang erfolgreich");
  const std::string link = TextOf(Control("Edit_DirName")) + "\\F5-Menü.lnk";
  ASSERT_TRUE(PressButton(box, IDOK));
  EXPECT_EQ(ReadLinkFields(link).HotKey, VK_F5) << "flags byte 0";
  DeleteFileA(link.c_str());
}

TEST_F(ShortcutPage, TheProjectIsSearchedAndAFailedWriteIsReported) {
  const std::string project = folder / "p.trv";
  WriteFileBytes(project, Project);
  Press("Button_Search");
  HWND dialog = nullptr;
  ASSERT_TRUE(WaitUntil([&] { return (dialog = trv->FindWindowOfClass("#32770")) != nullptr; }));
  ASSERT_TRUE(ChooseFileInDialog(dialog, project));
  ASSERT_TRUE(WaitUntil([&] { return TextOf(Control("Edit_Project")) == project; }));
  // A name the file system cannot take: the shell refuses to write it.
  ASSERT_TRUE(TypeInto(Control("Edit_LinkTitle"), std::string(300, 'x')));
  Press("Button_Create");
  TMessageBox box = WaitForMessageBox(trv->Pid());
  EXPECT_EQ(box.Caption, "Vorgang nicht erfolgreich");
  EXPECT_EQ(box.Text, "Die Verknüpfung konnte nicht erstellt werden.");
  ASSERT_TRUE(PressButton(box, IDOK));
  EXPECT_EQ(VisiblePage(main), "Verknüpfung");
  EXPECT_EQ(TextOf(Control("Edit_Project")), project) << "the fields stay";
}

TEST_F(ShortcutPage, TestenStartsTheProjectInASecondProcess) {
  const std::string project = folder / "Mit Leerzeichen.trv";
  WriteFileBytes(project, Project);
  ASSERT_TRUE(TypeInto(Control("Edit_Project"), project));
  Press("Button_TestProject");
  // Another TRV.EXE shows the popup; this one stays.
  HWND menu = nullptr;
  ASSERT_TRUE(WaitUntil([&] { return (menu = OthersMenu(trv->Pid())) != nullptr; }));
  PostKey(menu, VK_ESCAPE);
  EXPECT_TRUE(IsWindowVisible(main));
}

}  // namespace
