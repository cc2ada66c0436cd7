#pragma once
// Shell look-ups for file rows: the system image list, the icon index and
// type name of a file name (by its extension; the file need not exist), and
// the size and duration texts.
#include <windows.h>
#include <commctrl.h>

#include <cstdint>
#include <string>

class CFile_Type_icon {
public:
  virtual ~CFile_Type_icon() = default;

  // The shell's system image list (small or large icons); owned by the shell.
  HIMAGELIST GetSystemImageList(bool small);
  int GetIconIndex(const std::string& path, bool small);
  std::string GetTypeName(const std::string& path);
  std::string FormatSize(std::int64_t bytes);
  std::string FormatDuration(std::int64_t seconds);
};
