// SPDX-License-Identifier: GPL-3.0-or-later
// Every reader on bad input: the inputs the fuzzer once found failing (tests/data/fuzz) and every
// golden file cut short at the places where headers and records end. No reader may crash, return
// a status it does not have, or leave an inconsistent spectrum.

#include <gtest/gtest.h>

#include <filesystem>

#include "formats/catalogue.h"
#include "formats/detection.h"
#include "support/temp_dir.h"

namespace durnix {
namespace {

void readEverywhere(ByteView bytes, const std::string& what) {
  for (const FormatInfo& format : FormatCatalogue()) {
    if (!format.readable()) continue;
    SpectrumRecord record;
    record.FileName = "/robust/input." + std::string(format.extension);
    const Status status = ParseFormat(format, bytes, record);
    EXPECT_TRUE(status == kDone || status == kNotThisFormat ||
                (status == kPixeOrNra && format.code == FMT_RBS))
        << what << " as " << format.displayName << ": " << status;
    EXPECT_EQ(record.Counts.size(), static_cast<std::size_t>(record.ChannelCount)) << what;
  }
  SpectrumRecord record;
  std::string name;
  const Status status = DetectAndRead(bytes, record, name);
  EXPECT_TRUE(status == kDone || status == kPixeOrNra || status == kUnknownFormat) << what;
}

TEST(Robustness, InputsThatOnceFailed) {
  const std::string folder = test::DataFile("fuzz");
  if (!std::filesystem::is_directory(folder)) GTEST_SKIP() << "no fuzz inputs kept";
  for (const auto& entry : std::filesystem::directory_iterator(folder)) {
    readEverywhere(test::ReadWhole(entry.path().string()), entry.path().filename().string());
  }
}

TEST(Robustness, GoldenFilesCutShort) {
  int files = 0;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(test::DataFile(""))) {
    const std::string path = entry.path().string();
    if (!entry.is_regular_file() || entry.file_size() > 200000 || path.ends_with(".json") ||
        path.ends_with(".py")) {
      continue;
    }
    const Bytes bytes = test::ReadWhole(path);
    for (std::size_t cut :
         std::initializer_list<std::size_t>{0,   1,   4,   7,   8,   12,  19,   20,   31,   32,
                                            127, 128, 320, 321, 511, 512, 1535, 1536, 4991, 4992}) {
      if (cut < bytes.size()) readEverywhere(ByteView(bytes).substr(0, cut), path);
    }
    readEverywhere(ByteView(bytes).substr(0, bytes.size() - 1), path);
    ++files;
  }
  EXPECT_GT(files, 100);
}

}  // namespace
}  // namespace durnix
