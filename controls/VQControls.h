// TVQButton and TVQImage: a push button with a centred icon picture that is
// nudged while the left button holds it pressed, and an image that reports
// the mouse entering and leaving it, also where it lies on a button. Both
// are kinds of the window framework's control tables (Kind<TVQButton>,
// Kind<TVQImage>).
#pragma once

#include <memory>
#include <vector>

#include "controls/Drawing.h"
#include "framework/Form.h"

// An icon of the program's resources at the given size in device pixels
// (shared, not freed).
HICON ResourceIcon(int id, int size);

// The picture of an icon of the program's resources at the given size in
// device pixels, as a 32-bit top-down bitmap of premultiplied pixels (shared,
// not freed): made from the resource's bytes, several times faster than an
// icon under Wine. Null when the icon has no 32-bit picture.
HBITMAP ResourcePicture(int id, int size);

// A picture that may be put onto a button, which then paints it and takes
// its clicks.
class TVQImage : public TImage {};

class TVQButton : public TButton {
 public:
  bool Message(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
  void Created(const TControlDef& def) override;
  // The picture on the face, painted by the button.
  TControl* IconChild() const { return icon_.get(); }
  TControl* InnerControl() const override { return icon_.get(); }
  // The picture: an icon of size x size 96-DPI pixels (not owned).
  void SetIcon(HICON icon, int size);
  // Centres the picture again, 2 pixels lower right while held down.
  void PlaceIcon();

 private:
  std::unique_ptr<TControl> icon_;
  bool held_ = false;
};

// The icon button's picture, if the control is an icon button.
TControl* ButtonIconChild(TControl& button);
// Gives an icon button its picture (size in 96-DPI pixels).
void SetButtonIcon(TControl& button, HICON icon, int size);

// An image control's picture: the icon at the given size in 96-DPI pixels;
// the control takes that size.
void SetImageIcon(TControl& image, HICON icon, int size);
// The same with a picture of premultiplied pixels (ResourcePicture).
void SetImagePicture(TControl& image, HBITMAP picture, int size);

// Paints a header gradient: each line a vertical stroke from the top down to
// height.
void PaintGradient(HDC dc, const std::vector<TGradientLine>& lines, int height);
