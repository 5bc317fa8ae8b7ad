// The yardstick: the smallest Windows program, built the same way as TRV.EXE.
#include <windows.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) { return 0; }
