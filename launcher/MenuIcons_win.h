// The shell's icons on Windows: looked up on a worker thread, answered from
// the per-user cache without waiting, and made into what menus, trees and
// lists draw.
#pragma once

#include <windows.h>

#include <memory>
#include <string>

#include "launcher/MenuIcons.h"

// One looked-up icon, posted to the window that asked for it; the receiver
// takes it with TIconLoader::Take.
struct TIconResult {
  std::string Path;
  bool Found = false;
  TIconPixels Icon;
};

class TIconLoader {
 public:
  // Results go to window as message, their TIconResult in lParam.
  // cacheFile "" means the per-user cache in the local application data.
  TIconLoader(HWND window, UINT message, const std::string& cacheFile = "");
  // Lets the worker finish what it was asked, for a few seconds at most,
  // so that the next start finds the cache warm; no results are posted any
  // more.
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
  static std::unique_ptr<TIconResult> Take(LPARAM lParam);

 private:
  struct TShared;
  std::shared_ptr<TShared> shared_;
};

// The small-icon size of the screen (16 at 96 DPI, 24 at 144).
int SmallIconSize();
// "<local application data>\VQ\Tarvo\MenuIcons.cache".
std::string IconCacheFile();
// Whether menus show icons (the registry's "MenuIcons").
bool MenuIconsWanted();

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
