// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// FrmSetup ("Format && Axis"): the source and destination formats of the main window and the
// default calibration and flight length of the axis conversion.

#include <QDialog>
#include <functional>
#include <string>

class QComboBox;
class QLineEdit;

namespace durnix {

struct SetupValues {
  std::string sourceFormat;
  std::string destinationFormat;
  float convFactor = 0;
  float offset = 0;
  float tofLength = 0;
};

class FrmSetup : public QDialog {
  Q_OBJECT

 public:
  explicit FrmSetup(QWidget* parent);
  void prepare(const SetupValues& values);
  SetupValues values() const;

  std::function<void(const SetupValues&)> onOk;
  std::function<void()> onClosed;

 protected:
  void reject() override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  QComboBox* cboSForm_;
  QComboBox* cboDForm_;
  QLineEdit* txtConvFac_;
  QLineEdit* txtOffset_;
  QLineEdit* txtLTOF_;
};

}  // namespace durnix
