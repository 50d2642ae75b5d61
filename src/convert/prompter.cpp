// SPDX-License-Identifier: GPL-3.0-or-later
#include "convert/prompter.h"

#include <array>
#include <utility>

namespace durnix {

namespace {

constexpr std::array<std::pair<std::string_view, int>, 15> kCaptionCodes = {{
    {"OK", kAnswerOk},
    {"Cancel", kAnswerCancel},
    {"Abort", kAnswerAbort},
    {"Retry", kAnswerRetry},
    {"Ignore", kAnswerIgnore},
    {"Yes", kAnswerYes},
    {"No", kAnswerNo},
    {"Yes All", kAnswerYesAll},
    {"No All", kAnswerNoAll},
    {"Overwrite", kAnswerOverwrite},
    {"Overwrite All", kAnswerOverwriteAll},
    {"Skip", kAnswerSkip},
    {"Skip All", kAnswerSkipAll},
    {"Overwrite Older", kAnswerOverwriteOlder},
    {"Overwrite All Older", kAnswerOverwriteAllOlder},
}};

}  // namespace

const std::vector<std::string_view>& ButtonSetCaptions(int set) {
  static const std::array<std::vector<std::string_view>, 7> kSets = {{
      {},
      {"Overwrite", "Overwrite Older", "No"},
      {"Overwrite", "Overwrite All", "Skip", "Skip All", "Overwrite Older", "Overwrite All Older",
       "Cancel"},
      {"Delete", "No"},
      {"Delete", "Delete All", "Skip", "Skip All", "Cancel"},
      {"Yes", "No"},
      {"Yes", "Yes All", "No", "No All", "Cancel"},
  }};
  return set >= 1 && set <= 6 ? kSets[static_cast<std::size_t>(set)] : kSets[0];
}

int AnswerOfCaption(std::string_view caption) {
  if (caption == "Delete") return kAnswerDelete;
  if (caption == "Delete All") return kAnswerDeleteAll;
  for (const auto& [text, code] : kCaptionCodes) {
    if (text == caption) return code;
  }
  return kAnswerNone;
}

std::string_view CaptionOfAnswer(int answer) {
  if (answer == kAnswerDelete) return "Delete";
  if (answer == kAnswerDeleteAll) return "Delete All";
  for (const auto& [text, code] : kCaptionCodes) {
    if (code == answer) return text;
  }
  return {};
}

std::string PromptWithReason(const std::string& prompt, const Asking& about) {
  return about.reason.empty() ? prompt : prompt + "\n" + about.reason;
}

int ButtonSetWindowHeight(int set) {
  switch (ButtonSetCaptions(set).size()) {
    case 7:
      return 2650;
    case 5:
      return 2250;
    default:
      return 1850;
  }
}

std::vector<std::string_view> StandardButtonCaptions(StandardButtons buttons) {
  switch (buttons) {
    case StandardButtons::kOk:
      return {"OK"};
    case StandardButtons::kOkCancel:
      return {"OK", "Cancel"};
    case StandardButtons::kYesNo:
      return {"Yes", "No"};
    case StandardButtons::kYesNoCancel:
      return {"Yes", "No", "Cancel"};
    case StandardButtons::kAbortRetryIgnore:
      return {"Abort", "Retry", "Ignore"};
    case StandardButtons::kRetryCancel:
      return {"Retry", "Cancel"};
  }
  return {};
}

}  // namespace durnix
