#include "JobText.h"

#include <climits>

#include "Cp949Text.h"
#include "FileNames.h"
#include "Handoff.h"

namespace job_text {

namespace {

std::string TakeBarField(std::string& rest) { return cp949::TakeSeparatedField(rest, '|'); }

std::int32_t ToInt32(long long value) {
  if (value > INT_MAX) return INT_MAX;
  if (value < INT_MIN) return INT_MIN;
  return static_cast<std::int32_t>(value);
}

// Checked byte by byte on purpose: 0x5C, 0x2F and 0x3A are never CP949 trail
// bytes, so a byte that is not a whole character here would still become the
// separator when the text is converted for the file system.
bool HoldsByte(const std::string& text, char c) { return text.find(c) != std::string::npos; }

}  // namespace

Handoff SplitHandoff(const std::string& text) {
  Handoff handoff;
  std::string rest = text;
  std::string tag = TakeBarField(rest);
  handoff.tagMatches = tag == kDownloaderHandoffTag;
  if (!handoff.tagMatches) return handoff;
  handoff.fileCodes = TakeBarField(rest);
  handoff.memberId = TakeBarField(rest);
  handoff.serverNumber = rest;
  return handoff;
}

int CountFileCodes(const std::string& codes) {
  int count = 0;
  std::string rest = codes;
  while (!rest.empty()) {
    if (!cp949::TakeField(rest, '?').empty()) ++count;
  }
  return count;
}

std::string TakeNextFileCode(std::string& codes) {
  std::size_t at = cp949::FindChar(codes, '?');
  if (at == std::string::npos) return std::string();
  std::string code = codes.substr(0, at);
  codes.erase(0, at + 1);
  return code;
}

FileReply SplitFileReply(const std::string& reply) {
  FileReply file;
  std::string rest = reply;
  file.name = TakeBarField(rest);
  file.dataServer = TakeBarField(rest);
  file.serverKey = TakeBarField(rest);
  file.subfolder = TakeBarField(rest);
  file.size = cp949::LeadingInteger(rest);
  return file;
}

LoginReply SplitLoginReply(const std::string& reply) {
  LoginReply login;
  std::string rest = reply;
  login.memberId = TakeBarField(rest);
  login.megabytes = ToInt32(cp949::LeadingInteger(TakeBarField(rest)));
  login.planName = TakeBarField(rest);
  login.expiryStamp = ToInt32(cp949::LeadingInteger(rest));
  if (login.planName.empty()) login.planName = "일반회원";
  return login;
}

std::string ExtensionOf(const std::string& name) { return cp949::AfterLast(name, '.'); }

std::string LocalFolderFor(const std::string& saveFolder, const std::string& subfolder) {
  if (subfolder.empty()) return saveFolder;
  std::string folder = saveFolder;
  std::size_t last = cp949::FindLastChar(folder, '\\');
  if (folder.empty() || last != folder.size() - 1) folder += '\\';
  return folder + subfolder;
}

bool IsSafeFileName(const std::string& name) {
  if (name.empty()) return true;  // names nothing; the file cannot be created later
  if (HoldsByte(name, '\\') || HoldsByte(name, '/') || HoldsByte(name, ':')) return false;
  return !file_names::IsOnlyDotsAndSpaces(name) && !file_names::IsDeviceName(name) &&
         !file_names::HoldsRefusedCharacter(name);
}

bool IsSafeSubfolder(const std::string& subfolder) {
  if (subfolder.empty()) return true;
  if (subfolder[0] == '\\' || HoldsByte(subfolder, '/') || HoldsByte(subfolder, ':')) return false;
  // Levels end at every "\" byte, for the reason given at HoldsByte.
  for (std::size_t start = 0; start <= subfolder.size();) {
    std::size_t end = subfolder.find('\\', start);
    if (end == std::string::npos) end = subfolder.size();
    std::string level = subfolder.substr(start, end - start);
    if (!level.empty() && (file_names::IsOnlyDotsAndSpaces(level) || file_names::IsDeviceName(level) ||
                           file_names::HoldsRefusedCharacter(level))) {
      return false;
    }
    start = end + 1;
  }
  return true;
}

bool IsUsableSaveFolder(const std::string& folder) {
  const auto isLetter = [](char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); };
  if (folder.size() >= 3 && isLetter(folder[0]) && folder[1] == ':' && folder[2] == '\\') return true;
  // "\\host\share": a host that is not "." or "?" (device namespaces) and a share.
  if (folder.size() < 5 || folder[0] != '\\' || folder[1] != '\\') return false;
  const std::string rest = folder.substr(2);
  const std::size_t slash = cp949::FindChar(rest, '\\');
  if (slash == std::string::npos || slash == 0 || slash + 1 >= rest.size()) return false;
  const std::string host = rest.substr(0, slash);
  return host != "." && host != "?" && rest[slash + 1] != '\\';
}

}  // namespace job_text
