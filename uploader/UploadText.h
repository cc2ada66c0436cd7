#pragma once
// The texts of an upload job: the transfer server's list replies, the local
// file each one names and the check on it, the file signature, the file id
// and the resume offset. No OS calls: built natively for the unit tests and
// the fuzz targets. The window fetches the list like this:
//
//   for (int added = 0; added < kSlots;) {
//     const ListReplyReading reading = ReadListReply(connection.Transact(listCode));
//     if (reading.verdict == kEndOfList) break;
//     unsigned char sample[kSampleBytes] = {};     // stays zero for a refused path
//     if (reading.verdict == kAddFile) ReadSample(reading.path, SignatureSampleOffset(size), sample);
//     const std::string idReply = connection.Transact(SignatureText(reading.fields.size, sample));
//     if (reading.verdict == kRefusedPath) { tellUserOncePerJob(); continue; }
//     AddEntry(reading, FileIdFromReply(idReply)); ++added;
//   }
//
// Texts are CP949 byte strings; "|" and "\" are searched character by
// character (common/Cp949Text.h) unless a function says otherwise.
#include <cstddef>
#include <cstdint>
#include <string>

namespace upload_text {

// The web control's hand-off: "Haulbox_uploader_Manager|list code|member id|
// server number". The first field must be the keyword byte for byte,
// otherwise the text is no job of the uploader's. A missing "|" leaves its
// field empty and passes the remaining text on to the next field; the server
// number is everything after the third "|".
struct UploadHandoff {
  bool tagMatches = false;
  std::string listCode;      // sent unchanged for every list entry
  std::string memberId;      // empty: not logged in on the web site
  std::string serverNumber;  // may be empty
};
UploadHandoff SplitUploadHandoff(const std::string& text);

// The member id the transfer server returns at login: the first field of
// "id|megabytes|plan|expiry"; empty when the reply has no "|" (an empty
// reply included).
std::string MemberIdFromLoginReply(const std::string& reply);

// The worker copies a path into a 260-byte buffer with its zero byte; a longer
// path would be cut into the name of another file.
constexpr std::size_t kMaxPathBytes = 259;

// One list reply: "key|name|address|file|path|size". Each of the first five
// fields ends at the next "|"; a field whose "|" is missing comes out empty
// and leaves the remaining text to the next field; the size is read from
// everything after the fifth "|" as a signed 64-bit decimal (leading digits,
// none gives 0).
struct UploadListReply {
  std::string uploadKey;   // first text block on the data connection
  std::string uploadName;  // second text block
  std::string dataServer;  // dotted IPv4
  std::string fileName;
  std::string localPath;   // only its folder is used (PathToOpen)
  std::int64_t size = 0;
};
UploadListReply SplitUploadListReply(const std::string& reply);

// True when the list ends at this reply; the reply is not added and no
// signature is sent for it. The list ends at an end marker: "" (also what a
// failed exchange gives), "Null", "Ping" or "ListEnd", compared byte for byte;
// and at a malformed reply that names no file (NamesNoFile).
bool IsListEnd(const std::string& reply);

// True when the reply's file name field is empty: no "|" at all, fewer than
// four, or nothing between the third and the fourth. An entry without a name
// would stop every walk over the list, leaving the entries after it unsent,
// so such a reply ends the list as "ListEnd" does.
bool NamesNoFile(const std::string& reply);

// The path up to and including its last "\"; empty when it has none.
std::string FolderOf(const std::string& localPath);

// The file the signature samples and the worker sends: the folder of the
// listed local path followed by the listed file name.
std::string PathToOpen(const UploadListReply& reply);

// The server names the local files, so only a file on a local drive is ever
// opened. Acceptable is an absolute path "X:\..." (an ASCII drive letter) of
// at most kMaxPathBytes bytes whose levels after the drive, each ended by any
// "\" byte, are all non-empty (so it names a file, not a folder), none made
// only of dots and spaces (".", ".."), none a device name ("NUL", "com1.txt"),
// none holding a character Windows refuses in names; and that holds no "/"
// (Windows reads it as "\") and no ":" but the drive's (no stream, no second
// drive). Refused therefore: UNC paths ("\\host\share\x": Windows would
// authenticate to that host), the "\\?\" and "\\.\" namespaces, relative and
// drive-relative paths ("x.txt", "\x.txt", "C:x.txt"), "C:" and "C:\" alone.
bool IsAcceptableLocalPath(const std::string& path);

enum ListReplyVerdict {
  kEndOfList,    // IsListEnd: stop asking; nothing is added
  kRefusedPath,  // PathToOpen is not acceptable: not added, the list goes on
  kAddFile,
};

// One reply read whole. A refused path is never opened, but the server still
// waits for a signature: answer with the signature of a zeroed sample (what a
// file that cannot be opened gives) so that the next list request is not taken
// for a signature, and tell the user once per job.
struct ListReplyReading {
  ListReplyVerdict verdict = kEndOfList;
  UploadListReply fields;
  std::string folder;  // FolderOf(fields.localPath)
  std::string path;    // PathToOpen(fields)
};
ListReplyReading ReadListReply(const std::string& reply);

// The server's number for a signature: the leading decimal digits before the
// reply's first "|", clamped to 32 bits; 0 when there is no "|" (an empty
// reply included) or no digits.
std::int32_t FileIdFromReply(const std::string& reply);

// The signature: the file's size in decimal, then for each of 10 bytes taken
// from its middle the byte as a signed 8-bit value, its absolute value in
// three digits (0x41 "065", 0xFF "001", 0x80 "128"). Bytes past the end of
// the file, and all of them when it cannot be read, stay zero ("000"). A
// 20-byte file "abcdefghijklmnopqrst" is sampled at 10 and gives
// "20107108109110111112113114115116".
constexpr int kSampleBytes = 10;
// Sampled at 0 below 10 bytes, at size / 2 up to 2,000,000,000 bytes and at
// 1,999,999,990 above, whatever the size (4 GiB and more too).
std::int64_t SignatureSampleOffset(std::int64_t size);
std::string SignatureText(std::int64_t size, const unsigned char (&sample)[kSampleBytes]);

// The data server's resume offset (at most 12 bytes): a signed 64-bit
// decimal; negative, zero, no digits or an empty reply (the server closed)
// all mean the whole file is sent from its start, 0.
std::int64_t ResumeOffsetFromReply(const std::string& text);

}  // namespace upload_text
