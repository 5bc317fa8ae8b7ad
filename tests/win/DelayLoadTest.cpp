// TRV.EXE loads the windowing, shell and COM DLLs only at their first call:
// its import tables as they are in the file, and the DLLs a popup run of a
// project that shows nothing really loads, seen as the run's debugger; the
// configuration window shows before the Common Controls load.
#include <windows.h>
#include <psapi.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstring>
#include <functional>
#include <set>
#include <string>
#include <vector>

#include "model/Codec.h"
#include "tests/win/LauncherTestSupport.h"
#include "tests/win/WinTestSupport.h"

namespace {

std::string Lower(std::string s) {
  std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return s;
}

struct TDelayImport {
  std::string Dll;
  uint32_t Attributes = 0;
  std::vector<std::string> Functions;  // "#n" for an import by ordinal
  std::vector<uint32_t> InitialSlots;  // the delay IAT as in the file
};

// TRV.EXE's import tables, read from the file through its PE headers.
class TImage {
 public:
  explicit TImage(const std::string& path) : bytes_(ReadFileBytes(path)) {
    if (bytes_.size() < 0x40) return;
    const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(bytes_.data());
    if (dos->e_magic != IMAGE_DOS_SIGNATURE || dos->e_lfanew <= 0 ||
        bytes_.size() < dos->e_lfanew + sizeof(IMAGE_NT_HEADERS32))
      return;
    nt_ = reinterpret_cast<const IMAGE_NT_HEADERS32*>(bytes_.data() + dos->e_lfanew);
    if (nt_->Signature != IMAGE_NT_SIGNATURE || nt_->OptionalHeader.Magic != IMAGE_NT_OPTIONAL_HDR32_MAGIC) nt_ = nullptr;
  }

  bool Valid() const { return nt_ != nullptr; }
  uint32_t ImageBase() const { return nt_->OptionalHeader.ImageBase; }

  IMAGE_DATA_DIRECTORY Directory(int index) const {
    if (static_cast<DWORD>(index) >= nt_->OptionalHeader.NumberOfRvaAndSizes) return {};
    return nt_->OptionalHeader.DataDirectory[index];
  }

  // The section holding an address, or null.
  const IMAGE_SECTION_HEADER* SectionOf(uint32_t rva) const {
    const IMAGE_SECTION_HEADER* section = IMAGE_FIRST_SECTION(nt_);
    for (int i = 0; i < nt_->FileHeader.NumberOfSections; ++i, ++section) {
      const uint32_t size = std::max(section->Misc.VirtualSize, section->SizeOfRawData);
      if (rva >= section->VirtualAddress && rva < section->VirtualAddress + size) return section;
    }
    return nullptr;
  }

  // The file's bytes at an address, or null when it is not in the file.
  const char* At(uint32_t rva, size_t length = 1) const {
    const IMAGE_SECTION_HEADER* section = SectionOf(rva);
    if (!section) return nullptr;
    const uint32_t offset = rva - section->VirtualAddress;
    if (offset + length > section->SizeOfRawData) return nullptr;
    const size_t at = section->PointerToRawData + offset;
    return at + length <= bytes_.size() ? bytes_.data() + at : nullptr;
  }

  uint32_t U32(uint32_t rva) const {
    const char* p = At(rva, 4);
    uint32_t value = 0;
    if (p) std::memcpy(&value, p, 4);
    return value;
  }

  std::string String(uint32_t rva) const {
    std::string s;
    for (const char* p = At(rva); p && *p && s.size() < 256; p = At(++rva)) s += *p;
    return s;
  }

