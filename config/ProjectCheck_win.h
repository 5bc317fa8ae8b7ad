// The project check's lookups on this machine: the file system, the search
// path, the registered application paths and the environment.
#pragma once

#include "config/ProjectCheck.h"

ICheckLookup& WindowsCheckLookup();
