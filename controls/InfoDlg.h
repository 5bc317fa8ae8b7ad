// The about box: a painted header with the logo, the icon, the product name,
// its version and development period, the maker line and two links. The
// unit also owns the program's file-version lookup and the start-up switch
// of 8-point forms to the system's message font.
#pragma once

#include <string>

#include "framework/Form.h"

class TInfo : public TForm {
 public:
  TInfo();
  ~TInfo() override;
  void Create();

  std::string ProductName;
  std::string DevelopmentYears;
  HICON ProductIcon = nullptr;  // not owned
  HBITMAP LogoBitmap = nullptr;
  HBITMAP LogoMask = nullptr;
  // 2: the logo is drawn at twice its size (for dense screens).
  int LogoScale = 1;

  void ShowAboutBox(const std::string& productName, const std::string& developmentYears, HICON icon);

  // The three texts of the header, one a line, as last painted.
  std::string HeaderText() const;

 protected:
  void FormCreate() override;
  void FormDestroy() override;

 private:
  void LogoPBPaint(TControl& sender, HDC dc);
  TBound<TPaintBox> logo_;
  void EMailLblClick(TControl& sender);
  void URLLblClick(TControl& sender);
  void HyperLinkMouseEnter(TControl& sender);
  void HyperLinkMouseLeave(TControl& sender);
  void HyperLinkMouseDown(TControl& sender, TMouseButton button, int x, int y);
  void HyperLinkMouseUp(TControl& sender, TMouseButton button, int x, int y);
  void OKClick(TControl& sender);
  void FreeBitmaps();
};

// The "FileVersion" text of the running program's version resource, or an
// empty text.
std::string GetOwnFileVersion();

// Every existing form whose font is 8 points gets the name of the system's
// message font; with a form given, only that form (when it is 8 points).
void ApplyMessageBoxFont(TForm* only = nullptr);
// The name of the system's message font, empty when unknown.
std::string MessageFontName();

// The logo bitmap of the resources (owned by the caller); scale 2: drawn at
// twice its size, for dense screens.
HBITMAP LoadLogoBitmap(int& scale);

// The about box, made when it is first needed; freed with the
// configuration mode.
TInfo& AboutBox();
void FreeAboutBox();
