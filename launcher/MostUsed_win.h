// Where "Häufig Gewähltes zuerst" keeps a project's setting and choices for
// this user: "%LOCALAPPDATA%\VQ\Tarvo\Gewählt\<hash>.txt", never in the
// project file; and the popup's and the search's side of it.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "launcher/MostUsed.h"

class TProject;

// The project's full path and the file of its choices; false when there is
// none (no file name, a folder Windows-1252 cannot hold).
bool ChoicesFileOf(const std::string& projectFileName, std::string& projectPath, std::string& choicesFile);
// Seconds since 1970 (UTC).
int64_t ChoiceTimeNow();

// The editor's side: the setting alone. Reading never fails (no file: off);
// writing keeps the choices and raises EInOutError when the file cannot be
// written.
bool MostUsedWanted(const std::string& projectFileName);
void SetMostUsedWanted(const std::string& projectFileName, bool wanted);

// One popup's or search's view of the choices: the setting read at once,
// the choices only when it is on. Nothing here fails: the choices are a
// convenience, a file that cannot be read or written is none.
class TMostUsed {
 public:
  explicit TMostUsed(const TProject& project);
  bool On() const { return on_; }
  // Puts the most used entries at the top of menu (BuildPopupMenu's, not
  // tidied yet).
  void Prepend(TPopupMenuModel& menu);
  // The item of that menu (or of BuildPopupMenu's for the project) was
  // chosen: counted and written, before its group runs.
  void Chosen(int item);

 private:
  const TProject& project_;
  bool on_ = false;
  std::string path_, file_;
  TChoices choices_;
  std::vector<TChoiceKey> keys_;
  TTopSection top_;
};
