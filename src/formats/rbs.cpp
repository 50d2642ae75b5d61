// SPDX-License-Identifier: GPL-3.0-or-later
#include "formats/rbs.h"

#include <cmath>
#include <limits>
#include <span>
#include <vector>

#include "formats/reader_support.h"
#include "formats/text_rules.h"

namespace durnix {

namespace {

// Record types.
constexpr std::uint32_t kEnd = 0;
constexpr std::uint32_t kComment = 1;
constexpr std::uint32_t kProgram = 2;
constexpr std::uint32_t kDataHeader = 16;
constexpr std::uint32_t kData = 17;             // in the encoding of the last type-16 record
constexpr std::uint32_t kDataSingles = 18;      // encoding 0 for this record only
constexpr std::uint32_t kDataIntegers = 19;     // encoding 1 for this record only
constexpr std::uint32_t kDataDifferences = 20;  // encoding 2 for this record only
constexpr std::uint32_t kSpecId = 257;
constexpr std::uint32_t kLiveReal = 258;
constexpr std::uint32_t kDateTime = 259;
constexpr std::uint32_t kCorrection = 272;
constexpr std::uint32_t kBeam = 273;
constexpr std::uint32_t kCalibration = 274;
constexpr std::uint32_t kGeometry = 288;
constexpr std::uint32_t kGeometryAlt = 289;
constexpr std::uint32_t kPixe = 290;
constexpr std::uint32_t kNra = 291;

// Channel data encodings.
constexpr int kSingles = 0;
constexpr int kIntegers = 1;
constexpr int kDifferences = 2;

constexpr std::size_t kHeaderBytes = 20;
constexpr std::size_t kMaxTextRead = 1000;
constexpr char kProgramText[] = "PC-RUMP data file [v 1.0]";

bool isDataRecord(std::uint32_t type) {
  return type >= kData && type <= kDataDifferences;
}

std::string hexDigits(std::uint8_t b) {
  static constexpr char kDigits[] = "0123456789ABCDEF";
  std::string text;
  if (b >= 16) text.push_back(kDigits[b >> 4]);
  text.push_back(kDigits[b & 15]);
  return text;
}

int hexValue(char c) {
  return c <= '9' ? c - '0' : c - 'A' + 10;
}

class Parser {
 public:
  // The record's spectrum memory serves the counts being read.
  Parser(ByteView bytes, SpectrumRecord& record)
      : bytes_(bytes), record_(record), counts_(std::move(record.Counts)) {
    counts_.clear();
  }

  Status run() {
    using namespace bytes;
    if (bytes_.size() < 4 || bytes_.size() > kRbsMaxFileBytes) return kNotThisFormat;
    if (bytes_.size() < kHeaderBytes || u32be(bytes_, 4) != 0 || u32be(bytes_, 8) != kRbsMagic) {
      return kNotThisFormat;
    }
    const std::uint64_t headerWords = u32be(bytes_, 0);
    if (headerWords < 5 || headerWords * 4 > bytes_.size()) return kNotThisFormat;
    record_.Version =
        RbsVersionText(u8(bytes_, 12), u8(bytes_, 13), u8(bytes_, 14), u8(bytes_, 15));

    std::size_t pos = static_cast<std::size_t>(headerWords * 4);
    while (pos < bytes_.size()) {
      const std::size_t left = bytes_.size() - pos;
      if (left < 8) {
        // Zero padding after the last record ends the file; anything else is a torn record.
        if (bytes_.substr(pos).find_first_not_of('\0') == std::string_view::npos) break;
        return kNotThisFormat;
      }
      const std::uint64_t words = u32be(bytes_, pos);
      const std::uint32_t type = u32be(bytes_, pos + 4);
      if (type == kEnd) break;
      if (words < 3 || words * 4 > left) return kNotThisFormat;
      const std::size_t next = pos + static_cast<std::size_t>(words * 4);
      const ByteView data = bytes_.substr(pos + 8, static_cast<std::size_t>(words * 4) - 12);
      const Status status = record(type, data, next);
      if (status != kDone) return status;
      pos = next;
    }
    if (declared_ >= 0 && filled_ < static_cast<std::size_t>(declared_)) return kNotThisFormat;
    record_.ChannelCount = static_cast<std::int16_t>(counts_.size());
    record_.Counts = std::move(counts_);
    return kDone;
  }

 private:
  // True when another data record of the same spectrum comes after `next`: records of other
  // kinds may stand between them, a type-16 record starts another spectrum. Asked once for each
  // data record that still has channels to fill, each time looking no further than the next
  // data record, so a file is looked through about twice at most.
  bool nextIsData(std::size_t next) const {
    while (next + 8 <= bytes_.size()) {
      const std::uint64_t words = bytes::u32be(bytes_, next);
      const std::uint32_t type = bytes::u32be(bytes_, next + 4);
      if (isDataRecord(type)) return true;
      if (type == kEnd || type == kDataHeader || words < 3) return false;
      next += static_cast<std::size_t>(std::min<std::uint64_t>(words * 4, bytes_.size()));
    }
    return false;
  }

