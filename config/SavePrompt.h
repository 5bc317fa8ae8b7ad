// The save-before prompt that guards every action which would discard or
// replace the current project. Portable: the message box comes from the
// platform services, the sound and the save from the configuration window.
#pragma once

#include <functional>

struct TSavePromptActions {
  std::function<void()> Beep;  // the system's exclamation sound
  std::function<void()> Save;  // "Speichern" (save as when unnamed)
};
class TProject;

// True: the caller may go on and discard or replace the project. False: the
// user cancelled. Asks only when the project has unsaved changes.
bool AskSaveFirst(const TProject& project, const TSavePromptActions& actions);
