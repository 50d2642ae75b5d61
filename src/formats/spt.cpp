// SPDX-License-Identifier: GPL-3.0-or-later
#include "formats/spt.h"

#include <limits>

#include "durnix/version.h"
#include "formats/reader_support.h"
#include "formats/text_rules.h"

namespace durnix {

namespace {

// Record tags.
constexpr int kChannels = 1014;
constexpr int kCalibration = 1015;
constexpr int kDateTime = 1016;
constexpr int kDescription = 1017;
constexpr int kUnused1018 = 1018;
constexpr int kUnused1019 = 1019;
constexpr int kSettings = 1020;
constexpr int kUnused1021 = 1021;
constexpr int kEnd = 1022;
constexpr int kFirst = 1023;
constexpr int kUnused2048 = 2048;
constexpr int kUnused2049 = 2049;
constexpr int kValues2050 = 2050;

constexpr std::size_t kRecordHeader = 6;
constexpr std::size_t kSubHeader = 6;  // int16 0, int16 start channel, int16 channels
constexpr std::size_t kTextWidth = 13;
constexpr std::size_t kDescriptionWidth = 80;

// The body length each tag must have; -1 for the records whose length varies.
long bodyLength(int tag) {
  switch (tag) {
    case kFirst:
      return 128;
    case kCalibration:
      return 42;
    case kDateTime:
      return 58;
    case kDescription:
      return 86;
    case kUnused1018:
      return 26;
    case kUnused1019:
      return 18;
    case kSettings:
      return 14;
    case kUnused1021:
      return 2;
    case kUnused2048:
      return 30;
    case kUnused2049:
      return 22;
    case kEnd:
      return 0;
    default:
      return -1;
  }
}

bool hasSubHeader(int tag) {
  return tag != kFirst && tag != kUnused1021 && tag != kEnd;
}

Status parse(ByteView bytes, SpectrumRecord& record) {
  using namespace bytes;
  std::size_t pos = 0;
  bool first = true;
  for (;;) {
    if (bytes.size() - pos < kRecordHeader) return kNotThisFormat;  // no end record
    const int tag = i16le(bytes, pos);
    const std::int32_t length = i32le(bytes, pos + 2);
    const std::size_t body = pos + kRecordHeader;
    if (length < 0 || static_cast<std::size_t>(length) > bytes.size() - body) return kNotThisFormat;
    const std::size_t size = static_cast<std::size_t>(length);
    const long expected = bodyLength(tag);
    if (first && (tag != kFirst || size != 128)) return kNotThisFormat;
    if (expected >= 0 && size != static_cast<std::size_t>(expected)) return kNotThisFormat;
    if (hasSubHeader(tag) && size >= kSubHeader && record.StartCh == 0) {
      record.StartCh = i16le(bytes, body + 2);
    }
    switch (tag) {
      case kFirst: {
        if (!first) return kNotThisFormat;
        // A packed date and time: the first six digits the date, the last six the time.
        const std::string number = DecimalText(f64le(bytes, body));
        record.AcqDate = Trim(ByteView(number).substr(0, 6));
        record.AcqTime =
            Trim(ByteView(number).substr(number.size() - std::min<std::size_t>(6, number.size())));
        break;
      }
      case kCalibration:
        record.CalOffset = ToSingle(f64le(bytes, body + kSubHeader + 4));
        record.CalGain = ToSingle(f64le(bytes, body + kSubHeader + 12));
        break;
      case kDateTime:
        record.AcqTime = detail::TrimmedText(bytes, body + kSubHeader, kTextWidth);
        record.AcqDate = detail::TrimmedText(bytes, body + kSubHeader + kTextWidth, kTextWidth);
        break;
      case kDescription:
        record.SpecId = detail::TrimmedText(bytes, body + kSubHeader, kDescriptionWidth);
        break;
      case kSettings:
        if (i16le(bytes, body + kSubHeader + 6) >= 2) return kNotThisFormat;
        break;
      case kValues2050:
        if (size < kSubHeader || size % 2 != 0) return kNotThisFormat;
        break;
      case kChannels: {
        // The data must fill the body exactly; a second channel record replaces the first.
        if (size < kSubHeader || (size - kSubHeader) % 4 != 0) return kNotThisFormat;
        const std::size_t n = (size - kSubHeader) / 4;
        if (n > static_cast<std::size_t>(std::numeric_limits<std::int16_t>::max())) {
          return kNotThisFormat;
        }
        detail::ReadInt32Counts(bytes, body + kSubHeader, n, record.Counts);
        record.ChannelCount = static_cast<std::int16_t>(n);
        break;
      }
      case kEnd:
        return kDone;
      case kUnused1018:
      case kUnused1019:
      case kUnused1021:
      case kUnused2048:
      case kUnused2049:
        break;
      default:
        return kNotThisFormat;
    }
    first = false;
    pos = body + size;
  }
}

class RecordWriter {
 public:
  RecordWriter(Bytes& out, std::int16_t startChannel, std::int16_t channels)
      : w_(out), startChannel_(startChannel), channels_(channels) {}

