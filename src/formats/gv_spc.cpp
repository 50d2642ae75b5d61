// SPDX-License-Identifier: GPL-3.0-or-later
#include "formats/gv_spc.h"

#include "formats/dates.h"
#include "formats/reader_support.h"
#include "formats/text_rules.h"

namespace durnix {

namespace {

constexpr std::size_t kRecordBytes = 128;
constexpr std::size_t kChannelsPerRecord = kRecordBytes / 4;
constexpr int kDataType32Bit = 1;
constexpr int kDataTypeSingle = 5;
// Record positions are signed 16-bit byte offsets: record 256 is the last that can be reached.
constexpr int kLastReachableRecord = 256;

// Records of a written file.
constexpr int kAcquisitionRecord = 2;
constexpr int kDescriptionRecord = 3;
constexpr int kCalibrationRecord = 5;
constexpr int kFirstDataRecord = 40;

// The offset of record `number`, when the record (or `length` bytes from its start) lies inside
// the file.
bool recordAt(ByteView bytes, int number, std::size_t length, std::size_t& offset) {
  if (number < 1 || number > kLastReachableRecord) return false;
  offset = static_cast<std::size_t>(number - 1) * kRecordBytes;
  return offset + length <= bytes.size();
}

// The date field holds "dd-MMM-yy" and a century flag of "1" from the year 2000 on.
std::string dateOfField(ByteView field) {
  if (field[9] == '1') {
    const auto year = static_cast<long long>(NumericPrefix(field.substr(7, 2))) + 2000;
    return std::string(field.substr(0, 7)) + std::to_string(year);
  }
  return std::string(field.substr(0, 9));
}

Status parse(ByteView bytes, SpectrumRecord& record) {
  using namespace bytes;
  if (bytes.size() < kRecordBytes) return kNotThisFormat;
  const int dataType = i16le(bytes, 2);
  const int channels = i16le(bytes, 64);
  const int dataRecords = i16le(bytes, 62);
  if (i16le(bytes, 0) != 1 || (dataType != kDataType32Bit && dataType != kDataTypeSingle) ||
      channels < kGvMinChannels || channels > kGvMaxChannels ||
      channels * 4 != dataRecords * static_cast<int>(kRecordBytes)) {
    return kNotThisFormat;
  }
  const std::size_t n = static_cast<std::size_t>(channels);
  std::size_t acquisition = 0, description = 0, calibration = 0, data = 0;
  if (!recordAt(bytes, i16le(bytes, 8), kRecordBytes, acquisition) ||
      !recordAt(bytes, i16le(bytes, 10), kRecordBytes, description) ||
      !recordAt(bytes, i16le(bytes, 34), kRecordBytes, calibration) ||
      !recordAt(bytes, i16le(bytes, 60), 4 * n, data)) {
    return kNotThisFormat;
  }

  record.Counts.resize(n);
  for (std::size_t i = 0; i < n; ++i) {
    if (dataType == kDataType32Bit) {
      record.Counts[i] = i32le(bytes, data + 4 * i);
    } else if (!RoundToInt32(f32le(bytes, data + 4 * i), record.Counts[i])) {
      return kNotThisFormat;
    }
  }
  record.ChannelCount = static_cast<std::int16_t>(channels);
  record.StartCh = i16le(bytes, 66);
  record.RealTime = SingleText(f32le(bytes, 90));
  record.LiveTime = SingleText(f32le(bytes, 94));
  record.AcqDate = dateOfField(bytes.substr(acquisition + 16, 12));
  record.AcqTime = std::string(bytes.substr(acquisition + 28, 10));
  record.SpecId = detail::TrimmedText(bytes, description, kRecordBytes);
  record.CalOffset = f32le(bytes, calibration + 20);
  record.CalGain = f32le(bytes, calibration + 24);
  return kDone;
}

std::string dateField(const std::string& acqDate) {
  const auto civil = RecogniseDate(acqDate);
  if (!civil) return acqDate;
  return ZeroPadded(civil->day, 2) + "-" + MonthAbbreviation(civil->month, true) + "-" +
         ZeroPadded(civil->year % 100, 2) + (civil->year >= 2000 ? "1" : "0");
}

}  // namespace

Status ReadGvSpc(ByteView bytes, SpectrumRecord& record) {
  return detail::ReadTransaction(bytes, record, parse);
}

FileResult ReadGvSpc(SpectrumRecord& record, FileSystem& files) {
  return detail::ReadFile(files, record,
                          [](ByteView b, SpectrumRecord& r) { return ReadGvSpc(b, r); });
}

Status EncodeGvSpc(const SpectrumRecord& record, Bytes& out) {
  std::int16_t startChannel = 0;
  if (!detail::SpectrumIsConsistent(record) || record.ChannelCount < kGvMinChannels ||
      record.ChannelCount > kGvMaxChannels || !RoundToInt16(record.StartCh, startChannel)) {
    return kDoesNotFit;
  }
  // The channel data fills whole records.
  const std::size_t padded =
      (record.Counts.size() + kChannelsPerRecord - 1) / kChannelsPerRecord * kChannelsPerRecord;
  const auto dataRecords = static_cast<std::int16_t>(padded / kChannelsPerRecord);

  // The header records are laid out in place; the counts follow from record 40, the padding of
  // the last data record stays zero.
  out.assign(static_cast<std::size_t>(kFirstDataRecord - 1) * kRecordBytes, '\0');
  const auto at = [&](int recordNumber, std::size_t offset) {
    return static_cast<std::size_t>(recordNumber - 1) * kRecordBytes + offset;
  };
  Bytes fields;
  const auto put = [&](std::size_t offset, const auto& write) {
    fields.clear();
    ByteWriter w(fields);
    write(w);
    out.replace(offset, fields.size(), fields);
  };
  put(0, [&](ByteWriter& w) {
    w.i16le(1);               // information type
    w.i16le(kDataType32Bit);  // data type
    w.i16le(1);
    w.i16le(0);
    w.i16le(kAcquisitionRecord);
    w.i16le(kDescriptionRecord);
  });
  put(34, [&](ByteWriter& w) { w.i16le(kCalibrationRecord); });
  put(54, [&](ByteWriter& w) {
    const auto lastRecord = static_cast<std::int16_t>(kFirstDataRecord + dataRecords - 1);
    w.i16le(lastRecord);
    w.i16le(lastRecord);
    w.text("  ");
    w.i16le(kFirstDataRecord);
    w.i16le(dataRecords);
    w.i16le(static_cast<std::int16_t>(padded));
    w.i16le(startChannel);
  });
  put(88, [&](ByteWriter& w) {
    w.i16le(startChannel);
    w.f32le(ToSingle(NumericPrefix(record.RealTime)));
    w.f32le(ToSingle(NumericPrefix(record.LiveTime)));
  });
  put(at(kAcquisitionRecord, 0), [&](ByteWriter& w) {
    w.fixedText(OwnName(record.FileName), 16);
    w.fixedText(dateField(record.AcqDate), 12);
    w.fixedText(record.AcqTime, 10);
  });
  put(at(kDescriptionRecord, 0), [&](ByteWriter& w) { w.fixedText(record.SpecId, kRecordBytes); });
  put(at(kCalibrationRecord, 20), [&](ByteWriter& w) {
    w.f32le(record.CalOffset);
    w.f32le(record.CalGain);
  });
  ByteWriter counts(out);
  detail::WriteInt32Counts(counts, record.Counts);
  counts.zeros(4 * (padded - record.Counts.size()));
  return kDone;
}

FileResult WriteGvSpc(SpectrumRecord& record, FileSystem& files) {
  return detail::WriteFile(files, record, "SPC", ExtensionRule::kAfterLastDot, EncodeGvSpc);
}

}  // namespace durnix
