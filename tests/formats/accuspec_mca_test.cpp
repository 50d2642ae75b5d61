// SPDX-License-Identifier: GPL-3.0-or-later
// Canberra AccuSpec spectra: two real files, whose expected values were read from the files' bytes
// with Python, apart from the reader; made-up files for what the real ones never hold (high count
// words, a negative float) and for the refusals.
#include "formats/accuspec_mca.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <numeric>

#include "support/records.h"
#include "support/temp_dir.h"

namespace durnix {
namespace {

const std::string kDir = std::string(DURNIX_REAL_SAMPLES_DIR) + "/canberra_accuspec_mca/";

using Counts = std::vector<std::int32_t>;

// The times and names a record was given: "live|real|time of day|date|SpecId".
std::string Times(const SpectrumRecord& r) {
  return r.LiveTime + "|" + r.RealTime + "|" + r.AcqTime + "|" + r.AcqDate + "|" + r.SpecId;
}

// The Python used, with d = open(file, 'rb').read() and w(o) = int.from_bytes(d[o:o+2], 'little'):
//   c = [w(1024 + 4 * i) << 16 | w(1026 + 4 * i) for i in range(w(36))]
//   c[95:105], sum(c), max(c), c.index(max(c)); w(48) << 16 | w(50); w(56) << 16 | w(58)
//   divmod(w(84) << 16 | w(86), 3600) for the time; for the floats u = w(o) << 16 | w(o + 2):
//   (-1) ** (u >> 31) * (0.5 + (u & 0x7FFFFF) / 2 ** 24) * 2 ** ((u >> 23 & 255) - 128)
TEST(AccuSpecReader, RealFiles) {
  struct Case {
    const char* file;
    Counts counts95to104;  // Counts[95] to Counts[104]
    long long total;
    std::size_t peak;  // the index of the largest count (c.index(max(c))), and that count
    std::int32_t peakCount;
    const char* times;  // the files have no date and no title: SpecId is left as it was
    int day;            // the word at byte 80
  };
  const Counts yag = {50, 45, 57, 54, 59, 42, 33, 26, 17, 17};
  const Counts nacl = {10, 10, 6, 10, 6, 6, 5, 5, 6, 7};
  const Case cases[] = {
      {"xylib_03yag02.mca", yag, 150140, 397, 2221, "36|41|18:21:24||kept", 82},
      {"xylib_04nacl02.mca", nacl, 341488, 830, 12620, "41|55|00:49:58||kept", 177},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.file);
    if (!std::filesystem::exists(kDir + c.file)) GTEST_SKIP() << "no real samples";
    const std::string bytes = test::ReadWhole(kDir + c.file);
    ASSERT_TRUE(HasAccuSpecSignature(bytes));
    SpectrumRecord record;
    record.SpecId = "kept";
    ASSERT_EQ(ReadAccuSpec(bytes, record), kDone);
    EXPECT_EQ(record.ChannelCount, 2048);
    ASSERT_EQ(record.Counts.size(), 2048u);
    EXPECT_EQ(Counts(record.Counts.begin() + 95, record.Counts.begin() + 105), c.counts95to104);
    EXPECT_EQ(std::accumulate(record.Counts.begin(), record.Counts.end(), 0LL), c.total);
    EXPECT_EQ(record.Counts[c.peak], c.peakCount);
    EXPECT_EQ(Times(record), c.times);
    EXPECT_FLOAT_EQ(record.CalOffset, 0.44856f);
    EXPECT_FLOAT_EQ(record.CalGain, 0.03616f);
    EXPECT_EQ(AccuSpecDropped(bytes),
              (std::vector<std::string>{
                  "quadratic calibration term 5.684e-08",
                  "start date (day word " + std::to_string(c.day) + ", year 2004)"}));
  }
  // No file of another format has the signature.
  for (const auto& entry : std::filesystem::recursive_directory_iterator(DURNIX_REAL_SAMPLES_DIR)) {
    if (!entry.is_regular_file() ||
        entry.path().parent_path().filename() == "canberra_accuspec_mca") {
      continue;
    }
    SCOPED_TRACE(entry.path().string());
    EXPECT_FALSE(HasAccuSpecSignature(test::ReadWhole(entry.path().string())));
  }
}

void Put16(std::string& file, std::size_t at, std::uint16_t value) {
  file[at] = static_cast<char>(value);
  file[at + 1] = static_cast<char>(value >> 8);
}

// A header for `channels` channels and the counts, each as two words, the high one first.
std::string MadeUp(std::uint16_t channels, const std::vector<std::uint32_t>& counts) {
  std::string file(1024 + 4 * counts.size(), '\0');
  Put16(file, 24, 1024);
  Put16(file, 34, 4);
  Put16(file, 36, channels);
  Put16(file, 38, 1);
  for (std::size_t i = 0; i < counts.size(); ++i) {
    Put16(file, 1024 + 4 * i, static_cast<std::uint16_t>(counts[i] >> 16));
    Put16(file, 1026 + 4 * i, static_cast<std::uint16_t>(counts[i]));
  }
  return file;
}

TEST(AccuSpecReader, WordOrderAndFloats) {
  std::string file = MadeUp(3, {0x12345, 7, 0x7FFFFFFF});
  Put16(file, 48, 1);  // live 0x186A0 = 100000 s
  Put16(file, 50, 0x86A0);
  Put16(file, 58, 9);  // real 9 s
  Put16(file, 84, 1);  // 0x1517F = 86399 s
  Put16(file, 86, 0x517F);
  Put16(file, 108, 0xC0C0);  // -1.5: sign, exponent 129, fraction 0x400000
  Put16(file, 112, 0x3F80);  // 0.25: exponent 127, fraction 0
  SpectrumRecord record;
  ASSERT_EQ(ReadAccuSpec(file, record), kDone);
  EXPECT_EQ(record.Counts, (Counts{0x12345, 7, 0x7FFFFFFF}));
  EXPECT_EQ(Times(record), "100000|9|23:59:59||");
  EXPECT_EQ(record.CalOffset, -1.5f);
  EXPECT_EQ(record.CalGain, 0.25f);
  EXPECT_TRUE(AccuSpecDropped(file).empty());  // no quadratic term, no date
  // A second of the day past its end is no time; the earlier one stays.
  Put16(file, 86, 0x5180);
  ASSERT_EQ(ReadAccuSpec(file, record), kDone);
  EXPECT_EQ(record.AcqTime, "23:59:59");
}

TEST(AccuSpecReader, RefusesWhatIsNotWhole) {
  const std::string good = MadeUp(2, {1, 2});
  const auto changed = [&](std::size_t at, std::uint16_t value) {
    std::string file = good;
    Put16(file, at, value);
    return file;
  };
  struct Case {
    const char* what;
    std::string bytes;
    bool signature;
  };
  const Case cases[] = {
      {"truncated", good.substr(0, good.size() - 1), false},
      {"one byte extra", good + '\0', false},
      {"word 0", changed(0, 1), false},
      {"data offset", changed(24, 512), false},
      {"bytes per channel", changed(34, 2), false},
      {"word 38", changed(38, 0), false},
      {"channel count", changed(36, 3), false},
      {"count above INT32_MAX", changed(1028, 0x8000), true},
      {"no channel", MadeUp(0, {}), false},
      {"32768 channels", MadeUp(32768, std::vector<std::uint32_t>(32768, 1)), false},
      {"ASCII", "$SPEC_ID:\r\nx\r\n$DATA:\r\n0 1\r\n1\r\n2\r\n" + std::string(1000, ' '), false},
      {"1024 zero bytes", std::string(1024, '\0'), false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(HasAccuSpecSignature(c.bytes), c.signature);
    SpectrumRecord record = test::RecordWithCounts({5});
    record.SpecId = "kept";
    EXPECT_EQ(ReadAccuSpec(c.bytes, record), kNotThisFormat);
    EXPECT_TRUE(record.Counts.empty());
    EXPECT_EQ(record.SpecId, "kept");
    EXPECT_TRUE(AccuSpecDropped(c.bytes).empty());
  }
  SpectrumRecord record;
  EXPECT_EQ(ReadAccuSpec(good, record), kDone);
}

}  // namespace
}  // namespace durnix
