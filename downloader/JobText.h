#pragma once
// The texts of a download job: the hand-off from the web control, the file
// codes, the transfer server's login and file replies, and the checks on the
// names the server gives us. No OS calls: built natively for the unit tests.
#include <cstdint>
#include <string>

namespace job_text {


struct Handoff {
  bool tagMatches = false;
  std::string fileCodes;     // "?"-terminated codes
  std::string memberId;      // empty: not logged in on the web site
  std::string serverNumber;  // may be empty
};

// Splits "tag|codes|member|server". A missing "|" leaves its field empty and
// passes the remaining text on to the next field; the last field keeps any
// further "|".
Handoff SplitHandoff(const std::string& text);

// The number of non-empty pieces when the codes are cut at every "?".
int CountFileCodes(const std::string& codes);

// Takes the code before the first "?" and removes it with its "?". Without a
// "?" nothing is taken: returns empty and the loop over the codes ends.
std::string TakeNextFileCode(std::string& codes);

struct FileReply {
  std::string name;
  std::string dataServer;  // dotted IPv4
  std::string serverKey;
  std::string subfolder;   // each level ends with "\"
  std::int64_t size = 0;
};

// "name|address|key|subfolder|size"; the size is everything after the fourth "|".
FileReply SplitFileReply(const std::string& reply);

struct LoginReply {
  std::string memberId;
  std::int32_t megabytes = 0;
  std::string planName;  // "일반회원" when the reply's field is empty
  std::int32_t expiryStamp = 0;  // YYYYMMDDHH
};

// "member|megabytes|plan|expiry".
LoginReply SplitLoginReply(const std::string& reply);

// The name's text after its last "."; the whole name when it has none.
std::string ExtensionOf(const std::string& name);

// The save folder, a "\" unless it already ends with one, then the subfolder;
// the save folder alone when the subfolder is empty.
std::string LocalFolderFor(const std::string& saveFolder, const std::string& subfolder);

// The server names the file and its subfolder; neither may lead out of the
// save folder. A safe name is one path component: no "\", "/" or ":" and not
// only dots and spaces ("..", "."). A safe subfolder is relative (no leading
// "\" or "/"), has no ":" or "/", and none of its levels, each ended by any
// "\" byte, is made only of dots and spaces. Neither names a device ("NUL",
// "con.txt", "COM1", "LPT1.bin", "aux" as a level): Windows opens the device
// instead. Neither holds a character Windows refuses in names (< > " | ? *
// and control characters): such a file could be created in no folder.
// The device and character rules are common/FileNames.h's.
bool IsSafeFileName(const std::string& name);
bool IsSafeSubfolder(const std::string& subfolder);

// A folder files may be saved into: an absolute path on a drive ("X:\...")
// or a network share ("\\host\share..."). Empty and relative folders would
// put the files at the root of the current drive or in the working folder.
bool IsUsableSaveFolder(const std::string& folder);

}  // namespace job_text