  Status record(std::uint32_t type, ByteView data, std::size_t next) {
    using namespace bytes;
    switch (type) {
      case kComment:
        return text(data, std::string_view::npos,
                    [&](std::string_view t) { record_.RumpComment = Trim(t); });
      case kSpecId:
        return text(data, kMaxTextRead, [&](std::string_view t) { record_.SpecId = Trim(t); });
      case kLiveReal:
        return text(data, kMaxTextRead, [&](std::string_view t) {
          SplitAtSlash(t, record_.LiveTime, record_.RealTime);
        });
      case kDateTime:
        return text(data, kMaxTextRead, [&](std::string_view t) {
          SplitDateTime(t, record_.AcqDate, record_.AcqTime);
        });
      case kDataHeader: {
        // Both words count by their low 16 bits only.
        if (data.size() < 8) return kNotThisFormat;
        const int encoding = u16be(data, 2);
        const int channels = u16be(data, 6);
        if (encoding > kDifferences) return kNotThisFormat;
        if (channels > std::numeric_limits<std::int16_t>::max()) return kNotThisFormat;
        encoding_ = encoding;
        declared_ = channels;
        counts_.assign(static_cast<std::size_t>(channels), 0);
        filled_ = 0;
        return kDone;
      }
      case kData:
      case kDataSingles:
      case kDataIntegers:
      case kDataDifferences:
        if (declared_ < 0) return kNotThisFormat;
        return channelData(type == kData ? encoding_ : static_cast<int>(type - kDataSingles), data,
                           next);
      case kCorrection:
        if (data.size() < 4) return kNotThisFormat;
        record_.Correction = f32be(data, 0);
        return kDone;
      case kBeam:
        if (data.size() < 24) return kNotThisFormat;
        record_.BeamMeV = f32be(data, 0);
        if (!smallInteger(data, 4, record_.AtomicNo)) return kNotThisFormat;
        record_.Mass = f32be(data, 8);
        if (!smallInteger(data, 12, record_.ChargeState)) return kNotThisFormat;
        record_.ChargeUC = f32be(data, 16);
        record_.CurrentNA = f32be(data, 20);
        return kDone;
      case kCalibration:
        // Version 1.0a files add a fifth value, which is not ours.
        if (data.size() < 16) return kNotThisFormat;
        record_.CalGain = f32be(data, 0);
        record_.CalOffset = f32be(data, 4);
        record_.StartCh = f32be(data, 8);
        record_.Fwhm = f32be(data, 12);
        return kDone;
      case kGeometry:
      case kGeometryAlt:
        if (data.size() < 20) return kNotThisFormat;
        if (!smallInteger(data, 0, record_.Geometry)) return kNotThisFormat;
        record_.Theta = f32be(data, 4);
        record_.Phi = f32be(data, 8);
        record_.Psi = f32be(data, 12);
        record_.Omega = f32be(data, 16);
        return kDone;
      case kPixe:
      case kNra:
        return kPixeOrNra;
      case kProgram:
      default:
        return kDone;  // records of other kinds are skipped
    }
  }

  static bool smallInteger(ByteView data, std::size_t at, std::int16_t& out) {
    const std::int32_t value = bytes::i32be(data, at);
    if (value < std::numeric_limits<std::int16_t>::min() ||
        value > std::numeric_limits<std::int16_t>::max()) {
      return false;
    }
    out = static_cast<std::int16_t>(value);
    return true;
  }

  // A text record: a 32-bit length (of which the low 16 bits count), then the characters.
  // A length of 0 leaves the field as it was, except for the comment.
  template <class Store>
  static Status text(ByteView data, std::size_t maxRead, Store&& store) {
    if (data.size() < 4) return kNotThisFormat;
    const std::size_t length = bytes::u16be(data, 2);
    if (4 + length > data.size()) return kNotThisFormat;
    if (length == 0 && maxRead != std::string_view::npos) return kDone;
    store(data.substr(4, std::min(length, maxRead)));
    return kDone;
  }

