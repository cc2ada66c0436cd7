#include "ProgramVersion.h"

#include <windows.h>

#include <vector>

#include "HandoffRules.h"

std::wstring InstallFolder() {
  wchar_t programFiles[MAX_PATH];
  DWORD length = ExpandEnvironmentStringsW(L"%ProgramFiles%", programFiles, MAX_PATH);
  if (length == 0 || length > MAX_PATH) return L"C:\\Program Files\\Quorvanes";
  return std::wstring(programFiles) + L"\\Quorvanes";
}

namespace {

bool CanOpenForReading(const std::wstring& path) {
  HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                            nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  CloseHandle(file);
  return true;
}

}  // namespace

std::optional<std::string> InstalledVersion(const std::wstring& path) {
  if (!CanOpenForReading(path)) return std::nullopt;
  DWORD ignored = 0;
  DWORD size = GetFileVersionInfoSizeW(path.c_str(), &ignored);
  if (size == 0) return std::nullopt;
  std::vector<unsigned char> block(size);
  if (!GetFileVersionInfoW(path.c_str(), 0, size, block.data())) return std::nullopt;
  VS_FIXEDFILEINFO* fixed = nullptr;
  UINT fixedSize = 0;
  if (!VerQueryValueW(block.data(), L"\\", reinterpret_cast<void**>(&fixed), &fixedSize) || !fixed ||
      fixedSize < sizeof(VS_FIXEDFILEINFO)) {
    return std::nullopt;
  }
  return FileVersionText(fixed->dwFileVersionMS, fixed->dwFileVersionLS);
}
