#include "controls/VQControls.h"

#include <map>
#include <utility>

#include "controls/Drawing.h"

HICON ResourceIcon(int id, int size) {
  static std::map<std::pair<int, int>, HICON> icons;
  auto key = std::make_pair(id, size);
  auto it = icons.find(key);
  if (it != icons.end()) return it->second;
  HICON icon = static_cast<HICON>(
      LoadImageA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(id), IMAGE_ICON, size, size, LR_DEFAULTCOLOR));
  icons[key] = icon;
  return icon;
}

TControl* ButtonIconChild(TControl& button) {
  for (HWND child = GetWindow(button.Handle, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
    auto* c = static_cast<TControl*>(GetPropA(child, "TarvoControl"));
    if (c && c->Name == "VQButton_Icon") return c;
  }
  return nullptr;
}

void SetImageIcon(TControl& image, HICON icon, int size) {
  image.Icon = icon;
  image.IconSize = icon ? size : 0;
  image.SetBounds(image.Left(), image.Top(), image.IconSize, image.IconSize);
  image.Invalidate();
}

void SetButtonIcon(TControl& button, HICON icon, int size) {
  button.Icon = icon;
  button.IconSize = size;
  ButtonIconChanged(button);
}

void ButtonIconChanged(TControl& button) {
  TControl* child = ButtonIconChild(button);
  if (!child) return;
  SetImageIcon(*child, button.Icon, button.IconSize);
  child->SetPosition(CenterOffset(button.Width(), child->Width()), CenterOffset(button.Height(), child->Height()));
}

void PaintGradient(HDC dc, const std::vector<TGradientLine>& lines, int height) {
  for (const TGradientLine& line : lines) {
    HPEN pen = CreatePen(PS_SOLID, 1, line.Color);
    HGDIOBJ old = SelectObject(dc, pen);
    MoveToEx(dc, line.X, 0, nullptr);
    LineTo(dc, line.X, height);
    SelectObject(dc, old);
    DeleteObject(pen);
  }
}
