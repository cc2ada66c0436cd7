// The transfer server's reply for one file: job_text::SplitFileReply, the
// safety checks on the name and subfolder it gives (IsSafeFileName,
// IsSafeSubfolder), the local folder they lead to (LocalFolderFor), the
// folders the worker creates (download_request::FoldersToCreate) and the
// extension (ExtensionOf).
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "DownloadRequest.h"
#include "FileNames.h"
#include "FuzzSupport.h"
#include "JobText.h"

namespace {

using fuzz_model::Boundaries;

void CheckSplit(const std::string& reply, const job_text::FileReply& file) {
  // name|address|key|subfolder|size: four fields, each up to the next "|";
  // the size is read from everything after the fourth.
  const fuzz_model::BarSplit expected = fuzz_model::SplitAtBars(reply, 4);
  FUZZ_CHECK(file.name == expected.fields[0]);
  FUZZ_CHECK(file.dataServer == expected.fields[1]);
  FUZZ_CHECK(file.serverKey == expected.fields[2]);
  FUZZ_CHECK(file.subfolder == expected.fields[3]);
  FUZZ_CHECK(file.size == fuzz_model::LeadingInteger(expected.tail));
  fuzz_model::CheckRejoin(reply, {file.name, file.dataServer, file.serverKey, file.subfolder},
                          expected.separatorsTaken, expected.tail);
}

void CheckExtension(const std::string& name) {
  const std::string extension = job_text::ExtensionOf(name);
  const std::vector<std::size_t> dots = fuzz_model::Separators(name, '.');
  if (dots.empty()) {
    FUZZ_CHECK(extension == name);
  } else {
    FUZZ_CHECK(extension == name.substr(dots.back() + 1));
  }
}

// A name that passes is one path component that cannot climb: no "\", "/"
// or ":" byte (no folder, root, drive or stream), not only dots and spaces,
// no device and no character Windows refuses in a name.
void CheckName(const std::string& name) {
  if (!job_text::IsSafeFileName(name) || name.empty()) return;
  FUZZ_CHECK(name.find('\\') == std::string::npos);
  FUZZ_CHECK(name.find('/') == std::string::npos);
  FUZZ_CHECK(name.find(':') == std::string::npos);
  FUZZ_CHECK(name.find_first_of("<>\"|?*") == std::string::npos);
  FUZZ_CHECK(!fuzz_model::OnlyDotsAndSpaces(name));
  FUZZ_CHECK(!file_names::IsDeviceName(name));
}

// Folders to create for `subfolder` below `base`: the first levels of the
// subfolder, each ended by a "\" character, each folder the one before plus
// one level; no more than kMaxFolderLevels; they stop at an empty level.
void CheckFolderList(const std::string& base, const std::string& subfolder) {
  const std::vector<std::string> folders = download_request::FoldersToCreate(base, subfolder);
  FUZZ_CHECK(folders.size() <= static_cast<std::size_t>(download_request::kMaxFolderLevels));
  const std::vector<std::size_t> separators = fuzz_model::Separators(subfolder, '\\');
  std::size_t expected = 0;
  std::size_t levelStart = 0;
  for (std::size_t at : separators) {
    if (at == levelStart || expected == static_cast<std::size_t>(download_request::kMaxFolderLevels)) break;
    ++expected;
    levelStart = at + 1;
  }
  FUZZ_CHECK(folders.size() == expected);
  for (std::size_t i = 0; i < folders.size(); ++i) {
    FUZZ_CHECK(folders[i] == base + "\\" + subfolder.substr(0, separators[i]));
  }
}

void CheckSafePlace(const std::string& name, const std::string& subfolder) {
  if (!job_text::IsSafeSubfolder(subfolder)) return;
  // The subfolder is relative and none of its levels, however the text is
  // converted, is made only of dots and spaces; so it never leads above the
  // save folder, alone or with a safe name after it.
  FUZZ_CHECK(subfolder.empty() || (subfolder[0] != '\\' && subfolder[0] != '/'));
  FUZZ_CHECK(subfolder.find(':') == std::string::npos);
  FUZZ_CHECK(fuzz_model::HasNoDotLevel(subfolder));
  FUZZ_CHECK(fuzz_model::StaysInside(subfolder));
  if (job_text::IsSafeFileName(name)) {
    FUZZ_CHECK(fuzz_model::StaysInside(subfolder.empty() ? name : subfolder + "\\" + name));
  }

  for (const std::string saveFolder : {"C:\\save", "C:\\save\\", "D:\\\xB0\xA1\\files"}) {
    const std::string local = job_text::LocalFolderFor(saveFolder, subfolder);
    if (subfolder.empty()) {
      FUZZ_CHECK(local == saveFolder);
    } else {
      const std::string withSeparator = saveFolder.back() == '\\' ? saveFolder : saveFolder + "\\";
      FUZZ_CHECK(local == withSeparator + subfolder);
    }
  }
  // The folders the worker creates lie below the save folder.
  const std::string base = "C:\\save";
  for (const std::string& folder : download_request::FoldersToCreate(base, subfolder)) {
    FUZZ_CHECK(folder.compare(0, base.size() + 1, base + "\\") == 0);
    const std::string below = folder.substr(base.size() + 1);
    FUZZ_CHECK(!below.empty() && fuzz_model::StaysInside(below) && fuzz_model::HasNoDotLevel(below));
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string reply = fuzz_model::Text(data, size);
  const job_text::FileReply file = job_text::SplitFileReply(reply);
  CheckSplit(reply, file);
  CheckExtension(file.name);
  CheckName(file.name);
  CheckFolderList("C:\\save", file.subfolder);
  CheckSafePlace(file.name, file.subfolder);
  // The whole reply as a name and as a subfolder too: the checks see every
  // byte, "|" included.
  CheckName(reply);
  CheckExtension(reply);
  CheckFolderList("C:\\save", reply);
  CheckSafePlace(reply, reply);
  return 0;
}