  std::set<std::string> StaticImports() const {
    std::set<std::string> dlls;
    const IMAGE_DATA_DIRECTORY dir = Directory(IMAGE_DIRECTORY_ENTRY_IMPORT);
    for (uint32_t rva = dir.VirtualAddress; dir.VirtualAddress && At(rva, sizeof(IMAGE_IMPORT_DESCRIPTOR));
         rva += sizeof(IMAGE_IMPORT_DESCRIPTOR)) {
      IMAGE_IMPORT_DESCRIPTOR d;
      std::memcpy(&d, At(rva), sizeof d);
      if (d.Name == 0) break;
      dlls.insert(Lower(String(d.Name)));
    }
    return dlls;
  }

  std::vector<TDelayImport> DelayImports() const {
    std::vector<TDelayImport> imports;
    const IMAGE_DATA_DIRECTORY dir = Directory(IMAGE_DIRECTORY_ENTRY_DELAY_IMPORT);
    for (uint32_t rva = dir.VirtualAddress; dir.VirtualAddress && At(rva, 32) && imports.size() < 64; rva += 32) {
      // grAttrs, rvaDLLName, rvaHmod, rvaIAT, rvaINT, ...
      const uint32_t attributes = U32(rva), name = U32(rva + 4), iat = U32(rva + 12), names = U32(rva + 16);
      if (name == 0) break;
      TDelayImport import;
      import.Dll = Lower(String(name));
      import.Attributes = attributes;
      for (uint32_t i = 0; i < 4096; ++i) {
        const uint32_t entry = U32(names + 4 * i);
        if (entry == 0) break;
        import.Functions.push_back(entry & IMAGE_ORDINAL_FLAG32 ? "#" + std::to_string(entry & 0xFFFF)
                                                                : String(entry + 2));
        import.InitialSlots.push_back(U32(iat + 4 * i));
      }
      imports.push_back(import);
    }
    return imports;
  }

