// The project file (".TRV"): Windows-1252 text, CR LF line ends, no BOM.
#pragma once

#include <string>

#include "model/Project.h"

// Reads the project from fileName. Returns false when the first line is not
// the group section header: nothing is changed then, and in interactive mode
// the user is told so. Raises EInOutError, EConvertError, EListError or
// EProjectFileError on a damaged or unreadable file.
bool LoadProject(TProject& project, const std::string& fileName, bool interactive);

// Writes the project to fileName without ever destroying the file that is
// there: on failure the old file stays as it was and the project stays
// modified.
void SaveProject(TProject& project, const std::string& fileName);

// The file content SaveProject writes.
std::string ProjectFileText(const TProject& project, bool useMenu);
