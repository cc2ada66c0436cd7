#include "UploadText.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <string>

#include "UploadEntry.h"

using namespace upload_text;

namespace {

// "珍" is 0xE4 0x7C: its trail byte is "|". 0x95 0x5C ends in a "\" byte.
const std::string kTrailIsBar = "\xE4\x7C";
const std::string kTrailIsBackslash = "\x95\x5C";

std::string Signature(std::int64_t size, const char* bytes, std::size_t count) {
  unsigned char sample[kSampleBytes] = {};
  std::memcpy(sample, bytes, count);
  return SignatureText(size, sample);
}

std::string Repeat(const std::string& piece, std::size_t times) {
  std::string text;
  for (std::size_t i = 0; i < times; ++i) text += piece;
  return text;
}

}  // namespace

// --- The hand-off and the login reply ---

TEST(UploadHandoffSplit, FourFields) {
  UploadHandoff h = SplitUploadHandoff("Haulbox_uploader_Manager|L100|tester|3");
  EXPECT_TRUE(h.tagMatches);
  EXPECT_EQ("L100", h.listCode);
  EXPECT_EQ("tester", h.memberId);
  EXPECT_EQ("3", h.serverNumber);
}

TEST(UploadHandoffSplit, FirstFieldMustBeTheKeywordByteForByte) {
  for (const char* text : {"Haulbox_downloader_Manager|L1|tester|3", "haulbox_uploader_manager|L1|tester|3",
                           "Haulbox_uploader_Manager |L1|tester|3", " Haulbox_uploader_Manager|L1|tester|3",
                           "Haulbox_uploader_Manage|L1|tester|3", "Haulbox_uploader_Manager", ""}) {
    EXPECT_FALSE(SplitUploadHandoff(text).tagMatches) << "[" << text << "]";
  }
  EXPECT_FALSE(SplitUploadHandoff(std::string("Haulbox_uploader_Manager\0|L1|t|3", 32)).tagMatches);
}

TEST(UploadHandoffSplit, MissingSeparatorMovesTextToTheNextField) {
  UploadHandoff h = SplitUploadHandoff("Haulbox_uploader_Manager|L100|tester");
  EXPECT_TRUE(h.tagMatches);
  EXPECT_EQ("L100", h.listCode);
  EXPECT_EQ("", h.memberId);
  EXPECT_EQ("tester", h.serverNumber);

  h = SplitUploadHandoff("Haulbox_uploader_Manager|");
  EXPECT_TRUE(h.tagMatches);
  EXPECT_EQ("", h.listCode);
  EXPECT_EQ("", h.memberId);
  EXPECT_EQ("", h.serverNumber);
}

TEST(UploadHandoffSplit, ServerNumberIsEverythingAfterTheThirdBar) {
  EXPECT_EQ("1|2|3", SplitUploadHandoff("Haulbox_uploader_Manager|L|id|1|2|3").serverNumber);
  EXPECT_EQ("", SplitUploadHandoff("Haulbox_uploader_Manager|L|id|").serverNumber);
}

TEST(UploadHandoffSplit, BarInsideDoubleByteCharacterIsNotASeparator) {
  const std::string code = "L" + kTrailIsBar;
  const std::string id = kTrailIsBar + "id";
  UploadHandoff h = SplitUploadHandoff("Haulbox_uploader_Manager|" + code + "|" + id + "|7");
  EXPECT_EQ(code, h.listCode);
  EXPECT_EQ(id, h.memberId);
  EXPECT_EQ("7", h.serverNumber);
}

TEST(LoginReply, MemberIdIsTheFirstField) {
  EXPECT_EQ("tester", MemberIdFromLoginReply("tester|2048|스페셜정액제|2099123123"));
  EXPECT_EQ("정회원", MemberIdFromLoginReply("정회원|||"));
  EXPECT_EQ(kTrailIsBar, MemberIdFromLoginReply(kTrailIsBar + "|1|p|2"));
  EXPECT_EQ("", MemberIdFromLoginReply("|1|p|2"));
  // Without any "|" the field is empty, as in every reply of the service.
  EXPECT_EQ("", MemberIdFromLoginReply("tester"));
  EXPECT_EQ("", MemberIdFromLoginReply(""));
}

