#pragma once
// The rules of upload selection that need no OS: the selection list and the
// folder result, the initial folder of both dialogs, the 150-file limits of
// the file dialog and of the folder walk (counted differently), and the
// texts the member is shown.
//
// Selection list: one "%s|%I64d?" entry (path, size) per file, concatenated.
// A path whose name cannot be written in code page 949 (its replacement
// character may be "?", an entry's end) or that does not fit the walk's
// 260-byte buffers never reaches the list: it is left out and counted.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace selection {

constexpr int kFileLimit = 150;
// The walk's search pattern, prefix and full paths, terminator included.
constexpr std::size_t kWalkPathBuffer = 260;
// Characters of the file dialog's name buffer.
constexpr std::size_t kNameBufferChars = 15360;
// Bytes the folder browser returns at most.
constexpr std::size_t kBrowsedFolderBuffer = 518;

extern const char kFileFilter[];
extern const char kFileDialogTitle[];
extern const char kFolderBrowserTitle[];
extern const char kTooManyFilesText[];
extern const char kTooManyInFolderText[];
extern const char kTooManyFilesCaption[];
extern const char kNotUploadableCaption[];

// "%s|%I64d?"
std::string Entry(const std::string& path, std::int64_t size);
// "<folder>/<list>"
std::string FolderResult(const std::string& folder, const std::string& list);

// The folder a dialog starts in: a remembered path that names an openable
// file is cut after its last "\" (kept), looking at no more than 300
// backslashes; anything else is used as it is.
std::string InitialFolder(const std::string& remembered, bool namesOpenableFile);

// "%d개의 0Byte파일이 존제합니다.\n0Byte파일은 목록에 추가되지 않습니다."
std::string ZeroByteText(int count);
// Files left out for their names or the length of their paths.
std::string LeftOutText(int count);

// The dialog's filter with "|" turned into the terminators the system's
// open-file dialog expects.
std::wstring FilterForDialog(const std::wstring& filter);

// The names an Explorer-style multi-selection dialog left in its buffer: one
// full path, or a folder followed by names; each as a full path. `pathName`
// gets the first text (the file, or the folder of several).
std::vector<std::wstring> ChosenPaths(const std::wstring& buffer, std::wstring& pathName);

// A name as the selection sees it: its code page 949 text and whether that
// text says exactly what the name says.
struct ConvertedName {
  std::string text;
  bool exact = true;
};

// The names the file dialog reported, taken one by one in its order. Every
// name counts towards the limit, zero-byte ones included.
class FileSelection {
public:
  // False when no more names are to be taken (the limit, or an empty path).
  // `sizeOf` is asked only for a name that is taken.
  bool Take(const ConvertedName& path, const std::function<std::int64_t()>& sizeOf);

  const std::string& List() const { return list_; }
  bool LimitExceeded() const { return limitExceeded_; }
  int ZeroByteCount() const { return zeroBytes_; }
  int LeftOutCount() const { return leftOut_; }

private:
  std::string list_;
  int names_ = 0;
  int zeroBytes_ = 0;
  int leftOut_ = 0;
  bool limitExceeded_ = false;
};

// What the folder walk needs of the file system. Paths are UTF-16, as the
// system's W functions take them.
class FolderSource {
public:
  struct Item {
    std::wstring name;
    ConvertedName converted;
    bool isFolder = false;
  };
  virtual ~FolderSource() = default;
  // The entries of `folder` ("." and ".." left out), in the system's order.
  virtual std::vector<Item> Items(const std::wstring& folder) = 0;
  // The file's size; 0 when it cannot be opened.
  virtual std::int64_t SizeOf(const std::wstring& path) = 0;
};

// The walk of a chosen folder and all its subfolders, one counter of
// accepted (non-empty) files for the whole walk. Zero-byte files are skipped
// silently; non-empty files whose paths cannot be listed are counted in
// LeftOutCount.
class FolderWalk {
public:
  explicit FolderWalk(FolderSource& source) : source_(source) {}
  // The selection list of the folder, or an empty text when more than 150
  // files would be taken.
  std::string Run(const std::wstring& folder, const ConvertedName& converted);
  int LeftOutCount() const { return leftOut_; }

private:
  std::string Enumerate(const std::wstring& folder, const std::string& text, bool listable, bool reset);

  FolderSource& source_;
  int accepted_ = 0;
  int leftOut_ = 0;
};

}  // namespace selection
