#include "launcher/MenuIcons_win.h"

#include <shellapi.h>
#include <shlobj.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <set>
#include <thread>

#include "framework/Paint.h"
#include "model/Files_win.h"
#include "model/Platform.h"
#include "model/Registry_win.h"
#include "model/Wide_win.h"

namespace {

// A bare program name ("notepad.exe") is found where the system finds it,
// in whatever folder: the path only goes back to Windows.
std::wstring Located(const std::string& path) {
  const std::wstring wide = W(path);
  if (path.find('\\') != std::string::npos || path.find(':') != std::string::npos) return wide;
  wchar_t found[MAX_PATH];
  DWORD length = SearchPathW(nullptr, wide.c_str(), L".exe", MAX_PATH, found, nullptr);
  return length > 0 && length < MAX_PATH ? std::wstring(found, length) : wide;
}

UINT DriveType(unsigned char letter) {
  const wchar_t root[] = {static_cast<wchar_t>(letter), L':', L'\\', L'\0'};
  return GetDriveTypeW(root);
}

class TWinIconPlatform : public IIconPlatform {
 public:
  bool Stamp(const std::string& path, TFileStamp& stamp) override {
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExW(Located(path).c_str(), GetFileExInfoStandard, &data)) return false;
    stamp.Time = uint64_t(data.ftLastWriteTime.dwHighDateTime) << 32 | data.ftLastWriteTime.dwLowDateTime;
    stamp.Size = uint64_t(data.nFileSizeHigh) << 32 | data.nFileSizeLow;
    return true;
  }
  bool IsQuick(const std::string& path) override {
    if (path.size() < 3 || path[1] != ':' || path[2] != '\\') return false;
    // Asked once for each drive: the answer takes a trip to the system.
    const unsigned char letter = static_cast<unsigned char>(path[0]) & 0xDF;
    if (letter < 'A' || letter > 'Z') return false;
    char& known = quick_[letter - 'A'];
    if (!known) {
      const UINT type = DriveType(letter);
      known = type == DRIVE_FIXED || type == DRIVE_RAMDISK ? 'y' : 'n';
    }
    return known == 'y';
  }
  bool IsRemoteDrive(const std::string& path) override {
    if (path.size() < 2 || path[1] != ':') return false;
    const unsigned char letter = static_cast<unsigned char>(path[0]) & 0xDF;
    if (letter < 'A' || letter > 'Z') return false;
    // Asked by the menu's thread and the worker alike.
    std::atomic<char>& known = remote_[letter - 'A'];
    if (!known) known = DriveType(letter) == DRIVE_REMOTE ? 'y' : 'n';
    return known == 'y';
  }
  bool Extract(const std::string& path, int size, TIconPixels& icon) override {
    const std::wstring file = Located(path);
    SHFILEINFOW info = {};
    HICON handle = nullptr;
    // The icon drawn for this size where the file has one: a small icon
    // stretched to 24 pixels is blurred.
    if (size != GetSystemMetrics(SM_CXSMICON) &&
        SHGetFileInfoW(file.c_str(), 0, &info, sizeof info, SHGFI_ICONLOCATION) && info.szDisplayName[0])
      SHDefExtractIconW(info.szDisplayName, info.iIcon, 0, &handle, nullptr, static_cast<UINT>(size));
    if (!handle && SHGetFileInfoW(file.c_str(), 0, &info, sizeof info, SHGFI_ICON | SHGFI_SMALLICON))
      handle = info.hIcon;
    if (!handle) return false;
    const bool ok = RenderIcon(handle, size, icon);
    DestroyIcon(handle);
    return ok;
  }

 private:
  char quick_[26] = {};
  std::atomic<char> remote_[26] = {};
};

void MakeFolders(const std::string& file) {
  for (size_t slash = file.find('\\', 3); slash != std::string::npos; slash = file.find('\\', slash + 1))
    CreateDirectoryW(W(file.substr(0, slash)).c_str(), nullptr);
}

HBITMAP TopDownBitmap(int size, void** bits) {
  const BITMAPINFO info = TopDownInfo(size, size);
  return CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, bits, nullptr, 0);
}

BOOL CALLBACK RepaintMenuWindow(HWND wnd, LPARAM) {
  wchar_t windowClass[16] = {};
  if (GetClassNameW(wnd, windowClass, 16) && lstrcmpW(windowClass, L"#32768") == 0)
    InvalidateRect(wnd, nullptr, FALSE);
  return TRUE;
}

}  // namespace

