#include "UploadText.h"

#include <climits>

#include "Cp949Text.h"
#include "FileNames.h"
#include "Handoff.h"

namespace upload_text {

namespace {

std::string TakeBarField(std::string& rest) { return cp949::TakeSeparatedField(rest, '|'); }

bool IsDriveLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

// A level of a local path after the drive. IsOnlyDotsAndSpaces holds for an
// empty level too, which would make the path name a folder ("C:\dir\").
bool IsAcceptableLevel(const std::string& level) {
  return !file_names::IsOnlyDotsAndSpaces(level) && !file_names::IsDeviceName(level) &&
         !file_names::HoldsRefusedCharacter(level);
}

}  // namespace

UploadHandoff SplitUploadHandoff(const std::string& text) {
  UploadHandoff handoff;
  std::string rest = text;
  handoff.tagMatches = TakeBarField(rest) == kUploaderHandoffTag;
  if (!handoff.tagMatches) return handoff;
  handoff.listCode = TakeBarField(rest);
  handoff.memberId = TakeBarField(rest);
  handoff.serverNumber = rest;
  return handoff;
}

std::string MemberIdFromLoginReply(const std::string& reply) {
  std::string rest = reply;
  return TakeBarField(rest);
}

UploadListReply SplitUploadListReply(const std::string& reply) {
  UploadListReply fields;
  std::string rest = reply;
  fields.uploadKey = TakeBarField(rest);
  fields.uploadName = TakeBarField(rest);
  fields.dataServer = TakeBarField(rest);
  fields.fileName = TakeBarField(rest);
  fields.localPath = TakeBarField(rest);
  fields.size = cp949::LeadingInteger(rest);
  return fields;
}

bool NamesNoFile(const std::string& reply) { return SplitUploadListReply(reply).fileName.empty(); }

bool IsListEnd(const std::string& reply) {
  return reply.empty() || reply == "Null" || reply == "Ping" || reply == "ListEnd" || NamesNoFile(reply);
}

std::string FolderOf(const std::string& localPath) {
  const std::size_t last = cp949::FindLastChar(localPath, '\\');
  return last == std::string::npos ? std::string() : localPath.substr(0, last + 1);
}

std::string PathToOpen(const UploadListReply& reply) { return FolderOf(reply.localPath) + reply.fileName; }

bool IsAcceptableLocalPath(const std::string& path) {
  if (path.size() > kMaxPathBytes || path.size() < 3) return false;
  if (!IsDriveLetter(path[0]) || path[1] != ':' || path[2] != '\\') return false;
  // "/" is a separator to Windows; ":" would open a stream or name a drive.
  if (path.find('/') != std::string::npos || path.find(':', 2) != std::string::npos) return false;
  // Levels end at every "\" byte: 0x5C is never a CP949 trail byte, so a "\"
  // after a lead byte still separates once the text is converted.
  for (std::size_t start = 3;;) {
    const std::size_t end = path.find('\\', start);
    if (!IsAcceptableLevel(path.substr(start, end == std::string::npos ? std::string::npos : end - start))) {
      return false;
    }
    if (end == std::string::npos) return true;
    start = end + 1;
  }
}

ListReplyReading ReadListReply(const std::string& reply) {
  ListReplyReading reading;
  reading.fields = SplitUploadListReply(reply);
  reading.folder = FolderOf(reading.fields.localPath);
  reading.path = reading.folder + reading.fields.fileName;
  if (IsListEnd(reply)) {
    reading.verdict = kEndOfList;
  } else if (!IsAcceptableLocalPath(reading.path)) {
    reading.verdict = kRefusedPath;
  } else {
    reading.verdict = kAddFile;
  }
  return reading;
}

std::int32_t FileIdFromReply(const std::string& reply) {
  const std::size_t bar = cp949::FindChar(reply, '|');
  if (bar == std::string::npos) return 0;
  const long long id = cp949::LeadingInteger(reply.substr(0, bar));
  if (id > INT_MAX) return INT_MAX;
  if (id < INT_MIN) return INT_MIN;
  return static_cast<std::int32_t>(id);
}

std::int64_t SignatureSampleOffset(std::int64_t size) {
  if (size < kSampleBytes) return 0;
  if (size <= 2000000000) return size / 2;
  return 1999999990;
}

std::string SignatureText(std::int64_t size, const unsigned char (&sample)[kSampleBytes]) {
  std::string text = std::to_string(static_cast<long long>(size));
  for (unsigned char byte : sample) {
    int value = static_cast<signed char>(byte);
    if (value < 0) value = -value;  // at most 128: always three digits
    text += static_cast<char>('0' + value / 100);
    text += static_cast<char>('0' + value / 10 % 10);
    text += static_cast<char>('0' + value % 10);
  }
  return text;
}

std::int64_t ResumeOffsetFromReply(const std::string& text) {
  const long long offset = cp949::LeadingInteger(text);
  return offset > 0 ? offset : 0;
}

}  // namespace upload_text
