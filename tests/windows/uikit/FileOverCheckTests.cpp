// CFileOverCheck from the downloader's template, driven as a user would.
#include <gtest/gtest.h>

#include <CFileOverCheck.h>
#include <DownloaderRes.h>
#include <TextConversion.h>
#include <WindowFinder.h>

#include "UiTestSupport.h"

namespace {

using uitest::Step;

struct Outcome {
  INT_PTR result = -1;
  uitest::ScriptResult script;
};

Outcome RunPrompt(const std::vector<Step>& steps, const std::string& fileText = "movie.avi") {
  Outcome outcome;
  CFileOverCheck dialog;
  dialog.m_fileText = fileText;
  outcome.script = uitest::RunModal([&] { outcome.result = dialog.DoModal(); }, steps, IDC_OVER_OK);
  return outcome;
}

void ClickOk(HWND dialog) { uitest::ClickItem(dialog, IDC_OVER_OK); }

TEST(FileOverCheck, OpensWithOverwriteSelectedAndTheFileText) {
  bool overwrite = false, resume = true;
  std::wstring text, caption;
  LONG_PTR exStyle = 0;
  Outcome outcome = RunPrompt({[&](HWND dialog) {
    overwrite = IsDlgButtonChecked(dialog, IDC_OVER_OVERWRITE) == BST_CHECKED;
    resume = IsDlgButtonChecked(dialog, IDC_OVER_RESUME) == BST_CHECKED;
    text = harness::WindowText(GetDlgItem(dialog, IDC_OVER_FILE_TEXT));
    caption = harness::WindowText(dialog);
    exStyle = GetWindowLongPtrW(dialog, GWL_EXSTYLE);
    ClickOk(dialog);
  }}, "영화 파일.avi");
  EXPECT_EQ(1, outcome.result);
  EXPECT_TRUE(overwrite);
  EXPECT_FALSE(resume);
  EXPECT_EQ(Widen("영화 파일.avi"), text);
  EXPECT_EQ(Widen("중복파일"), caption);
  EXPECT_TRUE(exStyle & WS_EX_TOPMOST);
  EXPECT_FALSE(outcome.script.leftOpen);
}

TEST(FileOverCheck, ResumeThenOkAnswersTwo) {
  Outcome outcome = RunPrompt({[](HWND d) { uitest::ClickItem(d, IDC_OVER_RESUME); }, ClickOk});
  EXPECT_EQ(CFileOverCheck::kResume, outcome.result);
  EXPECT_FALSE(outcome.script.leftOpen);
}

TEST(FileOverCheck, EscapeAndCloseDoNotEndIt) {
  bool openAfterKeys = false;
  Outcome outcome = RunPrompt({
      [](HWND d) { uitest::PressKey(d, VK_ESCAPE); },
      [](HWND d) { PostMessageW(d, WM_SYSCOMMAND, SC_CLOSE, 0); },
      [](HWND d) { PostMessageW(d, WM_CLOSE, 0, 0); },
      [&](HWND d) {
        openAfterKeys = IsWindowVisible(d) != FALSE;
        uitest::ClickItem(d, IDC_OVER_RESUME);
      },
      ClickOk,
  });
  EXPECT_TRUE(openAfterKeys);
  EXPECT_EQ(CFileOverCheck::kResume, outcome.result) << "ended before OK";
  EXPECT_EQ(5, outcome.script.stepsPlayed);
}

TEST(FileOverCheck, EnterAfterClickingARadioAnswersOne) {
  Outcome outcome = RunPrompt({
      [](HWND d) { uitest::ClickItem(d, IDC_OVER_RESUME); },
      [](HWND d) { uitest::PressKey(d, VK_RETURN); },
  });
  EXPECT_EQ(1, outcome.result);
  EXPECT_FALSE(outcome.script.leftOpen) << "Enter did not end the dialog";
}

// The focus starts on OK, the only tab stop: Enter presses it.
TEST(FileOverCheck, EnterOnTheOkButtonPressesIt) {
  int focusId = 0;
  Outcome outcome = RunPrompt({
      [&](HWND d) {
        focusId = GetDlgCtrlID(GetFocus());
        CheckRadioButton(d, IDC_OVER_OVERWRITE, IDC_OVER_RESUME, IDC_OVER_RESUME);
      },
      [](HWND d) { uitest::PressKey(d, VK_RETURN); },
  });
  EXPECT_EQ(IDC_OVER_OK, focusId);
  EXPECT_EQ(CFileOverCheck::kResume, outcome.result);
  EXPECT_FALSE(outcome.script.leftOpen);
}

}  // namespace
