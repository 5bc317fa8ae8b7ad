#include <gtest/gtest.h>

#include <objbase.h>
#include <shlobj.h>

#include "shortcut/ComPtr.h"
#include "shortcut/ShellLink.h"
#include "tests/win/WinTestSupport.h"

namespace {

class ShellLinkTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(SUCCEEDED(CoInitialize(nullptr))); }
  void TearDown() override { CoUninitialize(); }

  TTempFolder folder;
};

struct TLinkFields {
  std::string target, arguments, description, workingDirectory, iconPath;
  int iconIndex = -1;
};

TLinkFields Read(const std::string& link) {
  TLinkFields f;
  ReadShellLink(link, f.target, f.arguments, f.description, f.workingDirectory, f.iconPath, f.iconIndex);
  return f;
}

// The hotkey is no field of ReadShellLink; ask the shell's link object.
WORD ReadHotkey(const std::string& link) {
  TComPtr<IShellLinkA> shellLink;
  TComPtr<IPersistFile> file;
  WORD hotkey = 0xFFFF;
  if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA, shellLink.OutVoid())) ||
      FAILED(shellLink->QueryInterface(IID_IPersistFile, file.OutVoid())))
    return hotkey;
  wchar_t name[MAX_PATH];
  MultiByteToWideChar(CP_ACP, 0, link.c_str(), -1, name, MAX_PATH);
  if (SUCCEEDED(file->Load(name, STGM_READ))) shellLink->GetHotkey(&hotkey);
  return hotkey;
}

bool FileExists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

TEST_F(ShellLinkTest, LinkForAProjectReadsBackAsWritten) {
  const std::string link = folder / "Mein Menü.lnk";
  const std::string arguments = "\"C:\\Eigene Projekte\\Menü für Büro.trv\"";
  ASSERT_TRUE(CreateShellLink(TrvExePath(), link, arguments, "Startet das Büro-Menü", "", 0, 0x0650));

  TLinkFields f = Read(link);
  EXPECT_STREQ(f.target.c_str(), TrvExePath().c_str());
  EXPECT_EQ(f.arguments, arguments);
  EXPECT_EQ(f.description, "Startet das Büro-Menü");
  EXPECT_EQ(f.workingDirectory, "");
  EXPECT_EQ(f.iconPath, "");
  EXPECT_EQ(f.iconIndex, 0);
  EXPECT_EQ(ReadHotkey(link), 0x0650);
}

TEST_F(ShellLinkTest, EmptyOptionalFieldsAreLeftEmpty) {
  const std::string link = folder / "leer.lnk";
  // An icon index without an icon path sets no icon location.
  ASSERT_TRUE(CreateShellLink(TrvExePath(), link, "", "", "", 7, 0));
  TLinkFields f = Read(link);
  EXPECT_EQ(f.target, TrvExePath());
  EXPECT_EQ(f.arguments, "");
  EXPECT_EQ(f.description, "");
  EXPECT_EQ(f.iconPath, "");
  EXPECT_EQ(f.iconIndex, 0);
  EXPECT_EQ(ReadHotkey(link), 0);
}

TEST_F(ShellLinkTest, IconLocationIsWrittenWhenAPathIsGiven) {
  const std::string link = folder / "icon.lnk";
  ASSERT_TRUE(CreateShellLink(TrvExePath(), link, "", "", "C:\\windows\\system32\\shell32.dll", 3, 0));
  TLinkFields f = Read(link);
  EXPECT_EQ(f.iconPath, "C:\\windows\\system32\\shell32.dll");
  EXPECT_EQ(f.iconIndex, 3);
}

TEST_F(ShellLinkTest, HotkeyWordsRoundTrip) {
  const WORD hotkeys[] = {0x0000, 0x0074 /* F5 alone */, 0x0141 /* Shift+A */, 0x0650 /* Ctrl+Alt+P */,
                          0x0731 /* Shift+Ctrl+Alt+1 */};
  for (WORD hotkey : hotkeys) {
    const std::string link = folder / ("hk" + std::to_string(hotkey) + ".lnk");
    ASSERT_TRUE(CreateShellLink(TrvExePath(), link, "", "", "", 0, hotkey));
    EXPECT_EQ(ReadHotkey(link), hotkey) << std::hex << hotkey;
  }
}

TEST_F(ShellLinkTest, ExistingLinkIsReplaced) {
  const std::string link = folder / "neu.lnk";
  ASSERT_TRUE(CreateShellLink(TrvExePath(), link, "\"a.trv\"", "alt", "", 0, 0x0650));
  ASSERT_TRUE(CreateShellLink(TrvExePath(), link, "", "neu", "", 0, 0));
  TLinkFields f = Read(link);
  EXPECT_EQ(f.arguments, "");
  EXPECT_EQ(f.description, "neu");
  EXPECT_EQ(ReadHotkey(link), 0);
}

