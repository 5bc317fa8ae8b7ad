// TVQButton and TVQImage: a push button with a centred icon picture that is
// nudged while the button is held, and an image that reports the mouse
// entering and leaving it. Both are kinds of the window framework's control
// table ("TVQButton", "TVQImage"); these functions set their pictures.
#pragma once

#include <vector>

#include "controls/Drawing.h"
#include "framework/Form.h"

// An icon of the program's resources at the given size (shared, not freed).
HICON ResourceIcon(int id, int size);

// The icon button's picture: copied into its child "VQButton_Icon", which
// takes the picture's size and is centred on the face.
void SetButtonIcon(TControl& button, HICON icon, int size);
// Re-applies the picture: copy into the child and centre it again.
void ButtonIconChanged(TControl& button);

// An image control's picture: the icon at the given size; the control takes
// that size.
void SetImageIcon(TControl& image, HICON icon, int size);

// The icon child of an icon button, if it has one.
TControl* ButtonIconChild(TControl& button);

// Paints a header gradient: each line a vertical stroke from the top down to
// height.
void PaintGradient(HDC dc, const std::vector<TGradientLine>& lines, int height);
