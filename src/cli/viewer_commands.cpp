// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/viewer_commands.h"

#include <ostream>
#include <utility>

#include "cli/commands.h"
#include "cli/record_text.h"
#include "formats/catalogue.h"
#include "formats/text_rules.h"
#include "viewer/arithmetic.h"
#include "viewer/region.h"
#include "viewer/save.h"
#include "viewer/shrink.h"
#include "viewer/viewer_document.h"

namespace durnix::cli {

bool ReadViewed(const std::string& file, Viewed& viewed, std::ostream& err) {
  viewed.record.FileName = file;
  Bytes buffer;
  const FileResult status =
      ReadViewedSpectrum(LocalFiles(), nullptr, viewed.record, viewed.format, buffer);
  if (status != kDone) {
    err << ViewerReadMessage(status, file);
    if (status == kCannotOpen) err << " (" << SystemErrorText(status.error) << ")";
    err << '\n';
    return false;
  }
  viewed.document = ViewerDocument::OfRecord(viewed.record);
  return true;
}

namespace {

// Prints every question and message in the program's words, a question with the answer taken.
class ViewerPrompter : public Prompter {
 public:
  ViewerPrompter(bool yes, std::ostream& err) : yes_(yes), err_(err) {}

  int Ask(const std::string& prompt, StandardButtons buttons, const Asking& about) override {
    int answer = kAnswerOk;
    if (about.question == Question::kNot1024Channels) {
      answer = yes_ ? kAnswerYes : kAnswerNo;
    } else if (buttons == StandardButtons::kYesNo || buttons == StandardButtons::kYesNoCancel) {
      answer = kAnswerNo;  // a file not found is not tried again
    }
    err_ << prompt;
    if (!about.reason.empty()) err_ << " (" << about.reason << ")";
    if (buttons != StandardButtons::kOk) err_ << ' ' << CaptionOfAnswer(answer);
    err_ << '\n';
    return answer;
  }
  int AskExtended(const std::string& prompt, int, const Asking&) override {
    err_ << prompt << ' ' << CaptionOfAnswer(kAnswerCancel) << '\n';  // the viewer asks none
    return kAnswerCancel;
  }

