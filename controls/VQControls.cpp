#include "controls/VQControls.h"

#include <cstdint>
#include <map>
#include <utility>

#include "controls/Drawing.h"
#include "framework/Paint.h"

HBITMAP ResourcePicture(int id, int size) {
  static std::map<std::pair<int, int>, HBITMAP> pictures;
  const auto key = std::make_pair(id, size);
  if (auto it = pictures.find(key); it != pictures.end()) return it->second;
  HBITMAP& picture = pictures[key];
  HMODULE module = GetModuleHandleW(nullptr);
  HRSRC group = FindResourceW(module, MAKEINTRESOURCEW(id), reinterpret_cast<LPCWSTR>(RT_GROUP_ICON));
  auto* directory = group ? static_cast<BYTE*>(LockResource(LoadResource(module, group))) : nullptr;
  const int entry = directory ? LookupIconIdFromDirectoryEx(directory, TRUE, size, size, LR_DEFAULTCOLOR) : 0;
  HRSRC image = entry ? FindResourceW(module, MAKEINTRESOURCEW(entry), reinterpret_cast<LPCWSTR>(RT_ICON)) : nullptr;
  const auto* header = image ? static_cast<const BITMAPINFOHEADER*>(LockResource(LoadResource(module, image))) : nullptr;
  // A 32-bit picture as icons keep it: bottom-up, twice its height for the
  // mask that follows; colours not premultiplied.
  if (!header || SizeofResource(module, image) < sizeof *header || header->biSize != sizeof *header ||
      header->biBitCount != 32 || header->biCompression != BI_RGB || header->biWidth <= 0 || header->biWidth > 256 ||
      header->biHeight != 2 * header->biWidth)
    return picture;
  const int side = header->biWidth;
  if (SizeofResource(module, image) < sizeof *header + static_cast<size_t>(side) * side * 4) return picture;
  const BITMAPINFO info = TopDownInfo(side, side);
  void* bits = nullptr;
  picture = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (!picture) return picture;
  const auto* in = reinterpret_cast<const uint32_t*>(header + 1);
  auto* out = static_cast<uint32_t*>(bits);
  for (int y = 0; y < side; ++y)
    for (int x = 0; x < side; ++x) out[y * side + x] = Premultiplied(in[(side - 1 - y) * side + x]);
  return picture;
}

HICON ResourceIcon(int id, int size) {
  static std::map<std::pair<int, int>, HICON> icons;
  auto key = std::make_pair(id, size);
  auto it = icons.find(key);
  if (it != icons.end()) return it->second;
  // At the system's icon size it is the icon the system shares (the window
  // class's, for the program's own): loaded once for both.
  HICON icon = size == GetSystemMetrics(SM_CXICON) && size == GetSystemMetrics(SM_CYICON)
                   ? LoadIconW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(id))
                   : static_cast<HICON>(LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(id), IMAGE_ICON, size,
                                                   size, LR_DEFAULTCOLOR));
  icons[key] = icon;
  return icon;
}

void TVQButton::Created(const TControlDef& def) {
  icon_ = std::make_unique<TImage>();
  icon_->Kind = ::Kind<TImage>.Name;
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

namespace {
// The image takes the picture's size, or none without one.
void FitImage(TImage& image, bool shown, int size) {
  image.IconSize = shown ? Scale(size) : 0;
  image.SetBounds(image.Left(), image.Top(), image.IconSize, image.IconSize);
  image.Invalidate();
}
}  // namespace

void SetImageIcon(TControl& control, HICON icon, int size) {
  auto* image = dynamic_cast<TImage*>(&control);
  if (!image) return;
  image->Icon = icon;
  FitImage(*image, icon != nullptr, size);
}

void SetImagePicture(TControl& control, HBITMAP picture, int size) {
  auto* image = dynamic_cast<TImage*>(&control);
  if (!image) return;
  image->Icon = nullptr;
  image->Bitmap = picture;
  image->Blended = picture != nullptr;
  FitImage(*image, picture != nullptr, size);
}

void PaintGradient(HDC dc, const std::vector<TGradientLine>& lines, int height) {
  // Each run of neighbouring lines as one row of pixels stretched down to
  // height: a pen for each line's colour cost a millisecond for a header of
  // 800 lines, before the window first shows.
  for (size_t i = 0; i < lines.size();) {
    size_t end = i + 1;
    while (end < lines.size() && lines[end].X == lines[end - 1].X + 1) ++end;
    const int width = static_cast<int>(end - i);
    std::vector<uint32_t> row(width);
    // A DIB's pixel holds blue in its low byte, a colour red.
    for (int x = 0; x < width; ++x) {
      const TColorRef c = lines[i + x].Color;
      row[x] = ((c & 0xFF) << 16) | (c & 0xFF00) | ((c >> 16) & 0xFF);
    }
    const BITMAPINFO info = TopDownInfo(width, 1);
    StretchDIBits(dc, lines[i].X, 0, width, height, 0, 0, width, 1, row.data(), &info, DIB_RGB_COLORS, SRCCOPY);
    i = end;
  }
}
