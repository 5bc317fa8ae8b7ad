// The start page of the configuration window: four options with their
// pictures, and the animation, a ring of pictures round the title drawn off
// screen and shown in one blit, which the hidden click sequence switches.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <vector>

#include "controls/ConfigPage.h"
#include "controls/VQControls.h"
#include "framework/DrawnButton.h"

class TStartPage : public TConfigPage {
 public:
  using TConfigPage::TConfigPage;
  ~TStartPage() override;
  std::vector<TControlDef> Controls() override;
  void Created() override;
  void Destroying() override;

  // Option 1 to 4 was chosen (the click sequence has had its step).
  std::function<void(int option)> OptionChosen;
  // Picks the click sequence's step of option 1 to 3.
  void TakeSequenceStep(int option);

  // The pictures on the buttons, once the window shows.
  void Shown();
  void NotebookPageChanged(int page);
  void ApplicationActivated(bool active);

  // The frame timer runs while the animation is on, the start page shows
  // and the application is active.
  void UpdateDXTimer();
  void DXTimerTimer();
  bool AnimationRunning = false;
  int SequenceStep() const { return sequenceStep_; }

 private:
  void Button_OptionClick(TControl& sender);
  void Button_OptionMouseDown(TControl& sender, TMouseButton button, int x, int y);
  void Button_OptionMouseUp(TControl& sender, TMouseButton button, int x, int y);
  // The option's picture: centred on its button, 2 pixels lower right while
  // the left button holds the option pressed.
  void PlaceOptionImage(int option, bool pressed);
  void DXDrawClick(TControl& sender);
  void DXDrawPaint(TControl& sender, HDC dc);

  // At the option's number less one: a handler knows its option by the
  // button's Tag.
  TBound<TDrawnButton> options_[4];
  TBound<TVQImage> optionImages_[4];
  TBound<TPaintBox> area_;
  int sequenceStep_ = 0;
  // The page the window last showed: the frame timer runs on the start page
  // only.
  int shownPage_ = PageStart;
  bool applicationActive_ = true;
  TTimer* dxTimer_ = nullptr;
  HBITMAP frame_ = nullptr;
  HDC frameDC_ = nullptr;
  HGDIOBJ oldFrameBitmap_ = nullptr;
  int imageCount_ = 4;
  int phase_ = 0;
  uint32_t backgroundColor_ = 0;
  int radiusX_ = 0, radiusY_ = 0;
  std::vector<uint32_t> spritePixels_;
};
