// The in-process server entry points of Quorvane_Active.dll.
#include <windows.h>
#include <olectl.h>

#include "ComServer.h"
#include "Haulbox_ActiveApp.h"
#include "Web_CTL.h"

namespace {

const wchar_t kAppId[] = L"{ABA29F8B-9658-4689-98CC-5C5BD7F18233}";
// Recompose on resize, can't link inside, inside-out, activate when
// visible, set client site first.
const wchar_t kOleMisc[] = L"131473";
const UINT kModuleScript = 101;
const UINT kControlScript = 104;

const CATID kSafeForScripting = {0x7dd95801, 0x9882, 0x11cf, {0x9f, 0xa9, 0x00, 0xaa, 0x00, 0x6c, 0x42, 0xc4}};
const CATID kSafeForInitializing = {0x7dd95802, 0x9882, 0x11cf, {0x9f, 0xa9, 0x00, 0xaa, 0x00, 0x6c, 0x42, 0xc4}};

HRESULT RunScripts(bool install) {
  return RunRegistryScripts({kModuleScript, kControlScript},
                            {{L"APPID", kAppId}, {L"OLEMISC", kOleMisc}}, install);
}

CHaulbox_ActiveApp theApp;

}  // namespace

// A class copy failing to register shows only when a launcher window cannot
// be created; loading the control still succeeds, so that a page's check
// for the control answers.
extern "C" BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID) {
  if (reason == DLL_PROCESS_ATTACH) theApp.Start();
  if (reason == DLL_PROCESS_DETACH) theApp.Stop();
  return TRUE;
}

STDAPI DllCanUnloadNow() { return ComModule::CanUnload() ? S_OK : S_FALSE; }

STDAPI DllGetClassObject(REFCLSID clsid, REFIID iid, void** out) {
  if (!out) return E_POINTER;
  *out = nullptr;
  if (clsid != CLSID_Web_CTL) return CLASS_E_CLASSNOTAVAILABLE;
  auto* factory = new (std::nothrow) ClassFactory<CWeb_CTL>;
  return factory ? factory->QueryInterfaceAndRelease(iid, out) : E_OUTOFMEMORY;
}

// The type library also registers IWeb_CTL's marshalling (the system's
// type-library marshaller of dual interfaces).
STDAPI DllRegisterServer() {
  return GuardedComCall(L"DllRegisterServer", [] {
    ComApartment apartment;
    HRESULT hr = apartment.Result();
    if (SUCCEEDED(hr)) hr = RunScripts(true);
    if (SUCCEEDED(hr)) hr = RegisterModuleTypeLib();
    if (FAILED(hr)) return hr;
    HRESULT categories = RegisterImplementedCategories(
        CLSID_Web_CTL, {{kSafeForScripting, L"Controls that are safely scriptable"},
                        {kSafeForInitializing, L"Controls safely initializable from persistent data"}});
    return FAILED(categories) ? SELFREG_E_CLASS : hr;
  });
}

// The category marks stay.
STDAPI DllUnregisterServer() {
  return GuardedComCall(L"DllUnregisterServer", [] {
    ComApartment apartment;
    HRESULT hr = apartment.Result();
    if (FAILED(hr)) return hr;
    HRESULT scripts = RunScripts(false);
    HRESULT library = UnregisterModuleTypeLib();
    return FAILED(scripts) ? scripts : library;
  });
}
