// SPDX-License-Identifier: GPL-3.0-or-later
#include "convert/forms/frm_setup.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QGridLayout>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QTimer>

#include "formats/catalogue.h"
#include "formats/text_rules.h"

namespace durnix {

namespace {

QString text(std::string_view s) {
  return QString::fromLatin1(s.data(), static_cast<int>(s.size()));
}

}  // namespace

FrmSetup::FrmSetup(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint) {
  setObjectName("FrmSetup");
  setWindowTitle("Format & Axis");
  auto* grid = new QGridLayout(this);
  cboSForm_ = new QComboBox(this);
  cboSForm_->setObjectName("CboSForm");
  cboDForm_ = new QComboBox(this);
  cboDForm_->setObjectName("CboDForm");
  for (const FormatInfo& format : FormatCatalogue()) {
    cboSForm_->addItem(text(format.displayName));
    if (format.writable()) cboDForm_->addItem(text(format.displayName));
  }
  txtConvFac_ = new QLineEdit(this);
  txtConvFac_->setObjectName("txtConvFac");
  txtOffset_ = new QLineEdit(this);
  txtOffset_->setObjectName("txtOffset");
  txtLTOF_ = new QLineEdit(this);
  txtLTOF_->setObjectName("txtLTOF");
  const std::pair<const char*, QWidget*> rows[] = {{"Source Format", cboSForm_},
                                                   {"Dest. Format", cboDForm_},
                                                   {"Conversion factor", txtConvFac_},
                                                   {"Offset", txtOffset_},
                                                   {"Length of TOF (m)", txtLTOF_}};
  int row = 0;
  for (const auto& [caption, widget] : rows) {
    grid->addWidget(new QLabel(caption, this), row, 0);
    grid->addWidget(widget, row++, 1);
    widget->installEventFilter(this);
  }
  auto* buttons = new QHBoxLayout();
  auto* ok = new QPushButton("OK", this);
  ok->setObjectName("cmdOK");
  auto* cancel = new QPushButton("Cancel", this);
  cancel->setObjectName("cmdCancel");
  buttons->addStretch();
  buttons->addWidget(ok);
  buttons->addWidget(cancel);
  grid->addLayout(buttons, row, 0, 1, 2);
  connect(ok, &QPushButton::clicked, this, [this] {
    if (onOk) onOk(values());
    close();
  });
  connect(cancel, &QPushButton::clicked, this, &QDialog::close);
}

void FrmSetup::prepare(const SetupValues& v) {
  cboSForm_->setCurrentText(QString::fromLatin1(v.sourceFormat.c_str()));
  cboDForm_->setCurrentText(QString::fromLatin1(v.destinationFormat.c_str()));
  txtConvFac_->setText(QString::fromStdString(SingleText(v.convFactor)));
  txtOffset_->setText(QString::fromStdString(SingleText(v.offset)));
  txtLTOF_->setText(QString::fromStdString(SingleText(v.tofLength)));
  adjustSize();
  if (const QScreen* screen = QGuiApplication::primaryScreen()) {
    const QRect area = screen->geometry();
    move(area.x() + (area.width() - width()) / 2, area.y() + (area.height() - height()) / 2);
  }
}

SetupValues FrmSetup::values() const {
  const auto number = [](const QLineEdit* e) {
    return ToSingle(NumericPrefix(e->text().toLatin1().toStdString()));
  };
  return {cboSForm_->currentText().trimmed().toLatin1().toStdString(),
          cboDForm_->currentText().trimmed().toLatin1().toStdString(), number(txtConvFac_),
          number(txtOffset_), number(txtLTOF_)};
}

// OK, Cancel, the close box and Escape all end here: the main window takes input again.
void FrmSetup::reject() {
  if (isVisible() && onClosed) onClosed();
  QDialog::reject();
}

bool FrmSetup::eventFilter(QObject* watched, QEvent* event) {
  if (auto* edit = qobject_cast<QLineEdit*>(watched)) {
    if (event->type() == QEvent::FocusIn) QTimer::singleShot(0, edit, &QLineEdit::selectAll);
    if (event->type() == QEvent::KeyPress) {
      const int key = static_cast<QKeyEvent*>(event)->key();
      if (key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Tab) {
        QWidget* next = edit == txtConvFac_  ? static_cast<QWidget*>(txtOffset_)
                        : edit == txtOffset_ ? static_cast<QWidget*>(txtLTOF_)
                                             : findChild<QWidget*>("cmdOK");
        next->setFocus(Qt::TabFocusReason);
        return true;
      }
    }
  }
  return QDialog::eventFilter(watched, event);
}

}  // namespace durnix
