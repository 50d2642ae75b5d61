// SPDX-License-Identifier: GPL-3.0-or-later
#include "viewer/forms/analysis_panel.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>
#include <algorithm>

namespace durnix {

namespace {

QPushButton* Button(QWidget* parent, const char* name, const QString& caption) {
  auto* button = new QPushButton(caption, parent);
  button->setObjectName(name);
  button->setAutoDefault(false);
  return button;
}

}  // namespace

AnalysisPanel::AnalysisPanel(QWidget* parent) : QWidget(parent) {
  setObjectName("AnalysisPanel");
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(6, 6, 6, 6);

  tblRegions_ = new QTableWidget(this);
  tblRegions_->setObjectName("tblRegions");
  tblRegions_->setSelectionBehavior(QAbstractItemView::SelectRows);
  tblRegions_->setEditTriggers(QAbstractItemView::DoubleClicked |
                               QAbstractItemView::EditKeyPressed |
                               QAbstractItemView::AnyKeyPressed);
  tblRegions_->verticalHeader()->setVisible(false);
  tblRegions_->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
  tblRegions_->installEventFilter(this);
  layout->addWidget(tblRegions_, 1);
  connect(tblRegions_, &QTableWidget::itemChanged, this, [this](QTableWidgetItem* item) {
    if (filling_ || item->column() > 1) return;
    const int row = item->row();
    const QTableWidgetItem* from = tblRegions_->item(row, 0);
    const QTableWidgetItem* to = tblRegions_->item(row, 1);
    if (from != nullptr && to != nullptr) emit rowEdited(row, from->text(), to->text());
  });

  auto* buttons = new QHBoxLayout();
  cmdDelete_ = Button(this, "cmdRegionDelete", "&Delete");
  cmdCopy_ = Button(this, "cmdRegionCopy", "C&opy");
  cmdExport_ = Button(this, "cmdRegionExport", "E&xport...");
  cmdDelete_->setToolTip("Deletes the regions selected (Del)");
  cmdCopy_->setToolTip("Puts the table on the clipboard as tab-separated text");
  cmdExport_->setToolTip("Writes the table as a CSV file");
  for (QPushButton* button : {cmdDelete_, cmdCopy_, cmdExport_}) buttons->addWidget(button);
  buttons->addStretch(1);
  layout->addLayout(buttons);
  connect(cmdDelete_, &QPushButton::clicked, this, &AnalysisPanel::deleteRequested);
  connect(cmdCopy_, &QPushButton::clicked, this, &AnalysisPanel::copyRequested);
  connect(cmdExport_, &QPushButton::clicked, this, &AnalysisPanel::exportRequested);

  auto* form = new QFormLayout();
  txtLines_ = new QLineEdit(this);
  txtLines_->setObjectName("txtLines");
  txtLines_->setPlaceholderText("Fe Cu Pb");
  txtLines_->setToolTip("Elements whose X-ray lines the plot marks; Enter draws them");
  auto* families = new QHBoxLayout();
  families->addWidget(txtLines_, 1);
  chkK_ = new QCheckBox("K", this);
  chkL_ = new QCheckBox("L", this);
  chkM_ = new QCheckBox("M", this);
  for (QCheckBox* box : {chkK_, chkL_, chkM_}) {
    box->setObjectName("chk" + box->text());
    box->setChecked(true);
    families->addWidget(box);
    connect(box, &QCheckBox::toggled, this, [this] {
      if (!txtLines_->text().trimmed().isEmpty()) emit linesEntered(txtLines_->text());
    });
  }
  auto* linesCaption = new QLabel("X-ray &lines of", this);
  linesCaption->setBuddy(txtLines_);
  form->addRow(linesCaption, families);
  txtEdges_ = new QLineEdit(this);
  txtEdges_->setObjectName("txtEdges");
  txtEdges_->setPlaceholderText("Au Si-28");
  txtEdges_->setToolTip("Elements or isotopes whose surface edges the plot marks (RBS, SEN)");
  auto* edgesCaption = new QLabel("Surface &edges of", this);
  edgesCaption->setBuddy(txtEdges_);
  form->addRow(edgesCaption, txtEdges_);
  layout->addLayout(form);
  connect(txtLines_, &QLineEdit::returnPressed, this,
          [this] { emit linesEntered(txtLines_->text()); });
  connect(txtEdges_, &QLineEdit::returnPressed, this,
          [this] { emit edgesEntered(txtEdges_->text()); });

  lblNote_ = new QLabel(this);
  lblNote_->setObjectName("lblMarkNote");
  lblNote_->setWordWrap(true);
  layout->addWidget(lblNote_);
}

void AnalysisPanel::showTable(const std::vector<std::string>& header,
                              const std::vector<std::vector<std::string>>& rows,
                              const std::vector<QColor>& colours, int firstEditable) {
  filling_ = true;
  QStringList captions;
  for (const std::string& caption : header) captions << QString::fromStdString(caption);
  tblRegions_->setColumnCount(static_cast<int>(header.size()));
  tblRegions_->setHorizontalHeaderLabels(captions);
  tblRegions_->setRowCount(static_cast<int>(rows.size()));
  for (std::size_t r = 0; r < rows.size(); ++r) {
    const int row = static_cast<int>(r);
    for (std::size_t c = 0; c < rows[r].size(); ++c) {
      auto* item = new QTableWidgetItem(QString::fromStdString(rows[r][c]));
      item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
      Qt::ItemFlags flags = Qt::ItemIsSelectable | Qt::ItemIsEnabled;
      if (c < 2 && row >= firstEditable) flags |= Qt::ItemIsEditable;
      item->setFlags(flags);
      if (c == 0 && r < colours.size()) {
        QPixmap swatch(10, 10);
        swatch.fill(colours[r]);
        item->setIcon(swatch);
      }
      if (row < firstEditable) item->setToolTip("The region of From and To below the plot");
      tblRegions_->setItem(row, static_cast<int>(c), item);
    }
  }
  filling_ = false;
}

std::vector<int> AnalysisPanel::selectedRows() const {
  std::vector<int> rows;
  for (const QModelIndex& index : tblRegions_->selectionModel()->selectedRows()) {
    rows.push_back(index.row());
  }
  if (rows.empty() && tblRegions_->currentRow() >= 0) rows.push_back(tblRegions_->currentRow());
  std::sort(rows.begin(), rows.end());
  return rows;
}

QString AnalysisPanel::families() const {
  QString letters;
  for (const QCheckBox* box : {chkK_, chkL_, chkM_}) {
    if (box->isChecked()) letters += box->text();
  }
  return letters;
}

void AnalysisPanel::setNote(const QString& note) {
  lblNote_->setText(note);
}

bool AnalysisPanel::eventFilter(QObject* watched, QEvent* event) {
  // Copy and Delete belong to the table while it has the focus, not to the window's menus; keys
  // reach the table itself only while no cell is being edited.
  if (watched == tblRegions_ && event->type() == QEvent::ShortcutOverride) {
    const auto* key = static_cast<QKeyEvent*>(event);
    if (key->matches(QKeySequence::Copy) || key->key() == Qt::Key_Delete) {
      event->accept();
      return true;
    }
  }
  if (watched == tblRegions_ && event->type() == QEvent::KeyPress) {
    const auto* key = static_cast<QKeyEvent*>(event);
    if (key->key() == Qt::Key_Delete) {
      emit deleteRequested();
      return true;
    }
    if (key->matches(QKeySequence::Copy)) {
      emit copyRequested();
      return true;
    }
  }
  return QWidget::eventFilter(watched, event);
}

}  // namespace durnix
