#pragma once
#include <windows.h>

// The module (EXE or DLL) this code is linked into: dialog templates,
// resources and window classes are looked up in it.
HINSTANCE ModuleInstance();