struct TIconLoader::TShared {
  TShared(const std::string& cacheFile, std::unique_ptr<IIconPlatform> shell)
      : CacheFile(cacheFile),
        Shell(std::move(shell)),
        Store(*Shell, *Platform.Files, cacheFile, SmallIconSize(), NetworkIconsWanted()) {}
  std::string CacheFile;
  std::unique_ptr<IIconPlatform> Shell;
  TIconStore Store;
  std::mutex Mutex;
  std::condition_variable Changed;
  // Files on quick disks are looked up before those on shares and the
  // like, so that one share that does not answer holds up only its own.
  std::deque<std::string> Queue;
  size_t QuickQueued = 0;
  std::set<std::string> Asked;
  // Found and not yet taken; the window is woken once for all of them.
  std::vector<TIconResult> Results;
  bool WakePending = false;
  HWND Window = nullptr;
  UINT Message = 0;
  // Abandoned: the loader has gone without the worker; it ends without
  // touching anything but this.
  bool Started = false, Closing = false, Done = false, Abandoned = false;

  // No file, no cache (a folder Windows-1252 cannot hold).
  void SaveCache() {
    if (CacheFile.empty()) return;
    MakeFolders(CacheFile);
    Store.Save();
  }

  void Work() {
    const bool com = SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED));
    std::unique_lock<std::mutex> lock(Mutex);
    for (;;) {
      Changed.wait(lock, [this] { return Closing || (Started && !Queue.empty()); });
      if (Abandoned || Queue.empty()) break;
      const std::string path = Queue.front();
      Queue.pop_front();
      if (QuickQueued) --QuickQueued;
      lock.unlock();
      TIconResult result;
      result.Path = path;
      result.Found = Store.Lookup(path, result.Icon);
      lock.lock();
      if (Abandoned) break;
      Results.push_back(std::move(result));
      if (Window && !WakePending) WakePending = PostMessageW(Window, Message, 0, 0) != FALSE;
    }
    if (Abandoned) return;
    lock.unlock();
    SaveCache();
    if (com) CoUninitialize();
    lock.lock();
    Done = true;
    Changed.notify_all();
  }
};

TIconLoader::TIconLoader(HWND window, UINT message, const std::string& cacheFile,
                         std::unique_ptr<IIconPlatform> platform, DWORD exitWait)
    : shared_(std::make_shared<TShared>(cacheFile.empty() ? IconCacheFile() : cacheFile,
                                        platform ? std::move(platform) : std::make_unique<TWinIconPlatform>())),
      exitWait_(exitWait) {
  shared_->Window = window;
  shared_->Message = message;
}

TIconLoader::~TIconLoader() {
  std::unique_lock<std::mutex> lock(shared_->Mutex);
  shared_->Window = nullptr;
  shared_->Started = true;
  shared_->Closing = true;
  shared_->Changed.notify_all();
  if (!worker_.joinable()) return;
  if (shared_->Changed.wait_for(lock, std::chrono::milliseconds(exitWait_), [this] { return shared_->Done; })) {
    lock.unlock();
    worker_.join();
    return;
  }
  // A share that does not answer must not keep the program from ending,
  // nor keep what was found from the cache. The thread cannot be stopped
  // inside the shell: it is left to end with the process, and from now on
  // touches only what it shares with this loader, which it keeps alive.
  shared_->Abandoned = true;
  lock.unlock();
  shared_->SaveCache();
  shared_->Store.Close();
  worker_.detach();
}

int TIconLoader::Size() const { return shared_->Store.Size(); }

std::vector<TIconResult> TIconLoader::TakeResults() {
  std::lock_guard<std::mutex> lock(shared_->Mutex);
  shared_->WakePending = false;
  std::vector<TIconResult> results;
  results.swap(shared_->Results);
  return results;
}

TIconStore::TAnswer TIconLoader::Quick(const std::string& path, TIconPixels& icon) {
  return shared_->Store.Quick(path, icon);
}

void TIconLoader::Request(const std::string& path) {
  std::lock_guard<std::mutex> lock(shared_->Mutex);
  if (!shared_->Asked.insert(path).second) return;
  if (shared_->Shell->IsQuick(path))
    shared_->Queue.insert(shared_->Queue.begin() + static_cast<std::ptrdiff_t>(shared_->QuickQueued++), path);
  else
    shared_->Queue.push_back(path);
  if (!worker_.joinable()) {
    std::shared_ptr<TShared> shared = shared_;
    worker_ = std::thread([shared] { shared->Work(); });
  }
  shared_->Changed.notify_all();
}

void TIconLoader::Start() {
  std::lock_guard<std::mutex> lock(shared_->Mutex);
  shared_->Started = true;
  shared_->Changed.notify_all();
}


int SmallIconSize() {
  // Wine keeps the small-icon metric at 16 on a denser screen.
  return std::max(GetSystemMetrics(SM_CXSMICON), MulDiv(16, ScreenDpi(), 96));
}

