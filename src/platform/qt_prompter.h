// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The program's questions as real dialogs: the standard message box (titled "Durnix") and the
// extended message box frmMyMSGBox.

#include <QWidget>

#include "convert/prompter.h"

namespace durnix {

class QtPrompter : public Prompter {
 public:
  explicit QtPrompter(QWidget* parent = nullptr) : parent_(parent) {}
  int Ask(const std::string& prompt, StandardButtons buttons, const Asking& about = {}) override;
  int AskExtended(const std::string& prompt, int set, const Asking& about = {}) override;

 private:
  QWidget* parent_;
};

// A standard message box on its own, for the windows' messages (OK only).
void ShowMessage(QWidget* parent, const std::string& text);

}  // namespace durnix
