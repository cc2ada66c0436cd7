#pragma once
// The settings dialog of both programs (template IDD_CONFIG of each
// program's resources): a skinned dialog that loads every switch from the
// profile when it opens and writes them all on OK. Cancel and Escape close
// it without writing; Enter and Alt+F4 do nothing. It always ends with 0.
#include <CButtontoImage.h>
#include <CSkinDialog.h>

#include <string>

#include "SettingsTable.h"

class Haulbox_Config : public CSkinDialog {
public:
  static constexpr char kBackgroundFile[] = "images/config_bg.bmp";
  static constexpr char kBrowseTitle[] = "Select a folder.";

  explicit Haulbox_Config(settings::ConfigProgram program, HWND parent = nullptr);

  static const MessageTable& Table();
  const MessageTable& Messages() const override { return Table(); }

  const settings::ConfigDialogIds& Ids() const { return ids_; }

protected:
  BOOL OnInitDialog() override;
  void OnOK() override {}  // Enter is swallowed
  void OnCancel() override { EndDialog(0); }

private:
  void ApplySkin();
  void LoadValues();
  void SaveValues();
  void OkClicked();
  void CancelClicked();
  void BrowseClicked();
  bool ButtonCommand(WPARAM wParam, LPARAM, LRESULT& result);
  bool SwallowClose(WPARAM, LPARAM, LRESULT& result);
  bool IsChecked(int id) const;
  void SetChecked(int id, bool checked);

  settings::ConfigProgram program_;
  const settings::ConfigDialogIds& ids_;
  CButtontoImage okButton_;
  CButtontoImage cancelButton_;
  CButtontoImage browseButton_;
};
