#pragma once
// The trace a callback boundary leaves when it swallows an exception (no C++
// exception may unwind through user32, comctl32 or the C runtime's thread
// start): one OutputDebugStringW line, e.g.
//   Haulbox: exception swallowed in dialog procedure, message 0x0111: handler failure
// It shows under WINEDEBUG=+debugstr and in a debugger. `what` is the
// exception's what() (CP949), null for an exception of another type. Neither
// function allocates or throws, so both are safe inside a catch handler.
#include <windows.h>

void TraceSwallowedException(const wchar_t* place, const char* what);
// The same with the window message being handled, in hex.
void TraceSwallowedException(const wchar_t* place, UINT message, const char* what);
