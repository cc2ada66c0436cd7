#include <gtest/gtest.h>

#include <algorithm>
#include <map>

#include "SelectionRules.h"

using namespace selection;

namespace {

ConvertedName Exact(const std::string& text) { return {text, true}; }

std::int64_t Size(std::int64_t size) { return size; }

}  // namespace

TEST(SelectionEntry, PathBarSizeAndEndMark) {
  EXPECT_EQ("C:\\a.txt|12?", Entry("C:\\a.txt", 12));
  EXPECT_EQ("C:\\big.iso|6442450944?", Entry("C:\\big.iso", 6442450944LL));
  EXPECT_EQ("C:\\\xC7\xD1.txt|1?", Entry("C:\\\xC7\xD1.txt", 1));
  EXPECT_EQ("C:\\up/C:\\up\\a|1?", FolderResult("C:\\up", Entry("C:\\up\\a", 1)));
  EXPECT_EQ("C:\\/C:\\\\a|1?", FolderResult("C:\\", Entry("C:\\\\a", 1)));
}

TEST(InitialFolder, AnOpenableFileGivesItsFolderWithTheBackslash) {
  EXPECT_EQ("C:\\up\\", InitialFolder("C:\\up\\a.txt", true));
  EXPECT_EQ("C:\\up\\a.txt", InitialFolder("C:\\up\\a.txt", false)) << "a folder, or a file gone since";
  EXPECT_EQ("C:\\up", InitialFolder("C:\\up", false));
  EXPECT_EQ("", InitialFolder("", true));
  EXPECT_EQ("a.txt", InitialFolder("a.txt", true)) << "no backslash: unchanged";
  // 0x5C as the trail byte of a double-byte character is no separator.
  EXPECT_EQ("C:\\", InitialFolder("C:\\\x95\x5C", true));
  EXPECT_EQ("C:\\d\\", InitialFolder("C:\\d\\\x95\x5Cx", true));
}

TEST(InitialFolder, LooksAtNoMoreThanThreeHundredBackslashes) {
  std::string path = "C:";
  for (int i = 0; i < 302; ++i) path += "\\d";
  // The cut follows the 300th backslash.
  std::size_t at = 0;
  for (int seen = 0; seen < 300; ++seen) at = path.find('\\', at) + 1;
  EXPECT_EQ(path.substr(0, at), InitialFolder(path, true));
  std::string exact = "C:";
  for (int i = 0; i < 299; ++i) exact += "\\d";
  exact += "\\f";
  EXPECT_EQ(exact.substr(0, exact.size() - 1), InitialFolder(exact, true));
}

TEST(SelectionTexts, ZeroByteAndLeftOutCounts) {
  EXPECT_EQ("1개의 0Byte파일이 존제합니다.\n0Byte파일은 목록에 추가되지 않습니다.", ZeroByteText(1));
  EXPECT_EQ("150개의 0Byte파일이 존제합니다.\n0Byte파일은 목록에 추가되지 않습니다.", ZeroByteText(150));
  EXPECT_EQ(0u, LeftOutText(3).find("3개의 파일"));
  EXPECT_STREQ("\xC6\xC4\xC0\xCF\xB0\xB3\xBC\xF6 \xC3\xCA\xB0\xFA", kTooManyFilesCaption) << "파일개수 초과 in CP949";
}

TEST(FilterForDialog, EveryBarBecomesATerminator) {
  std::wstring filter = FilterForDialog(L"All (*.*)|*.*|Text|*.txt|");
  EXPECT_EQ(std::wstring(L"All (*.*)\0*.*\0Text\0*.txt\0", 25), filter);
  std::string dialogFilter(kFileFilter);
  EXPECT_EQ(14, std::count(dialogFilter.begin(), dialogFilter.end(), '|')) << "seven pairs, the last closed by a bar";
  EXPECT_EQ(0u, dialogFilter.find("모든파일 (*.*)|*.*|"));
}

TEST(ChosenPaths, OneFullPathOrAFolderWithNames) {
  std::wstring pathName;
  std::wstring single(L"C:\\up\\a.txt\0\0", 13);
  EXPECT_EQ(std::vector<std::wstring>{L"C:\\up\\a.txt"}, ChosenPaths(single, pathName));
  EXPECT_EQ(L"C:\\up\\a.txt", pathName);

  std::wstring several(L"C:\\up\0b.txt\0a.txt\0\0\0\0", 22);
  EXPECT_EQ((std::vector<std::wstring>{L"C:\\up\\b.txt", L"C:\\up\\a.txt"}), ChosenPaths(several, pathName));
  EXPECT_EQ(L"C:\\up", pathName);

  std::wstring root(L"C:\\\0a\0b\0\0", 10);
  EXPECT_EQ((std::vector<std::wstring>{L"C:\\a", L"C:\\b"}), ChosenPaths(root, pathName));

  EXPECT_TRUE(ChosenPaths(std::wstring(8, L'\0'), pathName).empty());
  EXPECT_EQ(L"", pathName);
}

