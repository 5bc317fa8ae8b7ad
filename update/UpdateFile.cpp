#include "update/UpdateFile.h"

#include "controls/Maker.h"
#include "framework/Application.h"
#include "model/Files_win.h"
#include "model/MessageBox_win.h"
#include "model/Registry_win.h"
#include "model/Wide_win.h"
#include "update/InstallScript_win.h"
#include "update/StatusForm.h"
#include "update/UpdateInfo_win.h"
#include "update/UpdateSettings.h"

namespace {

// Only a program on a drive of its own updates: not from a CD, nor from a
// path that names no drive.
bool DriveAllowsUpdates(const std::wstring& programPath) {
  switch (GetDriveTypeW(programPath.substr(0, 3).c_str())) {
    case DRIVE_REMOVABLE:
    case DRIVE_FIXED:
    case DRIVE_REMOTE:
    case DRIVE_RAMDISK:
      return true;
    default:
      return false;
  }
}

// The last installation's report, once: the script ran hidden after the
// program had ended, and only now can the user learn how it went.
void ShowInstallReport(TUpdateSettings& settings, const std::wstring& program) {
  const std::string path = InstallReportPath();
  if (path.empty()) return;
  std::string text;
  if (!ReadSmallFile(path, static_cast<size_t>(MaxUpdateInfoSize), text)) return;
  WIN32_FILE_ATTRIBUTE_DATA data = {};
  FILETIME now = {};
  GetSystemTimeAsFileTime(&now);
  const auto ticks = [](const FILETIME& time) {
    return (static_cast<uint64_t>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
  };
  const double age = GetFileAttributesExW(W(path).c_str(), GetFileExInfoStandard, &data) &&
                             ticks(now) > ticks(data.ftLastWriteTime)
                         ? (ticks(now) - ticks(data.ftLastWriteTime)) / 1e7
                         : 0;
  const TInstallReport report = ReadInstallReport(text, age);
  // A script still at work finishes its report first.
  if (report.Outcome == irPending) return;
  DeleteFileW(W(path).c_str());
  RecordInstallReport(settings, report, ProgramFileDate(program));
  ShowMessageBoxA(InstallReportMessage(report), Application.Title,
                  MB_OK | (report.Outcome == irInstalled ? MB_ICONINFORMATION
                           : report.Outcome == irRestoreFailed || report.Outcome == irUnknown
                               ? MB_ICONERROR
                               : MB_ICONWARNING));
}

}  // namespace

bool TVQUpdateFile::ShortCut(WORD key) {
  if (key != 'U' || !(GetKeyState(VK_CONTROL) & 0x8000) || (GetKeyState(VK_MENU) & 0x8000) ||
      (GetKeyState(VK_SHIFT) & 0x8000))
    return false;
  AutomaticUpdate("", true, 0);
  return true;
}

void TVQUpdateFile::AutomaticUpdate(const std::string& appParams, bool manual, TDateTime programDate) {
  if (__argc > 1 && __argv[1] && std::string(__argv[1]) == "/uninstall") return;
  TWinRegistry registry;
  TUpdateSettings settings = OpenUpdateKey(registry, RegistryKey, HKCU);
  const std::wstring program = ProgramFilePathW();
  // A value that cannot be stored must not keep the window from coming up
  // whole: the reminder works from what can be read. A program in a folder
  // Windows-1252 cannot hold keeps the value it had: the wizard's check
  // tells why it cannot update there.
  std::string programPath;
  if (!manual && TryNarrow(program, programPath))
    settings.WriteString("ApplicationFileName", "\"" + programPath + "\"" + (appParams.empty() ? "" : " " + appParams));
  if (!manual) ShowInstallReport(settings, program);

  TReminderState state;
  state.Today = TodayDate();
  if (!settings.ReadDate("Update", state.NextReminder)) state.NextReminder = DefaultReminderDate(state.Today);
  state.NoUpdate = settings.Exists("NoUpdate");
  state.OnlyUpdate = settings.Exists("OnlyUpdate");
  state.Manual = manual;
  // The drive is asked only when the wizard is due (an update-only start
  // always is), which is seldom at a start.
  if (!ShowsWizard(state) || !DriveAllowsUpdates(program)) return;
  // A date that cannot be read stays 0, which makes no release newer.
  if (programDate == 0) programDate = ProgramFileDate(program);
  TStatusForm& wizard = StatusForm();
  wizard.ProgramName = ProgramName;
  wizard.ZIPFileName = ZIPFileName;
  wizard.RegistryKey = RegistryKey;
  wizard.ProgramDate = programDate;
  wizard.Installed = ReadInstalledRelease(settings);
  wizard.HKCU = HKCU;
  std::string host;
  wizard.Host = settings.ReadString("UpdateServer", host) && !host.empty() ? host : MakerUpdateServer;
  wizard.CanEndProgram = CanEndProgram;
  wizard.ShowModal();
  // The main window never shows in an update-only start; the wizard's end
  // actions still run when it goes with the program.
  if (state.OnlyUpdate) Application.Terminate();
}
