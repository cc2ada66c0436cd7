// The transfer server's upload list reply and what the uploader reads from
// it: upload_text::SplitUploadListReply, the end of the list (IsListEnd,
// NamesNoFile), the folder and the path opened (FolderOf, PathToOpen,
// ReadListReply), the check that keeps every opened file on a local drive
// (IsAcceptableLocalPath), the file id, the resume offset and the file
// signature (SignatureSampleOffset, SignatureText).
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "FuzzSupport.h"
#include "UploadText.h"

namespace {

using fuzz_model::Boundaries;

void CheckSplit(const std::string& reply, const upload_text::UploadListReply& r) {
  // key|name|address|file|path|size: five fields, each up to the next "|";
  // the size is read from everything after the fifth.
  const fuzz_model::BarSplit expected = fuzz_model::SplitAtBars(reply, 5);
  FUZZ_CHECK(r.uploadKey == expected.fields[0]);
  FUZZ_CHECK(r.uploadName == expected.fields[1]);
  FUZZ_CHECK(r.dataServer == expected.fields[2]);
  FUZZ_CHECK(r.fileName == expected.fields[3]);
  FUZZ_CHECK(r.localPath == expected.fields[4]);
  FUZZ_CHECK(r.size == fuzz_model::LeadingInteger(expected.tail));
  fuzz_model::CheckRejoin(reply, {r.uploadKey, r.uploadName, r.dataServer, r.fileName, r.localPath},
                          expected.separatorsTaken, expected.tail);
  if (expected.separatorsTaken == 5) {
    FUZZ_CHECK(r.uploadKey + "|" + r.uploadName + "|" + r.dataServer + "|" + r.fileName + "|" + r.localPath + "|" +
                   expected.tail ==
               reply);
  }
}

void CheckListEnd(const std::string& reply, const upload_text::UploadListReply& r) {
  const bool marker = reply.empty() || reply == "Null" || reply == "Ping" || reply == "ListEnd";
  FUZZ_CHECK(upload_text::NamesNoFile(reply) == r.fileName.empty());
  FUZZ_CHECK(upload_text::IsListEnd(reply) == (marker || r.fileName.empty()));
}

// The folder is empty when the path has no "\" character; else it is the
// path's prefix that ends with its last "\" character.
void CheckFolder(const std::string& path) {
  const std::string folder = upload_text::FolderOf(path);
  const std::vector<std::size_t> separators = fuzz_model::Separators(path, '\\');
  if (separators.empty()) {
    FUZZ_CHECK(folder.empty());
    return;
  }
  FUZZ_CHECK(folder.size() == separators.back() + 1);
  FUZZ_CHECK(path.compare(0, folder.size(), folder) == 0);
  FUZZ_CHECK(folder.back() == '\\' && Boundaries(path)[folder.size() - 1]);
  FUZZ_CHECK(fuzz_model::HasNoSeparator(path.substr(folder.size()), '\\'));
}

std::string UpperAscii(std::string text) {
  for (char& c : text) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  return text;
}

// A name Windows opens as a device: the text before its first ".", without
// trailing spaces, in any case.
bool NamesDevice(const std::string& level) {
  std::string base = UpperAscii(level.substr(0, level.find('.')));
  base.erase(base.find_last_not_of(' ') + 1);
  for (const char* device : {"CON", "PRN", "AUX", "NUL", "CONIN$", "CONOUT$", "CLOCK$"}) {
    if (base == device) return true;
  }
  return base.size() == 4 && (base.rfind("COM", 0) == 0 || base.rfind("LPT", 0) == 0) && base[3] >= '0' &&
         base[3] <= '9';
}

// The path check as a model: "X:\" and then levels split at every "\" byte,
// each a real name; nothing a name may not hold; 259 bytes at most.
bool AcceptableModel(const std::string& path) {
  if (path.size() > 259 || path.size() < 4) return false;
  const char drive = UpperAscii(path.substr(0, 1))[0];
  if (drive < 'A' || drive > 'Z' || path[1] != ':' || path[2] != '\\') return false;
  const std::string rest = path.substr(3);
  if (rest.find_first_of("/:<>\"|?*") != std::string::npos) return false;
  for (char c : rest) {
    if (static_cast<unsigned char>(c) < 0x20) return false;
  }
  for (const std::string& level : fuzz_model::ByteLevels(rest)) {
    if (fuzz_model::OnlyDotsAndSpaces(level) || NamesDevice(level)) return false;  // an empty level too
  }
  return true;
}

// An accepted path is absolute on a local drive, at most 259 bytes, climbs
// nowhere, is no UNC or namespace path and names no device; and exactly the
// model's paths are accepted.
void CheckLocalPath(const std::string& path) {
  const bool accepted = upload_text::IsAcceptableLocalPath(path);
  FUZZ_CHECK(accepted == AcceptableModel(path));
  if (!accepted) return;
  FUZZ_CHECK(path.size() <= upload_text::kMaxPathBytes);
  FUZZ_CHECK(((path[0] >= 'A' && path[0] <= 'Z') || (path[0] >= 'a' && path[0] <= 'z')) && path[1] == ':' &&
             path[2] == '\\');
  FUZZ_CHECK(path.compare(0, 2, "\\\\") != 0);
  const std::string below = path.substr(3);
  FUZZ_CHECK(!below.empty() && below.back() != '\\');
  FUZZ_CHECK(below.find(':') == std::string::npos && below.find('/') == std::string::npos);
  FUZZ_CHECK(fuzz_model::HasNoDotLevel(below) && fuzz_model::StaysInside(below));
  for (const std::string& level : fuzz_model::ByteLevels(below)) {
    FUZZ_CHECK(!level.empty() && !NamesDevice(level));
  }
}

void CheckReading(const std::string& reply, const upload_text::UploadListReply& r) {
  const upload_text::ListReplyReading reading = upload_text::ReadListReply(reply);
  FUZZ_CHECK(reading.folder == upload_text::FolderOf(r.localPath));
  FUZZ_CHECK(reading.path == reading.folder + r.fileName && reading.path == upload_text::PathToOpen(r));
  if (upload_text::IsListEnd(reply)) {
    FUZZ_CHECK(reading.verdict == upload_text::kEndOfList);
  } else {
    FUZZ_CHECK(reading.verdict == (upload_text::IsAcceptableLocalPath(reading.path) ? upload_text::kAddFile
                                                                                    : upload_text::kRefusedPath));
  }
  if (reading.verdict == upload_text::kAddFile) FUZZ_CHECK(!r.fileName.empty() && AcceptableModel(reading.path));
}

void CheckNumbers(const std::string& reply) {
  const std::vector<std::size_t> bars = fuzz_model::Separators(reply, '|');
  const std::int32_t expectedId =
      bars.empty() ? 0 : fuzz_model::Clamp32(fuzz_model::LeadingInteger(reply.substr(0, bars.front())));
  FUZZ_CHECK(upload_text::FileIdFromReply(reply) == expectedId);
  const long long offset = fuzz_model::LeadingInteger(reply);
  FUZZ_CHECK(upload_text::ResumeOffsetFromReply(reply) == (offset > 0 ? offset : 0));
}

// The size's decimal digits and then exactly 30 digits, three per sampled
// byte: the byte's absolute value as a signed 8-bit number.
void CheckSignature(std::int64_t size, const unsigned char (&sample)[upload_text::kSampleBytes]) {
  const std::int64_t offset = upload_text::SignatureSampleOffset(size);
  const std::int64_t expectedOffset = size < 10 ? 0 : size <= 2000000000 ? size / 2 : 1999999990;
  FUZZ_CHECK(offset == expectedOffset && offset >= 0 && offset <= 1999999990);

  const std::string text = upload_text::SignatureText(size, sample);
  const std::string digits = std::to_string(static_cast<long long>(size));
  FUZZ_CHECK(text.size() == digits.size() + 30);
  FUZZ_CHECK(text.compare(0, digits.size(), digits) == 0);
  for (int i = 0; i < upload_text::kSampleBytes; ++i) {
    const int signedByte = sample[i] < 0x80 ? sample[i] : sample[i] - 256;
    const int magnitude = signedByte < 0 ? -signedByte : signedByte;
    const std::string triple = text.substr(digits.size() + 3 * i, 3);
    for (char c : triple) FUZZ_CHECK(c >= '0' && c <= '9');
    FUZZ_CHECK(std::stoi(triple) == magnitude);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string reply = fuzz_model::Text(data, size);
  const upload_text::UploadListReply fields = upload_text::SplitUploadListReply(reply);
  CheckSplit(reply, fields);
  CheckListEnd(reply, fields);
  CheckFolder(reply);
  CheckFolder(fields.localPath);
  CheckReading(reply, fields);
  CheckNumbers(reply);

  // Paths: the listed one, the one opened, and the input under a drive so
  // that most inputs reach the level checks.
  for (const std::string& path : {reply, fields.localPath, upload_text::PathToOpen(fields), "C:\\" + reply,
                                  "c:\\" + fields.fileName}) {
    CheckLocalPath(path);
  }

  // The signature of the listed size, and of a size and sample taken from the
  // input's bytes (8 bytes of size, little-endian, then 10 sample bytes).
  unsigned char sample[upload_text::kSampleBytes] = {};
  std::uint64_t rawSize = 0;
  for (std::size_t i = 0; i < 8 && i < size; ++i) rawSize |= static_cast<std::uint64_t>(data[i]) << (8 * i);
  for (std::size_t i = 8; i < 8 + upload_text::kSampleBytes && i < size; ++i) sample[i - 8] = data[i];
  CheckSignature(static_cast<std::int64_t>(rawSize), sample);
  CheckSignature(fields.size, sample);
  return 0;
}
