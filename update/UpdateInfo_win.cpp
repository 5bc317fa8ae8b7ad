#include "update/UpdateInfo_win.h"

#include <windows.h>
#include <oleauto.h>

#include <vector>

bool ReadSmallFile(const std::string& fileName, size_t limit, std::string& text) {
  text.clear();
  HANDLE file = CreateFileA(fileName.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
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

bool ConvertText(unsigned from, unsigned to, const std::string& text, std::string& out) {
  out.clear();
  if (text.empty()) return true;
  const int wideSize =
      MultiByteToWideChar(from, MB_ERR_INVALID_CHARS, text.data(), static_cast<int>(text.size()), nullptr, 0);
  if (wideSize <= 0) return false;
  std::wstring wide(static_cast<size_t>(wideSize), L'\0');
  MultiByteToWideChar(from, MB_ERR_INVALID_CHARS, text.data(), static_cast<int>(text.size()), &wide[0], wideSize);
  BOOL lossy = FALSE;
  const int size = WideCharToMultiByte(to, WC_NO_BEST_FIT_CHARS, wide.data(), wideSize, nullptr, 0, nullptr, &lossy);
  if (size <= 0 || lossy) return false;
  out.assign(static_cast<size_t>(size), '\0');
  WideCharToMultiByte(to, WC_NO_BEST_FIT_CHARS, wide.data(), wideSize, &out[0], size, nullptr, &lossy);
  return !lossy;
}

bool ToOemText(const std::string& text, std::string& oem) {
  std::string back;
  return ConvertText(CP_ACP, CP_OEMCP, text, oem) && ConvertText(CP_OEMCP, CP_ACP, oem, back) && back == text;
}

TDateTime TodayDate() {
  SYSTEMTIME now;
  GetLocalTime(&now);
  now.wHour = now.wMinute = now.wSecond = now.wMilliseconds = 0;
  double date = 0;
  SystemTimeToVariantTime(&now, &date);
  return date;
}

TDateTime ProgramFileDate(const std::string& path) {
  WIN32_FILE_ATTRIBUTE_DATA data;
  FILETIME local;
  SYSTEMTIME time;
  if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data) ||
      !FileTimeToLocalFileTime(&data.ftLastWriteTime, &local) || !FileTimeToSystemTime(&local, &time))
    return 0;
  time.wSecond &= ~1;
  time.wMilliseconds = 0;
  double date = 0;
  SystemTimeToVariantTime(&time, &date);
  return date;
}
