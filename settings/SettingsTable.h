#pragma once
// Names, first-run values and dialog bindings of the settings both transfer
// programs share under HKCU\Software\Quorvanes\Velmintor\Config. No OS code.
#include <cstddef>

namespace settings {

constexpr const char kRegistryKey[] = "Quorvanes";
constexpr const char kProfileName[] = "Velmintor";
constexpr const char kSection[] = "Config";

constexpr const char kUserConfig[] = "User_Config";
constexpr const char kDefaultFolder[] = "Default_folder";
constexpr const char kDefaultFolderUse[] = "Default_folder_use";
constexpr const char kDownFileOver[] = "DOWN_File_over";
constexpr const char kDownAutostart[] = "DOWN_Autostart";
constexpr const char kDownListDel[] = "DOWN_List_del";
constexpr const char kDownProgramEnd[] = "DOWN_Program_end";
constexpr const char kDownSystemEnd[] = "DOWN_System_end";
constexpr const char kUpAutostart[] = "UP_Autostart";
constexpr const char kUpTray[] = "UP_Tray";
constexpr const char kUpCompluteShow[] = "UP_Complute_show";
constexpr const char kUpProgramEnd[] = "UP_Program_end";
constexpr const char kUpSystemEnd[] = "UP_System_end";

// What to do with a file that already exists (DOWN_File_over).
enum FileOverRule { kFileOverOverwrite = 1, kFileOverAsk = 2, kFileOverResume = 3 };

struct IntSetting {
  const char* name;
  int value;
};

// Integer values the first run writes, User_Config first. Default_folder
// (the documents folder) is written beside them; nothing else is.
const IntSetting* FirstRunInts(std::size_t* count);

enum class ConfigProgram { Downloader, Uploader };

struct CheckBinding {
  int controlId;
  const char* name;
  bool inverted;  // checked when the stored value is 0
};

constexpr std::size_t kConfigCheckCount = 10;

struct ConfigDialogIds {
  int templateId;
  int folderEdit;
  int browseButton;
  int okButton;
  int cancelButton;
  int radioOverwrite;
  int radioAsk;
  int radioResume;
  CheckBinding checks[kConfigCheckCount];
};

const ConfigDialogIds& ConfigDialogLayout(ConfigProgram program);

// DOWN_File_over as the dialog shows it (read with default 1): 2 and 3 pick
// their radios, anything else the overwrite radio.
FileOverRule FileOverShown(int storedValue);

// The value saved from the radios: resume wins over ask, else overwrite.
FileOverRule FileOverFromRadios(bool resumeChecked, bool askChecked);

// A check box's state from its stored value and back.
bool CheckedFromValue(const CheckBinding& binding, int storedValue);
int ValueFromChecked(const CheckBinding& binding, bool checked);

}  // namespace settings
