// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// frmAxisConv: the parameters of a time-to-energy or energy-to-time conversion; "Go On" runs
// Convert with the conversion armed.

#include <QDialog>
#include <functional>

#include "convert/axis.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace durnix {

class FrmAxisConv : public QDialog {
  Q_OBJECT

 public:
  explicit FrmAxisConv(QWidget* parent);

  // Sets the captions for the direction and the calibration fields from the preferences.
  void prepare(bool timeToEnergy, float convFactor, float offset, float tofLength);
  // The parameters in the fields (numbers by the numeric-prefix rule).
  AxisParameters parameters() const;

  // "Go On" and "Cancel" (or the close box).
  std::function<void()> onGoOn;
  std::function<void()> onCancel;
  std::function<void()> onPeriodicTable;

  QLineEdit* field(const char* name) const;

 protected:
  void reject() override;
  void showEvent(QShowEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  QLabel* label(const char* name) const;
  void goOn();

  QCheckBox* chkConvCheck_;
  QPushButton* cmdGoOn_;
  QPushButton* cmdCancel_;
  QPushButton* cmdPTable_;
  bool goingOn_ = false;
};

}  // namespace durnix
