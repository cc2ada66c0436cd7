#include "SelectionRules.h"

#include <cstdio>

#include "Cp949Text.h"

namespace selection {

const char kFileFilter[] =
    "모든파일 (*.*)|*.*|"
    "영상파일(*.avi,*.asx,*.asf,*.wmx,*.wmv,*.mpg,*.mpeg,*.m4v,*.ogm,*.mov)|"
    "*.avi;*.asx;*.asf;*.wmx;*.wmv;*.mpg;*.mpeg;*.m4v;*.ogm;*.mov|"
    "음악파일(*.wav,*.mp3,*.wma,*.mp2,*.mp4,*.ogg,*.pls,*.mid,*.cda)|"
    "*.wav;*.mp3;*.wma;*.mp2;*.mp4;*.ogg;*.pls;*.mid;*.cda|"
    "실행파일(*.exe,*.com,*.bat,*.msi)|*.exe;*.com;*.bat;*.msi|"
    "그림파일(*.bmp,*.gif,*.img,*.jbg,*.jpe,*.jpeg,*.jpg,*.mac,*.pbm,*.pcd,*.pcx,*.ptc,*.png,*.ppm,*.psd,*.tga,"
    "*.tif,*.tiff,*.wmf)|"
    "*.bmp;*.gif;*.img;*.jbg;*.jpe;*.jpeg;*.jpg;*.mac;*.pbm;*.pcd;*.pcx;*.ptc;*.png;*.ppm;*.psd;*.tga;*.tif;"
    "*.tiff;*.wmf|"
    "문서파일(*.txt,*.doc,*.xml,*.html,*.hwp,*.ppt,*.smi)|*.txt;*.doc;*.xml;*.html;*.hwp;*.ppt;*.smi|"
    "압축파일(*.alz,*.ace,*.arj,*.cab,*.gz,*.ha,*.ice,*.jar,*.lha,*.lzh,*.pak,*.rar,*.tar,*.tgz,*.zip)|"
    "*.alz;*.ace;*.arj;*.cab;*.gz;*.ha;*.ice;*.jar;*.lha;*.lzh;*.pak;*.rar;*.tar;*.tgz;*.zip|";
const char kFileDialogTitle[] = "업로드할 파일을 선택하세요.(중복 선택가능)";
const char kFolderBrowserTitle[] = "업로드할 폴더를 선택하세요.";
const char kTooManyFilesText[] = "한번에 올릴수 있는 파일의 개수는 총 150개입니다.";
const char kTooManyInFolderText[] =
    "선택한 폴더에 너무 많은 파일이 존재합니다.\n한번에 올릴수 있는 파일의 개수는 총 150개입니다.";
const char kTooManyFilesCaption[] = "파일개수 초과";
const char kNotUploadableCaption[] = "업로드 할수 없는파일";

std::string Entry(const std::string& path, std::int64_t size) {
  return path + "|" + std::to_string(static_cast<long long>(size)) + "?";
}

std::string FolderResult(const std::string& folder, const std::string& list) { return folder + "/" + list; }

std::string InitialFolder(const std::string& remembered, bool namesOpenableFile) {
  if (remembered.empty() || !namesOpenableFile) return remembered;
  const int kMostBackslashes = 300;
  std::size_t last = std::string::npos;
  std::size_t at = cp949::FindChar(remembered, '\\');
  for (int seen = 0; at != std::string::npos && seen < kMostBackslashes; ++seen) {
    last = at;
    at = cp949::FindChar(remembered, '\\', at + 1);
  }
  return last == std::string::npos ? remembered : remembered.substr(0, last + 1);
}

std::string ZeroByteText(int count) {
  char text[160];
  std::snprintf(text, sizeof text, "%d개의 0Byte파일이 존제합니다.\n0Byte파일은 목록에 추가되지 않습니다.", count);
  return text;
}

std::string LeftOutText(int count) {
  char text[240];
  std::snprintf(text, sizeof text,
                "%d개의 파일은 이름에 쓸 수 없는 글자가 있거나 경로가 너무 길어\n"
                "목록에 추가되지 않습니다.",
                count);
  return text;
}

std::wstring FilterForDialog(const std::wstring& filter) {
  std::wstring terminated = filter;
  for (wchar_t& c : terminated) {
    if (c == L'|') c = L'\0';
  }
  return terminated;
}

std::vector<std::wstring> ChosenPaths(const std::wstring& buffer, std::wstring& pathName) {
  std::vector<std::wstring> texts;
  std::size_t at = 0;
  while (at < buffer.size() && buffer[at] != L'\0') {
    std::size_t end = buffer.find(L'\0', at);
    if (end == std::wstring::npos) end = buffer.size();
    texts.push_back(buffer.substr(at, end - at));
    at = end + 1;
  }
  pathName = texts.empty() ? std::wstring() : texts.front();
  if (texts.size() <= 1) return texts;
  std::wstring prefix = texts.front();
  if (prefix.back() != L'\\') prefix += L'\\';
  std::vector<std::wstring> paths;
  for (std::size_t i = 1; i < texts.size(); ++i) paths.push_back(prefix + texts[i]);
  return paths;
}

bool FileSelection::Take(const ConvertedName& path, const std::function<std::int64_t()>& sizeOf) {
  if (++names_ > kFileLimit) {
    list_.clear();
    limitExceeded_ = true;
    return false;
  }
  if (path.text.empty()) return false;
  std::int64_t size = sizeOf();
  if (size <= 0) {
    ++zeroBytes_;
  } else if (!path.exact) {
    ++leftOut_;
  } else {
    list_ += Entry(path.text, size);
  }
  return true;
}

std::string FolderWalk::Run(const std::wstring& folder, const ConvertedName& converted) {
  leftOut_ = 0;
  return Enumerate(folder, converted.text, converted.exact, true);
}

// `listable`: `text` names the folder exactly; when it does not, the folder
// is still walked so that its files are counted as left out.
std::string FolderWalk::Enumerate(const std::wstring& folder, const std::string& text, bool listable, bool reset) {
  if (reset) {
    accepted_ = 0;
  } else if (accepted_ > kFileLimit) {
    return std::string();
  }
  std::string prefix = text + "\\";
  // "<folder>\*.*" with its terminator must fit the walk's buffer.
  if (prefix.size() + 3 + 1 > kWalkPathBuffer) listable = false;
  std::wstring widePrefix = folder + L"\\";
  std::string list;
  for (const FolderSource::Item& item : source_.Items(folder)) {
    std::wstring path = widePrefix + item.name;
    std::string pathText = prefix + item.converted.text;
    bool pathListable = listable && item.converted.exact && pathText.size() + 1 <= kWalkPathBuffer;
    if (item.isFolder) {
      list += Enumerate(path, pathText, pathListable, false);
      continue;
    }
    std::int64_t size = source_.SizeOf(path);
    if (size <= 0) continue;
    if (!pathListable) {
      ++leftOut_;
      continue;
    }
    ++accepted_;
    list += Entry(pathText, size);
    if (accepted_ > kFileLimit) break;
  }
  return accepted_ <= kFileLimit ? list : std::string();
}

}  // namespace selection
