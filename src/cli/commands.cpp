// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/commands.h"

#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <iomanip>
#include <ostream>

#include "cli/record_text.h"
#include "convert/batch.h"
#include "convert/preferences.h"
#include "formats/catalogue.h"
#include "formats/detection.h"
#include "formats/text_rules.h"

namespace durnix::cli {

namespace {

// A progress line on a terminal, redrawn at most ten times a second, for runs of many files.
class Progress {
 public:
  explicit Progress(std::size_t total)
      : total_(total), shown_(total >= 20 && ::isatty(STDERR_FILENO) != 0) {}
  ~Progress() { finish(); }

  void step(std::size_t done, const std::string& name) {
    if (!shown_) return;
    const auto now = std::chrono::steady_clock::now();
    if (now - last_ < std::chrono::milliseconds(100)) return;
    last_ = now;
    std::string shortName = name.size() > 50 ? "..." + name.substr(name.size() - 47) : name;
    std::fprintf(stderr, "\r\033[K[%zu/%zu] %s", done, total_, shortName.c_str());
    std::fflush(stderr);
    drawn_ = true;
  }
  // Clears the line before a message or at the end.
  void clear() {
    if (drawn_) std::fputs("\r\033[K", stderr);
    drawn_ = false;
  }
  void finish() { clear(); }

 private:
  std::size_t total_;
  bool shown_;
  bool drawn_ = false;
  std::chrono::steady_clock::time_point last_{};
};

// Reads `file` with the chosen format, or by detection for AUTO.
FileResult readSpectrum(const FormatInfo& from, const std::string& file, SpectrumRecord& record,
                        std::string& formatName, Bytes& bytes, std::size_t spectrum) {
  record.FileName = file;
  if (from.code == FMT_AUTO) {
    return DetectAndRead(LocalFiles(), record, formatName, bytes, spectrum);
  }
  const FileResult status = ReadFormat(LocalFiles(), from, record, bytes, spectrum);
  formatName = status == kDone ? std::string(from.displayName) : std::string();
  return status;
}

// The program's words for a reading failure; the system's reason follows in parentheses.
std::string readMessage(FileResult status, const std::string& file, const FormatInfo& from) {
  switch (status.status) {
    case kNotThisFormat:
      return file + " has not " + std::string(from.displayName) + " format !!";
    case kPixeOrNra:
      return file + " is for PIXE or NRA file !!";
    case kUnknownFormat:
      return file + " is unknown format !!";
    case kOutOfMemory:
      return "Memory or system resource is insufficient !!";
    case kCannotOpen:
      return file + " not found or disk not ready ! (" + SystemErrorText(status.error) + ")";
    default:
      return file + ": error " + std::to_string(status.status);
  }
}

bool isFolder(const std::string& path) {
  FileEntry entry;
  return LocalFiles().Stat(path, entry) == kDone && entry.kind == EntryKind::kFolder;
}

// The format named on the command line, or nothing (said on `err`) when it names none or
// cannot be read (written, for a `destination`).
// How many spectra a file of a format of several holds; 0 for other files.
std::size_t SpectraHeld(ByteView bytes) {
  for (const FormatInfo& format : FormatCatalogue()) {
    if (format.spectra != nullptr && format.signature != nullptr && format.signature(bytes)) {
      return format.spectra(bytes).size();
    }
  }
  return 0;
}

const FormatInfo* FormatOption(const std::string& text, bool destination, std::ostream& err) {
  const FormatInfo* format = FindFormat(text);
  if (format == nullptr) {
    err << text << " is unknown format !!\n";
    return nullptr;
  }
  if (destination && format->code == FMT_AUTO) {
    err << "AUTO detection reads files of any format; choose a format to write.\n";
    return nullptr;
  }
  if (destination && format->readable() && !format->writable()) {
    err << format->displayName << " is read only; choose a format to write.\n";
    return nullptr;
  }
  if (format->code != FMT_AUTO && !(destination ? format->writable() : format->readable())) {
    err << format->displayName << " cannot be " << (destination ? "written" : "read")
        << " by this version of Durnix.\n";
    return nullptr;
  }
  return format;
}

}  // namespace

int FormatsCommand(std::ostream& out) {
  for (const FormatInfo& format : FormatCatalogue()) {
    out << static_cast<int>(format.code) << '\t' << format.displayName << '\t' << format.mask
        << '\t' << (format.extension.empty() ? std::string() : "." + std::string(format.extension))
        << '\n';
  }
  return kExitDone;
}

int InfoCommand(const InfoOptions& options, std::ostream& out, std::ostream& err) {
  const FormatInfo* from = FormatOption(options.from, false, err);
  if (from == nullptr) return kExitUsage;
  int exit = kExitDone;
  for (const std::string& file : options.files) {
    SpectrumRecord record;
    std::string formatName;
    Bytes bytes;
    const std::size_t spectrum = options.spectrum - 1;
    const FileResult status = readSpectrum(*from, file, record, formatName, bytes, spectrum);
    if (status != kDone) {
      const std::size_t held = SpectraHeld(bytes);
      if (held > 0 && spectrum >= held) {
        err << file << " holds " << held << " spectra; --spectrum " << options.spectrum
            << " names none.\n";
      } else {
        err << readMessage(status, file, *from) << '\n';
      }
      exit = kExitFailed;
    }
    // Of a file of another program: the spectra of a file of several, and what the record
    // cannot hold, named rather than lost silently.
    const FormatInfo* read = status == kDone ? FindFormatByDisplayName(formatName) : nullptr;
    std::vector<std::string> spectra;
    if (read != nullptr && read->spectra != nullptr) spectra = read->spectra(bytes);
    if (options.json) {
      nlohmann::ordered_json json = RecordJson(file, status, formatName, record);
      if (read != nullptr && read->dropped != nullptr)
        json["dropped"] = read->dropped(bytes, spectrum);
      if (spectra.size() > 1) json["spectra"] = spectra;
      out << JsonLine(json) << '\n';
    } else {
      out << RecordText(file, status, formatName, record);
      if (spectra.size() > 1) {
        out << "spectra: " << spectra.size() << " (this is spectrum " << options.spectrum
            << "; --spectrum N reads another)\n";
        for (std::size_t i = 0; i < spectra.size(); ++i) {
          out << std::setw(6) << i + 1 << ": " << spectra[i] << '\n';
        }
      }
      out << '\n';
    }
  }
  return exit;
}

namespace {

// Answers every question of a run as the command line says, by the kind of the question, and
// prints each message and question in the program's words, a question followed by the answer
// taken and a failure of the system by its reason in parentheses.
class CliPrompter : public Prompter {
 public:
  CliPrompter(const ConvertOptions& options, std::ostream& err, Progress& progress)
      : options_(options), err_(err), progress_(progress) {}

