#include "JobText.h"

#include <gtest/gtest.h>

using namespace job_text;

TEST(HandoffSplit, FourFields) {
  Handoff h = SplitHandoff("Haulbox_downloader_Manager|A1?B2?|tester|3");
  EXPECT_TRUE(h.tagMatches);
  EXPECT_EQ("A1?B2?", h.fileCodes);
  EXPECT_EQ("tester", h.memberId);
  EXPECT_EQ("3", h.serverNumber);
}

TEST(HandoffSplit, WrongOrMissingTagIsRefused) {
  EXPECT_FALSE(SplitHandoff("Haulbox_uploader_Manager|A1?|tester|3").tagMatches);
  EXPECT_FALSE(SplitHandoff("haulbox_downloader_manager|A1?|tester|3").tagMatches);
  EXPECT_FALSE(SplitHandoff("Haulbox_downloader_Manager").tagMatches);  // no "|": empty tag
  EXPECT_FALSE(SplitHandoff("").tagMatches);
}

TEST(HandoffSplit, MissingSeparatorMovesTextToTheNextField) {
  Handoff h = SplitHandoff("Haulbox_downloader_Manager|A1?|tester");
  EXPECT_EQ("A1?", h.fileCodes);
  EXPECT_EQ("", h.memberId);
  EXPECT_EQ("tester", h.serverNumber);
}

TEST(HandoffSplit, LastFieldKeepsFurtherBars) {
  Handoff h = SplitHandoff("Haulbox_downloader_Manager|A?|id|1|2|3");
  EXPECT_EQ("1|2|3", h.serverNumber);
}

TEST(HandoffSplit, BarInsideDoubleByteCharacterIsNotASeparator) {
  // 0xB0 0x7C is one CP949 character whose trail byte is "|".
  std::string id = "\xB0\x7C" "id";
  Handoff h = SplitHandoff("Haulbox_downloader_Manager|A?|" + id + "|7");
  EXPECT_EQ(id, h.memberId);
  EXPECT_EQ("7", h.serverNumber);
}

TEST(FileCodes, CountIgnoresEmptyPieces) {
  EXPECT_EQ(3, CountFileCodes("A?B?C?"));
  EXPECT_EQ(3, CountFileCodes("A?B?C"));
  EXPECT_EQ(2, CountFileCodes("??A??B?"));
  EXPECT_EQ(0, CountFileCodes(""));
  EXPECT_EQ(0, CountFileCodes("???"));
}

// The codes a job requests: as many as counted, each taken up to its "?".
std::vector<std::string> RequestedCodes(std::string codes) {
  std::vector<std::string> taken;
  for (int i = CountFileCodes(codes); i > 0; --i) {
    std::string code = TakeNextFileCode(codes);
    if (code.empty()) break;
    taken.push_back(code);
  }
  return taken;
}

TEST(FileCodes, EveryCodeMustEndWithQuestionMark) {
  EXPECT_EQ((std::vector<std::string>{"A", "B", "C"}), RequestedCodes("A?B?C?"));
  EXPECT_EQ((std::vector<std::string>{"A", "B"}), RequestedCodes("A?B?C"));
  EXPECT_EQ((std::vector<std::string>{"A"}), RequestedCodes("A??B?"));
}

TEST(FileReplySplit, AllFields) {
  FileReply f = SplitFileReply("note.txt|127.0.0.5|K1|docs\\|123");
  EXPECT_EQ("note.txt", f.name);
  EXPECT_EQ("127.0.0.5", f.dataServer);
  EXPECT_EQ("K1", f.serverKey);
  EXPECT_EQ("docs\\", f.subfolder);
  EXPECT_EQ(123, f.size);
  EXPECT_EQ("txt", ExtensionOf(f.name));
}

TEST(FileReplySplit, WithoutBarsOnlyTheSizeIsRead) {
  FileReply f = SplitFileReply("4567");
  EXPECT_EQ("", f.name);
  EXPECT_EQ("", f.dataServer);
  EXPECT_EQ("", f.serverKey);
  EXPECT_EQ("", f.subfolder);
  EXPECT_EQ(4567, f.size);
}

TEST(FileReplySplit, SixtyFourBitSize) {
  EXPECT_EQ(5000000000LL, SplitFileReply("a|b|c||5000000000").size);
}

TEST(FileReplySplit, ExtensionOfNameWithoutDotIsTheName) {
  EXPECT_EQ("README", ExtensionOf("README"));
  EXPECT_EQ("gz", ExtensionOf("a.tar.gz"));
}

