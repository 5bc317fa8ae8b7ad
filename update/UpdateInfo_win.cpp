#include "update/UpdateInfo_win.h"

#include <windows.h>
#include <oleauto.h>

#include <vector>

#include "model/Wide_win.h"

bool ReadSmallFile(const std::string& fileName, size_t limit, std::string& text) {
  text.clear();
  HANDLE file = CreateFileW(W(fileName).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  std::vector<char> block(limit + 1);
  DWORD read = 0;
  size_t size = 0;
  while (size < block.size() &&
         ReadFile(file, block.data() + size, static_cast<DWORD>(block.size() - size), &read, nullptr) && read)
    size += read;
  CloseHandle(file);
  if (size > limit) return false;
  text.assign(block.data(), size);
  return true;
}

namespace {
std::string ReadInfoFile(const std::string& fileName) {
  // The transfer takes no more; a larger file is none of ours.
  std::string text;
  return ReadSmallFile(fileName, static_cast<size_t>(MaxUpdateInfoSize), text) ? text : "";
}
}  // namespace

TIniUpdateInfo::TIniUpdateInfo(const std::string& fileName) : TUpdateInfoText(ReadInfoFile(fileName)) {}

namespace {

// The pages whose conversions Windows only makes without flags and without
// the used-default pointer: it refuses both there (ERROR_INVALID_FLAGS,
// ERROR_INVALID_PARAMETER). UTF-8 takes the flag that refuses invalid text,
// nothing else.
bool TakesNoFlags(UINT codePage) {
  return codePage == CP_UTF7 || codePage == CP_UTF8 || codePage == 42 || (codePage >= 50220 && codePage <= 50229) ||
         codePage == 52936 || codePage == 54936 || (codePage >= 57002 && codePage <= 57011);
}

// CP_ACP and CP_OEMCP as the pages they are, so that the rules above hold
// on a machine whose pages are UTF-8.
UINT ActualPage(UINT codePage) {
  if (codePage == CP_ACP) return GetACP();
  if (codePage == CP_OEMCP) return GetOEMCP();
  return codePage;
}

bool ToWide(UINT codePage, const std::string& text, std::wstring& wide) {
  if (codePage == 1252) {
    wide = W(text);
    return true;
  }
  wide.clear();
  if (text.empty()) return true;
  const DWORD flags = codePage == CP_UTF8 || !TakesNoFlags(codePage) ? MB_ERR_INVALID_CHARS : 0;
  const int size = MultiByteToWideChar(codePage, flags, text.data(), static_cast<int>(text.size()), nullptr, 0);
  if (size <= 0) return false;
  wide.assign(static_cast<size_t>(size), L'\0');
  return MultiByteToWideChar(codePage, flags, text.data(), static_cast<int>(text.size()), &wide[0], size) == size;
}

bool FromWide(UINT codePage, const std::wstring& wide, std::string& out) {
  if (codePage == 1252) return TryNarrow(wide, out);
  std::string converted;
  if (!wide.empty()) {
    const bool strict = !TakesNoFlags(codePage);
    const DWORD flags = strict ? WC_NO_BEST_FIT_CHARS : codePage == CP_UTF8 ? WC_ERR_INVALID_CHARS : 0;
    BOOL lossy = FALSE;
    BOOL* usedDefault = strict ? &lossy : nullptr;
    const int size = WideCharToMultiByte(codePage, flags, wide.data(), static_cast<int>(wide.size()), nullptr, 0,
                                         nullptr, usedDefault);
    if (size <= 0 || lossy) return false;
    converted.assign(static_cast<size_t>(size), '\0');
    if (WideCharToMultiByte(codePage, flags, wide.data(), static_cast<int>(wide.size()), &converted[0], size, nullptr,
                            usedDefault) != size ||
        lossy)
      return false;
  }
  // The way back tells what the used default cannot: a page converted
  // without it, and any mapping that is not one to one.
  std::wstring back;
  if (!ToWide(codePage, converted, back) || back != wide) return false;
  out.swap(converted);
  return true;
}

}  // namespace

bool ConvertText(unsigned from, unsigned to, const std::string& text, std::string& out) {
  out.clear();
  std::wstring wide;
  return ToWide(ActualPage(from), text, wide) && FromWide(ActualPage(to), wide, out);
}

bool ToOemText(const std::u16string& text, std::string& oem) { return FromWide(GetOEMCP(), W(text), oem); }

bool ToOemText(const std::string& text, std::string& oem) { return ToOemText(WidenText(text), oem); }

TDateTime TodayDate() {
  SYSTEMTIME now;
  GetLocalTime(&now);
  return EncodeDateTime(now.wYear, now.wMonth, now.wDay);
}

TDateTime ProgramFileDate(const std::wstring& path) {
  WIN32_FILE_ATTRIBUTE_DATA data;
  FILETIME local;
  SYSTEMTIME time;
  if (!GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data) ||
      !FileTimeToLocalFileTime(&data.ftLastWriteTime, &local) || !FileTimeToSystemTime(&local, &time))
    return 0;
  // To the two seconds a FAT disk keeps, so that a copy dates as its original.
  return EncodeDateTime(time.wYear, time.wMonth, time.wDay, time.wHour, time.wMinute, time.wSecond & ~1);
}
