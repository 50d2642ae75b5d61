// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The Convert command: every selected file of the source folder read (by its chosen format or by
// detection), optionally stamped and transformed, and written in the destination format into the
// destination folder, with every question, message, tally and summary of a run.

#include <cstdint>
#include <deque>
#include <string>
#include <string_view>
#include <vector>

#include "convert/axis.h"
#include "convert/prompter.h"
#include "convert/stamp.h"
#include "formats/file_system.h"
#include "formats/spectrum_record.h"
#include "formats/status.h"

namespace durnix {

// An entry of the source selection: its name as listed in the source folder (from the command
// line, a path of its own), and its attribute number. The name is a view of text that the
// request or the caller keeps for the length of the run: a run of 20000 files keeps one list of
// their names.
struct SelectedEntry {
  std::string_view name;
  int attributes = 32;

  // The entry's file name, without a folder.
  std::string_view fileName() const {
    const auto slash = name.rfind('/');
    return slash == std::string_view::npos ? name : name.substr(slash + 1);
  }
  // The path of the entry in `sourceFolder`.
  std::string path(const std::string& sourceFolder) const {
    std::string path = sourceFolder;
    path.append(name);
    return path;
  }
};

// A folder entry, by its attribute number: 16 to 23, or 48 and more.
bool IsFolderEntry(int attributes);

// What became of one entry of the selection.
struct FileOutcome {
  std::string source;          // the path read
  std::string format;          // the source format as chosen or detected; empty when not read
  std::string destination;     // the path written, or that would have been
  long long bytesWritten = 0;  // the length of the file written
  Status status = kDone;       // 0 converted; 8 skipped by an answer; else the file's failure
  bool folder = false;         // a folder entry, passed over
  Question question = Question::kMessage;  // the last question about this file
  int answer = kAnswerNone;                // and its answer
};

// What the run asks of the window that runs it.
class ConversionHost {
 public:
  virtual ~ConversionHost() = default;
  // The source pane's status line ("Now NAME is being converted !!", or empty).
  virtual void SetSourceStatus(const std::string& text) = 0;
  // The destination pane's status line: the tally.
  virtual void SetDestinationStatus(const std::string& text) = 0;
  // Busy: the hourglass pointer and the window disabled; not busy: the normal pointer, enabled.
  virtual void SetBusy(bool busy) = 0;
  // The destination list is cleared and filled again after every file.
  virtual void RefillDestinationList() = 0;
  // Both lists are refreshed at the end of a run.
  virtual void RefreshBothLists() = 0;
  // Entry `index` (from 0) of `count` begins; `name` is its file name.
  virtual void EntryBegins(int index, int count, const std::string& name) {
    (void)index, (void)count, (void)name;
  }
  // Asked between two entries: true ends the run there, once the entry before is done with (a
  // file written whole or not at all).
  virtual bool StopRequested() { return false; }
  // Edit Stamp Data: the stamp data are shown in the header editor (not modal).
  virtual void ShowStampData() = 0;
  // The header editor on the stamp data is closed.
  virtual void CloseStampEditor() = 0;
  // The header editor on the stamp data, modal: returns when the user has closed it (OK stores
  // into the stamp data).
  virtual void EditStampDataModal() = 0;
  // An entry of the selection is done with, converted or not.
  virtual void FileDone(const FileOutcome& outcome) { (void)outcome; }
};

struct ConversionRequest {
  std::vector<SelectedEntry> selection;
  std::deque<std::string> names;  // the names that the selection views, when the caller keeps none
  std::string sourceFolder;       // ending in "/", or empty when the names are paths
  std::string destinationFolder;  // ending in "/"
  std::string sourceFormat;       // display name, or "AUTO detection"
  std::string destinationFormat;  // display name
  bool stampMode = false;
  bool stampConfirm = true;
  std::size_t spectrum = 0;  // which spectrum (from 0) of a file that holds several is read

  // Adds an entry whose name the request keeps.
  void add(std::string name, int attributes) {
    names.push_back(std::move(name));
    selection.push_back({names.back(), attributes});
  }
};

// The axis conversion armed for one run (by "Go On" of the axis dialog).
struct AxisArming {
  bool timeToEnergy = false;
  bool energyToTime = false;
  AxisParameters axis;

  bool armed() const { return timeToEnergy || energyToTime; }
  void disarm() { timeToEnergy = energyToTime = false; }
};

struct ConversionResult {
  int converted = 0;
  int remained = 0;
  int failed = 0;
  Status status = kDone;  // the final status
  std::string summary;    // "Conversion is completed !!", "Conversion is stopped !!", or empty
  bool stopped = false;   // the host asked the run to stop before its last entry
  int lastAnswer = 0;     // LastAnswer at the end of the run
};

inline constexpr const char* kCompleted = "Conversion is completed !!";
inline constexpr const char* kStopped = "Conversion is stopped !!";
inline constexpr const char* kNoFilesSelected = "No files are selected !!";
inline constexpr const char* kStampQuestion = "Are stamp data OK ?";

// The tally of the destination status line: "    Converted : 3  Remained : 2    Failed :  1",
// followed by " (stopped)" when the host stopped the run.
std::string TallyText(int converted, int remained, int failed, bool stopped = false);

// The program's own words for a status of a run, about FILE (a path, shown in upper case).
std::string RunMessage(Status status, const std::string& file, const std::string& sourceFormat,
                       const std::string& destinationFormat);

// Runs one Convert command. The stamp data may change (a charge state of 0 becomes 1 when a
// SENRAS file is stamped, the editor may store new data). The armed axis conversion lasts for
// this run only: it is disarmed when the command ends, however it ends.
// Every file is read and written through `files`.
ConversionResult RunConversion(const ConversionRequest& request, FileSystem& files,
                               StampData& stamp, AxisArming& arming, Prompter& prompter,
                               ConversionHost& host);

}  // namespace durnix
