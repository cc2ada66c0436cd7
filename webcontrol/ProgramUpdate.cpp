#include "ProgramUpdate.h"

// The control cannot fetch an installer yet: every installation counts as
// abandoned, and the launcher tells the member so.
int RunProgramUpdate(HWND, const std::string&, const std::string&) { return 1; }
