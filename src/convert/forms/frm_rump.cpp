// SPDX-License-Identifier: GPL-3.0-or-later
#include "convert/forms/frm_rump.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QTimer>
#include <QVBoxLayout>

#include "convert/batch.h"
#include "platform/paths.h"
#include "platform/qt_prompter.h"
#include "platform/twips.h"

namespace durnix {

namespace {

struct FieldSpec {
  const char* name;
  const char* label;
  bool rumpOnly;  // "(R)": only RUMP files carry it
};

constexpr FieldSpec kBeam[] = {{"txtAtom", "Atomic No.", false},
                               {"txtMass", "Mass (R)", true},
                               {"txtMeV", "Energy (MeV)", false},
                               {"txtIon", "Charge state", true}};
constexpr FieldSpec kMeasure[] = {{"txtCharge", "Charge (uC)", false},
                                  {"txtCurrent", "Curr. (nA) (R)", true},
                                  {"txtkeV", "keV/ch", false},
                                  {"txtOffset", "Offset (keV)", false},
                                  {"txtStartCh", "Start (ch) (R)", true},
                                  {"txtFWHM", "FWHM (keV)", false},
                                  {"txtCorrect", "Correction", false}};
constexpr FieldSpec kGeometry[] = {{"txtTheta", "Theta", false},
                                   {"txtPhi", "Phi", false},
                                   {"txtPsi", "Psi (R)", true},
                                   {"txtOmega", "Omega", false}};

// Where Enter moves the focus.
const std::map<QString, QString>& enterOrder() {
  static const std::map<QString, QString> order = {
      {"txtVersion", "txtAtom"}, {"txtAtom", "txtMass"},    {"txtMass", "txtMeV"},
      {"txtMeV", "txtIon"},      {"txtIon", "txtCharge"},   {"txtCharge", "txtCurrent"},
      {"txtCurrent", "txtkeV"},  {"txtkeV", "txtOffset"},   {"txtOffset", "txtStartCh"},
      {"txtStartCh", "txtFWHM"}, {"txtFWHM", "txtCorrect"}, {"txtCorrect", "cbxGeom"},
      {"cbxGeom", "txtTheta"},   {"txtTheta", "txtPhi"},    {"txtPhi", "txtPsi"},
      {"txtPsi", "txtOmega"},    {"txtOmega", "txtAtom"},   {"txtDate", "txtAtom"}};
  return order;
}

// Past the fields a SENRAS file does not use.
const std::map<QString, QString>& senrasOrder() {
  static const std::map<QString, QString> order = {
      {"txtAtom", "txtMeV"}, {"txtMeV", "txtCharge"}, {"txtCharge", "txtkeV"}};
  return order;
}

QString latin1(const std::string& text) {
  return QString::fromLatin1(text.c_str());
}

}  // namespace

FrmRump::FrmRump(QWidget* parent, Mode mode)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint), mode_(mode) {
  setObjectName(mode == Mode::kEditor ? "frmRump" : "frmRumpView");
  setWindowTitle("Rump Data");
  setAttribute(Qt::WA_DeleteOnClose, false);
  showMessage = [this](const std::string& text) { ShowMessage(this, text); };

  auto* top = new QVBoxLayout(this);
  const auto addField = [&](QGridLayout* grid, int row, int column, const char* name,
                            const char* label) {
    auto* caption = new QLabel(label, this);
    auto* edit = new QLineEdit(this);
    edit->setObjectName(name);
    edit->setMinimumWidth(Twips(1100));
    edit->setReadOnly(mode == Mode::kView);
    edit->installEventFilter(this);
    caption->setBuddy(edit);
    grid->addWidget(caption, row, column);
    grid->addWidget(edit, row, column + 1);
    fields_[name] = edit;
    return caption;
  };

  auto* head = new QGridLayout();
  addField(head, 0, 0, "txtVersion", "Rump Version");
  lblDate_ = addField(head, 0, 2, "txtDate", "Date");
  top->addLayout(head);

  auto* groups = new QHBoxLayout();
  const auto addGroup = [&](const char* title, const auto& specs, bool withGeometry) {
    auto* box = new QGroupBox(title, this);
    auto* grid = new QGridLayout(box);
    int row = 0;
    if (withGeometry) {
      grid->addWidget(new QLabel("Geometry", this), row, 0);
      cbxGeom_ = new QComboBox(this);
      cbxGeom_->setObjectName("cbxGeom");
      cbxGeom_->setEditable(mode == Mode::kEditor);
      for (const char* text : kGeometryTexts) cbxGeom_->addItem(text);
      cbxGeom_->installEventFilter(this);
      if (cbxGeom_->lineEdit() != nullptr) cbxGeom_->lineEdit()->installEventFilter(this);
      grid->addWidget(cbxGeom_, row++, 1);
    }
    for (const FieldSpec& field : specs) addField(grid, row++, 0, field.name, field.label);
    grid->setRowStretch(row, 1);
    groups->addWidget(box);
  };
  addGroup("Beam", kBeam, false);
  addGroup("Measure", kMeasure, false);
  addGroup("Geometry", kGeometry, true);
  top->addLayout(groups);

  lblPath_ = new QLabel(this);
  lblPath_->setObjectName("lblPath");
  top->addWidget(lblPath_);

  auto* buttons = new QHBoxLayout();
  buttons->addStretch();
  cmdOk_ = new QPushButton("OK", this);
  cmdOk_->setObjectName("cmdOK");
  cmdCancel_ = new QPushButton("Cancel", this);
  cmdCancel_->setObjectName("cmdCancel");
  for (QPushButton* b : {cmdOk_, cmdCancel_}) b->setAutoDefault(false);
  buttons->addWidget(cmdOk_);
  buttons->addWidget(cmdCancel_);
  top->addLayout(buttons);
  if (mode == Mode::kView) {
    cmdOk_->hide();
    cmdCancel_->setText("Close");
  }
  connect(cmdOk_, &QPushButton::clicked, this, &FrmRump::cmdOkClick);
  connect(cmdCancel_, &QPushButton::clicked, this, &QDialog::close);
  placeOnScreen();
}

