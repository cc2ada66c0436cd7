#pragma once
// Shared by the web control's tests: where the DLL is, its ids, and a
// RAII type for COM on the test's thread.
#include <windows.h>
#include <ole2.h>

#include <string>

// Quorvane_Active.dll beside the test programs' folder (bin/ above bin/tests/).
std::wstring ControlDllPath();

extern const CLSID kClsidWeb_CTL;
extern const IID kIidIWeb_CTL;
extern const GUID kLibIdHaulbox_Active;

// Runs regsvr32 with `options` ("/s", "/u /s") on the DLL and waits (60 s at
// most); its exit code, or -1.
int RunRegsvr32(const std::wstring& options);

// A GUID in registry form, "{8CBB1F74-DB0E-44E4-...}".
std::wstring GuidText(REFGUID guid);

class ComThread {
public:
  ComThread() { CoInitialize(nullptr); }
  ~ComThread() { CoUninitialize(); }
  ComThread(const ComThread&) = delete;
  ComThread& operator=(const ComThread&) = delete;
};
