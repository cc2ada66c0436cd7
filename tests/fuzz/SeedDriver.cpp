// Runs a fuzz target's LLVMFuzzerTestOneInput over files, without libFuzzer:
// the ctest run feeds it each target's seed corpus under the native build's
// sanitizers. Arguments are files or folders (every regular file in them, in
// name order). A failed property aborts; an empty run fails too, so that a
// lost corpus does not pass unnoticed.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

namespace {

bool RunFile(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  if (!in) {
    std::fprintf(stderr, "cannot read %s\n", file.string().c_str());
    return false;
  }
  std::vector<char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  // A copy of exactly the input's size, so that AddressSanitizer sees a read past its end.
  std::vector<std::uint8_t> input(bytes.begin(), bytes.end());
  std::uint8_t* data = input.empty() ? nullptr : input.data();
  LLVMFuzzerTestOneInput(data, input.size());
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::filesystem::path> files;
  for (int i = 1; i < argc; ++i) {
    std::filesystem::path path(argv[i]);
    if (std::filesystem::is_directory(path)) {
      std::vector<std::filesystem::path> inside;
      for (const auto& entry : std::filesystem::directory_iterator(path)) {
        if (entry.is_regular_file()) inside.push_back(entry.path());
      }
      std::sort(inside.begin(), inside.end());
      files.insert(files.end(), inside.begin(), inside.end());
    } else {
      files.push_back(path);
    }
  }
  int ran = 0;
  for (const auto& file : files) {
    if (!RunFile(file)) return 1;
    ++ran;
  }
  std::printf("%d inputs ran, every property held\n", ran);
  return ran > 0 ? 0 : 1;
}