void FrmRump::placeOnScreen() {
  adjustSize();
  const QScreen* screen = QGuiApplication::primaryScreen();
  if (screen == nullptr) return;
  const QRect area = screen->availableGeometry();
  if (mode_ == Mode::kEditor) {
    move(area.right() - frameGeometry().width() + 1, area.top());  // top edge, right side
  } else {
    move(Twips(8050), 0);
  }
}

QLineEdit* FrmRump::field(const QString& name) const {
  const auto it = fields_.find(name);
  return it == fields_.end() ? nullptr : it->second;
}

void FrmRump::fill(const RumpDialogTexts& t) {
  const std::pair<const char*, const std::string*> values[] = {{"txtVersion", &t.Version},
                                                               {"txtDate", &t.Date},
                                                               {"txtAtom", &t.AtomicNo},
                                                               {"txtMass", &t.Mass},
                                                               {"txtMeV", &t.BeamMeV},
                                                               {"txtIon", &t.ChargeState},
                                                               {"txtCharge", &t.ChargeUC},
                                                               {"txtCurrent", &t.CurrentNA},
                                                               {"txtkeV", &t.CalGain},
                                                               {"txtOffset", &t.CalOffset},
                                                               {"txtStartCh", &t.StartCh},
                                                               {"txtFWHM", &t.Fwhm},
                                                               {"txtCorrect", &t.Correction},
                                                               {"txtTheta", &t.Theta},
                                                               {"txtPhi", &t.Phi},
                                                               {"txtPsi", &t.Psi},
                                                               {"txtOmega", &t.Omega}};
  for (const auto& [name, value] : values) field(name)->setText(latin1(*value));
  cbxGeom_->setCurrentText(latin1(t.Geometry));
}

RumpDialogTexts FrmRump::texts() const {
  const auto text = [&](const char* name) { return field(name)->text().toLatin1().toStdString(); };
  RumpDialogTexts t;
  t.Version = text("txtVersion");
  t.Date = text("txtDate");
  t.AtomicNo = text("txtAtom");
  t.Mass = text("txtMass");
  t.BeamMeV = text("txtMeV");
  t.ChargeState = text("txtIon");
  t.ChargeUC = text("txtCharge");
  t.CurrentNA = text("txtCurrent");
  t.CalGain = text("txtkeV");
  t.CalOffset = text("txtOffset");
  t.StartCh = text("txtStartCh");
  t.Fwhm = text("txtFWHM");
  t.Correction = text("txtCorrect");
  t.Geometry = cbxGeom_->currentText().toLatin1().toStdString();
  t.Theta = text("txtTheta");
  t.Phi = text("txtPhi");
  t.Psi = text("txtPsi");
  t.Omega = text("txtOmega");
  return t;
}