 private:
  bool yes_;
  std::ostream& err_;
};

bool isFolder(const std::string& path) {
  FileEntry entry;
  return LocalFiles().Stat(path, entry) == kDone && entry.kind == EntryKind::kFolder;
}

// The format named by --to, or nothing (said on `err`) when it names none that can be written.
const FormatInfo* namedFormat(const std::string& text, std::ostream& err) {
  const FormatInfo* format = FindFormat(text);
  if (format == nullptr) {
    err << text << " is unknown format !!\n";
    return nullptr;
  }
  if (format->code == FMT_AUTO) {
    err << "AUTO detection reads files of any format; choose a format to write.\n";
    return nullptr;
  }
  if (!format->writable()) {
    err << format->displayName << " cannot be written by this version of Durnix.\n";
    return nullptr;
  }
  return format;
}

// The usage checks of the save options, before any work: 0 or kExitUsage.
int checkSaveOptions(const ViewerSaveOptions& options, std::ostream& err) {
  if (!options.to.empty() && namedFormat(options.to, err) == nullptr) return kExitUsage;
  if (!isFolder(options.outDir)) {
    err << options.outDir << " is not a folder.\n";
    return kExitUsage;
  }
  return kExitDone;
}

// The file a changed spectrum of `source` is saved as: the output folder, the source's name with
// the writer's extension.
std::string resultPath(const std::string& source, const FormatInfo& destination,
                       const ViewerSaveOptions& options) {
  std::string folder = options.outDir;
  if (folder.empty() || folder.back() != '/') folder += '/';
  return SavedPath(folder + std::string(OwnName(source)), destination);
}

// Saves the document's counts with the header of the file read, as the viewer's Save does after
// the change: the calibration as the viewer's fields show it, the identifier rule, the format
// checks.
int saveViewed(Viewed& viewed, const ViewerSaveOptions& options, std::ostream& out,
               std::ostream& err) {
  const FormatInfo* destination = options.to.empty() ? viewed.format : namedFormat(options.to, err);
  if (destination == nullptr) return kExitUsage;
  const std::string source = viewed.record.FileName;
  SaveRequest request;
  // The fields a viewer opens with, left as they are.
  request.convText = viewed.document.ConvText();
  request.offsetText = viewed.document.OffsetText();
  request.header = std::move(viewed.record);
  request.header.clearSpectrum();
  request.counts = viewed.document.ViewCounts();
  request.source = viewed.format;
  request.destination = destination;
  // Named by the writer's rule at once, so that every message names the file written.
  request.path = resultPath(source, *destination, options);
  request.overwrite = options.overwrite;

  ViewerPrompter prompter(options.yes, err);
  const SaveResult result = SaveSpectrum(LocalFiles(), std::move(request), prompter);
  switch (result.kind) {
    case SaveResult::kWritten:
      out << result.path << '\n';
      return kExitDone;
    case SaveResult::kDeclined:
      err << "Nothing written (--yes answers Yes).\n";
      return kExitFailed;
    case SaveResult::kExists:
      err << result.path << " exists: nothing written (--overwrite replaces it).\n";
      return kExitFailed;
    case SaveResult::kRefused:
    case SaveResult::kFailed:
      err << result.message;
      if (!result.reason.empty()) err << " (" << result.reason << ")";
      err << '\n';
      return kExitFailed;
  }
  return kExitFailed;
}

}  // namespace

int RoiCommand(const RoiOptions& options, std::ostream& out, std::ostream& err) {
  int from = options.from;
  int to = options.to;
  // Both ends one channel is a usage error, said before the file is read.
  if (const std::string refusal = ViewerDocument::RegionEndsRefusal(from, to); !refusal.empty()) {
    err << refusal << '\n';
    return kExitUsage;
  }
  Viewed viewed;
  if (!ReadViewed(options.file, viewed, err)) return kExitFailed;
  RegionAreas areas;
  std::string refusal;
  if (!viewed.document.MarkRegion(from, to, areas, refusal, options.file)) {
    err << refusal << '\n';
    return kExitUsage;
  }
  if (options.json) {
    // Singles as the numbers whose shortest texts read back as the same singles.
    const auto single = [](float value) { return NumericPrefix(SingleText(value)); };
    nlohmann::ordered_json line;
    line["file"] = options.file;
    line["from"] = from;
    line["to"] = to;
    line["gross"] = areas.gross;
    line["net"] = single(areas.net);
    line["left"] = single(areas.left);
    line["right"] = single(areas.right);
    out << JsonLine(line) << '\n';
  } else {
    out << options.file << ": channels " << from << " to " << to << '\n'
        << "Gross: " << GrossText(areas) << '\n'
        << "Net: " << NetText(areas) << '\n';
  }
  return kExitDone;
}

int ArithmeticCommand(const ArithmeticOptions& options, std::ostream& out, std::ostream& err) {
  if (const int usage = checkSaveOptions(options.save, err); usage != kExitDone) return usage;
  Viewed viewed;
  if (!ReadViewed(options.file, viewed, err)) return kExitFailed;
  ViewerPrompter prompter(options.save.yes, err);
  std::vector<std::int32_t> second;
  if (LoadSecondSpectrum(LocalFiles(), options.second, second, prompter) != kDone) {
    return kExitFailed;
  }
  if (second.empty()) {
    err << options.second << " holds no channel: nothing written.\n";
    return kExitFailed;
  }
  const float factor = MultiplicationFactor(options.factor);
  const Combination kind = options.subtract ? Combination::kSubtract : Combination::kAdd;
  const CombineResult result = viewed.document.Combine(kind, std::move(second), factor,
                                                       std::string(OwnName(options.second)));
  if (result == CombineResult::kOverflow) {
    // The sum is what does not fit: named as the file it would have been saved as.
    const FormatInfo* destination =
        options.save.to.empty() ? viewed.format : namedFormat(options.save.to, err);
    err << ChannelOverflowMessage(resultPath(options.file, *destination, options.save)) << '\n';
    return kExitFailed;
  }
  return saveViewed(viewed, options.save, out, err);
}

int ShrinkCommand(const ShrinkOptions& options, std::ostream& out, std::ostream& err) {
  if (const int usage = checkSaveOptions(options.save, err); usage != kExitDone) return usage;
  Resolution resolution;
  if (options.kind != ShrinkKind::kTwoChannel) {
    resolution.kind = options.kind == ShrinkKind::kConstant ? Resolution::kConstant
                      : options.kind == ShrinkKind::kLinear ? Resolution::kLinear
                                                            : Resolution::kQuadratic;
    float* fields[] = {&resolution.a, &resolution.b, &resolution.c};
    for (std::size_t i = 0; i < options.values.size() && i < 3; ++i) {
      if (!ParseResolutionValue(options.values[i], *fields[i])) {
        err << kInvalidDataText << '\n';
        return kExitFailed;
      }
    }
  }
  Viewed viewed;
  if (!ReadViewed(options.file, viewed, err)) return kExitFailed;
  const ShrinkResult result =
      viewed.document.Shrink(options.kind == ShrinkKind::kTwoChannel ? nullptr : &resolution);
  switch (result) {
    case ShrinkResult::kShrunk:
      break;
    case ShrinkResult::kUnchanged:
      err << "A resolution of 0 leaves the spectrum as it is: nothing written.\n";
      return kExitFailed;
    case ShrinkResult::kInvalid:
      err << kInvalidDataText << '\n';
      return kExitFailed;
    case ShrinkResult::kTooLarge:
      err << ChannelOverflowMessage(options.file) << '\n';
      return kExitFailed;
    case ShrinkResult::kInterrupted:  // nothing stops the tool's shrink
      return kExitFailed;
  }
  return saveViewed(viewed, options.save, out, err);
}

}  // namespace durnix::cli