TEST(LoginReplySplit, FourFields) {
  LoginReply l = SplitLoginReply("tester|2048|오전정액제|2099123123");
  EXPECT_EQ("tester", l.memberId);
  EXPECT_EQ(2048, l.megabytes);
  EXPECT_EQ("오전정액제", l.planName);
  EXPECT_EQ(2099123123, l.expiryStamp);
}

TEST(LoginReplySplit, EmptyReplyGivesRegularMember) {
  LoginReply l = SplitLoginReply("");
  EXPECT_EQ("", l.memberId);
  EXPECT_EQ(0, l.megabytes);
  EXPECT_EQ("일반회원", l.planName);
  EXPECT_EQ(0, l.expiryStamp);
}

TEST(LoginReplySplit, NonNumericMegabytesGiveZero) {
  EXPECT_EQ(0, SplitLoginReply("id|lots||").megabytes);
  EXPECT_EQ(12, SplitLoginReply("id|12MB||").megabytes);
}

TEST(LocalFolder, SeparatorAddedOnlyWhenMissing) {
  EXPECT_EQ("C:\\save\\docs\\", LocalFolderFor("C:\\save", "docs\\"));
  EXPECT_EQ("C:\\save\\docs\\", LocalFolderFor("C:\\save\\", "docs\\"));
  EXPECT_EQ("C:\\save", LocalFolderFor("C:\\save", ""));
}

TEST(HostileNames, NamesThatLeaveTheFolderAreRefused) {
  for (const char* name : {"..", ".", "...", " ", "..\\x.txt", "a/b", "C:x", "\\x", "/etc", "a\\b"}) {
    EXPECT_FALSE(IsSafeFileName(name)) << name;
  }
  for (const char* name : {"a.txt", "..a", "메모.txt", "x..", ""}) {
    EXPECT_TRUE(IsSafeFileName(name)) << name;
  }
}

TEST(HostileNames, SubfoldersThatLeaveTheFolderAreRefused) {
  for (const char* sub : {"..\\", "a\\..\\..\\", "\\Windows\\", "C:\\", "a/..", ".\\", "a\\ . \\", "\\\\host\\s\\"}) {
    EXPECT_FALSE(IsSafeSubfolder(sub)) << sub;
  }
  for (const char* sub : {"", "docs\\", "a\\b\\", "a\\b", "한글\\", "a\\\\b\\", "..a\\"}) {
    EXPECT_TRUE(IsSafeSubfolder(sub)) << sub;
  }
}

TEST(HostileNames, DeviceNamesAreRefusedAsNamesAndAsLevels) {
  for (const char* name : {"NUL", "con.txt", "COM1", "LPT1.bin", "aux", "Prn.log.gz", "nul ", "CONOUT$", "com9.x"}) {
    EXPECT_FALSE(IsSafeFileName(name)) << name;
  }
  for (const char* sub : {"aux\\", "docs\\NUL\\", "con.d\\x\\", "a\\LPT3"}) {
    EXPECT_FALSE(IsSafeSubfolder(sub)) << sub;
  }
  for (const char* name : {"console.txt", "COM10", "nul_x", "auxiliary", "LPT", "com.txt", "xCON"}) {
    EXPECT_TRUE(IsSafeFileName(name)) << name;
  }
  EXPECT_TRUE(IsSafeSubfolder("connect\\com\\"));
}

TEST(HostileNames, CharactersWindowsRefusesInNamesAreRefused) {
  for (const char* name : {"a?.txt", "what*", "<x>", "say\"hi\"", "a|b", "tab\there", "nl\n"}) {
    EXPECT_FALSE(IsSafeFileName(name)) << name;
  }
  EXPECT_FALSE(IsSafeSubfolder("docs?\\"));
  EXPECT_FALSE(IsSafeSubfolder("a\\b*\\"));
  EXPECT_TRUE(IsSafeFileName("보고서 (최종) #2 [v1] {a} 50% ~ & ^.txt"));
}

TEST(SaveFolder, OnlyAbsoluteFoldersAreUsable) {
  for (const char* folder : {"C:\\", "d:\\Downloads", "C:\\다운로드\\", "\\\\nas\\share", "\\\\nas\\share\\x\\"}) {
    EXPECT_TRUE(IsUsableSaveFolder(folder)) << folder;
  }
  for (const char* folder : {"", "C:", "C:dir", "\\", "\\dir", "dir\\sub", ".\\x", "..", "\\\\nas", "\\\\nas\\",
                             "\\\\.\\NUL", "\\\\?\\C:\\x", "\\\\\\x", "1:\\x"}) {
    EXPECT_FALSE(IsUsableSaveFolder(folder)) << folder;
  }
}
