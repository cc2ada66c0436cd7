#include "FileSignature.h"

#include <windows.h>

#include "TextConversion.h"
#include "UploadText.h"

namespace {

void ReadSample(const std::string& path, std::int64_t offset, unsigned char (&sample)[upload_text::kSampleBytes]) {
  HANDLE file = CreateFileW(Widen(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                            OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return;
  LARGE_INTEGER position;
  position.QuadPart = offset;
  if (SetFilePointerEx(file, position, nullptr, FILE_BEGIN)) {
    DWORD read = 0;
    if (!ReadFile(file, sample, sizeof sample, &read, nullptr) || read > sizeof sample) read = 0;
    // A failed read leaves no bytes behind it.
    for (DWORD i = read; i < sizeof sample; ++i) sample[i] = 0;
  }
  CloseHandle(file);
}

}  // namespace

std::string MakeFileSignature(const std::string& path, std::int64_t size) {
  unsigned char sample[upload_text::kSampleBytes] = {};
  ReadSample(path, upload_text::SignatureSampleOffset(size), sample);
  return upload_text::SignatureText(size, sample);
}
