#include "RegistryKey.h"

#include <utility>
#include <vector>

RegistryKey::~RegistryKey() { Close(); }

RegistryKey::RegistryKey(RegistryKey&& other) noexcept : key_(std::exchange(other.key_, nullptr)) {}

RegistryKey& RegistryKey::operator=(RegistryKey&& other) noexcept {
  if (this != &other) {
    Close();
    key_ = std::exchange(other.key_, nullptr);
  }
  return *this;
}

LONG RegistryKey::Open(HKEY parent, const std::wstring& path, REGSAM access) {
  Close();
  return RegOpenKeyExW(parent, path.c_str(), 0, access, &key_);
}

LONG RegistryKey::Create(HKEY parent, const std::wstring& path, REGSAM access) {
  Close();
  return RegCreateKeyExW(parent, path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, access,
                         nullptr, &key_, nullptr);
}

void RegistryKey::Close() {
  if (key_) {
    RegCloseKey(key_);
    key_ = nullptr;
  }
}

LONG RegistryKey::ReadDword(const std::wstring& name, DWORD& value) const {
  if (!key_) return ERROR_INVALID_HANDLE;
  DWORD type = 0;
  DWORD data = 0;
  DWORD size = sizeof data;
  LONG status = RegQueryValueExW(key_, name.c_str(), nullptr, &type,
                                 reinterpret_cast<BYTE*>(&data), &size);
  if (status == ERROR_MORE_DATA) return ERROR_UNSUPPORTED_TYPE;
  if (status != ERROR_SUCCESS) return status;
  if (type != REG_DWORD || size != sizeof data) return ERROR_UNSUPPORTED_TYPE;
  value = data;
  return ERROR_SUCCESS;
}

LONG RegistryKey::WriteDword(const std::wstring& name, DWORD value) {
  if (!key_) return ERROR_INVALID_HANDLE;
  return RegSetValueExW(key_, name.c_str(), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value),
                        sizeof value);
}

LONG RegistryKey::ReadString(const std::wstring& name, std::wstring& value) const {
  if (!key_) return ERROR_INVALID_HANDLE;
  // The value may change between the size query and the read: retry a few times.
  for (int attempt = 0; attempt < 4; ++attempt) {
    DWORD type = 0;
    DWORD size = 0;
    LONG status = RegQueryValueExW(key_, name.c_str(), nullptr, &type, nullptr, &size);
    if (status != ERROR_SUCCESS) return status;
    if (type != REG_SZ && type != REG_EXPAND_SZ) return ERROR_UNSUPPORTED_TYPE;
    std::vector<wchar_t> buffer(size / sizeof(wchar_t) + 1, L'\0');
    DWORD bufferSize = static_cast<DWORD>((buffer.size() - 1) * sizeof(wchar_t));
    status = RegQueryValueExW(key_, name.c_str(), nullptr, &type,
                              reinterpret_cast<BYTE*>(buffer.data()), &bufferSize);
    if (status == ERROR_MORE_DATA) continue;
    if (status != ERROR_SUCCESS) return status;
    if (type != REG_SZ && type != REG_EXPAND_SZ) return ERROR_UNSUPPORTED_TYPE;
    // The stored data need not be terminated; the buffer always is.
    size_t characters = bufferSize / sizeof(wchar_t);
    value.assign(buffer.data(), characters);
    size_t end = value.find(L'\0');
    if (end != std::wstring::npos) value.resize(end);
    return ERROR_SUCCESS;
  }
  return ERROR_MORE_DATA;
}

LONG RegistryKey::WriteString(const std::wstring& name, const std::wstring& value) {
  if (!key_) return ERROR_INVALID_HANDLE;
  DWORD size = static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t));
  return RegSetValueExW(key_, name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                        size);
}

LONG RegistryKey::DeleteValue(const std::wstring& name) {
  if (!key_) return ERROR_INVALID_HANDLE;
  return RegDeleteValueW(key_, name.c_str());
}
