#include "config/SavePrompt.h"

#include "model/Platform.h"
#include "model/Project.h"

TSavePromptActions SavePromptActions;

bool AskSaveFirst() {
  if (!ProjectModified) return true;
  if (SavePromptActions.Beep) SavePromptActions.Beep();
  int answer = Platform.MessageBoxes->Show("Möchten Sie das aktuelle Projekt vorher speichern?", "Warnung",
                                           mbYesNoCancel | mbIconWarning);
  if (answer == idYes) {
    // The caller goes on even when a save-as dialog was cancelled.
    if (SavePromptActions.Save) SavePromptActions.Save();
    return true;
  }
  return answer == idNo;
}
