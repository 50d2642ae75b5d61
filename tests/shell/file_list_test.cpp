// SPDX-License-Identifier: GPL-3.0-or-later
#include "shell/file_list.h"

#include <gtest/gtest.h>

namespace durnix {
namespace {

TEST(Attributes, LettersFollowTheBitsAndOthersAreErrors) {
  const std::pair<int, const char*> cases[] = {
      {0, "----"},   {16, "----"},  {1, "-r--"},  {17, "-r--"}, {2, "--h-"},  {18, "--h-"},
      {3, "-rh-"},   {4, "---s"},   {5, "-r-s"},  {6, "--hs"},  {7, "-rhs"},  {23, "-rhs"},
      {32, "a---"},  {48, "a---"},  {33, "ar--"}, {34, "a-h-"}, {35, "arh-"}, {36, "a--s"},
      {37, "ar-s"},  {38, "a-hs"},  {39, "arhs"}, {55, "arhs"}, {8, "Error"}, {24, "Error"},
      {40, "Error"}, {56, "Error"}, {-1, "Error"}};
  for (const auto& [number, letters] : cases)
    EXPECT_EQ(AttributeLetters(number), letters) << number;
}

TEST(FileRows, NamesExtensionsSizesAndFolders) {
  const FileRow readme = MakeRow("readme", 32, 999, 0, ",");
  EXPECT_EQ(readme.text, "readme");
  EXPECT_EQ(readme.extension, "");
  const FileRow profile = MakeRow(".profile", 34, 12, 0, ",");
  EXPECT_EQ(profile.text, ".profile");
  EXPECT_EQ(profile.extension, "");
  const FileRow spectrum = MakeRow("run.01.chn", 32, 1234567, 0, ",");
  EXPECT_EQ(spectrum.text, "run.01");
  EXPECT_EQ(spectrum.extension, "chn");
  EXPECT_EQ(spectrum.size, "1,234,567");
  const FileRow folder = MakeRow("old.dir", 16, 0, 0, ",");
  EXPECT_EQ(folder.text, " old");
  EXPECT_EQ(folder.extension, "dir");
  EXPECT_EQ(folder.size, "DIR");
  EXPECT_TRUE(folder.isFolder());
  const FileRow parent = MakeRow("..", 16, 0, 0, ",");
  EXPECT_EQ(parent.text, " ..");
  EXPECT_EQ(Grouped(999, "."), "999");
  EXPECT_EQ(Grouped(1000, "."), "1.000");
}

TEST(FileRows, MasksAndSpectrumExtensions) {
  EXPECT_TRUE(MatchesMask("anything", "*.*"));
  EXPECT_TRUE(MatchesMask("film.RBS", "*.RBS"));
  EXPECT_TRUE(MatchesMask("film.rbs", "*.RBS"));
  EXPECT_FALSE(MatchesMask("film.rbs.bak", "*.RBS"));
  EXPECT_FALSE(MatchesMask("..", "*.RBS"));
  EXPECT_FALSE(MatchesMask(".RBS", "*.RBS"));
  for (const char* ext :
       {"RBS", "chn", "SPC", "SPT", "SPM", "AS1", "AS2", "ANS", "SEN", "NCL", "SNF"}) {
    EXPECT_TRUE(IsSpectrumExtension(ext)) << ext;
  }
  EXPECT_FALSE(IsSpectrumExtension("MCA"));  // CANBERRA's written extension is not a mask
  EXPECT_FALSE(IsSpectrumExtension("txt"));
  EXPECT_EQ(ActivationOf("..", 16), Activation::kUp);
  EXPECT_EQ(ActivationOf("data", 18), Activation::kEnterFolder);
  EXPECT_EQ(ActivationOf("film.CHN", 32), Activation::kViewSpectrum);
  EXPECT_EQ(ActivationOf("notes.txt", 32), Activation::kOpenWithDesktop);
  EXPECT_EQ(ActivationOf("", 32), Activation::kNothing);
}

TEST(StatusLine, CountsKilobytesAndFreeSpace) {
  EXPECT_EQ(StatusLine(3, 4500, 25, 120000, ","), " 3 (4 kB) files of 25 (120 kB) selected");
  EXPECT_EQ(StatusLine(0, 999, 1, 1234567, ","), " 0 (0 kB) files of 1 (1,234 kB) selected");
  EXPECT_EQ(FreeSpaceText(1600, 2000000, ","), "2 of 2,000 kB free");  // rounded, not cut
  EXPECT_EQ(FreeSpaceText(1499, 1500, ","), "1 of 2 kB free");
}

TEST(StatusLine, TheSelectionListHoldsAtMost20000Entries) {
  Selection selection;
  for (int i = 0; i < Selection::kMaxEntries + 5; ++i) selection.add("f", 32, 1);
  EXPECT_EQ(selection.count(), Selection::kMaxEntries);
  EXPECT_EQ(selection.bytes, Selection::kMaxEntries);
  selection.clear();
  EXPECT_EQ(selection.count(), 0);
  EXPECT_EQ(selection.bytes, 0);
}

}  // namespace
}  // namespace durnix
