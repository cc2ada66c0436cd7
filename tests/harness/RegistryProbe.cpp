#include "RegistryProbe.h"

#include <vector>

namespace harness {

bool ReadRegistryDword(const std::wstring& keyPath, const std::wstring& name, DWORD& value, HKEY root) {
  DWORD data = 0;
  DWORD size = sizeof data;
  if (RegGetValueW(root, keyPath.c_str(), name.c_str(), RRF_RT_REG_DWORD, nullptr, &data, &size) !=
      ERROR_SUCCESS)
    return false;
  value = data;
  return true;
}

bool ReadRegistryString(const std::wstring& keyPath, const std::wstring& name, std::wstring& value,
                        HKEY root) {
  DWORD size = 0;
  if (RegGetValueW(root, keyPath.c_str(), name.c_str(), RRF_RT_REG_SZ, nullptr, nullptr, &size) !=
      ERROR_SUCCESS)
    return false;
  std::vector<wchar_t> buffer(size / sizeof(wchar_t) + 1, L'\0');
  size = static_cast<DWORD>(buffer.size() * sizeof(wchar_t));
  if (RegGetValueW(root, keyPath.c_str(), name.c_str(), RRF_RT_REG_SZ, nullptr, buffer.data(), &size) !=
      ERROR_SUCCESS)
    return false;
  value.assign(buffer.data());
  return true;
}

bool RegistryValueExists(const std::wstring& keyPath, const std::wstring& name, HKEY root) {
  return RegGetValueW(root, keyPath.c_str(), name.c_str(), RRF_RT_ANY, nullptr, nullptr, nullptr) ==
         ERROR_SUCCESS;
}

bool DeleteRegistryTree(const std::wstring& keyPath, HKEY root) {
  LONG status = RegDeleteTreeW(root, keyPath.c_str());
  if (status == ERROR_FILE_NOT_FOUND) return true;
  if (status != ERROR_SUCCESS) return false;
  // RegDeleteTreeW empties the key; the key itself goes separately.
  status = RegDeleteKeyW(root, keyPath.c_str());
  return status == ERROR_SUCCESS || status == ERROR_FILE_NOT_FOUND;
}

}  // namespace harness
