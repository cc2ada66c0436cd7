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
  return TRUE;
}

void CFileOverCheck::OkClicked() {
  const bool resume = IsDlgButtonChecked(Hwnd(), kResumeRadio) == BST_CHECKED;
  EndDialog(resume ? kResume : kOverwrite);
}
