#include "update/UpdateInfo_win.h"

#include <windows.h>
#include <oleauto.h>

#include <vector>

bool TIniUpdateInfo::HasSection(const std::string& section) {
  std::vector<char> keys(32768);
  return GetPrivateProfileSectionA(section.c_str(), keys.data(), static_cast<DWORD>(keys.size()),
                                   fileName_.c_str()) > 0;
}

std::string TIniUpdateInfo::Read(const std::string& section, const std::string& key, const std::string& fallback) {
  char value[2048] = "";
  GetPrivateProfileStringA(section.c_str(), key.c_str(), fallback.c_str(), value, sizeof value, fileName_.c_str());
  return value;
}

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
