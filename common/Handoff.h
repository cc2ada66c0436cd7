#pragma once
// The names through which the web control's launcher window and the
// transfer programs find each other and exchange the ready text and the hand-off
// (WM_COPYDATA with the tag below in dwData).
#include <cstdint>

// 41160500: dwData of the ready message and of the hand-off.
constexpr std::uintptr_t kHandoffTagDownloader = 0x02740F34;
// The downloader's ready text, sent with its zero byte.
inline constexpr char kDownloaderReadyText[] = "Haulbox_Downloader";
// First field of a download hand-off text.
inline constexpr char kDownloaderHandoffTag[] = "Haulbox_downloader_Manager";
inline constexpr wchar_t kLauncherWindowClass[] = L"HAULbox_AX_EXE";
inline constexpr wchar_t kDownloaderWindowClass[] = L"Haulbox_downloader";

// 60504110: dwData of the uploader's ready message and of its hand-off.
constexpr std::uintptr_t kHandoffTagUploader = 60504110;
// The uploader's ready text, sent with its zero byte.
inline constexpr char kUploaderReadyText[] = "haulbox_uploader";
// First field of an upload hand-off text.
inline constexpr char kUploaderHandoffTag[] = "Haulbox_uploader_Manager";
inline constexpr wchar_t kUploaderWindowClass[] = L"haulbox_uploader";

// What tells one transfer program from the other on both sides of the
// hand-off: its file in the install folder, its main window's class, the
// tag, its ready text and the first field of the text it is handed.
struct TransferProgram {
  const wchar_t* fileName;
  const wchar_t* windowClass;
  std::uintptr_t tag;
  const char* readyText;
  const char* handoffPrefix;
};

inline constexpr TransferProgram kDownloaderProgram{L"Haulbox_DOWN.exe", kDownloaderWindowClass,
                                                    kHandoffTagDownloader, kDownloaderReadyText,
                                                    kDownloaderHandoffTag};
inline constexpr TransferProgram kUploaderProgram{L"Haulbox_UPLOAD.exe", kUploaderWindowClass, kHandoffTagUploader,
                                                  kUploaderReadyText, kUploaderHandoffTag};
