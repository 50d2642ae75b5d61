// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// frmMyMSGBox: the extended message box, with answers that hold for the rest of a list
// ("Overwrite All", "Skip All", "Yes All", "Delete All") beside the usual ones.

#include <QDialog>
#include <array>
#include <string>

class QLabel;
class QPushButton;

namespace durnix {

class FrmMyMsgBox : public QDialog {
  Q_OBJECT

 public:
  FrmMyMsgBox(QWidget* parent, int buttonSet);

  void setPrompt(const QString& prompt);
  // The code of the button that closed the box; 0 when none did.
  int returnCode() const { return returnCode_; }
  QPushButton* button(int index) const { return buttons_[static_cast<std::size_t>(index - 1)]; }

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  void cmdRetClick(int index);

  QLabel* lblPrompt_;
  std::array<QPushButton*, 7> buttons_{};
  int returnCode_ = 0;
};

// MyMSGBox: shows the box modally with button set 1 to 6 and returns the code of the button
// pressed, or 2 (Cancel) when the box was closed without one.
int MyMSGBox(QWidget* parent, const std::string& prompt, int buttonSet, const std::string& title);

}  // namespace durnix
