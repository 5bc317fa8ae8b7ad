#include "framework/Dialogs.h"

#include <commdlg.h>

#include <vector>

#include "model/Errors.h"

bool TFileDialog::Execute(HWND owner) {
  // "|" separates the filter's parts; the dialog wants them zero-ended, the
  // list ended by a second zero.
  std::string filter = Filter;
  for (char& c : filter)
    if (c == '|') c = '\0';
  filter.append(2, '\0');
  // Room for long paths; the proposal is cut only if it could not be shown.
  std::vector<char> file(32768, '\0');
  FileName.copy(file.data(), file.size() - 1);
  OPENFILENAMEA ofn = {};
  ofn.lStructSize = sizeof ofn;
  ofn.hwndOwner = owner;
  ofn.lpstrFilter = filter.c_str();
  ofn.lpstrFile = file.data();
  ofn.nMaxFile = static_cast<DWORD>(file.size());
  ofn.lpstrDefExt = DefaultExt.empty() ? nullptr : DefaultExt.c_str();
  ofn.Flags = Options | OFN_EXPLORER;
  const BOOL chosen = save_ ? GetSaveFileNameA(&ofn) : GetOpenFileNameA(&ofn);
  if (!chosen) {
    // Cancelled, or the dialog failed: a failure is an error of its own.
    if (DWORD error = CommDlgExtendedError())
      throw Exception(Format("Der Dateidialog konnte nicht angezeigt werden (Fehler %lu).", error));
    return false;
  }
  FileName = file.data();
  return true;
}
