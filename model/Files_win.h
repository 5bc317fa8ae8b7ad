// The program file and the existence of files and folders, asked of Windows
// in one place.
#pragma once

#include <string>

// The running program file's full path as Windows has it, however long it
// is; "" when it cannot be asked.
std::wstring ProgramFilePathW();
// The same in Windows-1252: EForeignText when the path has a character
// Windows-1252 lacks (the program was put into such a folder).
std::string ProgramFilePath();
// Its folder, with the trailing backslash; EForeignText as above.
std::string ProgramFolder();
// The user's local application data folder ("" when there is none): the
// session's environment names it without loading the shell, which a popup
// or a window on its way to the screen cannot afford; the shell is asked
// only when the environment does not name an absolute one.
std::wstring LocalAppDataFolderW();
// A file, not a folder.
bool FileExists(const std::string& path);
bool FolderExists(const std::string& path);
