// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/qt_prompter.h"

#include <QMessageBox>
#include <QPushButton>

#include "platform/paths.h"
#include "shell/forms/frm_my_msg_box.h"

namespace durnix {

int QtPrompter::Ask(const std::string& prompt, StandardButtons buttons, const Asking& about) {
  QMessageBox box(parent_);
  box.setWindowTitle(
      QString::fromLatin1(kMessageTitle.data(), static_cast<int>(kMessageTitle.size())));
  // Messages name files by their paths, which are the system's bytes.
  box.setText(PathText(PromptWithReason(prompt, about)));
  const bool question =
      buttons == StandardButtons::kYesNo || buttons == StandardButtons::kYesNoCancel;
  box.setIcon(question                          ? QMessageBox::Question
              : buttons == StandardButtons::kOk ? QMessageBox::Information
                                                : QMessageBox::Warning);
  struct Choice {
    QMessageBox::StandardButton button;
    int answer;
  };
  std::vector<Choice> choices;
  switch (buttons) {
    case StandardButtons::kOk:
      choices = {{QMessageBox::Ok, kAnswerOk}};
      break;
    case StandardButtons::kOkCancel:
      choices = {{QMessageBox::Ok, kAnswerOk}, {QMessageBox::Cancel, kAnswerCancel}};
      break;
    case StandardButtons::kYesNo:
      choices = {{QMessageBox::Yes, kAnswerYes}, {QMessageBox::No, kAnswerNo}};
      break;
    case StandardButtons::kYesNoCancel:
      choices = {{QMessageBox::Yes, kAnswerYes},
                 {QMessageBox::No, kAnswerNo},
                 {QMessageBox::Cancel, kAnswerCancel}};
      break;
    case StandardButtons::kAbortRetryIgnore:
      choices = {{QMessageBox::Abort, kAnswerAbort},
                 {QMessageBox::Retry, kAnswerRetry},
                 {QMessageBox::Ignore, kAnswerIgnore}};
      break;
    case StandardButtons::kRetryCancel:
      choices = {{QMessageBox::Retry, kAnswerRetry}, {QMessageBox::Cancel, kAnswerCancel}};
      break;
  }
  QMessageBox::StandardButtons all;
  for (const Choice& c : choices) all |= c.button;
  box.setStandardButtons(all);
  box.setDefaultButton(choices.front().button);
  const auto pressed = static_cast<QMessageBox::StandardButton>(box.exec());
  for (const Choice& c : choices) {
    if (c.button == pressed) return c.answer;
  }
  // Closed without a button: the box's escape answer.
  switch (buttons) {
    case StandardButtons::kOk:
      return kAnswerOk;
    case StandardButtons::kYesNo:
      return kAnswerNo;
    case StandardButtons::kAbortRetryIgnore:
      return kAnswerAbort;
    default:
      return kAnswerCancel;
  }
}

int QtPrompter::AskExtended(const std::string& prompt, int set, const Asking& about) {
  return MyMSGBox(parent_, PromptWithReason(prompt, about), set, std::string(kMessageTitle));
}

void ShowMessage(QWidget* parent, const std::string& text) {
  QtPrompter(parent).Ask(text, StandardButtons::kOk);
}

}  // namespace durnix
