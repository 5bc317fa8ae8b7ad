#include "shortcut/ShellLink.h"

#include <windows.h>
#include <objbase.h>
#include <shlobj.h>

#include <vector>

#include "shortcut/ComPtr.h"

EOleSysError::EOleSysError(long errorCode, const std::string& message) : Exception(message), ErrorCode(errorCode) {}

std::string OleErrorText(long errorCode) {
  char* buffer = nullptr;
  DWORD n = FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                           nullptr, static_cast<DWORD>(errorCode), 0, reinterpret_cast<char*>(&buffer), 0, nullptr);
  std::string text;
  if (n > 0 && buffer) text.assign(buffer, n);
  if (buffer) LocalFree(buffer);
  while (!text.empty() && (static_cast<unsigned char>(text.back()) <= ' ' || text.back() == '.')) text.pop_back();
  if (text.empty()) text = Format("OLE-Fehler %08X", static_cast<unsigned>(errorCode));
  return text;
}

void OleCheck(long result) {
  if (FAILED(result)) throw EOleSysError(result, OleErrorText(result));
}

namespace {

// The link file name in UTF-16 for IPersistFile; empty when it does not fit
// the platform's path limit (terminator included) or does not convert.
std::wstring LinkNameW(const std::string& name, size_t limit) {
  int n = MultiByteToWideChar(CP_ACP, 0, name.c_str(), -1, nullptr, 0);
  if (n <= 0 || static_cast<size_t>(n) > limit) return std::wstring();
  std::vector<wchar_t> buffer(n);
  MultiByteToWideChar(CP_ACP, 0, name.c_str(), -1, buffer.data(), n);
  return std::wstring(buffer.data());
}

// A text field read into a buffer of MAX_PATH characters, up to its first NUL.
template <class Getter>
std::string ReadField(Getter get) {
  char buffer[MAX_PATH] = {};
  OleCheck(get(buffer, MAX_PATH));
  buffer[MAX_PATH - 1] = '\0';
  return buffer;
}

}  // namespace

bool CreateShellLink(const std::string& targetPath, const std::string& linkFileName, const std::string& arguments,
                     const std::string& description, const std::string& iconPath, int iconIndex, uint16_t hotkey) {
  // IPersistFile::Save takes the name in a buffer of MAX_PATH units; a longer
  // name would be cut off (and saved elsewhere) instead of failing.
  const std::wstring name = LinkNameW(linkFileName, MAX_PATH);
  if (name.empty()) return false;

  TComPtr<IShellLinkA> link;
  if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA, link.OutVoid())))
    return false;
  // The individual settings are not checked: the save decides success.
  link->SetPath(targetPath.c_str());
  link->SetDescription(description.c_str());
  link->SetHotkey(hotkey);
  if (!arguments.empty()) link->SetArguments(arguments.c_str());
  if (!iconPath.empty()) link->SetIconLocation(iconPath.c_str(), iconIndex);

  TComPtr<IPersistFile> file;
  if (FAILED(link->QueryInterface(IID_IPersistFile, file.OutVoid()))) return false;
  return SUCCEEDED(file->Save(name.c_str(), TRUE));
}

struct TShellLinkReader::TObjects {
  TComPtr<IShellLinkA> Link;
  TComPtr<IPersistFile> File;
};

TShellLinkReader::TShellLinkReader() : objects_(new TObjects) {
  try {
    OleCheck(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER | CLSCTX_LOCAL_SERVER, IID_IShellLinkA,
                              objects_->Link.OutVoid()));
    OleCheck(objects_->Link->QueryInterface(IID_IPersistFile, objects_->File.OutVoid()));
  } catch (...) {
    delete objects_;
    throw;
  }
}

TShellLinkReader::~TShellLinkReader() { delete objects_; }

void TShellLinkReader::Read(const std::string& linkFileName, std::string& targetPath, std::string& arguments,
                            std::string& description, std::string& workingDirectory, std::string& iconPath,
                            int& iconIndex) {
  targetPath.clear();
  arguments.clear();
  description.clear();
  workingDirectory.clear();
  iconPath.clear();
  IShellLinkA* link = objects_->Link.Get();
  const std::wstring name = LinkNameW(linkFileName, static_cast<size_t>(-1));
  OleCheck(objects_->File->Load(name.c_str(), STGM_READ));

  WIN32_FIND_DATAA findData;
  targetPath = ReadField([&](char* b, int n) { return link->GetPath(b, n, &findData, SLGP_UNCPRIORITY); });
  arguments = ReadField([&](char* b, int n) { return link->GetArguments(b, n); });
  description = ReadField([&](char* b, int n) { return link->GetDescription(b, n); });
  workingDirectory = ReadField([&](char* b, int n) { return link->GetWorkingDirectory(b, n); });
  int index = 0;
  iconPath = ReadField([&](char* b, int n) { return link->GetIconLocation(b, n, &index); });
  iconIndex = index;
}

void ReadShellLink(const std::string& linkFileName, std::string& targetPath, std::string& arguments,
                   std::string& description, std::string& workingDirectory, std::string& iconPath, int& iconIndex) {
  TShellLinkReader().Read(linkFileName, targetPath, arguments, description, workingDirectory, iconPath, iconIndex);
}
