#pragma once
// The Wine prefix's registry as the programs under test see it (HKCU by
// default): reading values back and clearing test keys.
#include <windows.h>

#include <string>

namespace harness {

// True and `value` set when the value exists with type REG_DWORD.
bool ReadRegistryDword(const std::wstring& keyPath, const std::wstring& name, DWORD& value,
                       HKEY root = HKEY_CURRENT_USER);
// True and `value` set when the value exists with type REG_SZ.
bool ReadRegistryString(const std::wstring& keyPath, const std::wstring& name, std::wstring& value,
                        HKEY root = HKEY_CURRENT_USER);
bool RegistryValueExists(const std::wstring& keyPath, const std::wstring& name,
                         HKEY root = HKEY_CURRENT_USER);
// Deletes the key and everything below it; true also when it did not exist.
bool DeleteRegistryTree(const std::wstring& keyPath, HKEY root = HKEY_CURRENT_USER);

}  // namespace harness
