// SPDX-License-Identifier: GPL-3.0-or-later
#include "formats/iec61455.h"

#include <algorithm>
#include <charconv>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "formats/dates.h"
#include "formats/reader_support.h"
#include "formats/text_rules.h"

namespace durnix {

namespace {

constexpr std::string_view kTag = "A004";
constexpr std::size_t kHeaderLines = 58;
constexpr std::size_t kLineWidth = 64;                               // after the tag
constexpr std::size_t kDescriptionFirst = 5, kDescriptionLines = 5;  // lines 6 to 10
constexpr std::size_t kPointsFirst = 10, kPointsLast = 46;           // lines 11 to 46
constexpr int kCountsPerLine = 5;

// The lines of the file without their tag; false when a line does not begin with it. A file
// ends in a line end or without one; blank lines after the last are ignored.
bool PayloadLines(ByteView bytes, std::vector<std::string_view>& lines) {
  bool tagged = true;
  ForEachLine(bytes, [&](std::string_view line) {
    if (line.substr(0, kTag.size()) != kTag) {
      tagged = Trim(line).empty();
      return tagged;
    }
    lines.push_back(line.substr(kTag.size()));
    return true;
  });
  return tagged;
}

// The terms of a calibration line: four numbers in fields of 15 or 16 characters, which may
// touch ("8.00000000E-01-2.97939000E-08").
std::vector<double> Terms(std::string_view line) {
  std::vector<double> terms;
  std::size_t at = 0;
  while (at < line.size() && terms.size() < 4) {
    while (at < line.size() && line[at] == ' ') ++at;
    if (at >= line.size()) break;
    std::size_t end = at + 1;
    while (end < line.size() && line[end] != ' ' && line[end] != '-' && line[end] != '+') ++end;
    // A sign right after an exponent letter belongs to the number.
    while (end < line.size() && (line[end] == '-' || line[end] == '+') &&
           (line[end - 1] == 'E' || line[end - 1] == 'e')) {
      ++end;
      while (end < line.size() && line[end] != ' ' && line[end] != '-' && line[end] != '+') ++end;
    }
    terms.push_back(NumericPrefix(line.substr(at, end - at)));
    at = end;
  }
  terms.resize(4, 0.0);
  return terms;
}

// The channel number and the counts of a line of counts: in their columns of 6 and 10
// characters, where a count of ten digits touches the one before it; else as the words of the
// line, for files laid out otherwise.
std::vector<std::string_view> CountFields(std::string_view line) {
  constexpr std::size_t kChannelWidth = 6, kCountWidth = 10;
  std::vector<std::string_view> fields;
  if (line.size() > kChannelWidth) fields.push_back(Trim(line.substr(0, kChannelWidth)));
  for (std::size_t at = kChannelWidth; at < line.size(); at += kCountWidth) {
    const std::string_view field = Trim(line.substr(at, kCountWidth));
    if (field.empty() && Trim(line.substr(at)).empty()) break;
    fields.push_back(field);
  }
  long long number = 0;
  const bool columns = fields.size() >= 2 && std::all_of(fields.begin(), fields.end(), [&](auto f) {
                         return WholeNumber(f, number);
                       });
  return columns ? fields : Words(line);
}

// The live time, the real time and the number of channels: in their columns of 12, 12 and 6
// characters, where a time that fills its column touches the one before it; else as the words
// of the line, for files laid out otherwise.
std::vector<std::string_view> TimeFields(std::string_view line) {
  constexpr std::size_t kTimeWidth = 12, kChannelsWidth = 6;
  const auto number = [](std::string_view field) {
    double value = 0;
    const auto [end, error] = std::from_chars(field.data(), field.data() + field.size(), value);
    return !field.empty() && error == std::errc() && end == field.data() + field.size();
  };
  if (line.size() >= 2 * kTimeWidth + 1) {
    const std::vector<std::string_view> fields = {
        Trim(line.substr(0, kTimeWidth)), Trim(line.substr(kTimeWidth, kTimeWidth)),
        Trim(line.substr(2 * kTimeWidth, kChannelsWidth))};
    long long channels = 0;
    if (number(fields[0]) && number(fields[1]) && WholeNumber(fields[2], channels)) return fields;
  }
  return Words(line);
}

std::string DateText(const CivilDate& date) {
  char text[16];
  std::snprintf(text, sizeof text, "%02d/%02d/%04d", date.month, date.day, date.year);
  return text;
}

Status Parse(ByteView bytes, SpectrumRecord& record) {
  std::vector<std::string_view> lines;
  if (!HasIecSignature(bytes) || !PayloadLines(bytes, lines) || lines.size() < kHeaderLines) {
    return kNotThisFormat;
  }
  const std::vector<std::string_view> times = TimeFields(lines[1]);
  long long channels = 0;
  if (times.size() < 3 || !WholeNumber(times[2], channels) || channels < 1 ||
      channels > kIecMaxChannels) {
    return kNotThisFormat;
  }
  std::vector<std::int32_t> counts;
  counts.reserve(static_cast<std::size_t>(channels));
  for (std::size_t i = kHeaderLines; i < lines.size(); ++i) {
    const std::vector<std::string_view> words = CountFields(lines[i]);
    long long channel = -1;
    if (words.empty() || !WholeNumber(words[0], channel) ||
        channel != static_cast<long long>(counts.size())) {
      if (counts.size() == static_cast<std::size_t>(channels) && Trim(lines[i]).empty()) break;
      return kNotThisFormat;
    }
    for (std::size_t w = 1; w < words.size(); ++w) {
      long long count = 0;
      if (!WholeNumber(words[w], count) || count < 0 || count > INT32_MAX) return kNotThisFormat;
      if (counts.size() < static_cast<std::size_t>(channels)) {
        counts.push_back(static_cast<std::int32_t>(count));
      }
    }
  }
  if (counts.size() != static_cast<std::size_t>(channels)) return kNotThisFormat;

  record.LiveTime = std::string(times[0]);
  record.RealTime = std::string(times[1]);
  const std::vector<std::string_view> when = Words(lines[2]);
  if (!when.empty()) {
    if (const std::optional<CivilDate> date = RecogniseDate(when[0])) {
      record.AcqDate = DateText(*date);
      if (when.size() > 1 && RecogniseTime(when[1])) record.AcqTime = std::string(when[1]);
    }
  }
  const std::vector<double> energy = Terms(lines[3]);
  record.CalOffset = ToSingle(energy[0]);
  record.CalGain = ToSingle(energy[1]);
  std::string description;
  for (std::size_t i = kDescriptionFirst; i < kDescriptionFirst + kDescriptionLines; ++i) {
    const std::string_view text = Trim(lines[i]);
    if (text.empty()) continue;
    if (!description.empty()) description += ' ';
    description += text;
  }
  record.SpecId = std::move(description);
  record.StartCh = 0;
  record.ChannelCount = static_cast<std::int16_t>(channels);
  record.Counts = std::move(counts);
  return kDone;
}

// A header line: the tag, `text` padded with blanks to the line's width, CR LF.
void AppendLine(Bytes& out, std::string_view text) {
  out += kTag;
  out += text.substr(0, kLineWidth);
  out.append(kLineWidth - std::min(text.size(), kLineWidth), ' ');
  out += "\r\n";
}

// A time in its field of 12: with two decimals, or with as many as it has when they fit. A time
// too long for the field in two decimals is written with an exponent, so that it does not run
// into the field that follows.
std::string Seconds(const std::string& text) {
  const double seconds = NumericPrefix(text);
  char field[400];
  if (std::snprintf(field, sizeof field, "%12.2f", seconds) > 12) {
    // As many digits as fit beside the sign and the exponent.
    for (int digits = 6; std::snprintf(field, sizeof field, "%12.*E", digits, seconds) > 12;) {
      --digits;
    }
    return field;
  }
  const std::string exact = DecimalText(seconds);
  if (NumericPrefix(field) != seconds && exact.size() <= 12 &&
      exact.find('e') == std::string::npos) {
    std::snprintf(field, sizeof field, "%12s", exact.c_str());
  }
  return field;
}

// The sample text in lines of at most 64 characters, broken between words and set to the right
// as other programs write it.
std::vector<std::string> DescriptionLines(std::string specId) {
  for (char& c : specId) {
    if (c == '\r' || c == '\n') c = ' ';  // line ends would break the file's lines
  }
  std::vector<std::string> lines;
  std::string line;
  for (std::string_view word : Words(specId)) {
    word = word.substr(0, kLineWidth);
    if (!line.empty() && line.size() + 1 + word.size() > kLineWidth) {
      lines.push_back(std::move(line));
      line.clear();
    }
    if (!line.empty()) line += ' ';
    line += word;
  }
  if (!line.empty()) lines.push_back(std::move(line));
  lines.resize(std::min(lines.size(), kDescriptionLines));
  for (std::string& text : lines) text.insert(0, kLineWidth - text.size(), ' ');
  lines.resize(kDescriptionLines);
  return lines;
}

}  // namespace

bool HasIecSignature(ByteView bytes) {
  int tagged = 0;
  ForEachLine(bytes, [&](std::string_view line) {
    if (line.substr(0, kTag.size()) != kTag) return false;
    return ++tagged < 3;
  });
  return tagged == 3;
}

Status ReadIec(ByteView bytes, SpectrumRecord& record) {
  return detail::ReadTransaction(bytes, record, Parse);
}

std::vector<std::string> IecDropped(ByteView bytes) {
  std::vector<std::string> dropped;
  std::vector<std::string_view> lines;
  if (!HasIecSignature(bytes) || !PayloadLines(bytes, lines) || lines.size() < kHeaderLines) {
    return dropped;
  }
  const std::vector<double> energy = Terms(lines[3]);
  if (energy[2] != 0) dropped.push_back("quadratic calibration term " + DecimalText(energy[2]));
  if (energy[3] != 0) dropped.push_back("cubic calibration term " + DecimalText(energy[3]));
  const std::vector<double> fwhm = Terms(lines[4]);
  if (std::any_of(fwhm.begin(), fwhm.end(), [](double t) { return t != 0; })) {
    dropped.emplace_back("FWHM calibration");
  }
  for (std::size_t i = kPointsFirst; i < kPointsLast; ++i) {
    const std::vector<double> points = Terms(lines[i]);
    if (std::any_of(points.begin(), points.end(), [](double t) { return t != 0; })) {
      dropped.emplace_back("calibration points");
      break;
    }
  }
  const std::vector<std::string_view> when = Words(lines[2]);
  if (when.size() >= 4 && (when[2] != when[0] || when[3] != when[1])) {
    dropped.push_back("second date " + std::string(when[2]) + " " + std::string(when[3]));
  }
  return dropped;
}

Status EncodeIec(const SpectrumRecord& record, Bytes& out) {
  if (!detail::SpectrumIsConsistent(record) || record.Counts.empty() ||
      record.Counts.size() > static_cast<std::size_t>(kIecMaxChannels)) {
    return kDoesNotFit;
  }
  for (const std::int32_t count : record.Counts) {
    if (count < 0) return kDoesNotFit;
  }
  const std::size_t channels = record.Counts.size();
  out.clear();
  out.reserve(kHeaderLines * 70 + (channels / kCountsPerLine + 1) * 62);
  char text[120];
  AppendLine(out, "DURNIX");
  std::snprintf(text, sizeof text, "%s%s%6zu", Seconds(record.LiveTime).c_str(),
                Seconds(record.RealTime).c_str(), channels);
  AppendLine(out, text);
  std::string when;
  if (const std::optional<CivilDate> date = RecogniseDate(record.AcqDate)) {
    const ClockTime time = RecogniseTime(record.AcqTime).value_or(ClockTime{});
    std::snprintf(text, sizeof text, "%02d/%02d/%02d %02d:%02d:%02d", date->month, date->day,
                  date->year % 100, time.hour, time.minute, time.second);
    when = std::string(text) + " " + text;
  }
  AppendLine(out, when);
  std::snprintf(text, sizeof text, "%15.8E%15.8E%15.8E%15.8E",
                static_cast<double>(record.CalOffset), static_cast<double>(record.CalGain), 0.0,
                0.0);
  AppendLine(out, text);
  std::snprintf(text, sizeof text, "%15.8E%15.8E%15.8E%15.8E", 0.0, 0.0, 0.0, 0.0);
  AppendLine(out, text);
  for (const std::string& line : DescriptionLines(record.SpecId)) AppendLine(out, line);
  std::snprintf(text, sizeof text, "%16.9E%16.9E%16.9E%16.9E", 0.0, 0.0, 0.0, 0.0);
  for (std::size_t i = kPointsFirst; i < kPointsLast; ++i) AppendLine(out, text);
  for (std::size_t i = kPointsLast; i < kHeaderLines; ++i) AppendLine(out, "");
  // The count lines are laid straight into the file over blank lines: the tag, the first channel
  // (at most 5 digits) in 6 columns, then five counts (at most 10 digits) in 10 columns each.
  constexpr std::size_t kCountLine = 62;
  static constexpr char kBlankLine[kCountLine + 1] =
      "A004                                                        \r\n";
  static_assert(sizeof kBlankLine - 1 == kTag.size() + 6 + 10 * kCountsPerLine + 2);
  const std::size_t head = out.size();
  out.resize(head + (channels + kCountsPerLine - 1) / kCountsPerLine * kCountLine);
  char* at = out.data() + head;
  for (std::size_t first = 0; first < channels; first += kCountsPerLine, at += kCountLine) {
    std::memcpy(at, kBlankLine, kCountLine);
    PutDigitsBefore(at + kTag.size() + 6, first);
    for (std::size_t i = first; i < first + kCountsPerLine; ++i) {
      const auto count = static_cast<unsigned long long>(i < channels ? record.Counts[i] : 0);
      PutDigitsBefore(at + kTag.size() + 6 + 10 * (i - first + 1), count);
    }
  }
  out.resize(static_cast<std::size_t>(at - out.data()));
  return kDone;
}

}  // namespace durnix
