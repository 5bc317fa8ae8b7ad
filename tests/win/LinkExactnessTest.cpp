// Links as the shell opens them and as the lines an import makes of them:
// both start the same command line, or the link is refused with a reason.
#include <gtest/gtest.h>
#include <windows.h>
#include <objbase.h>
#include <shellapi.h>
#include <shlobj.h>

#include <string>

#include "config/FolderImport_win.h"
#include "framework/Application.h"
#include "launcher/Interpreter.h"
#include "launcher/LauncherHost_win.h"
#include "model/Project.h"
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
  UseWindowsLauncherHost();
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
  TWindowsFolderReader reader;
  const TFolderMenu imported = MenuOfFolder(reader, links, {});
  // Refused, each with its name as it is: the link's own name, or its target.
  EXPECT_EQ(imported.BrokenLinks, std::vector<std::string>());
  ASSERT_EQ(imported.Refused.size(), 2u);
  EXPECT_EQ(imported.Refused[0].Path, U16(W(links) + L"\\\u0416\u0443\u0440\u043D\u0430\u043B.lnk"));
  EXPECT_EQ(imported.Refused[1].Path, U16(W(links) + L"\\Polnisch.lnk"));
  EXPECT_EQ(imported.Refused[1].Reason, ForeignTextMessage(U16(foreign + L"\\rec.exe")));
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
    RunExecLines(TProject(), group->Lines, aborted, 0, -1);
    const std::vector<TRecord> records = WaitForRecords(log, 2);
    ASSERT_EQ(records.size(), 2u);
    EXPECT_EQ(records[1].CommandLine, records[0].CommandLine);
    EXPECT_EQ(records[1].Args, records[0].Args);
  }
  EXPECT_EQ(GetFileAttributesA("C:\\injected"), INVALID_FILE_ATTRIBUTES);
  LauncherHost = nullptr;
  CoUninitialize();
}

}  // namespace
