#include "controls/VQControls.h"

#include <map>
#include <utility>

#include "controls/Drawing.h"
#include "model/Errors.h"

const bool VQControlsRegistered = RegisterKind<TVQButton>("TVQButton") && RegisterKind<TVQImage>("TVQImage");

namespace {

// A picture that lies on a button passes the mouse's leaving on to the
// button once the mouse has left the button too (the button keeps its hot
// look while the mouse is over its picture).
void PassLeaveToButton(HWND picture) {
  HWND parent = GetParent(picture);
  if (dynamic_cast<TButton*>(ControlOf(parent)) && !CursorInside(parent)) SendMessageA(parent, WM_MOUSELEAVE, 0, 0);
}

// The icon button's picture: its presses are the button's.
class TVQButtonIcon : public TImage {
 public:
  bool Message(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) override {
    HWND button = GetParent(Handle);
    switch (msg) {
      case WM_LBUTTONDOWN:
      case WM_LBUTTONDBLCLK:
        SendMessageA(button, WM_LBUTTONDOWN, 0, 0);
        result = 0;
        return true;
      case WM_LBUTTONUP:
        SendMessageA(button, WM_LBUTTONUP, 0, 0);
        result = 0;
        return true;
      case WM_MOUSELEAVE:
        TImage::Message(msg, wParam, lParam, result);
        PassLeaveToButton(Handle);
        return true;
    }
    return TImage::Message(msg, wParam, lParam, result);
  }
};

}  // namespace

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

bool TVQImage::Message(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) {
  if (msg != WM_MOUSELEAVE) return TImage::Message(msg, wParam, lParam, result);
  TImage::Message(msg, wParam, lParam, result);
  PassLeaveToButton(Handle);
  return true;
}

void TVQButton::Created(const TControlDef& def) {
  icon_ = std::make_unique<TVQButtonIcon>();
  icon_->Kind = "TImage";
  CreateInnerControl(*this, *icon_, Name + "_Icon", coTransparent);
  for (const TProp& p : def.Props)
    if (p.Kind == TProp::pkPicture) SetIcon(ResourceIcon(p.Min, Scale(p.Max)), p.Max);
}

bool TVQButton::Message(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) {
  const bool handled = TButton::Message(msg, wParam, lParam, result);
  // Only the left button presses the button; its picture shows it.
  if (msg == WM_LBUTTONDOWN || msg == WM_LBUTTONDBLCLK) held_ = true;
  if (msg == WM_LBUTTONUP || msg == WM_CAPTURECHANGED || msg == WM_KILLFOCUS) held_ = false;
  if (msg == WM_LBUTTONDOWN || msg == WM_LBUTTONDBLCLK || msg == WM_LBUTTONUP || msg == WM_CAPTURECHANGED ||
      msg == WM_KILLFOCUS)
    PlaceIcon();
  return handled;
}

void TVQButton::SetIcon(HICON icon, int size) {
  if (!icon_) return;
  SetImageIcon(*icon_, icon, size);
  PlaceIcon();
}

void TVQButton::PlaceIcon() {
  if (!icon_) return;
  const int nudge = held_ ? 2 : 0;
  icon_->SetPosition(CenterOffset(Width(), icon_->Width()) + nudge, CenterOffset(Height(), icon_->Height()) + nudge);
}

TControl* ButtonIconChild(TControl& button) {
  auto* b = dynamic_cast<TVQButton*>(&button);
  return b ? b->IconChild() : nullptr;
}

void SetButtonIcon(TControl& button, HICON icon, int size) {
  if (auto* b = dynamic_cast<TVQButton*>(&button)) b->SetIcon(icon, size);
}

void SetImageIcon(TControl& image, HICON icon, int size) {
  image.Icon = icon;
  image.IconSize = icon ? Scale(size) : 0;
  image.SetBounds(image.Left(), image.Top(), image.IconSize, image.IconSize);
  image.Invalidate();
}

void PaintGradient(HDC dc, const std::vector<TGradientLine>& lines, int height) {
  if (lines.empty() || height <= 0) return;
  // One row of the line colours, stretched to the height in one call: a pen
  // for every line costs Wine a round trip each.
  std::vector<DWORD> row;
  row.reserve(lines.size());
  for (const TGradientLine& line : lines)
    row.push_back(GetRValue(line.Color) << 16 | GetGValue(line.Color) << 8 | GetBValue(line.Color));
  BITMAPINFO info = {};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = static_cast<LONG>(row.size());
  info.bmiHeader.biHeight = 1;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  const int oldMode = SetStretchBltMode(dc, COLORONCOLOR);
  StretchDIBits(dc, lines.front().X, 0, static_cast<int>(row.size()), height, 0, 0, static_cast<int>(row.size()), 1,
                row.data(), &info, DIB_RGB_COLORS, SRCCOPY);
  SetStretchBltMode(dc, oldMode);
}
