// The upload selection's walk of a chosen folder (ListUploadFolder, the walk
// behind the folder selection) beside a bare FindFirstFileW/FindNextFileW
// walk of the same tree, and the bare walk once more opening every file for
// its size as the selection must (a file's size is taken from the opened
// file, not from the search). Each repetition runs the three in turn after
// one warm-up round; the figures are medians.
//
//   bench_folder_walk <folder> <repetitions> <expected listed files>
//
// Exit status 1 when the selection's list does not hold the expected number
// of files.
#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "BenchClock.h"
#include "UploadSelection.h"

namespace {

struct BareCount {
  int files = 0;
  int folders = 0;
  std::int64_t bytes = 0;
};

void BareWalk(const std::wstring& folder, bool openFiles, BareCount& count) {
  WIN32_FIND_DATAW found;
  HANDLE search = FindFirstFileW((folder + L"\\*.*").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return;
  do {
    if (found.cFileName[0] == L'.' &&
        (found.cFileName[1] == 0 || (found.cFileName[1] == L'.' && found.cFileName[2] == 0))) {
      continue;
    }
    std::wstring path = folder + L"\\" + found.cFileName;
    if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
      ++count.folders;
      BareWalk(path, openFiles, count);
      continue;
    }
    ++count.files;
    if (openFiles) {
      HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
      LARGE_INTEGER size{};
      if (file != INVALID_HANDLE_VALUE) {
        if (GetFileSizeEx(file, &size)) count.bytes += size.QuadPart;
        CloseHandle(file);
      }
    } else {
      count.bytes += (static_cast<std::int64_t>(found.nFileSizeHigh) << 32) | found.nFileSizeLow;
    }
  } while (FindNextFileW(search, &found));
  FindClose(search);
}

double Milliseconds(const std::function<void()>& run) {
  BenchClock clock;
  run();
  return clock.Seconds() * 1000.0;
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  std::size_t middle = values.size() / 2;
  return values.size() % 2 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

void PrintTimes(const char* name, const std::vector<double>& times, const char* what) {
  std::printf("%s: median %.1f ms (min %.1f, max %.1f) over %zu runs; %s\n", name, Median(times),
              *std::min_element(times.begin(), times.end()), *std::max_element(times.begin(), times.end()),
              times.size(), what);
}

int Entries(const std::string& list) { return static_cast<int>(std::count(list.begin(), list.end(), '?')); }

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc != 4) {
    std::fprintf(stderr, "usage: bench_folder_walk <folder> <repetitions> <expected listed files>\n");
    return 2;
  }
  std::wstring folder = argv[1];
  int repetitions = std::max(1, _wtoi(argv[2]));
  int expected = _wtoi(argv[3]);

  std::string list;
  int leftOut = 0;
  BareCount bare, opened;
  auto selectionWalk = [&] { list = ListUploadFolder(folder, leftOut); };
  auto bareWalk = [&] {
    bare = BareCount{};
    BareWalk(folder, false, bare);
  };
  auto openingWalk = [&] {
    opened = BareCount{};
    BareWalk(folder, true, opened);
  };

  selectionWalk();
  bareWalk();
  openingWalk();
  std::vector<double> selectionTimes, bareTimes, openingTimes;
  for (int run = 0; run < repetitions; ++run) {
    selectionTimes.push_back(Milliseconds(selectionWalk));
    bareTimes.push_back(Milliseconds(bareWalk));
    openingTimes.push_back(Milliseconds(openingWalk));
  }

  char what[160];
  std::snprintf(what, sizeof what, "%d files listed, %d left out", Entries(list), leftOut);
  PrintTimes("selection folder walk", selectionTimes, what);
  std::snprintf(what, sizeof what, "%d files in %d folders, %lld bytes", bare.files, bare.folders,
                static_cast<long long>(bare.bytes));
  PrintTimes("bare FindFirstFileW/FindNextFileW walk", bareTimes, what);
  std::snprintf(what, sizeof what, "%d files opened, %lld bytes", opened.files, static_cast<long long>(opened.bytes));
  PrintTimes("bare walk opening each file for its size", openingTimes, what);
  double bareMedian = Median(bareTimes);
  if (bareMedian > 0) {
    std::printf("selection walk / bare walk: %.1f; / bare walk with opens: %.2f\n", Median(selectionTimes) / bareMedian,
                Median(selectionTimes) / Median(openingTimes));
  }
  std::fflush(stdout);
  if (Entries(list) != expected || bare.bytes != opened.bytes) {
    std::printf("folder walk: expected %d listed files, got %d!\n", expected, Entries(list));
    return 1;
  }
  return 0;
}
