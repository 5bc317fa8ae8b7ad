#include "model/Platform.h"

TPlatformServices Platform;
