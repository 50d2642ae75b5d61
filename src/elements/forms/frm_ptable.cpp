// SPDX-License-Identifier: GPL-3.0-or-later
#include "elements/forms/frm_ptable.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFormLayout>
#include <QFrame>
#include <QHeaderView>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QTabWidget>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <map>

#include "platform/twips.h"
#include "platform/window_placement.h"

namespace durnix {

namespace {

QString latin1(const std::string& text) {
  return QString::fromLatin1(text.c_str());
}

struct CellPlace {
  int column;  // 1 to 18
  int row;     // 1 to 7 the periods; 8 the lanthanides, 9 the actinides
};

// Where element z stands in the long form of the table.
CellPlace placeOf(int z) {
  if (z == 1) return {1, 1};
  if (z == 2) return {18, 1};
  if (z <= 10) return {z <= 4 ? z - 2 : z + 8, 2};
  if (z <= 18) return {z <= 12 ? z - 10 : z, 3};
  if (z <= 36) return {z - 18, 4};
  if (z <= 54) return {z - 36, 5};
  if (z >= 58 && z <= 71) return {z - 55, 8};   // Ce to Lu
  if (z >= 90 && z <= 103) return {z - 87, 9};  // Th to Lr
  if (z <= 86) return {z <= 57 ? z - 54 : z - 68, 6};
  return {z <= 89 ? z - 86 : z - 100, 7};
}

// Cells are tinted by block: s, p, d and f.
QColor tintOf(int z) {
  const CellPlace p = placeOf(z);
  if (p.row >= 8) return QColor(255, 226, 200);
  if (p.column <= 2) return QColor(255, 210, 210);
  if (p.column >= 13) return QColor(210, 240, 210);
  return QColor(210, 225, 255);
}

constexpr const char* kGroupCaptions[] = {"IA",   "IIA",  "IIIB", "IVB", "VB",   "VIB",
                                          "VIIB", "VIII", "",     "",    "IB",   "IIB",
                                          "IIIA", "IVA",  "VA",   "VIA", "VIIA", "VIIIA"};

QTreeWidget* listOf(QWidget* parent, const char* name, const QStringList& columns) {
  auto* list = new QTreeWidget(parent);
  list->setObjectName(name);
  list->setRootIsDecorated(false);
  list->setHeaderLabels(columns);
  list->setSortingEnabled(false);
  return list;
}

void fillList(QTreeWidget* list, const std::vector<FieldRow>& rows,
              const std::vector<std::size_t>& fields) {
  list->clear();
  for (const FieldRow& row : rows) {
    auto* item = new QTreeWidgetItem(list);
    for (std::size_t c = 0; c < fields.size(); ++c) {
      const std::size_t f = fields[c];
      item->setText(static_cast<int>(c), f < row.size() ? latin1(row[f].text) : QString());
    }
  }
  for (int c = 0; c < list->columnCount(); ++c) list->resizeColumnToContents(c);
}

// The label/value pairs of a tab, values by field position.
struct Pair {
  const char* label;
  std::size_t field;
};

const Pair kGeneral[] = {{"Symbol", 1},
                         {"Name", 2},
                         {"Atomic weight", 3},
                         {"Melting Point (K)", 4},
                         {"Boiling point (K)", 5},
                         {"Electron configuration", 6},
                         {"Pauling's Electronegativity", 7},
                         {"Neutron cross section (barn)", 8},
                         {"Atomic radius (A)", 9},
                         {"Covalent radius (A)", 10},
                         {"Crystal structure", 11},
                         {"Lattice type", 12},
                         {"First ionisation potential (eV)", 13},
                         {"Entropy (J/K mol)", 14},
                         {"Fermi velocity (eV)", 15}};
const Pair kMisc[] = {{"Heat of fusion (kJ/mol)", 1},
                      {"Heat of vaporization (kJ/mol)", 2},
                      {"Heat of sublimation (eV)", 3},
                      {"Heat capacity  (J/K mol)", 4},
                      {"Atomic volume (cm3/mol)", 5},
                      {"Thermal conductivity (W/cm K)", 6},
                      {"Electrical resistivity (10^-8 Ohm m)", 7},
                      {"Photoelectric work function (eV)", 8},
                      {"Thermal expansion coef. (ppm/K)", 9}};
const Pair kHistory[] = {{"Year of discovery", 1}, {"Discoverer", 2},        {"Origin of name", 3},
                         {"Earth crust (ppm)", 4}, {"Chondrites (ppm)", 5},  {"Cosmic (ppm)", 6},
                         {"Approximate cost", 7},  {"Principal sources", 8}, {"Principal uses", 9},
                         {"Properties", 10},       {"Toxicity", 11}};

}  // namespace

FrmPTable* FrmPTable::Open(QWidget* parent, const std::string& path, std::string& problem) {
  std::unique_ptr<ElementDatabase> db = ElementDatabase::Open(path, problem);
  if (!db) return nullptr;
  return new FrmPTable(parent, std::move(db));
}

FrmPTable::FrmPTable(QWidget* parent, std::unique_ptr<ElementDatabase> db)
    : QDialog(parent, Qt::Window), db_(std::move(db)) {
  setObjectName("frmPTable");
  setWindowTitle("Periodic Table");
  setAttribute(Qt::WA_DeleteOnClose);
  QFont font("Arial");
  font.setPointSizeF(8.25);
  setFont(font);
  build();
  clearPanel();
  updatePointer();
  // The top left corner of the screen, frame and title bar included.
  if (const QScreen* screen = QGuiApplication::primaryScreen()) {
    move(screen->availableGeometry().topLeft());
  }
}

void FrmPTable::build() {
  QFont cellFont = font();
  cellFont.setBold(true);
  for (int z = 1; z <= ElementDatabase::kElements; ++z) {
    auto* cell = new QLabel(this);
    cell->setObjectName(QString("lblCell%1").arg(z - 1));
    const std::optional<FieldRow> record = db_->ionData(z);
    const QString symbol =
        z >= 110 ? QString::number(z)
                 : (record && record->size() > 1 ? latin1((*record)[1].text) : QString());
    cell->setText(symbol);
    cell->setFont(cellFont);
    cell->setAlignment(Qt::AlignCenter);
    cell->setFrameShape(QFrame::Box);
    cell->setAutoFillBackground(true);
    QPalette palette = cell->palette();
    palette.setColor(QPalette::Window, tintOf(z));
    cell->setPalette(palette);
    const CellPlace p = placeOf(z);
    const double top = p.row == 8 ? 3000 : p.row == 9 ? 3240 : 1200 + 240 * (p.row - 1);
    cell->setGeometry(TwipsRect(360 * (p.column - 1), top, 370, 250));
    cell->setMouseTracking(true);
    cell->installEventFilter(this);
    cells_[static_cast<std::size_t>(z - 1)] = cell;
  }
  for (int k = 1; k <= 18; ++k) {
    const char* caption = kGroupCaptions[k - 1];
    if (*caption == '\0') continue;
    auto* label = new QLabel(caption, this);
    label->setObjectName(QString("lblClass%1").arg(k));
    label->setAlignment(Qt::AlignCenter);
    const double width = k == 8 ? 3 * 360 + 10 : 370;  // VIII stands over three columns
    label->setGeometry(TwipsRect(360 * (k - 1), 960, width, 230));
    label->installEventFilter(this);
  }
  // The lanthanides and actinides below, with lines from their places in the table.
  for (double y : {3000.0 - 60, 3240.0 + 250 + 60}) {
    auto* line = new QFrame(this);
    line->setFrameShape(QFrame::HLine);
    line->setGeometry(TwipsRect(720, y, 14 * 360 + 10, 20));
  }

  // The property panel beside the table.
  const double panelLeft = 18 * 360 + 300;
  lblAtomNum_ = new QLabel(this);
  lblAtomNum_->setObjectName("lblAtomNum");
  lblSymbol_ = new QLabel(this);
  lblSymbol_->setObjectName("lblSymbol");
  QFont big = font();
  big.setPointSizeF(20);
  big.setBold(true);
  lblSymbol_->setFont(big);
  lblSymbol_->setGeometry(TwipsRect(panelLeft, 1160, 1000, 520));
  lblName_ = new QLabel(this);
  lblName_->setObjectName("lblName");
  lblName_->setGeometry(TwipsRect(panelLeft + 1000, 1400, 2200, 250));
  for (std::size_t i = 0; i < lblProp_.size(); ++i) {
    auto* prop = new QLabel(this);
    prop->setObjectName(QString("lblProp%1").arg(i));
    prop->setGeometry(TwipsRect(panelLeft, 1760 + 230 * static_cast<double>(i), 4300, 230));
    prop->installEventFilter(this);
    lblProp_[i] = prop;
  }
  for (QLabel* label : {lblAtomNum_, lblSymbol_, lblName_}) label->installEventFilter(this);

  auto* amu = new QLabel("Wat./Mass = amu", this);
  amu->setObjectName("lblAMU");
  amu->setGeometry(TwipsRect(panelLeft, 3400, 1700, 230));
  auto* density = new QLabel("Densities = Solid phase", this);
  density->setObjectName("lblDensity");
  density->setGeometry(TwipsRect(panelLeft, 3630, 2000, 230));
  for (QLabel* label : {amu, density}) label->installEventFilter(this);
  cmdXray_ = new QPushButton("Xrays", this);
  cmdXray_->setObjectName("cmdXray");
  cmdXray_->setGeometry(TwipsRect(panelLeft + 2050, 3450, 850, 360));
  connect(cmdXray_, &QPushButton::clicked, this, &FrmPTable::cmdXrayClick);
  cmdMark_ = new QPushButton("Mark in viewer", this);
  cmdMark_->setObjectName("cmdMark");
  cmdMark_->setToolTip("Marks the X-ray lines of the element shown in the viewer last active");
  cmdMark_->setGeometry(TwipsRect(panelLeft + 2950, 3450, 1400, 360));
  cmdMark_->setEnabled(false);
  connect(cmdMark_, &QPushButton::clicked, this, &FrmPTable::cmdMarkClick);

  auto* hint =
      new QLabel("Point at an element; click to hold it, double-click for all its data.", this);
  hint->setObjectName("lblHint");
  hint->setGeometry(TwipsRect(0, 300, 6500, 230));
  hint->installEventFilter(this);
  setFixedSize(Twips(panelLeft + 4400), Twips(3900));
}

void FrmPTable::setPanel(const ElementPanel& panel) {
  lblAtomNum_->setText(latin1(panel.atomNum));
  // The number stands just left of the symbol, wider numbers reaching further left.
  const int width = lblAtomNum_->fontMetrics().horizontalAdvance(lblAtomNum_->text()) + 2;
  lblAtomNum_->setGeometry(lblSymbol_->x() - width + Twips(40), lblSymbol_->y(), width, Twips(230));
  lblSymbol_->setText(latin1(panel.symbol));
  lblName_->setText(latin1(panel.name));
  for (std::size_t i = 0; i < lblProp_.size(); ++i) lblProp_[i]->setText(latin1(panel.props[i]));
}

void FrmPTable::showElement(int z) {
  const std::optional<FieldRow> record = db_->ionData(z);
  if (!record) {
    clearPanel();
    return;
  }
  shownZ_ = z;
  cmdMark_->setEnabled(true);
  // X-ray lines are looked up for lithium to curium.
  const bool lines = z >= 3 && z <= 96;
  setPanel(PanelTexts(*record, lines ? db_->xrayEnergy(z, "KA1") : std::nullopt,
                      lines ? db_->xrayEnergy(z, "LA1") : std::nullopt));
}

void FrmPTable::clearPanel() {
  setPanel(ClearedPanel());
  shownZ_ = 0;
  cmdMark_->setEnabled(false);
}

void FrmPTable::cmdMarkClick() {
  const std::optional<FieldRow> record = shownZ_ > 0 ? db_->ionData(shownZ_) : std::nullopt;
  if (record && record->size() > 1) emit markInViewer(latin1((*record)[1].text));
}

void FrmPTable::updatePointer() {
  const QCursor pointer(hold_ ? Qt::ArrowCursor : Qt::WhatsThisCursor);
  for (QLabel* cell : cells_) cell->setCursor(pointer);
}

void FrmPTable::cellClicked(int z) {
  hold_ = !hold_;
  if (hold_) showElement(z);
  updatePointer();
}

void FrmPTable::cellDoubleClicked(int z) {
  if (frmElement_ == nullptr) frmElement_ = new FrmElement(this, *db_);
  frmElement_->showElement(z);
  frmElement_->show();
  KeepFrameOnScreen(frmElement_);
  frmElement_->raise();
}

void FrmPTable::cmdXrayClick() {
  QApplication::setOverrideCursor(Qt::WaitCursor);
  if (frmXTable_ == nullptr) frmXTable_ = new FrmXTable(this, *db_);
  frmXTable_->fill();
  QApplication::restoreOverrideCursor();
  frmXTable_->show();
  KeepFrameOnScreen(frmXTable_);
  frmXTable_->raise();
}

bool FrmPTable::eventFilter(QObject* watched, QEvent* event) {
  auto* label = qobject_cast<QLabel*>(watched);
  if (label == nullptr) return QDialog::eventFilter(watched, event);
  const auto it = std::find(cells_.begin(), cells_.end(), label);
  const int z = it == cells_.end() ? 0 : static_cast<int>(it - cells_.begin()) + 1;
  switch (event->type()) {
    case QEvent::Enter:
    case QEvent::MouseMove:
      if (z > 0 && !hold_) showElement(z);
      break;
    case QEvent::MouseButtonPress:
      if (z > 0) {
        cellClicked(z);
      } else {
        clearPanel();  // any other label clears the panel
      }
      return true;
    case QEvent::MouseButtonDblClick:
      if (z > 0) cellDoubleClicked(z);
      return true;
    default:
      break;
  }
  return QDialog::eventFilter(watched, event);
}

void FrmPTable::mousePressEvent(QMouseEvent* event) {
  clearPanel();  // a click on the background
  QDialog::mousePressEvent(event);
}

void FrmPTable::closeEvent(QCloseEvent* event) {
  if (frmElement_ != nullptr) frmElement_->close();
  if (frmXTable_ != nullptr) frmXTable_->close();
  if (parentWidget() != nullptr) parentWidget()->activateWindow();
  QDialog::closeEvent(event);
}

FrmElement::FrmElement(QWidget* parent, const ElementDatabase& db)
    : QDialog(parent, Qt::Window), db_(db) {
  setObjectName("frmElement");
  auto* layout = new QVBoxLayout(this);
  auto* tabs = new QTabWidget(this);
  tabs->setObjectName("tabElem");
  layout->addWidget(tabs);
  const auto pairs = [&](const char* name, const char* title, const auto& list) {
    auto* frame = new QWidget(tabs);
    frame->setObjectName(name);
    auto* form = new QFormLayout(frame);
    for (const Pair& pair : list) {
      auto* value = new QLabel(frame);
      value->setObjectName(QString("%1Value%2").arg(name).arg(pair.field));
      value->setTextInteractionFlags(Qt::TextSelectableByMouse);
      value->setWordWrap(true);
      form->addRow(pair.label, value);
    }
    tabs->addTab(frame, title);
  };
  pairs("fraGeneral", "General", kGeneral);
  tabs->addTab(listOf(tabs, "lvIsotope", {"Name", "Mass", "Aban. (%)", "Half life", "Decay"}),
               "Isotopes");
  tabs->addTab(listOf(tabs, "lvXRay", {"Line", "Energy (keV)", "Intensity", "Edge"}), "X-Ray");
  tabs->addTab(listOf(tabs, "lvIon", {"Ion", "Potential (eV)"}), "Ion Potential");
  pairs("fraMisc", "Misc", kMisc);
  pairs("fraHistory", "History", kHistory);
  resize(Twips(7200), Twips(6000));
}

void FrmElement::showElement(int z) {
  const auto fill = [&](const char* frame, const std::optional<FieldRow>& row, const auto& list) {
    for (const Pair& pair : list) {
      auto* value = findChild<QLabel*>(QString("%1Value%2").arg(frame).arg(pair.field));
      value->setText(row && pair.field < row->size() ? latin1((*row)[pair.field].text) : QString());
    }
  };
  const std::optional<FieldRow> general = db_.general(z);
  fill("fraGeneral", general, kGeneral);
  fill("fraMisc", db_.misc(z), kMisc);
  fill("fraHistory", db_.history(z), kHistory);
  fillList(findChild<QTreeWidget*>("lvIsotope"), db_.isotopes(z), {1, 2, 3, 4, 5});
  fillList(findChild<QTreeWidget*>("lvXRay"), db_.xrays(z), {1, 2, 3, 4});
  fillList(findChild<QTreeWidget*>("lvIon"), db_.ions(z), {1, 2});
  const std::optional<FieldRow> record = db_.ionData(z);
  setWindowTitle("Element Data - " +
                 (record && record->size() > 1 ? latin1((*record)[1].text) : QString()));
}

FrmXTable::FrmXTable(QWidget* parent, const ElementDatabase& db)
    : QDialog(parent, Qt::Window), db_(db) {
  setObjectName("frmXTable");
  setWindowTitle("X-ray Table");
  auto* layout = new QVBoxLayout(this);
  auto* list = listOf(this, "lvXTable", {"Energy (keV)", "Z", "Element", "Line", "Edge"});
  // Sorted by the text of the column clicked; a second click reverses the order.
  list->setSortingEnabled(true);
  list->header()->setSortIndicatorShown(true);
  layout->addWidget(list);
  resize(Twips(6000), Twips(7000));
}

void FrmXTable::fill() {
  auto* list = findChild<QTreeWidget*>("lvXTable");
  list->setSortingEnabled(false);
  list->clear();
  std::map<int, QString> symbols;
  QList<QTreeWidgetItem*> items;
  for (const FieldRow& row : db_.allXrays()) {
    if (row.size() < 5) continue;
    const int z = static_cast<int>(row[0].number);
    auto symbol = symbols.find(z);
    if (symbol == symbols.end()) {
      const std::optional<FieldRow> record = db_.ionData(z);
      symbol =
          symbols.emplace(z, record && record->size() > 1 ? latin1((*record)[1].text) : QString())
              .first;
    }
    auto* item = new QTreeWidgetItem();
    item->setText(0, latin1(XrayEnergyText(row[2].number)));
    item->setText(1, latin1(row[0].text));
    item->setText(2, symbol->second);
    item->setText(3, latin1(row[1].text));
    item->setText(4, latin1(row[4].text));
    items.append(item);
  }
  list->addTopLevelItems(items);
  for (int c = 0; c < list->columnCount(); ++c) {
    list->resizeColumnToContents(c);
    // Room for the title and the sort mark as well.
    const int title = list->header()->fontMetrics().horizontalAdvance(list->headerItem()->text(c));
    list->setColumnWidth(c, std::max(list->columnWidth(c), title + 24));
  }
  list->setSortingEnabled(true);
  list->sortByColumn(0, Qt::AscendingOrder);
}

}  // namespace durnix
