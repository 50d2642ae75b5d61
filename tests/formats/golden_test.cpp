// SPDX-License-Identifier: GPL-3.0-or-later
// The golden corpus in tests/data, made by an independent implementation of the layouts (see
// tests/data/make_golden.py): every file must be read field for field, by detection or by its
// chosen format, and converted to every destination format byte for byte.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>
#include <sstream>

#include "cli/commands.h"
#include "cli/record_text.h"
#include "formats/catalogue.h"
#include "formats/detection.h"
#include "support/temp_dir.h"

namespace durnix {
namespace {

using nlohmann::json;
namespace fs = std::filesystem;

const json& golden() {
  static const json corpus = [] {
    std::ifstream in(test::DataFile("golden.json"));
    return json::parse(in);
  }();
  return corpus;
}

TEST(GoldenCorpus, EveryFileReadsFieldForField) {
  int checked = 0;
  for (const json& want : golden()["reads"]) {
    const std::string file = want["file"];
    const std::string where = file + " from " + want["from"].get<std::string>();
    // Read as durnix-cli reads it: by detection for AUTO, else by the chosen format.
    const FormatInfo* format = FindFormat(want["from"].get<std::string>());
    ASSERT_NE(format, nullptr) << where;
    const std::string bytes = test::ReadWhole(test::DataFile(file));
    SpectrumRecord record;
    record.FileName = file;
    std::string formatName;
    const Status status = format->code == FMT_AUTO ? DetectAndRead(bytes, record, formatName)
                                                   : ParseFormat(*format, bytes, record);
    if (format->code != FMT_AUTO && status == kDone) formatName = format->displayName;
    const json got = cli::RecordJson(file, status, formatName, record);
    EXPECT_EQ(got["status"], want["status"]) << where;
    EXPECT_EQ(got["format"], want["format"]) << where;
    if (want["status"] != 0) {
      EXPECT_EQ(record.ChannelCount, 0) << where;
      EXPECT_TRUE(record.Counts.empty()) << where;
      continue;
    }
    for (const auto& [key, value] : want["record"].items()) {
      ASSERT_TRUE(got.contains(key)) << where << ": " << key;
      if (value.is_number_float() || got[key].is_number_float()) {
        EXPECT_EQ(value.get<double>() == 0 ? 0.0f : value.get<float>(), got[key].get<float>())
            << where << ": " << key;
      } else {
        EXPECT_EQ(value, got[key]) << where << ": " << key;
      }
    }
    ++checked;
  }
  EXPECT_GT(checked, 250);
}

// Through the conversion engine as durnix-cli runs it (answering yes), in process.
TEST(GoldenCorpus, EveryConversionWritesTheExpectedBytes) {
  int compared = 0;
  test::TempDir out;
  for (const json& convert : golden()["converts"]) {
    const std::string source = test::DataFile(convert["source"].get<std::string>());
    const std::string where = source + " to " + convert["to"].get<std::string>();
    cli::ConvertOptions options;
    options.from = convert["from"];
    options.to = convert["to"];
    options.outDir = out.path();
    options.yes = true;
    options.files = {source};
    std::ostringstream said, err;
    const int exit = cli::ConvertCommand(options, said, err);
    const auto written = std::vector<fs::directory_entry>(fs::directory_iterator(out.path()), {});
    if (convert["status"] == 0) {
      ASSERT_EQ(exit, 0) << where << "\n" << err.str();
      ASSERT_EQ(written.size(), 1u) << where;
      EXPECT_TRUE(test::ReadWhole(written[0].path().string()) ==
                  test::ReadWhole(test::DataFile(convert["expected"].get<std::string>())))
          << where << " differs from " << convert["expected"];
      fs::remove(written[0].path());
      ++compared;
    } else {
      EXPECT_EQ(exit, 1) << where;
      EXPECT_TRUE(written.empty()) << where;
      // A count that does not fit, or a number of channels the format does not hold.
      EXPECT_TRUE(err.str().find("is overflowed !!") != std::string::npos ||
                  err.str().find(" channels; ") != std::string::npos)
          << err.str();
    }
  }
  EXPECT_GT(compared, 900);
}

}  // namespace
}  // namespace durnix
