// Start-to-exit time of TRV.EXE in popup mode on a menu-less project of
// 1,000 groups of no-op lines, against the minimal program, both started
// the same way in turn; medians and best of several runs. TRV.EXE is
// measured as built, which is as shipped (stripped).
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

namespace {

std::string Folder() {
  char buffer[MAX_PATH];
  DWORD n = GetModuleFileNameA(nullptr, buffer, MAX_PATH);
  std::string path(buffer, n);
  return path.substr(0, path.find_last_of('\\') + 1);
}

double RunOnce(const std::string& command) {
  LARGE_INTEGER f, a, b;
  QueryPerformanceFrequency(&f);
  std::vector<char> line(command.begin(), command.end());
  line.push_back('\0');
  STARTUPINFOA si = {};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi = {};
  QueryPerformanceCounter(&a);
  if (!CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) return -1;
  WaitForSingleObject(pi.hProcess, INFINITE);
  QueryPerformanceCounter(&b);
  DWORD code = 1;
  GetExitCodeProcess(pi.hProcess, &code);
  CloseHandle(pi.hProcess);
  CloseHandle(pi.hThread);
  if (code != 0) std::printf("exit code %lu from %s\n", code, command.c_str());
  return double(b.QuadPart - a.QuadPart) * 1000.0 / double(f.QuadPart);
}

double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v[v.size() / 2];
}

}  // namespace

int main() {
  const std::string folder = Folder();
  char temp[MAX_PATH];
  GetTempPathA(MAX_PATH, temp);
  const std::string project = std::string(temp) + "tarvo-bench-1000.trv";
  std::string text = "[ExecGroups]\r\n";
  for (int i = 0; i < 1000; ++i)
    text += "Gruppe " + std::to_string(i) + "\r\n 4 Doppelklicken zum Bearbeiten\r\n 6 Verzweigungsende\r\n";
  text += "[NotUsed:MenuItems]\r\n";
  HANDLE h = CreateFileA(project.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  DWORD written;
  WriteFile(h, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
  CloseHandle(h);

  // TRV.EXE as built (and shipped), run in turn with the minimal program.
  const std::string minimal = "\"" + folder + "bench_minimal.exe\"";
  const struct {
    const char* name;
    std::string command;
  } programs[] = {
      {"TRV.EXE", "\"" + folder + "TRV.EXE\" \"" + project + "\""},
  };
  std::printf("popup mode, 1000 groups without menu; medians and best of 15 runs:\n");
  for (const auto& program : programs) {
    std::vector<double> t, m;
    RunOnce(program.command);
    RunOnce(minimal);
    for (int i = 0; i < 15; ++i) {
      t.push_back(RunOnce(program.command));
      m.push_back(RunOnce(minimal));
    }
    // The best run shows the cost without the machine's other work; the
    // median what a user sees.
    double tm = Median(t), mm = Median(m);
    double tb = *std::min_element(t.begin(), t.end()), mb = *std::min_element(m.begin(), m.end());
    std::printf("%s: %.1f ms median, %.1f ms best; minimal program: %.1f ms median, %.1f ms best; "
                "ratio %.2f (medians), %.2f (best runs)\n",
                program.name, tm, tb, mm, mb, tm / mm, tb / mb);
  }
  DeleteFileA(project.c_str());
  return 0;
}
