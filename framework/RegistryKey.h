#pragma once
// An open registry key that is closed by its destructor. Every operation
// returns the Win32 status (ERROR_SUCCESS on success) and never shows a box.
#include <windows.h>

#include <string>

class RegistryKey {
public:
  RegistryKey() = default;
  ~RegistryKey();
  RegistryKey(const RegistryKey&) = delete;
  RegistryKey& operator=(const RegistryKey&) = delete;
  RegistryKey(RegistryKey&& other) noexcept;
  RegistryKey& operator=(RegistryKey&& other) noexcept;

  // Opens an existing key; fails with ERROR_FILE_NOT_FOUND when it is absent.
  LONG Open(HKEY parent, const std::wstring& path, REGSAM access = KEY_READ);
  // Opens the key, creating it and any missing parents.
  LONG Create(HKEY parent, const std::wstring& path, REGSAM access = KEY_READ | KEY_WRITE);
  void Close();

  bool IsOpen() const { return key_ != nullptr; }
  HKEY Handle() const { return key_; }

  // ERROR_FILE_NOT_FOUND when absent, ERROR_UNSUPPORTED_TYPE for another type.
  LONG ReadDword(const std::wstring& name, DWORD& value) const;
  LONG WriteDword(const std::wstring& name, DWORD value);
  // Reads REG_SZ (and REG_EXPAND_SZ, unexpanded); a missing terminator is tolerated.
  LONG ReadString(const std::wstring& name, std::wstring& value) const;
  LONG WriteString(const std::wstring& name, const std::wstring& value);
  LONG DeleteValue(const std::wstring& name);

private:
  HKEY key_ = nullptr;
};
