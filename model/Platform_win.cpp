// The platform services on Windows: Win32 files with a safe replace, German
// collation, and message boxes owned by the application.
#include <windows.h>

#include "model/Errors.h"
#include "model/MessageBox_win.h"
#include "model/Platform.h"
#include "model/Wide_win.h"


namespace {

[[noreturn]] void RaiseLastError() { RaiseInOutError(static_cast<int>(GetLastError())); }

class TWinInputFile : public IInputFile {
 public:
  explicit TWinInputFile(HANDLE h) : h_(h) {}
  ~TWinInputFile() override { CloseHandle(h_); }
  size_t Read(char* buffer, size_t size) override {
    DWORD got = 0;
    if (!ReadFile(h_, buffer, static_cast<DWORD>(size), &got, nullptr)) RaiseLastError();
    return got;
  }

 private:
  HANDLE h_;
};

std::string FolderOf(const std::string& fileName) {
  size_t slash = fileName.find_last_of("\\/");
  if (slash == std::string::npos) return ".";
  if (slash == 0 || fileName[slash - 1] == ':') return fileName.substr(0, slash + 1);
  return fileName.substr(0, slash);
}

class TWinFiles : public IFileSystem {
 public:
  std::unique_ptr<IInputFile> OpenRead(const std::string& fileName) override {
    HANDLE h = CreateFileW(W(fileName).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                           OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    if (h == INVALID_HANDLE_VALUE) RaiseLastError();
    return std::make_unique<TWinInputFile>(h);
  }

  // The new content goes to a temporary file beside the target, is flushed
  // to disk and then replaces the target in one step: a failure anywhere
  // leaves the old project file byte for byte.
  void WriteFileSafely(const std::string& fileName, const std::string& content) override {
    const std::string folder = FolderOf(fileName);
    const std::wstring wideFolder = W(folder), wideName = W(fileName);
    DWORD folderAttributes = GetFileAttributesW(wideFolder.c_str());
    if (folderAttributes == INVALID_FILE_ATTRIBUTES || !(folderAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
      DWORD e = GetLastError();
      RaiseInOutError(folderAttributes == INVALID_FILE_ATTRIBUTES && e != ERROR_FILE_NOT_FOUND ? e : ERROR_PATH_NOT_FOUND);
    }
    // A read-only project stays unwritten, as opening it for writing would
    // refuse. Windows' MoveFileEx refuses too, Wine's replaces it: check here.
    DWORD attributes = GetFileAttributesW(wideName.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY)))
      RaiseInOutError(ERROR_ACCESS_DENIED);
    wchar_t temp[MAX_PATH];
    if (!GetTempFileNameW(wideFolder.c_str(), L"trv", 0, temp)) RaiseLastError();
    HANDLE h = CreateFileW(temp, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) {
      DWORD e = GetLastError();
      DeleteFileW(temp);
      RaiseInOutError(static_cast<int>(e));
    }
    DWORD written = 0;
    BOOL ok = content.empty() ||
              (WriteFile(h, content.data(), static_cast<DWORD>(content.size()), &written, nullptr) &&
               written == content.size());
    ok = ok && FlushFileBuffers(h);
    DWORD e = ok ? 0 : GetLastError();
    CloseHandle(h);
    if (ok && !MoveFileExW(temp, wideName.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
      ok = FALSE;
      e = GetLastError();
    }
    if (!ok) {
      DeleteFileW(temp);
      RaiseInOutError(static_cast<int>(e ? e : ERROR_WRITE_FAULT));
    }
  }
};

// German order on every machine: the program's texts are German, and a
// project sorted here lists its groups the same wherever it is opened. A
// system without the German sort order falls back on the invariant one.
class TWinCollation : public ICollation {
 public:
  int CompareText(const std::string& a, const std::string& b) override {
    const std::wstring wa = W(a), wb = W(b);
    for (LCID locale : {German, static_cast<LCID>(LOCALE_INVARIANT)}) {
      const int r = CompareStringW(locale, NORM_IGNORECASE, wa.data(), static_cast<int>(wa.size()), wb.data(),
                                   static_cast<int>(wb.size()));
      if (r != 0) return r - CSTR_EQUAL;
    }
    return a.compare(b);
  }

 private:
  const LCID German = MAKELCID(MAKELANGID(LANG_GERMAN, SUBLANG_GERMAN), SORT_DEFAULT);
};

}  // namespace

void UseNativePlatform() {
  static TWinFiles files;
  static TWinCollation collation;
  Platform.Files = &files;
  Platform.Collation = &collation;
  Platform.MessageBoxes = &NativeMessageBoxes();
}