TEST_F(ShellLinkTest, SaveFailuresReturnFalse) {
  // Under Wine the tests run as a Unix user that may write anywhere on C:;
  // sysfs refuses new files even to root, so it stands in for a folder
  // without write access.
  const std::string readOnly = "Z:\\sys\\";
  HANDLE probe = CreateFileA((readOnly + "probe.tmp").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
  ASSERT_EQ(probe, INVALID_HANDLE_VALUE) << "the folder must refuse new files";
  EXPECT_FALSE(CreateShellLink(TrvExePath(), readOnly + "Menü.lnk", "", "", "", 0, 0));
  EXPECT_FALSE(FileExists(readOnly + "Menü.lnk"));

  EXPECT_FALSE(CreateShellLink(TrvExePath(), folder / "fehlt\\Menü.lnk", "", "", "", 0, 0));
  EXPECT_FALSE(FileExists(folder / "fehlt"));
  EXPECT_FALSE(CreateShellLink(TrvExePath(), "", "", "", "", 0, 0));
}

TEST_F(ShellLinkTest, LinkNamesOfMaxPathUnitsOrMoreAreRefused) {
  // The name must fit MAX_PATH units with its terminator: 259 characters is
  // the longest. Umlauts count one unit each, as bytes do (Wine stores them
  // as two UTF-8 bytes: a few keep the name below the Unix limit of 255).
  const struct {
    size_t length;
    bool written;
  } cases[] = {{200, true}, {259, true}, {260, false}, {261, false}, {300, false}, {1000, false}};
  for (const auto& c : cases) {
    std::string link = folder.Path();
    link += "ääääää" + std::string(c.length - link.size() - 11, 'a') + "x.lnk";
    ASSERT_EQ(link.size(), c.length);
    EXPECT_EQ(CreateShellLink(TrvExePath(), link, "", "", "", 0, 0), c.written) << c.length;
    EXPECT_EQ(CountFiles(folder.Path()), c.written ? 1 : 0) << c.length;
    DeleteFileA(link.c_str());
  }
}

TEST_F(ShellLinkTest, ReadTextsAreWhole) {
  const std::string link = folder / "lang.lnk";
  const std::string description(400, 'd');
  ASSERT_TRUE(CreateShellLink(TrvExePath(), link, std::string(600, 'a'), description, "", 0, 0));
  TLinkFields f = Read(link);
  EXPECT_EQ(f.description, description);
  EXPECT_EQ(f.arguments, std::string(600, 'a'));
}

TEST_F(ShellLinkTest, ReadingAFileThatIsNoLinkRaisesTheComError) {
  const struct {
    const char* name;
    const char* content;  // nullptr: the file does not exist
  } cases[] = {{"fehlt.lnk", nullptr}, {"kaputt.lnk", "keine Verknüpfung"}, {"leer.lnk", ""}};
  for (const auto& c : cases) {
    const std::string link = folder / c.name;
    if (c.content) WriteFileBytes(link, c.content);
    TLinkFields f{"alt", "alt", "alt", "alt", "alt", 5};
    try {
      ReadShellLink(link, f.target, f.arguments, f.description, f.workingDirectory, f.iconPath, f.iconIndex);
      ADD_FAILURE() << c.name << " was read";
    } catch (const EOleSysError& e) {
      EXPECT_TRUE(FAILED(e.ErrorCode)) << c.name;
      EXPECT_EQ(e.Message(), OleErrorText(e.ErrorCode)) << c.name;
      EXPECT_FALSE(e.Message().empty());
    }
    // Nothing of an earlier read survives a failed one.
    EXPECT_EQ(f.target + f.arguments + f.description + f.workingDirectory + f.iconPath, "") << c.name;
  }
}

TEST_F(ShellLinkTest, ErrorTextsComeFromTheSystemOrNameTheCode) {
  // The German system's texts, without the line break and final period.
  const struct {
    unsigned long code;
    const char* text;
  } cases[] = {{0x80070005, "Zugriff verweigert"}, {0x80004005, "Aufruf fehlgeschlagen"},
               {0x80070057, "Ungültiger Parameter"}, {0x8FFF1234, "OLE-Fehler 8FFF1234"},
               {0x80030002, "OLE-Fehler 80030002"}};
  for (const auto& c : cases) EXPECT_EQ(OleErrorText(static_cast<long>(c.code)), c.text);

  EXPECT_NO_THROW(OleCheck(S_OK));
  EXPECT_NO_THROW(OleCheck(S_FALSE));
  try {
    OleCheck(E_FAIL);
    ADD_FAILURE() << "E_FAIL passed";
  } catch (const EOleSysError& e) {
    EXPECT_EQ(e.ErrorCode, E_FAIL);
    EXPECT_EQ(e.Message(), OleErrorText(E_FAIL));
  }
}

}  // namespace