// --- The list reply's six fields ---

TEST(UploadListReplySplit, SixFields) {
  UploadListReply r = SplitUploadListReply("K7|up_name|127.0.0.5|보고서.hwp|C:\\문서\\보고서.hwp|5000000000");
  EXPECT_EQ("K7", r.uploadKey);
  EXPECT_EQ("up_name", r.uploadName);
  EXPECT_EQ("127.0.0.5", r.dataServer);
  EXPECT_EQ("보고서.hwp", r.fileName);
  EXPECT_EQ("C:\\문서\\보고서.hwp", r.localPath);
  EXPECT_EQ(5000000000LL, r.size);
}

TEST(UploadListReplySplit, WithoutBarsOnlyTheSizeIsRead) {
  UploadListReply r = SplitUploadListReply("4567");
  EXPECT_EQ("", r.uploadKey);
  EXPECT_EQ("", r.uploadName);
  EXPECT_EQ("", r.dataServer);
  EXPECT_EQ("", r.fileName);
  EXPECT_EQ("", r.localPath);
  EXPECT_EQ(4567, r.size);
}

TEST(UploadListReplySplit, MissingBarsLeaveTheLaterFieldsEmptyAndTheRestIsTheSize) {
  // Three "|": key, name and address are taken, the file name and path stay
  // empty, and the size is read from what follows the third "|".
  UploadListReply r = SplitUploadListReply("K|N|1.2.3.4|12");
  EXPECT_EQ("1.2.3.4", r.dataServer);
  EXPECT_EQ("", r.fileName);
  EXPECT_EQ("", r.localPath);
  EXPECT_EQ(12, r.size);

  r = SplitUploadListReply("K|N|1.2.3.4|a.txt|34");
  EXPECT_EQ("a.txt", r.fileName);
  EXPECT_EQ("", r.localPath);
  EXPECT_EQ(34, r.size);
}

TEST(UploadListReplySplit, SizeIsEverythingAfterTheFifthBar) {
  UploadListReply r = SplitUploadListReply("K|N|A|f|C:\\f|77|88");
  EXPECT_EQ("C:\\f", r.localPath);
  EXPECT_EQ(77, r.size);  // leading digits of "77|88"
  EXPECT_EQ(-3, SplitUploadListReply("K|N|A|f|C:\\f|-3").size);
  EXPECT_EQ(0, SplitUploadListReply("K|N|A|f|C:\\f|").size);
  EXPECT_EQ(LLONG_MAX, SplitUploadListReply("K|N|A|f|C:\\f|99999999999999999999").size);
}

TEST(UploadListReplySplit, BarInsideDoubleByteCharacterStaysInItsField) {
  const std::string name = "a" + kTrailIsBar + ".txt";
  const std::string path = "C:\\" + kTrailIsBar + "\\" + name;
  UploadListReply r = SplitUploadListReply(kTrailIsBar + "|N|A|" + name + "|" + path + "|9");
  EXPECT_EQ(kTrailIsBar, r.uploadKey);
  EXPECT_EQ(name, r.fileName);
  EXPECT_EQ(path, r.localPath);
  EXPECT_EQ(9, r.size);
}

// --- Where the list ends ---

TEST(ListEnd, EndMarkersEndTheListByteForByte) {
  for (const char* reply : {"", "Null", "Ping", "ListEnd"}) {
    EXPECT_TRUE(IsListEnd(reply)) << "[" << reply << "]";
  }
  // Near misses are no markers; without any "|" they name no file and end
  // the list as malformed replies.
  for (const char* reply : {"null", "ListEnd ", "Ok"}) {
    EXPECT_TRUE(NamesNoFile(reply)) << reply;
  }
  EXPECT_FALSE(IsListEnd("K|N|A|Null|C:\\Null|1"));
  EXPECT_FALSE(IsListEnd("K|N|A|ListEnd|C:\\d\\ListEnd|1"));
}