  int Ask(const std::string& prompt, StandardButtons buttons, const Asking& about) override {
    int answer = kAnswerOk;
    switch (about.question) {
      case Question::kSummary:
        // The summary comes last, after the tally: the command prints both at the end.
        return kAnswerOk;
      case Question::kOverwrite:
        answer = options_.existing == ExistingOutput::kOverwrite ? kAnswerYes : kAnswerNo;
        break;
      case Question::kOverwriteSameRun:
        // Never over a file that another file of the same run became.
        answer = kAnswerNo;
        break;
      case Question::kNot1024Channels:
        answer = options_.yes ? kAnswerYes : kAnswerNo;
        break;
      case Question::kRetryRead:
        answer = kAnswerIgnore;  // a missing file is passed over
        break;
      case Question::kRetryWrite:
        answer = kAnswerAbort;  // a disk that cannot be written stops the run
        break;
      default:
        answer = buttons == StandardButtons::kYesNo || buttons == StandardButtons::kYesNoCancel
                     ? kAnswerNo
                 : buttons == StandardButtons::kRetryCancel ? kAnswerCancel
                                                            : kAnswerOk;
        break;
    }
    progress_.clear();
    err_ << prompt;
    if (!about.reason.empty()) err_ << " (" << about.reason << ")";
    if (buttons != StandardButtons::kOk) err_ << " " << CaptionOfAnswer(answer);
    err_ << '\n';
    return answer;
  }

  int AskExtended(const std::string& prompt, int, const Asking&) override {
    // Stamp data are never confirmed without a window.
    progress_.clear();
    err_ << prompt << " " << CaptionOfAnswer(kAnswerYesAll) << '\n';
    return kAnswerYesAll;
  }

 private:
  const ConvertOptions& options_;
  std::ostream& err_;
  Progress& progress_;
};

// The JSON line of one file of a run.
std::string FileJson(std::string_view source, std::string_view format, std::string_view destination,
                     int status, std::string_view answer, std::string_view result) {
  nlohmann::ordered_json line;
  line["source"] = source;
  line["format"] = format;
  line["destination"] = destination;
  line["status"] = status;
  line["answer"] = answer;
  line["result"] = result;
  return JsonLine(line);
}

// The JSON line that ends a run.
std::string SummaryJson(std::size_t converted, std::size_t kept, std::size_t failed,
                        std::size_t remained, const std::string& text) {
  nlohmann::ordered_json summary;
  summary["converted"] = converted;
  summary["kept"] = kept;
  summary["failed"] = failed;
  summary["remained"] = remained;
  summary["summary"] = text;
  return JsonLine(summary);
}

class CliHost : public ConversionHost {
 public:
  CliHost(const ConvertOptions& options, std::ostream& out, std::ostream& err, Progress& progress)
      : options_(options), out_(out), err_(err), progress_(progress) {}

  void SetSourceStatus(const std::string& text) override {
    if (!text.empty()) progress_.step(done_, text);
  }
  void SetDestinationStatus(const std::string& text) override { tally_ = text; }
  void SetBusy(bool) override {}
  void RefillDestinationList() override {}
  void RefreshBothLists() override {}
  void ShowStampData() override {}
  void CloseStampEditor() override {}
  void EditStampDataModal() override {}

