// The program file and the existence of files and folders, asked of Windows
// in one place.
#pragma once

#include <string>

// The running program file's full path, however long it is.
std::string ProgramFilePath();
// Its folder, with the trailing backslash.
std::string ProgramFolder();
// A file, not a folder.
bool FileExists(const std::string& path);
bool FolderExists(const std::string& path);
