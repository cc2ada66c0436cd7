#include "SettingsStore.h"

#include <TextConversion.h>

#include <shlobj.h>

namespace settings {

void SelectProfile(Application& app) {
  app.SetRegistryKey(kRegistryKey);
  app.SetTitle(kProfileName);
}

std::string PersonalFolder() {
  wchar_t path[MAX_PATH] = {};
  if (FAILED(SHGetFolderPathW(nullptr, CSIDL_PERSONAL, nullptr, SHGFP_TYPE_CURRENT, path))) return {};
  return Narrow(path);
}

bool WriteFirstRunSettings(Application& app) {
  if (app.GetProfileInt(kSection, kUserConfig, 0) != 0) return false;
  std::size_t count = 0;
  const IntSetting* values = FirstRunInts(&count);
  app.WriteProfileInt(kSection, values[0].name, values[0].value);
  app.WriteProfileString(kSection, kDefaultFolder, PersonalFolder());
  for (std::size_t i = 1; i < count; ++i) app.WriteProfileInt(kSection, values[i].name, values[i].value);
  return true;
}

int ReadInt(const char* name, int defaultValue) {
  Application* app = Application::Current();
  return app ? app->GetProfileInt(kSection, name, defaultValue) : defaultValue;
}

void WriteInt(const char* name, int value) {
  if (Application* app = Application::Current()) app->WriteProfileInt(kSection, name, value);
}

std::string ReadText(const char* name, const std::string& defaultValue) {
  Application* app = Application::Current();
  return app ? app->GetProfileString(kSection, name, defaultValue) : defaultValue;
}

void WriteText(const char* name, const std::string& value) {
  if (Application* app = Application::Current()) app->WriteProfileString(kSection, name, value);
}

}  // namespace settings
