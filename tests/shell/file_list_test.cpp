// SPDX-License-Identifier: GPL-3.0-or-later
#include "shell/file_list.h"

#include <gtest/gtest.h>

#include <tuple>

namespace durnix {
namespace {

TEST(FileRows, AttributeLettersNamesExtensionsSizesAndFolders) {
  const std::pair<int, const char*> lettersOf[] = {
      {0, "----"},   {16, "----"},  {1, "-r--"},  {17, "-r--"}, {2, "--h-"},  {18, "--h-"},
      {3, "-rh-"},   {4, "---s"},   {5, "-r-s"},  {6, "--hs"},  {7, "-rhs"},  {23, "-rhs"},
      {32, "a---"},  {48, "a---"},  {33, "ar--"}, {34, "a-h-"}, {35, "arh-"}, {36, "a--s"},
      {37, "ar-s"},  {38, "a-hs"},  {39, "arhs"}, {55, "arhs"}, {8, "Error"}, {24, "Error"},
      {40, "Error"}, {56, "Error"}, {-1, "Error"}};
  for (const auto& [number, letters] : lettersOf)
    EXPECT_EQ(AttributeLetters(number), letters) << number;
  // name, attributes, bytes, and "text|extension|size" of its row
  const std::tuple<const char*, int, long long, const char*> cases[] = {
      {"readme", 32, 999, "readme||999"},
      {".profile", 34, 12, ".profile||12"},
      {"run.01.chn", 32, 1234567, "run.01|chn|1,234,567"},
      {"old.dir", 16, 0, " old|dir|DIR"},
      {"..", 16, 0, " ..||DIR"}};
  for (const auto& [name, attributes, bytes, expected] : cases) {
    const FileRow row = MakeRow(name, attributes, bytes, 0, ",");
    EXPECT_EQ(row.text + "|" + row.extension + "|" + row.size, expected) << name;
    EXPECT_EQ(row.isFolder(), attributes == 16) << name;
  }
  EXPECT_EQ(Grouped(999, ".") + " " + Grouped(1000, "."), "999 1.000");
}

TEST(FileRows, MasksAndSpectrumExtensions) {
  EXPECT_TRUE(MatchesMask("anything", "*.*"));
  EXPECT_TRUE(MatchesMask("film.RBS", "*.RBS"));
  EXPECT_TRUE(MatchesMask("film.rbs", "*.RBS"));
  EXPECT_FALSE(MatchesMask("film.rbs.bak", "*.RBS"));
  EXPECT_FALSE(MatchesMask("..", "*.RBS"));
  EXPECT_FALSE(MatchesMask(".RBS", "*.RBS"));
  for (const char* ext :
       {"RBS", "chn", "SPC", "SPT", "SPM", "AS1", "AS2", "ANS", "SEN", "NCL", "SNF"})
    EXPECT_TRUE(IsSpectrumExtension(ext)) << ext;
  EXPECT_FALSE(IsSpectrumExtension("MCA"));  // CANBERRA's written extension is not a mask
  EXPECT_FALSE(IsSpectrumExtension("txt"));
  EXPECT_EQ(ActivationOf("..", 16), Activation::kUp);
  EXPECT_EQ(ActivationOf("data", 18), Activation::kEnterFolder);
  EXPECT_EQ(ActivationOf("film.CHN", 32), Activation::kViewSpectrum);
  EXPECT_EQ(ActivationOf("notes.txt", 32), Activation::kOpenWithDesktop);
  EXPECT_EQ(ActivationOf("", 32), Activation::kNothing);
}

TEST(StatusLine, CountsKilobytesFreeSpaceAndAtMost20000Entries) {
  EXPECT_EQ(StatusLine(3, 4500, 25, 120000, ","), " 3 (4 kB) files of 25 (120 kB) selected");
  EXPECT_EQ(StatusLine(0, 999, 1, 1234567, ","), " 0 (0 kB) files of 1 (1,234 kB) selected");
  EXPECT_EQ(FreeSpaceText(1600, 2000000, ","), "2 of 2,000 kB free");  // rounded, not cut
  EXPECT_EQ(FreeSpaceText(1499, 1500, ","), "1 of 2 kB free");
  // The selection holds at most 20000 entries, and counts the bytes of those only.
  Selection selection;
  for (int i = 0; i < Selection::kMaxEntries + 5; ++i) selection.add("f", 32, 1);
  EXPECT_EQ(selection.count(), Selection::kMaxEntries);
  EXPECT_EQ(selection.bytes, Selection::kMaxEntries);
}

}  // namespace
}  // namespace durnix
