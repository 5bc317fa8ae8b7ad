#include "config/SavePrompt.h"

#include "model/Platform.h"
#include "model/Project.h"

bool AskSaveFirst(const TProject& project, const TSavePromptActions& actions) {
  if (!project.Modified()) return true;
  if (actions.Beep) actions.Beep();
  int answer = Platform.MessageBoxes->Show("Möchten Sie das aktuelle Projekt vorher speichern?", "Warnung",
                                           mbYesNoCancel | mbIconWarning);
  if (answer == idYes) {
    // The caller goes on even when a save-as dialog was cancelled.
    if (actions.Save) actions.Save();
    return true;
  }
  return answer == idNo;
}
