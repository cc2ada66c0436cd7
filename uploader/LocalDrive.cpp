#include "LocalDrive.h"

#include <windows.h>

bool IsOnLocalDrive(const std::string& path) {
  if (path.empty()) return false;
  const wchar_t root[] = {static_cast<wchar_t>(static_cast<unsigned char>(path[0])), L':', L'\\', L'\0'};
  switch (GetDriveTypeW(root)) {
    case DRIVE_FIXED:
    case DRIVE_REMOVABLE:
    case DRIVE_CDROM:
    case DRIVE_RAMDISK:
      return true;
    default:  // DRIVE_REMOTE, DRIVE_NO_ROOT_DIR, DRIVE_UNKNOWN
      return false;
  }
}