std::string IconCacheFile() {
  const std::wstring folder = LocalAppDataFolderW();
  if (folder.empty()) return "";
  // A folder Windows-1252 cannot hold keeps no cache: the icons are looked
  // up at every start instead.
  std::string narrow;
  if (!TryNarrow(folder, narrow)) return "";
  return narrow + "\\VQ\\" + ProgramRegistryKey + "\\MenuIcons.cache";
}

TIconBitmaps::TIconBitmaps(const TProject& project, ILauncherHost& host, HWND window, UINT message,
                           const std::string& cacheFile, std::unique_ptr<IIconPlatform> platform)
    : project_(project), host_(host), loader_(window, message, cacheFile, std::move(platform)) {}

TIconBitmaps::~TIconBitmaps() {
  for (const auto& bitmap : bitmaps_)
    if (bitmap.second) DeleteObject(bitmap.second);
}

const std::string& TIconBitmaps::TargetOf(int32_t tag) {
  auto target = targets_.find(tag);
  if (target == targets_.end()) target = targets_.emplace(tag, GroupIconTarget(host_, project_, tag)).first;
  return target->second;
}

bool TIconBitmaps::Known(const std::string& path, bool quick, HBITMAP& bitmap) {
  auto known = bitmaps_.find(path);
  if (known == bitmaps_.end() && quick) {
    TIconPixels icon;
    switch (loader_.Quick(path, icon)) {
      case TIconStore::iaIcon:
        known = bitmaps_.emplace(path, MenuBitmap(icon)).first;
        break;
      case TIconStore::iaNone:
        known = bitmaps_.emplace(path, nullptr).first;
        break;
      case TIconStore::iaLater:
        break;
    }
  }
  if (known == bitmaps_.end()) {
    loader_.Request(path);
    return false;
  }
  bitmap = known->second;
  return true;
}

std::vector<std::pair<std::string, HBITMAP>> TIconBitmaps::Arrived() {
  std::vector<std::pair<std::string, HBITMAP>> arrived;
  for (const TIconResult& result : loader_.TakeResults()) {
    HBITMAP& bitmap = bitmaps_[result.Path];
    if (!bitmap && result.Found) bitmap = MenuBitmap(result.Icon);
    arrived.emplace_back(result.Path, bitmap);
  }
  return arrived;
}

bool MenuIconsWanted() {
  TWinRegistry registry;
  return MenuIconsWanted(registry);
}

bool NetworkIconsWanted() {
  TWinRegistry registry;
  return NetworkIconsWanted(registry);
}

HBITMAP MenuBitmap(const TIconPixels& icon) {
  void* bits = nullptr;
  HBITMAP bitmap = TopDownBitmap(icon.Size, &bits);
  if (bitmap) std::copy(icon.Pixels.begin(), icon.Pixels.end(), static_cast<uint32_t*>(bits));
  return bitmap;
}

HICON IconOfPixels(const TIconPixels& icon) {
  void* bits = nullptr;
  HBITMAP colour = TopDownBitmap(icon.Size, &bits);
  if (!colour) return nullptr;
  // Icons carry their colours as they are, not premultiplied.
  uint32_t* out = static_cast<uint32_t*>(bits);
  for (size_t i = 0; i < icon.Pixels.size(); ++i) {
    const uint32_t p = icon.Pixels[i], a = p >> 24;
    if (a == 0) {
      out[i] = 0;
      continue;
    }
    auto channel = [&](int shift) { return std::min<uint32_t>(255, ((p >> shift & 0xFF) * 255 + a / 2) / a) << shift; };
    out[i] = a << 24 | channel(16) | channel(8) | channel(0);
  }
  // The mask too says what is transparent: image lists that draw without
  // the alpha (Wine's) go by it.
  const int stride = (icon.Size + 15) / 16 * 2;
  std::vector<BYTE> maskBits(static_cast<size_t>(stride) * icon.Size, 0);
  for (int y = 0; y < icon.Size; ++y)
    for (int x = 0; x < icon.Size; ++x)
      if (icon.Pixels[static_cast<size_t>(y) * icon.Size + x] >> 24 < 128) maskBits[y * stride + x / 8] |= 0x80 >> (x % 8);
  HBITMAP mask = CreateBitmap(icon.Size, icon.Size, 1, 1, maskBits.data());
  ICONINFO info = {TRUE, 0, 0, mask, colour};
  HICON result = CreateIconIndirect(&info);
  DeleteObject(mask);
  DeleteObject(colour);
  return result;
}