  void FileDone(const FileOutcome& o) override {
    ++done_;
    const bool kept = o.status == kSkipped && o.question == Question::kOverwrite &&
                      options_.existing == ExistingOutput::kSkip;
    const bool converted = o.status == kDone;
    if (converted || kept) ++good_;
    if (kept) ++kept_;
    progress_.clear();
    if (o.status == kSkipped && o.question == Question::kOverwriteSameRun) {
      err_ << o.destination << " was written from another file of this run: " << o.source
           << " is not converted\n";
    } else if (kept) {
      err_ << o.destination << " kept\n";
    }
    if (options_.json) {
      out_ << FileJson(o.source, o.format, o.destination, o.status, CaptionOfAnswer(o.answer),
                       converted ? "converted"
                       : kept    ? "kept"
                                 : "failed")
           << '\n';
    } else if (converted) {
      out_ << o.source << " (" << o.format << ") -> " << o.destination << '\n';
    }
  }

  const std::string& tally() const { return tally_; }
  // Files converted or, by --skip-existing, kept.
  std::size_t good() const { return good_; }
  std::size_t kept() const { return kept_; }
  std::size_t done() const { return done_; }

 private:
  const ConvertOptions& options_;
  std::ostream& out_;
  std::ostream& err_;
  Progress& progress_;
  std::size_t done_ = 0;
  std::size_t good_ = 0;
  std::size_t kept_ = 0;
  std::string tally_;
};

std::string folderWithSlash(const std::string& folder) {
  if (folder.empty()) return "./";
  return folder.back() == '/' ? folder : folder + "/";
}

}  // namespace

int ConvertCommand(const ConvertOptions& options, std::ostream& out, std::ostream& err) {
  const FormatInfo* from = FormatOption(options.from, false, err);
  const FormatInfo* to = FormatOption(options.to, true, err);
  if (from == nullptr || to == nullptr) return kExitUsage;
  if (!isFolder(options.outDir)) {
    err << options.outDir << " is not a folder.\n";
    return kExitUsage;
  }
  Preferences prefs;
  if (!options.config.empty() && LoadHeadlessConfig(options.config, prefs, err) != kExitDone) {
    return kExitUsage;
  }

  ConversionRequest request;
  request.sourceFormat = from->displayName;
  request.destinationFormat = to->displayName;
  request.destinationFolder = folderWithSlash(options.outDir);
  request.stampMode = options.stamp || prefs.StampMode;
  request.stampConfirm = false;
  request.spectrum = options.spectrum - 1;
  // The selection views the names as the command line gives them: paths of their own.
  // A folder named as a file is not converted: it counts as failed, in the tally and in JSON.
  std::size_t foldersNamed = 0;
  request.selection.reserve(options.files.size());
  for (std::string_view file : options.files) {
    if (isFolder(std::string(file))) {
      err << file << " is a folder\n";
      ++foldersNamed;
      if (options.json) out << FileJson(file, "", "", kCannotOpen, "", "failed") << '\n';
      continue;
    }
    request.selection.push_back({file, kAttrArchive});
  }
  const std::size_t files = request.selection.size();
  if (files == 0) {
    err << TallyText(0, 0, static_cast<int>(foldersNamed)) << '\n';
    if (options.json) out << SummaryJson(0, 0, foldersNamed, 0, "") << '\n';
    return kExitFailed;
  }

  AxisArming arming;
  arming.timeToEnergy = options.axis == AxisDirection::kTimeToEnergy;
  arming.energyToTime = options.axis == AxisDirection::kEnergyToTime;
  AxisParameters& axis = arming.axis;
  axis.mass = ToSingle(options.mass.value_or(0));
  axis.efficiency = ToSingle(options.efficiency.value_or(0));
  axis.maximum = options.maximum.value_or(0);
  axis.tofLength = options.tofLength ? ToSingle(*options.tofLength) : prefs.AxisTofLength;
  axis.convFactor = options.convFactor ? ToSingle(*options.convFactor) : prefs.AxisConvFactor;
  axis.offset = options.offset ? ToSingle(*options.offset) : prefs.AxisOffset;
  axis.useConvFactor = options.useConvFactor;

  Progress progress(files);
  CliPrompter prompter(options, err, progress);
  CliHost host(options, out, err, progress);
  const ConversionResult result =
      RunConversion(request, LocalFiles(), prefs.Stamp, arming, prompter, host);
  progress.finish();
  const std::size_t failed =
      host.done() - static_cast<std::size_t>(result.converted) - host.kept() + foldersNamed;
  if (foldersNamed != 0 && host.done() != 0) {
    // The window's tally counts kept files among the failed ones: so does this one.
    err << TallyText(result.converted, static_cast<int>(files - host.done()),
                     static_cast<int>(failed + host.kept()))
        << '\n';
  } else if (!host.tally().empty()) {
    err << host.tally() << '\n';
  }
  if (!result.summary.empty()) err << result.summary << '\n';
  if (options.json) {
    out << SummaryJson(static_cast<std::size_t>(result.converted), host.kept(), failed,
                       files - host.done(), result.summary)
        << '\n';
  }
  // Every file converted, or kept as the user asked; a run that stopped early has files left.
  const bool everything = host.good() == files && foldersNamed == 0;
  return everything ? kExitDone : kExitFailed;
}

}  // namespace durnix::cli
