#include "framework/Dialogs.h"

#include <commdlg.h>

#include <vector>

#include "framework/Application.h"
#include "model/Errors.h"
#include "model/Wide_win.h"

bool TFileDialog::Execute(HWND owner) {
  NeedCom();
  // "|" separates the filter's parts; the dialog wants them zero-ended, the
  // list ended by a second zero.
  std::wstring filter = W(Filter);
  for (wchar_t& c : filter)
    if (c == L'|') c = L'\0';
  filter.append(2, L'\0');
  const std::wstring defaultExt = W(DefaultExt);
  // Room for long paths; the proposal is cut only if it could not be shown.
  std::vector<wchar_t> file(32768, L'\0');
  W(FileName).copy(file.data(), file.size() - 1);
  OPENFILENAMEW ofn = {};
  ofn.lStructSize = sizeof ofn;
  ofn.hwndOwner = owner;
  ofn.lpstrFilter = filter.c_str();
  ofn.lpstrFile = file.data();
  ofn.nMaxFile = static_cast<DWORD>(file.size());
  ofn.lpstrDefExt = defaultExt.empty() ? nullptr : defaultExt.c_str();
  ofn.Flags = Options | OFN_EXPLORER;
  const BOOL chosen = save_ ? GetSaveFileNameW(&ofn) : GetOpenFileNameW(&ofn);
  if (!chosen) {
    // Cancelled, or the dialog failed: a failure is an error of its own.
    if (DWORD error = CommDlgExtendedError())
      throw Exception(Format("Der Dateidialog konnte nicht angezeigt werden (Fehler %lu).", error));
    return false;
  }
  // A path Windows-1252 cannot hold is refused by name (EForeignText): the
  // project could not keep it.
  FileName = Narrow(file.data());
  return true;
}
