#include "config/ConfigurationMode.h"

#include "config/MainForm.h"
#include "controls/InfoDlg.h"
#include "framework/Application.h"
#include "update/StatusForm.h"

namespace {
void RunConfigurationWindow() {
  auto form1 = NewForm<TForm1>();
  // The about box, made right after this window, would give it the
  // system's message font, as it is 8 points. The box waits until it is
  // opened, so that the window shows sooner; the window takes that font
  // before its controls are made, which spares making them twice.
  const std::string messageFont = MessageFontName();
  if (form1->FontSize() == 8 && !messageFont.empty()) form1->FontName = messageFont;
  form1->Create();
  // An update-only start, or a wizard that finished at the start, ends
  // before the window shows.
  if (!Application.Terminated) {
    form1->Show();
    Application.Run();
  }
  // Last made, first gone; each form whole while its window goes. The
  // update wizard goes last: it starts a prepared install script.
  FreeAboutBox();
  form1.reset();
  FreeStatusForm();
}
}  // namespace

void RunConfigurationMode() {
  // A window that cannot be made (the system out of resources, no desktop
  // to draw on) ends the program with the error shown, not with a crash.
  try {
    RunConfigurationWindow();
  } catch (const std::exception& e) {
    Application.ShowException(e);
  }
}
