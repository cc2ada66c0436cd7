#include "SkinTable.h"

namespace {
const SkinRow kRows[] = {
    {SkinWindow::DownloaderMain, 1001, 143, 64, 14, 24, {0, 73, 73, 73}},
    {SkinWindow::DownloaderMain, 1002, 142, 64, 14, 24, {0, 73, 73, 73}},
    {SkinWindow::DownloaderMain, 1003, 140, 64, 14, 24, {0, 73, 73, 73}},
    {SkinWindow::DownloaderMain, 1007, 138, 96, 24, 24, {0, 18, 0, 80}},
    {SkinWindow::DownloaderMain, 1008, 139, 96, 24, 24, {0, 18, 0, 80}},
    {SkinWindow::DownloaderMain, 1009, 134, 96, 24, 24, {0, 18, 0, 80}},
    {SkinWindow::DownloaderMain, 1010, 131, 96, 24, 24, {0, 18, 0, 80}},
    {SkinWindow::DownloaderMain, 1011, 136, 300, 21, 24, {0, 58, 0, 224}},
    {SkinWindow::DownloaderMain, 1013, 133, 336, 23, 24, {0, 18, 0, 320}},
    {SkinWindow::DownloaderMain, 1014, 132, 336, 23, 24, {0, 18, 0, 320}},
    {SkinWindow::DownloaderMain, 1016, 137, 268, 53, 24, {0, 29, 0, 328}},
    {SkinWindow::DownloaderMain, 1035, 179, 264, 53, 24, {0, 29, 0, 328}},
    {SkinWindow::DownloaderMain, 1036, 178, 404, 21, 24, {0, 58, 0, 224}},
    {SkinWindow::DownloaderMain, 1037, 180, 416, 30, 24, {0, 104, 0, 416}},
    {SkinWindow::DownloaderMain, 1046, 183, 268, 53, 24, {0, 29, 0, 328}},
    {SkinWindow::DownloaderSettings, 1003, 192, 304, 24, 24, {0, 76, 0, 304}},
    {SkinWindow::DownloaderSettings, 1058, 194, 304, 24, 24, {0, 76, 0, 304}},
    {SkinWindow::DownloaderSettings, 1070, 135, 252, 21, 24, {0, 63, 0, 252}},
    {SkinWindow::UploaderMain, 1007, 132, 64, 14, 24, {0, 16, 16, 16}},
    {SkinWindow::UploaderMain, 1008, 134, 64, 14, 24, {0, 16, 16, 16}},
    {SkinWindow::UploaderMain, 1009, 133, 64, 14, 24, {0, 16, 16, 16}},
    {SkinWindow::UploaderMain, 1018, 150, 336, 23, 32, {0, 18, 0, 320}},
    {SkinWindow::UploaderMain, 1019, 153, 336, 23, 32, {0, 18, 0, 320}},
    {SkinWindow::UploaderMain, 1020, 151, 96, 24, 32, {0, 18, 0, 80}},
    {SkinWindow::UploaderMain, 1021, 145, 96, 24, 32, {0, 18, 0, 80}},
    {SkinWindow::UploaderMain, 1022, 146, 96, 24, 32, {0, 18, 0, 80}},
    {SkinWindow::UploaderMain, 1023, 155, 96, 24, 24, {0, 18, 0, 80}},
    {SkinWindow::UploaderMain, 1027, 1027, 416, 30, 32, {0, 104, 0, 416}},
    {SkinWindow::UploaderMain, 1028, 154, 268, 52, 32, {0, 21, 0, 300}},
    {SkinWindow::UploaderMain, 1048, 156, 300, 21, 24, {0, 58, 0, 224}},
    {SkinWindow::UploaderSettings, 1009, 194, 304, 24, 24, {0, 76, 0, 304}},
    {SkinWindow::UploaderSettings, 1054, 152, 252, 21, 24, {0, 63, 0, 252}},
    {SkinWindow::UploaderSettings, 1055, 196, 304, 24, 24, {0, 76, 0, 304}},
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
