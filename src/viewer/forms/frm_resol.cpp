// SPDX-License-Identifier: GPL-3.0-or-later
#include "viewer/forms/frm_resol.h"

#include <QFocusEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>

#include "platform/window_sizes.h"

namespace durnix {

FrmResol::FrmResol(QWidget* parent) : QDialog(parent) {
  setObjectName("frmResol");
  setWindowTitle("Durnix - Detector Resolution Input");
  auto* grid = new QGridLayout(this);
  lblEq_ = new QLabel(this);
  lblEq_->setObjectName("lblEq");
  grid->addWidget(lblEq_, 0, 0, 1, 2);
  auto row = [this, grid](int r, const char* caption, const char* name) {
    auto* label = new QLabel(caption, this);
    auto* field = new QLineEdit(this);
    field->setObjectName(name);
    field->installEventFilter(this);
    label->setBuddy(field);
    grid->addWidget(label, r, 0);
    grid->addWidget(field, r, 1);
    return std::pair{label, field};
  };
  txtTwoDim_ = row(1, "A", "txtTwoDim").second;
  txtOneDim_ = row(2, "B", "txtOneDim").second;
  std::tie(lblC_, txtZeroDim_) = row(3, "C", "txtZeroDim");
  auto* buttons = new QHBoxLayout;
  cmdOk_ = new QPushButton("OK", this);
  cmdOk_->setObjectName("cmdOK");
  cmdCancel_ = new QPushButton("Cancel", this);
  cmdCancel_->setObjectName("cmdCancel");
  for (QPushButton* button : {cmdOk_, cmdCancel_}) button->setAutoDefault(false);
  buttons->addStretch();
  buttons->addWidget(cmdOk_);
  buttons->addWidget(cmdCancel_);
  grid->addLayout(buttons, 4, 0, 1, 2);
  connect(cmdOk_, &QPushButton::clicked, this, [this] {
    result_ = 1;
    hide();
  });
  connect(cmdCancel_, &QPushButton::clicked, this, &FrmResol::reject);
  setMinimumWidth(320);
  FitTitle(*this);
}

FrmResol& FrmResol::Instance() {
  static auto* instance = new FrmResol;
  return *instance;
}

void FrmResol::reject() {
  result_ = 2;
  hide();
}

int FrmResol::ask(QWidget* over, const QString& formula, bool showC, QString& a, QString& b,
                  QString& c) {
  lblEq_->setText(formula);
  lblC_->setVisible(showC);
  txtZeroDim_->setVisible(showC);
  adjustSize();
  if (over != nullptr) {
    const QRect frame = over->frameGeometry();
    move(frame.center() - QPoint(width() / 2, height() / 2));
  }
  result_ = 2;
  setModal(true);
  txtTwoDim_->setFocus();
  exec();
  if (result_ == 1) {
    a = txtTwoDim_->text();
    b = txtOneDim_->text();
    c = showC ? txtZeroDim_->text() : QString();
  }
  return result_;
}

// Enter moves from A to B, from B to C when C is shown; Enter in the last field is OK. A field
// that receives the focus has its text selected.
bool FrmResol::eventFilter(QObject* watched, QEvent* event) {
  auto* field = qobject_cast<QLineEdit*>(watched);
  if (field != nullptr && event->type() == QEvent::FocusIn) {
    QTimer::singleShot(0, field, [field] { field->selectAll(); });
  }
  if (field != nullptr && event->type() == QEvent::KeyPress) {
    const int key = static_cast<QKeyEvent*>(event)->key();
    if (key == Qt::Key_Return || key == Qt::Key_Enter) {
      if (field == txtTwoDim_) {
        txtOneDim_->setFocus();
      } else if (field == txtOneDim_ && txtZeroDim_->isVisible()) {
        txtZeroDim_->setFocus();
      } else {
        cmdOk_->click();
      }
      return true;
    }
  }
  return QDialog::eventFilter(watched, event);
}

}  // namespace durnix
