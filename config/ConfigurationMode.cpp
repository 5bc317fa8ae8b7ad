#include "config/ConfigurationMode.h"

#include "config/MainForm.h"
#include "controls/InfoDlg.h"
#include "framework/Application.h"

void RunConfigurationMode() {
  // The about box comes after the main window (it adjusts that window's
  // font) and before the main window is shown (which shows its logo).
  auto form1 = NewForm<TForm1>();
  Form1 = form1.get();
  form1->Create();
  auto info = NewForm<TInfo>();
  Info = info.get();
  info->Create();
  form1->Show();
  Application.Run();
  // Last made, first gone; each form whole while its window goes.
  info.reset();
  Info = nullptr;
  form1.reset();
  Form1 = nullptr;
}
