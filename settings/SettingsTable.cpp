#include "SettingsTable.h"

// Each program's ids as its id header names them. The two headers give the
// settings dialog's names numbers of their own, so the uploader's header
// comes in after the downloader's table.
#include "../resources/downloader/DownloaderRes.h"

namespace settings {
namespace {

const IntSetting kFirstRunInts[] = {
    {kUserConfig, 1},   {kDownFileOver, kFileOverResume}, {kDownAutostart, 1},
    {kDownListDel, 0},  {kUpAutostart, 1},                {kUpCompluteShow, 1},
};

// One table, read twice: after each program's header, with its numbers.
#define HAULBOX_CONFIG_DIALOG_IDS                                       \
  {IDD_CONFIG,         IDC_CFG_FOLDER,                                  \
   IDC_CFG_BROWSE,     IDC_CFG_OK,                                      \
   IDC_CFG_CANCEL,     IDC_CFG_OVERWRITE,                               \
   IDC_CFG_ASK,        IDC_CFG_RESUME,                                  \
   {{IDC_CFG_AUTO_START, kDownAutostart, false},                        \
    {IDC_CFG_USE_FOLDER, kDefaultFolderUse, true},                      \
    {IDC_CFG_DONE_DELETE, kDownListDel, false},                         \
    {IDC_CFG_DONE_EXIT, kDownProgramEnd, false},                        \
    {IDC_CFG_DONE_SHUTDOWN, kDownSystemEnd, false},                     \
    {IDC_CFG_AUTO_ADD, kUpAutostart, false},                            \
    {IDC_CFG_TRAY, kUpTray, false},                                     \
    {IDC_CFG_END_SHOW_WINDOW, kUpCompluteShow, false},                  \
    {IDC_CFG_END_EXIT, kUpProgramEnd, false},                           \
    {IDC_CFG_END_SHUTDOWN, kUpSystemEnd, false}}}

const ConfigDialogIds kDownloaderDialog = HAULBOX_CONFIG_DIALOG_IDS;

#include "../resources/shared/ForgetProgramIds.h"
#include "../resources/uploader/UploaderRes.h"

const ConfigDialogIds kUploaderDialog = HAULBOX_CONFIG_DIALOG_IDS;
#undef HAULBOX_CONFIG_DIALOG_IDS

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
