#include "SettingsTable.h"

namespace settings {
namespace {

const IntSetting kFirstRunInts[] = {
    {kUserConfig, 1},   {kDownFileOver, kFileOverResume}, {kDownAutostart, 1},
    {kDownListDel, 0},  {kUpAutostart, 1},                {kUpCompluteShow, 1},
};

const ConfigDialogIds kDownloaderDialog = {
    191, 1069, 1070, 1058, 1003, 1021, 1022, 1075,
    {{1076, kDownAutostart, false},
     {1077, kDefaultFolderUse, true},
     {1078, kDownListDel, false},
     {1079, kDownProgramEnd, false},
     {1080, kDownSystemEnd, false},
     {1081, kUpAutostart, false},
     {1082, kUpTray, false},
     {1083, kUpCompluteShow, false},
     {1084, kUpProgramEnd, false},
     {1085, kUpSystemEnd, false}},
};

const ConfigDialogIds kUploaderDialog = {
    193, 1037, 1054, 1055, 1009, 1057, 1058, 1059,
    {{1060, kDownAutostart, false},
     {1061, kDefaultFolderUse, true},
     {1062, kDownListDel, false},
     {1063, kDownProgramEnd, false},
     {1064, kDownSystemEnd, false},
     {1065, kUpAutostart, false},
     {1066, kUpTray, false},
     {1067, kUpCompluteShow, false},
     {1068, kUpProgramEnd, false},
     {1069, kUpSystemEnd, false}},
};

}  // namespace

const IntSetting* FirstRunInts(std::size_t* count) {
  *count = sizeof kFirstRunInts / sizeof kFirstRunInts[0];
  return kFirstRunInts;
}

const ConfigDialogIds& ConfigDialogLayout(ConfigProgram program) {
  return program == ConfigProgram::Downloader ? kDownloaderDialog : kUploaderDialog;
}

FileOverRule FileOverShown(int storedValue) {
  if (storedValue == kFileOverAsk) return kFileOverAsk;
  if (storedValue == kFileOverResume) return kFileOverResume;
  return kFileOverOverwrite;
}

FileOverRule FileOverFromRadios(bool resumeChecked, bool askChecked) {
  if (resumeChecked) return kFileOverResume;
  if (askChecked) return kFileOverAsk;
  return kFileOverOverwrite;
}

bool CheckedFromValue(const CheckBinding& binding, int storedValue) {
  return binding.inverted ? storedValue == 0 : storedValue != 0;
}

int ValueFromChecked(const CheckBinding& binding, bool checked) {
  return (checked != binding.inverted) ? 1 : 0;
}

}  // namespace settings
