#include "Haulbox_ActiveApp.h"

#include "ComServer.h"
#include "Handoff.h"
#include "ModuleInstance.h"
#include "TextConversion.h"
#include "WindowClasses.h"

namespace {

// "Quorvane_Active" for "...\Quorvane_Active.dll".
std::string ModuleName() {
  std::wstring path = ModuleFileName();
  std::wstring name = path.substr(path.find_last_of(L"\\/") + 1);
  return Narrow(name.substr(0, name.find_last_of(L'.')));
}

}  // namespace

bool CHaulbox_ActiveApp::Start() {
  bool registered = RegisterDialogClassCopy(kLauncherWindowClass);
  SetRegistryKey("Quorvanes");
  SetTitle(ModuleName());
  return registered;
}

void CHaulbox_ActiveApp::Stop() { UnregisterClassW(kLauncherWindowClass, ModuleInstance()); }
