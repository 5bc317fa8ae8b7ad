// The shell's icons on Windows: looked up on a worker thread, answered from
// the per-user cache without waiting, and made into what menus, trees and
// lists draw.
#pragma once

#include <windows.h>

#include <map>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "launcher/MenuIcons.h"

// One looked-up icon, kept by the loader until the window that asked takes
// it (TIconLoader::TakeResults).
struct TIconResult {
  std::string Path;
  bool Found = false;
  TIconPixels Icon;
};

class TIconLoader {
 public:
  // When results come, message is posted to window, with nothing in it:
  // the window takes them with TakeResults. Any process may post it the
  // same message, which then finds nothing; no message hands the program a
  // pointer. cacheFile "" means the per-user cache in the local application
  // data; platform null means the shell's; exitWait: see the destructor.
  TIconLoader(HWND window, UINT message, const std::string& cacheFile = "",
              std::unique_ptr<IIconPlatform> platform = nullptr, DWORD exitWait = 3000);
  // Lets the worker finish what it was asked, exitWait milliseconds at
  // most, so that the next start finds the cache warm, and ends it. When
  // the time is up (a share that does not answer), what it found so far is
  // saved here, and the worker, once its lookup returns, touches nothing of
  // the program's: it only ends. Called before the program's end, never
  // from a static object's destructor.
  ~TIconLoader();
  TIconLoader(const TIconLoader&) = delete;
  TIconLoader& operator=(const TIconLoader&) = delete;

  int Size() const;
  TIconStore::TAnswer Quick(const std::string& path, TIconPixels& icon);
  // Queues a lookup; each path is looked up once.
  void Request(const std::string& path);
  // The worker begins; until then requests wait, so that a menu on its way
  // to the screen has the processor to itself.
  void Start();
  // The results that came since the last call, in their order.
  std::vector<TIconResult> TakeResults();

 private:
  struct TShared;
  std::shared_ptr<TShared> shared_;
  std::thread worker_;
  DWORD exitWait_;
};

// The small-icon size of the screen (16 at 96 DPI, 24 at 144).
int SmallIconSize();
// "<local application data>\VQ\Tarvo\MenuIcons.cache".
std::string IconCacheFile();
class ILauncherHost;
class TProject;

// The bitmaps of the icons a shown menu or list asks for, by the file they
// stand for, and those files for the project's groups: from the cache at
// once where it has them, else from the worker. The popup and the search
// share it; the bitmaps live as long as it does.
class TIconBitmaps {
 public:
  // cacheFile and platform as the loader takes them.
  TIconBitmaps(const TProject& project, ILauncherHost& host, HWND window, UINT message,
               const std::string& cacheFile = "", std::unique_ptr<IIconPlatform> platform = nullptr);
  ~TIconBitmaps();
  TIconBitmaps(const TIconBitmaps&) = delete;
  TIconBitmaps& operator=(const TIconBitmaps&) = delete;
  // The file whose icon stands for the group's entries ("" for none).
  const std::string& TargetOf(int32_t tag);
  // True with the path's bitmap (null: it has none) when it is known, or
  // when quick and the cache has the answer; otherwise the worker is asked
  // and false returned.
  bool Known(const std::string& path, bool quick, HBITMAP& bitmap);
  // The worker's answers since the last call: each path with its bitmap.
  std::vector<std::pair<std::string, HBITMAP>> Arrived();
  void Start() { loader_.Start(); }

 private:
  const TProject& project_;
  ILauncherHost& host_;
  TIconLoader loader_;
  std::map<int32_t, std::string> targets_;  // by group
  std::map<std::string, HBITMAP> bitmaps_;  // by target; null: none
};

// Whether menus show icons (the registry's "MenuIcons").
bool MenuIconsWanted();
// Whether files on the network show their icons (the registry's
// "NetworkIcons").
bool NetworkIconsWanted();

// A 32-bit top-down bitmap of the premultiplied pixels, as menus draw
// bitmaps with their alpha.
HBITMAP MenuBitmap(const TIconPixels& icon);
// An icon of the pixels, for image lists.
HICON IconOfPixels(const TIconPixels& icon);
// The icon drawn at size with its transparency, premultiplied.
bool RenderIcon(HICON icon, int size, TIconPixels& pixels);
// Whether menus draw a 32-bit bitmap with its alpha (Windows since Vista);
// Wine's and older ones copy it as it is, transparent pixels black.
bool MenusBlendBitmaps();
// Draws the premultiplied bitmap centred in the rectangle, blended.
void DrawMenuBitmap(HDC dc, const RECT& rect, HBITMAP bitmap);
// The menu windows of this thread repaint (after their items changed).
void RepaintMenus();
