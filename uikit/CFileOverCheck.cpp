#include "CFileOverCheck.h"

#include "../resources/downloader/DownloaderRes.h"

CFileOverCheck::CFileOverCheck() : Dialog(IDD_FILE_OVER_CHECK, nullptr) {}

const MessageTable& CFileOverCheck::Table() {
  static const MessageEntry entries[] = {
      messages::Command(IDC_OVER_OK, &CFileOverCheck::OkClicked),
  };
  static const MessageTable table(entries, &Dialog::Table());
  return table;
}

BOOL CFileOverCheck::OnInitDialog() {
  CheckRadioButton(Hwnd(), IDC_OVER_OVERWRITE, IDC_OVER_RESUME, IDC_OVER_OVERWRITE);
  SetItemText(IDC_OVER_FILE_TEXT, m_fileText);
  SetWindowPos(Hwnd(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
  // Checking a radio makes it a tab stop, which would take the first focus;
  // the focus belongs on OK, so that Enter confirms the choice shown.
  SetFocus(Item(IDC_OVER_OK));
  return FALSE;
}

void CFileOverCheck::OkClicked() {
  const bool resume = IsDlgButtonChecked(Hwnd(), IDC_OVER_RESUME) == BST_CHECKED;
  EndDialog(resume ? kResume : kOverwrite);
}

void CFileOverCheck::OnOK() {
  // Windows makes a focused push button the default one, Wine does not;
  // either way Enter on OK must be OK.
  if (GetFocus() == Item(IDC_OVER_OK)) {
    OkClicked();
    return;
  }
  EndDialog(IDOK);
}
