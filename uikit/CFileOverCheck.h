#pragma once
// The downloader's question about a file that already exists: overwrite (1)
// or resume (2). Not skinned. Escape and closing do not end it; the caller
// writes the file text before DoModal. Template IDD_FILE_OVER_CHECK and its
// IDC_OVER_* ids come from the downloader's resources (DownloaderRes.h).
#include <Dialog.h>

#include <string>

class CFileOverCheck : public Dialog {
public:
  enum Answer { kOverwrite = 1, kResume = 2 };

  CFileOverCheck();

  static const MessageTable& Table();
  const MessageTable& Messages() const override { return Table(); }

  std::string m_fileText;

protected:
  BOOL OnInitDialog() override;
  void OnCancel() override {}  // Escape and close keep the question open
  // Enter: presses OK when it has the focus (its place when the dialog
  // opens); from a radio button it ends the dialog with 1 (overwrite).
  void OnOK() override;

private:
  void OkClicked();
};
