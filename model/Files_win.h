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
// A file, not a folder.
bool FileExists(const std::string& path);
bool FolderExists(const std::string& path);
