// Links as the shell opens them and as the lines an import makes of them:
// both start the same command line, or the link is refused with a reason.
#include <gtest/gtest.h>
#include <windows.h>
#include <objbase.h>
#include <shellapi.h>
#include <shlobj.h>

#include <algorithm>
#include <iterator>
#include <string>
#include <vector>

#include "config/FolderImport_win.h"
#include "framework/Application.h"
#include "launcher/Interpreter.h"
#include "launcher/LauncherHost_win.h"
#include "model/Project.h"
#include "model/Text.h"
#include "model/Wide_win.h"
#include "model/Platform.h"
#include "tests/win/LauncherTestSupport.h"
#include "tests/win/WinTestSupport.h"

namespace {

// A link as the shell writes one, with any name and argument string.
void MakeLink(const std::wstring& link, const std::wstring& target, const std::wstring& arguments) {
  IShellLinkW* shell = nullptr;
  ASSERT_HRESULT_SUCCEEDED(
      CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW, reinterpret_cast<void**>(&shell)));
  shell->SetPath(target.c_str());
  shell->SetArguments(arguments.c_str());
  IPersistFile* file = nullptr;
  ASSERT_HRESULT_SUCCEEDED(shell->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)));
  EXPECT_HRESULT_SUCCEEDED(file->Save(link.c_str(), TRUE));
  file->Release();
  shell->Release();
}

// The link opened as Explorer opens it.
void OpenThroughTheShell(const std::wstring& link) {
  SHELLEXECUTEINFOW info = {};
  info.cbSize = sizeof info;
  info.fMask = SEE_MASK_NOCLOSEPROCESS | SEE_MASK_FLAG_NO_UI;
  info.lpFile = link.c_str();
  info.nShow = SW_SHOWNORMAL;
  ASSERT_TRUE(ShellExecuteExW(&info)) << GetLastError();
  if (info.hProcess) {
    WaitForSingleObject(info.hProcess, 15000);
    CloseHandle(info.hProcess);
  }
}