 private:
  std::string bytes_;
  const IMAGE_NT_HEADERS32* nt_ = nullptr;
};

// The DLLs popup mode must not load before it needs them: the windowing
// (user32 alone connects to the X server under Wine), drawing, shell, COM
// and control DLLs.
const char* const kLateDlls[] = {"user32.dll", "gdi32.dll", "shell32.dll", "ole32.dll",
                                 "comctl32.dll", "comdlg32.dll"};

TEST(DelayLoad, WindowingShellAndComDllsAreDelayImportsOnly) {
  TImage image(TrvExePath());
  ASSERT_TRUE(image.Valid());
  const std::set<std::string> statics = image.StaticImports();
  std::set<std::string> delayed;
  for (const TDelayImport& import : image.DelayImports()) delayed.insert(import.Dll);
  for (const char* dll : kLateDlls) {
    SCOPED_TRACE(dll);
    EXPECT_EQ(statics.count(dll), 0u);
    EXPECT_EQ(delayed.count(dll), 1u);
  }
  // Anything beyond the runtime loads at every start: a new static import
  // belongs in the list of tarvo_delay_load in app/Sources.cmake.
  EXPECT_EQ(statics, (std::set<std::string>{"kernel32.dll", "msvcrt.dll"}));
}

TEST(DelayLoad, EveryDelayImportResolvesAndStartsAtItsStub) {
  TImage image(TrvExePath());
  ASSERT_TRUE(image.Valid());
  const std::vector<TDelayImport> imports = image.DelayImports();
  ASSERT_FALSE(imports.empty());
  size_t functions = 0;
  for (const TDelayImport& import : imports) {
    SCOPED_TRACE(import.Dll);
    // The helper of the MinGW runtime takes only descriptors with addresses
    // relative to the image.
    EXPECT_EQ(import.Attributes, 1u);
    HMODULE dll = LoadLibraryA(import.Dll.c_str());
    ASSERT_NE(dll, nullptr);
    for (size_t i = 0; i < import.Functions.size(); ++i) {
      const std::string& function = import.Functions[i];
      SCOPED_TRACE(function);
      ++functions;
      // Looked up by the undecorated name the DLL exports (no "@8").
      EXPECT_EQ(function.find('@'), std::string::npos);
      EXPECT_NE(GetProcAddress(dll, function[0] == '#' ? MAKEINTRESOURCEA(std::stoi(function.substr(1)))
                                                         : function.c_str()),
                nullptr);
      // Until the first call, the slot leads to the stub that loads the DLL:
      // executable code of the image, never null.
      const uint32_t slot = import.InitialSlots[i];
      ASSERT_GT(slot, image.ImageBase());
      const IMAGE_SECTION_HEADER* section = image.SectionOf(slot - image.ImageBase());
      ASSERT_NE(section, nullptr);
      EXPECT_TRUE(section->Characteristics & IMAGE_SCN_MEM_EXECUTE);
    }
    FreeLibrary(dll);
  }
  EXPECT_GT(functions, 50u);
}

// Runs TRV.EXE as its debugger until it ends: the base names of the DLLs it
// loaded, and its exit code. Kills it when it does not end in time. Each
// DLL's load is told to onLoad while the program stands still at it.
struct TRun {
  std::set<std::string> Dlls;
  DWORD ExitCode = STILL_ACTIVE;
  bool Ended = false;
};

TRun RunWatchingDlls(const std::string& commandLine,
                     const std::function<void(const std::string& dll, DWORD processId)>& onLoad = nullptr) {
  TRun run;
  std::vector<char> line(commandLine.begin(), commandLine.end());
  line.push_back('\0');
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process = {};
  if (!CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, DEBUG_ONLY_THIS_PROCESS, nullptr, nullptr,
                      &startup, &process))
    return run;
  const ULONGLONG deadline = GetTickCount64() + 30000;
  while (GetTickCount64() < deadline) {
    DEBUG_EVENT event = {};
    if (!WaitForDebugEvent(&event, 500)) continue;
    DWORD status = DBG_CONTINUE;
    switch (event.dwDebugEventCode) {
      case CREATE_PROCESS_DEBUG_EVENT:
        if (event.u.CreateProcessInfo.hFile) CloseHandle(event.u.CreateProcessInfo.hFile);
        break;
      case LOAD_DLL_DEBUG_EVENT: {
        char name[MAX_PATH] = "";
        if (GetMappedFileNameA(process.hProcess, event.u.LoadDll.lpBaseOfDll, name, MAX_PATH)) {
          std::string path = Lower(name);
          const std::string dll = path.substr(path.find_last_of("\\/") + 1);
          run.Dlls.insert(dll);
          if (onLoad) onLoad(dll, process.dwProcessId);
        } else {
          run.Dlls.insert("?");
        }
        if (event.u.LoadDll.hFile) CloseHandle(event.u.LoadDll.hFile);
        break;
      }
      case EXCEPTION_DEBUG_EVENT:
        // The loader's breakpoint is ours to pass; every other exception is
        // the program's own to handle.
        if (event.u.Exception.ExceptionRecord.ExceptionCode != EXCEPTION_BREAKPOINT) status = DBG_EXCEPTION_NOT_HANDLED;
        break;
      case EXIT_PROCESS_DEBUG_EVENT:
        run.ExitCode = event.u.ExitProcess.dwExitCode;
        run.Ended = true;
        break;
    }
    ContinueDebugEvent(event.dwProcessId, event.dwThreadId, status);
    if (run.Ended) break;
  }
  if (!run.Ended) TerminateProcess(process.hProcess, 1);
  DebugActiveProcessStop(process.dwProcessId);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return run;
}

std::string NoOpProject(int groups) {
  std::string text = "[ExecGroups]\r\n";
  for (int i = 0; i < groups; ++i)
    text += "Gruppe " + std::to_string(i) + "\r\n 4 Doppelklicken zum Bearbeiten\r\n 6 Verzweigungsende\r\n";
  return text + "[NotUsed:MenuItems]\r\n";
}

