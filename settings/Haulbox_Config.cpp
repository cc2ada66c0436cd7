#include "Haulbox_Config.h"

#include <FolderBrowser.h>
#include <SkinTable.h>

#include "SettingsStore.h"

namespace {
SkinWindow SkinWindowOf(settings::ConfigProgram program) {
  return program == settings::ConfigProgram::Downloader ? SkinWindow::DownloaderSettings
                                                        : SkinWindow::UploaderSettings;
}
}  // namespace

Haulbox_Config::Haulbox_Config(settings::ConfigProgram program, HWND parent)
    : CSkinDialog(settings::ConfigDialogLayout(program).templateId, parent),
      program_(program),
      ids_(settings::ConfigDialogLayout(program)) {}

// The two programs' templates use the same numbers for different controls
// (the downloader's IDC_CFG_OK is the uploader's IDC_CFG_ASK), so the button
// ids are looked up in this dialog's own id set rather than in the table.
const MessageTable& Haulbox_Config::Table() {
  static const MessageEntry entries[] = {
      messages::Message(WM_COMMAND, &Haulbox_Config::ButtonCommand),
      messages::Message(WM_CLOSE, &Haulbox_Config::SwallowClose),
  };
  static const MessageTable table(entries, &CSkinDialog::Table());
  return table;
}

bool Haulbox_Config::ButtonCommand(WPARAM wParam, LPARAM, LRESULT& result) {
  if (HIWORD(wParam) != BN_CLICKED) return false;
  const int id = LOWORD(wParam);
  if (id == ids_.okButton) {
    OkClicked();
  } else if (id == ids_.cancelButton) {
    CancelClicked();
  } else if (id == ids_.browseButton) {
    BrowseClicked();
  } else {
    return false;
  }
  result = 0;
  return true;
}

BOOL Haulbox_Config::OnInitDialog() {
  ApplySkin();
  LoadValues();
  return TRUE;
}

void Haulbox_Config::ApplySkin() {
  RemoveCaption();
  LoadBackground(kBackgroundFile, false);
  const SkinWindow window = SkinWindowOf(program_);
  struct Binding {
    CButtontoImage& button;
    int id;
  } bindings[] = {{okButton_, ids_.okButton}, {cancelButton_, ids_.cancelButton},
                  {browseButton_, ids_.browseButton}};
  for (Binding& binding : bindings) {
    if (!binding.button.Attach(Hwnd(), binding.id)) continue;
    if (const SkinRow* row = FindSkin(window, binding.id)) binding.button.LoadSkin(*row);
  }
}

bool Haulbox_Config::IsChecked(int id) const { return IsDlgButtonChecked(Hwnd(), id) == BST_CHECKED; }

void Haulbox_Config::SetChecked(int id, bool checked) {
  CheckDlgButton(Hwnd(), id, checked ? BST_CHECKED : BST_UNCHECKED);
}

void Haulbox_Config::LoadValues() {
  SetItemText(ids_.folderEdit, settings::ReadText(settings::kDefaultFolder));
  const settings::FileOverRule rule =
      settings::FileOverShown(settings::ReadInt(settings::kDownFileOver, settings::kFileOverOverwrite));
  SetChecked(ids_.radioOverwrite, rule == settings::kFileOverOverwrite);
  SetChecked(ids_.radioAsk, rule == settings::kFileOverAsk);
  SetChecked(ids_.radioResume, rule == settings::kFileOverResume);
  for (const settings::CheckBinding& check : ids_.checks) {
    SetChecked(check.controlId, settings::CheckedFromValue(check, settings::ReadInt(check.name, 0)));
  }
}

void Haulbox_Config::SaveValues() {
  settings::WriteText(settings::kDefaultFolder, ItemText(ids_.folderEdit));
  settings::WriteInt(settings::kDownFileOver,
                     settings::FileOverFromRadios(IsChecked(ids_.radioResume), IsChecked(ids_.radioAsk)));
  for (const settings::CheckBinding& check : ids_.checks) {
    settings::WriteInt(check.name, settings::ValueFromChecked(check, IsChecked(check.controlId)));
  }
}

void Haulbox_Config::OkClicked() {
  SaveValues();
  EndDialog(0);
}

void Haulbox_Config::CancelClicked() { EndDialog(0); }

void Haulbox_Config::BrowseClicked() {
  std::string folder;
  if (BrowseForFolder(Hwnd(), kBrowseTitle, folder)) SetItemText(ids_.folderEdit, folder);
}

bool Haulbox_Config::SwallowClose(WPARAM, LPARAM, LRESULT& result) {
  result = 0;
  return true;  // Alt+F4 and the system close do not end the dialog
}
