#include "SkinTable.h"

// The rows name controls and strips as the programs' id headers do. The two
// headers give some names (IDB_CLOSE, IDC_CFG_OK, ...) numbers of their own,
// so the uploader's header comes in after the downloader's rows.
#include "../resources/downloader/DownloaderRes.h"

namespace {
const SkinRow kRows[] = {
    {SkinWindow::DownloaderMain, IDC_DOWN_HIDE, IDB_HIDE, 64, 14, 24, {0, 73, 73, 73}},
    {SkinWindow::DownloaderMain, IDC_DOWN_MINIMIZE, IDB_MINIMIZE, 64, 14, 24, {0, 73, 73, 73}},
    {SkinWindow::DownloaderMain, IDC_DOWN_CLOSE, IDB_CLOSE, 64, 14, 24, {0, 73, 73, 73}},
    {SkinWindow::DownloaderMain, IDC_DOWN_MOVE_TOP, IDB_MOVE_TOP, 96, 24, 24, {0, 18, 0, 80}},
    {SkinWindow::DownloaderMain, IDC_DOWN_MOVE_UP, IDB_MOVE_UP, 96, 24, 24, {0, 18, 0, 80}},
    {SkinWindow::DownloaderMain, IDC_DOWN_MOVE_DOWN, IDB_MOVE_DOWN, 96, 24, 24, {0, 18, 0, 80}},
    {SkinWindow::DownloaderMain, IDC_DOWN_MOVE_BOTTOM, IDB_MOVE_BOTTOM, 96, 24, 24, {0, 18, 0, 80}},
    {SkinWindow::DownloaderMain, IDC_DOWN_SETTINGS, IDB_SETTINGS, 300, 21, 24, {0, 58, 0, 224}},
    {SkinWindow::DownloaderMain, IDC_DOWN_DELETE_SELECTED, IDB_DELETE_SELECTED, 336, 23, 24, {0, 18, 0, 320}},
    {SkinWindow::DownloaderMain, IDC_DOWN_REMOVE_COMPLETED, IDB_REMOVE_COMPLETED, 336, 23, 24, {0, 18, 0, 320}},
    {SkinWindow::DownloaderMain, IDC_DOWN_START_STOP, IDB_START_STOP, 268, 53, 24, {0, 29, 0, 328}},
    {SkinWindow::DownloaderMain, IDC_DOWN_EXIT, IDB_EXIT, 264, 53, 24, {0, 29, 0, 328}},
    {SkinWindow::DownloaderMain, IDC_DOWN_OPEN_FOLDER, IDB_OPEN_FOLDER, 404, 21, 24, {0, 58, 0, 224}},
    {SkinWindow::DownloaderMain, IDC_DOWN_HOMEPAGE, IDB_HOMEPAGE, 416, 30, 24, {0, 104, 0, 416}},
    {SkinWindow::DownloaderMain, IDC_DOWN_OPEN_FILE, IDB_OPEN_FILE, 268, 53, 24, {0, 29, 0, 328}},
    {SkinWindow::DownloaderSettings, IDC_CFG_CANCEL, IDB_CFG_CANCEL, 304, 24, 24, {0, 76, 0, 304}},
    {SkinWindow::DownloaderSettings, IDC_CFG_OK, IDB_CFG_OK, 304, 24, 24, {0, 76, 0, 304}},
    {SkinWindow::DownloaderSettings, IDC_CFG_BROWSE, IDB_CFG_BROWSE, 252, 21, 24, {0, 63, 0, 252}},
#include "../resources/shared/ForgetProgramIds.h"
#include "../resources/uploader/UploaderRes.h"
    {SkinWindow::UploaderMain, IDC_UP_HIDE, IDB_HIDE, 64, 14, 24, {0, 16, 16, 16}},
    {SkinWindow::UploaderMain, IDC_UP_MINIMIZE, IDB_MINIMIZE, 64, 14, 24, {0, 16, 16, 16}},
    {SkinWindow::UploaderMain, IDC_UP_CLOSE, IDB_CLOSE, 64, 14, 24, {0, 16, 16, 16}},
    {SkinWindow::UploaderMain, IDC_UP_DELETE_SELECTED, IDB_DELETE_SELECTED, 336, 23, 32, {0, 18, 0, 320}},
    {SkinWindow::UploaderMain, IDC_UP_DELETE_COMPLETED, IDB_DELETE_COMPLETED, 336, 23, 32, {0, 18, 0, 320}},
    {SkinWindow::UploaderMain, IDC_UP_MOVE_UP, IDB_MOVE_UP, 96, 24, 32, {0, 18, 0, 80}},
    {SkinWindow::UploaderMain, IDC_UP_MOVE_DOWN, IDB_MOVE_DOWN, 96, 24, 32, {0, 18, 0, 80}},
    {SkinWindow::UploaderMain, IDC_UP_MOVE_TOP, IDB_MOVE_TOP, 96, 24, 32, {0, 18, 0, 80}},
    {SkinWindow::UploaderMain, IDC_UP_MOVE_BOTTOM, IDB_MOVE_BOTTOM, 96, 24, 24, {0, 18, 0, 80}},
    {SkinWindow::UploaderMain, IDC_UP_HOMEPAGE, IDB_HOMEPAGE, 416, 30, 32, {0, 104, 0, 416}},
    {SkinWindow::UploaderMain, IDC_UP_START_STOP, IDB_START_STOP, 268, 52, 32, {0, 21, 0, 300}},
    {SkinWindow::UploaderMain, IDC_UP_SETTINGS, IDB_SETTINGS, 300, 21, 24, {0, 58, 0, 224}},
    {SkinWindow::UploaderSettings, IDC_CFG_CANCEL, IDB_CFG_CANCEL, 304, 24, 24, {0, 76, 0, 304}},
    {SkinWindow::UploaderSettings, IDC_CFG_BROWSE, IDB_CFG_BROWSE, 252, 21, 24, {0, 63, 0, 252}},
    {SkinWindow::UploaderSettings, IDC_CFG_OK, IDB_CFG_OK, 304, 24, 24, {0, 76, 0, 304}},
};
}  // namespace

const SkinRow* SkinRows(std::size_t* count) {
  *count = sizeof kRows / sizeof kRows[0];
  return kRows;
}

const SkinRow* FindSkin(SkinWindow window, int controlId) {
  for (const SkinRow& row : kRows) {
    if (row.window == window && row.controlId == controlId) return &row;
  }
  return nullptr;
}