TEST(ListEnd, ReplyThatNamesNoFileEndsTheList) {
  for (const char* reply : {"123", "K|N|A|12", "K|N|A||C:\\x\\a.txt|5", "||||C:\\a.txt|5", "|||"}) {
    EXPECT_TRUE(NamesNoFile(reply)) << reply;
    EXPECT_TRUE(IsListEnd(reply)) << reply;
    EXPECT_EQ(kEndOfList, ReadListReply(reply).verdict) << reply;
  }
  EXPECT_FALSE(NamesNoFile("K|N|A|a.txt|C:\\a.txt|5"));
  EXPECT_FALSE(NamesNoFile("|||a.txt|"));  // a name without a path is refused later, not an end
}

// --- The folder and the file opened ---

TEST(FolderOf, UpToAndIncludingTheLastBackslash) {
  EXPECT_EQ("C:\\a\\b\\", FolderOf("C:\\a\\b\\c.txt"));
  EXPECT_EQ("C:\\", FolderOf("C:\\c.txt"));
  EXPECT_EQ("C:\\a\\", FolderOf("C:\\a\\"));
  EXPECT_EQ("", FolderOf("c.txt"));
  EXPECT_EQ("", FolderOf(""));
  EXPECT_EQ("C:\\문서\\", FolderOf("C:\\문서\\보고서.hwp"));
}

TEST(FolderOf, BackslashTrailByteIsNoSeparator) {
  EXPECT_EQ("C:\\", FolderOf("C:\\a" + kTrailIsBackslash + "b.txt"));
  EXPECT_EQ("", FolderOf(kTrailIsBackslash));
}

TEST(PathToOpen, FolderOfTheListedPathThenTheListedName) {
  // The listed path's own last level is not used: the name replaces it.
  UploadListReply r = SplitUploadListReply("K|N|A|new.txt|C:\\docs\\old.txt|3");
  EXPECT_EQ("C:\\docs\\new.txt", PathToOpen(r));
  EXPECT_EQ("new.txt", PathToOpen(SplitUploadListReply("K|N|A|new.txt|old.txt|3")));
}

// --- Which local paths are opened ---

TEST(LocalPath, AbsolutePathsOnALocalDriveAreAccepted) {
  for (const char* path : {"C:\\a.txt", "d:\\Users\\me\\data.bin", "Z:\\x", "C:\\사용자\\문서\\보고서 (최종).hwp",
                           "C:\\a\\..b\\c..", "C:\\dir.d\\x.tar.gz", "C:\\console.log", "C:\\COM10\\nul_x"}) {
    EXPECT_TRUE(IsAcceptableLocalPath(path)) << path;
  }
}

TEST(LocalPath, NetworkAndNamespacePathsAreRefused) {
  for (const char* path : {"\\\\host\\share\\a.txt", "\\\\10.0.0.1\\c$\\x", "\\\\?\\C:\\a.txt", "\\\\.\\C:\\a.txt",
                           "\\\\.\\PhysicalDrive0", "\\\\?\\UNC\\host\\share\\x", "\\??\\C:\\a.txt",
                           "//host/share/a.txt", "C:\\\\host\\share"}) {
    EXPECT_FALSE(IsAcceptableLocalPath(path)) << path;
  }
}

TEST(LocalPath, RelativeAndDriveRelativePathsAreRefused) {
  for (const char* path : {"", "a.txt", "dir\\a.txt", "\\a.txt", ".\\a.txt", "..\\a.txt", "C:", "C:x", "C:x\\y",
                           "C:\\", "1:\\a.txt", "\xB0\xA1:\\a.txt", " C:\\a.txt"}) {
    EXPECT_FALSE(IsAcceptableLocalPath(path)) << "[" << path << "]";
  }
}

