// SPDX-License-Identifier: GPL-3.0-or-later
#include "viewer/view_command.h"

#include <new>

#include "convert/batch.h"
#include "convert/read_messages.h"
#include "formats/text_rules.h"
#include "viewer/viewer_document.h"

namespace durnix {

std::string ViewerCaption(int number, const std::string& fileName) {
  return NumberText(number) + "   View Spectrum : " + fileName;
}

std::string RumpViewCaption(int number, const std::string& fileName) {
  return NumberText(number) + "   View RUMP Data : " + fileName;
}

int ViewerNumberOfTitle(const std::string& title) {
  const std::string_view trimmed = Trim(title);
  const std::string_view first = trimmed.substr(0, trimmed.find(' '));
  int number = 0;
  for (char c : first) {
    if (c < '0' || c > '9' || number > 1000) return 0;
    number = number * 10 + (c - '0');
  }
  return number;
}

std::string GainFieldText(float gain) {
  return gain == 0 || gain == 1 ? std::string() : DigitPatternText(gain, 5);
}

std::string OffsetFieldText(float offset) {
  return offset == 0 ? std::string() : DigitPatternText(offset, 4);
}

std::string ViewReadMessage(Status status, const std::string& path, const std::string& format) {
  return StatusMessage(MessageContext::kViewSpectrum, status, path, format);
}

bool ViewSpectra(FileSystem& files, const std::string& folder,
                 const std::vector<std::string>& names, const std::vector<int>& attributes,
                 const std::string& sourceFormat, Prompter& prompter, ViewerOpener& opener) {
  if (names.empty()) {
    prompter.Ask(kNoFileSelected, StandardButtons::kOk);
    return false;
  }
  const FormatInfo* chosen = FindFormatByDisplayName(sourceFormat);
  Bytes buffer;
  int position = 0;
  for (std::size_t i = 0; i < names.size(); ++i) {
    if (i < attributes.size() && IsFolderEntry(attributes[i])) continue;
    ++position;
    const std::string path = folder + names[i];
    try {
      for (;;) {
        ViewedSpectrum spectrum;
        spectrum.record.FileName = path;
        const FileResult status =
            ReadViewedSpectrum(files, chosen, spectrum.record, spectrum.format, buffer);
        if (status == kDone && spectrum.format != nullptr) {
          spectrum.fileName = names[i];
          spectrum.folder = folder;
          spectrum.position = position;
          opener.OpenViewer(spectrum);
          break;
        }
        const std::string message = ViewReadMessage(status, path, sourceFormat);
        Asking about{Question::kFileFailed, {}};
        if (status == kCannotOpen) {
          about = {Question::kRetryRead, SystemErrorText(status.error)};
          const int answer = prompter.Ask(message, StandardButtons::kAbortRetryIgnore, about);
          if (answer == kAnswerRetry) continue;
          if (answer == kAnswerIgnore) break;
          return false;
        }
        if (status == kNotThisFormat || status == kPixeOrNra || status == kUnknownFormat) {
          if (prompter.Ask(message, StandardButtons::kOkCancel, about) == kAnswerOk) break;
          return false;
        }
        prompter.Ask(message, StandardButtons::kOk, {Question::kRunEnds, {}});
        return false;
      }
    } catch (const std::bad_alloc&) {
      prompter.Ask(ViewReadMessage(kOutOfMemory, path, sourceFormat), StandardButtons::kOk,
                   {Question::kRunEnds, {}});
      return false;
    }
  }
  return true;
}

}  // namespace durnix
