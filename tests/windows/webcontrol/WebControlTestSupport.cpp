#include "WebControlTestSupport.h"

#include "ProcessUnderTest.h"

const CLSID kClsidWeb_CTL = {0x8cbb1f74, 0xdb0e, 0x44e4, {0xb1, 0x38, 0x09, 0x62, 0xfa, 0x50, 0xf4, 0xbd}};
const IID kIidIWeb_CTL = {0x8cbb1f71, 0xdb0e, 0x44e4, {0xb1, 0x38, 0x09, 0x62, 0xfa, 0x50, 0xf4, 0xbd}};
const GUID kLibIdHaulbox_Active = {0x8cbb1f72, 0xdb0e, 0x44e4, {0xb1, 0x38, 0x09, 0x62, 0xfa, 0x50, 0xf4, 0xbd}};

std::wstring ControlDllPath() {
  wchar_t path[MAX_PATH];
  DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
  std::wstring folder(path, length);
  folder.resize(folder.rfind(L'\\'));            // bin\tests
  folder.resize(folder.rfind(L'\\') + 1);        // bin\ .
  return folder + L"Quorvane_Active.dll";
}

std::wstring GuidText(REFGUID guid) {
  wchar_t text[40];
  StringFromGUID2(guid, text, 40);
  return text;
}

int RunRegsvr32(const std::wstring& options) {
  wchar_t system[MAX_PATH] = L"";
  GetSystemDirectoryW(system, MAX_PATH);
  harness::ProcessUnderTest regsvr32;
  if (!regsvr32.Start(std::wstring(system) + L"\\regsvr32.exe", options + L" \"" + ControlDllPath() + L"\"")) {
    return -1;
  }
  if (!regsvr32.WaitForExit(60000)) return -1;
  return static_cast<int>(regsvr32.ExitCode());
}
