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

bool ParseShortDate(const std::string& text, TDateTime& date) {
  std::vector<wchar_t> wide(text.size() + 1);
  MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, wide.data(), static_cast<int>(wide.size()));
  DATE parsed = 0;
  if (FAILED(VarDateFromStr(wide.data(), LOCALE_USER_DEFAULT, 0, &parsed))) return false;
  date = parsed;
  return true;
}

std::string ToOemText(const std::string& text) {
  const std::string cut = text.substr(0, MaxOemTextLength);
  std::string oem(cut.size(), '\0');
  CharToOemBuffA(cut.c_str(), &oem[0], static_cast<DWORD>(cut.size()));
  return oem;
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
