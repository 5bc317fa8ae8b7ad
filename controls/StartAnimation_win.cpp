// The start page's animation (TForm1's part): every frame is drawn into a
// bitmap and shown in one blit, so nothing flickers. The ring's pictures are
// turned by our own code (DrawRotated) on the bitmap's pixels: Wine's PlgBlt
// and blits under a turning world transform only stretch along the axes.
#include <cstdlib>
#include <ctime>
#include <vector>

#include "config/MainForm.h"
#include "controls/Animation.h"
#include "framework/Application.h"

namespace {
int ImageCount = 4;
int Phase = 0;
TColorRef BackgroundColor = 0;
int RadiusX = 0, RadiusY = 0;
std::vector<uint32_t> SpritePixels;

// Pixels of 32 bits, rows from the top: what DrawRotated works on.
BITMAPINFO TopDownInfo(int width, int height) {
  BITMAPINFO info = {};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  return info;
}

// The display's refresh rate: one frame per refresh and no more.
UINT FrameInterval() {
  DEVMODEA mode = {};
  mode.dmSize = sizeof mode;
  DWORD rate = 60;
  if (EnumDisplaySettingsA(nullptr, ENUM_CURRENT_SETTINGS, &mode) && mode.dmDisplayFrequency > 1)
    rate = mode.dmDisplayFrequency;
  return rate >= 1000 ? 1 : 1000 / rate;
}
}  // namespace

void TForm1::SetUpAnimation() {
  // As the surface reads it: 0x00RRGGBB.
  BackgroundColor = ExchangeRedBlue(GetSysColor(COLOR_BTNFACE));
  TControl& area = Control("DXDraw");
  RadiusX = AnimationRadius(area.Width(), Scale(SpriteWidth));
  RadiusY = AnimationRadius(area.Height(), Scale(SpriteHeight));
  srand(static_cast<unsigned>(time(nullptr)));
  // The picture's pixels as a DIB section of 32 bits holds them.
  HBITMAP picture = static_cast<HBITMAP>(LoadImageA(GetModuleHandleA(nullptr), "SPRITE", IMAGE_BITMAP, 0, 0, 0));
  if (picture) {
    BITMAPINFO info = TopDownInfo(SpriteWidth, SpriteHeight);
    SpritePixels.assign(SpriteWidth * SpriteHeight, 0xFFFFFFu);
    HDC screen = GetDC(nullptr);
    GetDIBits(screen, picture, 0, SpriteHeight, SpritePixels.data(), &info, DIB_RGB_COLORS);
    ReleaseDC(nullptr, screen);
    DeleteObject(picture);
  }
  DXTimer = &AddTimer();
  DXTimer->SetInterval(FrameInterval());
  DXTimer->OnTimer = [this] {
    // A hidden or minimised window draws nothing.
    if (IsWindowVisible(Handle) && !IsIconic(Handle)) DXTimerTimer();
  };
}

void TForm1::FreeAnimation() {
  for (HBITMAP* bitmap : {&frame_})
    if (*bitmap) {
      DeleteObject(*bitmap);
      *bitmap = nullptr;
    }
}

void TForm1::DXDrawClick(TControl&) {
  ImageCount = AnimationImageCount(rand() % 17);
  DXTimerTimer();
}

void TForm1::UpdateDXTimer() {
  if (DXTimer)
    DXTimer->SetEnabled(AnimationRunning && applicationActive_ && PageIndex("Notebook") == PageStart);
}

// The new frame is drawn whatever the page; the timer runs on the start
// page only.
void TForm1::NotebookPageChanged(int) {
  DXDrawClick(Control("DXDraw"));
  UpdateDXTimer();
  Timer_BalloonTimer();
}

void TForm1::DXTimerTimer() {
  TControl& area = Control("DXDraw");
  const int w = area.Width(), h = area.Height();
  HDC screen = GetDC(area.Handle);
  if (!frame_) {
    const BITMAPINFO info = TopDownInfo(w, h);
    void* bits = nullptr;
    frame_ = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  }
  HDC dc = CreateCompatibleDC(screen);
  HGDIOBJ oldFrame = SelectObject(dc, frame_);

  RECT all = {0, 0, w, h};
  HBRUSH background = CreateSolidBrush(ExchangeRedBlue(BackgroundColor));
  FillRect(dc, &all, background);
  DeleteObject(background);

  // The window's font (the system's message font by now), 16 points.
  HGDIOBJ oldFont = SelectObject(dc, FontHandle(FontName, 21, true, true));
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
  const std::string& title = Application.Title;
  SIZE size = {0, 0};
  GetTextExtentPoint32A(dc, title.c_str(), static_cast<int>(title.size()), &size);
  TextOutA(dc, (w - size.cx) / 2, (h - size.cy) / 2, title.c_str(), static_cast<int>(title.size()));
  SelectObject(dc, oldFont);

  DIBSECTION section = {};
  if (frame_ && GetObjectA(frame_, sizeof section, &section) && section.dsBm.bmBits && !SpritePixels.empty()) {
    GdiFlush();
    TPixels frame{w, h, static_cast<uint32_t*>(section.dsBm.bmBits)};
    const TPixels sprite{SpriteWidth, SpriteHeight, SpritePixels.data()};
    for (const TSpritePlace& place : AnimationFrame(ImageCount, Phase, w, h, RadiusX, RadiusY))
      DrawRotated(frame, sprite, Scale(100) / 100.0, place.X, place.Y, place.Angle, 0xFFFFFFu);
  }
  Phase = NextAnimationPhase(Phase);
  SelectObject(dc, oldFrame);
  DeleteDC(dc);
  ReleaseDC(area.Handle, screen);
  // Shown at once.
  if (IsWindowVisible(area.Handle)) {
    area.Invalidate();
    UpdateWindow(area.Handle);
  }
}

void TForm1::DXDrawPaint(TControl& sender, HDC dc) {
  if (!frame_) return;
  HDC mem = CreateCompatibleDC(dc);
  HGDIOBJ old = SelectObject(mem, frame_);
  BitBlt(dc, 0, 0, sender.Width(), sender.Height(), mem, 0, 0, SRCCOPY);
  SelectObject(mem, old);
  DeleteDC(mem);
}
