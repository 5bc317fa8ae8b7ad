#include "config/ConfigurationMode.h"

#include "config/MainForm.h"
#include "controls/InfoDlg.h"
#include "framework/Application.h"

void RunConfigurationMode() {
  auto form1 = NewForm<TForm1>();
  Form1 = form1.get();
  form1->Create();
  // Where the about box would be made, before the window shows: it gives
  // the 8-point windows made so far the system's message font. The box
  // itself waits until it is opened, so that the window shows sooner.
  ApplyMessageBoxFont();
  form1->Show();
  Application.Run();
  // Last made, first gone; each form whole while its window goes.
  FreeAboutBox();
  form1.reset();
  Form1 = nullptr;
}
