// SPDX-License-Identifier: GPL-3.0-or-later
#include "viewer/save.h"

#include <new>

#include "convert/batch.h"
#include "durnix/version.h"
#include "formats/ans.h"
#include "formats/ascii.h"
#include "formats/canberra.h"
#include "formats/chn.h"
#include "formats/gv_spc.h"
#include "formats/kodaq.h"
#include "formats/spm.h"
#include "formats/text_rules.h"
#include "viewer/arithmetic.h"

namespace durnix {

namespace {

constexpr std::int32_t kKodaqMax = 65535;
constexpr std::int32_t kOxfordMax = 0xFFFFFF;
constexpr std::size_t kMaxChannels = 32767;

bool countsWithin(const std::vector<std::int32_t>& counts, std::int32_t low, std::int32_t high) {
  for (std::int32_t count : counts) {
    if (count < low || count > high) return false;
  }
  return true;
}

bool isCode(const FormatInfo* format, std::initializer_list<FormatCode> codes) {
  if (format == nullptr) return false;
  for (FormatCode code : codes) {
    if (format->code == code) return true;
  }
  return false;
}

SaveResult refused(SaveResult result, const std::string& path, bool staysEnabled) {
  result.kind = SaveResult::kRefused;
  result.status = kDoesNotFit;
  result.message = ChannelOverflowMessage(path);
  result.saveStaysEnabled = staysEnabled;
  return result;
}

}  // namespace

std::string SaveFilter() {
  std::string filter = "All Spectrum files|*.*|";
  for (const FormatInfo& format : FormatCatalogue()) {
    if (!format.writable()) continue;
    filter.append(format.displayName).append("|").append(format.mask).append("|");
  }
  return filter;
}

bool RereadSource(FileSystem& files, const std::string& sourcePath, const FormatInfo& sourceFormat,
                  SpectrumRecord& header) {
  try {
    SpectrumRecord record;
    record.FileName = sourcePath;
    if (ReadFormat(sourceFormat, record, files) != kDone) return false;
    // Only the header is wanted; the counts saved are the viewer's.
    record.clearSpectrum();
    record.Counts.shrink_to_fit();
    header = std::move(record);
    return true;
  } catch (const std::bad_alloc&) {
    return false;
  }
}

std::string SavedPath(const std::string& chosenPath, const FormatInfo& format) {
  return WithWriterExtension(Trim(chosenPath), format.extension, format.extensionRule);
}

SaveResult SaveSpectrum(FileSystem& files, SaveRequest request, Prompter& prompter) {
  SaveResult result;
  const std::string chosen(Trim(request.path));
  const FormatInfo* destination = request.destination;
  const std::string sourceName = request.source ? std::string(request.source->displayName) : "";
  if (destination == nullptr || !destination->writable()) {
    result.kind = SaveResult::kFailed;
    result.status = kDestUnknown;
    result.message = RunMessage(kDestUnknown, chosen, sourceName,
                                destination ? std::string(destination->displayName) : "");
    result.saveStaysEnabled = true;
    return result;
  }
  result.path = SavedPath(chosen, *destination);
  if (!request.overwrite && files.Exists(result.path)) {
    // Nothing written; the spectrum may still be saved under another name.
    result.kind = SaveResult::kExists;
    result.status = kSkipped;
    result.saveStaysEnabled = true;
    return result;
  }
  if (request.counts.size() > kMaxChannels) return refused(result, chosen, true);
  if (int low = 0, high = 0; ChannelRangeOf(*destination, low, high)) {
    const int channels = static_cast<int>(request.counts.size());
    if (channels < low || channels > high) {
      // Another format may hold them: the spectrum can still be saved.
      result.kind = SaveResult::kRefused;
      result.status = kDoesNotFit;
      result.message = ChannelRangeMessage(chosen, channels, *destination);
      result.saveStaysEnabled = true;
      return result;
    }
  }

  SpectrumRecord& record = request.header;
  record.CalGain = ToSingle(NumericPrefix(request.convText));
  record.CalOffset = ToSingle(NumericPrefix(request.offsetText));
  if (record.SpecId.empty()) {
    record.SpecId = std::string("Converted using Durnix v") + kProgramVersion;
  }
  record.ChannelCount = static_cast<std::int16_t>(request.counts.size());
  record.Counts = std::move(request.counts);

  switch (destination->code) {
    case FMT_NCL:
    case FMT_SNF:
      if (record.ChannelCount != 1024) {
        const int answer = prompter.Ask(chosen + " has not 1024 channel. Continue ?",
                                        StandardButtons::kYesNo, {Question::kNot1024Channels, {}});
        if (answer != kAnswerYes) {
          result.kind = SaveResult::kDeclined;
          result.status = kSkipped;
          return result;
        }
      }
      break;
    case FMT_KODAQ:
      if (!countsWithin(record.Counts, 0, kKodaqMax)) return refused(result, chosen, true);
      break;
    case FMT_SPT:
    case FMT_SPM:
      if (isCode(request.source, {FMT_AS1, FMT_AS2, FMT_CANBERRA}) &&
          !countsWithin(record.Counts, 0, kOxfordMax)) {
        return refused(result, chosen, false);
      }
      break;
    default:
      break;
  }

  Status status = kDone;
  int error = 0;
  try {
    record.FileName = result.path;
    Bytes bytes;
    status = destination->encode(record, bytes);
    if (status == kDone) {
      // A new file never goes over one that appeared since the look above.
      const FileResult written = request.overwrite ? files.WriteFile(result.path, bytes)
                                                   : files.CreateFile(result.path, bytes);
      status = written;
      error = written.error;
      if (status != kDone && !request.overwrite && files.Exists(result.path)) {
        result.kind = SaveResult::kExists;
        result.status = kSkipped;
        result.saveStaysEnabled = true;
        return result;
      }
    }
  } catch (const std::bad_alloc&) {
    status = kOutOfMemory;
  }
  result.status = status;
  if (status == kDone) {
    result.kind = SaveResult::kWritten;
    return result;
  }
  result.kind = SaveResult::kFailed;
  if (status == kCannotCreate) result.reason = SystemErrorText(error);
  result.message = RunMessage(status, chosen, sourceName, std::string(destination->displayName));
  result.saveStaysEnabled = true;
  return result;
}

}  // namespace durnix
