// SPDX-License-Identifier: GPL-3.0-or-later
#include "formats/ortec_spe.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <map>

#include "formats/dates.h"
#include "formats/reader_support.h"
#include "formats/text_rules.h"

namespace durnix {

namespace {

bool IsSectionLine(std::string_view line) {
  return line.size() >= 3 && line.front() == '$' && line.back() == ':';
}

// The sections of a file, each with its lines (trimmed), in the order they come.
using Sections = std::map<std::string_view, std::vector<std::string_view>>;

Sections SectionsOf(ByteView bytes) {
  Sections sections;
  std::vector<std::string_view>* current = nullptr;
  ForEachLine(bytes, [&](std::string_view raw) {
    const std::string_view line = Trim(raw);
    if (IsSectionLine(line)) {
      current = &sections[line.substr(0, line.size() - 1)];
    } else if (current != nullptr && !line.empty()) {
      current->push_back(line);
    }
    return true;
  });
  return sections;
}

const std::vector<std::string_view>* Section(const Sections& sections, std::string_view name) {
  const auto found = sections.find(name);
  return found == sections.end() ? nullptr : &found->second;
}

std::string OneLine(std::string_view text) {
  std::string line(text);
  for (char& c : line) {
    if (c == '\r' || c == '\n') c = ' ';
  }
  return line;
}

// A term of $ENER_FIT in its six decimals, or in as many digits as it takes to read back the
// same (the reader takes the calibration from $ENER_FIT).
std::string FitTerm(float term) {
  char text[40];
  std::snprintf(text, sizeof text, "%.6f", static_cast<double>(term));
  return static_cast<float>(NumericPrefix(text)) == term ? text : SingleText(term);
}

Status Parse(ByteView bytes, SpectrumRecord& record) {
  const Sections sections = SectionsOf(bytes);
  const auto* data = Section(sections, "$DATA");
  if (!HasSpeSignature(bytes) || data == nullptr || data->empty()) return kNotThisFormat;
  const std::vector<std::string_view> range = Words(data->front());
  long long first = 0;
  long long last = 0;
  if (range.size() < 2 || !WholeNumber(range[0], first) || !WholeNumber(range[1], last) ||
      first < 0 || last < first || last - first + 1 > kSpeMaxChannels) {
    return kNotThisFormat;
  }
  const auto channels = static_cast<std::size_t>(last - first + 1);
  std::vector<std::int32_t> counts;
  counts.reserve(channels);
  for (std::size_t i = 1; i < data->size() && counts.size() < channels; ++i) {
    for (const std::string_view word : Words((*data)[i])) {
      long long count = 0;
      if (!WholeNumber(word, count) || count < 0 || count > INT32_MAX) return kNotThisFormat;
      counts.push_back(static_cast<std::int32_t>(count));
    }
  }
  if (counts.size() != channels) return kNotThisFormat;

  if (const auto* id = Section(sections, "$SPEC_ID"); id != nullptr && !id->empty()) {
    record.SpecId = std::string(id->front());
  }
  if (const auto* date = Section(sections, "$DATE_MEA"); date != nullptr && !date->empty()) {
    const std::vector<std::string_view> words = Words(date->front());
    if (!words.empty()) record.AcqDate = std::string(words[0]);
    if (words.size() > 1) record.AcqTime = std::string(words[1]);
  }
  if (const auto* times = Section(sections, "$MEAS_TIM"); times != nullptr && !times->empty()) {
    const std::vector<std::string_view> words = Words(times->front());
    if (!words.empty()) record.LiveTime = std::string(words[0]);
    if (words.size() > 1) record.RealTime = std::string(words[1]);
  }
  // The linear calibration: $ENER_FIT "offset gain", or the first two of $MCA_CAL's terms.
  std::vector<std::string_view> calibration;
  if (const auto* fit = Section(sections, "$ENER_FIT"); fit != nullptr && !fit->empty()) {
    calibration = Words(fit->front());
  } else if (const auto* mca = Section(sections, "$MCA_CAL"); mca != nullptr && mca->size() > 1) {
    calibration = Words((*mca)[1]);
  }
  if (calibration.size() >= 2) {
    record.CalOffset = static_cast<float>(NumericPrefix(calibration[0]));
    record.CalGain = static_cast<float>(NumericPrefix(calibration[1]));
  }
  record.StartCh = static_cast<float>(first);
  record.ChannelCount = static_cast<std::int16_t>(channels);
  record.Counts = std::move(counts);
  return kDone;
}

}  // namespace

bool HasSpeSignature(ByteView bytes) {
  bool signature = false;
  ForEachLine(bytes, [&](std::string_view line) {
    signature = Trim(line) == "$SPEC_ID:";
    return false;
  });
  return signature;
}

Status ReadSpe(ByteView bytes, SpectrumRecord& record) {
  return detail::ReadTransaction(bytes, record, Parse);
}

std::vector<std::string> SpeDropped(ByteView bytes) {
  static constexpr std::string_view kHeld[] = {"$SPEC_ID", "$DATE_MEA", "$MEAS_TIM",
                                               "$DATA",    "$ENER_FIT", "$MCA_CAL"};
  std::vector<std::string> dropped;
  const Sections sections = SectionsOf(bytes);
  for (const auto& [name, lines] : sections) {
    if (std::find(std::begin(kHeld), std::end(kHeld), name) == std::end(kHeld)) {
      dropped.emplace_back(name);
    }
  }
  if (const auto* mca = Section(sections, "$MCA_CAL"); mca != nullptr && mca->size() > 1) {
    const std::vector<std::string_view> terms = Words((*mca)[1]);
    if (terms.size() >= 3 && NumericPrefix(terms[2]) != 0) {
      dropped.push_back("quadratic calibration term " + std::string(terms[2]));
    }
  }
  return dropped;
}

Status EncodeSpe(const SpectrumRecord& record, Bytes& out) {
  if (!detail::SpectrumIsConsistent(record) || record.Counts.empty() ||
      record.Counts.size() > static_cast<std::size_t>(kSpeMaxChannels)) {
    return kDoesNotFit;
  }
  for (const std::int32_t count : record.Counts) {
    if (count < 0) return kDoesNotFit;
  }
  out.clear();
  out.reserve(200 + 10 * record.Counts.size());
  out += "$SPEC_ID:\r\n" + OneLine(record.SpecId) + "\r\n";
  const std::optional<CivilDate> date = RecogniseDate(record.AcqDate);
  if (date) {
    const ClockTime time = RecogniseTime(record.AcqTime).value_or(ClockTime{});
    char text[40];
    std::snprintf(text, sizeof text, "%02d/%02d/%04d %02d:%02d:%02d", date->month, date->day,
                  date->year, time.hour, time.minute, time.second);
    out += "$DATE_MEA:\r\n" + std::string(text) + "\r\n";
  }
  if (!record.LiveTime.empty() || !record.RealTime.empty()) {
    const auto seconds = [](const std::string& text) {
      const std::string_view trimmed = Trim(text);
      return trimmed.empty() ? std::string("0") : OneLine(trimmed);
    };
    out += "$MEAS_TIM:\r\n" + seconds(record.LiveTime) + " " + seconds(record.RealTime) + "\r\n";
  }
  const long long first = std::max(0LL, std::llround(record.StartCh));
  out += "$DATA:\r\n" + std::to_string(first) + " " +
         std::to_string(first + static_cast<long long>(record.Counts.size()) - 1) + "\r\n";
  // The counts are laid straight into the file: at most 10 digits and a line end each.
  const std::size_t head = out.size();
  out.resize(head + 12 * record.Counts.size() + 20);
  char* at = out.data() + head;
  for (const std::int32_t count : record.Counts) {
    if (count < 100000000) {
      std::memcpy(at, "        \r\n", 10);
      PutDigitsBefore(at + 8, static_cast<unsigned long long>(count));
      at += 10;
    } else {
      at = PutRightAligned(at, count, 8);
      *at++ = '\r';
      *at++ = '\n';
    }
  }
  out.resize(static_cast<std::size_t>(at - out.data()));
  if (record.CalGain != 0) {
    char text[120];
    std::snprintf(text, sizeof text, "$MCA_CAL:\r\n3\r\n%.6E %.6E %.6E keV\r\n",
                  static_cast<double>(record.CalOffset), static_cast<double>(record.CalGain), 0.0);
    out += "$ENER_FIT:\r\n" + FitTerm(record.CalOffset) + " " + FitTerm(record.CalGain) + "\r\n";
    out += text;
  }
  return kDone;
}

}  // namespace durnix
