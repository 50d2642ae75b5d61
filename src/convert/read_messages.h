// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The program's own words for a status, in one table: the same status reads differently in a
// conversion run, in the View Spectrum command and when a viewer reads a second spectrum.

#include <string>

#include "formats/status.h"

namespace durnix {

enum class MessageContext {
  kConversion,    // a conversion run, the header editor's save, the main window's file commands
  kViewSpectrum,  // the View Spectrum command reading the selection with the chosen format
  kViewerRead,    // a viewer reading a file by detection (Add, Subtract, Compare)
};

// The message for `status` in `context` about `file` (shown in upper case); `sourceFormat` and
// `destinationFormat` are display names where the text names them.
std::string StatusMessage(MessageContext context, Status status, const std::string& file,
                          const std::string& sourceFormat = {},
                          const std::string& destinationFormat = {});

}  // namespace durnix
