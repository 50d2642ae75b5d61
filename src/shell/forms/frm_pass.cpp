// SPDX-License-Identifier: GPL-3.0-or-later
#include "shell/forms/frm_pass.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QProxyStyle>
#include <QPushButton>
#include <QScreen>

#include "platform/twips.h"

namespace durnix {

namespace {

// The password field shows "*" for every character, whatever the desktop's style would use.
class StarStyle : public QProxyStyle {
 public:
  int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                QStyleHintReturn* returned) const override {
    if (hint == SH_LineEdit_PasswordCharacter) return '*';
    return QProxyStyle::styleHint(hint, option, widget, returned);
  }
};

}  // namespace

FrmPass::FrmPass(QWidget* parent) : QDialog(parent) {
  setObjectName("frmPass");
  setWindowTitle("Durnix - Enter Password");
  setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                 Qt::WindowCloseButtonHint | Qt::CustomizeWindowHint);
  setModal(true);
  setFixedSize(Twips(4470), Twips(1440));

  auto* user = new QLabel("User", this);
  user->setGeometry(TwipsRect(50, 70, 390, 180).adjusted(0, 0, 20, 8));
  txtUser = new QLineEdit(this);
  txtUser->setObjectName("txtUser");
  txtUser->setGeometry(TwipsRect(1000, 0, 3500 - 30, 375));
  auto* password = new QLabel("Password", this);
  password->setGeometry(TwipsRect(50, 600, 855, 180).adjusted(0, -4, 20, 4));
  txtPass = new QLineEdit(this);
  txtPass->setObjectName("txtPass");
  txtPass->setGeometry(TwipsRect(1000, 500, 3500 - 30, 375));
  auto* stars = new StarStyle;
  stars->setParent(txtPass);
  txtPass->setStyle(stars);
  txtPass->setEchoMode(QLineEdit::Password);
  cmdOK = new QPushButton("OK", this);
  cmdOK->setObjectName("cmdOK");
  cmdOK->setGeometry(TwipsRect(500, 1000, 1095, 375));
  cmdCancel = new QPushButton("Cancel", this);
  cmdCancel->setObjectName("cmdCancel");
  cmdCancel->setGeometry(TwipsRect(2800, 1000, 1335, 375));
  for (QPushButton* button : {cmdOK, cmdCancel}) {
    button->setAutoDefault(false);
    button->setDefault(false);
  }
  setTabOrder(txtUser, txtPass);
  setTabOrder(txtPass, cmdOK);
  setTabOrder(cmdOK, cmdCancel);

  connect(cmdOK, &QPushButton::clicked, this, [this] { finish(1); });
  connect(cmdCancel, &QPushButton::clicked, this, [this] { finish(2); });
  // Enter in the password field is OK; in the user field it goes on to the password.
  connect(txtPass, &QLineEdit::returnPressed, this, [this] { finish(1); });
  connect(txtUser, &QLineEdit::returnPressed, this, [this] { txtPass->setFocus(); });
}

bool FrmPass::Ask(std::string& user, std::string& password) {
  if (const QScreen* screen = QGuiApplication::primaryScreen()) {
    QRect frame = frameGeometry();
    frame.moveCenter(screen->availableGeometry().center());
    move(frame.topLeft());
  }
  answer_ = 2;
  exec();
  if (answer_ != 1) return false;
  user = txtUser->text().toStdString();
  password = txtPass->text().toStdString();
  return true;
}

void FrmPass::Forget() {
  txtPass->clear();
}

void FrmPass::finish(int answer) {
  answer_ = answer;
  hide();
  done(answer == 1 ? QDialog::Accepted : QDialog::Rejected);
}

void FrmPass::reject() {
  finish(2);
}

void FrmPass::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  txtUser->setFocus();
}

void FrmPass::resizeEvent(QResizeEvent* event) {
  QDialog::resizeEvent(event);
  txtUser->setFocus();
}

void FrmPass::closeEvent(QCloseEvent* event) {
  answer_ = 2;
  QDialog::closeEvent(event);
}

}  // namespace durnix
