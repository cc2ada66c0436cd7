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
