// SPDX-License-Identifier: GPL-3.0-or-later
#include "convert/forms/frm_axis_conv.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QGridLayout>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QTimer>

#include "formats/text_rules.h"

namespace durnix {

namespace {

struct KeyMove {
  const char* field;
  const char* enter;  // nullptr: Go On
  const char* tab;
};

constexpr KeyMove kKeys[] = {
    {"txtEffic", "txtMaxEnergy", "txtMaxEnergy"},
    {"txtMaxEnergy", nullptr, "txtLTOF"},
    {"txtLTOF", nullptr, "txtConv"},
    {"txtConv", nullptr, "txtOffset"},
    {"txtOffset", nullptr, "txtChNum"},
    {"txtChNum", nullptr, "txtMass"},
    {"txtMass", "txtEffic", "txtEffic"},
};

float numberIn(const QLineEdit* edit) {
  return ToSingle(NumericPrefix(edit->text().toLatin1().toStdString()));
}

}  // namespace

FrmAxisConv::FrmAxisConv(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint) {
  setObjectName("frmAxisConv");
  auto* grid = new QGridLayout(this);
  const char* fields[][2] = {{"txtMass", "lblMass"},           {"txtEffic", "lblEffic"},
                             {"txtMaxEnergy", "lblMaxEnergy"}, {"txtLTOF", "lblLTOF"},
                             {"txtConv", "lblConv"},           {"txtOffset", "lblOffset"},
                             {"txtChNum", "lblChNum"}};
  int row = 0;
  for (const auto& [fieldName, labelName] : fields) {
    auto* caption = new QLabel(this);
    caption->setObjectName(labelName);
    auto* edit = new QLineEdit(this);
    edit->setObjectName(fieldName);
    edit->installEventFilter(this);
    caption->setBuddy(edit);
    grid->addWidget(caption, row, 0);
    grid->addWidget(edit, row, 1);
    ++row;
  }
  label("lblMass")->setText("Mass of particle (amu)");
  label("lblEffic")->setText("Efficiency of particle (%)");
  label("lblLTOF")->setText("Len of TOF (m)");
  label("lblChNum")->setText("Output channel number");
  chkConvCheck_ = new QCheckBox("Use the conversion factor and offset given here", this);
  chkConvCheck_->setObjectName("chkConvCheck");
  grid->addWidget(chkConvCheck_, row++, 0, 1, 2);
  connect(field("txtConv"), &QLineEdit::textEdited, this,
          [this] { chkConvCheck_->setChecked(true); });

  auto* buttons = new QHBoxLayout();
  cmdPTable_ = new QPushButton("Periodic table", this);
  cmdPTable_->setObjectName("cmdPTable");
  cmdGoOn_ = new QPushButton("Go On", this);
  cmdGoOn_->setObjectName("cmdGoOn");
  cmdCancel_ = new QPushButton("Cancel", this);
  cmdCancel_->setObjectName("cmdCancel");
  for (QPushButton* b : {cmdPTable_, cmdGoOn_, cmdCancel_}) {
    b->setAutoDefault(false);
    buttons->addWidget(b);
  }
  grid->addLayout(buttons, row, 0, 1, 2);
  connect(cmdGoOn_, &QPushButton::clicked, this, &FrmAxisConv::goOn);
  connect(cmdCancel_, &QPushButton::clicked, this, &QDialog::close);
  connect(cmdPTable_, &QPushButton::clicked, this, [this] {
    if (onPeriodicTable) onPeriodicTable();
  });
  setTabOrder(field("txtEffic"), field("txtMaxEnergy"));
}

QLineEdit* FrmAxisConv::field(const char* name) const {
  return findChild<QLineEdit*>(name);
}
QLabel* FrmAxisConv::label(const char* name) const {
  return findChild<QLabel*>(name);
}

void FrmAxisConv::prepare(bool timeToEnergy, float convFactor, float offset, float tofLength) {
  setWindowTitle(timeToEnergy ? "Time to Energy" : "Energy to Time");
  label("lblMaxEnergy")->setText(timeToEnergy ? "Maximum energy (MeV)" : "Maximum time (ns)");
  label("lblConv")->setText(timeToEnergy ? "Conv. factor (ns/ch)" : "Conv. factor (keV/ch)");
  label("lblOffset")->setText(timeToEnergy ? "Offset (ns)" : "Offset (keV)");
  field("txtConv")->setText(QString::fromStdString(SingleText(convFactor)));
  field("txtOffset")->setText(QString::fromStdString(SingleText(offset)));
  field("txtLTOF")->setText(QString::fromStdString(SingleText(tofLength)));
  adjustSize();
  if (const QScreen* screen = QGuiApplication::primaryScreen()) {
    const QRect area = screen->geometry();
    move(area.x() + (area.width() - width()) / 2, area.y() + (area.height() - height()) / 2);
  }
}

AxisParameters FrmAxisConv::parameters() const {
  AxisParameters p;
  p.mass = numberIn(field("txtMass"));
  p.efficiency = numberIn(field("txtEffic"));
  p.maximum = NumericPrefix(field("txtMaxEnergy")->text().toLatin1().toStdString());
  p.tofLength = numberIn(field("txtLTOF"));
  p.convFactor = numberIn(field("txtConv"));
  p.offset = numberIn(field("txtOffset"));
  p.useConvFactor = chkConvCheck_->isChecked();
  return p;
}

void FrmAxisConv::goOn() {
  goingOn_ = true;
  hide();
  goingOn_ = false;
  if (onGoOn) onGoOn();
}

void FrmAxisConv::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  field("txtEffic")->setFocus(Qt::ActiveWindowFocusReason);
}

// Cancel, the close box and Escape all end here: the conversion is disarmed and the main window
// takes input again.
void FrmAxisConv::reject() {
  if (!goingOn_ && isVisible() && onCancel) onCancel();
  QDialog::reject();
}

bool FrmAxisConv::eventFilter(QObject* watched, QEvent* event) {
  auto* edit = qobject_cast<QLineEdit*>(watched);
  if (edit == nullptr) return QDialog::eventFilter(watched, event);
  if (event->type() == QEvent::FocusIn) QTimer::singleShot(0, edit, &QLineEdit::selectAll);
  if (event->type() != QEvent::KeyPress) return QDialog::eventFilter(watched, event);
  const int key = static_cast<QKeyEvent*>(event)->key();
  const bool enter = key == Qt::Key_Return || key == Qt::Key_Enter;
  if (!enter && key != Qt::Key_Tab) return QDialog::eventFilter(watched, event);
  for (const KeyMove& move : kKeys) {
    if (edit->objectName() != move.field) continue;
    const char* next = enter ? move.enter : move.tab;
    if (next == nullptr) {
      goOn();
    } else {
      field(next)->setFocus(Qt::TabFocusReason);
    }
    return true;
  }
  return QDialog::eventFilter(watched, event);
}

}  // namespace durnix
