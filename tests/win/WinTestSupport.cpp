#include "tests/win/WinTestSupport.h"

#include <algorithm>
#include <cstring>
#include <fstream>
#include <sstream>

std::string ExeFolder() {
  char buffer[MAX_PATH];
  DWORD n = GetModuleFileNameA(nullptr, buffer, MAX_PATH);
  std::string path(buffer, n);
  return path.substr(0, path.find_last_of('\\') + 1);
}

std::string TrvExePath() { return ExeFolder() + "TRV.EXE"; }

void RemoveTree(const std::string& folder) {
  WIN32_FIND_DATAA data;
  HANDLE find = FindFirstFileA((folder + "*").c_str(), &data);
  if (find != INVALID_HANDLE_VALUE) {
    do {
      std::string name = data.cFileName;
      if (name == "." || name == "..") continue;
      std::string path = folder + name;
      SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
      if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
        RemoveTree(path + "\\");
      else
        DeleteFileA(path.c_str());
    } while (FindNextFileA(find, &data));
    FindClose(find);
  }
  RemoveDirectoryA(folder.c_str());
}

TTempFolder::TTempFolder() {
  char temp[MAX_PATH];
  GetTempPathA(MAX_PATH, temp);
  static int counter = 0;
  path_ = std::string(temp) + "tarvo-" + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(++counter) + "\\";
  RemoveTree(path_);
  CreateDirectoryA(path_.c_str(), nullptr);
}

TTempFolder::~TTempFolder() { RemoveTree(path_); }

std::string ReadFileBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

void WriteFileBytes(const std::string& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary);
  out << bytes;
}

int CountFiles(const std::string& folder) {
  int n = 0;
  WIN32_FIND_DATAA data;
  HANDLE find = FindFirstFileA((folder + "*").c_str(), &data);
  if (find == INVALID_HANDLE_VALUE) return 0;
  do {
    std::string name = data.cFileName;
    if (name != "." && name != "..") ++n;
  } while (FindNextFileA(find, &data));
  FindClose(find);
  return n;
}

