// SPDX-License-Identifier: GPL-3.0-or-later
#include "viewer/arithmetic.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <new>

#include "convert/read_messages.h"
#include "formats/catalogue.h"
#include "formats/text_rules.h"
#include "viewer/viewer_document.h"

namespace durnix {

namespace {

constexpr std::int32_t kLow24Bits = 0xFFFFFF;

// Every entry of `counts` replaced by `result(i)`, or nothing changed when one of them does not
// fit a count. `result` gives false for such a value.
template <class Result>
bool ReplaceAll(std::vector<std::int32_t>& counts, std::size_t n, Result&& result) {
  std::int32_t value = 0;
  for (std::size_t i = 0; i < n; ++i) {
    if (!result(i, value)) return false;
  }
  for (std::size_t i = 0; i < n; ++i) {
    result(i, value);
    counts[i] = value;
  }
  return true;
}

}  // namespace

float MultiplicationFactor(std::string_view text) {
  const float factor = ToSingle(NumericPrefix(text));
  // NaN is not above 0 either.
  return factor > 0 ? factor : 1.0f;
}

std::string FactorText(float factor) {
  return SingleText(factor);
}

std::string ChannelOverflowMessage(const std::string& path) {
  return "Some channel of " + UpperAscii(path) + " is overflowed !!";
}

bool AddSpectrum(std::vector<std::int32_t>& view, const std::vector<std::int32_t>& second,
                 double factor) {
  const std::size_t n = std::min(view.size(), second.size());
  return ReplaceAll(view, n, [&](std::size_t i, std::int32_t& out) {
    return RoundToInt32(factor * second[i] + view[i], out);
  });
}

bool SubtractSpectrum(std::vector<std::int32_t>& view, const std::vector<std::int32_t>& second,
                      double factor) {
  const std::size_t n = std::min(view.size(), second.size());
  return ReplaceAll(view, n, [&](std::size_t i, std::int32_t& out) {
    const double value = view[i] - factor * second[i];
    // A negative result is cut to 0, however far below it lies.
    if (value < 0) {
      out = 0;
      return true;
    }
    return RoundToInt32(value, out);
  });
}

bool ScaleCompared(std::vector<std::int32_t>& second, double factor) {
  return ReplaceAll(second, second.size(), [&](std::size_t i, std::int32_t& out) {
    return RoundToInt32(factor * second[i], out);
  });
}

std::string ViewerReadMessage(Status status, const std::string& path) {
  return StatusMessage(MessageContext::kViewerRead, status, path);
}

void KeepLow24Bits(std::vector<std::int32_t>& counts) {
  for (std::int32_t& count : counts) count &= kLow24Bits;
}

Status LoadSecondSpectrum(FileSystem& files, const std::string& path,
                          std::vector<std::int32_t>& counts, Prompter& prompter) {
  counts.clear();
  for (;;) {
    FileResult status;
    try {
      SpectrumRecord record;
      record.FileName = path;
      const FormatInfo* format = nullptr;
      Bytes buffer;
      status = ReadViewedSpectrum(files, nullptr, record, format, buffer);
      if (status == kDone) {
        counts = std::move(record.Counts);
        return kDone;
      }
    } catch (const std::bad_alloc&) {
      status = {kOutOfMemory, ENOMEM};
    }
    counts.clear();
    if (status != kCannotOpen) {
      prompter.Ask(ViewerReadMessage(status, path), StandardButtons::kOk, {});
      return status;
    }
    const int answer =
        prompter.Ask(ViewerReadMessage(status, path) + " Retry ?", StandardButtons::kYesNo,
                     {Question::kRetryRead, SystemErrorText(status.error)});
    if (answer != kAnswerYes) return status;
  }
}

}  // namespace durnix
