// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// How the logic asks the user: the platform's standard message box and the program's extended
// message box (button sets 1 to 6). The desktop program answers with real dialogs, tests with
// scripted answers, durnix-cli with its options.

#include <string>
#include <string_view>
#include <vector>

namespace durnix {

// Buttons of the standard message box.
enum class StandardButtons {
  kOk,
  kOkCancel,
  kYesNo,
  kYesNoCancel,
  kAbortRetryIgnore,
  kRetryCancel
};

// Answer codes of both boxes.
enum Answer : int {
  kAnswerNone = 0,
  kAnswerOk = 1,
  kAnswerCancel = 2,
  kAnswerAbort = 3,
  kAnswerRetry = 4,
  kAnswerIgnore = 5,
  kAnswerYes = 6,
  kAnswerNo = 7,
  kAnswerYesAll = 8,
  kAnswerNoAll = 9,
  kAnswerOverwrite = 11,
  kAnswerOverwriteAll = 12,
  kAnswerSkip = 13,
  kAnswerSkipAll = 14,
  kAnswerOverwriteOlder = 15,
  kAnswerOverwriteAllOlder = 16,
  kAnswerDelete = 21,
  kAnswerDeleteAll = 22,
};

// Button sets of the extended box.
enum ButtonSet : int {
  kSetOverwriteLast = 1,  // Overwrite, Overwrite Older, No
  kSetOverwriteMany = 2,  // Overwrite, Overwrite All, Skip, Skip All, Overwrite Older,
                          // Overwrite All Older, Cancel
  kSetDeleteLast = 3,     // Delete, No
  kSetDeleteMany = 4,     // Delete, Delete All, Skip, Skip All, Cancel
  kSetYesNoLast = 5,      // Yes, No
  kSetYesNoMany = 6,      // Yes, Yes All, No, No All, Cancel
};

// The title of every message box of the program.
inline constexpr std::string_view kMessageTitle = "Durnix";

// What a question of the program is about, whatever its words: an answer policy (the command
// line's options, a test's script) goes by this, never by the text.
enum class Question {
  kMessage,           // a message or a question of no fixed kind
  kStampData,         // "Are stamp data OK ?"
  kOverwrite,         // "NAME is already exist. Overwrite it ?"
  kOverwriteSameRun,  // the same, about a file that this run wrote from another source file
  kNot1024Channels,   // "NAME has not 1024 channel. Continue ?"
  kFileFailed,        // a file could not be read or written; OK goes on with the next one
  kRetryRead,         // "FILE not found or disk not ready !" (Abort, Retry, Ignore)
  kRetryWrite,        // "Disk is not ready or bad media." (Abort, Retry, Ignore)
  kRunEnds,           // a failure that ends the run
  kSummary,           // "Conversion is completed !!" or "Conversion is stopped !!"
};

// A question beside its words: its kind, and for failures of the system the system's own
// description of the error ("No space left on device"), which the box shows under the message.
struct Asking {
  Question question = Question::kMessage;
  std::string reason;
};

class Prompter {
 public:
  virtual ~Prompter() = default;
  // Shows `prompt` in the standard box and returns the answer code (OK 1 ... No 7).
  virtual int Ask(const std::string& prompt, StandardButtons buttons, const Asking& about = {}) = 0;
  // Shows `prompt` in the extended box with button set `set` (1 to 6); a close without a button
  // is Cancel (2).
  virtual int AskExtended(const std::string& prompt, int set, const Asking& about = {}) = 0;
};

// The prompt as a box shows it: the message, and the system's reason on a line of its own.
std::string PromptWithReason(const std::string& prompt, const Asking& about);

// The captions of a button set in display order (empty for a set outside 1 to 6).
const std::vector<std::string_view>& ButtonSetCaptions(int set);

// The answer code of a button caption ("Overwrite All" 12); 0 for a caption of no button.
int AnswerOfCaption(std::string_view caption);

// The caption of an answer code ("Yes All" for 8); empty for a code of no button.
std::string_view CaptionOfAnswer(int answer);

// The extended box's outer height in twips: one row of buttons 1850, two 2250, three 2650.
int ButtonSetWindowHeight(int set);

// The buttons of a standard set, as captions ("OK", "Cancel").
std::vector<std::string_view> StandardButtonCaptions(StandardButtons buttons);

}  // namespace durnix
