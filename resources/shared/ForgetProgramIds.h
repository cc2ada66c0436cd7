// Ends the names that DownloaderRes.h and UploaderRes.h both define with
// numbers of their own, so that a file holding tables of both programs can
// take the other program's header after its first table:
//   #include "../resources/downloader/DownloaderRes.h"
//   ... downloader rows ...
//   #include "../resources/shared/ForgetProgramIds.h"
//   #include "../resources/uploader/UploaderRes.h"
//   ... uploader rows ...
// Names the two headers define alike stay. A shared name missing here shows
// as a "redefined" warning at the second header. No include guard: it does
// its work wherever it is included.
#undef IDI_TRAY
#undef IDD_CONFIG
#undef IDR_TRAY_MENU
#undef IDB_UNUSED_FOLDER
#undef IDB_MOVE_BOTTOM
#undef IDB_DELETE_SELECTED
#undef IDB_MOVE_DOWN
#undef IDB_CFG_BROWSE
#undef IDB_SETTINGS
#undef IDB_START_STOP
#undef IDB_MOVE_TOP
#undef IDB_MOVE_UP
#undef IDB_CLOSE
#undef IDB_MINIMIZE
#undef IDB_HIDE
#undef IDB_HOMEPAGE
#undef IDB_CFG_CANCEL
#undef IDB_CFG_OK
#undef IDC_CFG_CANCEL
#undef IDC_CFG_OVERWRITE
#undef IDC_CFG_ASK
#undef IDC_CFG_OK
#undef IDC_CFG_FOLDER
#undef IDC_CFG_BROWSE
#undef IDC_CFG_RESUME
#undef IDC_CFG_AUTO_START
#undef IDC_CFG_USE_FOLDER
#undef IDC_CFG_DONE_DELETE
#undef IDC_CFG_DONE_EXIT
#undef IDC_CFG_DONE_SHUTDOWN
#undef IDC_CFG_AUTO_ADD
#undef IDC_CFG_TRAY
#undef IDC_CFG_END_SHOW_WINDOW
#undef IDC_CFG_END_EXIT
#undef IDC_CFG_END_SHUTDOWN