  // Opens a record of `tag` with a body of `length` bytes, starting with its sub-header when the
  // tag has one.
  ByteWriter& open(int tag, std::size_t length) {
    w_.i16le(static_cast<std::int16_t>(tag));
    w_.i32le(static_cast<std::int32_t>(length));
    if (hasSubHeader(tag) && length > 0) {
      w_.i16le(0);
      w_.i16le(startChannel_);
      w_.i16le(channels_);
    }
    return w_;
  }

 private:
  ByteWriter w_;
  std::int16_t startChannel_;
  std::int16_t channels_;
};

}  // namespace

Status ReadSpt(ByteView bytes, SpectrumRecord& record) {
  return detail::ReadTransaction(bytes, record, parse);
}

FileResult ReadSpt(SpectrumRecord& record, FileSystem& files) {
  return detail::ReadFile(files, record,
                          [](ByteView b, SpectrumRecord& r) { return ReadSpt(b, r); });
}

Status EncodeSpt(SpectrumRecord& record, Bytes& out) {
  std::int16_t startChannel = 0;
  if (!detail::SpectrumIsConsistent(record) || !RoundToInt16(record.StartCh, startChannel)) {
    return kDoesNotFit;
  }
  record.SpecId = Trim(record.SpecId);
  record.AcqDate = Trim(record.AcqDate);
  record.AcqTime = Trim(record.AcqTime);

  out.clear();
  out.reserve(512 + 4 * record.Counts.size());
  RecordWriter r(out, startChannel, record.ChannelCount);

  ByteWriter& w = r.open(kFirst, 128);
  w.f64le(0);
  w.fixedText(std::string("Durnix v") + kProgramVersion, 64);
  w.f64le(0);
  w.zeros(4);
  w.text(std::string(44, ' '));

  r.open(kCalibration, 42);
  w.text("    ");
  w.f64le(record.CalOffset);
  w.f64le(record.CalGain);
  w.f64le(0);
  w.f64le(0);

  r.open(kDateTime, 58);
  for (int twice = 0; twice < 2; ++twice) {
    w.fixedText(record.AcqTime, kTextWidth);
    w.fixedText(record.AcqDate, kTextWidth);
  }

  r.open(kDescription, 86);
  w.fixedText(record.SpecId, kDescriptionWidth);

  r.open(kUnused1018, 26);
  w.zeros(20);
  r.open(kUnused1019, 18);
  w.zeros(12);
  r.open(kSettings, 14);
  w.zeros(8);
  r.open(kUnused1021, 2);
  w.i16le(1);
  r.open(kUnused2048, 30);
  w.text(" ");
  w.zeros(23);
  r.open(kUnused2049, 22);
  w.text(" ");
  w.zeros(15);
  r.open(kChannels, kSubHeader + 4 * record.Counts.size());
  detail::WriteInt32Counts(w, record.Counts);
  r.open(kEnd, 0);
  return kDone;
}

FileResult WriteSpt(SpectrumRecord& record, FileSystem& files) {
  return detail::WriteFile(files, record, "SPT", ExtensionRule::kAfterFirstDot, EncodeSpt);
}

}  // namespace durnix
