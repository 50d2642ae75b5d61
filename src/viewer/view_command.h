// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The View Spectrum command: every selected file read with the chosen format (or by detection)
// and handed on to a new numbered viewer window; and the texts those windows start with.

#include <string>
#include <vector>

#include "convert/prompter.h"
#include "formats/catalogue.h"
#include "formats/file_system.h"
#include "formats/spectrum_record.h"
#include "formats/status.h"

namespace durnix {

inline constexpr int kViewerSlots = 20;
inline constexpr const char* kNoFileSelected = "No file is selected !!";

// The numbers of the viewer windows: 1 to 20, then 1 again.
class ViewerNumbering {
 public:
  int next() { return ViewerNumber = ViewerNumber % kViewerSlots + 1; }
  int ViewerNumber = 0;
};

// " 3   View Spectrum : NAME" and " 3   View RUMP Data : NAME".
std::string ViewerCaption(int number, const std::string& fileName);
std::string RumpViewCaption(int number, const std::string& fileName);
// The viewer number a title begins with (the text before the first blank of the trimmed title);
// 0 when it is not a number.
int ViewerNumberOfTitle(const std::string& title);

// The calibration fields a viewer opens with: the gain "##.#####" unless it is 0 or 1, the
// offset "##.####" unless it is 0; otherwise empty.
std::string GainFieldText(float gain);
std::string OffsetFieldText(float offset);

// One spectrum read by the command, for one new viewer.
struct ViewedSpectrum {
  SpectrumRecord record;               // counts of the Oxford formats cut to their lowest 24 bits
  const FormatInfo* format = nullptr;  // the chosen format, or the detected one
  std::string fileName;                // the entry's name, without folder
  std::string folder;                  // the pane's folder, ending in "/"
  int position = 1;  // k: 1 for the first file of the selection, 2 for the next...
};

// Opens the viewer for a spectrum read (the window side of the command).
class ViewerOpener {
 public:
  virtual ~ViewerOpener() = default;
  virtual void OpenViewer(ViewedSpectrum& spectrum) = 0;
};

// Reads the files of a selection (folders skipped) in list order; `sourceFormat` is the display
// name of the chosen format ("AUTO detection": detection). A file that cannot be read is told
// through `prompter` (OK goes on, Cancel ends; Abort, Retry or Ignore when it cannot be opened).
// Returns false when the command ended early.
bool ViewSpectra(FileSystem& files, const std::string& folder,
                 const std::vector<std::string>& names, const std::vector<int>& attributes,
                 const std::string& sourceFormat, Prompter& prompter, ViewerOpener& opener);

// The command's message for a reader's status about `path` (its upper case shown), the chosen
// format's display name `format`.
std::string ViewReadMessage(Status status, const std::string& path, const std::string& format);

}  // namespace durnix