  // Every data record but the last of a spectrum holds exactly 1024 values; the last holds all
  // that remain (a single record may hold the whole spectrum).
  Status channelData(int encoding, ByteView data, std::size_t next) {
    const std::size_t remaining = counts_.size() - filled_;
    if (remaining == 0) return kDone;  // values beyond the spectrum are not ours
    const std::size_t wanted =
        remaining > kRbsBlockChannels && nextIsData(next) ? kRbsBlockChannels : remaining;
    std::int32_t* out = counts_.data() + filled_;
    if (encoding == kSingles || encoding == kIntegers) {
      if (wanted * 4 > data.size()) return kNotThisFormat;
      for (std::size_t i = 0; i < wanted; ++i) {
        if (encoding == kIntegers) {
          out[i] = bytes::i32be(data, 4 * i);
        } else if (!RoundToInt32(bytes::f32be(data, 4 * i), out[i])) {
          return kNotThisFormat;
        }
      }
    } else {
      // Differences: an absolute first value, then steps of 1, 3 or 7 bytes.
      std::size_t p = 0;
      std::int64_t previous = 0;
      for (std::size_t i = 0; i < wanted; ++i) {
        std::int64_t value = 0;
        if (i == 0) {
          if (p + 4 > data.size()) return kNotThisFormat;
          value = bytes::i32be(data, p);
          p += 4;
        } else {
          if (p + 1 > data.size()) return kNotThisFormat;
          const std::uint8_t b = bytes::u8(data, p++);
          if (b < 128) {
            value = previous + b;
          } else if (b > 128) {
            value = previous + b - 256;
          } else {
            if (p + 2 > data.size()) return kNotThisFormat;
            const std::uint16_t step = bytes::u16be(data, p);
            p += 2;
            if (step < 32768) {
              value = previous + step;
            } else if (step > 32768) {
              value = previous + step - 65536;
            } else {
              if (p + 4 > data.size()) return kNotThisFormat;
              value = bytes::i32be(data, p);
              p += 4;
              if (value == std::numeric_limits<std::int32_t>::max() || value < -2147483646) {
                return kNotThisFormat;
              }
            }
          }
        }
        if (value < std::numeric_limits<std::int32_t>::min() ||
            value > std::numeric_limits<std::int32_t>::max()) {
          return kNotThisFormat;
        }
        out[i] = static_cast<std::int32_t>(value);
        previous = value;
      }
    }
    filled_ += wanted;
    return kDone;
  }

  ByteView bytes_;
  SpectrumRecord& record_;
  int encoding_ = -1;  // no type-16 record yet
  std::int32_t declared_ = -1;
  std::vector<std::int32_t> counts_;
  std::size_t filled_ = 0;
};

class RecordWriter {
 public:
  explicit RecordWriter(Bytes& out) : out_(out), w_(out) {}

  // Opens a record of `type`; its length word is filled in by close().
  void open(std::uint32_t type) {
    start_ = out_.size();
    w_.u32be(0);
    w_.u32be(type);
  }
  ByteWriter& data() { return w_; }
  void close() {
    while ((out_.size() - start_) % 4 != 0) w_.u8(0);
    const std::size_t words = (out_.size() - start_) / 4 + 1;
    w_.patchU32be(start_, static_cast<std::uint32_t>(words));
    w_.u32be(RbsCheckWord(ByteView(out_).substr(start_)));
  }

  void textRecord(std::uint32_t type, std::string_view text) {
    open(type);
    w_.u32be(static_cast<std::uint32_t>(text.size()));
    w_.text(text);
    close();
  }

