#include "config/ConfigurationMode.h"

#include "config/MainForm.h"
#include "controls/InfoDlg.h"
#include "framework/Application.h"

void RunConfigurationMode() {
  // The about box comes after the main window (it adjusts that window's
  // font) and before the main window is shown (which shows its logo).
  static TForm1 form1;
  Form1 = &form1;
  form1.Create();
  static TInfo info;
  Info = &info;
  info.Create();
  form1.Show();
  Application.Run();
}
