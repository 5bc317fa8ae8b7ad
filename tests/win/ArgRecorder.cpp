// A stand-in program started by the launcher under test. It appends one
// record to the file beside itself named like itself with ".log":
//   start <ms>            when it started (system-wide tick count)
//   cmdline <text>        its command line as the system passed it
//   arg <text>            each argument after the program name
//   cwd <folder>          its working folder
//   show <n>              the show state its starter asked for
//                         (wShowWindow), "-" when it asked for none
//   end <ms>              when it ended
//   ---
// An argument "/warte=<ms>" makes it wait that long before it ends, and
// "/exit=<n>" makes it end with that exit code.
#include <windows.h>

#include <cstdlib>
#include <string>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  std::string record = "start " + std::to_string(GetTickCount64()) + "\r\n";
  record += std::string("cmdline ") + GetCommandLineA() + "\r\n";
  int exitCode = 0;
  DWORD wait = 0;
  for (int i = 1; i < __argc; ++i) {
    std::string arg = __argv[i];
    record += "arg " + arg + "\r\n";
    if (arg.rfind("/warte=", 0) == 0) wait = static_cast<DWORD>(std::atoi(arg.c_str() + 7));
    if (arg.rfind("/exit=", 0) == 0) exitCode = std::atoi(arg.c_str() + 6);
  }
  char folder[MAX_PATH] = "";
  GetCurrentDirectoryA(MAX_PATH, folder);
  record += std::string("cwd ") + folder + "\r\n";
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  GetStartupInfoA(&startup);
  record += "show " +
            (startup.dwFlags & STARTF_USESHOWWINDOW ? std::to_string(startup.wShowWindow) : std::string("-")) +
            "\r\n";
  if (wait) Sleep(wait);
  record += "end " + std::to_string(GetTickCount64()) + "\r\n---\r\n";

  char self[MAX_PATH] = "";
  GetModuleFileNameA(nullptr, self, MAX_PATH);
  std::string log = self;
  log = log.substr(0, log.find_last_of('.')) + ".log";
  // Exclusive access, so that records of programs running side by side do
  // not interleave.
  for (int attempt = 0; attempt < 500; ++attempt) {
    HANDLE file = CreateFileA(log.c_str(), FILE_APPEND_DATA, 0, nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file != INVALID_HANDLE_VALUE) {
      DWORD written = 0;
      WriteFile(file, record.data(), static_cast<DWORD>(record.size()), &written, nullptr);
      CloseHandle(file);
      break;
    }
    Sleep(10);
  }
  return exitCode;
}