std::vector<std::string> FoundNames(const std::string& pattern, bool folders) {
  std::vector<std::string> names;
  WIN32_FIND_DATAA data;
  HANDLE find = FindFirstFileA(pattern.c_str(), &data);
  if (find == INVALID_HANDLE_VALUE) return names;
  do {
    const std::string name = data.cFileName;
    if (name != "." && name != ".." && ((data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) == folders)
      names.push_back(name);
  } while (FindNextFileA(find, &data));
  FindClose(find);
  return names;
}

namespace {
struct TFind {
  const std::function<bool(HWND, DWORD)>& Keep;
  std::vector<HWND> Found;
};
BOOL CALLBACK CollectWindow(HWND window, LPARAM param) {
  TFind& find = *reinterpret_cast<TFind*>(param);
  DWORD pid = 0;
  GetWindowThreadProcessId(window, &pid);
  if (find.Keep(window, pid)) find.Found.push_back(window);
  return TRUE;
}
}  // namespace

std::vector<HWND> TopWindows(const std::function<bool(HWND window, DWORD processId)>& keep) {
  TFind find{keep, {}};
  EnumWindows(CollectWindow, reinterpret_cast<LPARAM>(&find));
  return find.Found;
}

std::string WindowText(HWND window) {
  char text[2048] = "";
  GetWindowTextA(window, text, sizeof text);
  return text;
}

std::vector<HWND> WindowsOf(DWORD processId, const char* className) {
  return TopWindows([&](HWND window, DWORD pid) {
    if (pid != processId || !IsWindowVisible(window)) return false;
    char name[64] = "";
    GetClassNameA(window, name, sizeof name);
    return !className || std::strcmp(name, className) == 0;
  });
}

bool WaitUntil(const std::function<bool()>& condition, int timeoutMs) {
  const DWORD start = GetTickCount();
  while (true) {
    if (condition()) return true;
    if (static_cast<int>(GetTickCount() - start) > timeoutMs) return false;
    Sleep(15);
  }
}

HWND WaitForWindow(DWORD processId, const char* className, const char* caption, DWORD milliseconds) {
  HWND found = nullptr;
  WaitUntil(
      [&] {
        for (HWND window : WindowsOf(processId, className))
          if (!caption || WindowText(window) == caption) return (found = window) != nullptr;
        return false;
      },
      static_cast<int>(milliseconds));
  return found;
}

bool WaitWindowGone(HWND window, DWORD milliseconds) {
  return WaitUntil([&] { return !IsWindow(window) || !IsWindowVisible(window); }, static_cast<int>(milliseconds));
}

COLORREF TScreenPicture::At(POINT screen) const {
  if (!PtInRect(&Rect, screen)) return CLR_INVALID;
  const uint32_t pixel = Pixels[(screen.y - Rect.top) * Width() + (screen.x - Rect.left)];
  return RGB((pixel >> 16) & 0xFF, (pixel >> 8) & 0xFF, pixel & 0xFF);
}

TScreenPicture CaptureWindow(HWND window) {
  TScreenPicture picture;
  if (!GetWindowRect(window, &picture.Rect) || IsRectEmpty(&picture.Rect)) return picture;
  const int w = picture.Width(), h = picture.Rect.bottom - picture.Rect.top;
  BITMAPINFO info = {};
  info.bmiHeader = {sizeof info.bmiHeader, w, -h, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
  void* bits = nullptr;
  HDC screen = GetDC(nullptr);
  HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  HDC memory = CreateCompatibleDC(screen);
  HGDIOBJ old = SelectObject(memory, bitmap);
  BitBlt(memory, 0, 0, w, h, screen, picture.Rect.left, picture.Rect.top, SRCCOPY);
  GdiFlush();
  const uint32_t* first = static_cast<const uint32_t*>(bits);
  picture.Pixels.assign(first, first + static_cast<size_t>(w) * h);
  for (uint32_t& pixel : picture.Pixels) pixel &= 0xFFFFFF;
  SelectObject(memory, old);
  DeleteDC(memory);
  DeleteObject(bitmap);
  ReleaseDC(nullptr, screen);
  return picture;
}

RECT Difference(const TScreenPicture& a, const TScreenPicture& b, const RECT& ignore) {
  if (!EqualRect(&a.Rect, &b.Rect) || a.Pixels.size() != b.Pixels.size())
    return {0, 0, std::max(a.Width(), b.Width()),
            std::max(a.Rect.bottom - a.Rect.top, b.Rect.bottom - b.Rect.top)};
  const int w = a.Width();
  RECT changed = {0, 0, 0, 0};
  bool any = false;
  for (size_t i = 0; i < a.Pixels.size(); ++i) {
    if (a.Pixels[i] == b.Pixels[i]) continue;
    const POINT at = {static_cast<LONG>(i % w), static_cast<LONG>(i / w)};
    if (PtInRect(&ignore, at)) continue;
    if (!any) {
      changed = {at.x, at.y, at.x + 1, at.y + 1};
      any = true;
    } else {
      changed = {std::min(changed.left, at.x), std::min(changed.top, at.y), std::max(changed.right, at.x + 1),
                 std::max(changed.bottom, at.y + 1)};
    }
  }
  return changed;
}

namespace {
BOOL CALLBACK NoteUnpainted(HWND window, LPARAM unpainted) {
  if (IsWindowVisible(window) && GetUpdateRect(window, nullptr, FALSE)) *reinterpret_cast<bool*>(unpainted) = true;
  return TRUE;
}
}  // namespace

bool LeftToPaint(HWND window) {
  bool unpainted = false;
  NoteUnpainted(window, reinterpret_cast<LPARAM>(&unpainted));
  if (!unpainted) EnumChildWindows(window, NoteUnpainted, reinterpret_cast<LPARAM>(&unpainted));
  return unpainted;
}

void LetSettle(DWORD processId) {
  const std::vector<HWND> windows =
      TopWindows([processId](HWND window, DWORD owner) { return owner == processId && IsWindowVisible(window); });
  WaitUntil(
      [&] {
        for (HWND window : windows)
          if (LeftToPaint(window)) return false;
        return true;
      },
      5000);
  for (HWND window : windows) {
    DWORD_PTR ignored = 0;
    SendMessageTimeoutA(window, WM_NULL, 0, 0, SMTO_BLOCK, 5000, &ignored);
  }
}

TScreenPicture SettledPicture(HWND window, const RECT& ignore, const std::function<void()>& pause, int quietMs,
                              int timeoutMs) {
  const DWORD start = GetTickCount();
  TScreenPicture last = CaptureWindow(window);
  DWORD stillSince = GetTickCount();
  while (static_cast<int>(GetTickCount() - start) <= timeoutMs) {
    if (pause)
      pause();
    else
      Sleep(20);
    TScreenPicture next = CaptureWindow(window);
    const RECT changed = Difference(last, next, ignore);
    if (!IsRectEmpty(&changed) || next.Empty() || LeftToPaint(window)) stillSince = GetTickCount();
    last = std::move(next);
    if (static_cast<int>(GetTickCount() - stillSince) >= quietMs) return last;
  }
  return TScreenPicture();
}

void ClickAt(HWND wnd, int x, int y, int clicks) {
  POINT pt = {x, y};
  ClientToScreen(wnd, &pt);
  POINT ignored;
  GetCursorPos(&ignored);  // Wine: the first SetCursorPos of a process needs it
  SetCursorPos(pt.x, pt.y);
  INPUT input[2] = {};
  input[0].type = input[1].type = INPUT_MOUSE;
  input[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
  input[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
  for (int i = 0; i < clicks; ++i) SendInput(2, input, sizeof input[0]);
}

void PressKeys(std::initializer_list<WORD> keys) {
  std::vector<INPUT> inputs;
  for (WORD key : keys) {
    INPUT input = {};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = key;
    inputs.push_back(input);
  }
  for (auto key = keys.end(); key != keys.begin();) {
    INPUT input = {};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = *--key;
    input.ki.dwFlags = KEYEVENTF_KEYUP;
    inputs.push_back(input);
  }
  SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof inputs[0]);
}

void DragMouse(HWND wnd, POINT from, POINT to) {
  ClientToScreen(wnd, &from);
  ClientToScreen(wnd, &to);
  const int width = GetSystemMetrics(SM_CXSCREEN), height = GetSystemMetrics(SM_CYSCREEN);
  auto at = [&](int x, int y, DWORD flags) {
    INPUT input = {};
    input.type = INPUT_MOUSE;
    input.mi.dx = (x * 65535) / (width - 1);
    input.mi.dy = (y * 65535) / (height - 1);
    input.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE | flags;
    return input;
  };
  std::vector<INPUT> inputs = {at(from.x, from.y, 0), at(from.x, from.y, MOUSEEVENTF_LEFTDOWN)};
  const int steps = 8;
  for (int i = 1; i <= steps; ++i)
    inputs.push_back(at(from.x + (to.x - from.x) * i / steps, from.y + (to.y - from.y) * i / steps, 0));
  inputs.push_back(at(to.x, to.y, MOUSEEVENTF_LEFTUP));
  SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof inputs[0]);
}

std::string BalloonText(HWND balloon) {
  char buffer[8192] = {};
  DWORD_PTR length = 0;
  SendMessageTimeoutA(balloon, WM_GETTEXT, sizeof buffer, reinterpret_cast<LPARAM>(buffer), SMTO_ABORTIFHUNG, 5000,
                      &length);
  std::string text = buffer;
  if (!text.empty() && text.back() == '\xA0') text.pop_back();
  return text;
}

std::u16string WideText(HWND wnd) {
  wchar_t text[1024] = L"";
  DWORD_PTR length = 0;
  SendMessageTimeoutW(wnd, WM_GETTEXT, 1024, reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG, 5000, &length);
  return std::u16string(reinterpret_cast<const char16_t*>(text));
}
