#include "shortcut/ShellLink.h"

#include <windows.h>
#include <objbase.h>
#include <shlobj.h>

#include <vector>

#include "framework/Application.h"
#include "model/Wide_win.h"
#include "shortcut/ComPtr.h"

EOleSysError::EOleSysError(long errorCode, const std::string& message) : Exception(message), ErrorCode(errorCode) {}

std::string OleErrorText(long errorCode) {
  wchar_t* buffer = nullptr;
  DWORD n = FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                           nullptr, static_cast<DWORD>(errorCode), 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
  std::string text;
  // A system text in a language Windows-1252 lacks gives the number instead.
  if (n > 0 && buffer && !TryNarrow(std::wstring(buffer, n), text)) text.clear();
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
// the platform's path limit (terminator included).
std::wstring LinkNameW(const std::string& name, size_t limit) {
  std::wstring wide = W(name);
  if (wide.size() + 1 > limit) return std::wstring();
  return wide;
}

// A link holds longer texts than MAX_PATH (arguments of several KB): the
// fields are read whole, never cut.
const int FieldSize = 32768;

// A text field read into the reader's buffer, up to its first NUL.
template <class Getter>
std::wstring ReadField(std::vector<wchar_t>& buffer, Getter get) {
  buffer.assign(FieldSize, L'\0');
  OleCheck(get(buffer.data(), FieldSize));
  buffer[FieldSize - 1] = L'\0';
  return buffer.data();
}

// A field the program only shows: what Windows-1252 lacks leaves it empty.
std::string LenientField(const std::wstring& text) {
  std::string narrow;
  return TryNarrow(text, narrow) ? narrow : std::string();
}

}  // namespace

bool CreateShellLink(const std::string& targetPath, const std::string& linkFileName, const std::string& arguments,
                     const std::string& description, const std::string& iconPath, int iconIndex, uint16_t hotkey) {
  // IPersistFile::Save takes the name in a buffer of MAX_PATH units; a longer
  // name would be cut off (and saved elsewhere) instead of failing.
  const std::wstring name = LinkNameW(linkFileName, MAX_PATH);
  if (name.empty()) return false;

  NeedCom();
  TComPtr<IShellLinkW> link;
  if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW, link.OutVoid())))
    return false;
  // The individual settings are not checked: the save decides success.
  link->SetPath(W(targetPath).c_str());
  link->SetDescription(W(description).c_str());
  link->SetHotkey(hotkey);
  if (!arguments.empty()) link->SetArguments(W(arguments).c_str());
  if (!iconPath.empty()) link->SetIconLocation(W(iconPath).c_str(), iconIndex);

  TComPtr<IPersistFile> file;
  if (FAILED(link->QueryInterface(IID_IPersistFile, file.OutVoid()))) return false;
  return SUCCEEDED(file->Save(name.c_str(), TRUE));
}

struct TShellLinkReader::TObjects {
  TComPtr<IShellLinkW> Link;
  TComPtr<IPersistFile> File;
  // One buffer for every field of every link read.
  std::vector<wchar_t> Buffer;
};

TShellLinkReader::TShellLinkReader() : objects_(new TObjects) {
  NeedCom();
  try {
    OleCheck(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER | CLSCTX_LOCAL_SERVER, IID_IShellLinkW,
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
  IShellLinkW* link = objects_->Link.Get();
  std::vector<wchar_t>& buffer = objects_->Buffer;
  const std::wstring name = LinkNameW(linkFileName, static_cast<size_t>(-1));
  OleCheck(objects_->File->Load(name.c_str(), STGM_READ));

  // The target and the arguments are what the line starts: taken exactly or
  // refused. A target stored only as a shell item has no path: empty.
  // The item list names the target as the shell knows it, also where the
  // link stores nothing else; the path field only where it has none (Wine
  // keeps that field in the ANSI code page, a look-alike for other names).
  std::wstring target;
  LPITEMIDLIST items = nullptr;
  if (SUCCEEDED(link->GetIDList(&items)) && items) {
    buffer.assign(FieldSize, L'\0');
    if (SHGetPathFromIDListEx(items, buffer.data(), FieldSize, GPFIDL_DEFAULT)) target = buffer.data();
    CoTaskMemFree(items);
  }
  WIN32_FIND_DATAW findData;
  if (target.empty())
    target =
        ReadField(buffer, [&](wchar_t* b, int n) { return link->GetPath(b, n, &findData, SLGP_UNCPRIORITY); });
  const std::wstring args = ReadField(buffer, [&](wchar_t* b, int n) { return link->GetArguments(b, n); });
  targetPath = Narrow(target);
  arguments = Narrow(args);
  // The link's own name for itself and its icon only ever show: lenient.
  description = LenientField(ReadField(buffer, [&](wchar_t* b, int n) { return link->GetDescription(b, n); }));
  workingDirectory =
      LenientField(ReadField(buffer, [&](wchar_t* b, int n) { return link->GetWorkingDirectory(b, n); }));
  int index = 0;
  iconPath =
      LenientField(ReadField(buffer, [&](wchar_t* b, int n) { return link->GetIconLocation(b, n, &index); }));
  iconIndex = index;
}

void ReadShellLink(const std::string& linkFileName, std::string& targetPath, std::string& arguments,
                   std::string& description, std::string& workingDirectory, std::string& iconPath, int& iconIndex) {
  TShellLinkReader().Read(linkFileName, targetPath, arguments, description, workingDirectory, iconPath, iconIndex);
}