 private:
  Bytes& out_;
  ByteWriter w_;
  std::size_t start_ = 0;
};

// Codes one block of channels as differences; false when a count cannot be held.
bool codeDifferences(std::span<const std::int32_t> block, Bytes& coded) {
  // Room for the longest coding (7 bytes a step), laid out in place and cut to what was used.
  coded.resize(4 + 7 * block.size());
  auto* p = reinterpret_cast<unsigned char*>(coded.data());
  const auto put32 = [&](std::uint32_t v) {
    p[0] = static_cast<unsigned char>(v >> 24);
    p[1] = static_cast<unsigned char>(v >> 16);
    p[2] = static_cast<unsigned char>(v >> 8);
    p[3] = static_cast<unsigned char>(v);
    p += 4;
  };
  put32(static_cast<std::uint32_t>(block[0]));
  for (std::size_t i = 1; i < block.size(); ++i) {
    const std::int64_t step = static_cast<std::int64_t>(block[i]) - block[i - 1];
    if (step >= -127 && step <= 127) {
      *p++ = static_cast<unsigned char>(step & 0xFF);
    } else if (step >= -32767 && step <= 32767) {
      *p++ = 128;
      *p++ = static_cast<unsigned char>((step >> 8) & 0xFF);
      *p++ = static_cast<unsigned char>(step & 0xFF);
    } else {
      if (block[i] < 0 || block[i] == std::numeric_limits<std::int32_t>::max()) return false;
      *p++ = 128;
      *p++ = 128;
      *p++ = 0;
      put32(static_cast<std::uint32_t>(block[i]));
    }
  }
  coded.resize(static_cast<std::size_t>(p - reinterpret_cast<unsigned char*>(coded.data())));
  return true;
}

}  // namespace

std::uint32_t RbsCheckWord(ByteView recordWithoutCheck) {
  std::uint32_t sum = 0;
  const auto* p = reinterpret_cast<const unsigned char*>(recordWithoutCheck.data());
  for (std::size_t words = recordWithoutCheck.size() / 4; words > 0; --words, p += 4) {
    sum += (static_cast<std::uint32_t>(p[0]) << 24) | (static_cast<std::uint32_t>(p[1]) << 16) |
           (static_cast<std::uint32_t>(p[2]) << 8) | static_cast<std::uint32_t>(p[3]);
  }
  return 0u - sum;
}

std::string RbsVersionText(std::uint8_t b12, std::uint8_t b13, std::uint8_t b14, std::uint8_t b15) {
  // The major part is the hexadecimal digits of two bytes read as a binary numeral, the minor part
  // the number that the digits of the other two begin with.
  const std::string majorDigits = hexDigits(b12) + hexDigits(b13);
  long long major = 0;
  for (char c : majorDigits) major = major * 2 + hexValue(c);
  const double minorValue = NumericPrefix(hexDigits(b14) + hexDigits(b15));
  std::string minor = minorValue < 1e15 ? std::to_string(static_cast<long long>(minorValue))
                                        : DecimalText(minorValue);
  if (minor.size() == 1) minor.insert(0, "0");
  return std::to_string(major) + "." + minor;
}

Status ReadRBS(ByteView bytes, SpectrumRecord& record) {
  return detail::ReadTransaction(bytes, record,
                                 [](ByteView b, SpectrumRecord& r) { return Parser(b, r).run(); });
}

FileResult ReadRBS(SpectrumRecord& record, FileSystem& files) {
  return detail::ReadFile(files, record,
                          [](ByteView b, SpectrumRecord& r) { return ReadRBS(b, r); });
}

Status EncodeRBS(const SpectrumRecord& record, Bytes& out) {
  if (!detail::SpectrumIsConsistent(record)) return kDoesNotFit;
  out.clear();
  out.reserve(static_cast<std::size_t>(record.ChannelCount) * 2 + 512);
  RecordWriter r(out);
  ByteWriter& w = r.data();

  w.u32be(5);
  w.u32be(0);
  w.u32be(kRbsMagic);
  w.u32be(0x00010000);
  w.u32be(RbsCheckWord(ByteView(out)));

  if (!record.RumpComment.empty()) r.textRecord(kComment, record.RumpComment);
  r.textRecord(kProgram, kProgramText);
  r.textRecord(kSpecId, Trim(record.SpecId));
  r.textRecord(kLiveReal,
               std::string(Trim(record.LiveTime)) + "/" + std::string(Trim(record.RealTime)));
  r.textRecord(kDateTime,
               std::string(Trim(record.AcqDate)) + "/" + std::string(Trim(record.AcqTime)));

  r.open(kCorrection);
  w.f32be(record.Correction);
  r.close();

  r.open(kBeam);
  w.f32be(record.BeamMeV);
  w.i32be(record.AtomicNo);
  w.f32be(record.Mass);
  w.i32be(record.ChargeState);
  w.f32be(record.ChargeUC);
  w.f32be(record.CurrentNA);
  r.close();

  r.open(kCalibration);
  w.f32be(record.CalGain);
  w.f32be(record.CalOffset);
  w.f32be(record.StartCh);
  w.f32be(record.Fwhm);
  r.close();

  r.open(kGeometry);
  w.i32be(record.Geometry);
  w.f32be(record.Theta);
  w.f32be(record.Phi);
  w.f32be(record.Psi);
  w.f32be(record.Omega);
  r.close();

  r.open(kDataHeader);
  w.u32be(kDifferences);
  w.u32be(static_cast<std::uint32_t>(record.ChannelCount));
  r.close();

  if (record.Counts.empty()) {
    r.open(kData);
    r.close();
    return kDone;
  }
  const std::span<const std::int32_t> counts(record.Counts);
  Bytes coded;
  for (std::size_t first = 0; first < counts.size(); first += kRbsBlockChannels) {
    const auto block =
        counts.subspan(first, std::min<std::size_t>(kRbsBlockChannels, counts.size() - first));
    coded.clear();
    if (!codeDifferences(block, coded)) return kDoesNotFit;
    if ((coded.size() + 3) / 4 <= kRbsBlockChannels) {
      r.open(kData);
      w.text(coded);
    } else {
      // Steps too large to save space: plain 32-bit counts are smaller.
      r.open(kDataIntegers);
      for (std::int32_t count : block) w.i32be(count);
    }
    r.close();
  }
  return kDone;
}

FileResult WriteRBS(SpectrumRecord& record, FileSystem& files) {
  return detail::WriteFile(files, record, "RBS", ExtensionRule::kAfterFirstDot, EncodeRBS);
}

}  // namespace durnix
