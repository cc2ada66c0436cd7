#pragma once
// The shared settings in the application's profile
// (HKCU\Software\Quorvanes\Velmintor\Config), read and written at the
// moment of use so that both programs see each other's changes.
#include <Application.h>

#include <string>

#include "SettingsTable.h"

namespace settings {

// Names the profile: registry key "Quorvanes", profile "Velmintor".
void SelectProfile(Application& app);

// Writes the first-run values when User_Config is 0 or absent; afterwards
// (User_Config 1) it writes nothing, so the user's values are never reset.
// True when it wrote them.
bool WriteFirstRunSettings(Application& app);

// The documents folder of the user (the first-run Default_folder).
std::string PersonalFolder();

// Profile reads and writes in section "Config" of the current application.
int ReadInt(const char* name, int defaultValue = 0);
void WriteInt(const char* name, int value);
std::string ReadText(const char* name, const std::string& defaultValue = std::string());
void WriteText(const char* name, const std::string& value);

}  // namespace settings
