// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// frmPass, "Durnix - Enter Password": the user name and password for a shared folder that does
// not let a guest in. It is hidden, not destroyed, between uses, so the user name typed stays for
// the next time; the password stays only while one connection is being tried.

#include <QDialog>

#include "shell/network.h"

class QLineEdit;
class QPushButton;

namespace durnix {

class FrmPass : public QDialog, public PasswordDialog {
  Q_OBJECT

 public:
  explicit FrmPass(QWidget* parent);

  QLineEdit* txtUser;
  QLineEdit* txtPass;
  QPushButton* cmdOK;
  QPushButton* cmdCancel;

  // 1 after OK, 2 after Cancel, Escape or the close box.
  int answer() const { return answer_; }

  bool Ask(std::string& user, std::string& password) override;
  void Forget() override;

 protected:
  void showEvent(QShowEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  void reject() override;

 private:
  void finish(int answer);
  int answer_ = 2;
};

}  // namespace durnix