TEST(DelayLoad, PopupRunThatShowsNothingLoadsNoWindowingShellOrComDll) {
  TTempFolder folder;
  const std::string project = folder / "leer.trv";
  WriteFileBytes(project, NoOpProject(100));
  const TRun run = RunWatchingDlls("\"" + TrvExePath() + "\" \"" + project + "\"");
  ASSERT_TRUE(run.Ended);
  EXPECT_EQ(run.ExitCode, 0u);
  // The debugger saw the DLLs load at all (the runtime is always there).
  EXPECT_EQ(run.Dlls.count("msvcrt.dll"), 1u) << ::testing::PrintToString(run.Dlls);
  for (const char* dll : kLateDlls) EXPECT_EQ(run.Dlls.count(dll), 0u) << dll;
  EXPECT_EQ(run.Dlls.count("?"), 0u);
}

// The other side: what a run uses is loaded when it is first used. Waiting
// for a started program processes messages (user32); starting it needs no
// shell call, so COM stays uninitialised and ole32 unloaded.
TEST(DelayLoad, PopupRunThatWaitsForAProgramLoadsUser32ButNoCom) {
  TTempFolder folder;
  const std::string log = PlaceRecorder(folder / "rec.exe");
  const std::string project = folder / "warten.trv";
  const std::string command = " 0 " + JoinDelimited({"\"" + folder / "rec.exe" + "\" eins", "1"}, ';');
  WriteFileBytes(project, ProjectText({"[ExecGroups]", "Erste", command, "[NotUsed:MenuItems]"}));
  const TRun run = RunWatchingDlls("\"" + TrvExePath() + "\" \"" + project + "\"");
  ASSERT_TRUE(run.Ended);
  EXPECT_EQ(run.ExitCode, 0u);
  const std::vector<TRecord> records = ReadRecords(log);
  ASSERT_EQ(records.size(), 1u);
  EXPECT_EQ(records[0].Args, std::vector<std::string>{"eins"});
  EXPECT_EQ(run.Dlls.count("user32.dll"), 1u) << ::testing::PrintToString(run.Dlls);
  EXPECT_EQ(run.Dlls.count("ole32.dll"), 0u) << ::testing::PrintToString(run.Dlls);
}

TEST(DelayLoad, TextFileThatIsNoProjectLoadsNoWindowingDll) {
  TTempFolder folder;
  const std::string file = folder / "notiz.txt";
  WriteFileBytes(file, "Einkaufen: Milch, Brot\r\n");
  const TRun run = RunWatchingDlls("\"" + TrvExePath() + "\" \"" + file + "\"");
  ASSERT_TRUE(run.Ended);
  EXPECT_EQ(run.ExitCode, 0u);
  EXPECT_EQ(run.Dlls.count("msvcrt.dll"), 1u) << ::testing::PrintToString(run.Dlls);
  for (const char* dll : kLateDlls) EXPECT_EQ(run.Dlls.count(dll), 0u) << dll;
}

// Its start page holds no control of the Common Controls: under Wine, that
// DLL costs a fifth of the window's start. When it loads, the window is on
// screen with nothing left to paint.
TEST(DelayLoad, ConfigurationWindowIsPaintedBeforeTheCommonControlsLoad) {
  bool loaded = false, shown = false, painted = false;
  const TRun run = RunWatchingDlls("\"" + TrvExePath() + "\"", [&](const std::string& dll, DWORD processId) {
    if (dll != "comctl32.dll" || loaded) return;
    loaded = true;
    const std::vector<HWND> windows = WindowsOf(processId, "TForm1");
    if (windows.empty()) return;
    shown = true;
    painted = !LeftToPaint(windows[0]);
    PostMessageA(windows[0], WM_CLOSE, 0, 0);
  });
  ASSERT_TRUE(loaded) << ::testing::PrintToString(run.Dlls);
  EXPECT_TRUE(shown);
  EXPECT_TRUE(painted);
  EXPECT_TRUE(run.Ended);
  EXPECT_EQ(run.ExitCode, 0u);
}

}  // namespace
