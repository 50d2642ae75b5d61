// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/commands.h"

#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <ostream>

#include "cli/record_text.h"
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

// The program's words for a writing failure.
std::string writeMessage(Status status, const std::string& file) {
  switch (status) {
    case kDoesNotFit:
      return "Some channel of " + file + " is overflowed !!";
    case kOutOfMemory:
      return "Memory or system resource is insufficient !!";
    case kCannotCreate:
      return "Disk is not ready or bad media.";
    default:
      return "Congratulation !! You've found out bug(s) of Durnix v1.52. Let the author know !!";
  }
}

std::string baseName(const std::string& path) {
  const auto slash = path.rfind('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string joinPath(const std::string& folder, const std::string& name) {
  if (folder.empty()) return name;
  return folder.back() == '/' ? folder + name : folder + "/" + name;
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

std::string tallyText(int converted, int remained, int failed) {
  return "    Converted :" + NumberText(converted) + "  Remained :" + NumberText(remained) +
         "    Failed : " + NumberText(failed);
}

}  // namespace

int FormatsCommand(std::ostream& out) {
  for (const FormatInfo& format : FormatCatalogue()) {
    out << static_cast<int>(format.code) << '\t' << format.displayName << '\t' << format.mask << '\t'
        << (format.extension.empty() ? std::string() : "." + std::string(format.extension))
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

int ConvertCommand(const ConvertOptions& options, std::ostream& out, std::ostream& err) {
  const FormatInfo* from = formatOption(options.from, false, err);
  const FormatInfo* to = formatOption(options.to, true, err);
  if (from == nullptr || to == nullptr) return kExitUsage;
  if (!isFolder(options.outDir)) {
    err << options.outDir << " is not a folder.\n";
    return kExitUsage;
  }

  const int total = static_cast<int>(options.files.size());
  int converted = 0;
  Progress progress(options.files.size());
  const auto say = [&](const std::string& message) {
    progress.clear();
    err << message << '\n';
  };
  for (int i = 0; i < total; ++i) {
    const std::string& file = options.files[static_cast<std::size_t>(i)];
    progress.step(static_cast<std::size_t>(i), file);
    SpectrumRecord record;
    std::string formatName;
    Status status = readSpectrum(*from, file, record, formatName);
    if (status != kDone) {
      say(readMessage(status, file, *from));
      continue;
    }
    const std::string destination = joinPath(options.outDir, baseName(file));
    const std::string target = WithWriterExtension(destination, to->extension, to->extensionRule);
    if (PathExists(target) && options.existing != ExistingOutput::kOverwrite) {
      const bool asked = options.existing == ExistingOutput::kAsk;
      say(target + " is already exist. Overwrite it ? No" +
          (asked ? " (give --overwrite to replace it or --skip-existing to keep it)" : ""));
      continue;
    }
    record.FileName = destination;
    status = WriteFormat(*to, record);
    if (status != kDone) {
      say(writeMessage(status, record.FileName));
      continue;
    }
    ++converted;
    progress.clear();
    out << file << " (" << formatName << ") -> " << record.FileName << '\n';
  }
  progress.finish();
  err << tallyText(converted, 0, total - converted) << '\n';
  err << (converted == total && converted > 0 ? "Conversion is completed !!"
                                              : "Conversion is stopped !!")
      << '\n';
  return converted == total ? kExitDone : kExitFailed;
}

}  // namespace durnix::cli