TEST(LocalPath, DotLevelsEmptyLevelsAndFolderPathsAreRefused) {
  for (const char* path : {"C:\\..\\Windows\\win.ini", "C:\\a\\..\\..\\b", "C:\\a\\.\\b", "C:\\a\\...\\b",
                           "C:\\a\\. .\\b", "C:\\a\\..", "C:\\a\\", "C:\\a\\\\b", "C:\\a/../b", "C:\\a/b"}) {
    EXPECT_FALSE(IsAcceptableLocalPath(path)) << path;
  }
  // A "\" trail byte still separates for the file system: ".." after it is a level.
  EXPECT_FALSE(IsAcceptableLocalPath("C:\\a" + kTrailIsBackslash + "..\\b"));
}

TEST(LocalPath, DeviceNamesStreamsAndRefusedCharactersAreRefused) {
  for (const char* path : {"C:\\NUL", "C:\\dir\\con.txt", "C:\\aux\\a.txt", "C:\\LPT1.log", "c:\\x\\com9",
                           "C:\\x\\CONOUT$", "C:\\a.txt:secret", "C:\\a.txt::$DATA", "C:\\D:\\x", "C:\\a?.txt",
                           "C:\\*.txt", "C:\\a|b", "C:\\a\"b", "C:\\a<b", "C:\\tab\there"}) {
    EXPECT_FALSE(IsAcceptableLocalPath(path)) << path;
  }
}

TEST(LocalPath, AtMost259Bytes) {
  const std::string longest = "C:\\" + std::string(256, 'a');
  ASSERT_EQ(259u, longest.size());
  EXPECT_TRUE(IsAcceptableLocalPath(longest));
  EXPECT_FALSE(IsAcceptableLocalPath(longest + "a"));

  // Korean levels count in bytes: 3 + 128 double-byte characters = 259.
  const std::string korean = "C:\\" + Repeat("가", 128);
  ASSERT_EQ(259u, korean.size());
  EXPECT_TRUE(IsAcceptableLocalPath(korean));
  EXPECT_FALSE(IsAcceptableLocalPath("C:\\" + Repeat("가", 64) + "\\" + Repeat("나", 64)));  // 260
}

// --- One reply read whole ---

TEST(ListReplyReading, AcceptablePathIsAdded) {
  ListReplyReading r = ReadListReply("K|N|1.2.3.4|보고서.hwp|C:\\문서\\옛이름.hwp|20");
  EXPECT_EQ(kAddFile, r.verdict);
  EXPECT_EQ("C:\\문서\\", r.folder);
  EXPECT_EQ("C:\\문서\\보고서.hwp", r.path);
  EXPECT_EQ(20, r.fields.size);
}

TEST(ListReplyReading, ThePathOpenedIsCheckedNotOnlyTheListedOne) {
  for (const char* reply : {"K|N|A|a.txt|\\\\evil\\share\\a.txt|1",   // UNC folder
                            "K|N|A|..\\..\\boot.ini|C:\\a\\b\\x|1",   // name climbs out
                            "K|N|A|NUL|C:\\a\\x.txt|1",               // name is a device
                            "K|N|A|a.txt|a.txt|1",                    // no folder: relative
                            "K|N|A|a.txt||1",                         // no path at all
                            "K|N|A|x:y|C:\\a\\x|1"}) {                // stream
    EXPECT_EQ(kRefusedPath, ReadListReply(reply).verdict) << reply;
  }
}

// --- The file id and the resume offset ---

TEST(FileId, LeadingDigitsBeforeTheFirstBar) {
  EXPECT_EQ(17, FileIdFromReply("17|Ok"));
  EXPECT_EQ(-4, FileIdFromReply("-4|"));
  EXPECT_EQ(12, FileIdFromReply("12ab|x|y"));
  EXPECT_EQ(0, FileIdFromReply("17"));  // no "|": 0, even with digits
  EXPECT_EQ(0, FileIdFromReply(""));
  EXPECT_EQ(0, FileIdFromReply("Ok|17"));
  EXPECT_EQ(0, FileIdFromReply("17" + kTrailIsBar));  // that "|" is inside a character
  EXPECT_EQ(INT_MAX, FileIdFromReply("99999999999|"));
  EXPECT_EQ(INT_MIN, FileIdFromReply("-99999999999|"));
}