void FrmRump::setSenras(bool senras) {
  senras_ = senras;
  for (const char* name : {"txtMass", "txtIon", "txtCurrent"}) {
    if (senras) field(name)->setText("No used");
    field(name)->setEnabled(!senras);
  }
}

void FrmRump::editStamp(StampData* stamp) {
  stamp_ = stamp;
  target_ = {};
  setWindowTitle("Stamp edit");
  fill(StampTexts(*stamp));
  setSenras(false);
  lblPath_->hide();
  lblDate_->hide();
  field("txtDate")->hide();
  field("txtDate")->setEnabled(false);
}

void FrmRump::editFile(const std::string& path, HeaderKind kind, const SpectrumRecord& record) {
  stamp_ = nullptr;
  const auto slash = path.rfind('/');
  const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
  target_ = {true, HeaderEditorCaption(kind, name), path};
  setWindowTitle(PathText(target_.caption));  // the caption names the file
  fill(HeaderTexts(record));
  setSenras(kind == HeaderKind::kSenras);
  lblPath_->setText(PathText(path));
  lblPath_->show();
  lblDate_->show();
  field("txtDate")->show();
  field("txtDate")->setEnabled(true);
}

void FrmRump::showHeader(const SpectrumRecord& record, HeaderKind kind) {
  fill(HeaderTexts(record));
  setSenras(kind == HeaderKind::kSenras);
  lblPath_->setText(PathText(record.FileName));
}

void FrmRump::cmdOkClick() {
  StampData unused;
  const FileResult status =
      CommitRumpDialog(texts(), target_, stamp_ != nullptr ? *stamp_ : unused, *files_);
  if (status == kInvalidData) {
    showMessage("There are some invalid data");
  } else if (status != kDone) {
    // The file could not be read again or written: it is left as it was.
    const bool senras = HeaderKindOfCaption(target_.caption) == HeaderKind::kSenras;
    std::string message =
        RunMessage(status, target_.path, senras ? "SENRAS (SEN)" : "RUMP (RBS)", "");
    if (status == kCannotOpen || status == kCannotCreate) {
      message += "\n" + SystemErrorText(status.error);  // the system's reason
    }
    showMessage(message);
  }
  close();
}

void FrmRump::reject() {
  if (closing_) {
    QDialog::reject();
    return;
  }
  close();
}

void FrmRump::closeEvent(QCloseEvent* event) {
  stamp_ = nullptr;
  target_ = {};
  if (onClosed) onClosed();
  const bool nested = closing_;
  closing_ = true;  // the dialog's own close hides it through reject()
  QDialog::closeEvent(event);
  closing_ = nested;
}

void FrmRump::focusNext(QWidget* from) {
  const QString name = from->objectName();
  QString next;
  if (senras_) {
    const auto it = senrasOrder().find(name);
    if (it != senrasOrder().end()) next = it->second;
  }
  if (next.isEmpty()) {
    const auto it = enterOrder().find(name);
    if (it == enterOrder().end()) return;
    next = it->second;
  }
  if (QWidget* target = findChild<QWidget*>(next)) target->setFocus(Qt::OtherFocusReason);
}

bool FrmRump::eventFilter(QObject* watched, QEvent* event) {
  auto* widget = qobject_cast<QWidget*>(watched);
  if (cbxGeom_ != nullptr && watched == cbxGeom_->lineEdit()) widget = cbxGeom_;
  if (widget != nullptr && event->type() == QEvent::KeyPress) {
    const auto* key = static_cast<QKeyEvent*>(event);
    if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
      focusNext(widget);
      return true;
    }
  }
  if (event->type() == QEvent::FocusIn) {
    // A field that receives the focus has its whole text selected.
    if (auto* edit = qobject_cast<QLineEdit*>(watched))
      QTimer::singleShot(0, edit, &QLineEdit::selectAll);
  }
  return QDialog::eventFilter(watched, event);
}

}  // namespace durnix
