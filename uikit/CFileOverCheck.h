#pragma once
// The downloader's question about a file that already exists: overwrite (1)
// or resume (2). Not skinned. Escape and closing do not end it; the caller
// writes the file text before DoModal.
#include <Dialog.h>

#include <string>

class CFileOverCheck : public Dialog {
public:
  static constexpr UINT kTemplateId = 129;
  static constexpr int kOverwriteRadio = 1021;
  static constexpr int kResumeRadio = 1022;
  static constexpr int kOkButton = 1023;
  static constexpr int kFileText = 1024;
  enum Answer { kOverwrite = 1, kResume = 2 };

  CFileOverCheck() : Dialog(kTemplateId, nullptr) {}

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
