// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/commands.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <ostream>

#include "cli/record_text.h"
#include "convert/batch.h"
#include "convert/preferences.h"
#include "formats/catalogue.h"
#include "formats/detection.h"
#include "formats/file_io.h"
#include "formats/text_rules.h"

namespace durnix::cli {

namespace {

constexpr int kExitDone = 0;
constexpr int kExitFailed = 1;
constexpr int kExitUsage = 2;

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
Status readSpectrum(const FormatInfo& from, const std::string& file, SpectrumRecord& record,
                    std::string& formatName) {
  record.FileName = file;
  if (from.code == FMT_AUTO) return DetectAndRead(record, formatName);
  const Status status = ReadFormat(from, record);
  formatName = status == kDone ? std::string(from.displayName) : std::string();
  return status;
}

// The program's words for a reading failure.
std::string readMessage(Status status, const std::string& file, const FormatInfo& from) {
  switch (status) {
    case kNotThisFormat:
      return file + " has not " + std::string(from.displayName) + " format !!";
    case kPixeOrNra:
      return file + " is for PIXE or NRA file !!";
    case kUnknownFormat:
      return file + " is unknown format !!";
    case kOutOfMemory:
      return "Memory or system resource is insufficient !!";
    case kCannotOpen:
      return file + " not found or disk not ready !";
    default:
      return file + ": error " + std::to_string(status);
  }
}

bool isFolder(const std::string& path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

// Finds a format named on the command line, or says why not.
const FormatInfo* formatOption(const std::string& text, bool destination, std::ostream& err) {
  const FormatInfo* format = FindFormat(text);
  if (format == nullptr) {
    err << text << " is unknown format !!\n";
    return nullptr;
  }
  if (destination && format->code == FMT_AUTO) {
    err << "AUTO detection reads files of any format; choose a format to write.\n";
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
  const FormatInfo* from = formatOption(options.from, false, err);
  if (from == nullptr) return kExitUsage;
  int exit = kExitDone;
  for (const std::string& file : options.files) {
    SpectrumRecord record;
    std::string formatName;
    const Status status = readSpectrum(*from, file, record, formatName);
    if (status != kDone) {
      err << readMessage(status, file, *from) << '\n';
      exit = kExitFailed;
    }
    if (options.json) {
      out << RecordJson(file, status, formatName, record).dump() << '\n';
    } else {
      out << RecordText(file, status, formatName, record) << '\n';
    }
  }
  return exit;
}

namespace {

// Answers every question of a run as the command line says, and prints each message and
// question in the program's words, a question followed by the answer taken.
class CliPrompter : public Prompter {
 public:
  CliPrompter(const ConvertOptions& options, std::ostream& err, Progress& progress)
      : options_(options), err_(err), progress_(progress) {}

  int Ask(const std::string& prompt, StandardButtons buttons) override {
    // The summary comes last, after the tally: the command prints both at the end.
    if (prompt == kCompleted || prompt == kStopped) return kAnswerOk;
    int answer = kAnswerOk;
    switch (buttons) {
      case StandardButtons::kOk:
      case StandardButtons::kOkCancel:
        answer = kAnswerOk;
        break;
      case StandardButtons::kYesNo:
        answer = options_.yes ? kAnswerYes : kAnswerNo;
        break;
      case StandardButtons::kYesNoCancel:
        if (prompt.ends_with(" is already exist. Overwrite it ?")) {
          answer = options_.existing == ExistingOutput::kOverwrite ? kAnswerYes : kAnswerNo;
        } else {
          answer = options_.yes ? kAnswerYes : kAnswerNo;
        }
        break;
      case StandardButtons::kAbortRetryIgnore:
        // A missing file is passed over; a disk that cannot be written stops the run.
        answer = prompt.ends_with(" not found or disk not ready !") ? kAnswerIgnore : kAnswerAbort;
        break;
      case StandardButtons::kRetryCancel:
        answer = kAnswerCancel;
        break;
    }
    say(prompt, buttons == StandardButtons::kOk ? nullptr : &answer);
    return answer;
  }

  int AskExtended(const std::string& prompt, int) override {
    // Stamp data are never confirmed without a window.
    const int answer = kAnswerYesAll;
    say(prompt, &answer);
    return answer;
  }

 private:
  void say(const std::string& prompt, const int* answer) {
    progress_.clear();
    err_ << prompt;
    if (answer != nullptr) err_ << " " << CaptionOfAnswer(*answer);
    err_ << '\n';
  }

  const ConvertOptions& options_;
  std::ostream& err_;
  Progress& progress_;
};

class CliHost : public ConversionHost {
 public:
  CliHost(std::ostream& out, Progress& progress) : out_(out), progress_(progress) {}

  void SetSourceStatus(const std::string& text) override {
    if (!text.empty()) progress_.step(done_, text);
  }
  void SetDestinationStatus(const std::string& text) override {
    tally_ = text;
    ++done_;
  }
  void SetBusy(bool) override {}
  void RefillDestinationList() override {}
  void RefreshBothLists() override {}
  void LetEventsRun() override {}
  void ShowStampData() override {}
  void CloseStampEditor() override {}
  void EditStampDataModal() override {}
  void FileConverted(const std::string& source, const std::string& format,
                     const std::string& written) override {
    progress_.clear();
    out_ << source << " (" << format << ") -> " << written << '\n';
  }

  const std::string& tally() const { return tally_; }

 private:
  std::ostream& out_;
  Progress& progress_;
  std::size_t done_ = 0;
  std::string tally_;
};

std::string folderWithSlash(const std::string& folder) {
  if (folder.empty()) return "./";
  return folder.back() == '/' ? folder : folder + "/";
}

// Preferences from a configuration file for a run without a window: its folders mean nothing
// here, so they are not checked.
bool loadHeadless(const std::string& path, Preferences& prefs, std::ostream& err) {
  Bytes bytes;
  if (ReadFileBytes(path, bytes) != kDone) {
    err << kConfigNotFound << '\n';
    return false;
  }
  const std::optional<Preferences> loaded = DecodeConfig(bytes);
  if (!loaded) {
    err << kConfigNotValid << '\n';
    return false;
  }
  prefs = *loaded;
  return true;
}

}  // namespace

int ConvertCommand(const ConvertOptions& options, std::ostream& out, std::ostream& err) {
  const FormatInfo* from = formatOption(options.from, false, err);
  const FormatInfo* to = formatOption(options.to, true, err);
  if (from == nullptr || to == nullptr) return kExitUsage;
  if (!isFolder(options.outDir)) {
    err << options.outDir << " is not a folder.\n";
    return kExitUsage;
  }
  Preferences prefs;
  if (!options.config.empty() && !loadHeadless(options.config, prefs, err)) return kExitUsage;

  ConversionRequest request;
  request.sourceFormat = from->displayName;
  request.destinationFormat = to->displayName;
  request.destinationFolder = folderWithSlash(options.outDir);
  request.stampMode = options.stamp || prefs.StampMode;
  request.stampConfirm = false;
  for (const std::string& file : options.files) {
    const auto slash = file.rfind('/');
    SelectedEntry entry;
    entry.name = slash == std::string::npos ? file : file.substr(slash + 1);
    entry.folder = slash == std::string::npos ? "./" : file.substr(0, slash + 1);
    entry.attributes = isFolder(file) ? 16 : 32;
    request.selection.push_back(std::move(entry));
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

  Progress progress(options.files.size());
  CliPrompter prompter(options, err, progress);
  CliHost host(out, progress);
  const ConversionResult result = RunConversion(request, prefs.Stamp, arming, prompter, host);
  progress.finish();
  if (!host.tally().empty()) err << host.tally() << '\n';
  if (!result.summary.empty()) err << result.summary << '\n';
  const bool everything =
      result.summary == kCompleted && result.converted == static_cast<int>(options.files.size());
  return everything ? kExitDone : kExitFailed;
}

namespace {

struct ConfigKey {
  const char* name;
  std::function<std::string(const Preferences&)> get;
  std::function<bool(Preferences&, const std::string&)> set;
};

bool parseFlag(const std::string& text, bool& flag) {
  const std::string t = UpperAscii(Trim(text));
  if (t == "ON" || t == "TRUE" || t == "YES" || t == "1" || t == "-1") {
    flag = true;
  } else if (t == "OFF" || t == "FALSE" || t == "NO" || t == "0") {
    flag = false;
  } else {
    return false;
  }
  return true;
}

bool parseInt32(const std::string& text, std::int32_t& value) {
  double parsed = 0;
  return StrictNumber(text, parsed) && RoundToInt32(parsed, value);
}

std::string formatName(const std::string& text, bool destination, bool& ok) {
  const FormatInfo* format = FindFormat(text);
  ok = format != nullptr && !(destination && format->code == FMT_AUTO);
  return ok ? std::string(format->displayName) : std::string();
}

// Accessors of the settings by their names.
using P = Preferences;

ConfigKey textKey(const char* name, std::string P::*member) {
  return {name, [member](const P& p) { return p.*member; },
          [member](P& p, const std::string& v) {
            p.*member = v;
            return true;
          }};
}

template <class Object>
ConfigKey singleKey(const char* name, Object P::*object, float Object::*member) {
  return {name, [=](const P& p) { return SingleText(p.*object.*member); },
          [=](P& p, const std::string& v) { return StrictSingle(v, p.*object.*member); }};
}

ConfigKey singleKey(const char* name, float P::*member) {
  return {name, [=](const P& p) { return SingleText(p.*member); },
          [=](P& p, const std::string& v) { return StrictSingle(v, p.*member); }};
}

ConfigKey stampInt16Key(const char* name, std::int16_t StampData::*member) {
  return {name, [=](const P& p) { return std::to_string(p.Stamp.*member); },
          [=](P& p, const std::string& v) { return StrictInt16(v, p.Stamp.*member); }};
}

ConfigKey int32Key(const char* name, std::int32_t P::*member) {
  return {name, [=](const P& p) { return std::to_string(p.*member); },
          [=](P& p, const std::string& v) { return parseInt32(v, p.*member); }};
}

ConfigKey menuIndexKey(const char* name, std::int16_t P::*member) {
  return {name, [=](const P& p) { return std::to_string(p.*member); },
          [=](P& p, const std::string& v) {
            std::int16_t index = 0;
            if (!StrictInt16(v, index) || index < 1 || index > kLimitItems) return false;
            p.*member = index;
            return true;
          }};
}

ConfigKey flagKey(const char* name, bool P::*member) {
  return {name, [=](const P& p) { return std::string(p.*member ? "on" : "off"); },
          [=](P& p, const std::string& v) { return parseFlag(v, p.*member); }};
}

ConfigKey folderKey(const char* name, std::string P::*member) {
  return {name, [=](const P& p) { return p.*member; },
          [=](P& p, const std::string& v) {
            p.*member = folderWithSlash(v);
            return true;
          }};
}

ConfigKey formatKey(const char* name, std::string P::*member, bool destination) {
  return {name, [=](const P& p) { return p.*member; },
          [=](P& p, const std::string& v) {
            bool ok = false;
            const std::string display = formatName(v, destination, ok);
            if (ok) p.*member = display;
            return ok;
          }};
}

const std::vector<ConfigKey>& configKeys() {
  static const std::vector<ConfigKey> keys = {
      folderKey("SourceFolder", &P::SourceFolder),
      folderKey("DestinationFolder", &P::DestinationFolder),
      textKey("SourceMask", &P::SourceMask),
      textKey("DestinationMask", &P::DestinationMask),
      formatKey("SourceFormat", &P::SourceFormat, false),
      formatKey("DestinationFormat", &P::DestinationFormat, true),
      int32Key("WindowWidth", &P::WindowWidth),
      int32Key("WindowHeight", &P::WindowHeight),
      singleKey("AxisConvFactor", &P::AxisConvFactor),
      singleKey("AxisOffset", &P::AxisOffset),
      singleKey("AxisTofLength", &P::AxisTofLength),
      menuIndexKey("LowerLimitIndex", &P::LowerLimitIndex),
      menuIndexKey("RangeIndex", &P::RangeIndex),
      {"DotSize", [](const P& p) { return SingleText(p.DotSize); },
       [](P& p, const std::string& v) {
         float size = 0;
         if (!StrictSingle(v, size) || DotSizeItem(size) == 0) return false;
         p.DotSize = size;
         return true;
       }},
      {"DotColour",
       [](const P& p) {
         const int item = DotColourItem(p.DotColour);
         return item ? std::string(kDotColourNames[static_cast<std::size_t>(item - 1)])
                     : std::to_string(p.DotColour);
       },
       [](P& p, const std::string& v) {
         for (std::size_t i = 0; i < kDotColourNames.size(); ++i) {
           if (UpperAscii(Trim(v)) == UpperAscii(kDotColourNames[i])) {
             p.DotColour = kDotColourValues[i];
             return true;
           }
         }
         return parseInt32(v, p.DotColour);
       }},
      flagKey("StampMode", &P::StampMode),
      flagKey("StampConfirm", &P::StampConfirm),
      {"Version", [](const P& p) { return p.Stamp.Version; },
       [](P& p, const std::string& v) {
         p.Stamp.Version = Trim(v);
         return true;
       }},
      stampInt16Key("AtomicNo", &StampData::AtomicNo),
      singleKey("Mass", &P::Stamp, &StampData::Mass),
      singleKey("BeamMeV", &P::Stamp, &StampData::BeamMeV),
      stampInt16Key("ChargeState", &StampData::ChargeState),
      singleKey("ChargeUC", &P::Stamp, &StampData::ChargeUC),
      singleKey("CurrentNA", &P::Stamp, &StampData::CurrentNA),
      singleKey("CalGain", &P::Stamp, &StampData::CalGain),
      singleKey("CalOffset", &P::Stamp, &StampData::CalOffset),
      singleKey("StartCh", &P::Stamp, &StampData::StartCh),
      singleKey("Fwhm", &P::Stamp, &StampData::Fwhm),
      singleKey("Correction", &P::Stamp, &StampData::Correction),
      {"Geometry", [](const P& p) { return std::string(GeometryText(p.Stamp.Geometry)); },
       [](P& p, const std::string& v) {
         constexpr std::int16_t kNoText = 99;
         const std::int16_t geometry = GeometryOfText(Trim(v), kNoText);
         if (geometry != kNoText) {
           p.Stamp.Geometry = geometry;
           return true;
         }
         return StrictInt16(v, p.Stamp.Geometry);
       }},
      singleKey("Theta", &P::Stamp, &StampData::Theta),
      singleKey("Phi", &P::Stamp, &StampData::Phi),
      singleKey("Psi", &P::Stamp, &StampData::Psi),
      singleKey("Omega", &P::Stamp, &StampData::Omega),
  };
  return keys;
}

}  // namespace

int ConfigShowCommand(const std::string& file, bool json, std::ostream& out, std::ostream& err) {
  Preferences prefs;
  if (!loadHeadless(file, prefs, err)) return kExitFailed;
  nlohmann::ordered_json object;
  for (const ConfigKey& key : configKeys()) {
    const std::string value = key.get(prefs);
    if (json) {
      object[key.name] = Latin1ToUtf8(value);
    } else {
      out << key.name << ": " << Latin1ToUtf8(value) << '\n';
    }
  }
  if (json) out << object.dump() << '\n';
  return kExitDone;
}

int ConfigSetCommand(const std::string& file, const std::vector<std::string>& assignments,
                     std::ostream& err) {
  Preferences prefs;
  if (PathExists(file)) {
    if (!loadHeadless(file, prefs, err)) return kExitFailed;
  } else {
    // A new file starts from the defaults, with this folder for both panes.
    char here[4096];
    const std::string folder = ::getcwd(here, sizeof here) ? folderWithSlash(here) : "/";
    prefs.SourceFolder = prefs.DestinationFolder = folder;
  }
  for (const std::string& assignment : assignments) {
    const auto equals = assignment.find('=');
    const std::string name = assignment.substr(0, equals);
    const auto key = std::find_if(configKeys().begin(), configKeys().end(),
                                  [&](const ConfigKey& k) { return name == k.name; });
    if (equals == std::string::npos || key == configKeys().end()) {
      err << assignment
          << ": no such setting (KEY=VALUE, keys as `durnix-cli config show` lists them)\n";
      return kExitUsage;
    }
    if (!key->set(prefs, assignment.substr(equals + 1))) {
      err << "There are some invalid data: " << assignment << '\n';
      return kExitUsage;
    }
  }
  const Status status = SaveConfig(prefs, file);
  if (status != kDone) {
    err << (status == kCannotCreate ? "Disk is not ready or bad media."
                                    : "The configuration file cannot be written.")
        << '\n';
    return kExitFailed;
  }
  return kExitDone;
}

}  // namespace durnix::cli
