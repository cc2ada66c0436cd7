// File signatures read from real files.
#include <gtest/gtest.h>

#include <windows.h>
#include <winioctl.h>

#include "DownloaderTestSupport.h"
#include "FileSignature.h"

using namespace test_support;

namespace {

// A file of `size` bytes holding only `bytes` at `offset`; sparse, so that
// sizes above 2 GB cost no disk.
bool WriteSparseFile(const std::string& path, std::int64_t size, std::int64_t offset, const std::string& bytes) {
  HANDLE file = CreateFileW(W(path).c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  DWORD returned = 0;
  DeviceIoControl(file, FSCTL_SET_SPARSE, nullptr, 0, nullptr, 0, &returned, nullptr);  // Wine's files are sparse anyway
  LARGE_INTEGER position;
  position.QuadPart = size;
  bool written = SetFilePointerEx(file, position, nullptr, FILE_BEGIN) && SetEndOfFile(file);
  position.QuadPart = offset;
  DWORD count = 0;
  written = written && SetFilePointerEx(file, position, nullptr, FILE_BEGIN) &&
            WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &count, nullptr) && count == bytes.size();
  CloseHandle(file);
  return written;
}

TEST(FileSignature, SamplesTenBytesFromTheMiddle) {
  const std::string path = FreshFolder("signature") + "\\letters.txt";
  WriteBytes(path, "abcdefghijklmnopqrst");
  EXPECT_EQ("20107108109110111112113114115116", MakeFileSignature(path, 20));
}

TEST(FileSignature, ShortFileIsSampledFromItsStartAndPaddedWithZeros) {
  const std::string path = FreshFolder("signature-short") + "\\five.bin";
  WriteBytes(path, std::string("A\xFF\x80\x01z", 5));
  EXPECT_EQ("5" "065001128001122" "000000000000000", MakeFileSignature(path, 5));
}

TEST(FileSignature, FileAboveTwoBillionBytesIsSampledAt1999999990) {
  const std::string path = FreshFolder("signature-large") + "\\large.bin";
  ASSERT_TRUE(WriteSparseFile(path, 3000000000LL, 1999999990LL, "0123456789"));
  const std::string signature = MakeFileSignature(path, 3000000000LL);
  DeleteFileW(W(path).c_str());
  EXPECT_EQ("3000000000048049050051052053054055056057", signature);
}

TEST(FileSignature, FileThatCannotBeOpenedGivesZeros) {
  const std::string path = FreshFolder("signature-missing") + "\\missing.bin";
  EXPECT_EQ("1234" + std::string(30, '0'), MakeFileSignature(path, 1234));
}

}  // namespace