TEST(FileSelection, ThreeFilesOneEmptyGiveTwoEntriesAndACountOfOne) {
  FileSelection files;
  EXPECT_TRUE(files.Take(Exact("C:\\a"), [] { return Size(5); }));
  EXPECT_TRUE(files.Take(Exact("C:\\b"), [] { return Size(0); }));
  EXPECT_TRUE(files.Take(Exact("C:\\c"), [] { return Size(7); }));
  EXPECT_EQ("C:\\a|5?C:\\c|7?", files.List());
  EXPECT_EQ(1, files.ZeroByteCount());
  EXPECT_FALSE(files.LimitExceeded());
}

TEST(FileSelection, TheHundredFiftyFirstNameEmptiesTheListEvenWhenEarlierOnesWereEmpty) {
  FileSelection exact;
  for (int i = 0; i < 150; ++i) EXPECT_TRUE(exact.Take(Exact("C:\\f" + std::to_string(i)), [] { return Size(1); }));
  EXPECT_FALSE(exact.LimitExceeded());
  EXPECT_EQ(150, std::count(exact.List().begin(), exact.List().end(), '?'));
  EXPECT_EQ(0u, exact.List().find("C:\\f0|1?C:\\f1|1?"));

  FileSelection over;
  int sized = 0;
  for (int i = 0; i < 150; ++i) {
    EXPECT_TRUE(over.Take(Exact("C:\\f" + std::to_string(i)), [&] { ++sized; return Size(i % 2); }));
  }
  EXPECT_FALSE(over.Take(Exact("C:\\f150"), [&] { ++sized; return Size(1); }));
  EXPECT_EQ(150, sized) << "the 151st name is not opened";
  EXPECT_TRUE(over.LimitExceeded());
  EXPECT_EQ("", over.List());
  EXPECT_EQ(75, over.ZeroByteCount()) << "zero-byte names count towards the limit and are still reported";
}

TEST(FileSelection, AnEmptyPathEndsTheNames) {
  FileSelection files;
  EXPECT_TRUE(files.Take(Exact("C:\\a"), [] { return Size(1); }));
  EXPECT_FALSE(files.Take(Exact(""), [] { return Size(1); }));
  EXPECT_EQ("C:\\a|1?", files.List());
}

TEST(FileSelection, NamesOutsideTheCodePageAreLeftOutAndCounted) {
  FileSelection files;
  EXPECT_TRUE(files.Take({"C:\\?.txt", false}, [] { return Size(3); }));
  EXPECT_TRUE(files.Take({"C:\\?0.txt", false}, [] { return Size(0); }));
  EXPECT_TRUE(files.Take(Exact("C:\\b.txt"), [] { return Size(4); }));
  EXPECT_EQ("C:\\b.txt|4?", files.List());
  EXPECT_EQ(1, files.LeftOutCount());
  EXPECT_EQ(1, files.ZeroByteCount());
}

namespace {

// A folder tree in memory: paths are keys, a size below 0 marks a folder.
class TreeSource : public FolderSource {
public:
  void Add(const std::wstring& path, std::int64_t size, bool exact = true) {
    nodes_[path] = {size, exact};
  }

  std::vector<Item> Items(const std::wstring& folder) override {
    ++listed;
    std::vector<Item> items;
    std::wstring prefix = folder + L"\\";
    for (const auto& [path, node] : nodes_) {
      if (path.compare(0, prefix.size(), prefix) != 0) continue;
      std::wstring name = path.substr(prefix.size());
      if (name.find(L'\\') != std::wstring::npos) continue;
      std::string text;
      for (wchar_t c : name) text += c < 0x80 ? static_cast<char>(c) : '?';
      items.push_back({name, {text, node.exact}, node.size < 0});
    }
    return items;
  }

  std::int64_t SizeOf(const std::wstring& path) override {
    auto found = nodes_.find(path);
    return found == nodes_.end() ? 0 : found->second.size;
  }

  int listed = 0;

private:
  struct Node {
    std::int64_t size;
    bool exact;
  };
  std::map<std::wstring, Node> nodes_;
};

}  // namespace

TEST(FolderWalk, NestedFilesInTheSystemsOrderWithoutFoldersOrEmptyFiles) {
  TreeSource tree;
  tree.Add(L"C:\\up\\a.txt", 3);
  tree.Add(L"C:\\up\\empty.txt", 0);
  tree.Add(L"C:\\up\\sub", -1);
  tree.Add(L"C:\\up\\sub\\b.bin", 6442450944LL);
  tree.Add(L"C:\\up\\sub\\deeper", -1);
  tree.Add(L"C:\\up\\sub\\deeper\\c", 1);
  tree.Add(L"C:\\up\\z.txt", 2);
  FolderWalk walk(tree);
  EXPECT_EQ("C:\\up\\a.txt|3?C:\\up\\sub\\b.bin|6442450944?C:\\up\\sub\\deeper\\c|1?C:\\up\\z.txt|2?",
            walk.Run(L"C:\\up", Exact("C:\\up")));
  EXPECT_EQ(0, walk.LeftOutCount());
}

