// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// frmResol: the detector resolution of the linear and quadratic shrinks, A, B and C of the
// formula it shows. One instance serves the whole program.

#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;

namespace durnix {

class FrmResol : public QDialog {
  Q_OBJECT

 public:
  explicit FrmResol(QWidget* parent = nullptr);

  // The program's one instance.
  static FrmResol& Instance();

  // AskResolution: shows `formula`, C only when `showC`, centred over `over`, modal. Returns 1
  // after OK (the texts in a, b and c), 2 after Cancel or when closed.
  int ask(QWidget* over, const QString& formula, bool showC, QString& a, QString& b, QString& c);

  int result() const { return result_; }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void reject() override;

 private:
  QLabel* lblEq_ = nullptr;
  QLabel* lblC_ = nullptr;
  QLineEdit* txtTwoDim_ = nullptr;
  QLineEdit* txtOneDim_ = nullptr;
  QLineEdit* txtZeroDim_ = nullptr;
  QPushButton* cmdOk_ = nullptr;
  QPushButton* cmdCancel_ = nullptr;
  int result_ = 2;
};

}  // namespace durnix
