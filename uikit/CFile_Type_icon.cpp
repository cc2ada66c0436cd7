#include "CFile_Type_icon.h"

#include <Formatting.h>
#include <TextConversion.h>

#include <shellapi.h>

HIMAGELIST CFile_Type_icon::GetSystemImageList(bool small) {
  SHFILEINFOW info = {};
  UINT flags = SHGFI_SYSICONINDEX | (small ? SHGFI_SMALLICON : 0);
  return reinterpret_cast<HIMAGELIST>(SHGetFileInfoW(L"c:\\", 0, &info, sizeof info, flags));
}

int CFile_Type_icon::GetIconIndex(const std::string& path, bool small) {
  SHFILEINFOW info = {};
  UINT flags = SHGFI_SYSICONINDEX | SHGFI_USEFILEATTRIBUTES | (small ? SHGFI_SMALLICON : 0);
  SHGetFileInfoW(Widen(path).c_str(), FILE_ATTRIBUTE_NORMAL, &info, sizeof info, flags);
  return info.iIcon;
}

std::string CFile_Type_icon::GetTypeName(const std::string& path) {
  SHFILEINFOW info = {};
  SHGetFileInfoW(Widen(path).c_str(), FILE_ATTRIBUTE_NORMAL, &info, sizeof info,
                 SHGFI_TYPENAME | SHGFI_USEFILEATTRIBUTES);
  return Narrow(info.szTypeName);
}

std::string CFile_Type_icon::FormatSize(std::int64_t bytes) { return ::FormatSize(bytes); }

std::string CFile_Type_icon::FormatDuration(std::int64_t seconds) { return ::FormatDuration(seconds); }