TEST(ResumeOffset, PositiveDecimalOrZero) {
  EXPECT_EQ(123, ResumeOffsetFromReply("123"));
  EXPECT_EQ(999999999999LL, ResumeOffsetFromReply("999999999999"));
  EXPECT_EQ(5000000000LL, ResumeOffsetFromReply("5000000000"));
  EXPECT_EQ(8, ResumeOffsetFromReply("8 bytes"));
  EXPECT_EQ(0, ResumeOffsetFromReply("-5"));
  EXPECT_EQ(0, ResumeOffsetFromReply("0"));
  EXPECT_EQ(0, ResumeOffsetFromReply(""));  // the server closed
  EXPECT_EQ(0, ResumeOffsetFromReply("Ok"));
  EXPECT_EQ(0, ResumeOffsetFromReply("-99999999999999999999"));
}

// --- The file signature ---

TEST(Signature, SampleOffsetFollowsTheSize) {
  struct Row {
    std::int64_t size;
    std::int64_t offset;
  };
  const Row rows[] = {{-1, 0},
                      {0, 0},
                      {5, 0},
                      {9, 0},
                      {10, 5},
                      {11, 5},
                      {20, 10},
                      {2000000000, 1000000000},
                      {2000000001, 1999999990},
                      {3000000000LL, 1999999990},
                      {4294967296LL, 1999999990},
                      {LLONG_MAX, 1999999990}};
  for (const Row& row : rows) {
    EXPECT_EQ(row.offset, SignatureSampleOffset(row.size)) << "size " << row.size;
  }
}

TEST(Signature, WorkedExampleOfTwentyLetters) {
  const char* file = "abcdefghijklmnopqrst";
  const std::int64_t offset = SignatureSampleOffset(20);
  ASSERT_EQ(10, offset);
  EXPECT_EQ("20107108109110111112113114115116", Signature(20, file + offset, 10));
}

TEST(Signature, ShortFileLeavesTheRestOfTheSampleZero) {
  ASSERT_EQ(0, SignatureSampleOffset(5));
  EXPECT_EQ("5" "065066067068069" "000000000000000", Signature(5, "ABCDE", 5));
}

TEST(Signature, BytesAreSignedAndShownAsAbsoluteValues) {
  EXPECT_EQ("1" "001128127000065000000000000000", Signature(1, "\xFF\x80\x7F\x00\x41", 5));
  EXPECT_EQ("3000000000" + Repeat("000", 10), Signature(3000000000LL, "", 0));  // an unread file
  EXPECT_EQ("-7" + Repeat("001", 10), Signature(-7, "\xFF\xFF\xFF\xFF\xFF\xFF\xFF\xFF\xFF\xFF", 10));
}

// --- The entry record ---

TEST(UploadEntryRecord, CopiesEveryFieldIncludingTheSharedCounters) {
  UploadEntry entry;
  entry.name = "보고서.hwp";
  entry.folder = "C:\\문서\\";
  entry.localPath = "C:\\문서\\옛이름.hwp";
  entry.transferring = 1;
  entry.state = kUploadStopped;
  entry.sent = 3000000000LL;
  entry.size = 5000000000LL;
  entry.fileId = 42;
  entry.dataServer = "127.0.0.5";
  entry.uploadKey = "K";
  entry.uploadName = "N";

  UploadEntry copy;
  copy = entry;
  UploadEntry constructed(entry);
  for (const UploadEntry* e : {&copy, &constructed}) {
    EXPECT_EQ(entry.name, e->name);
    EXPECT_EQ(entry.folder, e->folder);
    EXPECT_EQ(entry.localPath, e->localPath);
    EXPECT_EQ(1, e->transferring.load());
    EXPECT_EQ(kUploadStopped, e->state.load());
    EXPECT_EQ(3000000000LL, e->sent.load());
    EXPECT_EQ(5000000000LL, e->size.load());
    EXPECT_EQ(42, e->fileId);
    EXPECT_EQ(entry.dataServer, e->dataServer);
    EXPECT_EQ(entry.uploadKey, e->uploadKey);
    EXPECT_EQ(entry.uploadName, e->uploadName);
  }
}