namespace {

// The icon's own 32-bit colours when it has them at the size: their alpha as
// the icon's author made it.
bool AlphaOfIcon(HICON icon, int size, TIconPixels& pixels) {
  ICONINFO info = {};
  if (!GetIconInfo(icon, &info)) return false;
  BITMAP colour = {};
  bool ok = info.hbmColor && GetObject(info.hbmColor, sizeof colour, &colour) && colour.bmBitsPixel == 32 &&
            colour.bmWidth == size && colour.bmHeight == size;
  if (ok) {
    BITMAPINFO format = TopDownInfo(size, size);
    pixels.Size = size;
    pixels.Pixels.assign(static_cast<size_t>(size) * size, 0);
    HDC dc = GetDC(nullptr);
    ok = GetDIBits(dc, info.hbmColor, 0, size, pixels.Pixels.data(), &format, DIB_RGB_COLORS) == size;
    ReleaseDC(nullptr, dc);
    // Without any alpha the mask says what shows.
    ok = ok && std::any_of(pixels.Pixels.begin(), pixels.Pixels.end(), [](uint32_t p) { return p >> 24 != 0; });
    for (uint32_t& p : pixels.Pixels) p = Premultiplied(p);
  }
  if (info.hbmColor) DeleteObject(info.hbmColor);
  if (info.hbmMask) DeleteObject(info.hbmMask);
  return ok;
}

}  // namespace

bool RenderIcon(HICON icon, int size, TIconPixels& pixels) {
  if (AlphaOfIcon(icon, size, pixels)) return true;
  // Drawn once on black and once on white: on black each pixel is its
  // colour times its alpha, already premultiplied, and how far white shows
  // through is what the alpha lets through; this holds for icons of another
  // size and for those with a mask alike.
  void *blackBits = nullptr, *whiteBits = nullptr;
  HBITMAP black = TopDownBitmap(size, &blackBits), white = TopDownBitmap(size, &whiteBits);
  HDC dc = CreateCompatibleDC(nullptr);
  bool ok = black && white && dc;
  if (ok) {
    const size_t count = static_cast<size_t>(size) * size;
    std::fill_n(static_cast<uint32_t*>(blackBits), count, 0u);
    std::fill_n(static_cast<uint32_t*>(whiteBits), count, 0xFFFFFFu);
    HGDIOBJ old = SelectObject(dc, black);
    ok = DrawIconEx(dc, 0, 0, icon, size, size, 0, nullptr, DI_NORMAL);
    SelectObject(dc, white);
    ok = ok && DrawIconEx(dc, 0, 0, icon, size, size, 0, nullptr, DI_NORMAL);
    SelectObject(dc, old);
    GdiFlush();
    pixels.Size = size;
    pixels.Pixels.resize(count);
    const uint32_t* b = static_cast<const uint32_t*>(blackBits);
    const uint32_t* w = static_cast<const uint32_t*>(whiteBits);
    for (size_t i = 0; i < count && ok; ++i) {
      uint32_t through = 0;
      for (int shift = 0; shift < 24; shift += 8)
        through = std::max<uint32_t>(through, (w[i] >> shift & 0xFF) - std::min(w[i] >> shift & 0xFF, b[i] >> shift & 0xFF));
      const uint32_t alpha = 255 - through;
      uint32_t pixel = alpha << 24;
      for (int shift = 0; shift < 24; shift += 8) pixel |= std::min(b[i] >> shift & 0xFF, alpha) << shift;
      pixels.Pixels[i] = pixel;
    }
  }
  if (dc) DeleteDC(dc);
  if (black) DeleteObject(black);
  if (white) DeleteObject(white);
  return ok;
}

void RepaintMenus() { EnumThreadWindows(GetCurrentThreadId(), RepaintMenuWindow, 0); }

bool MenusBlendBitmaps() {
  static const bool blend = [] {
    HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
    if (ntdll && GetProcAddress(ntdll, "wine_get_version")) return false;
    OSVERSIONINFOW version = {};
    version.dwOSVersionInfoSize = sizeof version;
    return GetVersionExW(&version) && version.dwMajorVersion >= 6;
  }();
  return blend;
}

void DrawMenuBitmap(HDC dc, const RECT& rect, HBITMAP bitmap) {
  BITMAP size = {};
  if (!bitmap || !GetObject(bitmap, sizeof size, &size)) return;
  HDC source = CreateCompatibleDC(dc);
  HGDIOBJ old = SelectObject(source, bitmap);
  const BLENDFUNCTION blend = {AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
  GdiAlphaBlend(dc, rect.left + (rect.right - rect.left - size.bmWidth) / 2,
                rect.top + (rect.bottom - rect.top - size.bmHeight) / 2, size.bmWidth, size.bmHeight, source, 0, 0,
                size.bmWidth, size.bmHeight, blend);
  SelectObject(source, old);
  DeleteDC(source);
}
