#include "CFileOverCheck.h"

const MessageTable& CFileOverCheck::Table() {
  static const MessageEntry entries[] = {
      messages::Command(kOkButton, &CFileOverCheck::OkClicked),
  };
  static const MessageTable table(entries, &Dialog::Table());
  return table;
}

BOOL CFileOverCheck::OnInitDialog() {
  CheckRadioButton(Hwnd(), kOverwriteRadio, kResumeRadio, kOverwriteRadio);
  SetItemText(kFileText, m_fileText);
  SetWindowPos(Hwnd(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
  // Checking a radio makes it a tab stop, which would take the first focus;
  // the focus belongs on OK, so that Enter confirms the choice shown.
  SetFocus(Item(kOkButton));
  return FALSE;
}

void CFileOverCheck::OkClicked() {
  const bool resume = IsDlgButtonChecked(Hwnd(), kResumeRadio) == BST_CHECKED;
  EndDialog(resume ? kResume : kOverwrite);
}

void CFileOverCheck::OnOK() {
  // Windows makes a focused push button the default one, Wine does not;
  // either way Enter on OK must be OK.
  if (GetFocus() == Item(kOkButton)) {
    OkClicked();
    return;
  }
  EndDialog(IDOK);
}
