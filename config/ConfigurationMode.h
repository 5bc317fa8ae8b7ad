// Configuration mode: the windows of the configuration window and its
// message loop, entered by the program start when no project file is given.
#pragma once

// Creates the configuration window (the about box when it is first opened),
// runs the message loop until the configuration window has closed.
void RunConfigurationMode();
