// The installer the update benchmark serves, padded to its size: it does
// nothing and ends at once, so that the update dialog runs to its end.
#include <windows.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) { return 0; }
