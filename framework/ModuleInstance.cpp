#include "ModuleInstance.h"

// The linker's symbol at the start of the image this code is linked into:
// the EXE for the programs, the DLL for the web control.
extern "C" IMAGE_DOS_HEADER __ImageBase;

HINSTANCE ModuleInstance() {
  return reinterpret_cast<HINSTANCE>(&__ImageBase);
}
