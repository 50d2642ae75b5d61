// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Saving a viewer's spectrum: the header of its source file, read again, with the calibration
// of the viewer's fields, written in any format under the name that format's writer gives it.

#include <cstdint>
#include <string>
#include <vector>

#include "convert/prompter.h"
#include "formats/catalogue.h"
#include "formats/file_system.h"
#include "formats/spectrum_record.h"
#include "formats/status.h"

namespace durnix {

inline constexpr const char* kRereadFailed =
    "Error(s) encounter during accessing to the original file";

// The save dialog's filter as the platform writes it: "All Spectrum files|*.*|RUMP (RBS)|*.RBS|
// ..." for the formats 1 to 13 in catalogue order.
std::string SaveFilter();

// Step 1: the source file read again with the reader of its format; its header goes to
// `header`. False when it cannot be read (the window says kRereadFailed).
bool RereadSource(FileSystem& files, const std::string& sourcePath, const FormatInfo& sourceFormat,
                  SpectrumRecord& header);

// The name the writer of `format` writes for a chosen path (its own extension rule).
std::string SavedPath(const std::string& chosenPath, const FormatInfo& format);

struct SaveRequest {
  SpectrumRecord header;             // from RereadSource
  std::vector<std::int32_t> counts;  // the viewer's counts, ChNum of them
  std::string convText;              // txtConv and txtOffset as they stand
  std::string offsetText;
  const FormatInfo* source = nullptr;       // the format of the source file (FileType)
  const FormatInfo* destination = nullptr;  // the format chosen in the dialog
  std::string path;                         // the chosen path, blanks trimmed
  bool overwrite = false;  // the file at SavedPath may be replaced (the user was asked)
};

struct SaveResult {
  enum Kind {
    kWritten,   // written at `path`
    kDeclined,  // No to the 1024-channel question
    kRefused,   // the channels or a count out of the destination's range; `message` says so
    kFailed,    // the writer failed; `message` says why (the conversion's words)
    kExists,    // the file exists and `overwrite` was not given; nothing written
  };
  Kind kind = kWritten;
  Status status = kDone;
  std::string path;     // the path written (or that would have been)
  std::string message;  // for kRefused and kFailed
  std::string reason;   // for kFailed by the file system: the system's description of the error
  // "&Save" stays enabled after a refusal of the KODAQ range, a failed write and kExists (nothing
  // was written, as after Cancel in the dialog), not otherwise.
  bool saveStaysEnabled = false;
};

// Completes the header (calibration from the fields, identifier "Converted using Durnix v..."
// when empty), makes the format checks (the 1024-channel question through `prompter`, the
// KODAQ range 0..65535, the Oxford range 0..16777215 for AS1, AS2 and CANBERRA sources) and
// writes the file through `files`.
SaveResult SaveSpectrum(FileSystem& files, SaveRequest request, Prompter& prompter);

}  // namespace durnix
