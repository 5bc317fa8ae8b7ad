#include "config/StartPage_win.h"

#include <cstdlib>
#include <ctime>
#include <string>

#include "config/StartPage.h"
#include "controls/Animation.h"
#include "controls/Drawing.h"
#include "controls/VQControls.h"
#include "framework/Application.h"
#include "resources/Resource.h"
#include "model/Wide_win.h"

// Every frame is drawn into a bitmap and shown in one blit, so nothing
// flickers. The ring's pictures are turned by our own code (DrawRotated) on
// the bitmap's pixels: Wine's PlgBlt and blits under a turning world
// transform only stretch along the axes.
namespace {
const TFontDef OptionFont = {"Arial", 19};
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

TStartPage::~TStartPage() { Destroying(); }

std::vector<TControlDef> TStartPage::Controls() {
  auto option = [this](const char* name, int top, int tag) {
    return TControlDef{Kind<TDrawnButton>, name, "Page_Start", 8, top, 73, 65, tag, "", coTabStop, {},
                       {On(evClick, this, &TStartPage::Button_OptionClick), On(evMouseDown, this, &TStartPage::Button_OptionMouseDown),
                        On(evMouseUp, this, &TStartPage::Button_OptionMouseUp), balloons_.ExitHides(),
                        Bind(options_[tag - 1])}};
  };
  // The pictures lie on their buttons, which take their clicks and show the
  // hot look over them too.
  auto optionImage = [this](const char* name, int tag) {
    return TControlDef{Kind<TVQImage>, name, "Page_Start", 0, 0, 48, 48, tag, "", 0, {},
                       {Bind(optionImages_[tag - 1])}};
  };
  return {
      {Kind<TLabel>, "Label1", "Page_Start", 0, 0, 801, 73, 0,
       "Mit dem Tarvo (TRV) können Sie sich das Aufrufen von Programmen und Dokumenten erleichtern. TRV stellt Ihnen "
       "die Möglichkeit bereit, eigene Menüs zum Aufrufen von Programmen zu erstellen, die dann durch Betätigen einer "
       "Verknüpfung z.B. auf dem Desktop angezeigt werden.\r\n\r\nWas möchten Sie tun?",
       coWordWrap},
      {Kind<TLabel>, "Label2", "Page_Start", 120, 84, 0, 0, 0, "Menüs und Befehlszeilenfolgen\r\n&erstellen oder bearbeiten",
       coWordWrap | coAutoSize, OptionFont, {FocusControl("Button_Option1")}},
      option("Button_Option1", 72, 1),
      {Kind<TLabel>, "Label3", "Page_Start", 120, 164, 0, 0, 0, "&Verknüpfung zum Aufrufen eines Menüs anlegen", coAutoSize,
       OptionFont, {FocusControl("Button_Option2")}},
      option("Button_Option2", 144, 2),
      {Kind<TLabel>, "Label32", "Page_Start", 120, 236, 0, 0, 0, "Über \"&Tarvo\"...", coAutoSize, OptionFont,
       {FocusControl("Button_Option3")}},
      option("Button_Option3", 216, 3),
      {Kind<TLabel>, "Label4", "Page_Start", 120, 308, 0, 0, 0, "&Beenden", coAutoSize, OptionFont,
       {FocusControl("Button_Option4")}},
      option("Button_Option4", 288, 4),
      optionImage("Image_Option1", 1),
      optionImage("Image_Option2", 2),
      optionImage("Image_Option3", 3),
      optionImage("Image_Option4", 4),
      {Kind<TGraphicPaintBox>, "DXDraw", "Page_Start", 400, 200, 404, 164, 0, "", 0, {},
       {On(evPaint, this, &TStartPage::DXDrawPaint), On(evClick, this, &TStartPage::DXDrawClick), Bind(area_)}},
  };
}

void TStartPage::Shown() {
  for (int n = 1; n <= 4; ++n) {
    TControl& image = *optionImages_[n - 1];
    SetImagePicture(image, ResourcePicture(IDI_OPTION1 + n - 1, Scale(48)), 48);
    image.SetParentControl(*options_[n - 1]);
    PlaceOptionImage(n, false);
  }
  // The first still frame.
  DXDrawClick(*area_);
}

void TStartPage::TakeSequenceStep(int option) { sequenceStep_ = NextSequenceStep(sequenceStep_, option); }

void TStartPage::Button_OptionClick(TControl& sender) {
  const int option = sender.Tag;
  if (option == 4 && sequenceStep_ == ClickSequenceComplete) {
    AnimationRunning = !AnimationRunning;
    sequenceStep_ = 0;
    UpdateDXTimer();
    return;
  }
  if (option < 4) TakeSequenceStep(option);
  if (OptionChosen) OptionChosen(option);
}

// The picture is placed, never moved by an amount: a release without its
// press (pressed elsewhere) or a press without its release (right button,
// released elsewhere) would otherwise leave it off centre for good.
void TStartPage::Button_OptionMouseDown(TControl& sender, TMouseButton button, int, int) {
  PlaceOptionImage(sender.Tag, button == mbLeft);
}

void TStartPage::Button_OptionMouseUp(TControl& sender, TMouseButton, int, int) { PlaceOptionImage(sender.Tag, false); }

void TStartPage::PlaceOptionImage(int option, bool pressed) {
  TControl& button = *options_[option - 1];
  TControl& image = *optionImages_[option - 1];
  const int nudge = pressed ? 2 : 0;
  image.SetPosition(CenterOffset(button.Width(), image.Width()) + nudge,
                    CenterOffset(button.Height(), image.Height()) + nudge);
}

void TStartPage::ApplicationActivated(bool active) {
  applicationActive_ = active;
  UpdateDXTimer();
}

void TStartPage::Created() {
  // As the surface reads it: 0x00RRGGBB.
  backgroundColor_ = ExchangeRedBlue(GetSysColor(COLOR_BTNFACE));
  TControl& area = *area_;
  radiusX_ = AnimationRadius(area.Width(), Scale(SpriteWidth));
  radiusY_ = AnimationRadius(area.Height(), Scale(SpriteHeight));
  srand(static_cast<unsigned>(time(nullptr)));
  // The picture's pixels as a DIB section of 32 bits holds them.
  HBITMAP picture = static_cast<HBITMAP>(LoadImageA(GetModuleHandleA(nullptr), "SPRITE", IMAGE_BITMAP, 0, 0, 0));
  if (picture) {
    BITMAPINFO info = TopDownInfo(SpriteWidth, SpriteHeight);
    spritePixels_.assign(SpriteWidth * SpriteHeight, 0xFFFFFFu);
    HDC screen = GetDC(nullptr);
    GetDIBits(screen, picture, 0, SpriteHeight, spritePixels_.data(), &info, DIB_RGB_COLORS);
    ReleaseDC(nullptr, screen);
    DeleteObject(picture);
  }
  dxTimer_ = &form_.AddTimer();
  dxTimer_->SetInterval(FrameInterval());
  dxTimer_->OnTimer = [this] {
    // A hidden or minimised window draws nothing.
    if (IsWindowVisible(form_.Handle) && !IsIconic(form_.Handle)) DXTimerTimer();
  };
}

void TStartPage::Destroying() {
  if (frameDC_) {
    SelectObject(frameDC_, oldFrameBitmap_);
    DeleteDC(frameDC_);
  }
  frameDC_ = nullptr;
  if (frame_) DeleteObject(frame_);
  frame_ = nullptr;
}

void TStartPage::DXDrawClick(TControl&) {
  imageCount_ = AnimationImageCount(rand() % 17);
  DXTimerTimer();
}

void TStartPage::UpdateDXTimer() {
  if (dxTimer_)
    dxTimer_->SetEnabled(AnimationRunning && applicationActive_ && shownPage_ == PageStart);
}

// The new frame is drawn whatever the page; the timer runs on the start
// page only.
void TStartPage::NotebookPageChanged(int page) {
  shownPage_ = page;
  DXDrawClick(*area_);
  UpdateDXTimer();
}

void TStartPage::DXTimerTimer() {
  TControl& area = *area_;
  const int w = area.Width(), h = area.Height();
  // The frame's bitmap and its DC live as long as the page: a frame costs
  // only its drawing, 60 times a second.
  if (!frameDC_) {
    const BITMAPINFO info = TopDownInfo(w, h);
    void* bits = nullptr;
    frame_ = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    frameDC_ = CreateCompatibleDC(nullptr);
    oldFrameBitmap_ = SelectObject(frameDC_, frame_);
  }
  HDC dc = frameDC_;

  RECT all = {0, 0, w, h};
  FillRect(dc, &all, ColorBrush(ExchangeRedBlue(backgroundColor_)));

  // The window's font (the system's message font by now), 16 points.
  HGDIOBJ oldFont = SelectObject(dc, FontHandle(form_.FontName, 21, true, true));
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
  const std::wstring title = W(Application.Title);
  SIZE size = {0, 0};
  GetTextExtentPoint32W(dc, title.c_str(), static_cast<int>(title.size()), &size);
  TextOutW(dc, (w - size.cx) / 2, (h - size.cy) / 2, title.c_str(), static_cast<int>(title.size()));
  SelectObject(dc, oldFont);

  DIBSECTION section = {};
  if (frame_ && GetObjectA(frame_, sizeof section, &section) && section.dsBm.bmBits && !spritePixels_.empty()) {
    GdiFlush();
    TPixels frame{w, h, static_cast<uint32_t*>(section.dsBm.bmBits)};
    const TPixels sprite{SpriteWidth, SpriteHeight, spritePixels_.data()};
    for (const TSpritePlace& place : AnimationFrame(imageCount_, phase_, w, h, radiusX_, radiusY_))
      DrawRotated(frame, sprite, Scale(100) / 100.0, place.X, place.Y, place.Angle, 0xFFFFFFu);
  }
  phase_ = NextAnimationPhase(phase_);
  // Shown at once, straight onto the page: the area has no window.
  if (area.Visible()) {
    HWND page = area.ParentHandle();
    HDC pageDC = GetDC(page);
    BitBlt(pageDC, area.Left(), area.Top(), w, h, dc, 0, 0, SRCCOPY);
    ReleaseDC(page, pageDC);
  }
}

void TStartPage::DXDrawPaint(TControl& sender, HDC dc) {
  if (frameDC_) BitBlt(dc, 0, 0, sender.Width(), sender.Height(), frameDC_, 0, 0, SRCCOPY);
}
