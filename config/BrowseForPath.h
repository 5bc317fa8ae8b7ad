// The shell's folder browser, which can also show files and an edit box.
#pragma once

#include <windows.h>

#include <string>

// Shows the browser owned by owner, starting at path (kept only when it is
// an existing folder, or an existing file when files are shown), below root
// (empty: the desktop). The application's other windows are disabled while
// it runs. True, with path set, when the user chose a file-system item.
bool BrowseForPath(HWND owner, const std::string& title, const std::string& root, std::string& path,
                   bool newFolder, bool includeFiles, bool editBox);