TEST(LinkExactness, AnImportedLinkRunsWhatTheShellRunsOrIsRefused) {
  ASSERT_HRESULT_SUCCEEDED(CoInitialize(nullptr));
  UseNativePlatform();
  TWinLauncherHost host;
  TTempFolder temp;
  const std::string links = temp / "Links";
  ASSERT_TRUE(CreateDirectoryA(links.c_str(), nullptr));
  struct {
    const wchar_t* Name;    // of the link
    const char* Folder;     // of its target, a recorder; null: a name Windows-1252 lacks
    std::wstring Arguments;
  } const rows[] = {
      {L"Anführung", "a", L"a\" & mkdir C:\\injected & \"b"},
      {L"Zeichen", "b", L"^& x ^^ \"a&b\" | <y> \\\"z\\\\\" \"\""},
      {L"Prozent", "50% Rabatt", L"%TEMP% 100% %PATH%"},
      {L"Lang", "d", std::wstring(4000, L'x') + L" --dry-run"},
      {L"Leerzeichen", "Mein Ordner", L"--x \"a b\"  c "},
      {L"\u0416\u0443\u0440\u043D\u0430\u043B", "e", L"-a"},
      {L"Polnisch", nullptr, L""},
  };
  // A program in a folder whose name Windows-1252 lacks.
  const std::wstring foreign = W(temp.Path()) + L"\u0141\u00F3d\u017A";
  ASSERT_TRUE(CreateDirectoryW(foreign.c_str(), nullptr));
  ASSERT_TRUE(CopyFileW(W(ArgRecorderPath()).c_str(), (foreign + L"\\rec.exe").c_str(), FALSE));
  for (const auto& row : rows) {
    const std::string target = row.Folder ? temp / row.Folder + "\\rec.exe" : "";
    if (row.Folder) PlaceRecorder(target);
    MakeLink(W(links) + L"\\" + row.Name + L".lnk", row.Folder ? W(target) : foreign + L"\\rec.exe", row.Arguments);
  }
  // Programs whose names Windows-1252 lacks: look-alikes of '"', '%', '\\'
  // and '&', a Polish letter, Cyrillic and an emoji. Never another name.
  const std::wstring foreignNames[] = {L"a\uFF02 b\uFF02.exe", L"50\uFF05.exe", L"a\uFF3Cb.exe", L"a\uFF06b.exe",
                                       L"\u0141.exe", L"\u0416.exe", L"\U0001F600.exe"};
  for (const std::wstring& name : foreignNames)
    ASSERT_TRUE(CopyFileW(W(ArgRecorderPath()).c_str(), (W(links) + L"\\" + name).c_str(), FALSE));
  TWindowsImportReader reader;
  const TFolderMenu imported = MenuOfFolder(reader, links, {});
  std::vector<std::u16string> refused;
  for (const TRefusedItem& item : imported.Refused) refused.push_back(item.Path);
  for (const std::wstring& name : foreignNames) {
    const std::u16string path = U16(W(links) + L"\\" + name);
    EXPECT_NE(std::find(refused.begin(), refused.end(), path), refused.end()) << ForeignTextInCodes(U16(name));
  }
  EXPECT_EQ(imported.Groups.size(), 5u) << "no look-alike came in";
  // Refused, each with its name as it is: the link's own name, or its target.
  EXPECT_EQ(imported.BrokenLinks, std::vector<std::string>());
  ASSERT_EQ(imported.Refused.size(), 2u + std::size(foreignNames));
  EXPECT_NE(std::find(refused.begin(), refused.end(), U16(W(links) + L"\\\u0416\u0443\u0440\u043D\u0430\u043B.lnk")),
            refused.end());
  const auto polish = std::find(refused.begin(), refused.end(), U16(W(links) + L"\\Polnisch.lnk"));
  ASSERT_NE(polish, refused.end());
  EXPECT_EQ(imported.Refused[polish - refused.begin()].Reason, ForeignTextMessage(U16(foreign + L"\\rec.exe")));
  for (const auto& row : rows) {
    std::string name;
    if (!row.Folder || !TryNarrow(row.Name, name)) continue;
    SCOPED_TRACE(name);
    const std::string log = temp / row.Folder + "\\rec.log";
    OpenThroughTheShell(W(links) + L"\\" + row.Name + L".lnk");
    ASSERT_EQ(WaitForRecords(log, 1).size(), 1u);
    const TExecGroup* group = nullptr;
    for (const TExecGroup& g : imported.Groups)
      if (g.Name == name) group = &g;
    ASSERT_NE(group, nullptr);
    bool aborted = false;
    RunExecLines(host, TProject(), group->Lines, aborted, 0, -1);
    const std::vector<TRecord> records = WaitForRecords(log, 2);
    ASSERT_EQ(records.size(), 2u);
    EXPECT_EQ(records[1].CommandLine, records[0].CommandLine);
    EXPECT_EQ(records[1].Args, records[0].Args);
  }
  EXPECT_EQ(GetFileAttributesA("C:\\injected"), INVALID_FILE_ATTRIBUTES);
  CoUninitialize();
}

TEST(LinkExactness, AFolderLinkedToItselfIsImportedOnce) {
  ASSERT_HRESULT_SUCCEEDED(CoInitialize(nullptr));
  UseNativePlatform();
  TTempFolder temp;
  const std::string root = temp / "M";
  ASSERT_TRUE(CreateDirectoryA(root.c_str(), nullptr));
  ASSERT_TRUE(CreateDirectoryA((root + "\\Unter").c_str(), nullptr));
  PlaceRecorder(root + "\\a.exe");
  TWindowsImportReader reader;
  // A folder is told by what it is, not by the path that reaches it.
  const std::string identity = reader.FolderIdentity(root);
  ASSERT_FALSE(identity.empty());
  EXPECT_EQ(reader.FolderIdentity(UpperText(root)), identity);
  EXPECT_NE(reader.FolderIdentity(root + "\\Unter"), identity);
  // Folders that lead back to the one they lie in, where this system makes
  // them (Wine 8 answers but makes none).
  for (const char* name : {"\\Schleife", "\\Unter\\Zurück"})
    CreateSymbolicLinkW(W(root + name).c_str(), W(root).c_str(), SYMBOLIC_LINK_FLAG_DIRECTORY);
  const TFolderMenu imported = MenuOfFolder(reader, root, {});
  std::string menu;
  for (const TTRVMenuItem& entry : imported.Menu) menu += std::to_string(entry.Level) + entry.Text + " ";
  EXPECT_EQ(menu, "0a ");
  CoUninitialize();
}

}  // namespace
