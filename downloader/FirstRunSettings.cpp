#include "FirstRunSettings.h"

#include <shlobj.h>

#include "Application.h"
#include "TextConversion.h"

bool WriteFirstRunSettings(Application& app) {
  if (app.GetProfileInt("Config", "User_Config", 0) != 0) return false;
  wchar_t documents[MAX_PATH] = L"";
  if (!SHGetSpecialFolderPathW(nullptr, documents, CSIDL_PERSONAL, FALSE)) documents[0] = L'\0';
  app.WriteProfileInt("Config", "User_Config", 1);
  app.WriteProfileString("Config", "Default_folder", Narrow(documents));
  app.WriteProfileInt("Config", "DOWN_File_over", 3);
  app.WriteProfileInt("Config", "DOWN_Autostart", 1);
  app.WriteProfileInt("Config", "DOWN_List_del", 0);
  app.WriteProfileInt("Config", "UP_Autostart", 1);
  app.WriteProfileInt("Config", "UP_Complute_show", 1);
  return true;
}
