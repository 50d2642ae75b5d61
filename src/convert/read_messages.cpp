// SPDX-License-Identifier: GPL-3.0-or-later
#include "convert/read_messages.h"

#include <array>
#include <string_view>

#include "durnix/version.h"
#include "formats/text_rules.h"

namespace durnix {

namespace {

constexpr unsigned kRun = 1u << static_cast<unsigned>(MessageContext::kConversion);
constexpr unsigned kView = 1u << static_cast<unsigned>(MessageContext::kViewSpectrum);
constexpr unsigned kViewer = 1u << static_cast<unsigned>(MessageContext::kViewerRead);
constexpr Status kOtherwise = -1;  // the row for every status without its own

// In the texts: P the file in upper case, F the source format, D the destination format, V the
// program's version, N the status, each written as {P} and so on.
struct Row {
  unsigned contexts;
  Status status;
  std::string_view text;
};

constexpr std::array kRows{
    Row{kRun | kView, kNotThisFormat, "{P} has not {F} format !!"},
    Row{kViewer, kNotThisFormat, "{P} has unknown format !!"},
    Row{kRun, kSourceUnknown, "{F} is unknown format !!"},
    Row{kRun, kPixeOrNra, "{P} is for PIXE or NRA file !!"},
    Row{kView | kViewer, kPixeOrNra, "{P} has PIXE or NRA format !!"},
    Row{kRun, kUnknownFormat, "{P} is unknown format !!"},
    Row{kView | kViewer, kUnknownFormat, "{P} has unknown format !!"},
    Row{kRun, kInternalFault,
        "Congratulation !! You've found out bug(s) of Durnix v{V}. Let the "
        "author know !!"},
    Row{kViewer, kInternalFault,
        "Congratulation !! You found out some bugs in DURNIX v{V} reading "
        "routine. Let the author know."},
    Row{kRun, kDoesNotFit, "Some channel of {P} is overflowed !!"},
    Row{kRun, kOutOfMemory, "Memory or system resource is insufficient !!"},
    Row{kView | kViewer, kOutOfMemory, "Memory or system resource is insufficient"},
    Row{kRun, kDestUnknown, "{D} is unknown format !!"},
    Row{kRun, kBadAxisValues, "The value of Mass or Efficiency is not valid !!"},
    Row{kRun, kArithmetic, "The axis conversion of {P} went out of range !!"},
    Row{kRun, kCannotOpen, "{P} not found or disk not ready !"},
    Row{kView | kViewer, kCannotOpen, "Disk is not ready or {P} is not found !!"},
    Row{kRun, kCannotCreate, "Disk is not ready or bad media."},
    Row{kRun, kOtherwise, "Error {N} with {P} !!"},
    Row{kView, kOtherwise,
        "Congratulation !! You found out some bugs in DURNIX v{V} reading "
        "routine. Let the author know."},
    // Two blanks after "You've", as the viewer has always said it.
    Row{kViewer, kOtherwise,
        "Congratulation !! You've  found out some bugs of Durnix v{V}. Let "
        "the author know !!"},
};

}  // namespace

std::string StatusMessage(MessageContext context, Status status, const std::string& file,
                          const std::string& sourceFormat, const std::string& destinationFormat) {
  const unsigned key = 1u << static_cast<unsigned>(context);
  const Row* found = nullptr;
  for (const Row& row : kRows) {
    if ((row.contexts & key) == 0) continue;
    if (row.status == status) {
      found = &row;
      break;
    }
    if (row.status == kOtherwise) found = &row;
  }
  std::string message;
  const std::string_view text = found != nullptr ? found->text : std::string_view();
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '{' && i + 2 < text.size() && text[i + 2] == '}') {
      switch (text[i + 1]) {
        case 'P':
          message += UpperAscii(file);
          break;
        case 'F':
          message += sourceFormat;
          break;
        case 'D':
          message += destinationFormat;
          break;
        case 'V':
          message += kProgramVersion;
          break;
        case 'N':
          message += std::to_string(status);
          break;
        default:
          message.append(text.substr(i, 3));
          break;
      }
      i += 2;
    } else {
      message += text[i];
    }
  }
  return message;
}

}  // namespace durnix