TEST(FolderWalk, OneCounterForTheWholeWalk) {
  TreeSource tree;
  for (int i = 0; i < 100; ++i) tree.Add(L"C:\\up\\a\\f" + std::to_wstring(i), 1);
  for (int i = 0; i < 50; ++i) tree.Add(L"C:\\up\\b\\f" + std::to_wstring(i), 1);
  for (int i = 0; i < 40; ++i) tree.Add(L"C:\\up\\b\\zero" + std::to_wstring(i), 0);
  tree.Add(L"C:\\up\\a", -1);
  tree.Add(L"C:\\up\\b", -1);
  FolderWalk walk(tree);
  std::string list = walk.Run(L"C:\\up", Exact("C:\\up"));
  EXPECT_EQ(150, std::count(list.begin(), list.end(), '?')) << "150 files with any number of empty ones";

  tree.Add(L"C:\\up\\c", -1);
  tree.Add(L"C:\\up\\c\\last", 9);
  EXPECT_EQ("", walk.Run(L"C:\\up", Exact("C:\\up"))) << "the 151st in another subfolder";
  // A second walk starts its counter again.
  EXPECT_EQ("C:\\up\\c\\last|9?", walk.Run(L"C:\\up\\c", Exact("C:\\up\\c")));
}

TEST(FolderWalk, StopsListingOnceTheLimitIsPassed) {
  TreeSource tree;
  tree.Add(L"C:\\up\\a", -1);
  for (int i = 0; i < 151; ++i) tree.Add(L"C:\\up\\a\\f" + std::to_wstring(i), 1);
  for (int i = 0; i < 5; ++i) tree.Add(L"C:\\up\\b" + std::to_wstring(i), -1);
  FolderWalk walk(tree);
  EXPECT_EQ("", walk.Run(L"C:\\up", Exact("C:\\up")));
  EXPECT_EQ(2, tree.listed) << "later folders are not listed once the counter is over 150";
}

TEST(FolderWalk, EmptyFolderOrOnlyEmptyFilesGiveNothing) {
  TreeSource tree;
  FolderWalk walk(tree);
  EXPECT_EQ("", walk.Run(L"C:\\none", Exact("C:\\none")));
  tree.Add(L"C:\\zero\\a", 0);
  tree.Add(L"C:\\zero\\sub", -1);
  EXPECT_EQ("", walk.Run(L"C:\\zero", Exact("C:\\zero")));
  EXPECT_EQ(0, walk.LeftOutCount());
}

TEST(FolderWalk, ADriveRootGivesADoubledBackslash) {
  TreeSource tree;
  tree.Add(L"D:\\\\a", 1);
  FolderWalk walk(tree);
  EXPECT_EQ("D:\\\\a|1?", walk.Run(L"D:\\", Exact("D:\\")));
}

TEST(FolderWalk, NamesOutsideTheCodePageAreLeftOutWithEverythingBelowThem) {
  TreeSource tree;
  tree.Add(L"C:\\up\\ok", 1);
  tree.Add(L"C:\\up\\\x4E00", 5, false);
  tree.Add(L"C:\\up\\\x4E00zero", 0, false);
  tree.Add(L"C:\\up\\d\x4E01", -1, false);
  tree.Add(L"C:\\up\\d\x4E01\\a", 1);
  tree.Add(L"C:\\up\\d\x4E01\\b", 2);
  FolderWalk walk(tree);
  EXPECT_EQ("C:\\up\\ok|1?", walk.Run(L"C:\\up", Exact("C:\\up")));
  EXPECT_EQ(3, walk.LeftOutCount()) << "zero-byte files stay silent";

  FolderWalk chosen(tree);
  EXPECT_EQ("", chosen.Run(L"C:\\up\\d\x4E01", {"C:\\up\\d?", false}));
  EXPECT_EQ(2, chosen.LeftOutCount());
}

TEST(FolderWalk, PathsLongerThanTheBuffersAreLeftOutNeverCut) {
  // "C:\" + 250 letters: the folder's pattern "<folder>\*.*" needs 258 bytes.
  std::wstring folder = L"C:\\" + std::wstring(250, L'd');
  std::string folderText = "C:\\" + std::string(250, 'd');
  TreeSource tree;
  tree.Add(folder, -1);
  tree.Add(folder + L"\\abcd", 1);      // 259 bytes with its terminator
  tree.Add(folder + L"\\abcde", 1);     // 260
  tree.Add(folder + L"\\abcdef", 1);    // 261: does not fit
  tree.Add(folder + L"\\abcdefg", 1);
  tree.Add(folder + L"\\abcdefgh", 0);  // empty: silent
  tree.Add(folder + L"\\s", -1);        // "<folder>\\s\\*.*" just fits
  tree.Add(folder + L"\\s\\x", 1);
  tree.Add(folder + L"\\sub", -1);      // its pattern does not fit
  tree.Add(folder + L"\\sub\\y", 1);
  FolderWalk walk(tree);
  EXPECT_EQ(Entry(folderText + "\\abcd", 1) + Entry(folderText + "\\abcde", 1) + Entry(folderText + "\\s\\x", 1),
            walk.Run(folder, Exact(folderText)));
  EXPECT_EQ(3, walk.LeftOutCount());
}
