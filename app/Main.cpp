// TRV.EXE's entry point.
#include <windows.h>
#include <commctrl.h>

#include "model/Platform.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  INITCOMMONCONTROLSEX icc = {sizeof icc, ICC_WIN95_CLASSES};
  InitCommonControlsEx(&icc);
  UseNativePlatform();
  // Mode selection, the popup menu and the configuration window are built
  // on this entry; until then the program ends at once.
  return 0;
}
