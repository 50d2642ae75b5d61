// SPDX-License-Identifier: GPL-3.0-or-later
#include "formats/csv.h"

#include <algorithm>
#include <charconv>
#include <climits>
#include <cmath>
#include <cstring>
#include <string_view>
#include <vector>

#include "formats/decimal_words.h"
#include "formats/energy_steps.h"
#include "formats/reader_support.h"
#include "formats/text_rules.h"

namespace durnix {

namespace {

std::vector<std::string_view> Fields(std::string_view line) {
  std::vector<std::string_view> fields;
  std::size_t start = 0;
  while (true) {
    const std::size_t comma = line.find(',', start);
    fields.push_back(
        Trim(line.substr(start, comma == std::string_view::npos ? comma : comma - start)));
    if (comma == std::string_view::npos) return fields;
    start = comma + 1;
  }
}

bool Begins(std::string_view text, std::string_view start) {
  return text.size() >= start.size() && UpperAscii(text.substr(0, start.size())) == start;
}

// The columns the header names: 2 (channel, counts) or 3 (channel, energy, counts); 0 when the
// line is no such header.
int HeaderColumns(std::string_view line) {
  const std::vector<std::string_view> names = Fields(line);
  if (names.size() < 2 || names.size() > 3 || UpperAscii(names.front()) != "CHANNEL" ||
      UpperAscii(names.back()) != "COUNTS") {
    return 0;
  }
  if (names.size() == 3 && !Begins(names[1], "ENERGY")) return 0;
  return static_cast<int>(names.size());
}

struct Table {
  long long first = 0;
  std::vector<std::int32_t> counts;
  std::vector<double> energies;  // empty without an energy column
};

Status Tabulate(ByteView bytes, Table& table) {
  int columns = 0;
  bool whole = true;
  ForEachLine(bytes, [&](std::string_view line) {
    if (columns == 0) {
      columns = HeaderColumns(line);
      whole = columns != 0;
      return whole;
    }
    if (Trim(line).empty()) return true;
    const std::vector<std::string_view> fields = Fields(line);
    long long channel = 0;
    long long count = 0;
    if (static_cast<int>(fields.size()) != columns || !WholeNumber(fields.front(), channel) ||
        !WholeNumber(fields.back(), count) || count < 0 || count > INT32_MAX ||
        table.counts.size() >= static_cast<std::size_t>(kCsvMaxChannels)) {
      whole = false;
      return false;
    }
    if (table.counts.empty()) {
      table.first = channel;
    } else if (channel != table.first + static_cast<long long>(table.counts.size())) {
      whole = false;
      return false;
    }
    table.counts.push_back(static_cast<std::int32_t>(count));
    if (columns == 3) table.energies.push_back(NumericPrefix(fields[1]));
    return true;
  });
  if (!whole || columns == 0 || table.counts.empty() || table.first < 0) return kNotThisFormat;
  return kDone;
}

// The straight line through the first and last channel's energies: offset and keV per channel.
void Calibration(const Table& table, double& offset, double& gain) {
  offset = 0;
  gain = 0;
  if (table.energies.size() < 2) return;
  const auto last = static_cast<double>(table.counts.size() - 1);
  gain = (table.energies.back() - table.energies.front()) / last;
  offset = table.energies.front() - gain * static_cast<double>(table.first);
}

Status Parse(ByteView bytes, SpectrumRecord& record) {
  Table table;
  if (const Status status = Tabulate(bytes, table); status != kDone) return status;
  double offset = 0;
  double gain = 0;
  Calibration(table, offset, gain);
  record.CalOffset = ToSingle(offset);
  record.CalGain = ToSingle(gain);
  record.StartCh = static_cast<float>(table.first);
  record.ChannelCount = static_cast<std::int16_t>(table.counts.size());
  record.Counts = std::move(table.counts);
  return kDone;
}

}  // namespace

bool HasCsvSignature(ByteView bytes) {
  bool signature = false;
  ForEachLine(bytes, [&](std::string_view line) {
    signature = HeaderColumns(line) != 0;
    return false;
  });
  return signature;
}

Status ReadCsv(ByteView bytes, SpectrumRecord& record) {
  return detail::ReadTransaction(bytes, record, Parse);
}

std::vector<std::string> CsvDropped(ByteView bytes) {
  Table table;
  if (Tabulate(bytes, table) != kDone) return {};
  double offset = 0;
  double gain = 0;
  Calibration(table, offset, gain);
  for (std::size_t i = 0; i < table.energies.size(); ++i) {
    const double channel = static_cast<double>(table.first) + static_cast<double>(i);
    const double expected = offset + gain * channel;
    // Energies as written keep about six decimals.
    if (std::abs(table.energies[i] - expected) > 1e-3 + 1e-6 * std::abs(expected)) {
      return {"energies not on one line over the channels"};
    }
  }
  return {};
}

Status EncodeCsv(const SpectrumRecord& record, Bytes& out) {
  if (!detail::SpectrumIsConsistent(record) || record.Counts.empty() ||
      record.Counts.size() > static_cast<std::size_t>(kCsvMaxChannels)) {
    return kDoesNotFit;
  }
  std::int32_t most = 0;
  for (const std::int32_t count : record.Counts) {
    if (count < 0) return kDoesNotFit;
    most = std::max(most, count);
  }
  const bool calibrated = record.CalGain != 0;
  const long long first = std::max(0LL, std::llround(record.StartCh));
  const auto offset = static_cast<double>(record.CalOffset);
  const auto gain = static_cast<double>(record.CalGain);
  // The energies climb or fall with the channel, so the ends of the spectrum bound their length.
  const double widest = std::max(
      std::abs(offset + gain * static_cast<double>(first)),
      std::abs(offset + gain * static_cast<double>(
                                   first + static_cast<long long>(record.Counts.size()) - 1)));
  const long long last = first + static_cast<long long>(record.Counts.size()) - 1;
  // The longest line: the last channel, the energy farthest from zero (a sign, its whole part
  // and one digit more for a rounding that carries, six decimals) and the largest count. An
  // energy of 10^15 or more may take as much room as printf gives it.
  std::size_t energyRoom = 0;
  if (calibrated) {
    energyRoom =
        widest < 1e15 ? 1 + DigitCount(static_cast<unsigned long long>(widest)) + 1 + 7 : 340;
  }
  const std::size_t lineRoom = DigitCount(static_cast<unsigned long long>(last)) + 1 + energyRoom +
                               1 + DigitCount(static_cast<unsigned long long>(most)) + 2;
  const std::string_view header =
      calibrated ? "Channel,Energy (keV),Counts\r\n" : "Channel,Counts\r\n";
  // The lines are laid straight into the file; the room after the last line is the one that
  // PutFixedSix and EnergySteps ask for beyond the energy itself. The buffer keeps its memory
  // from the last file and is cleared only where it grows.
  const std::size_t room = header.size() + lineRoom * record.Counts.size() + 340;
  if (out.size() < room) out.resize(room);
  std::memcpy(out.data(), header.data(), header.size());
  char* at = out.data() + header.size();
  static const NumberTexts countAndEnd("", "\r\n");
  // The channel's digits grow by one at each power of ten.
  auto channel = static_cast<unsigned long long>(first);
  EnergySteps energies(record.CalOffset, record.CalGain, first, last);
  std::size_t channelDigits = DigitCount(channel);
  unsigned long long nextDigit = 10;  // 10^19 at most: a channel holds 19 digits or fewer
  for (std::size_t d = 1; d < channelDigits; ++d) nextDigit *= 10;
  // Channels below 10^8 count up in a word of their digits.
  const bool countUp = last < 100000000;
  std::uint64_t channelWord = decimal_words::DigitsOf(channel);
  for (std::size_t i = 0; i < record.Counts.size(); ++i, ++channel) {
    if (channel == nextDigit) {
      ++channelDigits;
      nextDigit *= 10;
    }
    if (countUp) {
      decimal_words::Store(at, decimal_words::TextOf(channelWord) >> (8 * (8 - channelDigits)));
      at += channelDigits;
      bool carry = false;
      channelWord = decimal_words::AddDigits(channelWord, 1, carry);
    } else {
      at += channelDigits;
      PutDigitsBefore(at, channel);
    }
    *at++ = ',';
    if (calibrated) {
      at = energies.PutNext(at);
      *at++ = ',';
    }
    at = countAndEnd.Put(at, static_cast<unsigned long long>(record.Counts[i]));
  }
  out.resize(static_cast<std::size_t>(at - out.data()));
  return kDone;
}

}  // namespace durnix
